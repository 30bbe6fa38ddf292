// The main window as built: every element with its place, caption, font
// and start state, the focus order, the flood bars, and where a mouse
// press opens the popup menu.

#include "shell/floodpanel.h"
#include "shell/velorandwindow.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <memory>

class TestWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_window = std::make_unique<VelorandWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void startUp();
    void elements_data();
    void elements();
    void onlyDesignedElementsOneTooltip();
    void focusOrder();
    void bannersFit();
    void floodPercent_data();
    void floodPercent();
    void floodPainting();
    void mouseDown_data();
    void mouseDown();
    void menuItems();

private:
    QWidget *child(const QString &name) const { return m_window->findChild<QWidget *>(name); }
    std::unique_ptr<VelorandWindow> m_window;
};

namespace {

struct Design
{
    const char *name;
    const char *className;
    const char *parent;
    QRect twips;
    const char *text;
    const char *family;
    double points;
    bool bold;
    bool enabled;
    bool visible;
    QColor colour = {}; ///< a line's colour or a bar's background
};

const QColor grey(128, 128, 128), white(255, 255, 255);

constexpr const char *sans = "MS Sans Serif";
constexpr const char *verdana = "Verdana";

// The window's design: places in twips relative to the container.
// clang-format off
const Design design[] = {
    { "fraZeiteingabe", "GroupBox", "frmVelorand", { 120, 60, 4755, 975 }, "Spielzeiteinabe", sans, 8, false, true, true },
    { "Label1", "QLabel", "fraZeiteingabe", { 135, 450, 240, 195 }, "Std", sans, 8, false, true, true },
    { "txtStd", "QLineEdit", "fraZeiteingabe", { 480, 300, 735, 540 }, "00", verdana, 18, true, true, true },
    { "spnStd", "SpinButton", "fraZeiteingabe", { 1230, 300, 255, 540 }, "", sans, 8, false, true, true },
    { "Label2", "QLabel", "fraZeiteingabe", { 1740, 450, 255, 195 }, "Min", sans, 8, false, true, true },
    { "txtMin", "QLineEdit", "fraZeiteingabe", { 2100, 300, 735, 540 }, "00", verdana, 18, true, true, true },
    { "spnMin", "SpinButton", "fraZeiteingabe", { 2850, 300, 255, 540 }, "", sans, 8, false, true, true },
    { "Label3", "QLabel", "fraZeiteingabe", { 3240, 450, 285, 195 }, "Sek", sans, 8, false, true, true },
    { "txtSek", "QLineEdit", "fraZeiteingabe", { 3600, 300, 735, 540 }, "00", verdana, 18, true, true, true },
    { "spnsek", "SpinButton", "fraZeiteingabe", { 4350, 300, 255, 540 }, "", sans, 8, false, true, true },
    { "Frame1", "GroupBox", "frmVelorand", { 120, 1140, 4755, 975 }, "abgelaufene Spielzeit", sans, 8, false, true, true },
    { "Label10", "QLabel", "Frame1", { 135, 450, 240, 195 }, "Std", sans, 8, false, true, true },
    { "lblStdAb", "QLabel", "Frame1", { 480, 300, 735, 540 }, "00", verdana, 18, true, true, true },
    { "Label9", "QLabel", "Frame1", { 1740, 450, 255, 195 }, "Min", sans, 8, false, true, true },
    { "lblMinAb", "QLabel", "Frame1", { 2100, 300, 735, 540 }, "00", verdana, 18, true, true, true },
    { "Label8", "QLabel", "Frame1", { 3240, 450, 285, 195 }, "Sek", sans, 8, false, true, true },
    { "lblSekAb", "QLabel", "Frame1", { 3600, 300, 735, 540 }, "00", verdana, 18, true, true, true },
    { "fraZeit", "GroupBox", "frmVelorand", { 120, 2220, 4755, 975 }, "verbleibende Spielzeit", sans, 8, false, true, true },
    { "Label5", "QLabel", "fraZeit", { 135, 420, 240, 195 }, "Std", sans, 8, false, true, true },
    { "lblStd", "QLabel", "fraZeit", { 480, 300, 735, 540 }, "00", verdana, 18, true, true, true },
    { "Label6", "QLabel", "fraZeit", { 1740, 420, 255, 195 }, "Min", sans, 8, false, true, true },
    { "lblMin", "QLabel", "fraZeit", { 2100, 300, 735, 540 }, "00", verdana, 18, true, true, true },
    { "Label7", "QLabel", "fraZeit", { 3240, 420, 285, 195 }, "Sek", sans, 8, false, true, true },
    { "lblSek", "QLabel", "fraZeit", { 3600, 300, 735, 540 }, "00", verdana, 18, true, true, true },
    { "Frame2", "GroupBox", "frmVelorand", { 120, 3300, 6135, 2475 }, "Spielzeitbalken", sans, 8, false, true, true },
    { "lbl1Halbzeit", "QLabel", "Frame2", { 120, 300, 1050, 195 }, "1. Halbzeit", sans, 8.25, true, true, true },
    { "pnlHalbzeit1", "FloodPanel", "Frame2", { 120, 540, 5895, 300 }, "", sans, 8.25, false, true, true, grey },
    { "pnlHalbzeit1Text", "TextPanel", "pnlHalbzeit1", { 15, 15, 5865, 270 }, "1. Halbzeit", verdana, 8.25, true, true, false },
    { "lbl2Halbzeit", "QLabel", "Frame2", { 120, 900, 1050, 195 }, "2. Halbzeit", sans, 8.25, true, true, true },
    { "pnlHalbzeit2", "FloodPanel", "Frame2", { 120, 1140, 5895, 300 }, "", sans, 8.25, false, true, true, grey },
    { "pnlHalbzeit2Text", "TextPanel", "pnlHalbzeit2", { 15, 15, 5865, 270 }, "2. Halbzeit", verdana, 8.25, true, true, false },
    { "lblGesamtspielzeit", "QLabel", "Frame2", { 120, 1680, 1350, 195 }, "Gesamtspielzeit", sans, 8.25, true, true, true },
    { "pnlZeit", "FloodPanel", "Frame2", { 120, 1920, 5895, 420 }, "", sans, 8.25, false, true, true, QColor(0, 0, 128) },
    { "pnlZeitText", "TextPanel", "pnlZeit", { 15, 15, 5865, 390 }, "Spielzeit", verdana, 14.25, true, true, false },
    { "Line2", "LineWidget", "Frame2", { 120, 1560, 5880, 15 }, "", sans, 8, false, true, true, white },
    { "Line1", "LineWidget", "Frame2", { 120, 1575, 5880, 15 }, "", sans, 8, false, true, true, grey },
    { "Frame3", "GroupBox", "frmVelorand", { 4980, 60, 1275, 3135 }, "", sans, 8, false, true, true },
    { "cmdStart", "FaceButton", "Frame3", { 150, 240, 975, 540 }, "Start", sans, 8, false, false, true },
    { "cmdPause", "FaceButton", "Frame3", { 150, 915, 975, 540 }, "Pause", sans, 8, false, false, true },
    { "cmdReset", "FaceButton", "Frame3", { 150, 1590, 975, 540 }, "Reset", sans, 8, false, false, true },
    { "Line4", "LineWidget", "Frame3", { 150, 2295, 975, 15 }, "", sans, 8, false, true, true, white },
    { "Line3", "LineWidget", "Frame3", { 150, 2310, 975, 15 }, "", sans, 8, false, true, true, grey },
    { "cmdUhrAus", "FaceButton", "Frame3", { 150, 2460, 975, 540 }, "Uhr aus", sans, 8, false, true, true },
};
// clang-format on

/// Whether @p text fits @p w as its caption, on a button in bold as hovering shows it.
bool fits(QWidget *w, const QString &text)
{
    QFont font = w->font();
    int room = w->contentsRect().width(), height = w->contentsRect().height();
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
        room = edit->width() - 2 * frame - 2;
        height = edit->height() - 2 * frame;
    } else if (auto *button = qobject_cast<QPushButton *>(w)) {
        font.setBold(true);
        room = button->width() - 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    }
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(text) <= room && metrics.height() <= height;
}

} // namespace

void TestWindow::startUp()
{
    QCOMPARE(m_window->size(), QSize(425, 393));
    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Velorand : "));
    QVERIFY(!m_window->windowIcon().isNull());
    QCOMPARE(m_window->findChild<QObject *>(QStringLiteral("Timer1"))->property("active"), QVariant(false));
    QCOMPARE(m_window->findChild<QObject *>(QStringLiteral("Timer2"))->property("active"), QVariant(true));
    const ClockState &clock = m_window->clockState();
    QCOMPARE(clock.Stunden + clock.Minuten + clock.Sekunden, QStringLiteral("000000"));
    QCOMPARE(clock.Spielzeit, 0);
}

void TestWindow::elements_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(design)); ++i)
        QTest::newRow(design[i].name) << i;
}

void TestWindow::elements()
{
    QFETCH(int, index);
    const Design &d = design[index];
    QWidget *element = child(QLatin1String(d.name));
    QVERIFY(element);
    QCOMPARE(QLatin1String(element->metaObject()->className()), QLatin1String(d.className));
    QCOMPARE(element->parentWidget()->objectName(), QLatin1String(d.parent));
    const QRect px(d.twips.x() / 15, d.twips.y() / 15, d.twips.width() / 15, d.twips.height() / 15);
    QCOMPARE(element->geometry(), px);
    QCOMPARE(element->property("text").toString(), QLatin1String(d.text));
    QCOMPARE(element->font().family(), QLatin1String(d.family));
    QCOMPARE(element->font().pointSizeF(), d.points);
    QCOMPARE(element->font().weight(), d.bold ? QFont::Bold : QFont::Normal);
    QCOMPARE(element->isEnabled(), d.enabled);
    QCOMPARE(element->isVisible(), d.visible);
    const QVariant colour
        = element->property(qobject_cast<FloodPanel *>(element) ? "backgroundColor" : "color");
    QVERIFY(!d.colour.isValid() || colour.value<QColor>() == d.colour);
    QVERIFY(!*d.text || fits(element, QLatin1String(d.text)));
}

void TestWindow::onlyDesignedElementsOneTooltip()
{
    // elements() finds every designed one; the count leaves no room for others.
    qsizetype built = 0;
    for (QWidget *w : m_window->findChildren<QWidget *>()) {
        if (qobject_cast<QMenu *>(w))
            continue;
        ++built;
        const bool tipped = w->objectName() == QStringLiteral("fraZeiteingabe");
        QCOMPARE(w->toolTip(), tipped ? QStringLiteral("Zum Schließen rechtsklicken.") : QString());
    }
    QCOMPARE(built, qsizetype(std::size(design)));
}

void TestWindow::focusOrder()
{
    const QStringList expected
        = QStringLiteral("txtStd txtMin txtSek spnsek spnMin spnStd cmdStart cmdPause cmdReset cmdUhrAus")
              .split(u' ');
    QWidget *first = child(expected.first());
    QStringList chain;
    for (QWidget *w = first; chain.size() < expected.size(); w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            chain << w->objectName();
    }
    QCOMPARE(chain, expected);

    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTRY_COMPARE(QApplication::focusWidget(), first);
}

void TestWindow::bannersFit()
{
    // The end banners' captions, written over the design captions by the tick.
    const char *const banners[][2] = { { "pnlHalbzeit1Text", "Die 1. Halbzeit ist abgelaufen !" },
        { "pnlHalbzeit2Text", "Die 2. Halbzeit ist abgelaufen !" },
        { "pnlZeitText", "Die Spielzeit ist abgelaufen !" } };
    for (const auto &banner : banners)
        QVERIFY2(fits(child(QLatin1String(banner[0])), QLatin1String(banner[1])), banner[0]);
}

void TestWindow::floodPercent_data()
{
    QTest::addColumn<double>("real");
    QTest::addColumn<int>("percent");
    QTest::newRow("12.5 to even 12") << 12.5 << 12;
    QTest::newRow("37.5 to even 38") << 37.5 << 38;
    QTest::newRow("below zero") << -3.0 << 0;
    QTest::newRow("above 100") << 130.0 << 100;
}

void TestWindow::floodPercent()
{
    QFETCH(double, real);
    QFETCH(int, percent);
    QCOMPARE(floodPercentFromReal(real), percent);
    FloodPanel bar;
    bar.setFloodPercent(real);
    QCOMPARE(bar.floodPercent(), percent);
}

void TestWindow::floodPainting()
{
    auto *bar = m_window->findChild<FloodPanel *>(QStringLiteral("pnlZeit"));
    const QColor navy(0, 0, 128), green(0, 255, 0);
    bar->setFloodType(1);
    bar->setFloodColor(green);
    bar->setFloodPercent(50);
    const QImage image = bar->grab().toImage();
    const int y = bar->height() / 2;
    QCOMPARE(image.pixelColor(4, y), green);
    QCOMPARE(image.pixelColor(bar->width() / 2 - 4, y), green);
    QCOMPARE(image.pixelColor(bar->width() / 2 + 4, y), navy);
}

void TestWindow::mouseDown_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("opensMenu");

    QTest::newRow("gap between groups") << "frmVelorand" << QPoint(100, 72) << true;
    QTest::newRow("Frame1 background") << "Frame1" << QPoint(4, 20) << true;
    QTest::newRow("Frame2 background") << "Frame2" << QPoint(200, 12) << true;
    QTest::newRow("Frame3 background") << "Frame3" << QPoint(4, 100) << true;
    QTest::newRow("fraZeiteingabe") << "fraZeiteingabe" << QPoint(4, 20) << false;
    QTest::newRow("fraZeit") << "fraZeit" << QPoint(4, 20) << false;
    QTest::newRow("digits of Frame1") << "lblStdAb" << QPoint(10, 10) << false;
    QTest::newRow("unit label") << "Label10" << QPoint(2, 2) << false;
    QTest::newRow("bar") << "pnlHalbzeit1" << QPoint(50, 10) << false;
}

void TestWindow::mouseDown()
{
    QFETCH(QString, target);
    QFETCH(QPoint, pos);
    QFETCH(bool, opensMenu);

    QWidget *widget = target == m_window->objectName() ? m_window.get() : child(target);
    QVERIFY(widget);
    QMenu *menu = m_window->popupMenu();
    // Only the right button opens the menu.
    for (Qt::MouseButton button : { Qt::MiddleButton, Qt::RightButton }) {
        QTest::mousePress(widget, button, {}, pos);
        QCOMPARE(menu->isVisible(), opensMenu && button == Qt::RightButton);
        menu->hide();
        QTest::mouseRelease(widget, button, {}, pos);
    }
}

void TestWindow::menuItems()
{
    QMenu *menu = m_window->popupMenu();
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0]->text(), QStringLiteral("Minimieren"));
    QCOMPARE(actions[1]->text(), QStringLiteral("Schliessen"));

    actions[0]->trigger();
    QTRY_VERIFY(m_window->isMinimized());
    m_window->showNormal();
    actions[1]->trigger();
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"

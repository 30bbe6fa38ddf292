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
    void init();
    void cleanup();

    void startUp();
    void elements_data();
    void elements();
    void onlyDesignedElements();
    void oneTooltip();
    void colours_data();
    void colours();
    void focusOrder();
    void textsFit_data();
    void textsFit();
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
};

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
    { "pnlHalbzeit1", "FloodPanel", "Frame2", { 120, 540, 5895, 300 }, "", sans, 8.25, false, true, true },
    { "pnlHalbzeit1Text", "TextPanel", "pnlHalbzeit1", { 15, 15, 5865, 270 }, "1. Halbzeit", verdana, 8.25, true, true, false },
    { "lbl2Halbzeit", "QLabel", "Frame2", { 120, 900, 1050, 195 }, "2. Halbzeit", sans, 8.25, true, true, true },
    { "pnlHalbzeit2", "FloodPanel", "Frame2", { 120, 1140, 5895, 300 }, "", sans, 8.25, false, true, true },
    { "pnlHalbzeit2Text", "TextPanel", "pnlHalbzeit2", { 15, 15, 5865, 270 }, "2. Halbzeit", verdana, 8.25, true, true, false },
    { "lblGesamtspielzeit", "QLabel", "Frame2", { 120, 1680, 1350, 195 }, "Gesamtspielzeit", sans, 8.25, true, true, true },
    { "pnlZeit", "FloodPanel", "Frame2", { 120, 1920, 5895, 420 }, "", sans, 8.25, false, true, true },
    { "pnlZeitText", "TextPanel", "pnlZeit", { 15, 15, 5865, 390 }, "Spielzeit", verdana, 14.25, true, true, false },
    { "Line2", "LineWidget", "Frame2", { 120, 1560, 5880, 15 }, "", sans, 8, false, true, true },
    { "Line1", "LineWidget", "Frame2", { 120, 1575, 5880, 15 }, "", sans, 8, false, true, true },
    { "Frame3", "GroupBox", "frmVelorand", { 4980, 60, 1275, 3135 }, "", sans, 8, false, true, true },
    { "cmdStart", "FaceButton", "Frame3", { 150, 240, 975, 540 }, "Start", sans, 8, false, false, true },
    { "cmdPause", "FaceButton", "Frame3", { 150, 915, 975, 540 }, "Pause", sans, 8, false, false, true },
    { "cmdReset", "FaceButton", "Frame3", { 150, 1590, 975, 540 }, "Reset", sans, 8, false, false, true },
    { "Line4", "LineWidget", "Frame3", { 150, 2295, 975, 15 }, "", sans, 8, false, true, true },
    { "Line3", "LineWidget", "Frame3", { 150, 2310, 975, 15 }, "", sans, 8, false, true, true },
    { "cmdUhrAus", "FaceButton", "Frame3", { 150, 2460, 975, 540 }, "Uhr aus", sans, 8, false, true, true },
};
// clang-format on

} // namespace

void TestWindow::init()
{
    m_window = std::make_unique<VelorandWindow>();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestWindow::cleanup()
{
    m_window.reset();
}

void TestWindow::startUp()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("frmVelorand"));
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->size(), QSize(425, 393));
    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Velorand : "));
    QVERIFY(m_window->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!m_window->windowIcon().isNull());
    QCOMPARE(m_window->findChild<QObject *>(QStringLiteral("Timer1"))->property("active"), QVariant(false));
    QCOMPARE(m_window->findChild<QObject *>(QStringLiteral("Timer2"))->property("active"), QVariant(true));
    for (const char *name : { "cmdStartInOut", "cmdPauseInOut", "cmdResetInOut", "cmdUhrAusInOut" })
        QVERIFY2(m_window->findChild<QObject *>(QLatin1String(name)), name);
    const ClockState &clock = m_window->clockState();
    QCOMPARE(clock.Stunden, QStringLiteral("00"));
    QCOMPARE(clock.Minuten, QStringLiteral("00"));
    QCOMPARE(clock.Sekunden, QStringLiteral("00"));
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
}

void TestWindow::onlyDesignedElements()
{
    QStringList designed;
    for (const Design &d : design)
        designed << QLatin1String(d.name);
    QStringList built;
    for (QWidget *w : m_window->findChildren<QWidget *>()) {
        if (!qobject_cast<QMenu *>(w))
            built << w->objectName();
    }
    designed.sort();
    built.sort();
    QCOMPARE(built, designed);
}

void TestWindow::oneTooltip()
{
    for (QWidget *w : m_window->findChildren<QWidget *>()) {
        const QString expected = w->objectName() == QStringLiteral("fraZeiteingabe")
            ? QStringLiteral("Zum Schließen rechtsklicken.")
            : QString();
        QCOMPARE(w->toolTip(), expected);
    }
    QCOMPARE(m_window->toolTip(), QString());
}

void TestWindow::colours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("Line2 white") << "Line2"
                                 << "color" << QColor(255, 255, 255);
    QTest::newRow("Line1 grey") << "Line1"
                                << "color" << QColor(128, 128, 128);
    QTest::newRow("Line4 white") << "Line4"
                                 << "color" << QColor(255, 255, 255);
    QTest::newRow("Line3 grey") << "Line3"
                                << "color" << QColor(128, 128, 128);
    QTest::newRow("first-half bar") << "pnlHalbzeit1"
                                    << "backgroundColor" << QColor(128, 128, 128);
    QTest::newRow("second-half bar") << "pnlHalbzeit2"
                                     << "backgroundColor" << QColor(128, 128, 128);
    QTest::newRow("whole-game bar") << "pnlZeit"
                                    << "backgroundColor" << QColor(0, 0, 128);
}

void TestWindow::colours()
{
    QFETCH(QString, name);
    QFETCH(QString, property);
    QFETCH(QColor, colour);
    QCOMPARE(child(name)->property(property.toLatin1().constData()).value<QColor>(), colour);
}

void TestWindow::focusOrder()
{
    const QStringList expected { QStringLiteral("txtStd"), QStringLiteral("txtMin"), QStringLiteral("txtSek"),
        QStringLiteral("spnsek"), QStringLiteral("spnMin"), QStringLiteral("spnStd"),
        QStringLiteral("cmdStart"), QStringLiteral("cmdPause"), QStringLiteral("cmdReset"),
        QStringLiteral("cmdUhrAus") };
    QWidget *first = child(expected.first());
    QStringList chain;
    for (QWidget *w = first; chain.size() < 2 * expected.size(); w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            chain << w->objectName();
        if (w->nextInFocusChain() == first)
            break;
    }
    QCOMPARE(chain, expected);

    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTRY_COMPARE(QApplication::focusWidget(), first);
    // Disabled buttons are passed over: from the spin buttons straight to "Uhr aus".
    QStringList tabbed;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        tabbed << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(tabbed,
        QStringList({ QStringLiteral("txtMin"), QStringLiteral("txtSek"), QStringLiteral("spnsek"),
            QStringLiteral("spnMin"), QStringLiteral("spnStd"), QStringLiteral("cmdUhrAus") }));
}

void TestWindow::textsFit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    for (const Design &d : design) {
        if (*d.text)
            QTest::newRow(d.name) << QString::fromLatin1(d.name) << QString::fromLatin1(d.text);
    }
    // The end banners' captions, written over the design captions by the tick.
    QTest::newRow("first half over") << "pnlHalbzeit1Text"
                                     << "Die 1. Halbzeit ist abgelaufen !";
    QTest::newRow("second half over") << "pnlHalbzeit2Text"
                                      << "Die 2. Halbzeit ist abgelaufen !";
    QTest::newRow("game over") << "pnlZeitText"
                               << "Die Spielzeit ist abgelaufen !";
}

void TestWindow::textsFit()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QWidget *w = child(name);
    QFont font = w->font();
    int room = w->contentsRect().width();
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
        room = edit->width() - 2 * frame - 2;
        QVERIFY(edit->fontMetrics().height() <= edit->height() - 2 * frame);
    } else if (auto *button = qobject_cast<QPushButton *>(w)) {
        // Hovering makes the caption bold: it must fit then too.
        font.setBold(true);
        room = button->width() - 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    } else if (auto *label = qobject_cast<QLabel *>(w)) {
        QVERIFY(label->fontMetrics().height() <= label->contentsRect().height());
    }
    const int needed = QFontMetrics(font).horizontalAdvance(text);
    QVERIFY2(needed <= room,
        qPrintable(QStringLiteral("\"%1\" needs %2 px, has %3").arg(text).arg(needed).arg(room)));
}

void TestWindow::floodPercent_data()
{
    QTest::addColumn<double>("real");
    QTest::addColumn<int>("percent");
    QTest::newRow("12.5 to even 12") << 12.5 << 12;
    QTest::newRow("37.5 to even 38") << 37.5 << 38;
    QTest::newRow("49.6") << 49.6 << 50;
    QTest::newRow("below zero") << -3.0 << 0;
    QTest::newRow("above 100") << 130.0 << 100;
    QTest::newRow("exactly 100") << 100.0 << 100;
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
    QCOMPARE(bar->backgroundColor(), navy);
    const int y = bar->height() / 2, left = 4, right = bar->width() - 5;
    QImage image = bar->grab().toImage();
    QCOMPARE(image.pixelColor(left, y), navy);

    bar->setFloodType(1);
    bar->setFloodColor(green);
    bar->setFloodPercent(50);
    image = bar->grab().toImage();
    QCOMPARE(image.pixelColor(left, y), green);
    QCOMPARE(image.pixelColor(bar->width() / 2 - 4, y), green);
    QCOMPARE(image.pixelColor(bar->width() / 2 + 4, y), navy);
    QCOMPARE(image.pixelColor(right, y), navy);
}

void TestWindow::mouseDown_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("opensMenu");

    const int right = Qt::RightButton, middle = Qt::MiddleButton;
    QTest::newRow("right, gap between groups") << "frmVelorand" << QPoint(100, 72) << right << true;
    QTest::newRow("right, Frame1 background") << "Frame1" << QPoint(4, 20) << right << true;
    QTest::newRow("right, Frame2 background") << "Frame2" << QPoint(200, 12) << right << true;
    QTest::newRow("right, Frame3 background") << "Frame3" << QPoint(4, 100) << right << true;
    QTest::newRow("right, fraZeiteingabe") << "fraZeiteingabe" << QPoint(4, 20) << right << false;
    QTest::newRow("right, fraZeit") << "fraZeit" << QPoint(4, 20) << right << false;
    QTest::newRow("right, digits of Frame1") << "lblStdAb" << QPoint(10, 10) << right << false;
    QTest::newRow("right, remaining digits") << "lblMin" << QPoint(10, 10) << right << false;
    QTest::newRow("right, bar") << "pnlHalbzeit1" << QPoint(50, 10) << right << false;
    QTest::newRow("right, unit label") << "Label10" << QPoint(2, 2) << right << false;
    QTest::newRow("middle, gap") << "frmVelorand" << QPoint(100, 72) << middle << false;
    QTest::newRow("middle, Frame1") << "Frame1" << QPoint(4, 20) << middle << false;
    QTest::newRow("middle, Frame3") << "Frame3" << QPoint(4, 100) << middle << false;
}

void TestWindow::mouseDown()
{
    QFETCH(QString, target);
    QFETCH(QPoint, pos);
    QFETCH(int, button);
    QFETCH(bool, opensMenu);

    QWidget *widget = target == m_window->objectName() ? m_window.get() : child(target);
    QVERIFY(widget);
    QMenu *menu = m_window->popupMenu();
    QVERIFY(!menu->isVisible());
    QTest::mousePress(widget, Qt::MouseButton(button), {}, pos);
    QCOMPARE(menu->isVisible(), opensMenu);
    menu->hide();
    QTest::mouseRelease(widget, Qt::MouseButton(button), {}, pos);
}

void TestWindow::menuItems()
{
    QMenu *menu = m_window->popupMenu();
    QCOMPARE(menu->objectName(), QStringLiteral("Menu"));
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0]->text(), QStringLiteral("Minimieren"));
    QCOMPARE(actions[1]->text(), QStringLiteral("Schliessen"));

    actions[0]->trigger();
    QTRY_VERIFY(m_window->isMinimized());
    m_window->showNormal();
    QTRY_VERIFY(!m_window->isMinimized());
    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Velorand : "));

    actions[1]->trigger();
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"

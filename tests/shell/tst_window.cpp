// The operator window as the operator sees it: every element in place,
// the colours on screen, the hover feedback, the keyboard focus and Qt's
// own texts in German.
#include "shell/appsetup.h"
#include "shell/cmouseinout.h"
#include "shell/facebutton.h"
#include "windowfixture.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGroupBox>
#include <QMenu>
#include <QSignalSpy>

namespace {

QColor pixel(const QImage &image, const QWidget *widget, double x, double y)
{
    const QPoint at
        = widget->mapTo(widget->window(), QPoint(int(widget->width() * x), int(widget->height() * y)));
    return image.pixelColor(at);
}

bool holds(const QImage &image, const QWidget *widget, const QColor &colour)
{
    const QRect area(widget->mapTo(widget->window(), QPoint()), widget->size());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

QString textOf(const QWidget *w)
{
    return w->property("text").toString();
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(prepareApplication()); }
    void init() { f.open(); }
    void elementsAndLayout();
    void colours();
    void hover();
    void hoverTracker();
    void keyboardFocus();
    void popupMenuAndGermanTexts();

private:
    WindowFixture f;
};

void TestWindow::elementsAndLayout()
{
    QCOMPARE(f.w()->objectName(), u"frmVelorand"_qs);
    QCOMPARE(f.w()->size(), QSize(425, 393));
    QCOMPARE(f.w()->windowTitle(), u" Velorand"_qs);
    QVERIFY(f.w()->windowFlags() & Qt::WindowStaysOnTopHint);
    const QString names
        = u"fraZeiteingabe Frame1 fraZeit Frame2 Frame3 txtStd txtMin txtSek spnStd spnMin spnsek "
          "lblStdAb lblMinAb lblSekAb lblStd lblMin lblSek pnlHalbzeit1 pnlHalbzeit2 pnlZeit "
          "pnlHalbzeit1Text pnlHalbzeit2Text pnlZeitText lbl1Halbzeit lbl2Halbzeit "
          "lblGesamtspielzeit cmdStart cmdPause cmdReset cmdUhrAus Line1 Line2 Line3 Line4 "
          "Label1 Label2 Label3 Label5 Label6 Label7 Label8 Label9 Label10"_qs;
    for (const QString &name : names.split(u' '))
        QVERIFY2(f.w()->findChild<QWidget *>(name), qPrintable(name));
    for (const QWidget *w : f.w()->findChildren<QWidget *>()) {
        if (w->isWindow())
            continue;
        const QWidget *parent = w->parentWidget();
        QVERIFY2(parent->rect().contains(w->geometry()), qPrintable(w->objectName()));
        for (const QWidget *sibling : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (sibling != w && !sibling->isWindow())
                QVERIFY2(!sibling->geometry().intersects(w->geometry()),
                    qPrintable(w->objectName() + u" overlaps "_qs + sibling->objectName()));
        }
        if (qobject_cast<const QLabel *>(w) && !qobject_cast<const QLabel *>(w)->text().isEmpty())
            QVERIFY2(
                w->fontMetrics().horizontalAdvance(textOf(w)) <= w->width(), qPrintable(w->objectName()));
    }
    for (const char *button : { "cmdStart", "cmdPause", "cmdReset", "cmdUhrAus" })
        QVERIFY(f.el(button)->fontMetrics().horizontalAdvance(textOf(f.el(button))) < f.el(button)->width());
    // The columns that the operator reads together line up.
    for (const auto &column :
        { "txtStd lblStdAb lblStd", "txtMin lblMinAb lblMin", "txtSek lblSekAb lblSek" }) {
        const QStringList three = QString::fromLatin1(column).split(u' ');
        const auto left = [&](int i) { return f.w()->findChild<QWidget *>(three[i])->geometry(); };
        QVERIFY(left(0) == left(1) && left(1) == left(2));
    }
    QCOMPARE(f.el<QGroupBox>("Frame2")->title(), u"Spielzeitbalken"_qs);
    QCOMPARE(f.el<QLineEdit>("txtStd")->maxLength(), 2);
}

void TestWindow::colours()
{
    f.w()->show();
    f.enter(u"00"_qs, u"00"_qs, u"05"_qs);
    f.w()->cmdStart_Click();
    f.pass(1000);
    QImage shot = f.w()->grab().toImage();
    const QColor yellow(255, 255, 0), red(255, 0, 0), grey(128, 128, 128), navy(0, 0, 128);
    QCOMPARE(pixel(shot, f.el("pnlHalbzeit1"), 0.25, 0.5), yellow); // 50 % filled
    QCOMPARE(pixel(shot, f.el("pnlHalbzeit1"), 0.75, 0.5), grey);
    QCOMPARE(pixel(shot, f.el("pnlZeit"), 0.1, 0.5), yellow); // 20 %
    QCOMPARE(pixel(shot, f.el("pnlZeit"), 0.3, 0.5), navy);
    QVERIFY(holds(shot, f.el("lblSek"), red)); // the last half minute
    QVERIFY(holds(shot, f.el("lblMin"), yellow));
    QVERIFY(holds(shot, f.el("lblSekAb"), red));
    QVERIFY(holds(shot, f.el("txtSek"), QColor(0, 255, 0)));
    QCOMPARE(pixel(shot, f.el("lblSek"), 0.05, 0.5), QColor(0, 0, 0));
    f.pass(4000);
    shot = f.w()->grab().toImage();
    for (const char *banner : { "pnlHalbzeit1Text", "pnlHalbzeit2Text", "pnlZeitText" }) {
        QCOMPARE(pixel(shot, f.el(banner), 0.02, 0.5), red);
        QVERIFY(holds(shot, f.el(banner), QColor(255, 255, 192)));
    }
}

void TestWindow::hover()
{
    const QList<std::pair<const char *, QColor>> faces { { "cmdStart", QColor(0, 255, 0) },
        { "cmdPause", QColor(255, 255, 0) }, { "cmdReset", QColor(255, 127, 127) },
        { "cmdUhrAus", QColor(255, 0, 0) } };
    f.w()->show();
    for (const auto &[name, face] : faces) {
        auto *button = f.el<FaceButton>(name);
        button->setEnabled(true);
        QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
        QApplication::sendEvent(button, &enter);
        QCOMPARE(button->faceColor(), face);
        QVERIFY(button->font().bold());
        QVERIFY(holds(f.w()->grab().toImage(), button, face));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
        QCOMPARE(button->faceColor(), QColor(212, 208, 200));
        QVERIFY(!button->font().bold());
        QVERIFY(holds(f.w()->grab().toImage(), button, QColor(212, 208, 200)));
    }
    // A disabled button does not light up.
    auto *start = f.el<FaceButton>("cmdStart");
    start->setEnabled(false);
    start->setFaceColor({});
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(start, &enter);
    QVERIFY(!start->faceColor().isValid() && !start->font().bold());
}

void TestWindow::hoverTracker()
{
    QWidget control;
    control.resize(40, 20);
    cMouseInOut tracker;
    tracker.attach(&control);
    QSignalSpy in(&tracker, &cMouseInOut::MouseIn), out(&tracker, &cMouseInOut::MouseOut);
    tracker.pointerLeft(); // no MouseOut without a MouseIn
    QCOMPARE(out.count(), 0);
    for (const QPointF &p : { QPointF(0, 0), QPointF(40, 20), QPointF(20, 10) })
        tracker.pointerAt(p.x(), p.y()); // both edges count as inside
    QCOMPARE(in.count(), 1);
    QCOMPARE(in.first().first().value<QWidget *>(), &control);
    tracker.pointerAt(40.5, 10);
    tracker.pointerAt(-0.5, 10);
    QCOMPARE(out.count(), 1);
    tracker.pointerAt(5, 20.5);
    QCOMPARE(in.count(), 1);
    tracker.pointerAt(5, 5);
    QCOMPARE(in.count(), 2);
    QEvent hide(QEvent::Hide);
    QApplication::sendEvent(&control, &hide);
    QCOMPARE(out.count(), 2);
    QVERIFY(CheckMouseInOut(0, 0, 0, 0) && !CheckMouseInOut(0, -0.1, 5, 5));
}

void TestWindow::keyboardFocus()
{
    f.w()->show();
    QVERIFY(QTest::qWaitForWindowActive(f.w()));
    auto *seconds = f.el<QLineEdit>("txtSek");
    seconds->setFocus();
    QTest::keyClicks(seconds, u"5"_qs);
    QCOMPARE(seconds->text(), u"5"_qs);
    QTest::mouseClick(f.el("spnsek"), Qt::LeftButton, {}, QPoint(5, 5)); // up to 6
    QTest::mouseClick(f.el("cmdStart"), Qt::LeftButton);
    QCOMPARE(f.el<QPushButton>("cmdStart")->text(), u"Stopp"_qs);
    QVERIFY(seconds->hasFocus()); // neither the arrows nor the button took the focus
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(f.el<QPushButton>("cmdStart")->text(), u"Stopp"_qs); // the stray key stopped nothing
    QCOMPARE(f.w()->clockState().Spielzeit, 6);
    // Tabbed to an arrow, then Start by mouse: the arrow goes off, and its field gets the focus back.
    f.w()->cmdStart_Click();
    f.el("spnMin")->setFocus();
    QTest::mouseClick(f.el("cmdStart"), Qt::LeftButton);
    QVERIFY(f.el("txtMin")->hasFocus());
    f.w()->cmdStart_Click();
    // Tab still reaches the buttons, and Space on purpose works.
    f.el("spnStd")->setEnabled(true);
    f.el("spnStd")->setFocus();
    QTest::keyClick(f.el("spnStd"), Qt::Key_Tab);
    QVERIFY(f.el("cmdStart")->hasFocus());
    QTest::keyClick(f.el("cmdStart"), Qt::Key_Space);
    QCOMPARE(f.el<QPushButton>("cmdStart")->text(), u"Stopp"_qs);
    // A field that gets the focus selects its whole text.
    f.el("txtMin")->setFocus();
    QCOMPARE(f.el<QLineEdit>("txtMin")->selectedText(), u"00"_qs);
}

void TestWindow::popupMenuAndGermanTexts()
{
    f.w()->show();
    auto *menu = f.el<QMenu>("Menu");
    f.w()->Frame2_MouseDown(Qt::RightButton);
    QTRY_VERIFY(menu->isVisible());
    QStringList items;
    for (const QAction *action : menu->actions())
        items << action->text();
    QCOMPARE(items, QStringList({ u"Minimieren"_qs, u"Schliessen"_qs }));
    menu->hide();
    f.w()->Form_MouseDown(Qt::MiddleButton);
    QVERIFY(!menu->isVisible());
    // Qt's own edit menu of a field speaks German too.
    std::unique_ptr<QMenu> edit(f.el<QLineEdit>("txtStd")->createStandardContextMenu());
    QVERIFY(edit->actions().first()->text().contains(u"Rückgängig"_qs));
    // Closing is never refused.
    f.w()->cmdUhrAus_Click();
    QVERIFY(!f.w()->isVisible());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"

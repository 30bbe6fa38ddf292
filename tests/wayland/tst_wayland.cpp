// The clock natively on a real Wayland compositor, run by on-weston.sh: the
// window comes up, a short game runs to its end on the real timers, the menu
// opens, "Uhr aus" closes.

#include "shell/appsetup.h"
#include "shell/velorandwindow.h"

#include <QtTest>
#include <QtWidgets>

class TestWayland : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clockOnWayland()
    {
        // Any warning from Qt or its Wayland plugin (a protocol error, say) fails the test.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
        prepareApplication();
        VelorandWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        window.findChild<QLineEdit *>(QStringLiteral("txtSek"))->setText(QStringLiteral("2"));
        window.cmdStart_Click();
        QTRY_COMPARE_WITH_TIMEOUT(window.findChild<QLabel *>(u"pnlZeitText"_qs)->text(),
            u"Die Spielzeit ist abgelaufen !"_qs, 4000);

        // The menu is exposed only once the compositor has answered every request before it.
        window.Form_MouseDown(Qt::RightButton);
        QVERIFY(QTest::qWaitForWindowExposed(window.findChild<QMenu *>(u"Menu"_qs)));

        window.cmdUhrAus_Click();
        QTRY_VERIFY(!window.windowHandle()->isExposed()); // the compositor took it down
    }
};

QTEST_MAIN(TestWayland)
#include "tst_wayland.moc"

#pragma once
// One operator window for the widget tests: its game timer runs on a clock
// that only the test moves, and message boxes are recorded instead of shown.
#include "clock/gametimer.h"
#include "shell/velorandwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <memory>

class WindowFixture
{
public:
    void open()
    {
        m_window = std::make_unique<VelorandWindow>();
        now = 0;
        messages.clear();
        timer()->setClock([this] { return now; });
        m_window->setModalRunner([this](QMessageBox &box) { messages << box.text(); });
    }
    VelorandWindow *w() const { return m_window.get(); }
    template <typename T = QWidget> T *el(const char *name) const
    {
        T *found = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no element %s", name);
        return found;
    }
    GameTimer *timer() const { return el<GameTimer>("Timer1"); }
    void enter(const QString &hours, const QString &minutes, const QString &seconds) const
    {
        el<QLineEdit>("txtStd")->setText(hours);
        el<QLineEdit>("txtMin")->setText(minutes);
        el<QLineEdit>("txtSek")->setText(seconds);
    }
    /// Moves the clock on by @p ms and lets the game timer deliver every tick that is due.
    void pass(qint64 ms)
    {
        now += ms * 1000 * 1000;
        timer()->catchUp();
    }
    QString fields() const
    {
        return el<QLineEdit>("txtStd")->text() + u' ' + el<QLineEdit>("txtMin")->text() + u' '
            + el<QLineEdit>("txtSek")->text();
    }
    QString remaining() const
    {
        const DisplayState d = m_window->displayState();
        return d.lblStd + u':' + d.lblMin + u':' + d.lblSek;
    }
    QString elapsed() const
    {
        const DisplayState d = m_window->displayState();
        return d.lblStdAb + u':' + d.lblMinAb + u':' + d.lblSekAb;
    }

    qint64 now = 0;
    QStringList messages;

private:
    std::unique_ptr<VelorandWindow> m_window;
};

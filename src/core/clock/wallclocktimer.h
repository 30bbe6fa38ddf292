#pragma once

#include <QObject>
#include <QString>
#include <QTime>
#include <QTimer>

/// The title shown while the window is on screen: " Velorand :  [hh:mm:ss]".
QString titleWithTime(const QTime &time);

/// The title of a window that is shown, restored or resized, before the clock fills it in.
inline QString plainTitle()
{
    return QStringLiteral(" Velorand : ");
}

/**
 * The title clock's timer: one timeout() just after each full second of
 * the local time, so the title changes in step with the time of day.
 */
class WallClockTimer : public QObject
{
    Q_OBJECT

public:
    explicit WallClockTimer(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(WallClockTimer)

    void start();

    /// Milliseconds from @p now to a moment just past the next full second.
    static int msToNextSecond(const QTime &now);

Q_SIGNALS:
    void timeout();

private:
    void fire();

    QTimer m_wakeUp;
};

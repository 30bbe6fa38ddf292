#pragma once

#include <QColor>
#include <QString>

/// The clock's signal colours and banner texts.
namespace Signal {

inline const QColor green { 0, 255, 0 };
inline const QColor yellow { 255, 255, 0 };
inline const QColor red { 255, 0, 0 };

/// Green while more than 30 s of a count remain, yellow from 30 s to 1 s, red at 0.
QColor forRemaining(qint32 remainingSeconds);

inline QString firstHalfOver()
{
    return QStringLiteral("Die 1. Halbzeit ist abgelaufen !");
}
inline QString secondHalfOver()
{
    return QStringLiteral("Die 2. Halbzeit ist abgelaufen !");
}
inline QString gameOver()
{
    return QStringLiteral("Die Spielzeit ist abgelaufen !");
}
inline QString gameInterrupted()
{
    return QStringLiteral("Spielzeit unterbrochen !");
}

} // namespace Signal

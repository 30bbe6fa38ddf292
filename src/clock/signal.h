#pragma once

#include <QString>
#include <QtGlobal>

/// The clock's signal colours, its banner texts and the limits of the entry.
namespace Signal {

/// The colour of a bar or of the remaining seconds.
enum class Colour { Green, Yellow, Red };

/// The colour as 0xRRGGBB.
constexpr quint32 rgb(Colour colour)
{
    switch (colour) {
    case Colour::Green:
        return 0x00ff00;
    case Colour::Yellow:
        return 0xffff00;
    case Colour::Red:
        break;
    }
    return 0xff0000;
}

/// Green while more than 30 s of a count remain, yellow from 30 s to 1 s, red at 0.
constexpr Colour forRemaining(qint32 remainingSeconds)
{
    if (remainingSeconds == 0)
        return Colour::Red;
    return remainingSeconds <= 30 ? Colour::Yellow : Colour::Green;
}

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

/// The largest game the fields take: Start bounds them to these, the spin steps stop there.
namespace Limit {
constexpr int hours = 24;
constexpr int minutes = 59;
constexpr int seconds = 59;
} // namespace Limit

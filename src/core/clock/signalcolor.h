#pragma once

#include <QtGlobal>

/// The clock's signal colors: green, yellow and red for a bar or the remaining seconds.
namespace Signal {

/// The color of a bar or of the remaining seconds.
enum class Color { Green, Yellow, Red };

/// The color as 0xRRGGBB.
constexpr quint32 rgb(Color color)
{
    switch (color) {
    case Color::Green:
        return 0x00ff00;
    case Color::Yellow:
        return 0xffff00;
    case Color::Red:
        break;
    }
    return 0xff0000;
}

/// Green while more than 30 s of a count remain, yellow from 30 s to 1 s, red at 0.
constexpr Color forRemaining(qint32 remainingSeconds)
{
    if (remainingSeconds == 0)
        return Color::Red;
    return remainingSeconds <= 30 ? Color::Yellow : Color::Green;
}

} // namespace Signal

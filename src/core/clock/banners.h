#pragma once

#include <QString>

/// The banner texts laid over the bars when a half or the game is over.
namespace Banner {

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

} // namespace Banner

#pragma once

#include "clock/signal.h"

#include <QColor>
#include <QString>

/// The window's colours and the captions that change at run time.
namespace Look {

inline const QColor black { 0, 0, 0 };
inline const QColor white { 255, 255, 255 };
inline const QColor grey { 128, 128, 128 };
inline const QColor darkGreen { 0, 128, 0 };
inline const QColor navy { 0, 0, 128 };
inline const QColor entryText { 0, 255, 0 };
inline const QColor elapsedText { 255, 0, 0 };
inline const QColor remainingText { 255, 255, 0 };
inline const QColor bannerBackground { 255, 0, 0 };
inline const QColor bannerText { 255, 255, 192 };

/// A command button's face with the pointer away, and under the pointer.
inline const QColor faceIdle { 212, 208, 200 };
inline const QColor faceStart { 0, 255, 0 };
inline const QColor facePause { 255, 255, 0 };
inline const QColor faceReset { 255, 127, 127 };
inline const QColor faceUhrAus { 255, 0, 0 };

inline QColor of(Signal::Colour colour)
{
    return QColor::fromRgb(Signal::rgb(colour));
}

inline QString start()
{
    return QStringLiteral("Start");
}
inline QString stopp()
{
    return QStringLiteral("Stopp");
}
inline QString pause()
{
    return QStringLiteral("Pause");
}
inline QString weiter()
{
    return QStringLiteral("weiter");
}
inline QString zero()
{
    return QStringLiteral("00");
}

} // namespace Look

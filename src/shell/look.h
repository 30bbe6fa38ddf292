#pragma once

#include "widgets/colors.h"

#include <QColor>
#include <QString>

/// The operator window's own colors and the captions that change at run time.
namespace Look {

inline const QColor entryText { 0, 255, 0 };
inline const QColor elapsedText { 255, 0, 0 };
inline const QColor remainingText { 255, 255, 0 };

/// A command button's face with the pointer away, and under the pointer.
inline const QColor faceIdle { 212, 208, 200 };
inline const QColor faceStart { 0, 255, 0 };
inline const QColor facePause { 255, 255, 0 };
inline const QColor faceReset { 255, 127, 127 };
inline const QColor faceUhrAus { 255, 0, 0 };

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

#pragma once

#include "core/clock/signalcolor.h"

#include <QColor>

/// The design's plain colors, shared by the elements and the windows built from them.
namespace Colors {

inline const QColor black { 0, 0, 0 };
inline const QColor white { 255, 255, 255 };
inline const QColor grey { 128, 128, 128 };
inline const QColor darkGreen { 0, 128, 0 };
inline const QColor navy { 0, 0, 128 };
/// A banner over a bar: light yellow on red.
inline const QColor bannerBackground { 255, 0, 0 };
inline const QColor bannerText { 255, 255, 192 };

inline QColor of(Signal::Color color)
{
    return QColor::fromRgb(Signal::rgb(color));
}

} // namespace Colors

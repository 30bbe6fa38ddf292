#pragma once

#include <QIcon>
#include <QImage>

/// The clock face drawn from the program's SVG at @p size x @p size pixels, on a transparent ground.
QImage renderClockFace(int size);

/// The window icon: the clock face at the usual icon sizes.
QIcon clockFaceIcon();

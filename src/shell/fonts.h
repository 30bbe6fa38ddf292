#pragma once

#include <QFont>

/// The window's two typefaces, each taken from the installed families once, at application start.
namespace Fonts {

/// Picks the installed families and makes the window's small face the application's font,
/// so that Qt's own widgets start from it.
void install();

/// The face of the digits and banners: Verdana, or DejaVu Sans where it is missing.
QFont verdana(double points, bool bold = true);
/// The face of the captions: MS Sans Serif, or Liberation Sans where it is missing.
QFont sansSerif(double points, bool bold);
/// The family behind verdana(), for fonts sized in pixels.
QString verdanaFamily();

} // namespace Fonts

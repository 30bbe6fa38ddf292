#pragma once

#include <QRect>

// The operator window's layout as designed: every element's place, in twips, relative to its container.

/// The design's measures are twips; 15 twips make one logical pixel.
constexpr QRect twips(int left, int top, int width, int height)
{
    return { left / 15, top / 15, width / 15, height / 15 };
}

namespace Geometry {
// Framed groups
constexpr QRect fraZeiteingabe = twips(120, 60, 4755, 975);
constexpr QRect Frame1 = twips(120, 1140, 4755, 975);
constexpr QRect fraZeit = twips(120, 2220, 4755, 975);
constexpr QRect Frame2 = twips(120, 3300, 6135, 2475);
constexpr QRect Frame3 = twips(4980, 60, 1275, 3135);

// The three columns of a time group: unit label, digits, spin button
constexpr int unitLeft[] = { 135, 1740, 3240 };
constexpr int unitWidth[] = { 240, 255, 285 };
constexpr int digitsLeft[] = { 480, 2100, 3600 };
constexpr int spinLeft[] = { 1230, 2850, 4350 };
constexpr int unitTop = 450, unitTopRemaining = 420, unitHeight = 195;
constexpr int digitsTop = 300, digitsWidth = 735, digitsHeight = 540, spinWidth = 255;

// Bars in Frame2
constexpr QRect lbl1Halbzeit = twips(120, 300, 1050, 195);
constexpr QRect pnlHalbzeit1 = twips(120, 540, 5895, 300);
constexpr QRect pnlHalbzeit1Text = twips(15, 15, 5865, 270);
constexpr QRect lbl2Halbzeit = twips(120, 900, 1050, 195);
constexpr QRect pnlHalbzeit2 = twips(120, 1140, 5895, 300);
constexpr QRect pnlHalbzeit2Text = twips(15, 15, 5865, 270);
constexpr QRect lblGesamtspielzeit = twips(120, 1680, 1350, 195);
constexpr QRect pnlZeit = twips(120, 1920, 5895, 420);
constexpr QRect pnlZeitText = twips(15, 15, 5865, 390);
constexpr QRect Line2 = twips(120, 1560, 6000 - 120, 15);
constexpr QRect Line1 = twips(120, 1575, 6000 - 120, 15);

// Commands in Frame3
constexpr QRect cmdStart = twips(150, 240, 975, 540);
constexpr QRect cmdPause = twips(150, 915, 975, 540);
constexpr QRect cmdReset = twips(150, 1590, 975, 540);
constexpr QRect cmdUhrAus = twips(150, 2460, 975, 540);
constexpr QRect Line4 = twips(150, 2295, 1125 - 150, 15);
constexpr QRect Line3 = twips(150, 2310, 1125 - 150, 15);
} // namespace Geometry

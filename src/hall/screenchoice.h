#pragma once

#include <QList>
#include <QRect>

/**
 * Where the hall view goes, worked out from plain values: the screens'
 * geometries in the order of QGuiApplication::screens() and the index of the
 * screen that holds the operator window. A screen that overlaps the
 * operator's (a mirrored projector) counts as the operator's.
 */
struct ScreenChoice
{
    int screen = -1; ///< index into the screens; -1: none
    bool fullScreen = false; ///< full-screen there, else a normal window beside the operator window

    bool operator==(const ScreenChoice &) const = default;

    /// At start: @p requested 0 asks for the first screen without the operator window, N for screen N
    /// (counted from 1). A number beyond the screens gives screen -1.
    static ScreenChoice atStart(const QList<QRect> &screens, int operatorScreen, int requested);

    /// After a screen came or went: @p current is the view's screen in the new list, -1 when it is gone.
    /// The view leaves the operator's screen as soon as there is another one.
    static ScreenChoice afterChange(const QList<QRect> &screens, int operatorScreen, int current);
};

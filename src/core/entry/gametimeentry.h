#pragma once

#include <QString>
#include <QtGlobal>

/**
 * @file
 * What the three entry fields mean for the game: its length in seconds
 * and whether it can be started.
 */

/// The values of the hours, minutes and seconds fields, as read by Zahlenwert.
struct EnteredTime
{
    double hours = 0.0;
    double minutes = 0.0;
    double seconds = 0.0;

    static EnteredTime fromTexts(const QString &hours, const QString &minutes, const QString &seconds);

    /// seconds + minutes * 60 + hours * 3600, rounded to the nearest second (ties to even).
    qint32 gameSeconds() const;
};

/// How a change of the fields sets "Start" and "Uhr aus".
enum class StartButtonRule {
    EnableStart, ///< some field reads above zero: Start on, "Uhr aus" off
    DisableStart, ///< all three read exactly zero: Start off, "Uhr aus" on
    Keep ///< none above zero but one below: both keep their state
};

StartButtonRule startButtonRule(const EnteredTime &entered);

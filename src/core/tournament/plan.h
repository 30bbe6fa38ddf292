#pragma once

#include "core/tournament/csv.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

/// One game of the plan.
struct PlannedGame
{
    QString nr; ///< as written in the plan, unique
    std::optional<QTime> start; ///< Beginn, HH:MM; none when the plan has no such column or the cell is empty
    QString field; ///< Feld, shown only
    QString home, away;
    int seconds = 0; ///< the game time, 1 s to 24:59:59
    int line = 0; ///< where its row starts in the file
};

/// The games of a tournament day, in the plan's order, and how its file is written.
struct Plan
{
    static constexpr qint64 maxBytes = 1024 * 1024;
    static constexpr int maxGames = 1000;
    static constexpr int maxErrors = 10;

    QList<PlannedGame> games;
    QChar delimiter = u';';
    TextEncoding encoding = TextEncoding::Utf8;
    QByteArray hash; ///< SHA-256 of the file's bytes, hex: tells whether the plan changed between runs
};

/// A plan, or what is wrong with it.
struct PlanReading
{
    Plan plan;
    /// At most Plan::maxErrors lines in German, each "FILE:LINE: what is wrong", e.g.
    /// "plan.csv:7: Spielzeit „10:75“ ist keine Zeit (MM:SS)". Empty when the plan can be used.
    QStringList errors;
};

/// Reads a plan from @p bytes; @p fileName names it in the errors.
PlanReading readPlan(const QByteArray &bytes, const QString &fileName);
/// Reads the plan file at @p path (at most Plan::maxBytes); errors name it by its file name.
PlanReading readPlanFile(const QString &path);

/// A game time as the plan writes it: "M:SS", "MM:SS", "H:MM:SS" or whole minutes ("10"); none if it is
/// none of these. Minutes may exceed 59 in "M:SS" and whole minutes (90:00 is an hour and a half); the range
/// is not checked, and a number too large to hold reads as one still far beyond 24:59:59.
std::optional<int> parseGameTime(QStringView text);

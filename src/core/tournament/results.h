#pragma once

#include "core/tournament/plan.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

/// What happened in one game of the plan.
struct GameResult
{
    int home = 0, away = 0; ///< goals
    QDateTime started; ///< kick-off, the moment Start was pressed; invalid while the game has not started
    QDateTime ended; ///< the moment the game's time ran out; valid once the game counts as played

    bool played() const { return ended.isValid(); }
    bool operator==(const GameResult &) const = default;
};

/// The results file: beside the plan as "<plan name>-ergebnisse.csv", in the plan's delimiter and encoding,
/// one row per game in plan order, the cells of games without a result empty.
namespace Results {

/// The results file of the plan at @p planPath, in the plan's folder or, when that is not writable, in
/// @p fallbackFolder.
QString pathFor(const QString &planPath, const QString &fallbackFolder);

/// The whole file for @p results, which are indexed like the plan's games.
QByteArray render(const Plan &plan, const QList<GameResult> &results);

/// The results an earlier run wrote, indexed like @p plan's games: a row counts when its Nr, Heim and
/// Gast match a game of the plan and it has a valid Abgepfiffen. What cannot be used is said in
/// @p warnings, in German, naming @p fileName and the line.
QList<GameResult> read(
    const QByteArray &bytes, const Plan &plan, const QString &fileName, QStringList *warnings);

} // namespace Results

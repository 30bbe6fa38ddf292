#include "tournament/tournamentsession.h"

#include "core/tournament/resultswriter.h"
#include "core/tournament/tournament.h"
#include "tournament/tournamentwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>

namespace {

/// The results an earlier run left at @p path. What cannot be used is said on standard error and in
/// @p notice, and the file is kept aside before it is written anew.
QList<GameResult> readEarlierResults(const QString &path, const Plan &plan, QString *notice)
{
    QFile file(path);
    if (!file.exists())
        return {};
    const QString name = QFileInfo(path).fileName();
    QStringList warnings;
    QList<GameResult> results;
    if (!file.open(QIODevice::ReadOnly) || file.size() > 8 * Plan::maxBytes)
        warnings << QStringLiteral("%1: nicht lesbar, Ergebnisse nicht übernommen").arg(name);
    else
        results = Results::read(file.readAll(), plan, name, &warnings);
    if (warnings.isEmpty())
        return results;
    const QString kept = path + QStringLiteral(".alt");
    QFile::remove(kept);
    warnings << (QFile::copy(path, kept)
            ? QStringLiteral("Die bisherige Datei ist als %1 aufbewahrt.").arg(kept)
            : QStringLiteral("Die bisherige Datei konnte nicht aufbewahrt werden."));
    for (const QString &line : std::as_const(warnings))
        std::fprintf(stderr, "velorand: %s\n", qPrintable(line));
    *notice = warnings.join(u'\n');
    return results;
}

} // namespace

TournamentSession::TournamentSession(Plan plan, const QString &planPath, VelorandWindow &clock)
{
    const QString resultsPath = Results::pathFor(planPath,
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/velorand"));
    QString notice;
    QList<GameResult> earlier = readEarlierResults(resultsPath, plan, &notice);
    m_tournament = std::make_unique<Tournament>(std::move(plan), std::move(earlier));
    m_writer = std::make_unique<ResultsWriter>(resultsPath);
    m_window
        = std::make_unique<TournamentWindow>(*m_tournament, clock, *m_writer, QFileInfo(planPath).fileName());
    m_window->setNotice(notice);
    m_tournament->begin();
    m_window->showAfterClock();
}

TournamentSession::~TournamentSession() = default;

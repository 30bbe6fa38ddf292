#include "tournament/tournamentsession.h"

#include "core/entry/gametimeentry.h"
#include "core/tournament/journalkeeper.h"
#include "core/tournament/resultswriter.h"
#include "core/tournament/tournament.h"
#include "shell/velorandwindow.h"
#include "tournament/tournamentwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

namespace {

/// @p lines on standard error, where a terminal or the session's log keeps them.
void tell(const QStringList &lines)
{
    for (const QString &line : lines)
        std::fprintf(stderr, "velorand: %s\n", qPrintable(line));
}

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
    tell(warnings);
    *notice = warnings.join(u'\n');
    return results;
}

/// The journal's results on @p plan: a game keeps its result when its Nr, Heim and Gast are still in the
/// plan (all of them unless the plan was changed). @p current becomes the loaded game's index there.
QList<GameResult> carriedOver(const JournalEntry &entry, const Plan &plan, int *current, QStringList *notices)
{
    QList<GameResult> results(plan.games.size());
    QStringList dropped;
    for (qsizetype j = 0; j < entry.results.size(); ++j) {
        const JournalResult &r = entry.results[j];
        const auto same = std::find_if(plan.games.cbegin(), plan.games.cend(),
            [&r](const PlannedGame &g) { return g.nr == r.nr && g.home == r.home && g.away == r.away; });
        if (same != plan.games.cend()) {
            const auto index = same - plan.games.cbegin();
            results[index] = r.result;
            if (j == entry.current)
                *current = int(index);
        } else if (r.result.started.isValid()) {
            dropped << QStringLiteral("Nr. %1 (%2 – %3)").arg(r.nr, r.home, r.away);
        }
    }
    if (entry.planHash != plan.hash)
        notices->append(dropped.isEmpty() ? QStringLiteral("Spielplan geändert; alle Ergebnisse übernommen")
                                          : QStringLiteral("Spielplan geändert; nicht übernommen: ")
                    + dropped.join(QStringLiteral(", ")));
    return results;
}

/// A game on the clock whose time ran out while the program was down ended when its time was up.
void endWhileDown(const JournalEntry &entry, const Moment &now, GameResult *result)
{
    const GameFacts &game = entry.game;
    const qint64 lengthMs = 1000LL
        * EnteredTime::fromTexts(entry.fields.value(0), entry.fields.value(1), entry.fields.value(2))
              .gameSeconds();
    if (game.phase == GameFacts::Phase::Running && result->started.isValid() && !result->ended.isValid()
        && game.elapsedAt(now) >= lengthMs)
        result->ended = QDateTime::fromMSecsSinceEpoch(game.since.wallMs + lengthMs - game.elapsedMs);
}

} // namespace

TournamentSession::TournamentSession(
    Plan plan, const QString &planPath, VelorandWindow &clock, std::unique_ptr<Journal> journal)
    : m_journal(std::move(journal))
{
    const QString resultsPath = Results::pathFor(planPath,
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/velorand"));
    const Journal::Loaded loaded = m_journal->load();
    QStringList notices;
    if (!loaded.damage.isEmpty())
        notices << (loaded.entry ? QStringLiteral("Journal beschädigt (%1), vorheriger Stand geladen")
                                 : QStringLiteral("Journal beschädigt (%1), nur die Ergebnisdatei geladen"))
                       .arg(loaded.damage);
    int current = -1;
    QList<GameResult> earlier;
    const Moment now = Moment::now();
    if (loaded.entry)
        earlier = carriedOver(*loaded.entry, plan, &current, &notices);
    if (current >= 0)
        endWhileDown(*loaded.entry, now, &earlier[current]);
    tell(notices);
    QString resultsNotice;
    if (!loaded.entry)
        earlier = readEarlierResults(resultsPath, plan, &resultsNotice);
    if (!resultsNotice.isEmpty())
        notices << resultsNotice;
    m_tournament = std::make_unique<Tournament>(std::move(plan), std::move(earlier));
    m_writer = std::make_unique<ResultsWriter>(resultsPath);
    m_window
        = std::make_unique<TournamentWindow>(*m_tournament, clock, *m_writer, QFileInfo(planPath).fileName());
    if (current >= 0)
        restore(*loaded.entry, current, loaded.entry->game.elapsedAt(now), clock);
    else
        m_tournament->begin();
    m_window->setNotice(notices.join(u'\n'));
    // From here on every operator action is written before its handler returns; the first write holds the
    // whole state, restored or new.
    m_keeper
        = std::make_unique<JournalKeeper>(*m_journal, *m_tournament, [&clock] { return clock.elapsedMs(); });
    if (loaded.entry)
        m_keeper->setRemote(loaded.entry->remote);
    QObject::connect(&clock, &VelorandWindow::displayChanged, m_keeper.get(), &JournalKeeper::observe);
    QObject::connect(
        m_tournament.get(), &Tournament::changed, m_keeper.get(), &JournalKeeper::tournamentChanged);
    QObject::connect(
        m_keeper.get(), &JournalKeeper::written, m_window.get(), &TournamentWindow::showJournalWritten);
    // After the first frame: until then the snapshot on disk, if any, holds the same facts, and the results
    // file of a restored day is brought up to date from its thread.
    QTimer::singleShot(0, m_keeper.get(), [this, &clock, restored = loaded.entry.has_value()] {
        m_keeper->observe(clock.displayState());
        if (restored)
            m_writer->write(Results::render(m_tournament->plan(), m_tournament->results()));
    });
    m_window->showAfterClock();
}

void TournamentSession::restore(const JournalEntry &entry, int current, qint64 elapsed, VelorandWindow &clock)
{
    const GameFacts &game = entry.game;
    const bool on = game.phase != GameFacts::Phase::Idle;
    // The fields first: the tournament takes a clock that is not running yet for a game stopped.
    clock.enterFieldTexts(entry.fields);
    m_tournament->restore(current, on);
    if (!on)
        return;
    clock.resumeGame(elapsed, game.phase == GameFacts::Phase::Paused);
    const QString line = QStringLiteral("Wiederhergestellt: Spiel %1, %2 gespielt")
                             .arg(m_tournament->plan().games[current].nr, clock.displayState().elapsedText());
    tell({ line });
    m_window->showTransient(line);
}

TournamentSession::~TournamentSession() = default;

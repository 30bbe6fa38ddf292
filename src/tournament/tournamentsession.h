#pragma once

#include "core/tournament/journal.h"
#include "core/tournament/plan.h"

#include <QString>
#include <memory>

class Journal;
class JournalKeeper;
class ResultsWriter;
class Tournament;
class TournamentWindow;
class VelorandWindow;

/**
 * A tournament day on the clock window, as "velorand --turnier PLAN" builds
 * it: the tournament on the plan with the results of an earlier run, the
 * writer of the results file and the tournament window. Built before the
 * clock window is shown, so the first game's time is in the clock's fields
 * on its first frame; the tournament window follows that frame.
 *
 * With a journal from an earlier run it goes on where that run stood: the
 * results, the loaded game, and a game on the clock with the time that
 * passed while the program was down.
 */
class TournamentSession
{
public:
    /// The results file goes beside @p planPath, or where the plan's folder cannot be written, into
    /// $XDG_DATA_HOME/velorand/. @p journal, locked, is read and then kept up to date; without a whole
    /// snapshot in it, the results file of an earlier run is read. What cannot be used is said on standard
    /// error and in the tournament window.
    TournamentSession(
        Plan plan, const QString &planPath, VelorandWindow &clock, std::unique_ptr<Journal> journal);
    ~TournamentSession();
    Q_DISABLE_COPY_MOVE(TournamentSession)

    Tournament &tournament() const { return *m_tournament; }
    ResultsWriter &writer() const { return *m_writer; }
    TournamentWindow &window() const { return *m_window; }
    /// Writes the journal; holds the remote control's part from an earlier run.
    JournalKeeper &keeper() const { return *m_keeper; }

private:
    void restore(const JournalEntry &entry, int current, qint64 elapsed, VelorandWindow &clock);

    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<JournalKeeper> m_keeper;
    std::unique_ptr<Tournament> m_tournament;
    std::unique_ptr<ResultsWriter> m_writer;
    std::unique_ptr<TournamentWindow> m_window;
};

#pragma once

#include "core/clock/displaystate.h"
#include "core/tournament/plan.h"
#include "core/tournament/results.h"

#include <QDateTime>
#include <QObject>
#include <functional>
#include <optional>

/**
 * The flow of a tournament day: which game of the plan the clock has
 * loaded, its score, and the results of every game so far.
 *
 * It follows the clock through the display state the operator window
 * publishes (observe()): Start is the kick-off, the game-over banner the
 * final whistle, and "Stopp" after it makes the result final and loads the
 * next game; "Stopp" before it leaves the game without a result, loaded
 * again to be played again. Loading a game asks the window to enter its
 * time (gameLoaded()); the window's own Start then starts it.
 */
class Tournament : public QObject
{
    Q_OBJECT

public:
    enum class Team { Home, Away };

    /// @p results are indexed like @p plan's games (missing ones count as not played).
    explicit Tournament(Plan plan, QList<GameResult> results = {}, QObject *parent = nullptr);

    /// The moment now (tests replace it).
    void setClock(std::function<QDateTime()> now);

    const Plan &plan() const { return m_plan; }
    const QList<GameResult> &results() const { return m_results; }
    /// The loaded game's index in the plan; -1 when none is loaded.
    int current() const { return m_current; }
    /// A game is on the clock: between its Start and its Stopp.
    bool gameOn() const { return m_running; }
    /// The loaded game's score can be changed: it has started and the next game is not loaded yet.
    bool scoreEditable() const;

    /// Loads the first game without a result, if there is one.
    void begin();
    /// Loads game @p index of the plan: refused while a game is on.
    void load(int index);
    /// After a restart: game @p index is loaded as it was, on the clock (@p gameOn) or waiting for its Start.
    /// Nothing is announced: the clock is to be put back first, before it publishes anything.
    void restore(int index, bool gameOn);
    /// Loads the game after the loaded one that has no result yet (from the top again past the last).
    void loadNext();
    /// Adds @p delta to a team's goals in the loaded game; a score never goes below 0.
    void changeScore(Team team, int delta);

    /// Follows what the clock shows.
    void observe(const DisplayState &state);

    /// The loaded game for the views, and the one the next "Nächstes Spiel" would load.
    std::optional<MatchDisplay> match() const;
    std::optional<MatchDisplay> next() const;
    /// Between games, before a planned start: the time left to it, "MM:SS" or "H:MM:SS"; else empty.
    QString countdown() const;
    /// The line that tells the operator where the day stands, e.g. "Nächstes Spiel um 10:24 · 3 min hinter
    /// Plan".
    QString planLine() const;

Q_SIGNALS:
    /// Game @p index was loaded: its time, @p seconds, goes into the clock's entry fields.
    void gameLoaded(int index, int seconds);
    /// Anything the views show of the tournament changed.
    void changed();
    /// A result changed: the results file is to be written.
    void resultsChanged();

private:
    int nextIndex() const;
    std::optional<MatchDisplay> display(int index) const;
    QString lateness(const QTime &planned, const QTime &actual) const;

    Plan m_plan;
    QList<GameResult> m_results;
    std::function<QDateTime()> m_now;
    int m_current = -1;
    bool m_running = false; ///< the clock's Start button reads "Stopp"
    bool m_over = false; ///< the loaded game's time ran out
};

#pragma once

#include "core/clock/displaystate.h"
#include "core/tournament/journal.h"

#include <QObject>
#include <QTimer>
#include <functional>

class Tournament;

/**
 * Keeps a tournament's journal up to date: every operator action that
 * changes the facts (a game loaded, Start, Stopp, Pause, weiter, an entry
 * field, a score) is written before the handler that made it returns.
 *
 * Ticks change no fact: the game time follows from the moment of the last
 * Start or weiter, and a game's end from its time, so the tick never waits
 * for the disk. A failed write is tried again every two seconds until one
 * succeeds; until then everything stays in memory.
 */
class JournalKeeper : public QObject
{
    Q_OBJECT

public:
    /// @p elapsedMs reads the clock's game time; @p now the moment (tests replace both).
    JournalKeeper(Journal &journal, const Tournament &tournament, std::function<qint64()> elapsedMs,
        std::function<Moment()> now = &Moment::now, QObject *parent = nullptr);

    /// Follows what the clock shows, and writes when a fact changed.
    void observe(const DisplayState &state);
    /// Writes when a fact of the tournament changed (a game loaded, a score).
    void tournamentChanged();
    /// The remote control's devices and commands; written at once, except before the first write, which
    /// holds them.
    void setRemote(const RemoteRecord &remote);
    const RemoteRecord &remote() const { return m_remote; }
    /// What a write now would hold.
    JournalEntry entry() const;
    /// Why the last write failed; empty when it worked.
    QString error() const { return m_error; }

Q_SIGNALS:
    /// A write worked (@p error empty) or failed.
    void written(const QString &error);

private:
    void writeIfChanged();
    void write();

    Journal &m_journal;
    const Tournament &m_tournament;
    std::function<qint64()> m_elapsedMs;
    std::function<Moment()> m_now;
    GameFacts m_game;
    QStringList m_fields;
    RemoteRecord m_remote;
    JournalEntry m_tried; ///< the last entry written or tried, with the games' ends left out
    bool m_everTried = false;
    QString m_error;
    QTimer m_retry { this }; ///< while a write failed: tries again every 2 s
};

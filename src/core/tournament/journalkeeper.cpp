#include "core/tournament/journalkeeper.h"

#include "core/tournament/tournament.h"

namespace {

/// @p entry without what follows from its facts: a game's end comes with a tick and needs no write.
JournalEntry withoutEnds(JournalEntry entry)
{
    for (JournalResult &r : entry.results)
        r.result.ended = {};
    return entry;
}

} // namespace

JournalKeeper::JournalKeeper(Journal &journal, const Tournament &tournament,
    std::function<qint64()> elapsedMs, std::function<Moment()> now, QObject *parent)
    : QObject(parent)
    , m_journal(journal)
    , m_tournament(tournament)
    , m_elapsedMs(std::move(elapsedMs))
    , m_now(std::move(now))
{
    m_retry.setInterval(2000);
    connect(&m_retry, &QTimer::timeout, this, &JournalKeeper::write);
}

void JournalKeeper::observe(const DisplayState &state)
{
    using Phase = GameFacts::Phase;
    const Phase phase = !state.running ? Phase::Idle : state.paused ? Phase::Paused : Phase::Running;
    if (phase != m_game.phase) {
        // Start and weiter fix the moment the game time counts from; Pause the time it stands at.
        m_game = { phase, phase == Phase::Idle ? 0 : m_elapsedMs(),
            phase == Phase::Running ? m_now() : Moment() };
    }
    m_fields = { state.txtStd, state.txtMin, state.txtSek };
    writeIfChanged();
}

void JournalKeeper::tournamentChanged()
{
    writeIfChanged();
}

void JournalKeeper::setRemote(const RemoteRecord &remote)
{
    m_remote = remote;
    if (m_everTried)
        writeIfChanged();
}

JournalEntry JournalKeeper::entry() const
{
    JournalEntry entry;
    entry.remote = m_remote;
    const Plan &plan = m_tournament.plan();
    entry.planHash = plan.hash;
    entry.fields = m_fields;
    entry.game = m_game;
    // The games that have started, and the loaded one: a game is found again by its names, so a snapshot
    // stays small on a long plan.
    for (qsizetype i = 0; i < plan.games.size(); ++i) {
        const PlannedGame &game = plan.games[i];
        const GameResult &result = m_tournament.results()[i];
        if (i == m_tournament.current())
            entry.current = int(entry.results.size());
        if (result.started.isValid() || i == m_tournament.current())
            entry.results << JournalResult { game.nr, game.home, game.away, result };
    }
    return entry;
}

void JournalKeeper::writeIfChanged()
{
    if (!m_everTried || withoutEnds(entry()) != m_tried)
        write();
}

void JournalKeeper::write()
{
    const JournalEntry now = entry();
    m_tried = withoutEnds(now);
    m_everTried = true;
    m_error = m_journal.write(now);
    if (m_error.isEmpty())
        m_retry.stop();
    else if (!m_retry.isActive())
        m_retry.start();
    emit written(m_error);
}

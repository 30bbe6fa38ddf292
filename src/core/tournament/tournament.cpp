#include "core/tournament/tournament.h"

#include "core/clock/banners.h"

#include <algorithm>

Tournament::Tournament(Plan plan, QList<GameResult> results, QObject *parent)
    : QObject(parent)
    , m_plan(std::move(plan))
    , m_results(std::move(results))
    , m_now(&QDateTime::currentDateTime)
{
    m_results.resize(m_plan.games.size());
}

void Tournament::setClock(std::function<QDateTime()> now)
{
    m_now = std::move(now);
}

bool Tournament::scoreEditable() const
{
    return m_current >= 0 && m_results[m_current].started.isValid();
}

void Tournament::begin()
{
    const auto unplayed
        = std::find_if(m_results.cbegin(), m_results.cend(), [](const GameResult &r) { return !r.played(); });
    if (unplayed != m_results.cend())
        load(int(unplayed - m_results.cbegin()));
}

void Tournament::load(int index)
{
    if (m_running || index < 0 || index >= m_plan.games.size())
        return;
    m_current = index;
    emit gameLoaded(index, m_plan.games[index].seconds);
    emit changed();
}

int Tournament::nextIndex() const
{
    const qsizetype count = m_plan.games.size();
    for (qsizetype step = 1; step <= count; ++step) {
        const qsizetype index = (m_current + step) % count;
        if (!m_results[index].played() && index != m_current)
            return int(index);
    }
    return -1;
}

void Tournament::restore(int index, bool gameOn)
{
    if (index < 0 || index >= m_plan.games.size())
        return;
    m_current = index;
    m_running = gameOn;
    m_over = m_results[index].played();
}

void Tournament::loadNext()
{
    if (m_running)
        return;
    const int index = nextIndex();
    if (index >= 0) {
        load(index);
        return;
    }
    m_current = -1;
    emit changed();
}

void Tournament::changeScore(Team team, int delta)
{
    if (!scoreEditable())
        return;
    int &goals = team == Team::Home ? m_results[m_current].home : m_results[m_current].away;
    if (goals + delta < 0)
        return;
    goals += delta;
    emit resultsChanged();
    emit changed();
}

void Tournament::observe(const DisplayState &state)
{
    const bool over = state.zeit.bannerVisible && state.zeit.banner == Banner::gameOver();
    const bool started = state.running && !m_running, stopped = m_running && !state.running;
    const bool endedNow = over && !m_over;
    const bool wasOver = m_over;
    m_running = state.running;
    m_over = over && state.running;
    if (m_current < 0 || !(started || stopped || endedNow))
        return;
    GameResult &result = m_results[m_current];
    if (started)
        result = { 0, 0, m_now(), {} };
    else if (endedNow)
        result.ended = m_now();
    else if (wasOver) {
        // The final whistle has been and gone: the result stands, the day goes on.
        loadNext();
        return;
    } else {
        // Stopped before the end: the game did not count, and waits to be played again.
        result = {};
        emit resultsChanged();
        load(m_current);
        return;
    }
    emit resultsChanged();
    emit changed();
}

std::optional<MatchDisplay> Tournament::display(int index) const
{
    if (index < 0)
        return std::nullopt;
    const PlannedGame &game = m_plan.games[index];
    return MatchDisplay { game.nr, game.home, game.away, m_results[index].home, m_results[index].away,
        game.start ? game.start->toString(u"HH:mm") : QString() };
}

std::optional<MatchDisplay> Tournament::match() const
{
    return display(m_current);
}

std::optional<MatchDisplay> Tournament::next() const
{
    std::optional<MatchDisplay> after = display(m_current < 0 ? -1 : nextIndex());
    if (after)
        after->scoreHome = after->scoreAway = 0;
    return after;
}

QString Tournament::countdown() const
{
    if (m_running || m_current < 0 || !m_plan.games[m_current].start)
        return {};
    const int left = m_now().time().secsTo(*m_plan.games[m_current].start);
    if (left <= 0)
        return {};
    const QString minutesSeconds = QStringLiteral("%1:%2")
                                       .arg(left / 60 % 60, 2, 10, QLatin1Char('0'))
                                       .arg(left % 60, 2, 10, QLatin1Char('0'));
    return left >= 3600 ? QString::number(left / 3600) + u':' + minutesSeconds : minutesSeconds;
}

QString Tournament::lateness(const QTime &planned, const QTime &actual) const
{
    const int minutes = planned.secsTo(actual) / 60;
    return minutes > 0 ? QStringLiteral(" · %1 min hinter Plan").arg(minutes) : QStringLiteral(" · im Plan");
}

QString Tournament::planLine() const
{
    if (m_current < 0) {
        const bool allPlayed = std::all_of(
            m_results.cbegin(), m_results.cend(), [](const GameResult &r) { return r.played(); });
        return allPlayed ? QStringLiteral("Alle Spiele gespielt") : QStringLiteral("Kein Spiel geladen");
    }
    const PlannedGame &game = m_plan.games[m_current];
    if (!m_running) {
        if (!game.start)
            return QStringLiteral("Nächstes Spiel: Nr. %1").arg(game.nr);
        return QStringLiteral("Nächstes Spiel um %1").arg(game.start->toString(u"HH:mm"))
            + lateness(*game.start, m_now().time());
    }
    QString line = QStringLiteral("Spiel Nr. %1 läuft").arg(game.nr);
    if (game.start)
        line += lateness(*game.start, m_results[m_current].started.time());
    const int after = nextIndex();
    if (after >= 0 && m_plan.games[after].start)
        line += QStringLiteral(" · danach Nr. %1 um %2")
                    .arg(m_plan.games[after].nr, m_plan.games[after].start->toString(u"HH:mm"));
    return line;
}

// (a) to (c): our GameTimer and a plain QTimer as a naive program uses it (default coarse type, 1000 ms,
// repeating), side by side in one event loop of this process.

#include "bench.h"

#include "core/clock/gametimer.h"

#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

/// What one timer counted.
struct Count
{
    Steady::time_point start;
    int ticks = 0;
    bool finished = false; ///< the measuring point was reached
    double errorMs = 0, worstTickMs = 0; ///< at the measuring point; the largest in size at any tick

    /// Counts a tick against @p realMs of real time and returns its error.
    double tick(double realMs)
    {
        const double error = ++ticks * 1000.0 - realMs;
        if (std::abs(error) > std::abs(worstTickMs))
            worstTickMs = error;
        return error;
    }
};

/// The harness: both timers started together, each tick handed to one handler, until both are finished.
struct Race
{
    QEventLoop loop;
    GameTimer game;
    QTimer plainTimer;
    Count ours, plain;

    /// Runs until finish() was called for both or @p limitMs has passed; @p onTick gets (count, true) for
    /// our timer's ticks, (count, false) for the plain one's; @p started runs once both were started.
    void run(
        qint64 limitMs, const std::function<void(Count &, bool)> &onTick,
        const std::function<void()> &started = [] {})
    {
        plainTimer.setInterval(1000ms);
        QObject::connect(&game, &GameTimer::timeout, &loop, [&] { onTick(ours, true); });
        QObject::connect(&plainTimer, &QTimer::timeout, &loop, [&] { onTick(plain, false); });
        // A clock that never finishes must not hang the benchmark.
        QTimer::singleShot(std::chrono::milliseconds(limitMs), &loop, &QEventLoop::quit);
        ours.start = Steady::now();
        game.start();
        plain.start = Steady::now();
        plainTimer.start();
        started();
        loop.exec();
    }

    /// The measuring point of @p count: its timer stops, and the race ends once both have one.
    void finish(Count &count, double errorMs)
    {
        count.finished = true;
        count.errorMs = errorMs;
        &count == &ours ? game.stop() : plainTimer.stop();
        if (ours.finished && plain.finished)
            loop.quit();
    }
};

Row timingRow(const QString &measure, const Race &race)
{
    const auto outcome = [](const Count &count) {
        return count.finished ? formatError(count.errorMs) : QStringLiteral("did not finish");
    };
    return { measure, outcome(race.ours), outcome(race.plain), QStringLiteral("at most 5 ms"),
        race.ours.finished && std::abs(race.ours.errorMs) <= 5.0 };
}

} // namespace

void measureGames(const Options &options, Report &report)
{
    // A game of options.seconds: the error when the tick that ends it arrives.
    const auto game = [seconds = options.seconds](const char *label, Race &race) {
        race.run(seconds * 1000 + 30000, [&](Count &count, bool ours) {
            const double error = count.tick(msSince(count.start));
            if (ours && (count.ticks % 30 == 0 || count.ticks == seconds))
                std::fprintf(stderr, "\r  %s: %d/%lld s", label, count.ticks, seconds);
            if (count.ticks == seconds)
                race.finish(count, error);
        });
        std::fputs("\n", stderr);
    };
    Race idle, loaded;
    game("idle", idle);
    // Spinning threads, one per core, keep every core busy.
    std::vector<std::jthread> load(std::max(1U, std::thread::hardware_concurrency()));
    for (std::jthread &thread : load)
        thread = std::jthread([](const std::stop_token &stop) {
            static std::atomic<std::uint64_t> sink;
            std::uint64_t state = 1;
            while (!stop.stop_requested()) {
                for (int i = 0; i < 4096; ++i)
                    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            }
            sink.fetch_xor(state, std::memory_order_relaxed);
        });
    game("loaded", loaded);
    const std::size_t threads = load.size();
    load.clear(); // each asked to stop and joined
    const QString measure = QStringLiteral("(a) Error at the end of a %1 s game, ").arg(options.seconds);
    report.rows << timingRow(measure + QStringLiteral("idle"), idle)
                << timingRow(measure + QStringLiteral("%1 busy-loop threads").arg(threads), loaded);
    report.notes << QStringLiteral(
        "(a) Largest error at any single tick of the game: idle %1 (plain %2), "
        "loaded %3 (plain %4). The load generator runs one spinning thread per core.")
                        .arg(formatError(idle.ours.worstTickMs), formatError(idle.plain.worstTickMs),
                            formatError(loaded.ours.worstTickMs), formatError(loaded.plain.worstTickMs));
}

void measurePauses(const Options &options, Report &report)
{
    Race race;
    std::mt19937 random(static_cast<std::uint32_t>(options.seed));
    // Running stretches end at random points inside the first or second second of a stretch.
    std::uniform_int_distribution<int> runFor(50, 1450), pauseFor(50, 150);
    double running = 0; // completed running stretches
    Steady::time_point stretchStart;
    bool paused = false, lastStretch = false;
    qint64 cycle = 0;
    const auto runningNow = [&] { return running + msSince(stretchStart); };

    QTimer driver;
    driver.setSingleShot(true);
    driver.setTimerType(Qt::PreciseTimer);
    QObject::connect(&driver, &QTimer::timeout, &race.loop, [&] {
        if (!paused) {
            race.game.stop();
            race.plainTimer.stop();
            running += msSince(stretchStart);
            paused = true;
            driver.start(pauseFor(random));
            return;
        }
        stretchStart = Steady::now();
        race.game.resume();
        race.plainTimer.start(); // what a naive program does: the second starts over
        paused = false;
        if (++cycle < options.cycles)
            driver.start(runFor(random));
        else
            lastStretch = true;
        if (cycle % 10 == 0)
            std::fprintf(stderr, "\r  pause/resume: %lld/%lld cycles", cycle, options.cycles);
    });
    // The first tick after the last resume is the measuring point of each timer.
    race.run(
        options.cycles * 1700 + 30000,
        [&](Count &count, bool) {
            const double error = count.tick(runningNow());
            if (lastStretch && !count.finished)
                race.finish(count, error);
        },
        [&] {
            stretchStart = race.ours.start;
            driver.start(runFor(random));
        });
    std::fputs("\n", stderr);

    report.rows << timingRow(
        QStringLiteral("(b) Error after %1 pauses (ours stop/resume, plain stop/start)").arg(options.cycles),
        race);
    report.notes << QStringLiteral("(b) Running stretches of 50-1450 ms, pauses of 50-150 ms, seed %1; "
                                   "%2 s of running time; measured at each timer's first tick after the last "
                                   "resume (ours %3 ticks, plain %4 ticks). Largest error at any tick during "
                                   "the cycles: ours %5, plain %6.")
                        .arg(options.seed)
                        .arg(runningNow() / 1000.0, 0, 'f', 1)
                        .arg(race.ours.ticks)
                        .arg(race.plain.ticks)
                        .arg(formatError(race.ours.worstTickMs), formatError(race.plain.worstTickMs));
}

void measureHoldUp(const Options &, Report &report)
{
    // settleMs: after the hold-up, time for the missed ticks to arrive.
    constexpr int holdMs = 3000, blockAtTick = 2, settleMs = 3500;
    Race race;
    // Counted mid-second, so the expected count is unambiguous; errorMs holds the seconds lost.
    QTimer::singleShot(blockAtTick * 1000 + holdMs + settleMs, Qt::PreciseTimer, &race.loop, [&] {
        for (Count *count : { &race.ours, &race.plain })
            race.finish(*count, std::floor(msSince(count->start) / 1000.0) - count->ticks);
    });
    race.run(blockAtTick * 1000 + holdMs + settleMs + 30000, [&](Count &count, bool ours) {
        if (++count.ticks == blockAtTick && ours) {
            const auto until = Steady::now() + std::chrono::milliseconds(holdMs);
            while (Steady::now() < until) {
                // busy: the event loop is held up
            }
        }
    });
    const auto lost = [](const Count &count) { return QString::number(std::lround(count.errorMs)); };
    report.rows << Row {
        QStringLiteral("(c) Seconds lost after the loop was held up %1 s").arg(holdMs / 1000),
        lost(race.ours), lost(race.plain), QStringLiteral("none lost"),
        race.ours.finished && std::lround(race.ours.errorMs) == 0
    };
    report.notes << QStringLiteral(
        "(c) The loop was blocked by a busy wait in the handler of the second tick; "
        "counted %1 s after it ended: ours %2 ticks, plain %3 ticks.")
                        .arg(settleMs / 1000.0)
                        .arg(race.ours.ticks)
                        .arg(race.plain.ticks);
}

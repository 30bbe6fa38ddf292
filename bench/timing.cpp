#include "timing.h"

#include "benchclock.h"
#include "core/clock/gametimer.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

using namespace std::chrono_literals;

namespace {

/// One timer's count and its reference start.
struct Count
{
    Steady::time_point start;
    TimerOutcome outcome;

    /// Counts a tick against @p realMs of real time and returns its error.
    double tick(double realMs)
    {
        ++outcome.ticks;
        const double error = outcome.ticks * 1000.0 - realMs;
        if (std::abs(error) > std::abs(outcome.worstTickMs))
            outcome.worstTickMs = error;
        return error;
    }

    void finish(double errorMs)
    {
        outcome.errorMs = errorMs;
        outcome.finished = true;
    }
};

/// A plain QTimer as a naive program uses it: default (coarse) type, 1000 ms, repeating.
void setUpPlain(QTimer &plain)
{
    plain.setInterval(1000ms);
}

} // namespace

SideBySide measureGame(int seconds, const char *label)
{
    QEventLoop loop;
    GameTimer game;
    QTimer plain;
    setUpPlain(plain);
    Count ours, reference;

    const auto finishIfBoth = [&] {
        if (ours.outcome.finished && reference.outcome.finished)
            loop.quit();
    };
    QObject::connect(&game, &GameTimer::timeout, &loop, [&] {
        const double error = ours.tick(msSince(ours.start));
        if (ours.outcome.ticks % 30 == 0 || ours.outcome.ticks == seconds)
            std::fprintf(stderr, "\r  %s: %d/%d s", label, ours.outcome.ticks, seconds);
        if (ours.outcome.ticks == seconds) {
            game.stop();
            ours.finish(error);
            finishIfBoth();
        }
    });
    QObject::connect(&plain, &QTimer::timeout, &loop, [&] {
        const double error = reference.tick(msSince(reference.start));
        if (reference.outcome.ticks == seconds) {
            plain.stop();
            reference.finish(error);
            finishIfBoth();
        }
    });
    // A clock that never finishes must not hang the benchmark.
    QTimer::singleShot(std::chrono::milliseconds(seconds * 1000LL + 30000), &loop, &QEventLoop::quit);

    ours.start = Steady::now();
    game.start();
    reference.start = Steady::now();
    plain.start();
    loop.exec();
    std::fputs("\n", stderr);
    return { ours.outcome, reference.outcome };
}

SideBySide measurePauses(int cycles, std::uint32_t seed, double *runningMs)
{
    QEventLoop loop;
    GameTimer game;
    QTimer plain;
    setUpPlain(plain);
    Count ours, reference;

    std::mt19937 random(seed);
    // Running stretches end at random points inside the first or second second of a stretch.
    std::uniform_int_distribution<int> runFor(50, 1450);
    std::uniform_int_distribution<int> pauseFor(50, 150);

    double running = 0; // completed running stretches
    Steady::time_point stretchStart;
    bool paused = false;
    bool lastStretch = false;
    int cycle = 0;
    const auto runningNow = [&] { return running + msSince(stretchStart); };

    QTimer driver;
    driver.setSingleShot(true);
    driver.setTimerType(Qt::PreciseTimer);
    QObject::connect(&driver, &QTimer::timeout, &loop, [&] {
        if (!paused) {
            game.stop();
            plain.stop();
            running += msSince(stretchStart);
            paused = true;
            driver.start(pauseFor(random));
            return;
        }
        stretchStart = Steady::now();
        game.resume();
        plain.start(); // what a naive program does: the second starts over
        paused = false;
        if (++cycle < cycles)
            driver.start(runFor(random));
        else
            lastStretch = true;
        if (cycle % 10 == 0)
            std::fprintf(stderr, "\r  pause/resume: %d/%d cycles", cycle, cycles);
    });

    const auto finishIfBoth = [&] {
        if (ours.outcome.finished && reference.outcome.finished)
            loop.quit();
    };
    // The first tick after the last resume is the measuring point of each timer.
    QObject::connect(&game, &GameTimer::timeout, &loop, [&] {
        const double error = ours.tick(runningNow());
        if (lastStretch && !ours.outcome.finished) {
            ours.finish(error);
            game.stop();
            finishIfBoth();
        }
    });
    QObject::connect(&plain, &QTimer::timeout, &loop, [&] {
        const double error = reference.tick(runningNow());
        if (lastStretch && !reference.outcome.finished) {
            reference.finish(error);
            plain.stop();
            finishIfBoth();
        }
    });
    QTimer::singleShot(std::chrono::milliseconds(cycles * 1700LL + 30000), &loop, &QEventLoop::quit);

    stretchStart = Steady::now();
    game.start();
    plain.start();
    driver.start(runFor(random));
    loop.exec();
    std::fputs("\n", stderr);
    if (runningMs)
        *runningMs = running + msSince(stretchStart);
    return { ours.outcome, reference.outcome };
}

SideBySide measureHoldUp(int holdMs)
{
    QEventLoop loop;
    GameTimer game;
    QTimer plain;
    setUpPlain(plain);
    Count ours, reference;

    constexpr int blockAtTick = 2;
    constexpr int settleMs = 3500; // after the hold-up, time for the missed ticks to arrive
    QObject::connect(&game, &GameTimer::timeout, &loop, [&] {
        ++ours.outcome.ticks;
        if (ours.outcome.ticks == blockAtTick) {
            const auto until = Steady::now() + std::chrono::milliseconds(holdMs);
            while (Steady::now() < until) {
                // busy: the event loop is held up
            }
        }
    });
    QObject::connect(&plain, &QTimer::timeout, &loop, [&] { ++reference.outcome.ticks; });

    // Mid-second, so the expected count is unambiguous.
    QTimer::singleShot(
        std::chrono::milliseconds(blockAtTick * 1000 + holdMs + settleMs), Qt::PreciseTimer, &loop, [&] {
            for (Count *count : { &ours, &reference }) {
                const auto expected = static_cast<int>(std::floor(msSince(count->start) / 1000.0));
                count->finish(expected - count->outcome.ticks);
            }
            loop.quit();
        });

    ours.start = Steady::now();
    game.start();
    reference.start = Steady::now();
    plain.start();
    loop.exec();
    return { ours.outcome, reference.outcome };
}

// The child processes: this program started again with "--child MODE" under the offscreen platform. A
// child prints its figures as "key value" pairs on one line or several; the parent collects them.

#include "bench.h"

#include "core/clock/gametimer.h"
#include "core/horn/hornrule.h"
#include "core/tournament/journal.h"
#include "core/tournament/plan.h"
#include "core/tournament/results.h"
#include "core/tournament/resultswriter.h"
#include "core/tournament/tournament.h"
#include "hall/hallview.h"
#include "horn/hornplayer.h"
#include "shell/appsetup.h"
#include "shell/velorandwindow.h"
#include "tournament/tournamentsession.h"
#include "web/remotecontrol.h"
#include "web/webserver.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr QSize windowSize { 425, 393 }; // the bare reference window, as large as ours

void print(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

template <typename T> T *element(const QWidget &parent, const char *name)
{
    T *found = parent.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("velorand_bench: the window has no %s", name);
    return found;
}

/// Starts a game of @p seconds with the window's Start handler, as the operator does.
void startGame(VelorandWindow &window, qint64 seconds)
{
    element<QLineEdit>(window, "txtMin")->setText(QStringLiteral("%1").arg(seconds / 60, 2, 10, QChar(u'0')));
    element<QLineEdit>(window, "txtSek")->setText(QStringLiteral("%1").arg(seconds % 60, 2, 10, QChar(u'0')));
    window.cmdStart_Click();
}

/// The hall view as the program opens it, here as a 1920x1080 window.
void openHallView(HallView &hall, VelorandWindow &window)
{
    hall.showDisplay(window.displayState());
    QObject::connect(&window, &VelorandWindow::displayChanged, &hall, &HallView::showDisplay);
    hall.resize(1920, 1080);
    hall.show();
}

/// The plan at options.plan; a plan that cannot be used ends the child.
Plan planOf(const Options &options)
{
    PlanReading reading = readPlanFile(options.plan);
    if (!reading.errors.isEmpty())
        qFatal("velorand_bench: %s", qPrintable(reading.errors.join(u'\n')));
    return std::move(reading.plan);
}

/// A journal for options.plan, locked, in options.state or else in @p fresh, made a new folder: a day that
/// starts anew. One that cannot be used ends the child.
std::unique_ptr<Journal> lockedJournal(const Options &options, std::optional<QTemporaryDir> &fresh)
{
    const QString folder = options.state.isEmpty() ? fresh.emplace().path() : options.state;
    auto journal = std::make_unique<Journal>(options.plan, folder);
    const QString taken = folder.isEmpty() ? QStringLiteral("no temporary folder") : journal->lock();
    if (!taken.isEmpty())
        qFatal("velorand_bench: %s", qPrintable(taken));
    return journal;
}

/// The one way this program starts a process: under the offscreen platform, its errors passed on.
void startProcess(QProcess &process, const QString &program, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Without a runtime directory every child warns; a private one for the whole run keeps them quiet.
    static QTemporaryDir runtimeDirectory;
    if (!environment.contains(QStringLiteral("XDG_RUNTIME_DIR")) && runtimeDirectory.isValid())
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDirectory.path());
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
}

/// Runs @p measure once the window is shown and painted, @p report @p seconds and a half later, then quits.
int measureFor(qint64 seconds, const std::function<void()> &measure, const std::function<void()> &report)
{
    QTimer::singleShot(1000ms, qApp, [&] {
        measure();
        QTimer::singleShot(std::chrono::milliseconds(seconds * 1000 + 500), Qt::PreciseTimer, qApp, [&] {
            report();
            QCoreApplication::exit(0);
        });
    });
    return QApplication::exec();
}

/// Once installed, hands every paint event of the process, with the object painted, to onPaint.
struct PaintWatch : QObject
{
    std::function<void(QObject *)> onPaint;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            onPaint(watched);
        return QObject::eventFilter(watched, event);
    }
};

/// (d) paint-window: what the program does at start, the application's settings, then the window;
/// paint-bare: a bare window as large; paint-label: that with one label. (t), (j) paint-tournament: what it
/// does with --turnier, the plan read first, its journal locked, then the window and the tournament beside
/// it. Reports once the first frame of the (clock) window is complete, and whether a game runs on it.
int paint(const Options &options)
{
    // Set: only a paint of this window counts, not one of the tournament's.
    const VelorandWindow *clock = nullptr;
    bool otherPainted = false; // another window was painted before the report: its time is in the clock's
    const auto report = [&] {
        print(QStringLiteral("first-paint-ms %1 peak-kb %2")
                  .arg(double(steadyNanoseconds() - options.startNs) / 1e6)
                  .arg(firstLineOf(QStringLiteral("/proc/self/status"), "VmHWM").section(u' ', 0, 0)));
        if (clock)
            print(QStringLiteral("other-window-painted %1 game-running %2")
                      .arg(int(otherPainted))
                      .arg(int(clock->displayState().running)));
        QCoreApplication::exit(0);
    };
    PaintWatch firstPaint;
    firstPaint.onPaint = [&, seen = false](QObject *watched) mutable {
        const auto *widget = qobject_cast<const QWidget *>(watched);
        if (clock && !(widget && widget->window() == clock)) {
            otherPainted = true;
            return;
        }
        // Queued: the rest of the frame (all child widgets) is painted before this runs.
        if (!std::exchange(seen, true))
            QMetaObject::invokeMethod(qApp, report, Qt::QueuedConnection);
    };
    qApp->installEventFilter(&firstPaint);
    if (options.child == u"paint-window") {
        prepareApplication();
        VelorandWindow window;
        window.show();
        return QApplication::exec();
    }
    if (options.child == u"paint-tournament") {
        Plan plan = planOf(options);
        prepareApplication();
        std::optional<QTemporaryDir> fresh;
        std::unique_ptr<Journal> journal = lockedJournal(options, fresh);
        VelorandWindow window;
        const TournamentSession day(std::move(plan), options.plan, window, std::move(journal));
        window.show();
        clock = &window;
        return QApplication::exec();
    }
    QWidget bare;
    bare.resize(windowSize);
    if (options.child == u"paint-label") {
        // The least a window showing digits needs: the font database and one rendered font.
        auto *label = new QLabel(QStringLiteral("00"), &bare);
        label->setFont(QFont(QStringLiteral("DejaVu Sans"), 18, QFont::Bold));
        label->setGeometry(10, 10, 60, 40);
    }
    bare.show();
    return QApplication::exec();
}

/// (e), (g): CPU time per minute over options.cpuSeconds, and the ticks counted, of the window running a
/// 9:59 game (with a hall view in cpu-hall-view) or, in cpu-bare, of a bare window whose label a plain
/// QTimer updates every second.
int cpuUse(const Options &options)
{
    std::optional<QWidget> bare;
    std::optional<QTimer> plain;
    std::optional<VelorandWindow> window;
    std::optional<HallView> hall;
    int ticks = 0;
    if (options.child == u"cpu-bare") {
        bare.emplace().resize(windowSize);
        auto *label = new QLabel(QStringLiteral("0"), &*bare);
        label->setGeometry(10, 10, 100, 30);
        bare->show();
        plain.emplace().setInterval(1000ms);
        QObject::connect(&*plain, &QTimer::timeout, label, [&ticks, label] { label->setNum(++ticks); });
    } else {
        prepareApplication();
        window.emplace().show();
        hall.emplace();
        if (options.child == u"cpu-hall-view")
            openHallView(*hall, *window);
        QObject::connect(
            element<GameTimer>(*window, "Timer1"), &GameTimer::timeout, &*window, [&] { ++ticks; });
    }
    double cpu = 0;
    Steady::time_point wall;
    return measureFor(
        options.cpuSeconds,
        [&] {
            window ? startGame(*window, 9 * 60 + 59) : plain->start();
            cpu = cpuMs();
            wall = Steady::now();
        },
        [&] {
            const double wallMs = msSince(wall);
            print(QStringLiteral("cpu-ms-per-minute %1 ticks %2")
                      .arg((cpuMs() - cpu) / wallMs * 60000)
                      .arg(ticks));
        });
}

/// (f) Paint times of the operator's seconds and of the hall's time, by tick.
int hallViewDelay(const Options &options)
{
    prepareApplication();
    VelorandWindow window;
    window.show();
    HallView hall;
    openHallView(hall, window);
    const QObject *seconds = element<QLabel>(window, "lblSek"),
                  *hallTime = element<QLabel>(hall, "lblZuschauerRest");
    std::map<int, qint64> operatorPaints, hallPaints;
    int tick = 0;
    PaintWatch watch;
    watch.onPaint = [&](QObject *watched) {
        if (tick > 0 && (watched == seconds || watched == hallTime))
            (watched == seconds ? operatorPaints : hallPaints).try_emplace(tick, steadyNanoseconds());
    };
    qApp->installEventFilter(&watch);
    QObject::connect(element<GameTimer>(window, "Timer1"), &GameTimer::timeout, &window, [&] { ++tick; });
    return measureFor(
        options.seconds, [&] { startGame(window, options.seconds); },
        [&] {
            for (const auto &[at, ns] : operatorPaints) {
                if (hallPaints.count(at))
                    print(QStringLiteral("delay-ms %1").arg(std::abs(double(hallPaints.at(at) - ns)) / 1e6));
            }
        });
}

/// (h) The real window with the program's horn on the default PulseAudio server.
int hornLatency(const Options &)
{
    prepareApplication();
    VelorandWindow window;
    window.show();
    // Records the default sink's monitor with parec and notes when each chunk with sound arrives.
    QList<qint64> loud;
    std::jthread recorder([&loud](const std::stop_token &stop) {
        QProcess parec;
        startProcess(parec, QStringLiteral("parec"),
            { QStringLiteral("--device=@DEFAULT_MONITOR@"), QStringLiteral("--rate=48000"),
                QStringLiteral("--channels=1"), QStringLiteral("--format=s16le"),
                QStringLiteral("--latency-msec=5") });
        while (!stop.stop_requested() && parec.state() != QProcess::NotRunning) {
            if (!parec.waitForReadyRead(100))
                continue;
            const qint64 now = steadyNanoseconds();
            const QByteArray bytes = parec.read(parec.bytesAvailable() & ~qint64(1)); // whole samples
            const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
            if (std::any_of(
                    samples, samples + bytes.size() / 2, [](qint16 s) { return std::abs(int(s)) > 2000; }))
                loud.append(now);
        }
        parec.kill();
        parec.waitForFinished();
    });
    HornPlayer horn;
    // As the program does it, with the tick's time noted before the horn is asked to sound.
    QList<qint64> ticks;
    QObject::connect(&window, &VelorandWindow::displayChanged, &horn,
        [&, shown = window.displayState()](const DisplayState &now) mutable {
            if (hornSounds(shown, now)) {
                ticks.append(steadyNanoseconds());
                horn.play();
            }
            shown = now;
        });
    // Games of 4 s: the horns, 2 s apart, never overlap. The first starts once the sound is loaded.
    element<QLineEdit>(window, "txtSek")->setText(QStringLiteral("04"));
    QTimer games;
    games.setInterval(5500);
    QObject::connect(&games, &QTimer::timeout, &window, [&] {
        if (window.displayState().running)
            window.cmdStart_Click(); // Stopp
        if (ticks.size() >= hornEnds)
            QCoreApplication::quit();
        else
            window.cmdStart_Click();
    });
    QTimer::singleShot(1500, &games, [&] {
        window.cmdStart_Click();
        games.start();
    });
    QApplication::exec();
    std::this_thread::sleep_for(300ms); // the last chunks arrive
    recorder.request_stop();
    recorder.join();
    int found = 0;
    for (const qint64 tick : std::as_const(ticks)) {
        // The first chunk with sound at or after the tick.
        const auto sound = std::lower_bound(loud.cbegin(), loud.cend(), tick);
        if (sound != loud.cend() && *sound - tick < 1000000000) {
            print(QStringLiteral("horn-latency-ms %1").arg(double(*sound - tick) / 1e6));
            ++found;
        }
    }
    return found == hornEnds ? 0 : 1;
}

/// A second after the start, the plan's first game kicked off with the clock's Start; @p then 20 ms later.
void kickOff(VelorandWindow &window, const TournamentSession &day, const std::function<void()> &then = {})
{
    QTimer::singleShot(1000ms, &window, [&window, &day, then] {
        window.cmdStart_Click();
        if (!day.tournament().scoreEditable())
            qFatal("velorand_bench: the game did not start");
        if (then)
            QTimer::singleShot(20ms, &window, then);
    });
}

/// (t) The clock window and the tournament as in paint-tournament; once the plan's first game has kicked
/// off, scoreChanges changes of its score (home and away in turn), each 20 ms after the file of the one
/// before was written. For each: the time from changeScore() to the writer's written signal, the GUI
/// thread's time in the call and up to the end of the tournament window's queued render and hand-over, and
/// the time from the hand-over to the written signal.
int resultsWrite(const Options &options)
{
    Plan plan = planOf(options);
    prepareApplication();
    std::optional<QTemporaryDir> fresh;
    VelorandWindow window;
    const TournamentSession day(std::move(plan), options.plan, window, lockedJournal(options, fresh));
    window.show();
    // Queued after the tournament window's own render and hand-over of the file: the GUI thread's time
    // from the end of the change to here is that, with the event loop's dispatch.
    Steady::time_point handOverFrom, handedOver;
    QList<double> handOver, afterHandOver;
    bool counting = false; // a change is on its way to the disk
    QObject::connect(
        &day.tournament(), &Tournament::resultsChanged, &window,
        [&] {
            if (counting) {
                handedOver = Steady::now();
                handOver << msSince(handOverFrom);
            }
        },
        Qt::QueuedConnection);
    Steady::time_point changed;
    QList<double> inCall, toWritten;
    const auto change = [&] {
        changed = Steady::now();
        day.tournament().changeScore(
            toWritten.size() % 2 ? Tournament::Team::Away : Tournament::Team::Home, +1);
        inCall << msSince(changed);
        handOverFrom = Steady::now();
        counting = true;
    };
    // The kick-off's result is written first; each written file then makes the next change.
    QObject::connect(&day.writer(), &ResultsWriter::written, &window, [&](const QString &error) {
        if (!error.isEmpty()) {
            std::fprintf(stderr, "velorand_bench: %s\n", qPrintable(error));
            QCoreApplication::exit(1);
            return;
        }
        if (std::exchange(counting, false)) {
            toWritten << msSince(changed);
            afterHandOver << msSince(handedOver);
        }
        if (toWritten.size() < scoreChanges)
            QTimer::singleShot(20ms, &window, change);
        else
            QCoreApplication::exit(0);
    });
    kickOff(window, day);
    if (QApplication::exec() != 0)
        return 1;
    if (handOver.size() != toWritten.size()) {
        std::fprintf(stderr, "velorand_bench: a change was written without its render\n");
        return 1;
    }
    QFile file(day.writer().path());
    if (!file.open(QIODevice::ReadOnly)
        || file.readAll() != Results::render(day.tournament().plan(), day.tournament().results())) {
        std::fprintf(stderr, "velorand_bench: the results file does not hold the last score\n");
        return 1;
    }
    QString lines = QStringLiteral("file-bytes %1").arg(file.size());
    for (qsizetype i = 0; i < toWritten.size(); ++i) {
        lines += QStringLiteral("\nto-written-ms %1 gui-ms %2 hand-over-ms %3 after-hand-over-ms %4")
                     .arg(toWritten[i])
                     .arg(inCall[i] + handOver[i])
                     .arg(handOver[i])
                     .arg(afterHandOver[i]);
    }
    print(lines);
    return 0;
}

/// (j) The clock window and the tournament as in results-write; once the plan's first game has kicked off,
/// journalChanges changes of its score (home and away in turn), each 20 ms after the one before returned,
/// timed from the changeScore() call to its return, by when the journal holds it on the disk. Then as many
/// writes of the journal's last snapshot by Journal::write alone, 20 ms apart, into a journal of its own,
/// each after the snapshot's encoding timed alone. The game is left running: with options.state, the
/// journal a resumed start goes on from.
int journalWrite(const Options &options)
{
    Plan plan = planOf(options);
    prepareApplication();
    std::optional<QTemporaryDir> fresh;
    VelorandWindow window;
    const TournamentSession day(std::move(plan), options.plan, window, lockedJournal(options, fresh));
    window.show();
    QList<double> changes;
    const std::function<void()> change = [&] {
        const auto from = Steady::now();
        day.tournament().changeScore(
            changes.size() % 2 ? Tournament::Team::Away : Tournament::Team::Home, +1);
        changes << msSince(from);
        if (changes.size() < journalChanges)
            QTimer::singleShot(20ms, &window, change);
        else
            QCoreApplication::exit(0);
    };
    kickOff(window, day, change);
    if (QApplication::exec() != 0)
        return 1;
    Journal journal(options.plan, options.state.isEmpty() ? fresh->path() : options.state);
    const std::optional<JournalEntry> last = journal.load().entry;
    const int current = day.tournament().current();
    if (!last || last->current != current || last->game.phase != GameFacts::Phase::Running
        || last->results.value(current).result != day.tournament().results().value(current)) {
        std::fprintf(stderr, "velorand_bench: the journal does not hold the last score\n");
        return 1;
    }
    QTemporaryDir own;
    Journal alone(options.plan, own.path());
    if (!own.isValid())
        return 1;
    QString lines = QStringLiteral("journal-bytes %1").arg(QFileInfo(journal.path()).size());
    for (const double changeMs : std::as_const(changes)) {
        std::this_thread::sleep_for(20ms);
        auto from = Steady::now();
        Journal::encode(*last); // what the write does before it touches the disk
        const double encodeMs = msSince(from);
        from = Steady::now();
        if (const QString error = alone.write(*last); !error.isEmpty()) {
            std::fprintf(stderr, "velorand_bench: %s\n", qPrintable(error));
            return 1;
        }
        lines += QStringLiteral("\nchange-ms %1 write-ms %2 encode-ms %3")
                     .arg(changeMs)
                     .arg(msSince(from))
                     .arg(encodeMs);
    }
    print(lines);
    return 0;
}

/// (w) Clients that follow /events in a thread of their own and note, for every event, how long after its
/// state was made it arrived.
struct Crowd
{
    std::vector<pollfd> fds; ///< the clients whose request went out
    std::atomic<bool> counting = false; ///< set when the game starts: from then on the delays count
    std::vector<double> delays; ///< in ms; read once the thread has stopped
    double cpuMs = 0; ///< the clients' own CPU time; read once the thread has stopped
    std::jthread thread; ///< reads until asked to stop, then closes the clients

    Crowd(quint16 port, qint64 clients)
    {
        const QByteArray request = "GET /events HTTP/1.1\r\nHost: bench\r\n\r\n";
        for (qint64 i = 0; i < clients; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in to { AF_INET, htons(port), { htonl(INADDR_LOOPBACK) }, {} };
            if (::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0
                && ::send(fd, request.constData(), request.size(), MSG_NOSIGNAL) == request.size())
                fds.push_back({ fd, POLLIN, 0 });
            else
                ::close(fd);
        }
        thread = std::jthread([this](const std::stop_token &stop) { run(stop); });
    }
    void run(const std::stop_token &stop)
    {
        std::vector<QByteArray> pending(fds.size());
        char buffer[65536];
        while (!stop.stop_requested()) {
            if (::poll(fds.data(), fds.size(), 100) <= 0)
                continue;
            const qint64 now = QDeadlineTimer::current().deadline(); // the server's clock
            for (size_t i = 0; i < fds.size(); ++i) {
                QByteArray &text = pending[i];
                const ssize_t n
                    = fds[i].revents & POLLIN ? ::recv(fds[i].fd, buffer, sizeof buffer, MSG_DONTWAIT) : 0;
                text.append(buffer, std::max<ssize_t>(n, 0));
                for (qsizetype end; (end = text.indexOf("\n\n")) >= 0; text.remove(0, end + 2)) {
                    const qsizetype at = text.indexOf("\"monotonicMs\":");
                    const QByteArray made = text.mid(at + 14, 24).split(',').first().split('}').first();
                    if (at >= 0 && at < end && counting)
                        delays.push_back(double(now - made.toLongLong()));
                }
            }
        }
        cpuMs = ::cpuMs(CLOCK_THREAD_CPUTIME_ID);
        for (const pollfd &p : fds)
            ::close(p.fd);
    }
};

/// (w) A game of options.seconds with options.clients on /events (0: no web view at all).
int webLoad(const Options &options)
{
    VelorandWindow window;
    window.show();
    WebServer server;
    std::unique_ptr<Crowd> crowd;
    if (options.clients > 0) {
        if (!server.start(QStringLiteral("127.0.0.1"), 0))
            return 1;
        server.publish(window.displayState());
        QObject::connect(&window, &VelorandWindow::displayChanged, &server, &WebServer::publish);
        crowd = std::make_unique<Crowd>(server.port(), options.clients);
    }
    std::optional<Steady::time_point> game; // set when the game starts
    double endMs = -1, cpuAtStart = 0;
    QObject::connect(&window, &VelorandWindow::displayChanged, &window, [&](const DisplayState &state) {
        if (game && endMs < 0 && state.remainingText() == QStringLiteral("00:00"))
            endMs = std::floor(msSince(*game)); // whole ms, as counted before
    });
    return measureFor(
        options.seconds,
        [&] {
            if (crowd)
                crowd->counting = true;
            cpuAtStart = cpuMs();
            game = Steady::now();
            startGame(window, options.seconds);
        },
        [&] {
            const double wall = msSince(*game);
            double cpu = cpuMs() - cpuAtStart;
            if (crowd) {
                crowd->thread.request_stop();
                crowd->thread.join();
                cpu -= crowd->cpuMs; // the clients' own thread is left out
            }
            QString line = QStringLiteral("end-error-ms %1 clients %2 cpu-ms-per-minute %3")
                               .arg(endMs - double(options.seconds * 1000))
                               .arg(crowd ? crowd->fds.size() : 0)
                               .arg(cpu / wall * 60000.0);
            for (const double delay : crowd ? crowd->delays : std::vector<double>())
                line += QStringLiteral("\ndelay-ms %1").arg(delay);
            print(line);
        });
}

/// (r) The window with the hall view and the web view in remote mode; a paired client in a thread sends 200
/// commands over loopback, Pause and weiter in turn, one after the other's answer. For each: from the
/// request's first byte out to the window's change (its state published), and to the hall view's paint.
int remoteRoundTrip(const Options &)
{
    prepareApplication();
    VelorandWindow window;
    window.show();
    HallView hall;
    openHallView(hall, window);
    WebServer server;
    RemoteControl remote(window, nullptr);
    server.setCommandHandler([&remote](const RemoteRequest &request) { return remote.handle(request); });
    if (!server.start(QStringLiteral("127.0.0.1"), 0))
        return 1;
    server.publish(window.displayState());
    QObject::connect(&window, &VelorandWindow::displayChanged, &server, &WebServer::publish);
    const QByteArray head = "POST /api/command HTTP/1.1\r\nHost: bench\r\nContent-Type: application/json\r\n"
                            "Authorization: Bearer "
        + remote.devices().pair().toLatin1() + "\r\nContent-Length: ";
    constexpr int commands = 200;
    std::atomic<qint64> sentNs = 0;
    std::vector<double> changeMs, paintMs;
    bool awaitingPaint = false;
    QObject::connect(&window, &VelorandWindow::displayChanged, &window, [&](const DisplayState &state) {
        if (sentNs != 0 && int(changeMs.size()) < commands && state.paused == (changeMs.size() % 2 == 0)) {
            changeMs.push_back(double(steadyNanoseconds() - sentNs) / 1e6);
            awaitingPaint = true;
        }
    });
    PaintWatch watch;
    watch.onPaint = [&](QObject *watched) {
        if (awaitingPaint && watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == &hall) {
            paintMs.push_back(double(steadyNanoseconds() - sentNs) / 1e6);
            awaitingPaint = false;
        }
    };
    qApp->installEventFilter(&watch);
    std::jthread client;
    const auto send = [&, port = server.port()] {
        for (int i = 0; i < commands; ++i) {
            const QByteArray body = i % 2 == 0 ? R"({"command":"pause","expect":"running"})"
                                               : R"({"command":"resume","expect":"paused"})";
            const QByteArray request = head + QByteArray::number(body.size()) + "\r\n\r\n" + body;
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in to { AF_INET, htons(port), { htonl(INADDR_LOOPBACK) }, {} };
            char answer[4096];
            if (::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0) {
                sentNs = steadyNanoseconds();
                ::send(fd, request.constData(), request.size(), MSG_NOSIGNAL);
                while (::recv(fd, answer, sizeof answer, 0) > 0) { }
            }
            ::close(fd);
            std::this_thread::sleep_for(60ms); // within the 20 commands a second a device may send
        }
    };
    return measureFor(
        20, [&] { startGame(window, 3600), client = std::jthread(send); },
        [&] {
            client.join();
            QString line;
            for (size_t i = 0; i < changeMs.size(); ++i)
                line += QStringLiteral("change-ms %1\n").arg(changeMs[i]);
            for (const double ms : paintMs)
                line += QStringLiteral("paint-ms %1\n").arg(ms);
            print(line.trimmed());
        });
}

} // namespace

QList<ChildOutput> launchChildren(const QList<std::pair<QString, QStringList>> &children, qint64 seconds)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const auto &[mode, arguments] : children) {
        // The start time goes last so that it is taken as late as possible before the launch.
        startProcess(*processes.emplace_back(std::make_unique<QProcess>()),
            QCoreApplication::applicationFilePath(),
            QStringList { QStringLiteral("--child"), mode } + arguments
                + QStringList { QStringLiteral("--start-ns"), QString::number(steadyNanoseconds()) });
    }
    QList<ChildOutput> outputs;
    for (const auto &process : processes) {
        if (!process->waitForFinished(int(seconds * 1000))) {
            process->kill();
            process->waitForFinished();
        }
        ChildOutput &output = outputs.emplace_back();
        if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
            continue;
        const QList<QByteArray> words = process->readAllStandardOutput().simplified().split(' ');
        for (qsizetype i = 0; i + 1 < words.size(); i += 2)
            output[words[i]] << words[i + 1].toDouble();
    }
    return outputs;
}

int runChild(int argc, char **argv, const Options &options)
{
    const std::map<QString, int (*)(const Options &)> modes { { QStringLiteral("paint-window"), paint },
        { QStringLiteral("paint-bare"), paint }, { QStringLiteral("paint-label"), paint },
        { QStringLiteral("cpu-window"), cpuUse }, { QStringLiteral("cpu-hall-view"), cpuUse },
        { QStringLiteral("cpu-bare"), cpuUse }, { QStringLiteral("hall-view-delay"), hallViewDelay },
        { QStringLiteral("horn-latency"), hornLatency }, { QStringLiteral("web-load"), webLoad },
        { QStringLiteral("paint-tournament"), paint }, { QStringLiteral("results-write"), resultsWrite },
        { QStringLiteral("journal-write"), journalWrite },
        { QStringLiteral("remote-round-trip"), remoteRoundTrip } };
    const auto mode = modes.find(options.child);
    if (mode == modes.end()) {
        std::fprintf(stderr, "velorand_bench: unknown child mode %s\n", qPrintable(options.child));
        return 2;
    }
    QApplication app(argc, argv);
    return mode->second(options);
}

#include "hornlatency.h"

#include "benchclock.h"
#include "horn/hornplayer.h"
#include "core/horn/hornrule.h"
#include "shell/appsetup.h"
#include "shell/velorandwindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

/// Records the default sink's monitor with parec and notes when each chunk with sound arrives.
class MonitorRecorder
{
public:
    MonitorRecorder()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::close(fds[0]);
            ::execlp("parec", "parec", "--device=@DEFAULT_MONITOR@", "--rate=48000", "--channels=1",
                "--format=s16le", "--latency-msec=5", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        m_reader = std::thread([this, fd = fds[0]] {
            qint16 samples[2048];
            ssize_t bytes = 0;
            while ((bytes = ::read(fd, samples, sizeof samples)) > 0) {
                const qint64 now = steadyNanoseconds();
                const bool loud = std::any_of(
                    samples, samples + bytes / 2, [](qint16 s) { return std::abs(int(s)) > 2000; });
                const std::lock_guard lock(m_mutex);
                if (loud)
                    m_loud.append(now);
            }
            ::close(fd);
        });
    }
    ~MonitorRecorder()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_reader.joinable())
            m_reader.join();
    }
    Q_DISABLE_COPY_MOVE(MonitorRecorder)

    /// Arrival of the first chunk with sound at or after @p ns; -1 if none.
    qint64 firstSoundAfter(qint64 ns)
    {
        const std::lock_guard lock(m_mutex);
        const auto found = std::lower_bound(m_loud.begin(), m_loud.end(), ns);
        return found == m_loud.end() ? -1 : *found;
    }

private:
    pid_t m_pid = -1;
    std::thread m_reader;
    std::mutex m_mutex;
    QList<qint64> m_loud;
};

} // namespace

int hornLatencyChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    prepareApplication();
    VelorandWindow window;
    window.show();
    MonitorRecorder recorder;
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
    window.findChild<QLineEdit *>(QStringLiteral("txtSek"))->setText(QStringLiteral("04"));
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
    QThread::msleep(300); // the last chunks arrive
    int found = 0;
    for (const qint64 tick : std::as_const(ticks)) {
        const qint64 sound = recorder.firstSoundAfter(tick);
        if (sound >= 0 && sound - tick < 1000000000) {
            std::printf("horn-latency-ms %.3f\n", double(sound - tick) / 1e6);
            ++found;
        }
    }
    return found == ticks.size() ? 0 : 1;
}

std::optional<QList<double>> launchHornLatencyChild()
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--child"), QString::fromLatin1(ChildMode::hornLatency) });
    if (!child.waitForFinished((hornEnds * 3 + 30) * 1000) || child.exitCode() != 0) {
        child.kill();
        child.waitForFinished();
        return std::nullopt;
    }
    QList<double> delays;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n'))
        if (line.startsWith("horn-latency-ms "))
            delays << line.mid(16).toDouble();
    return delays;
}

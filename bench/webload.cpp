#include "webload.h"

#include "core/clock/gametimer.h"
#include "shell/velorandwindow.h"
#include "web/webserver.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <poll.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

double cpuMs(clockid_t clock)
{
    timespec t {};
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/// Clients that follow /events and note, for every event, how long after its state was made it arrived.
class Crowd
{
public:
    Crowd(quint16 port, int clients)
    {
        for (int i = 0; i < clients; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in to { AF_INET, htons(port), { htonl(INADDR_LOOPBACK) }, {} };
            if (::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0)
                continue;
            const QByteArray request = "GET /events HTTP/1.1\r\nHost: bench\r\n\r\n";
            ::send(fd, request.constData(), request.size(), MSG_NOSIGNAL);
            m_fds.push_back({ fd, POLLIN, 0 });
            m_pending.push_back({});
        }
        m_thread = std::thread([this] { run(); });
    }
    ~Crowd()
    {
        stop();
        for (const pollfd &p : m_fds)
            ::close(p.fd);
    }
    Q_DISABLE_COPY_MOVE(Crowd)

    int connected() const { return static_cast<int>(m_fds.size()); }
    /// From now on the delays count (the game starts).
    void startCounting() { m_counting = true; }
    double cpuMs() const { return m_cpuMs; }
    /// Delays in ms; read once the crowd has stopped.
    std::vector<double> delays() const { return m_delays; }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    void run()
    {
        char buffer[65536];
        while (!m_stop) {
            if (::poll(m_fds.data(), m_fds.size(), 100) <= 0)
                continue;
            const qint64 now = QDeadlineTimer::current().deadline(); // the server's clock
            for (size_t i = 0; i < m_fds.size(); ++i) {
                if (!(m_fds[i].revents & POLLIN))
                    continue;
                const ssize_t n = ::recv(m_fds[i].fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (n <= 0)
                    continue;
                QByteArray &pending = m_pending[i];
                pending.append(buffer, n);
                for (qsizetype end; (end = pending.indexOf("\n\n")) >= 0; pending.remove(0, end + 2)) {
                    const qsizetype at = pending.indexOf("\"monotonicMs\":");
                    const QByteArray made = pending.mid(at + 14, 24).split(',').first().split('}').first();
                    if (at >= 0 && at < end && m_counting)
                        m_delays.push_back(double(now - made.toLongLong()));
                }
            }
        }
        m_cpuMs = ::cpuMs(CLOCK_THREAD_CPUTIME_ID);
    }

    std::vector<pollfd> m_fds;
    std::vector<QByteArray> m_pending;
    std::vector<double> m_delays;
    std::thread m_thread;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_counting = false;
    std::atomic<double> m_cpuMs = 0;
};

} // namespace

int webLoadChild(int argc, char **argv, int seconds, int clients)
{
    QApplication app(argc, argv);
    VelorandWindow window;
    window.show();
    WebServer server;
    std::unique_ptr<Crowd> crowd;
    if (clients > 0) {
        if (!server.start(QStringLiteral("127.0.0.1"), 0))
            return 1;
        server.publish(window.displayState());
        QObject::connect(&window, &VelorandWindow::displayChanged, &server, &WebServer::publish);
        crowd = std::make_unique<Crowd>(server.port(), clients);
    }
    QElapsedTimer game;
    qint64 endMs = -1;
    double cpuAtStart = 0;
    QObject::connect(&window, &VelorandWindow::displayChanged, &window, [&](const DisplayState &state) {
        if (game.isValid() && endMs < 0 && state.remainingText() == QStringLiteral("00:00"))
            endMs = game.elapsed();
    });
    QTimer::singleShot(1000, &window, [&] {
        window.findChild<QLineEdit *>(QStringLiteral("txtMin"))->setText(QString::number(seconds / 60));
        window.findChild<QLineEdit *>(QStringLiteral("txtSek"))->setText(QString::number(seconds % 60));
        if (crowd)
            crowd->startCounting();
        cpuAtStart = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        game.start();
        window.cmdStart_Click();
        QTimer::singleShot(std::chrono::milliseconds(seconds * 1000 + 500), &window, [&] {
            const double wall = game.elapsed();
            const double cpu = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpuAtStart;
            std::vector<double> delays;
            double crowdCpu = 0;
            int connected = 0;
            if (crowd) {
                crowd->stop();
                delays = crowd->delays();
                crowdCpu = crowd->cpuMs();
                connected = crowd->connected();
            }
            std::sort(delays.begin(), delays.end());
            const auto at = [&delays](double q) {
                return delays.empty() ? -1.0 : delays[std::min(delays.size() - 1, size_t(q * delays.size()))];
            };
            std::printf("end-error-ms %.3f median-ms %.3f p99-ms %.3f events %zu clients %d "
                        "cpu-ms-per-minute %.3f\n",
                double(endMs - seconds * 1000), at(0.5), at(0.99), delays.size(), connected,
                (cpu - crowdCpu) / wall * 60000.0);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    });
    return QApplication::exec();
}

std::optional<WebLoadSample> launchWebLoadChild(int seconds, int clients)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QTemporaryDir runtime;
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--child"), QStringLiteral("web-load"), QStringLiteral("--cpu-seconds"),
            QString::number(seconds), QStringLiteral("--clients"), QString::number(clients) });
    if (!process.waitForFinished((seconds + 60) * 1000) || process.exitCode() != 0)
        return std::nullopt;
    QHash<QString, double> values;
    const QStringList words = QString::fromUtf8(process.readAllStandardOutput())
                                  .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i + 1 < words.size(); i += 2)
        values.insert(words[i], words[i + 1].toDouble());
    if (!values.contains(QStringLiteral("end-error-ms")))
        return std::nullopt;
    return WebLoadSample { values[QStringLiteral("end-error-ms")], values[QStringLiteral("median-ms")],
        values[QStringLiteral("p99-ms")], int(values[QStringLiteral("events")]),
        int(values[QStringLiteral("clients")]), values[QStringLiteral("cpu-ms-per-minute")] };
}

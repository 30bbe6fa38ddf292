// The web view against the operator window: routes, methods, headers, and the JSON and the events at Start,
// every tick of a 4 s game, Pause and Stopp; then abuse with real sockets.
#include "core/clock/gametimer.h"
#include "seen.h"
#include "shell/velorandwindow.h"
#include "web/webserver.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <arpa/inet.h>
#include <chrono>
#include <thread>
#include <unistd.h>

namespace {

const auto nowMs = [] { return QDeadlineTimer::current().deadline(); }; // the server's clock, CLOCK_MONOTONIC

/// A blocking loopback connection that gives up reading after 3 s.
int dial(quint16 port, int receiveBuffer = 1 << 16)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const timeval patience { 3, 0 };
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    sockaddr_in to { AF_INET, htons(port), { htonl(INADDR_LOOPBACK) }, {} };
    return ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0 ? fd : -1;
}

/// What arrives until @p mark, the end or 3 s of silence; with @p close, the connection ends after it.
QByteArray exchange(
    int fd, const QByteArray &request, const QByteArray &mark = "\r\n\r\n", bool close = false)
{
    ::send(fd, request.constData(), request.size(), MSG_NOSIGNAL);
    QByteArray got;
    char buffer[4096];
    for (ssize_t n = 1; n > 0 && !got.contains(mark); got.append(buffer, qMax<ssize_t>(n, 0)))
        n = ::recv(fd, buffer, sizeof buffer, 0);
    return close && ::close(fd) ? QByteArray() : got;
}

QByteArray get(quint16 port, const QByteArray &path)
{
    return exchange(
        dial(port), "GET " + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", "\xff", true);
}

QJsonObject lastJson(const QByteArray &reply)
{
    const qsizetype data = reply.lastIndexOf("data: ");
    return QJsonDocument::fromJson(reply.mid(data < 0 ? reply.indexOf("\r\n\r\n") : data + 6)).object();
}

/// The state in the form seenOn() reads a window in.
QStringList seenIn(const QJsonObject &state)
{
    QStringList seen { state[u"remaining"].toString(), state[u"elapsed"].toString(),
        QVariant(state[u"secondsRed"].toBool()).toString() };
    for (const QString &key : { u"half1"_qs, u"half2"_qs, u"game"_qs })
        seen << QString::number(state[u"bars"][key][u"percent"].toInt())
             << state[u"bars"][key][u"color"].toString() << state[u"banners"][key].toString(u"-"_qs);
    return seen;
}

} // namespace

class TestWeb : public QObject
{
    Q_OBJECT

    VelorandWindow window;
    WebServer server;
    qint64 now = 0;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(server.start(QStringLiteral("127.0.0.1"), 0));
        server.publish(window.displayState());
        connect(&window, &VelorandWindow::displayChanged, &server, &WebServer::publish);
    }
    void routes_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        for (const auto &[request, answer] : std::initializer_list<std::pair<QByteArray, QByteArray>> {
                 { "GET / HTTP/1.1", "200 OK|text/html; charset=utf-8" },
                 { "GET /state HTTP/1.0", "200 OK|application/json" },
                 { "GET /events HTTP/1.1", "200 OK|text/event-stream" },
                 { "POST /state HTTP/1.1", "405 Method Not Allowed|Allow: GET|\r\n\r\nNur GET\n" },
                 { "PUT / HTTP/1.1", "405 Method" }, { "HEAD / HTTP/1.1", "405" },
                 { "GET /index.html HTTP/1.1",
                     "404 Not Found|Content-Type: text/plain|\r\n\r\nNicht gefunden\n" },
                 { "GET /state/ HTTP/1.1", "404" }, { "GET /Events HTTP/1.1", "404" },
                 { "GET /../state HTTP/1.1", "404" },
                 { "GET / HTTP/1.1\r\nX: " + QByteArray(9 * 1024, 'x'),
                     "431 Request|\r\n\r\nKopfzeilen zu groß\n" } })
            QTest::newRow(request.left(24).constData()) << request << answer;
    }
    void routes()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        const QByteArray reply
            = exchange(dial(server.port()), request + "\r\nHost: x\r\nContent-Length: 0\r\n\r\n",
                answer.contains("\r\n\r\n") ? answer.split('|').last() : "\r\n\r\n", true);
        for (const QByteArray &part : answer.split('|')
                + QByteArrayList { "\r\nCache-Control: no-store\r\n", "Access-Control-Allow-Origin: *" })
            QVERIFY2(reply.contains(part), reply.constData());
    }
    void stateFollowsTheWindow()
    {
        const QByteArray page = get(server.port(), "/");
        QVERIFY(page.contains("<html lang=\"de\">") && !page.contains("http:") && !page.contains("https:"));
        auto *const timer = window.findChild<GameTimer *>(QStringLiteral("Timer1"));
        timer->setClock([this] { return now; });
        const int stream = dial(server.port());
        QByteArray events = exchange(stream, "GET /events HTTP/1.1\r\nHost: x\r\n\r\n", "}\n\n");
        window.findChild<QLineEdit *>(QStringLiteral("txtSek"))->setText(QStringLiteral("4"));
        const std::function<void()> steps[] { [&] { window.cmdStart_Click(); },
            [&] { window.cmdPause_Click(); }, [&] { now += GameTimer::intervalNs, timer->catchUp(); } };
        for (int step : { -1, 0, 2, 1, 1, 2, 2, 2, 0 }) {
            const qint64 before = nowMs();
            if (step >= 0 && (steps[step](), true))
                events = exchange(stream, {}, "}\n\n");
            QJsonObject state = lastJson(get(server.port(), "/state"));
            const qint64 made = state.take(QStringLiteral("monotonicMs")).toInteger();
            QVERIFY(step < 0 || (made >= before && made <= nowMs()));
            QCOMPARE(seenIn(state), seenOn(window, false));
            QCOMPARE(QList<bool>({ state[u"running"].toBool(), state[u"paused"].toBool() }),
                QList<bool>({ window.findChild<QPushButton *>(u"cmdStart"_qs)->text() == u"Stopp"_qs,
                    window.findChild<QPushButton *>(u"cmdPause"_qs)->text() == u"weiter"_qs }));
            QJsonObject event = lastJson(events);
            QCOMPARE(event.take(QStringLiteral("monotonicMs")).toInteger(), made);
            QCOMPARE(event, state);
        }
        ::close(stream);
    }
    void abuse()
    {
        QList<QByteArray> refused, afterRandom;
        qint64 slowClosedAfter = 0;
        QByteArray unread;
        std::thread abuse([&] {
            QByteArray noise(4096, Qt::Uninitialized);
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(noise.data()), 1024);
            exchange(dial(server.port()), noise, "\xff", true);
            afterRandom << get(server.port(), "/state").left(15);
            // A stream reader that never reads, offered far more than 64 KiB.
            const int deaf = dial(server.port(), 4096);
            exchange(deaf, "GET /events HTTP/1.1\r\nHost: x\r\n\r\n", "");
            for (DisplayState junk; junk.lblStd.size() < 400;
                 std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
                junk.lblStd += u'9';
                server.publish(junk);
            }
            const int slow = dial(server.port());
            const qint64 since = nowMs();
            for (int step = 0; step < 60 && !slowClosedAfter;
                 std::this_thread::sleep_for(std::chrono::milliseconds(250))) {
                char byte;
                ::send(slow, "GET /state HTTP/1.1\r\n" + step / 12, step % 12 == 0, MSG_NOSIGNAL);
                ++step;
                slowClosedAfter = ::recv(slow, &byte, 1, MSG_DONTWAIT) == 0 ? nowMs() - since : 0;
            }
            unread = exchange(deaf, {}, "\xff");
            // Last, when the others have gone: a full house.
            QList<int> crowd;
            for (int i = 0; i < 300; ++i) {
                crowd << dial(server.port());
                refused
                    << exchange(crowd.last(), "GET /events HTTP/1.1\r\nHost: x\r\n\r\n", "}\n\n").left(12);
            }
            for (int fd : crowd)
                ::close(fd);
        });
        abuse.join();
        QCOMPARE(refused.mid(WebServer::maxClients),
            QList<QByteArray>(300 - WebServer::maxClients, "HTTP/1.1 503"));
        QCOMPARE(refused.count("HTTP/1.1 200"), WebServer::maxClients);
        QCOMPARE(afterRandom, QList<QByteArray> { "HTTP/1.1 200 OK" });
        QVERIFY2(
            slowClosedAfter > 9000 && slowClosedAfter < 13000, qPrintable(QString::number(slowClosedAfter)));
        QVERIFY2(unread.size() > 16 * 1024 && unread.size() < 64 * 1024,
            qPrintable(QString::number(unread.size())));
    }
};

QTEST_MAIN(TestWeb)
#include "tst_web.moc"

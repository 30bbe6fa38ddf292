// The web view against the operator window: routes, methods, headers, and the JSON and the events at Start,
// every tick of a 4 s game, Pause and Stopp; then abuse with real sockets while a game runs on the real
// clock.
#include "clock/gametimer.h"
#include "shell/velorandwindow.h"
#include "web/webserver.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>
#include <arpa/inet.h>
#include <chrono>
#include <thread>
#include <unistd.h>

namespace {

qint64 nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

/// A blocking loopback connection that gives up reading after 3 s.
int dial(quint16 port, int receiveBuffer = 0)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (receiveBuffer)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    const timeval patience { 3, 0 };
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    sockaddr_in to { AF_INET, htons(port), { htonl(INADDR_LOOPBACK) }, {} };
    return ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0 ? fd : -1;
}

/// What arrives until @p mark, the end or 3 s of silence.
QByteArray exchange(int fd, const QByteArray &request, const QByteArray &mark = "\r\n\r\n")
{
    ::send(fd, request.constData(), request.size(), MSG_NOSIGNAL);
    QByteArray got;
    char buffer[4096];
    for (ssize_t n = 1; n > 0 && !got.contains(mark); got.append(buffer, qMax<ssize_t>(n, 0)))
        n = ::recv(fd, buffer, sizeof buffer, 0);
    return got;
}

QByteArray get(quint16 port, const QByteArray &path, const QByteArray &more = {})
{
    const int fd = dial(port);
    const QByteArray reply = exchange(fd, "GET " + path + " HTTP/1.1\r\nHost: x\r\n" + more + "\r\n", "\xff");
    ::close(fd);
    return reply;
}

QJsonObject lastJson(const QByteArray &reply)
{
    const qsizetype data = reply.lastIndexOf("data: ");
    return QJsonDocument::fromJson(reply.mid(data < 0 ? reply.indexOf("\r\n\r\n") : data + 6)).object();
}

/// The JSON read off the window's own elements.
QJsonObject shown(const VelorandWindow &w)
{
    const auto text
        = [&](const char *name) { return w.findChild<QWidget *>(QLatin1String(name))->property("text"); };
    QJsonObject bars, banners;
    for (const auto &[name, key] :
        { std::pair { "pnlHalbzeit1", "half1" }, { "pnlHalbzeit2", "half2" }, { "pnlZeit", "game" } }) {
        const QWidget *bar = w.findChild<QWidget *>(QLatin1String(name));
        const QWidget *banner = w.findChild<QWidget *>(QLatin1String(name) + QLatin1String("Text"));
        bars[QLatin1String(key)]
            = QJsonObject { { QStringLiteral("percent"), bar->property("floodPercent").toInt() },
                  { QStringLiteral("color"), bar->property("floodColor").value<QColor>().name() } };
        banners[QLatin1String(key)]
            = banner->isVisibleTo(bar) ? banner->property("text").toJsonValue() : QJsonValue();
    }
    const QLabel *seconds = w.findChild<QLabel *>(QStringLiteral("lblSek"));
    return { { QStringLiteral("remaining"), text("lblMin").toString() + u':' + text("lblSek").toString() },
        { QStringLiteral("elapsed"), text("lblMinAb").toString() + u':' + text("lblSekAb").toString() },
        { QStringLiteral("secondsRed"), seconds->palette().color(QPalette::WindowText) == QColor(0xff0000) },
        { QStringLiteral("running"), text("cmdStart") == QStringLiteral("Stopp") },
        { QStringLiteral("paused"), text("cmdPause") == QStringLiteral("weiter") },
        { QStringLiteral("bars"), bars }, { QStringLiteral("banners"), banners } };
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
        QTest::newRow("page") << QByteArray("GET / HTTP/1.1")
                              << QByteArray("200 OK|text/html; charset=utf-8");
        QTest::newRow("state") << QByteArray("GET /state HTTP/1.0") << QByteArray("200 OK|application/json");
        QTest::newRow("events") << QByteArray("GET /events HTTP/1.1")
                                << QByteArray("200 OK|text/event-stream");
        QTest::newRow("post") << QByteArray("POST /state HTTP/1.1")
                              << QByteArray("405 Method Not Allowed|Allow: GET");
        for (const char *method : { "PUT /", "DELETE /events", "HEAD /", "OPTIONS /state" })
            QTest::newRow(method) << QByteArray(method).append(" HTTP/1.1")
                                  << QByteArray("405 Method|text/plain");
        for (const char *path : { "/index.html", "/state/", "/Events", "/../state" })
            QTest::newRow(path) << QByteArray("GET ").append(path).append(" HTTP/1.1")
                                << QByteArray("404 Not Found");
        QTest::newRow("9 KiB header")
            << "GET / HTTP/1.1\r\nX: " + QByteArray(9 * 1024, 'x') << QByteArray("431 Request");
    }
    void routes()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        const int fd = dial(server.port());
        const QByteArray reply = exchange(fd, request + "\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
        ::close(fd);
        for (const QByteArray &part : answer.split('|'))
            QVERIFY2(reply.contains(part), reply.constData());
        QVERIFY(reply.contains("\r\nCache-Control: no-store\r\n")
            && reply.contains("Access-Control-Allow-Origin: *"));
    }
    void stateFollowsTheWindow()
    {
        const QByteArray page = get(server.port(), "/");
        QVERIFY(page.contains("<html lang=\"de\">") && !page.contains("http:") && !page.contains("https:"));
        window.findChild<GameTimer *>(QStringLiteral("Timer1"))->setClock([this] { return now; });
        const int stream = dial(server.port());
        QByteArray events = exchange(stream, "GET /events HTTP/1.1\r\nHost: x\r\n\r\n", "}\n\n");
        window.findChild<QLineEdit *>(QStringLiteral("txtSek"))->setText(QStringLiteral("4"));
        const std::function<void()> steps[] { [&] { window.cmdStart_Click(); },
            [&] { window.cmdPause_Click(); },
            [&] {
                now += GameTimer::intervalNs;
                window.findChild<GameTimer *>(QStringLiteral("Timer1"))->catchUp();
            } };
        for (int step : { -1, 0, 2, 1, 1, 2, 2, 2, 0 }) {
            const qint64 before = nowMs();
            if (step >= 0)
                steps[step]();
            if (step >= 0)
                events = exchange(stream, {}, "}\n\n");
            QJsonObject state = lastJson(get(server.port(), "/state"));
            const qint64 made = state.take(QStringLiteral("monotonicMs")).toInteger();
            QVERIFY(step < 0 || (made >= before && made <= nowMs()));
            QCOMPARE(state, shown(window));
            QJsonObject event = lastJson(events);
            QCOMPARE(event.take(QStringLiteral("monotonicMs")).toInteger(), made);
            QCOMPARE(event, state);
        }
        ::close(stream);
    }
    void abuseWhileAGameRuns()
    {
        window.findChild<GameTimer *>(QStringLiteral("Timer1"))->setClock({});
        window.findChild<QLineEdit *>(QStringLiteral("txtSek"))->setText(QStringLiteral("14"));
        qint64 start = nowMs(), end = 0;
        connect(&window, &VelorandWindow::displayChanged, this, [&](const DisplayState &state) {
            end = state.remainingText() == QStringLiteral("00:00") ? nowMs() : end;
        });
        window.cmdStart_Click();
        QList<QByteArray> refused, afterRandom;
        qint64 slowClosedAfter = 0;
        QByteArray unread;
        std::thread abuse([&] {
            QByteArray noise(4096, Qt::Uninitialized);
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(noise.data()), 1024);
            const int random = dial(server.port());
            exchange(random, noise, "\xff");
            ::close(random);
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
            for (int step = 0; step < 60 && !slowClosedAfter; ++step) {
                if (step % 12 == 0)
                    ::send(slow, "GET /state HTTP/1.1\r\n" + step / 12, 1, MSG_NOSIGNAL);
                char byte;
                slowClosedAfter = ::recv(slow, &byte, 1, MSG_DONTWAIT) == 0 ? nowMs() - since : 0;
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
            }
            unread = exchange(deaf, {}, "\xff");
            // Last, when the others have gone: a full house.
            QList<int> crowd;
            for (int i = 0; i < 300; ++i) {
                crowd << dial(server.port());
                const QByteArray reply
                    = exchange(crowd.last(), "GET /events HTTP/1.1\r\nHost: x\r\n\r\n", "}\n\n");
                if (i >= WebServer::maxClients)
                    refused << reply.left(12);
            }
            for (int fd : crowd)
                ::close(fd);
        });
        QTRY_VERIFY_WITH_TIMEOUT(end, 20000);
        QVERIFY2(qAbs(end - start - 14000) < 300, qPrintable(QString::number(end - start)));
        abuse.join();
        QCOMPARE(refused, QList<QByteArray>(300 - WebServer::maxClients, "HTTP/1.1 503"));
        QCOMPARE(afterRandom, QList<QByteArray> { "HTTP/1.1 200 OK" });
        QVERIFY2(
            slowClosedAfter > 9000 && slowClosedAfter < 13000, qPrintable(QString::number(slowClosedAfter)));
        QVERIFY2(unread.size() > 16 * 1024 && unread.size() < 64 * 1024,
            qPrintable(QString::number(unread.size())));
    }
};

QTEST_MAIN(TestWeb)
#include "tst_web.moc"

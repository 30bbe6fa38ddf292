// The web view against the operator window: routes, methods, headers, and the JSON and the events at Start,
// every tick of a 4 s game, Pause and Stopp, and with a tournament game loaded; then abuse with real sockets,
// one attack per test.
#include "core/clock/gametimer.h"
#include "seen.h"
#include "shell/velorandwindow.h"
#include "sockets.h"
#include "web/webserver.h"

#include <QNetworkInterface>
#include <QTest>
#include <chrono>
#include <thread>

namespace {

const auto nowMs = [] { return QDeadlineTimer::current().deadline(); }; // the server's clock, CLOCK_MONOTONIC
const QByteArray eventsRequest = "GET /events HTTP/1.1\r\nHost: x\r\n\r\n";

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
        // A server that stopped, or found its port taken, leaves nothing open.
        const qsizetype open = QDir(u"/proc/self/fd"_qs).entryList(QDir::System).size();
        for (WebServer served, refused; !served.port();) // every address: the IPv4 loopback's too
            QVERIFY(served.start(u"::"_qs, 0) && !refused.start(u"127.0.0.1"_qs, served.port())
                && served.urls().contains(u"http://127.0.0.1:%1/"_qs.arg(served.port()))
                && std::ranges::all_of(served.urls(), [](const QString &url) { // each one of this machine's
                       return QNetworkInterface::allAddresses().contains(QHostAddress(QUrl(url).host()));
                   }));
        QCOMPARE(QDir(u"/proc/self/fd"_qs).entryList(QDir::System).size(), open);
        QVERIFY(server.start(QStringLiteral("localhost"), 0)); // as 127.0.0.1
        server.publish(window.displayState());
        connect(&window, &VelorandWindow::displayChanged, &server, &WebServer::publish);
    }
    void routes_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        for (const auto &[request, answer] : std::initializer_list<std::pair<QByteArray, QByteArray>> {
                 { "GET / HTTP/1.1", "200 OK|Content-Type: text/html; charset=utf-8\r\n" },
                 { "GET /state HTTP/1.0", "200 OK|Content-Type: application/json\r\n" },
                 { "GET /events HTTP/1.1", "200 OK|Content-Type: text/event-stream\r\n" },
                 { "POST /state HTTP/1.1", "405 Method Not Allowed|Allow: GET|\r\n\r\nNur GET\n" },
                 { "PUT / HTTP/1.1", "405 Method" }, { "HEAD / HTTP/1.1", "405" },
                 { "GET /index.html HTTP/1.1",
                     "404 Not Found|Content-Type: text/plain|\r\n\r\nNicht gefunden\n" },
                 { "GET /state/ HTTP/1.1", "404" }, { "GET /../state HTTP/1.1", "404" }, // no remote here:
                 { "GET /fernbedienung HTTP/1.1", "404" }, { "POST /api/command HTTP/1.1", "404" },
                 // 8 KiB of header lines (name, ": ", value, CRLF) and the path at most.
                 { "GET / HTTP/1.1\r\nA: " + QByteArray(8158, 'x'), "200 OK" },
                 { "GET / HTTP/1.1\r\nB: " + QByteArray(8159, 'x'),
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
                + QByteArrayList { "\r\nCache-Control: no-store\r\n", "Access-Control-Allow-Origin: *",
                    "Connection: close" })
            QVERIFY2(reply.contains(part), reply.constData());
    }
    void stateFollowsTheWindow()
    {
        auto *const timer = window.findChild<GameTimer *>(QStringLiteral("Timer1"));
        timer->setClock([this] { return now; });
        const int stream = dial(server.port());
        QByteArray events = exchange(stream, eventsRequest, "}\n\n");
        QVERIFY(events.contains("\r\nretry: 2000\n\n")); // a browser that lost the stream tries again in 2 s
        window.findChild<QLineEdit *>(QStringLiteral("txtSek"))->setText(QStringLiteral("4"));
        events = exchange(stream, {}, "}\n\n"); // typing is published too
        const auto button = [this](auto name) { return window.findChild<QPushButton *>(name); };
        const std::function<void()> steps[] { [&] { window.cmdStart_Click(); },
            [&] { window.cmdPause_Click(); }, [&] { now += GameTimer::intervalNs, timer->catchUp(); },
            [&] { // tournament mode; the plan's texts go out as they are
                window.showMatch(
                    MatchDisplay { u"7"_qs, u"FC <b>&amp;<script>"_qs, u"SV Süd"_qs, 2, 1, u"10:24"_qs },
                    MatchDisplay { u"8"_qs, u"Ost"_qs, u"West"_qs, 5, 6, {} }, u"03:12"_qs, true, true);
            } };
        QJsonObject state;
        for (int step : { -1, 0, 2, 1, 1, 2, 2, 2, 0, 3 }) {
            const qint64 before = nowMs();
            if (step >= 0 && (steps[step](), true))
                events = exchange(stream, {}, "}\n\n");
            state = lastJson(exchange(dial(server.port()),
                "GET /state HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", "\xff", true));
            const qint64 made = state.take(QStringLiteral("monotonicMs")).toInteger();
            QVERIFY2(step < 0 || (made >= before && made <= nowMs()), "stamped when published");
            QCOMPARE(seenIn(state), seenOn(window, false));
            QCOMPARE(state[u"running"].toBool(), button(u"cmdStart"_qs)->text() == u"Stopp");
            QCOMPARE(state[u"paused"].toBool(), button(u"cmdPause"_qs)->text() == u"weiter");
            const QJsonObject on = state[u"enabled"].toObject(); // a phone's buttons as the window's
            QCOMPARE(QList<bool>({ on[u"start"].toBool(), on[u"pause"].toBool(), on[u"reset"].toBool(),
                         on[u"goal"].toBool(), on[u"next"].toBool() }),
                QList<bool>({ button(u"cmdStart"_qs)->isEnabled(), button(u"cmdPause"_qs)->isEnabled(),
                    button(u"cmdReset"_qs)->isEnabled(), step == 3, step == 3 }));
            for (const auto &key : { u"match"_qs, u"next"_qs, u"countdown"_qs })
                QCOMPARE(state[key].isNull(), step < 3); // null outside tournament mode
            QJsonObject event = lastJson(events);
            QCOMPARE(event.take(QStringLiteral("monotonicMs")).toInteger(), made);
            QCOMPARE(event, state);
        }
        ::close(stream);
        // The games as shown, a field each: a start the plan leaves out is null, the next game has no score.
        const QJsonObject games { { u"match"_qs, state[u"match"] }, { u"next"_qs, state[u"next"] },
            { u"countdown"_qs, state[u"countdown"] } };
        QCOMPARE(QJsonDocument(games).toJson(QJsonDocument::Compact),
            "{\"countdown\":\"03:12\",\"match\":{\"away\":\"SV Süd\",\"home\":\"FC <b>&amp;<script>\","
            "\"nr\":\"7\",\"scoreAway\":1,\"scoreHome\":2,\"start\":\"10:24\"},"
            "\"next\":{\"away\":\"West\",\"home\":\"Ost\",\"nr\":\"8\",\"start\":null}}");
    }
    void deafStreamReader()
    {
        // Offered far more than 64 KiB, a stream reader that stops reading is sent what fits its socket; when
        // it reads again, every event of several writes arrives whole and in order.
        const int deaf = dial(server.port(), 4096);
        exchange(deaf, "GET /events HTTP/1.0\r\n\r\n", "}\n\n"); // the state before
        QStringList sent;
        for (DisplayState junk; sent.size() < 400;
             server.publish(junk), std::this_thread::sleep_for(std::chrono::milliseconds(2)))
            junk.zeit = { 0, 0, true, sent.emplace_back(u"%1"_qs.arg(sent.size(), 2000)) };
        const QByteArray got = exchange(deaf, {}, "\xff", true);
        QVERIFY2(got.size() > 16 * 1024 && got.size() < 64 * 1024, qPrintable(QString::number(got.size())));
        // The events of the flood, keep-alives left out.
        const QStringList parts = QString::fromUtf8("\n\n" + got)
                                      .split(QRegularExpression(u"\n\n(:\n\n)*"_qs), Qt::SkipEmptyParts);
        qsizetype last = -1;
        for (const QString &part : parts) {
            const QJsonObject event = QJsonDocument::fromJson(part.mid(6).toUtf8()).object();
            const qsizetype index = sent.indexOf(event[u"banners"][u"game"].toString());
            QVERIFY2(part.startsWith(u"data: ") && index >= 0, qPrintable(u"whole: "_qs + part.left(60)));
            QVERIFY2(index > std::exchange(last, index), "in order");
        }
        QCOMPARE(last, sent.size() - 1);
    }
    void slowHeaders()
    {
        // One header byte every 3 s: the connection ends after 10 s all the same. Meanwhile a stream with
        // nothing new to send is kept alive by a comment every 5 s.
        const int idle = dial(server.port());
        exchange(idle, "GET /events HTTP/1.0\r\n\r\n", "}\n\n");
        const int slow = dial(server.port());
        const qint64 since = nowMs();
        char byte;
        for (int step = 0; step < 60 && ::recv(slow, &byte, 1, MSG_DONTWAIT) != 0;
             ++step, std::this_thread::sleep_for(std::chrono::milliseconds(250)))
            ::send(slow, "GET /state HTTP/1.1\r\n" + step / 12, step % 12 == 0, MSG_NOSIGNAL);
        const qint64 closedAfter = nowMs() - since;
        QVERIFY2(closedAfter > 9000 && closedAfter < 13000, qPrintable(QString::number(closedAfter)));
        QVERIFY(exchange(idle, {}, ":\n\n:\n\n").startsWith(":\n\n:\n\n")); // and it stays for the next test
    }
    void tooManyClients()
    {
        // Last, when the clients of the tests before have gone but the idle stream: a full house.
        QList<int> crowd;
        QByteArrayList answers;
        for (int i = 0; i < 300; ++i)
            answers << exchange(crowd.emplace_back(dial(server.port())), eventsRequest, "}\n\n").left(12);
        QVERIFY(exchange(dial(server.port()), eventsRequest, "\xff", true)
                    .endsWith("\r\n\r\nZu viele Verbindungen\n"));
        std::for_each(crowd.cbegin(), crowd.cend(), &::close);
        // The idle stream and the first maxClients - 1 are served, the 45 after them turned away.
        QCOMPARE(answers,
            QByteArrayList(WebServer::maxClients - 1, "HTTP/1.1 200") + QByteArrayList(45, "HTTP/1.1 503"));
    }
};

QTEST_MAIN(TestWeb)
#include "tst_web.moc"

// Commands from paired devices against the operator window, over real sockets: who may send one, what a
// stale or repeated one does, what is refused before it reaches the window, and the limits against
// guessing and flooding; then the pairing dialog, its QR code read back by zbarimg, and a revocation.
#include "seen.h"
#include "shell/velorandwindow.h"
#include "sockets.h"
#include "web/pairingdialog.h"
#include "web/remotecontrol.h"
#include "web/webserver.h"

#include <QtTest>
#include <future>

class TestRemote : public QObject
{
    Q_OBJECT

    VelorandWindow window;
    WebServer server;
    RemoteControl remote { window, nullptr };
    QString token, revoked;
    // A command's headers; TOKEN stands for the token.
    const QByteArray paired = "Authorization: Bearer TOKEN\r\nContent-Type: application/json\r\n";
    QStringList messages; // message boxes the window showed
    qint64 now = 0;

private Q_SLOTS:
    void initTestCase()
    {
        window.setModalRunner([this](QMessageBox &box) { messages << box.text(); });
        server.setCommandHandler([this](const RemoteRequest &request) { return remote.handle(request); });
        QVERIFY(server.start(u"127.0.0.1"_qs, 0));
        connect(&window, &VelorandWindow::displayChanged, &server, &WebServer::publish);
        revoked = remote.devices().pair();
        remote.devices().revoke(remote.devices().devices().last().id);
        token = remote.devices().pair();
        enterFields(window, u"00 00 05"_qs);
    }
    void commands_data()
    {
        QTest::addColumn<QByteArray>("headers"); // TOKEN and REVOKED stand for the tokens
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // the error
        QTest::addColumn<QString>("phase"); // the window's, afterwards
        const auto row = [](const char *name, const QByteArray &headers, const QByteArray &body, int status,
                             const QString &said, const QString &phase) {
            QTest::newRow(name) << headers << body << status << said << phase;
        };
        const QString unpaired = u"nicht gekoppelt"_qs, ready = u"ready"_qs, running = u"running"_qs;
        row("no token", "Content-Type: application/json\r\n", R"({"command":"start"})", 401, unpaired, ready);
        row("malformed token", QByteArray(paired).replace("TOKEN", "abc"), "{}", 401, unpaired, ready);
        row("unknown", QByteArray(paired).replace("TOKEN", QByteArray(22, 'A')), "{}", 401, unpaired, ready);
        row("revoked token", QByteArray(paired).replace("TOKEN", "REVOKED"), "{}", 401, unpaired, ready);
        row("XML", QByteArray(paired).replace("json", "xml"), "{}", 415, u"nur application/json"_qs, ready);
        row("bad JSON", paired, QByteArray("{\"command\":\"start\"").leftJustified(1024), 400,
            u"kein JSON-Objekt"_qs, ready);
        row("unknown command", paired, R"({"command":"jump"})", 400, u"unbekannter Befehl"_qs, ready);
        row("seq no whole number", paired, R"({"command":"start","seq":1.5})", 400,
            u"„seq“ ist keine ganze Zahl ab 0"_qs, ready);
        row("unknown phase", paired, R"({"command":"start","expect":"soon"})", 400,
            u"„expect“ ist keine Phase"_qs, ready);
        const QString goal = u"ein Tor braucht „team“ (home/away) und „delta“ (1/-1)"_qs;
        row("goal without a team", paired, R"({"command":"goal","delta":1})", 400, goal, ready);
        row("a goal of two", paired, R"({"command":"goal","team":"away","delta":2})", 400, goal, ready);
        row("too big", paired, QByteArray(1025, ' '), 413, u"Befehl größer als 1 KiB"_qs, ready);
        row("stale expect", paired, R"({"command":"start","expect":"ended"})", 409,
            u"die Uhr steht nicht mehr auf „ended“, sondern auf „ready“"_qs, ready);
        row("start", paired, R"({"command":"start","expect":"ready","seq":1})", 200, {}, running);
        row("a second tap on Start never stops", paired, R"({"command":"start","expect":"ready","seq":2})",
            409, u"die Uhr steht nicht mehr auf „ready“, sondern auf „running“"_qs, running);
        row("start while it runs", paired, R"({"command":"start"})", 409,
            u"„start“ geht jetzt nicht (running)"_qs, running);
        row("pause", paired, R"({"command":"pause","expect":"running","seq":3})", 200, {}, u"paused"_qs);
        row("the pause sent again: its first answer", paired,
            R"({"command":"pause","expect":"running","seq":3})", 200, {}, u"paused"_qs);
        row("a second tap on Pause never resumes", paired,
            R"({"command":"pause","expect":"running","seq":4})", 409,
            u"die Uhr steht nicht mehr auf „running“, sondern auf „paused“"_qs, u"paused"_qs);
        row("resume", paired, R"({"command":"resume","seq":5})", 200, {}, running);
        row("reset while it runs", paired, R"({"command":"reset"})", 409,
            u"„reset“ geht jetzt nicht (running)"_qs, running);
        row("a goal outside a tournament", paired, R"({"command":"goal","team":"home","delta":-1})", 409,
            u"„goal“ geht jetzt nicht (running)"_qs, running);
        row("stop", paired, R"({"command":"stop","expect":"running"})", 200, {}, ready);
        // The rule of the window applies (the field is set to 0), its message box is the answer.
        row("a field no number", paired, R"({"command":"start","seq":6})", 409,
            u"Es sind nur numerische Werte erlaubt"_qs, ready);
        row("reset", paired, R"({"command":"reset","expect":"ready"})", 200, {}, u"idle"_qs);
    }
    void commands()
    {
        QFETCH(QByteArray, headers);
        QFETCH(QByteArray, body);
        if (QTest::currentDataTag() == QByteArray("a field no number"))
            enterFields(window, u"00 01 x"_qs);
        headers.replace("REVOKED", revoked.toLatin1()).replace("TOKEN", token.toLatin1());
        const auto [status, answer] = send(headers, body);
        QTEST(status, "status");
        QVERIFY(status == 413
            || remote.record().commands.constLast().endsWith(u": "_qs + QString::number(status)));
        // The error said, whole; none with a 200, which carries the state.
        const QJsonObject answered
            = QJsonDocument::fromJson(answer.mid(answer.indexOf("\r\n\r\n") + 4)).object();
        QTEST(answered[u"error"].toString(), "said");
        QCOMPARE(answered[u"phase"].toString() + answered[u"state"][u"phase"].toString(),
            status == 200 || status == 409 ? window.displayState().phase() : QString()); // the state now
        QTEST(window.displayState().phase(), "phase");
        QCOMPARE(messages, QStringList());
        QVERIFY(answer.contains("Type: application/json\r\n") && !answer.contains("Access-Control-Allow"));
    }
    void preflightAndOtherMethods()
    {
        for (const QByteArray method : { "OPTIONS", "GET", "PUT" }) {
            const QByteArray got = exchange(method
                + " /api/command HTTP/1.1\r\nHost: x\r\nOrigin: http://evil.example\r\n"
                  "Access-Control-Request-Method: POST\r\nContent-Length: 0\r\n\r\n");
            QVERIFY2(got.startsWith("HTTP/1.1 405") && got.contains("Allow: POST\r\n")
                    && got.endsWith("\r\n\r\nNur POST\n") && !got.contains("Access-"),
                got.constData());
        }
    }
    void limits()
    {
        // A device: 20 commands a second, not one more; the next second again.
        now = QDeadlineTimer::current().deadline() + RemoteDevices::blockMs; // the failures above forgotten
        remote.devices().setClock([this] { return now; });
        const QByteArray headers = QByteArray(paired).replace("TOKEN", token.toLatin1());
        QList<int> statuses;
        for (int i = 0; i < 21; ++i)
            statuses << send(headers, R"({"command":"reset","expect":"running"})").first;
        QCOMPARE(statuses, QList<int>(20, 409) << 429);
        QVERIFY(send(headers, "{}").second.endsWith("{\"error\":\"zu viele Befehle in einer Sekunde\"}"));
        now += 1000;
        QCOMPARE(send(headers, R"({"command":"reset","expect":"running"})").first, 409);
        // An address that failed 10 times within a minute is turned away for a minute, even with the right
        // token; the read-only routes stay open.
        for (int i = 0; i < 10; ++i, now += 5000)
            statuses << send("Authorization: Bearer " + QByteArray(22, 'B') + "\r\n", "{}").first;
        QCOMPARE(statuses.mid(21), QList<int>(10, 401));
        QVERIFY(send(headers, "{}").second.contains("{\"error\":\"zu viele Fehlversuche; eine Minute"));
        QVERIFY(exchange("GET /state HTTP/1.1\r\nHost: x\r\n\r\n").startsWith("HTTP/1.1 200"));
        now += 60000 - 5000 - 1; // a minute after the tenth failure
        QCOMPARE(send(headers, "{}").first, 429);
        now += 1;
        QCOMPARE(send(headers, "{}").first, 400);
        // A device's last 256 answers are kept for its retries, no more.
        for (int seq = 0; seq <= 256; ++seq)
            remote.devices().remember(99, seq, { 200, QByteArray::number(seq) });
        QVERIFY(!remote.devices().answered(99, 0) && remote.devices().answered(99, 1)->body == "1");
        // An IPv6 host has its whole /64 to send from: its failures count for the network.
        for (int i = 1; i <= 10; ++i)
            remote.devices().admit("::" + QByteArray::number(i), {});
        QVERIFY(remote.devices().admit("::100:0:0:0", {}).verdict == RemoteDevices::Verdict::AddressBlocked);
    }
    // The journal keeps the devices by their tokens' hashes, and the commands as said: after a restart
    // the same phone is let in, and the token is nowhere in what is kept.
    void afterARestart()
    {
        for (int i = 0; i < 99; ++i) // unpaired senders are said too; the last 100 lines are kept
            remote.handle({ QByteArray::number(i), {}, {}, {} });
        JournalEntry entry;
        const RemoteRecord &kept = entry.remote = remote.record();
        const QByteArray written = Journal::encode(entry);
        QVERIFY(!written.contains(token.toLatin1())
            && written.contains(RemoteDevices::hash(token.toLatin1()).toHex()));
        QVERIFY(kept.commands.size() == 100 && kept.commands[0].endsWith(u" Gerät 2: 400"_qs)
            && kept.commands[99].endsWith(u" 98 (nicht gekoppelt): 401"_qs));
        RemoteControl again { window, nullptr };
        again.restore(kept);
        QCOMPARE(again.record(), kept);
        QCOMPARE(int(again.devices().admit("192.0.2.1", "Bearer " + token.toLatin1()).verdict),
            int(RemoteDevices::Verdict::Admitted));
    }
    void pairing()
    {
        // Each opening pairs a new device; its address, with the token after "#", as a code and as text.
        const qsizetype before = remote.devices().devices().size();
        const QString here = u"http://127.0.0.1:%1/"_qs.arg(server.port());
        PairingDialog dialog(remote, { u"http://192.0.2.7:8080/"_qs, here });
        const auto *url = dialog.findChild<QLabel *>(u"lblKoppelnUrl"_qs);
        const QRegularExpression first(u"^http://192\\.0\\.2\\.7:8080/fernbedienung#[A-Za-z0-9_-]{22}$"_qs);
        QVERIFY2(url->text().contains(first), qPrintable(url->text()));
        QCOMPARE(decoded(dialog), url->text());
        // On the code's diagonal: a quiet zone of 4 modules, then the finder's edge, 1 module of 4 px+.
        const QImage qr = dialog.findChild<QLabel *>(u"imgKoppelnQr"_qs)->pixmap().toImage();
        int light = 0, dark = 0;
        for (; qGray(qr.pixel(light, light)) > 128; ++light) { }
        for (; qGray(qr.pixel(light + dark, light + dark)) < 128; ++dark) { }
        QVERIFY(dark >= 4 && light == 4 * dark);
        // Its elements by their names, one under the other below the hint; two addresses to choose from.
        for (int above = 0; const QString &name :
             u"cboKoppelnAdresse imgKoppelnQr lblKoppelnUrl lstGeraete cmdEntziehen"_qs.split(u' ')) {
            const QRect at = dialog.findChild<QWidget *>(name)->geometry();
            QVERIFY2(at.top() > std::exchange(above, at.bottom()), qPrintable(name));
        }
        QCOMPARE(dialog.objectName() + u' ' + dialog.windowTitle(), u"frmKoppeln Fernbedienung koppeln"_qs);
        // As wide as the token lets it be, then the hint and the address:
        dialog.resize(500, dialog.height());
        const int code = dialog.findChild<QWidget *>(u"imgKoppelnQr"_qs)->y();
        QVERIFY(looksAs(dialog, u"pairing-top.png"_qs, __FILE__, { 0, 0, dialog.width(), code }));
        dialog.findChild<QComboBox *>(u"cboKoppelnAdresse"_qs)->setCurrentIndex(1);
        QCOMPARE(decoded(dialog), url->text());
        const QByteArray phone = QByteArray(paired).replace("TOKEN", url->text().section(u'#', 1).toLatin1());
        QVERIFY(url->text().startsWith(here) && url->textInteractionFlags() & Qt::TextSelectableByMouse);
        // Listed, renamed in place, then with its last command; revoked, it is refused from the next on.
        auto *list = dialog.findChild<QTreeWidget *>(u"lstGeraete"_qs);
        QTreeWidgetItem *item = list->topLevelItem(list->topLevelItemCount() - 1);
        QCOMPARE(item->text(0), u"Gerät %1"_qs.arg(before + 2)); // the revoked one counted
        // Renamed while the list itself has the focus (no editor open): the name shown is the one kept.
        list->setCurrentItem(item), list->setFocus();
        item->setText(0, u" Anna "_qs);
        QCOMPARE(send(phone, R"({"command":"pause"})").first, 409);
        QCOMPARE(item->text(0) + remote.devices().devices().last().name + list->topLevelItem(0)->text(0),
            u"AnnaAnnaGerät 2"_qs); // the others keep their names
        QVERIFY(item->text(2).contains(QRegularExpression(u"^\\d\\d:[0-5]\\d:[0-5]\\d pause: 409$"_qs)));
        auto *revoke = dialog.findChild<QPushButton *>(u"cmdEntziehen"_qs);
        QVERIFY(item->flags() & Qt::ItemIsEditable);
        for (QTreeWidgetItem *gone : { item, list->topLevelItem(0) }) { // the last one, then the first
            list->setCurrentItem(gone);
            QTest::mouseClick(revoke, Qt::LeftButton);
        }
        // A row goes with its device; with none left there is nothing to revoke.
        QCOMPARE(std::pair(list->topLevelItemCount(), revoke->isEnabled()), std::pair(0, false));
        QCOMPARE(send(phone, R"({"command":"pause"})").first, 401);
        // Opened from the clock's menu and closed, a dialog is gone, and with it the link with its token.
        addPairingToMenu(window, remote, server);
        window.findChild<QAction *>(u"FernbedienungKoppeln"_qs)->trigger();
        QPointer opened = window.findChild<PairingDialog *>();
        QVERIFY(opened->isVisible() && opened->close() && QTest::qWaitFor([&] { return !opened; }));
    }

private:
    /// The QR code in the dialog, as zbarimg reads it from a picture of it.
    static QString decoded(QWidget &dialog)
    {
        QTemporaryDir folder;
        const QString picture = folder.filePath(u"koppeln.png"_qs);
        onScreen(dialog).save(picture);
        QProcess zbarimg;
        zbarimg.start(u"zbarimg"_qs, { u"--raw"_qs, u"-q"_qs, picture });
        return zbarimg.waitForFinished(20000) ? QString::fromUtf8(zbarimg.readAllStandardOutput()).trimmed()
                                              : zbarimg.errorString();
    }
    /// A command with @p headers and @p body: the answer's status, and the answer.
    std::pair<int, QByteArray> send(const QByteArray &headers, const QByteArray &body)
    {
        const QByteArray answer = exchange("POST /api/command HTTP/1.1\r\nHost: x\r\n" + headers
            + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        return { answer.mid(9, 3).toInt(), answer }; // the headers too: none for CORS
    }
    /// @p request on a fresh connection, the whole answer; the window's events go on meanwhile, as the
    /// command runs on this thread.
    QByteArray exchange(const QByteArray &request)
    {
        auto answer = std::async(std::launch::async,
            [port = server.port(), request] { return ::exchange(dial(port), request, "\xff", true); });
        while (answer.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return answer.get();
    }
};

QTEST_MAIN(TestRemote)
#include "tst_remote.moc"

// The tournament journal: what a restart counts as the game time, and snapshots that are damaged in
// every way a crash or a disk can damage them.
#include "core/tournament/journal.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class TestJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A game that ran on while the program was down: counted as a watch would.
    void elapsedAfterRestart_data()
    {
        QTest::addColumn<int>("phase"); // GameFacts::Phase
        QTest::addColumn<QByteArray>("bootThen");
        QTest::addColumn<qint64>("bootPassedMs"); // on CLOCK_BOOTTIME, suspends included
        QTest::addColumn<qint64>("wallPassedMs");
        QTest::addColumn<qint64>("elapsedMs"); // 60 s at the last Start or weiter; never less after a reboot
        QTest::newRow("same boot, a suspend counted") << 1 << QByteArray("b1") << 5400LL << 3000LL << 65400LL;
        QTest::newRow("same boot, clock back") << 1 << QByteArray("b1") << 200LL << -3600000LL << 60200LL;
        QTest::newRow("rebooted: the wall clock") << 1 << QByteArray("b0") << -9000LL << 7000LL << 67000LL;
        QTest::newRow("rebooted, wall clock back") << 1 << QByteArray("b0") << 100LL << -5000LL << 60000LL;
        QTest::newRow("no boot id then") << 1 << QByteArray() << 100LL << 900LL << 60900LL;
        QTest::newRow("paused or idle: stands") << 2 << QByteArray("b1") << 5000LL << 5000LL << 60000LL;
    }
    void elapsedAfterRestart()
    {
        QFETCH(int, phase);
        QFETCH(QByteArray, bootThen);
        QFETCH(qint64, bootPassedMs);
        QFETCH(qint64, wallPassedMs);
        const GameFacts facts { GameFacts::Phase(phase), 60000, { 10000000000, 1700000000000, bootThen } };
        const Moment now { 10000000000 + bootPassedMs * 1000000, 1700000000000 + wallPassedMs, "b1" };
        QTEST(facts.elapsedAt(now), "elapsedMs");
    }
    // Cut anywhere, or a byte flipped anywhere: the newest snapshot is not trusted, the previous one is
    // loaded and the reason said.
    void damagedNewest()
    {
        QTemporaryDir folder;
        Journal journal(u"/x/plan.csv"_qs, folder.path());
        const auto loaded = [&] { return Journal(u"/x/plan.csv"_qs, folder.path()).load(); }; // by a new run
        JournalEntry older, newer; // with what a snapshot may hold at most
        older.results << JournalResult { u"1"_qs, u"A"_qs, u"B"_qs,
            { 1, 9999, QDateTime::fromMSecsSinceEpoch(0), QDateTime::fromMSecsSinceEpoch(253402300799999) } };
        older.remote = { { { QString(100, u'G'), QByteArray(64, 'e'), QDateTime::fromMSecsSinceEpoch(9) } },
            { QString(300, u'c') } };
        older.fields[0] = QString(64, u'9');
        newer = older;
        newer.results[0].result.home = 2;
        older.game.phase = GameFacts::Phase::Paused;
        newer.game = { GameFacts::Phase::Running, 25 * 3600 * 1000, { 99, 1700000000000, "b" } };
        // Beyond what it may hold, or a token where only its hash may stand.
        const auto bad = [](JournalEntry entry, void (*spoil)(JournalEntry &)) {
            return spoil(entry), std::pair(Journal::encode(entry), u"Inhalt unlesbar"_qs);
        };
        QVERIFY(QFile(journal.previousPath() + u".new"_qs).open(QIODevice::WriteOnly)); // left by a crash
        QCOMPARE(journal.write(older), QString());
        QCOMPARE(journal.write(newer), QString());
        QCOMPARE(loaded().entry, newer);
        const QByteArray whole = Journal::encode(newer);
        QRandomGenerator random(7);
        QList<std::pair<QByteArray, QString>> damaged { { QByteArray(), u"leer"_qs },
            { QByteArray(whole).replace("al 1 ", "al +0000000002 "), u"unbekannte Version +000000000"_qs },
            { QByteArray(whole).replace("velorand", "Velorand"), u"kein Journal"_qs },
            { QByteArray(whole).replace("\"home\":2", "\"home\":3"), u"Prüfsumme falsch"_qs },
            { whole + '\n', u"Prüfsumme falsch"_qs },
            { QByteArray(Journal::maxBytes, ' '), u"kein Journal"_qs },
            { QByteArray(Journal::maxBytes + 1, ' '), u"zu groß"_qs },
            bad(newer, [](auto &e) { e.remote.devices[0].tokenHash = "AbCdEfGhIjKlMnOpQrStUv"; }),
            bad(newer, [](auto &e) { e.current = 1; }), bad(newer, [](auto &e) { e.current = -2; }),
            bad(newer, [](auto &e) { e.fields.removeLast(); }),
            bad(newer, [](auto &e) { e.fields[0] += u'9'; }), bad(newer, [](auto &e) { ++e.game.elapsedMs; }),
            bad(newer, [](auto &e) { ++e.results[0].result.away; }),
            bad(newer, [](auto &e) { e.remote.devices[0].name += u'G'; }),
            bad(newer, [](auto &e) { e.remote.commands[0] += u'c'; }),
            bad(newer, [](auto &e) { e.remote.commands = QStringList(101, u"c"_qs); }),
            bad(newer, [](auto &e) { e.remote.devices = QList<PairedDevice>(101, e.remote.devices[0]); }) };
        for (qsizetype cut = 1; cut < whole.size(); ++cut)
            damaged.append({ whole.left(cut), u"abgeschnitten"_qs });
        for (int flip = 0; flip < 300; ++flip) {
            QByteArray bytes = whole;
            bytes[random.bounded(int(bytes.size()))] ^= char(1 << random.bounded(8));
            damaged.append({ bytes, QString() });
        }
        for (const auto &[bytes, reason] : std::as_const(damaged)) {
            QFile file(journal.path());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush());
            const Journal::Loaded run = loaded();
            QCOMPARE(run.entry, older);
            QVERIFY2(reason.isEmpty() ? !run.damage.isEmpty() : run.damage == reason,
                qPrintable(QString::fromLatin1(bytes.left(60)) + u" -> "_qs + run.damage));
        }
        // The damaged newest one never becomes the previous one.
        Journal again(u"/x/plan.csv"_qs, folder.path());
        QVERIFY(!again.load().damage.isEmpty());
        QCOMPARE(again.write(newer), QString());
        QFile::resize(journal.path(), 10);
        QCOMPARE(loaded().entry, older);
        // Both damaged: nothing is trusted, and both reasons are said.
        QFile::resize(journal.previousPath(), 40);
        const Journal::Loaded neither = loaded();
        QCOMPARE(neither.entry, std::nullopt);
        QCOMPARE(neither.damage.section(u';', 1), u" vorheriger Stand: abgeschnitten"_qs);
        QFile::remove(journal.path()); // the newest gone, the previous damaged, as large as may be: read
        QFile::resize(journal.previousPath(), Journal::maxBytes);
        QCOMPARE(loaded().damage, u"neuester Stand fehlt; vorheriger Stand: abgeschnitten"_qs);
        // A folder that cannot be made: the journal cannot be locked, and says where.
        QVERIFY(Journal(u"/x/p"_qs, u"/dev/null/v"_qs).lock().startsWith(u"Das Journal /dev/null/v/"_qs));
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"

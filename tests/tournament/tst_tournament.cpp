// A tournament day through the real windows: the plan loads each game's time into the clock's fields,
// Start, the end and Stopp move the day on, the score buttons keep to what may change, and after every
// step the results file, the tournament window, the hall view and /state agree. The game timer runs on a
// clock only the test moves; the results are written by the real writer into a real folder.
#include "core/clock/gametimer.h"
#include "core/tournament/journalkeeper.h"
#include "core/tournament/resultswriter.h"
#include "core/tournament/tournament.h"
#include "hall/hallview.h"
#include "seen.h"
#include "shell/appsetup.h"
#include "shell/velorandwindow.h"
#include "tournament/tournamentsession.h"
#include "tournament/tournamentwindow.h"
#include "web/remotecontrol.h"

#include <QtTest>
#include <QtWidgets>
#include <csignal>
#include <memory>
#include <sys/resource.h>

class TestTournament : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        prepareApplication();
        // The names are user data: markup in them stays text everywhere.
        const QByteArray plan = "\xEF\xBB\xBFNr;Beginn;Heim;Gast;Spielzeit\r\n1;11:00;<b>Nord</b>;S\xC3\xBC"
                                "d;0:02\r\n2;;\"&amp;\";West;0:03\r\n3;10:40;Ost;<script>x</script>;60\r\n";
        PlanReading reading = readPlan(plan, u"plan.csv"_qs);
        QCOMPARE(reading.errors.join(u'|'), QString());
        m_tournament = std::make_unique<Tournament>(reading.plan);
        m_tournament->setClock(
            [this] { return QDateTime(QDate(2026, 5, 1), QTime(10, 0, 0).addSecs(m_seconds)); });
        m_writer = std::make_unique<ResultsWriter>(m_folder.filePath(u"plan-ergebnisse.csv"_qs));
        m_clock.findChild<GameTimer *>(u"Timer1"_qs)->setClock([] { return qint64(0); });
        m_hall.showDisplay(m_clock.displayState());
        connect(&m_clock, &VelorandWindow::displayChanged, &m_hall, &HallView::showDisplay);
        m_window = std::make_unique<TournamentWindow>(*m_tournament, m_clock, *m_writer, u"plan.csv"_qs);
        m_remote = std::make_unique<RemoteControl>(m_clock, m_window.get());
        m_hall.resize(HallView::windowSize);
        m_window->show();
        QCOMPARE(m_window->objectName() + m_window->windowTitle(), u"frmTurnierTurnier – plan.csv"_qs);
        m_tournament->begin();
    }
    void day_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("fields"); // the clock's entry fields
        QTest::addColumn<QString>("shown"); // lblHeim, lblStand, lblGast and the hall's game line
        QTest::addColumn<bool>("scoring"); // the score buttons are enabled
        QTest::addColumn<QString>("rows"); // the results file: per game the goals, S for started, E for ended
        const auto row = [](const char *name, const QString &action, const QString &fields,
                             const QString &shown, bool scoring, const QString &rows) {
            QTest::newRow(name) << action << fields << shown << scoring << rows;
        };
        row("first game loaded", u""_qs, u"00 00 02"_qs,
            u"<b>Nord</b> 0 : 0 Süd|Nächstes Spiel: <b>Nord</b> – Süd|Beginn 11:00 · noch 1:00:00|Nächstes Spiel um 11:00 · im Plan"_qs,
            false, u"||"_qs);
        row("a second later, by itself", u"wait"_qs, u"00 00 02"_qs,
            u"<b>Nord</b> 0 : 0 Süd|Nächstes Spiel: <b>Nord</b> – Süd|Beginn 11:00 · noch 59:59|Nächstes Spiel um 11:00 · im Plan"_qs,
            false, u"||"_qs);
        row("a later game first, the first one next", u"dblclick2 start"_qs, u"01 00 00"_qs,
            u"Ost 0 : 0 <script>x</script>|0 : 0|Spiel Nr. 3 läuft · im Plan · danach Nr. 1 um 11:00"_qs,
            true, u"||0:0S"_qs);
        row("stopped early, the first one loaded next", u"stop cmdNaechstesSpiel"_qs, u"00 00 02"_qs,
            u"<b>Nord</b> 0 : 0 Süd|Nächstes Spiel: <b>Nord</b> – Süd|Beginn 11:00 · noch 59:55|Nächstes Spiel um 11:00 · im Plan"_qs,
            false, u"||"_qs);
        row("kick-off", u"start"_qs, u"00 00 02"_qs,
            u"<b>Nord</b> 0 : 0 Süd|0 : 0|Spiel Nr. 1 läuft · im Plan"_qs, true, u"0:0S||"_qs);
        row("goals", u"cmdHeimPlus phone{\"command\":\"goal\",\"team\":\"home\",\"delta\":1} cmdGastPlus"_qs,
            u"00 00 02"_qs, u"<b>Nord</b> 2 : 1 Süd|2 : 1|Spiel Nr. 1 läuft · im Plan"_qs, true,
            u"2:1S||"_qs);
        row("never below 0", u"phone{\"command\":\"goal\",\"team\":\"away\",\"delta\":-1} cmdGastMinus"_qs,
            u"00 00 02"_qs, u"<b>Nord</b> 2 : 0 Süd|2 : 0|Spiel Nr. 1 läuft · im Plan"_qs, true,
            u"2:0S||"_qs);
        row("time is up", u"tick tick"_qs, u"00 00 02"_qs,
            u"<b>Nord</b> 2 : 0 Süd|2 : 0|Spiel Nr. 1 läuft · im Plan"_qs, true, u"2:0SE||"_qs);
        row("late correction", u"cmdHeimMinus"_qs, u"00 00 02"_qs,
            u"<b>Nord</b> 1 : 0 Süd|1 : 0|Spiel Nr. 1 läuft · im Plan"_qs, true, u"1:0SE||"_qs);
        row("Stopp after the end loads the next", u"stop"_qs, u"00 00 03"_qs,
            u"&amp; 0 : 0 West|Nächstes Spiel: &amp; – West||Nächstes Spiel: Nr. 2"_qs, false, u"1:0SE||"_qs);
        row("second game started", u"start tick cmdHeimPlus"_qs, u"00 00 03"_qs,
            u"&amp; 1 : 0 West|1 : 0|Spiel Nr. 2 läuft · danach Nr. 3 um 10:40"_qs, true, u"1:0SE|1:0S|"_qs);
        row("Stopp before the end: to be played again", u"stop"_qs, u"00 00 03"_qs,
            u"&amp; 0 : 0 West|Nächstes Spiel: &amp; – West||Nächstes Spiel: Nr. 2"_qs, false, u"1:0SE||"_qs);
        row("no next game while one runs", u"start cmdNaechstesSpiel dblclick0"_qs, u"00 00 03"_qs,
            u"&amp; 0 : 0 West|0 : 0|Spiel Nr. 2 läuft · danach Nr. 3 um 10:40"_qs, true, u"1:0SE|0:0S|"_qs);
        row("skipped", u"stop later phone{\"command\":\"next\"}"_qs, u"01 00 00"_qs,
            u"Ost 0 : 0 <script>x</script>|Nächstes Spiel: Ost – <script>x</script>|Beginn 10:40|Nächstes Spiel um 10:40 · 140 min hinter Plan"_qs,
            false, u"1:0SE||"_qs);
        row("swapped back by a double click", u"dblclick3 dblclick1"_qs, u"00 00 03"_qs,
            u"&amp; 0 : 0 West|Nächstes Spiel: &amp; – West||Nächstes Spiel: Nr. 2"_qs, false, u"1:0SE||"_qs);
        row("played, then the skipped one", u"start tick tick tick cmdGastPlus stop"_qs, u"01 00 00"_qs,
            u"Ost 0 : 0 <script>x</script>|Nächstes Spiel: Ost – <script>x</script>|Beginn 10:40|Nächstes Spiel um 10:40 · 140 min hinter Plan"_qs,
            false, u"1:0SE|0:1SE|"_qs);
        row("the day is done", u"start"_qs + u" tick"_qs.repeated(3600) + u" stop"_qs, u"01 00 00"_qs,
            u"  |||Alle Spiele gespielt"_qs, false, u"1:0SE|0:1SE|0:0SE"_qs);
    }
    void day()
    {
        QFETCH(QString, action);
        for (const QString &step : action.split(u' ', Qt::SkipEmptyParts)) {
            ++m_seconds;
            if (step == u"later")
                m_seconds += 3 * 3600 - 1;
            else if (step.startsWith(u"dblclick"))
                m_window->lstSpiele_DblClick(step.back().digitValue());
            else if (step.startsWith(u"phone")) // a command, as JSON, from a phone paired for it
                m_remote->handle({ "192.0.2.1", "Bearer " + m_remote->devices().pair().toLatin1(),
                    "application/json", step.mid(5).toUtf8() });
            else if (step == u"tick")
                m_clock.Timer1_Timer();
            else if (step == u"wait") // the windows follow the time of day by themselves
                QTest::qWait(1500);
            else if (step.startsWith(u"cmd")) // a button of the tournament window
                button(step)->click();
            else // start, stop
                m_clock.cmdStart_Click();
        }
        QTEST(texts(m_clock, { "txtStd", "txtMin", "txtSek" }), "fields");
        const QString hallLine = m_hall.findChild<QLabel *>(u"lblZuschauerStand"_qs)->isVisibleTo(&m_hall)
            ? texts(m_hall, { "lblZuschauerStand" })
            : texts(m_hall, { "lblZuschauerNaechstesSpiel", "lblZuschauerBeginn" }, u'|');
        if (hallLine == texts(*m_window, { "lblStand" })) // the hall names the teams as the window does
            QCOMPARE(texts(m_hall, { "lblZuschauerHeim", "lblZuschauerGast" }),
                texts(*m_window, { "lblHeim", "lblGast" }));
        QTEST(texts(*m_window, { "lblHeim", "lblStand", "lblGast" }) + u'|' + hallLine + u'|'
                + texts(*m_window, { "lblPlan" }),
            "shown");
        QTEST(button(u"cmdGastMinus"_qs)->isEnabled(), "scoring");
        for (const QLabel *label : m_window->findChildren<QLabel *>()) // names, paths and reasons as written
            QVERIFY2(label->textFormat() == Qt::PlainText, label->objectName().toUtf8());
        // The hall view as the spectators see it, between games and during one, and the tournament window
        // down to its status line (the results' folder is the test's own).
        const QByteArray tag = QTest::currentDataTag();
        if (tag == "first game loaded")
            QVERIFY(looksAs(m_hall, u"hall-next.png"_qs, __FILE__));
        if (tag == "goals") {
            const int status = m_window->findChild<QLabel *>(u"lblPlan"_qs)->geometry().bottom();
            QVERIFY(looksAs(m_hall, u"hall-score.png"_qs, __FILE__)
                && looksAs(
                    *m_window, u"window-score.png"_qs, __FILE__, { 0, 0, m_window->width(), status + 1 }));
        }
        QFETCH(QString, rows);
        QCOMPARE(writtenRows(), rows);
        // Phones announce a game after the loaded one while another one is still to be played (in rows,
        // '|' parts the games, E marks an ended one).
        const bool loadedOpen = !rows.split(u'|').value(m_tournament->current(), u"E"_qs).contains(u'E');
        QCOMPARE(m_clock.displayState().next.has_value(), rows.count(u'|') - rows.count(u'E') >= loadedOpen);
        // The list shows the same goals, the loaded game as its current one.
        const auto *list = m_window->findChild<QTreeWidget *>(u"lstSpiele"_qs);
        QStringList listed;
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            listed << list->topLevelItem(row)->text(5).remove(u' ');
        QCOMPARE(listed.join(u'|'), rows.remove(u'S').remove(u'E'));
        if (m_tournament->current() >= 0)
            QCOMPARE(list->currentItem(), list->topLevelItem(m_tournament->current()));
    }
    // The results file a run finds beside the plan, as the program opens it.
    void earlierResults_data()
    {
        QTest::addColumn<QByteArray>("row"); // game 1's row, under a header with every column
        QTest::addColumn<QString>("loaded"); // the game loaded at start
        QTest::addColumn<QString>("notice"); // in the tournament window; empty: the file is not kept aside
        const QByteArray ok = "1;;;A;B;2;0;2026-05-01T10:00:00+02:00;2026-05-01T10:10:00+02:00";
        QTest::newRow("played") << ok << u"2"_qs << QString();
        QTest::newRow("started only: to be played")
            << "1;;;A;B;0;0;2026-05-01T10:00:00Z;"_qba << u"1"_qs << QString();
        QTest::newRow("another game") << QByteArray(ok).replace(";A;", ";C;") << u"1"_qs
                                      << u"x-ergebnisse.csv:2: Spiel Nr „1“ steht so nicht im Plan"_qs;
        QTest::newRow("goals no number") << QByteArray(ok).replace(";0;", ";zwei;") << u"1"_qs
                                         << u"x-ergebnisse.csv:2: Tore „2“ : „zwei“ sind keine Zahlen"_qs;
        QTest::newRow("goals below zero") << QByteArray(ok).replace(";2;", ";-2;") << u"1"_qs
                                          << u"x-ergebnisse.csv:2: Tore „-2“ : „0“ sind keine Zahlen"_qs;
        QTest::newRow("an end that is no time")
            << QByteArray(ok).replace("T10:1", "T25:1") << u"1"_qs
            << u"x-ergebnisse.csv:2: Zeit „2026-05-01T25:10:00+02:00“ ist keine Zeitangabe"_qs;
        QTest::newRow("a column missing") << QByteArray(
            "Nr;Heim\n1;A") << u"1"_qs << u"x-ergebnisse.csv:1: Spalte „Beginn“ fehlt, Ergebnisse nicht"_qs;
        QTest::newRow("larger than 8 MiB") << QByteArray(
            8 << 20, 'x') << u"1"_qs << u"x-ergebnisse.csv: nicht lesbar, Ergebnisse nicht übernommen"_qs;
    }
    void earlierResults()
    {
        QFETCH(QByteArray, row);
        QTemporaryDir folder;
        // Folders the writer makes where they are missing.
        const QString plan = folder.filePath(u"a/x.csv"_qs),
                      results = folder.filePath(u"a/x-ergebnisse.csv"_qs);
        const QByteArray file = row.startsWith("Nr")
            ? row
            : "Nr;Beginn;Feld;Heim;Gast;Tore Heim;Tore Gast;Angepfiffen;Abgepfiffen\n" + row;
        QVERIFY(ResultsWriter::writeNow(plan, "Nr;Heim;Gast;Spielzeit\n1;A;B;1\n2;C;D;2\n").isEmpty());
        QVERIFY(ResultsWriter::writeNow(results, file).isEmpty());
        VelorandWindow clock;
        const TournamentSession session(readPlanFile(plan).plan, plan, clock,
            std::make_unique<Journal>(plan, folder.filePath(u"state"_qs)));
        QTEST(session.tournament().match()->nr, "loaded");
        QFETCH(QString, notice);
        const QString said = session.window().findChild<QLabel *>(u"lblPlan"_qs)->text().section(u'\n', 1);
        QVERIFY2(said.startsWith(notice), qPrintable(said));
        QCOMPARE(contents(results + u".alt"_qs), notice.isEmpty() ? QByteArray() : file);
    }
    // Ended with a game on the clock, started again: the game runs on with its score and says so in every
    // view; on a plan changed meanwhile, a game keeps its result only where Nr, Heim and Gast still match.
    void restarted_data()
    {
        QTest::addColumn<QByteArray>("changed"); // the plan at the restart
        // Journal snapshots cut short, the newest first; -1: none, but the game began 5 s earlier.
        QTest::addColumn<int>("cut");
        QTest::addColumn<QString>("shown"); // lblHeim, lblStand, lblPlan; the hall's notice
        const QByteArray plan = "Nr;Heim;Gast;Spielzeit\n1;A;B;0:04\n2;C;D;0:04\n";
        const QString on = u"A|1 : 0|Spiel Nr. 1 läuft\nWiederhergestellt: Spiel 1, %1 gespielt|"
                           u"Wiederhergestellt: Spiel 1, %1 gespielt"_qs; // with its goal, the time played
        QTest::newRow("same plan") << plan << 0 << on.arg(u"00:00"_qs);
        QTest::newRow("the game renamed")
            << QByteArray(plan).replace(";B;", ";Z;") << 0
            << u"A|0 : 0|Nächstes Spiel: Nr. 1\nSpielplan geändert; nicht übernommen: Nr. 1 (A – B)|"_qs;
        QTest::newRow("the newest snapshot cut: the one before the goal; the next game renamed")
            << QByteArray(plan).replace(";D;", ";Y;") << 1
            << u"A|0 : 0|Spiel Nr. 1 läuft\nWiederhergestellt: Spiel 1, 00:00 gespielt\nJournal beschädigt "
               u"(abgeschnitten), vorheriger Stand geladen\nSpielplan geändert; alle Ergebnisse übernommen|"
               u"Wiederhergestellt: Spiel 1, 00:00 gespielt"_qs;
        QTest::newRow("its 4 s ran out meanwhile") << plan << -1 << on.arg(u"00:04"_qs);
        QTest::newRow("both cut: the results file")
            << plan << 2
            << u"A|0 : 0|Nächstes Spiel: Nr. 1\nJournal beschädigt (abgeschnitten; vorheriger Stand: "
               u"abgeschnitten), nur die Ergebnisdatei geladen|"_qs;
    }
    void restarted()
    {
        QTemporaryDir folder;
        const QString plan = folder.filePath(u"x.csv"_qs), state = folder.filePath(u"state"_qs);
        QVERIFY(ResultsWriter::writeNow(plan, "Nr;Heim;Gast;Spielzeit\n1;A;B;0:04\n2;C;D;0:04\n").isEmpty());
        {
            VelorandWindow clock;
            const TournamentSession session(
                readPlanFile(plan).plan, plan, clock, std::make_unique<Journal>(plan, state));
            clock.cmdStart_Click(), session.window().cmdHeimPlus_Click();
        }
        QFETCH(int, cut);
        Journal journal(plan, state);
        for (const QString &file : QStringList { journal.path(), journal.previousPath() }.first(qMax(cut, 0)))
            QVERIFY(QFile::resize(file, 30));
        std::optional<JournalEntry> aged = journal.load().entry;
        if (cut < 0)
            aged->game.since.wallMs -= 5000, aged->game.since.bootNs -= 5'000'000'000, journal.write(*aged);
        QFETCH(QByteArray, changed);
        QVERIFY(ResultsWriter::writeNow(plan, changed).isEmpty());
        VelorandWindow clock;
        HallView hall;
        connect(&clock, &VelorandWindow::displayChanged, &hall, &HallView::showDisplay);
        const TournamentSession session(
            readPlanFile(plan).plan, plan, clock, std::make_unique<Journal>(plan, state));
        QTEST(texts(session.window(), { "lblHeim", "lblStand", "lblPlan" }, u'|') + u'|'
                + texts(hall, { "lblZuschauerHinweis" }),
            "shown");
        // A game over meanwhile ended when its time was up (no end: 0).
        QCOMPARE(session.tournament().results()[0].ended.toMSecsSinceEpoch(),
            cut < 0 ? aged->game.since.wallMs + 4000 : 0);
        QTRY_VERIFY(Journal(plan, state).load().damage.isEmpty()); // written whole again once restored
    }
    // A full disk: the clock runs on, the old file stays whole, the window says so until a write succeeds.
    void fullDisk()
    {
        QTemporaryDir folder;
        const QString plan = folder.filePath(u"x.csv"_qs), results = folder.filePath(u"x-ergebnisse.csv"_qs);
        QVERIFY(ResultsWriter::writeNow(plan, "Nr;Heim;Gast;Spielzeit\n1;A;B;1:00\n").isEmpty());
        VelorandWindow clock;
        const TournamentSession session(readPlanFile(plan).plan, plan, clock,
            std::make_unique<Journal>(plan, folder.filePath(u"state"_qs)));
        // The tournament window comes after the clock window's first frame, beside it where there is room
        // (on the left here, then just so on the right), and follows it while the window manager places it.
        clock.move(1000, 50), clock.show();
        QTRY_VERIFY(session.window().isVisible());
        QCOMPARE(session.window().frameGeometry().topRight() + QPoint(1, 0), clock.frameGeometry().topLeft());
        clock.move(clock.screen()->geometry().right() + 1 - clock.frameGeometry().width()
                - session.window().frameGeometry().width(),
            50);
        QTRY_COMPARE(
            session.window().frameGeometry().topLeft(), clock.frameGeometry().topRight() + QPoint(1, 0));
        // A pixel further, room on neither side: at the screen's left edge; at the bottom: on the screen.
        clock.move(clock.x() + 1, 800 - clock.height());
        QTRY_COMPARE(session.window().frameGeometry().bottomLeft(), QPoint(0, 799));
        session.window().move(9, 0), clock.repaint(), QCoreApplication::processEvents(); // by hand: kept
        QCOMPARE(session.window().pos(), QPoint(9, 0));
        auto *line = session.window().findChild<QLabel *>(u"lblErgebnisse"_qs);
        const auto said = [line] { return line->text(); };
        clock.cmdStart_Click();
        QTRY_VERIFY(contents(results).contains(";;A;B;0;0;"));
        rlimit unlimited {};
        std::signal(SIGXFSZ, SIG_IGN), getrlimit(RLIMIT_FSIZE, &unlimited);
        const rlimit tiny { 60, unlimited.rlim_max };
        QVERIFY(setrlimit(RLIMIT_FSIZE, &tiny) == 0);
        const QSignalSpy resultsWritten(&session.writer(), &ResultsWriter::written);
        session.window().cmdHeimPlus_Click();
        QVERIFY2(said().startsWith(u"Ergebnisse können nicht gespeichert werden: "_qs), qPrintable(said()));
        QTRY_VERIFY(!resultsWritten.isEmpty() && !resultsWritten.last()[0].toString().isEmpty());
        setrlimit(RLIMIT_FSIZE, &unlimited);
        // The journal catches up by itself once there is room again.
        const auto journaled
            = [&] { return Journal(plan, folder.filePath(u"state"_qs)).load().entry->results[0]; };
        QCOMPARE(journaled().result.home, 0);
        QTRY_COMPARE(journaled().result.home, 1);
        QVERIFY(!session.keeper().findChild<QTimer *>()->isActive()); // and tries no more
        // The results file's failure stays said until a write of it works.
        QVERIFY2(said().startsWith(u"Ergebnisse können nicht gespeichert werden: "_qs), qPrintable(said()));
        line->ensurePolished();
        QCOMPARE(line->palette().color(line->foregroundRole()), QColor(Qt::red));
        QCOMPARE(clock.displayState().running, true);
        QVERIFY(contents(results).contains(";;A;B;0;0;"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2); // no temporary file left behind
        session.window().cmdHeimPlus_Click();
        QTRY_VERIFY(contents(results).contains(";;A;B;2;0;"));
        QTRY_COMPARE(said(), u"Ergebnisse: "_qs + results);
    }

private:
    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QPushButton *button(const QString &name) const { return m_window->findChild<QPushButton *>(name); }
    static QString texts(
        const QWidget &window, std::initializer_list<const char *> names, QChar between = u' ')
    {
        QStringList shown;
        for (const char *name : names) { // as the window shows them: none where hidden
            const QWidget *element = window.findChild<QWidget *>(QLatin1String(name));
            shown << (element->isVisibleTo(&window) ? element->property("text").toString() : QString());
        }
        return shown.join(between);
    }
    /// The results file once every change is written: per game "HOME:AWAY" with S for a kick-off and E for an
    /// end.
    QString writtenRows()
    {
        QCoreApplication::processEvents();
        QSignalSpy written(m_writer.get(), &ResultsWriter::written);
        // No file yet: no results yet.
        if (!QFile::exists(m_writer->path()) && !written.wait(2000))
            return QString(m_tournament->plan().games.size() - 1, u'|');
        while (written.wait(200)) { }
        TextEncoding encoding;
        const QString text = Csv::decode(contents(m_writer->path()), &encoding);
        QStringList rows;
        for (const auto &[line, c] : Csv::read(text, u';').mid(1))
            rows << (c[5].isEmpty() ? QString() : c[5] + u':' + c[6]) + (c[7].isEmpty() ? u""_qs : u"S"_qs)
                    + (c[8].isEmpty() ? u""_qs : u"E"_qs);
        // In the plan's encoding, with its start times.
        const bool asPlanned = encoding == TextEncoding::Utf8WithBom && text.contains(u"\n3;10:40;;Ost;"_qs);
        return asPlanned ? rows.join(u'|') : u"not as the plan has it: "_qs + text;
    }

    QTemporaryDir m_folder;
    VelorandWindow m_clock;
    HallView m_hall;
    std::unique_ptr<Tournament> m_tournament;
    std::unique_ptr<ResultsWriter> m_writer;
    std::unique_ptr<TournamentWindow> m_window;
    std::unique_ptr<RemoteControl> m_remote;
    int m_seconds = 0;
};

QTEST_MAIN(TestTournament)
#include "tst_tournament.moc"

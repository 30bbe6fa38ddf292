// The program as started from a shell: its options, exit statuses and its
// answer when no window can be opened.
#include "core/tournament/journal.h"
#include "core/tournament/resultswriter.h"
#include "version.h"

#include <QtNetwork>
#include <QtTest>

class TestProgram : public QObject
{
    Q_OBJECT

    // 127.0.0.1:8080 held here, or by a service that keeps it: a bare --web says where it was to listen.
    QTcpServer held;
    const bool holding = QTest::qWaitFor([&] { return held.listen(QHostAddress::LocalHost, 8080); }, 5000);

private Q_SLOTS:
    void run_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<int>("status");
        // Pieces ("|") of standard output, or of the one line on standard error.
        QTest::addColumn<QString>("output");
        // A laptop and a projector.
        const QString screens = u"QT_QPA_PLATFORM=offscreen:configfile=" VELORAND_SCREENS ""_qs;
        const QString noX = u"DISPLAY=:77"_qs;
        for (const auto &[name, arguments, environment, status, output] :
            std::initializer_list<std::tuple<const char *, QString, QString, int, QString>> {
                { "version", u"--version"_qs, {}, 0, u"=velorand " VELORAND_VERSION "\n"_qs },
                { "help where no window opens", u"-h"_qs, noX, 0, u"@" VELORAND_HELP ""_qs },
                { "unknown option", u"--hilfe"_qs, {}, 2,
                    u"velorand: unbekannte Option „--hilfe“; siehe „velorand --help“.\n"_qs },
                { "value for a switch", u"--hupe=1"_qs, {}, 2,
                    u"velorand: „--hupe“ nimmt keinen Wert; siehe „velorand --help“.\n"_qs },
                { "unknown short option", u"-x"_qs, {}, 2, u"velorand: unbekannte Option „-x“"_qs },
                { "stray argument", u"start"_qs, {}, 2, u"velorand: unerwartetes Argument „start“"_qs },
                { "no X server", {}, noX + u" QT_QPA_PLATFORM=xcb"_qs, 2,
                    u"velorand: kein Fenster möglich auf X11 (DISPLAY=:77)"_qs },
                { "no display named", {}, u"DISPLAY="_qs, 2, u"auf X11 (DISPLAY ist nicht gesetzt);"_qs },
                { "no such window system", {}, u"QT_QPA_PLATFORM=keine"_qs, 2, u"auf Plattform keine;"_qs },
                { "no compositor", {}, u"QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=fehlt-0"_qs, 2,
                    u"auf Wayland (fehlt-0)"_qs },
                { "no compositor named", {}, u"QT_QPA_PLATFORM=wayland"_qs, 2,
                    u"auf Wayland (wayland-0);"_qs },
                { "screens in the help, in pixels at twice the scale, after a warning", u"--help"_qs,
                    screens + u" QT_SCALE_FACTOR=2 XDG_RUNTIME_DIR="_qs, 0,
                    u"\n  1  Beamer, 1920 × 1080\n"_qs },
                { "no such screen", u"--zuschauer=3"_qs, screens, 2,
                    u"velorand: Bildschirm 3 gibt es nicht"_qs },
                { "screen zero", u"--audience=0"_qs, {}, 2, u"velorand: ungültige Bildschirmnummer „0“"_qs },
                { "no such port", u"--web=65536"_qs, {}, 2,
                    u"velorand: ungültiger Port in „--web=65536“"_qs },
                // The highest port is taken; what is wrong is the address.
                { "no address", u"--web=[]:65535"_qs, {}, 2, u"velorand: „“ ist keine IP-Adresse"_qs },
                { "remote without the web view", u"--remote"_qs, {}, 2,
                    u"velorand: „--fernbedienung“ braucht „--web“; siehe"_qs },
                { "bare --web", u"--web"_qs, {}, 2,
                    u"velorand: Webansicht: 127.0.0.1:8080 lässt sich nicht öffnen (Port belegt)"_qs },
                { "any screen by its other name", u"--audience"_qs, noX, 2, noX },
                { "screen one", u"--zuschauer=1"_qs, noX, 2, noX },
                { "the lowest port", u"--web=1"_qs, noX, 2, noX } })
            QTest::newRow(name) << arguments << environment << status << output;
    }
    void run()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, environment);
        QFETCH(int, status);
        QFETCH(QString, output);
        const auto [exitCode, out, err] = runProgram(arguments.split(u' ', Qt::SkipEmptyParts), environment);
        QCOMPARE(exitCode, status);
        // Help and version on standard output; a refusal is one line on standard error.
        QCOMPARE(status ? out : err, QString());
        QCOMPARE(err.count(u'\n'), status ? 1 : 0);
        QVERIFY2(!status || err.startsWith(u"velorand: "_qs), qPrintable(err));
        // "=" the whole output, "@" the whole output as a file holds it, else pieces.
        QString whole = output.startsWith(u'=') ? output.mid(1) : QString();
        if (QFile file(output.mid(1)); output.startsWith(u'@') && file.open(QIODevice::ReadOnly))
            whole = QString::fromUtf8(file.readAll());
        QVERIFY2(whole.isNull() || out == whole, qPrintable(out));
        for (const QString &piece : output.split(u'|'))
            QVERIFY2(!whole.isNull() || (status ? err : out).contains(piece), qPrintable(out + err));
    }
    void plan_data()
    {
        QTest::addColumn<QString>("arguments"); // PLAN stands for the plan's path
        QTest::addColumn<QByteArray>("plan");
        QTest::addColumn<QString>("refusal"); // empty: the plan is taken, and so a window is tried
        const QByteArray good = "Nr;Heim;Gast;Spielzeit\n1;A;B;0:04\n";
        QTest::newRow("plan as its own argument") << u"--turnier PLAN --hupe"_qs << good << QString();
        QTest::newRow("plan after =") << u"--tournament=PLAN"_qs << good << QString();
        QTest::newRow("no plan: asked for in a window") << u"--tournament --hupe"_qs << good << QString();
        QTest::newRow("each problem a line, no window")
            << u"--turnier PLAN"_qs << QByteArray("Nr;Heim;Gast;Spielzeit\n1;A;B;10:75\n1;C;D;0\n")
            << u"plan.csv:2: Spielzeit „10:75“ ist keine Zeit (MM:SS)\n"
               u"plan.csv:3: Nr „1“ gibt es schon (Zeile 2)\nplan.csv:3: Spielzeit „0“ ist 0\n"_qs;
        QTest::newRow("the plan open in another clock")
            << u"--turnier PLAN"_qs << good
            << u"velorand: Dieser Turnierplan ist schon geöffnet (PID SELF)\n"_qs;
        QTest::newRow("no such plan") << u"--turnier=fehlt.csv"_qs << QByteArray()
                                      << u"fehlt.csv: nicht lesbar (No such file or directory)\n"_qs;
        QTest::newRow("a plan that opens but cannot be read")
            << u"--turnier=/proc/self/mem"_qs << QByteArray()
            << u"mem: nicht lesbar (Input/output error)\n"_qs;
    }
    void plan()
    {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, plan);
        QFETCH(QString, refusal);
        QTemporaryDir folder;
        const QString path = folder.filePath(u"plan.csv"_qs);
        QVERIFY(ResultsWriter::writeNow(path, plan).isEmpty());
        Journal otherClock(path, folder.filePath(u"state/velorand"_qs));
        if (refusal.contains(u"SELF"_qs)) {
            QCOMPARE(otherClock.lock(), QString());
            refusal.replace(u"SELF"_qs, QString::number(QCoreApplication::applicationPid()));
        }
        const auto [status, out, err] = runProgram(arguments.replace(u"PLAN"_qs, path).split(u' '),
            u"DISPLAY=:77 XDG_STATE_HOME="_qs + folder.filePath(u"state"_qs), folder.path());
        QCOMPARE(status, 2);
        QCOMPARE(err,
            refusal.isEmpty()
                ? u"velorand: kein Fenster möglich auf X11 (DISPLAY=:77); bitte aus einer Desktop-Sitzung starten.\n"_qs
                : refusal);
    }

private:
    /// Runs the program with @p arguments and @p environment ("NAME=VALUE ...") on no window system unless
    /// named there: its exit status, standard output and standard error.
    static std::tuple<int, QString, QString> runProgram(
        const QStringList &arguments, const QString &environment, const QString &folder = {})
    {
        QTemporaryDir runtime;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"QT_QPA_PLATFORM"_qs), env.remove(u"WAYLAND_DISPLAY"_qs);
        env.insert(u"XDG_RUNTIME_DIR"_qs, runtime.path());
        for (const QString &pair : environment.split(u' ', Qt::SkipEmptyParts))
            env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(folder);
        program.start(QStringLiteral(VELORAND_BINARY), arguments);
        const bool ended = program.waitForFinished(20000) && program.exitStatus() == QProcess::NormalExit;
        return { ended ? program.exitCode() : -1, QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError()) };
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"

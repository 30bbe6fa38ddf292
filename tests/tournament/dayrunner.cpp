// A tournament day as the program runs it, driven line by line on standard input, for the test that
// kills it at random moments (killed.py). Each command runs through the handler its button calls; the
// answer, after the handler returned, is the state as one JSON line.
//   dayrunner PLAN STATE_FOLDER    commands: start pause home away next state
#include "core/tournament/journal.h"
#include "core/tournament/tournament.h"
#include "shell/appsetup.h"
#include "shell/velorandwindow.h"
#include "tournament/tournamentsession.h"
#include "tournament/tournamentwindow.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    prepareApplication();
    const QString planPath = QString::fromLocal8Bit(argv[1]);
    auto journal = std::make_unique<Journal>(planPath, QString::fromLocal8Bit(argv[2]));
    if (const QString taken = journal->lock(); !taken.isEmpty())
        return std::fprintf(stderr, "%s\n", qPrintable(taken)), 2;
    VelorandWindow clock;
    TournamentSession day(readPlanFile(planPath).plan, planPath, clock, std::move(journal));
    clock.show();
    TournamentWindow &window = day.window();
    const QHash<QByteArray, std::function<void()>> commands { { "start", [&] { clock.cmdStart_Click(); } },
        { "pause", [&] { clock.cmdPause_Click(); } }, { "home", [&] { window.cmdHeimPlus_Click(); } },
        { "away", [&] { window.cmdGastPlus_Click(); } },
        { "next", [&] { window.cmdNaechstesSpiel_Click(); } }, { "state", [] {} } };
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[64] = {};
        if (::read(STDIN_FILENO, line, sizeof line - 1) <= 0)
            QApplication::quit();
        commands.value(QByteArray(line).trimmed(), [] {})();
        QJsonArray results;
        for (const GameResult &r : day.tournament().results())
            results.append(QJsonArray { r.home, r.away, r.started.isValid(), r.ended.isValid() });
        const DisplayState shown = clock.displayState();
        const QJsonObject state { { u"current"_qs, day.tournament().current() },
            { u"running"_qs, shown.running }, { u"paused"_qs, shown.paused },
            { u"elapsedMs"_qs, clock.elapsedMs() }, { u"results"_qs, results },
            { u"status"_qs, window.findChild<QLabel *>(u"lblPlan"_qs)->text() },
            { u"banners"_qs,
                QJsonArray { shown.halbzeit1.bannerVisible, shown.halbzeit2.bannerVisible,
                    shown.zeit.bannerVisible ? shown.zeit.banner : QString() } } };
        std::printf("%s\n", QJsonDocument(state).toJson(QJsonDocument::Compact).constData());
        std::fflush(stdout);
    });
    return QApplication::exec();
}

#include "app/commandline.h"
#include "core/horn/hornrule.h"
#include "core/tournament/journal.h"
#include "core/tournament/journalkeeper.h"
#include "core/tournament/plan.h"
#include "hall/hallview.h"
#include "horn/hornplayer.h"
#include "shell/appsetup.h"
#include "shell/velorandwindow.h"
#include "tournament/tournamentsession.h"
#include "version.h"
#include "web/pairingdialog.h"
#include "web/remotecontrol.h"
#include "web/webserver.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace {

/// The window system the program is about to try, for the one line that says it failed.
QByteArray platformTried()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("wayland"))
        return "Wayland ("
            + (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? QByteArray("wayland-0")
                                                              : qgetenv("WAYLAND_DISPLAY"))
            + ')';
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return "Plattform " + platform;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return "X11 (DISPLAY ist nicht gesetzt)";
    return "X11 (DISPLAY=" + qgetenv("DISPLAY") + ')';
}

QtMessageHandler g_qtMessages = nullptr;
QList<std::pair<QtMsgType, QString>> g_heldMessages;

/// While the window system is being opened: a fatal message from Qt means no window can be opened,
/// and the one line below says so; other messages are held until the window system is up.
void failWithoutWindow(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtFatalMsg) {
        g_heldMessages.append({ type, message });
        return;
    }
    std::fprintf(stderr, "velorand: kein Fenster möglich auf %s; bitte aus einer Desktop-Sitzung starten.\n",
        platformTried().constData());
    // Before Qt aborts: no core file, the documented status.
    std::_Exit(2);
}

/// While the screens are looked up for --help: without a window system, the help without them.
void helpWithoutScreens(QtMsgType type, const QMessageLogContext &, const QString &)
{
    if (type != QtFatalMsg)
        return;
    std::fputs(qPrintable(helpText()), stdout);
    std::fflush(stdout);
    std::_Exit(0);
}

/// One line for each screen, "  N  name, width × height" in pixels, when a window system can be reached;
/// otherwise the help goes out without them.
QStringList screenLines(int argc, char **argv)
{
    const QtMessageHandler previous = qInstallMessageHandler(helpWithoutScreens);
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(previous);
    QStringList lines;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QSize pixels = screens[i]->size() * screens[i]->devicePixelRatio();
        lines << QStringLiteral("  %1  %2, %3 × %4")
                     .arg(i + 1)
                     .arg(screens[i]->name())
                     .arg(pixels.width())
                     .arg(pixels.height());
    }
    return lines;
}

/// The plan at @p path, or nothing after its problems went to standard error (and to a message box when
/// @p asked, since whoever picked the file in a dialog may not see a terminal).
std::optional<Plan> readPlanOrSay(const QString &path, bool asked)
{
    PlanReading reading = readPlanFile(path);
    for (const QString &line : std::as_const(reading.errors))
        std::fprintf(stderr, "%s\n", qPrintable(line));
    if (reading.errors.isEmpty())
        return std::move(reading.plan);
    if (asked) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Turnierplan"),
            QStringLiteral("Der Spielplan kann nicht verwendet werden:\n\n") + reading.errors.join(u'\n'),
            QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
    return std::nullopt;
}

/// The journal of the plan at @p path, locked; or nothing after saying on standard error that another
/// clock has the plan open. Journals are kept in $XDG_STATE_HOME/velorand, by default
/// ~/.local/state/velorand.
std::unique_ptr<Journal> lockedJournal(const QString &path)
{
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    auto journal = std::make_unique<Journal>(path,
        (QDir::isAbsolutePath(state) ? state : QDir::homePath() + QStringLiteral("/.local/state"))
            + QStringLiteral("/velorand"));
    if (const QString taken = journal->lock(); !taken.isEmpty()) {
        std::fprintf(stderr, "velorand: %s\n", qPrintable(taken));
        return nullptr;
    }
    return journal;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = parseCommandLine(arguments);
    switch (commandLine.action) {
    case CommandLine::Action::Error:
        std::fprintf(stderr, "velorand: %s; siehe „velorand --help“.\n", qPrintable(commandLine.error));
        return 2;
    case CommandLine::Action::Help:
        std::fputs(qPrintable(helpText(screenLines(argc, argv))), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::puts("velorand " VELORAND_VERSION);
        return 0;
    case CommandLine::Action::Run:
        break;
    }

    // A plan named on the command line is read before anything opens: a bad one opens no window.
    std::optional<Plan> plan;
    std::unique_ptr<Journal> journal;
    if (commandLine.tournament && !commandLine.planPath.isEmpty()) {
        plan = readPlanOrSay(commandLine.planPath, false);
        // One clock per plan: a second one would write the same journal.
        if (!plan || !(journal = lockedJournal(commandLine.planPath)))
            return 2;
    }

    // The web view binds before anything else opens: a port in use ends the program without a window.
    std::unique_ptr<RemoteControl> remote;
    std::unique_ptr<WebServer> web;
    if (commandLine.web) {
        web = std::make_unique<WebServer>();
        // Commands come through the event loop; the file dialog's runs before the windows are there.
        if (commandLine.remote)
            web->setCommandHandler([&remote](const RemoteRequest &request) {
                return remote ? remote->handle(request)
                              : RemoteAnswer { 503, R"({"error":"noch nicht bereit"})" };
            });
        if (!web->start(commandLine.webAddress, commandLine.webPort)) {
            std::fprintf(stderr, "velorand: %s\n", qPrintable(web->errorString()));
            return 2;
        }
    }

    g_qtMessages = qInstallMessageHandler(failWithoutWindow);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_qtMessages);
    for (const auto &[type, message] : std::as_const(g_heldMessages))
        g_qtMessages(type, QMessageLogContext(), message);
    prepareApplication();

    QString planPath = commandLine.planPath;
    if (commandLine.tournament && planPath.isEmpty()) {
        planPath = QFileDialog::getOpenFileName(nullptr, QStringLiteral("Turnierplan öffnen"),
            QDir::homePath(), QStringLiteral("Spielpläne (*.csv *.txt);;Alle Dateien (*)"));
        if (planPath.isEmpty())
            return 0;
        plan = readPlanOrSay(planPath, true);
        if (!plan || !(journal = lockedJournal(planPath)))
            return 2;
    }

    VelorandWindow window;
    // Before the window is shown: the first game's time is in its fields on its first frame.
    std::unique_ptr<TournamentSession> tournament;
    if (plan)
        tournament
            = std::make_unique<TournamentSession>(*std::move(plan), planPath, window, std::move(journal));
    std::unique_ptr<HallView> hall;
    if (commandLine.hallScreen >= 0) {
        // The hall view renders what the window publishes, in the same handler that changed it.
        hall = std::make_unique<HallView>();
        hall->showDisplay(window.displayState());
        QObject::connect(&window, &VelorandWindow::displayChanged, hall.get(), &HallView::showDisplay);
        if (!hall->open(&window, commandLine.hallScreen)) {
            std::fprintf(stderr,
                "velorand: Bildschirm %d gibt es nicht (%lld vorhanden); siehe „velorand --help“.\n",
                commandLine.hallScreen, static_cast<long long>(QGuiApplication::screens().size()));
            return 2;
        }
    }
    std::unique_ptr<HornPlayer> horn;
    if (commandLine.horn) {
        horn = std::make_unique<HornPlayer>();
        QObject::connect(&window, &VelorandWindow::displayChanged, horn.get(),
            [player = horn.get(), shown = window.displayState()](const DisplayState &now) mutable {
                if (hornSounds(shown, now))
                    player->play();
                shown = now;
            });
    }
    if (commandLine.remote) {
        remote = std::make_unique<RemoteControl>(window, tournament ? &tournament->window() : nullptr);
        addPairingToMenu(window, *remote, *web);
        if (tournament) {
            // Paired phones stay paired after a restart: the journal holds their tokens' hashes.
            remote->restore(tournament->keeper().remote());
            QObject::connect(remote.get(), &RemoteControl::devicesChanged, &tournament->keeper(),
                [&] { tournament->keeper().setRemote(remote->record()); });
        }
    }
    if (web) {
        web->publish(window.displayState());
        QObject::connect(&window, &VelorandWindow::displayChanged, web.get(), &WebServer::publish);
        std::printf("velorand: Webansicht unter %s\n", qPrintable(web->urls().join(u' ')));
        std::fflush(stdout);
    }
    window.show();
    return QApplication::exec();
}

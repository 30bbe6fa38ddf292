#include "application.h"

#include "program/commandline.h"
#include "shell/appsetup.h"
#include "shell/velorandwindow.h"
#include "version.h"
#include "web/webserver.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

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

} // namespace

int runVelorand(int argc, char **argv)
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
        std::fputs(qPrintable(helpText()), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::puts("velorand " VELORAND_VERSION);
        return 0;
    case CommandLine::Action::Run:
        break;
    }

    // The web view binds before anything else opens: a port in use ends the program without a window.
    std::unique_ptr<WebServer> web;
    if (commandLine.web) {
        web = std::make_unique<WebServer>();
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

    VelorandWindow window;
    if (web) {
        web->publish(window.displayState());
        QObject::connect(&window, &VelorandWindow::displayChanged, web.get(), &WebServer::publish);
        std::printf("velorand: Webansicht unter %s\n", qPrintable(web->urls().join(u' ')));
        std::fflush(stdout);
    }
    window.show();
    return QApplication::exec();
}

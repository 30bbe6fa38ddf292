#include "application.h"

#include "shell/velorandwindow.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

bool haveDisplay()
{
    const auto isSet = [](const char *name) {
        const char *value = std::getenv(name);
        return value && *value;
    };
    // An explicit platform choice (offscreen, vnc, ...) needs no display of ours.
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

} // namespace

int runVelorand(int argc, char **argv)
{
    if (!haveDisplay()) {
        std::fputs("velorand: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                   "start it from a desktop session.\n",
            stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velorand"));
    QApplication::setApplicationVersion(QStringLiteral(VELORAND_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("velorand"));
    VelorandWindow window;
    return QApplication::exec();
}

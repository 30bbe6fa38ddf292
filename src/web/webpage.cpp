#include "web/webpage.h"

#include <QFile>

// page.html, compiled in as the resource "webpage" (see CMakeLists.txt).
// Phones, TVs and stream overlays of every size: the remaining time is scaled to the window by the script,
// the digits keep one width, so the time does not jump while it counts.
const QByteArray &webPage()
{
    static const QByteArray page = [] {
        // Harmless when the resource is already registered; keeps it linked in from the static library.
        Q_INIT_RESOURCE(webpage);
        QFile file(QStringLiteral(":/web/page.html"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("velorand: the web page is missing from the build (%s)", qPrintable(file.errorString()));
        return file.readAll();
    }();
    return page;
}

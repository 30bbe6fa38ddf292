#include "web/webpage.h"

#include <QFile>

/// The compiled-in page @p name (see CMakeLists.txt). Outside any namespace: Q_INIT_RESOURCE declares the
/// resource's function where it stands.
static QByteArray readPage(const char *name)
{
    // Harmless when the resource is already registered; keeps it linked in from the static library.
    Q_INIT_RESOURCE(webpage);
    QFile file(QStringLiteral(":/web/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("velorand: %s is missing from the build (%s)", name, qPrintable(file.errorString()));
    return file.readAll();
}

// Phones, TVs and stream overlays of every size: the remaining time is scaled to the window by the script,
// the digits keep one width, so the time does not jump while it counts.
const QByteArray &webPage()
{
    static const QByteArray page = readPage("page.html");
    return page;
}

// Big buttons for a thumb, the state live from /events.
const QByteArray &remoteControlPage()
{
    static const QByteArray page = readPage("remote.html");
    return page;
}

#include "shell/appsetup.h"

#include "shell/fonts.h"
#include "version.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

void prepareApplication()
{
    // The application is named after its file, "velorand"; the desktop file names it on Wayland.
    QApplication::setDesktopFileName(QStringLiteral(VELORAND_APP_ID));
    Fonts::install();

    // The window speaks German whatever the system's language, and so do Qt's own texts (context menus).
    auto *catalogue = new QTranslator(qApp);
    if (catalogue->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(catalogue);
}

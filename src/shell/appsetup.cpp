#include "shell/appsetup.h"

#include "shell/fonts.h"
#include "version.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

void prepareApplication()
{
    QApplication::setApplicationName(QStringLiteral("velorand"));
    QApplication::setApplicationVersion(QStringLiteral(VELORAND_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(VELORAND_APP_ID));
    Fonts::install();

    // The window speaks German whatever the system's language, and so do Qt's own texts (context menus).
    auto *catalogue = new QTranslator(qApp);
    if (catalogue->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(catalogue);
}

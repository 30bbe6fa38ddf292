#include "shell/fonts.h"

#include <QApplication>
#include <QFontDatabase>

namespace {

// Chosen by install().
QString verdanaFace;
QString sansSerifFace;

// A family that is not installed costs fontconfig a full sort of every font each time a size
// of it is loaded; naming the stand-in itself avoids that.
QString installed(const QString &family, const QString &standIn)
{
    return QFontDatabase::families().contains(family) ? family : standIn;
}

QFont font(const QString &family, double points, bool bold)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace

void Fonts::install()
{
    verdanaFace = installed(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    sansSerifFace = installed(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QApplication::setFont(sansSerif(8, false));
}

QFont Fonts::verdana(double points, bool bold)
{
    return font(verdanaFace, points, bold);
}

QFont Fonts::sansSerif(double points, bool bold)
{
    return font(sansSerifFace, points, bold);
}

QString Fonts::verdanaFamily()
{
    return verdanaFace;
}

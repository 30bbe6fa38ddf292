// Build-time tool: writes the program icon as PNG files at the requested sizes.
// Usage: velorand_iconrender SIZE FILE [SIZE FILE ...]
#include <QPainter>
#include <QSvgRenderer>

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>

static QImage renderClockFace(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(VELORAND_SVG));
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

int main(int argc, char **argv)
{
    // Runs during the build, where there may be no display.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QGuiApplication app(argc, argv);

    if (argc < 3 || (argc - 1) % 2 != 0) {
        std::fputs("usage: velorand_iconrender SIZE FILE [SIZE FILE ...]\n", stderr);
        return 2;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0 || size > 4096) {
            std::fprintf(stderr, "velorand_iconrender: bad size '%s'\n", argv[i]);
            return 2;
        }
        const QImage image = renderClockFace(size);
        if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "velorand_iconrender: cannot write '%s'\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}

// Build-time tool: renders the program's SVG icon as PNG files at the requested sizes.
// Usage: velorand_iconrender SVG SIZE FILE [SIZE FILE ...]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char **argv)
{
    // Runs during the build, where there may be no display.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QGuiApplication app(argc, argv);

    if (argc < 4 || (argc - 2) % 2 != 0) {
        std::fputs("usage: velorand_iconrender SVG SIZE FILE [SIZE FILE ...]\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "velorand_iconrender: cannot read the SVG '%s'\n", argv[1]);
        return 1;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0 || size > 4096) {
            std::fprintf(stderr, "velorand_iconrender: bad size '%s'\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            renderer.render(&painter);
        }
        if (!image.save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "velorand_iconrender: cannot write '%s'\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}

#include "appicon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

static void initResources()
{
    // The resources live in a static library; make sure the linker keeps them.
    Q_INIT_RESOURCE(velorand);
}

QImage renderClockFace(int size)
{
    initResources();
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/velorand/velorand.svg"));
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QIcon clockFaceIcon()
{
    QIcon icon;
    for (int size : { 16, 32, 48, 256 })
        icon.addPixmap(QPixmap::fromImage(renderClockFace(size)));
    return icon;
}

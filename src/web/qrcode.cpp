#include "web/qrcode.h"

#include <QPainter>
#include <memory>
#include <qrencode.h>

QImage qrCode(const QString &text, int moduleSize)
{
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(utf8.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code)
        return {};
    constexpr int quietZone = 4;
    const int side = (code->width + 2 * quietZone) * moduleSize;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            // Bit 0 of each byte: the module is dark.
            if (code->data[y * code->width + x] & 1)
                painter.fillRect((x + quietZone) * moduleSize, (y + quietZone) * moduleSize, moduleSize,
                    moduleSize, Qt::black);
        }
    }
    return image;
}

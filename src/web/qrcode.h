#pragma once

#include <QImage>
#include <QString>

/// @p text as a QR code (libqrencode, error correction M): black modules of @p moduleSize pixels on white,
/// with a quiet zone of four modules around them, as readers need. A null image when it does not fit.
QImage qrCode(const QString &text, int moduleSize = 6);

#pragma once

#include <QByteArray>

/// The web view's one page: HTML with its style and script inside, nothing loaded from elsewhere.
const QByteArray &webPage();
/// The phone's page in remote mode, made alike.
const QByteArray &remoteControlPage();

#include "horn/hornplayer.h"

#include "core/horn/hornsound.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <cstdio>

namespace {

QThread *g_soundThread = nullptr;
QtMessageHandler g_otherMessages = nullptr;

/// Qt's own complaints about the sound output would add lines of their own; the horn says it in one.
void quietSoundThread(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (QThread::currentThread() != g_soundThread || type == QtFatalMsg)
        g_otherMessages(type, context, message);
}

} // namespace

HornPlayer::HornPlayer()
    : m_context(new QObject)
{
    m_thread.setObjectName(QStringLiteral("horn"));
    m_context->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    g_soundThread = &m_thread;
    g_otherMessages = qInstallMessageHandler(quietSoundThread);
    m_thread.start();
    QMetaObject::invokeMethod(m_context, [this] { load(); });
}

HornPlayer::~HornPlayer()
{
    m_thread.quit();
    m_thread.wait();
    qInstallMessageHandler(g_otherMessages);
}

void HornPlayer::play()
{
    QMetaObject::invokeMethod(m_context, [this] {
        if (!m_effect)
            return;
        // A fresh effect for each horn: one effect played again now and then stays silent. The loaded
        // one keeps the sound in Qt's sample cache, so the fresh one has it at once.
        delete m_sounding; // a horn still sounding stops; the next starts from its beginning
        m_sounding = new QSoundEffect(m_context);
        m_sounding->setSource(m_effect->source());
        m_sounding->play();
    });
}

void HornPlayer::load()
{
    if (QMediaDevices::audioOutputs().isEmpty()) {
        reportUnavailable("kein Audioausgang gefunden (läuft ein Sound-Server wie PulseAudio?)");
        return;
    }
    m_effect = new QSoundEffect(m_context);
    connect(m_effect, &QSoundEffect::statusChanged, m_context, [this] {
        if (m_effect->status() == QSoundEffect::Error)
            reportUnavailable("der Klang lässt sich nicht laden");
    });
    // Made in memory; the effect reads it through a data URL.
    m_effect->setSource(
        QUrl(QStringLiteral("data:audio/wav;base64,") + QString::fromLatin1(HornSound::wav().toBase64())));
}

void HornPlayer::reportUnavailable(const char *why)
{
    if (!m_reported)
        std::fprintf(stderr, "velorand: Hupe nicht verfügbar: %s; die Uhr läuft ohne Ton.\n", why);
    m_reported = true;
}

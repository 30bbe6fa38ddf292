#pragma once

#include <QObject>
#include <QThread>

class QSoundEffect;

/**
 * Plays the horn on the default sound output. The sound is loaded at start-up in a
 * thread of its own, so that play() never waits, not even for a hanging sound server.
 * Without a usable output the clock runs on silently; one line on standard error says why.
 */
class HornPlayer : public QObject
{
    Q_OBJECT

public:
    HornPlayer();
    ~HornPlayer() override;
    Q_DISABLE_COPY_MOVE(HornPlayer)

    /// Sounds the horn from its beginning, also over one still sounding.
    void play();

private:
    void load();
    void reportUnavailable(const char *why);

    QThread m_thread;
    QObject *m_context; ///< lives in m_thread; everything below is used there only
    QSoundEffect *m_effect = nullptr; ///< loaded at start, never played
    QSoundEffect *m_sounding = nullptr; ///< the horn sounding now or last
    bool m_reported = false;
};

#pragma once

#include "core/tournament/journal.h"
#include "web/remotedevices.h"
#include "web/remoterequest.h"

#include <QObject>

class TournamentWindow;
class VelorandWindow;

/**
 * Commands from paired devices, run through the very handlers the windows' buttons call.
 *
 * A command is refused unless its button is enabled now, after the clock has caught up with overdue
 * ticks; with "expect", unless the game stands in that phase. A handler that would open a message box
 * opens none: its text is the answer. Each command is said on standard error in one line, the token
 * never.
 *
 * Answers: 200 with the new state; 409 with {"error", "state"}; 400, 401, 415 and 429 with {"error"}.
 */
class RemoteControl : public QObject
{
    Q_OBJECT

public:
    /// @p tournament: null outside tournament mode, where the score and "next" are refused.
    RemoteControl(VelorandWindow &clock, TournamentWindow *tournament, QObject *parent = nullptr);

    RemoteDevices &devices() { return m_devices; }
    /// Runs @p request, as received, and says the answer.
    RemoteAnswer handle(const RemoteRequest &request);
    /// The device list changed: paired, renamed, revoked, or a command noted.
    void notifyDevices() { emit devicesChanged(); }
    /// The paired devices (their tokens' hashes) and the last commands, as the journal keeps them.
    RemoteRecord record() const;
    /// Takes back what record() gave before a restart: the phones paired then stay paired.
    void restore(const RemoteRecord &record);

Q_SIGNALS:
    void devicesChanged();

private:
    /// @p name: the device's, as the log says it.
    RemoteAnswer run(int device, const QString &name, const QByteArray &body);
    void log(const QString &who, const QString &what, int status);

    VelorandWindow &m_clock;
    TournamentWindow *m_tournament;
    RemoteDevices m_devices;
    QStringList m_recent; ///< the last commands said, the oldest first
};

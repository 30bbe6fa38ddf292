#pragma once

#include "web/remoterequest.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

/// A phone, or any other client, paired to send commands. Its token is not kept: only its SHA-256.
struct RemoteDevice
{
    int id = 0;
    QString name; ///< "Gerät 1", …; the operator may rename it
    QByteArray tokenHash; ///< SHA-256 of the token
    QDateTime pairedAt;
    QString lastCommand; ///< e.g. "10:24:03 start: 200"; empty before the first

    bool operator==(const RemoteDevice &) const = default;
};

/**
 * The paired devices, and who may send a command now.
 *
 * A token is 128 bits from the operating system's generator, handed out once as 22 characters of
 * base64url; a presented token is hashed and compared with every stored hash in constant time. An
 * address that failed 10 times within a minute is turned away for a minute; a device may send 20
 * commands a second. Each device's answers are kept by their seq, the last 256 of them, so that a retry
 * gets the first answer again. Used on the GUI thread only.
 */
class RemoteDevices
{
public:
    static constexpr int failuresAllowed = 10; ///< per address within blockMs
    static constexpr qint64 blockMs = 60 * 1000;
    static constexpr int commandsPerSecond = 20; ///< per device
    static constexpr int rememberedAnswers = 256; ///< per device
    static constexpr int maxAddresses = 4096; ///< failing addresses remembered before the old ones go

    /// Milliseconds on a monotonic clock.
    using Clock = std::function<qint64()>;
    RemoteDevices();
    /// The clock the limits count on (tests move it).
    void setClock(Clock clock) { m_clock = std::move(clock); }

    /// Pairs a new device, "Gerät N", and returns its token: the only time it exists in clear.
    QString pair();
    const QList<RemoteDevice> &devices() const { return m_devices; }
    /// Devices paired before (from the journal): their hashes, names and times; the next is numbered on.
    void restore(const QList<RemoteDevice> &devices);
    void rename(int id, const QString &name);
    void revoke(int id);
    /// The device with @p id; null when there is none (any more).
    const RemoteDevice *device(int id) const;

    enum class Verdict { Admitted, Unauthorised, AddressBlocked, TooFast };
    struct Admission
    {
        Verdict verdict;
        int device = -1; ///< when Admitted or TooFast
    };
    /// Whether a command from @p address with the Authorization header @p authorization may run now;
    /// counts the failure or the command.
    Admission admit(const QByteArray &address, const QByteArray &authorization);

    /// The answer given before to @p seq from @p device, if it is still kept.
    std::optional<RemoteAnswer> answered(int device, qint64 seq) const;
    void remember(int device, qint64 seq, const RemoteAnswer &answer);
    /// Notes the device's last command, as the pairing dialog lists it.
    void noteCommand(int device, const QString &line);

    /// SHA-256 of @p token.
    static QByteArray hash(const QByteArray &token);

private:
    struct Traffic
    {
        std::deque<qint64> failures; ///< within the last blockMs
        qint64 blockedUntil = 0;
    };
    struct Memory
    {
        std::deque<qint64> commands; ///< within the last second
        QHash<qint64, RemoteAnswer> answers;
        std::deque<qint64> order; ///< of the seqs in answers, the oldest first
    };

    Clock m_clock;
    QList<RemoteDevice> m_devices;
    int m_nextNumber = 1;
    QHash<QByteArray, Traffic> m_traffic; ///< by address
    QHash<int, Memory> m_memory; ///< by device id
};

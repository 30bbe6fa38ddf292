#include "web/remotedevices.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <arpa/inet.h>
#include <array>
#include <chrono>

namespace {

qint64 monotonicMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

/// Equal or not, in a time that depends on the lengths only.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

/// Drops the moments in @p moments older than @p window before @p now.
void forget(std::deque<qint64> &moments, qint64 now, qint64 window)
{
    while (!moments.empty() && now - moments.front() >= window)
        moments.pop_front();
}

} // namespace

RemoteDevices::RemoteDevices()
    : m_clock(&monotonicMs)
{ }

QString RemoteDevices::pair()
{
    std::array<quint32, 4> words {};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray token = QByteArray(reinterpret_cast<const char *>(words.data()), sizeof words)
                                 .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    const int id = m_devices.isEmpty() ? 1 : m_devices.last().id + 1;
    m_devices.append({ id, QStringLiteral("Gerät %1").arg(m_nextNumber++), hash(token),
        QDateTime::currentDateTime(), {} });
    return QString::fromLatin1(token);
}

void RemoteDevices::restore(const QList<RemoteDevice> &devices)
{
    m_devices = devices;
    for (int i = 0; i < m_devices.size(); ++i)
        m_devices[i].id = i + 1;
    m_nextNumber = int(devices.size()) + 1;
}

void RemoteDevices::rename(int id, const QString &name)
{
    for (RemoteDevice &device : m_devices) {
        if (device.id == id && !name.trimmed().isEmpty())
            device.name = name.trimmed();
    }
}

void RemoteDevices::revoke(int id)
{
    m_devices.removeIf([id](const RemoteDevice &device) { return device.id == id; });
    m_memory.remove(id);
}

const RemoteDevice *RemoteDevices::device(int id) const
{
    for (const RemoteDevice &device : m_devices) {
        if (device.id == id)
            return &device;
    }
    return nullptr;
}

RemoteDevices::Admission RemoteDevices::admit(const QByteArray &sender, const QByteArray &authorization)
{
    const qint64 now = m_clock();
    // One IPv6 host has a whole /64 to send from: the failures count for the network.
    in6_addr v6 {};
    const QByteArray address = ::inet_pton(AF_INET6, sender.constData(), &v6) == 1
        ? QByteArray(reinterpret_cast<const char *>(v6.s6_addr), 8).toHex() + "::/64"
        : sender;
    if (now < m_traffic.value(address).blockedUntil)
        return { Verdict::AddressBlocked };
    static const QRegularExpression bearer(QStringLiteral("^Bearer ([A-Za-z0-9_-]{22})$"));
    const QRegularExpressionMatch match = bearer.match(QString::fromLatin1(authorization));
    int found = -1;
    if (match.hasMatch()) {
        // Every stored hash is compared, whichever matches: the time says nothing about which.
        const QByteArray presented = hash(match.captured(1).toLatin1());
        for (const RemoteDevice &device : std::as_const(m_devices)) {
            if (sameBytes(presented, device.tokenHash))
                found = device.id;
        }
    }
    if (found < 0) {
        if (m_traffic.size() > maxAddresses) {
            // Addresses that neither failed lately nor are turned away have nothing to remember.
            m_traffic.removeIf([&](const auto &entry) {
                return entry.value().blockedUntil <= now
                    && (entry.value().failures.empty() || now - entry.value().failures.back() >= blockMs);
            });
        }
        Traffic &traffic = m_traffic[address];
        forget(traffic.failures, now, blockMs);
        traffic.failures.push_back(now);
        if (int(traffic.failures.size()) >= failuresAllowed) {
            traffic.failures.clear();
            traffic.blockedUntil = now + blockMs;
        }
        return { Verdict::Unauthorised };
    }
    std::deque<qint64> &commands = m_memory[found].commands;
    forget(commands, now, 1000);
    if (int(commands.size()) >= commandsPerSecond)
        return { Verdict::TooFast, found };
    commands.push_back(now);
    return { Verdict::Admitted, found };
}

std::optional<RemoteAnswer> RemoteDevices::answered(int device, qint64 seq) const
{
    const auto memory = m_memory.constFind(device);
    if (memory == m_memory.cend() || !memory->answers.contains(seq))
        return std::nullopt;
    return memory->answers.value(seq);
}

void RemoteDevices::remember(int device, qint64 seq, const RemoteAnswer &answer)
{
    Memory &memory = m_memory[device];
    if (!memory.answers.contains(seq))
        memory.order.push_back(seq);
    memory.answers.insert(seq, answer);
    while (memory.order.size() > rememberedAnswers) {
        memory.answers.remove(memory.order.front());
        memory.order.pop_front();
    }
}

void RemoteDevices::noteCommand(int device, const QString &line)
{
    for (RemoteDevice &each : m_devices) {
        if (each.id == device)
            each.lastCommand = line;
    }
}

QByteArray RemoteDevices::hash(const QByteArray &token)
{
    return QCryptographicHash::hash(token, QCryptographicHash::Sha256);
}

#include "core/tournament/journal.h"

#include "core/tournament/resultswriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <ctime>
#include <unistd.h>

namespace {

const QByteArray magic = QByteArrayLiteral("velorand-journal");
constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr qint64 longestGameMs = 25LL * 3600 * 1000;
constexpr qint64 latest = qint64(1) << 62; ///< beyond any clock reading, within what a double holds exactly

const char *phaseName(GameFacts::Phase phase)
{
    switch (phase) {
    case GameFacts::Phase::Running:
        return "running";
    case GameFacts::Phase::Paused:
        return "paused";
    case GameFacts::Phase::Idle:
        break;
    }
    return "idle";
}

QJsonValue moment(const QDateTime &at)
{
    return at.isValid() ? QJsonValue(double(at.toMSecsSinceEpoch())) : QJsonValue();
}

/// A whole number in @p value between @p low and @p high, or nothing.
std::optional<qint64> number(const QJsonValue &value, qint64 low, qint64 high)
{
    if (!value.isDouble())
        return std::nullopt;
    // The range first: converting a double beyond qint64 is undefined.
    const double d = value.toDouble();
    if (!(d >= double(low) && d <= double(high)) || std::trunc(d) != d)
        return std::nullopt;
    return qint64(d);
}

std::optional<QDateTime> momentFrom(const QJsonValue &value)
{
    if (value.isNull())
        return QDateTime();
    // From 1970 to the year 9999.
    const std::optional<qint64> ms = number(value, 0, 253402300799999LL);
    if (!ms)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(*ms);
}

std::optional<JournalEntry> entryFrom(const QJsonObject &o)
{
    JournalEntry entry;
    entry.planHash = o.value(u"planHash").toString().toLatin1();
    const QJsonArray results = o.value(u"results").toArray();
    const std::optional<qint64> current = number(o.value(u"current"), -1, results.size() - 1);
    const QJsonArray fields = o.value(u"fields").toArray();
    const QJsonObject game = o.value(u"game").toObject();
    const QString phase = game.value(u"phase").toString();
    const std::optional<qint64> elapsed = number(game.value(u"elapsedMs"), 0, longestGameMs);
    const std::optional<qint64> bootNs = number(game.value(u"bootNs"), 0, latest);
    const std::optional<qint64> wallMs = number(game.value(u"wallMs"), 0, latest);
    if (!current || fields.size() != 3 || !elapsed || !bootNs || !wallMs)
        return std::nullopt;
    entry.current = int(*current);
    entry.fields.clear();
    for (const QJsonValue &field : fields) {
        if (!field.isString() || field.toString().size() > 64)
            return std::nullopt;
        entry.fields << field.toString();
    }
    if (phase == u"running")
        entry.game.phase = GameFacts::Phase::Running;
    else if (phase == u"paused")
        entry.game.phase = GameFacts::Phase::Paused;
    else if (phase != u"idle")
        return std::nullopt;
    entry.game.elapsedMs = *elapsed;
    entry.game.since = { *bootNs, *wallMs, game.value(u"bootId").toString().toLatin1() };
    for (const QJsonValue &value : results) {
        const QJsonObject r = value.toObject();
        const std::optional<qint64> home = number(r.value(u"home"), 0, 9999);
        const std::optional<qint64> away = number(r.value(u"away"), 0, 9999);
        const std::optional<QDateTime> started = momentFrom(r.value(u"started"));
        const std::optional<QDateTime> ended = momentFrom(r.value(u"ended"));
        if (!home || !away || !started || !ended)
            return std::nullopt;
        entry.results << JournalResult { r.value(u"nr").toString(), r.value(u"home team").toString(),
            r.value(u"away team").toString(), { int(*home), int(*away), *started, *ended } };
    }
    // The remote control's part came later: a journal without it has none.
    static const QRegularExpression sha256(QStringLiteral("^[0-9a-f]{64}$"));
    const QJsonArray devices = o.value(u"devices").toArray();
    const QJsonArray commands = o.value(u"commands").toArray();
    if (devices.size() > RemoteRecord::maxDevices || commands.size() > RemoteRecord::maxCommands)
        return std::nullopt;
    for (const QJsonValue &value : devices) {
        const QJsonObject d = value.toObject();
        const QString name = d.value(u"name").toString(), hash = d.value(u"tokenHash").toString();
        const std::optional<QDateTime> pairedAt = momentFrom(d.value(u"pairedAt"));
        if (name.isEmpty() || name.size() > 100 || !sha256.match(hash).hasMatch() || !pairedAt)
            return std::nullopt;
        entry.remote.devices << PairedDevice { name, hash.toLatin1(), *pairedAt };
    }
    for (const QJsonValue &command : commands) {
        if (!command.isString() || command.toString().size() > 300)
            return std::nullopt;
        entry.remote.commands << command.toString();
    }
    return entry;
}

QByteArray readAtMost(const QString &path, qint64 limit, bool *exists)
{
    QFile file(path);
    *exists = file.exists();
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(limit + 1);
}

} // namespace

Moment Moment::now()
{
    timespec boot {};
    ::clock_gettime(CLOCK_BOOTTIME, &boot);
    QFile id(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    const QByteArray bootId = id.open(QIODevice::ReadOnly) ? id.read(64).trimmed() : QByteArray();
    return { qint64(boot.tv_sec) * 1000000000 + boot.tv_nsec, QDateTime::currentMSecsSinceEpoch(), bootId };
}

qint64 GameFacts::elapsedAt(const Moment &now) const
{
    if (phase != Phase::Running)
        return elapsedMs;
    const bool sameBoot = !since.bootId.isEmpty() && since.bootId == now.bootId;
    const qint64 passedMs = sameBoot ? (now.bootNs - since.bootNs) / 1000000 : now.wallMs - since.wallMs;
    return elapsedMs + std::max<qint64>(0, passedMs);
}

Journal::Journal(const QString &planPath, const QString &folder)
{
    const QByteArray where = QFileInfo(planPath).absoluteFilePath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(where, QCryptographicHash::Sha256).toHex().left(16);
    m_path = QDir(folder).filePath(QString::fromLatin1(hash) + QStringLiteral(".journal"));
}

Journal::~Journal() = default;

QString Journal::lock()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile::setPermissions(QFileInfo(m_path).absolutePath(), ownerOnly | QFileDevice::ExeOwner);
    const QString lockPath = m_path + QStringLiteral(".lock");
    auto lock = std::make_unique<QLockFile>(lockPath);
    // Only a dead holder makes a lock stale, however long a day runs.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        qint64 pid = 0;
        QString host, application;
        if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &application))
            return QStringLiteral("Dieser Turnierplan ist schon geöffnet (PID %1)").arg(pid);
        return QStringLiteral("Das Journal %1 kann nicht gesperrt werden").arg(lockPath);
    }
    QFile::setPermissions(lockPath, ownerOnly);
    m_lock = std::move(lock);
    // A kill during a write leaves its temporary file behind (the journal's name and six random
    // characters); while the lock is held nobody else writes here.
    const QFileInfo journal(m_path);
    const QDir folder = journal.absoluteDir();
    for (const QString &left :
        folder.entryList({ journal.fileName() + QStringLiteral(".??????") }, QDir::Files))
        QFile::remove(folder.filePath(left));
    return {};
}

QByteArray Journal::encode(const JournalEntry &entry)
{
    QJsonArray results;
    for (const JournalResult &r : entry.results)
        results.append(QJsonObject { { QStringLiteral("nr"), r.nr }, { QStringLiteral("home team"), r.home },
            { QStringLiteral("away team"), r.away }, { QStringLiteral("home"), r.result.home },
            { QStringLiteral("away"), r.result.away },
            { QStringLiteral("started"), moment(r.result.started) },
            { QStringLiteral("ended"), moment(r.result.ended) } });
    const GameFacts &g = entry.game;
    const QJsonObject game { { QStringLiteral("phase"), QLatin1String(phaseName(g.phase)) },
        { QStringLiteral("elapsedMs"), double(g.elapsedMs) },
        { QStringLiteral("bootNs"), double(g.since.bootNs) },
        { QStringLiteral("wallMs"), double(g.since.wallMs) },
        { QStringLiteral("bootId"), QString::fromLatin1(g.since.bootId) } };
    QJsonArray devices;
    for (const PairedDevice &device : entry.remote.devices)
        devices.append(QJsonObject { { QStringLiteral("name"), device.name },
            { QStringLiteral("tokenHash"), QString::fromLatin1(device.tokenHash) },
            { QStringLiteral("pairedAt"), moment(device.pairedAt) } });
    const QJsonObject body { { QStringLiteral("planHash"), QString::fromLatin1(entry.planHash) },
        { QStringLiteral("current"), entry.current },
        { QStringLiteral("fields"), QJsonArray::fromStringList(entry.fields) },
        { QStringLiteral("game"), game }, { QStringLiteral("results"), results },
        { QStringLiteral("devices"), devices },
        { QStringLiteral("commands"), QJsonArray::fromStringList(entry.remote.commands) } };
    const QByteArray json = QJsonDocument(body).toJson(QJsonDocument::Compact);
    return magic + ' ' + QByteArray::number(version) + ' ' + QByteArray::number(json.size()) + ' '
        + QCryptographicHash::hash(json, QCryptographicHash::Sha256).toHex() + '\n' + json;
}

std::optional<JournalEntry> Journal::decode(const QByteArray &bytes, QString *reason)
{
    const auto fail = [reason](const QString &why) {
        *reason = why;
        return std::nullopt;
    };
    if (bytes.isEmpty())
        return fail(QStringLiteral("leer"));
    const qsizetype endOfHead = bytes.indexOf('\n');
    const QList<QByteArray> head = bytes.left(std::max<qsizetype>(endOfHead, 0)).split(' ');
    if (endOfHead < 0 || head.size() != 4 || head[0] != magic)
        return fail(magic.startsWith(bytes.left(magic.size())) && endOfHead < 0
                ? QStringLiteral("abgeschnitten")
                : QStringLiteral("kein Journal"));
    bool ok = false;
    const int format = head[1].toInt(&ok);
    if (!ok || format != version)
        return fail(QStringLiteral("unbekannte Version %1").arg(QString::fromLatin1(head[1].left(10))));
    const qint64 length = head[2].toLongLong(&ok);
    const QByteArray body = bytes.mid(endOfHead + 1);
    if (!ok || body.size() < length)
        return fail(QStringLiteral("abgeschnitten"));
    if (body.size() != length
        || QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() != head[3])
        return fail(QStringLiteral("Prüfsumme falsch"));
    const std::optional<JournalEntry> entry = entryFrom(QJsonDocument::fromJson(body).object());
    if (!entry)
        return fail(QStringLiteral("Inhalt unlesbar"));
    return entry;
}

Journal::Loaded Journal::load()
{
    Loaded loaded;
    bool newestExists = false, previousExists = false;
    const QByteArray newest = readAtMost(m_path, maxBytes, &newestExists);
    if (newestExists) {
        loaded.entry = newest.size() > maxBytes ? std::nullopt : decode(newest, &loaded.damage);
        if (newest.size() > maxBytes)
            loaded.damage = QStringLiteral("zu groß");
        m_newestWhole = loaded.entry.has_value();
        if (m_newestWhole)
            return loaded;
    }
    const QByteArray previous = readAtMost(previousPath(), maxBytes, &previousExists);
    if (!previousExists)
        return loaded;
    if (!newestExists)
        loaded.damage = QStringLiteral("neuester Stand fehlt");
    QString previousDamage;
    loaded.entry = previous.size() > maxBytes ? std::nullopt : decode(previous, &previousDamage);
    if (!loaded.entry)
        loaded.damage += QStringLiteral("; vorheriger Stand: %1")
                             .arg(previousDamage.isEmpty() ? QStringLiteral("zu groß") : previousDamage);
    return loaded;
}

QString Journal::write(const JournalEntry &entry)
{
    if (m_newestWhole) {
        // The newest snapshot becomes the previous one by a second name, without a copy: a crash before the
        // rename below leaves both names on the same whole snapshot.
        const QString linking = previousPath() + QStringLiteral(".new");
        QFile::remove(linking);
        if (::link(QFile::encodeName(m_path).constData(), QFile::encodeName(linking).constData()) == 0)
            ::rename(QFile::encodeName(linking).constData(), QFile::encodeName(previousPath()).constData());
        // A rename between two names of one file does nothing.
        QFile::remove(linking);
    }
    // writeNow syncs the file, renames it over the newest one and syncs the folder, which makes both
    // renames durable.
    const QString error = ResultsWriter::writeNow(m_path, encode(entry), ownerOnly);
    if (error.isEmpty())
        m_newestWhole = true;
    return error;
}

#pragma once

#include "core/tournament/results.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QLockFile;

/// A moment on the clocks a restart compares with: the time since boot (suspend included), the wall clock
/// and which boot it was.
struct Moment
{
    qint64 bootNs = 0; ///< CLOCK_BOOTTIME
    qint64 wallMs = 0; ///< milliseconds since the epoch
    QByteArray bootId; ///< the kernel's id of this boot

    /// Now, on this machine.
    static Moment now();
    bool operator==(const Moment &) const = default;
};

/// The clock's game as facts, not ticks: from these the game time at any later moment follows.
struct GameFacts
{
    enum class Phase { Idle, Running, Paused };
    Phase phase = Phase::Idle;
    qint64 elapsedMs = 0; ///< the game time at the last Start or weiter; while paused, at the pause
    Moment since; ///< when Start or weiter was pressed (while running)

    /// The game time at @p now: while running, the time that passed since is added, as a referee's watch
    /// would count it (the same boot: the time since boot, which counts a suspend; after a reboot: the
    /// wall clock); never less than at the last Start or weiter.
    qint64 elapsedAt(const Moment &now) const;
    bool operator==(const GameFacts &) const = default;
};

/// One game's result, with the plan's names for it, so that it can be found again in a changed plan.
struct JournalResult
{
    QString nr, home, away;
    GameResult result;
    bool operator==(const JournalResult &) const = default;
};

/// A device paired for the remote control: its token only as a hash.
struct PairedDevice
{
    QString name;
    QByteArray tokenHash; ///< SHA-256 of the token, hex
    QDateTime pairedAt;
    bool operator==(const PairedDevice &) const = default;
};

/// The remote control's part of a day: who may send commands, and what they sent last.
struct RemoteRecord
{
    static constexpr int maxDevices = 100;
    static constexpr int maxCommands = 100;
    QList<PairedDevice> devices;
    QStringList commands; ///< the last commands, the oldest first, as said on standard error
    bool operator==(const RemoteRecord &) const = default;
};

/// Everything a restart needs to go on where the day stood.
struct JournalEntry
{
    QByteArray planHash; ///< SHA-256 of the plan file's bytes, hex
    int current = -1; ///< the loaded game's index in results
    QStringList fields { QStringLiteral("00"), QStringLiteral("00"),
        QStringLiteral("00") }; ///< the entry fields
    GameFacts game;
    QList<JournalResult> results; ///< the games that have started, and the loaded one
    RemoteRecord remote;
    bool operator==(const JournalEntry &) const = default;
};

/**
 * The journal of one plan: the newest snapshot and the one before it, each
 * with a format version, its length and a checksum, so a damaged newest one
 * is recognised and the previous one loaded instead.
 *
 * A write is durable when write() returns: the snapshot goes to a temporary
 * file that is synced and renamed over the newest one, then the folder is
 * synced. The newest one is first linked to the previous one's name, so a
 * crash at any point leaves at least one whole snapshot.
 */
class Journal
{
public:
    static constexpr int version = 1;
    static constexpr qint64 maxBytes = 16 * 1024 * 1024;

    /// The journal of the plan at @p planPath, in @p folder, named after a hash of the plan's absolute path.
    Journal(const QString &planPath, const QString &folder);
    ~Journal();
    Q_DISABLE_COPY_MOVE(Journal)

    QString path() const { return m_path; }
    QString previousPath() const { return m_path + QStringLiteral(".prev"); }

    /// Takes the plan's lock (a stale one of a dead process is taken over). When another process holds
    /// it, returns what to tell the operator, in German.
    QString lock();

    struct Loaded
    {
        std::optional<JournalEntry> entry; ///< none: no journal, or neither snapshot whole
        QString damage; ///< why the newest snapshot was not used (empty when it was, or none exists)
    };
    /// The newest whole snapshot.
    Loaded load();

    /// Writes @p entry durably; on failure returns the reason, in German.
    QString write(const JournalEntry &entry);

    static QByteArray encode(const JournalEntry &entry);
    /// The entry in @p bytes, or nothing with the reason in @p reason.
    static std::optional<JournalEntry> decode(const QByteArray &bytes, QString *reason);

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_newestWhole
        = false; ///< the newest file on disk is a whole snapshot: it may become the previous one
};

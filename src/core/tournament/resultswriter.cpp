#include "core/tournament/resultswriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>

class ResultsWriter::Private
{
public:
    QString path;
    std::mutex lock;
    std::condition_variable wake;
    std::optional<QByteArray> pending; ///< the newest content not yet taken by the thread
    bool quit = false;
    std::thread thread;
};

ResultsWriter::ResultsWriter(const QString &path, QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    d->path = path;
    d->thread = std::thread([this] {
        std::unique_lock held(d->lock);
        for (;;) {
            d->wake.wait(held, [this] { return d->pending || d->quit; });
            if (!d->pending)
                return;
            const QByteArray content = *std::exchange(d->pending, std::nullopt);
            held.unlock();
            const QString error = writeNow(d->path, content);
            QMetaObject::invokeMethod(
                this, [this, error] { emit written(error); }, Qt::QueuedConnection);
            held.lock();
        }
    });
}

ResultsWriter::~ResultsWriter()
{
    {
        const std::lock_guard held(d->lock);
        d->quit = true;
    }
    d->wake.notify_one();
    d->thread.join();
}

QString ResultsWriter::path() const
{
    return d->path;
}

void ResultsWriter::write(const QByteArray &content)
{
    {
        const std::lock_guard held(d->lock);
        d->pending = content;
    }
    d->wake.notify_one();
}

QString ResultsWriter::writeNow(
    const QString &path, const QByteArray &content, QFileDevice::Permissions permissions)
{
    // The folder may be new (the fallback's) or gone since.
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (permissions && !file.setPermissions(permissions)) {
        file.cancelWriting();
        return file.errorString();
    }
    // QSaveFile syncs before its rename but does not say whether that worked; a full disk often shows
    // only here.
    if (file.write(content) != content.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        const QString error
            = file.error() != QFileDevice::NoError ? file.errorString() : qt_error_string(errno);
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    // The rename is durable once the folder's entry is on disk.
    const int folder
        = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    const bool synced = folder >= 0 && ::fsync(folder) == 0;
    const QString error = synced ? QString() : qt_error_string(errno);
    if (folder >= 0)
        ::close(folder);
    return error;
}

#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QObject>
#include <QString>
#include <memory>

/**
 * Writes one file atomically and durably from a thread of its own, so the
 * clock never waits for the disk. write() hands over the newest content and
 * returns at once; a content overtaken by a newer one before its turn is
 * skipped. Each write goes to a temporary file in the same folder, is
 * synced, renamed over the old file, and the folder is synced, so a reader
 * sees the old file or the new one, never half of one, also after a power
 * cut. The destructor waits for the last content to be written.
 */
class ResultsWriter : public QObject
{
    Q_OBJECT

public:
    explicit ResultsWriter(const QString &path, QObject *parent = nullptr);
    ~ResultsWriter() override;
    Q_DISABLE_COPY_MOVE(ResultsWriter)

    QString path() const;

    /// Writes @p content to the file, without waiting for it.
    void write(const QByteArray &content);

    /// Writes @p content to @p path in the calling thread, the file with @p permissions when given; on
    /// failure returns the reason, in German.
    static QString writeNow(
        const QString &path, const QByteArray &content, QFileDevice::Permissions permissions = {});

Q_SIGNALS:
    /// A content was written (@p error empty) or could not be (@p error says why); in the owner's thread.
    void written(const QString &error);

private:
    class Private;
    const std::unique_ptr<Private> d;
};

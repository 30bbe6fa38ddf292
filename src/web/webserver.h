#pragma once

#include "core/clock/displaystate.h"
#include "web/remoterequest.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

/**
 * The read-only web view: GET / (the page), GET /state (the display state as
 * JSON) and GET /events (the same JSON as Server-Sent Events), nothing else.
 *
 * One thread of its own serves every client through libmicrohttpd on epoll.
 * publish() only swaps the new JSON in under a short lock and wakes that
 * thread, so the clock never waits for a client.
 *
 * Limits: 256 clients at once (503 beyond), request headers at most 8 KiB
 * (431) and complete within 10 s, a client that stops reading is dropped
 * after 10 s without progress with at most one small socket buffer held.
 *
 * Remote mode (setCommandHandler()) adds GET /fernbedienung, the phone's
 * page, and POST /api/command: a body of at most 1 KiB (413), handed to
 * the handler on this object's thread while the connection waits; no
 * browser page of another origin is let in (no CORS headers, OPTIONS 405).
 */
class WebServer : public QObject
{
    Q_OBJECT

public:
    static constexpr int maxClients = 256;
    static constexpr int maxHeaderBytes = 8 * 1024;
    static constexpr int headerSeconds = 10;
    static constexpr int maxCommandBytes = 1024;

    explicit WebServer(QObject *parent = nullptr);
    ~WebServer() override;
    Q_DISABLE_COPY_MOVE(WebServer)

    /// Runs a command and says the answer.
    using CommandHandler = std::function<RemoteAnswer(const RemoteRequest &)>;
    /// Remote mode, set before start(): commands go to @p handler, called on this object's thread.
    void setCommandHandler(CommandHandler handler);

    /// Binds @p address (IPv4 or IPv6, e.g. "127.0.0.1", "::1" or "localhost"; "0.0.0.0" and "::" bind
    /// both stacks where the system has IPv6) and @p port (0: any free one) and starts serving; on failure
    /// returns false and errorString() says why, in German.
    bool start(const QString &address, quint16 port);
    QString errorString() const;
    /// The bound port.
    quint16 port() const;
    /// Where the view can be opened: one URL, or one per interface address when bound to all.
    QStringList urls() const;

public Q_SLOTS:
    /// Hands the state to the clients; stamped with the monotonic clock now.
    void publish(const DisplayState &state);

private:
    class Private; ///< the daemon, its thread and the clients it serves
    const std::unique_ptr<Private> d;
};

#include "web/webserver.h"

#include "web/statejson.h"
#include "web/webpage.h"

#include <QMetaObject>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ifaddrs.h>
#include <iterator>
#include <microhttpd.h>
#include <mutex>
#include <net/if.h>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <unordered_set>

namespace {

constexpr qint64 keepAliveMs = 5000; ///< a comment on idle streams, so they never look dead
constexpr int sendBuffer = 16 * 1024; ///< the kernel doubles it: 32 KiB per client at most
constexpr size_t memoryPerClient = 32 * 1024; ///< request headers and the write buffer
/// Room beyond maxClients, so that those turned away still get their 503 rather than a closed door.
constexpr unsigned connectionLimit = WebServer::maxClients + 64;

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

/// Checks the @p result of the system call @p call: 0 when it succeeded, else the errno it left (read
/// before anything else runs), which is said on stderr unless it is the @p expected one.
int failure(long result, const char *call, std::optional<int> expected = {})
{
    if (result >= 0)
        return 0;
    const int error = errno;
    if (error != expected)
        std::fprintf(stderr, "velorand: Webansicht: %s fehlgeschlagen: %s\n", call, std::strerror(error));
    return error;
}

class Clients;

/// One per connection, made when it opens. libmicrohttpd answers with "Connection: close" here, so a
/// connection carries one request and its client starts fresh.
struct Client
{
    Clients *owner;
    MHD_Connection *connection;
    int fd;
    quint64 id; ///< names it to the GUI thread, which never holds the pointer
    bool admitted; ///< within maxClients when it came
    qint64 headerSince; ///< the header deadline counts from the connection's start
    bool awaitingHeader = true; ///< until the request's header is read
    bool stream = false;
    bool suspended = false;
    bool keepAliveDue = false;
    quint64 sentVersion = 0;
    QByteArray pending {};
    qsizetype offset = 0;
    // A command: its body as it comes, then the answer the GUI thread gives.
    bool bodyStarted = false;
    bool bodyTooLarge = false;
    bool submitted = false;
    std::optional<RemoteAnswer> answer {};
};

/// The server thread's view of its clients and of the state they are sent.
class Clients
{
public:
    std::unordered_set<Client *> all;
    int admitted = 0;
    QByteArray json;
    quint64 version = 0;
    qint64 lastKeepAlive = nowMs();
    quint64 lastId = 0;
    /// Remote mode: hands a command to the GUI thread, whose answer comes back through answered().
    std::function<void(quint64, RemoteRequest)> submit;

    /// The GUI thread's answer for the client @p id, if it is still there: its connection goes on.
    void answered(quint64 id, const RemoteAnswer &answer)
    {
        for (Client *client : all) {
            if (client->id == id && client->suspended) {
                client->answer = answer;
                client->suspended = false;
                MHD_resume_connection(client->connection);
            }
        }
    }

    /// Closes what is overdue, marks keep-alives, wakes the streams that have something to send.
    void tend(bool changed)
    {
        const qint64 now = nowMs();
        const bool keepAlive = now - lastKeepAlive >= keepAliveMs;
        if (keepAlive)
            lastKeepAlive = now;
        for (Client *client : all) {
            if (client->awaitingHeader && now - client->headerSince > WebServer::headerSeconds * 1000) {
                // MHD sees the end of the stream and closes the connection itself. ENOTCONN: the client
                // has gone already.
                failure(::shutdown(client->fd, SHUT_RDWR), "shutdown", ENOTCONN);
                client->awaitingHeader = false;
            }
            client->keepAliveDue = client->keepAliveDue || (keepAlive && client->stream);
            if (client->stream && client->suspended && (changed || client->keepAliveDue)) {
                client->suspended = false;
                MHD_resume_connection(client->connection);
            }
        }
    }
};

void notifyConnection(
    void *cls, MHD_Connection *connection, void **context, MHD_ConnectionNotificationCode code)
{
    auto *clients = static_cast<Clients *>(cls);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        auto *client = new Client { .owner = clients,
            .connection = connection,
            .fd = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD)->connect_fd,
            .id = ++clients->lastId,
            .admitted = clients->admitted < WebServer::maxClients,
            .headerSince = nowMs() };
        failure(::setsockopt(client->fd, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer),
            "setsockopt(SO_SNDBUF)");
        clients->admitted += client->admitted;
        clients->all.insert(client);
        *context = client;
        return;
    }
    auto *client = static_cast<Client *>(*context);
    clients->admitted -= client->admitted;
    clients->all.erase(client);
    delete client;
}

Client *clientOf(MHD_Connection *connection)
{
    return static_cast<Client *>(
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT)->socket_context);
}

MHD_Result addHeaderSize(void *cls, MHD_ValueKind, const char *key, const char *value)
{
    *static_cast<size_t *>(cls) += std::strlen(key) + (value ? std::strlen(value) : 0) + 4;
    return MHD_YES;
}

/// Hands MHD the stream's bytes: the state whenever it is newer than the last one sent, a keep-alive
/// comment when due; with nothing to send the connection rests until tend() wakes it.
ssize_t readStream(void *cls, uint64_t, char *buffer, size_t max)
{
    auto *client = static_cast<Client *>(cls);
    if (client->offset == client->pending.size()) {
        if (client->sentVersion != client->owner->version) {
            client->pending = "data: " + client->owner->json + "\n\n";
            client->sentVersion = client->owner->version;
        } else if (client->keepAliveDue) {
            client->pending = ":\n\n";
        } else {
            client->suspended = true;
            MHD_suspend_connection(client->connection);
            return 0;
        }
        client->keepAliveDue = false;
        client->offset = 0;
    }
    const size_t size = std::min<size_t>(max, client->pending.size() - client->offset);
    std::memcpy(buffer, client->pending.constData() + client->offset, size);
    client->offset += size;
    return static_cast<ssize_t>(size);
}

/// Where a request goes: the read-only view, open to pages of any origin, or the commands, for which no
/// browser may be let in from elsewhere.
enum class Route { ReadOnly, Command };

MHD_Result answer(MHD_Connection *connection, unsigned status, MHD_Response *response, const char *type,
    Route route = Route::ReadOnly)
{
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, type);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    if (route == Route::ReadOnly)
        MHD_add_response_header(response, MHD_HTTP_HEADER_ACCESS_CONTROL_ALLOW_ORIGIN, "*");
    else
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close"); // one command a connection
    if (status == MHD_HTTP_METHOD_NOT_ALLOWED)
        MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, route == Route::ReadOnly ? "GET" : "POST");
    const MHD_Result queued = MHD_queue_response(connection, status, response);
    MHD_destroy_response(response);
    return queued;
}

MHD_Result answerText(
    MHD_Connection *connection, unsigned status, const char *text, Route route = Route::ReadOnly)
{
    return answer(connection, status,
        MHD_create_response_from_buffer(std::strlen(text), const_cast<char *>(text), MHD_RESPMEM_PERSISTENT),
        "text/plain; charset=utf-8", route);
}

QByteArray header(MHD_Connection *connection, const char *name)
{
    return QByteArray(MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name));
}

QByteArray clientAddress(MHD_Connection *connection)
{
    const sockaddr *address
        = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS)->client_addr;
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET6) {
        const in6_addr &v6 = reinterpret_cast<const sockaddr_in6 *>(address)->sin6_addr;
        // An IPv4 client on a socket of both stacks: the same address as on an IPv4 socket.
        if (IN6_IS_ADDR_V4MAPPED(&v6))
            ::inet_ntop(AF_INET, &v6.s6_addr[12], text, sizeof text);
        else
            ::inet_ntop(AF_INET6, &v6, text, sizeof text);
    } else {
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in *>(address)->sin_addr, text, sizeof text);
    }
    return QByteArray(text);
}

/// 413 for a command's body beyond maxCommandBytes, in JSON as every command's answer.
MHD_Result commandTooLarge(MHD_Connection *connection)
{
    static const char json[] = R"({"error":"Befehl größer als 1 KiB"})";
    return answer(connection, MHD_HTTP_CONTENT_TOO_LARGE,
        MHD_create_response_from_buffer(std::strlen(json), const_cast<char *>(json), MHD_RESPMEM_PERSISTENT),
        "application/json", Route::Command);
}

/// POST /api/command: the body is collected (at most maxCommandBytes), handed to the GUI thread with the
/// connection suspended, and the answer sent when it is back.
MHD_Result handleCommand(Client *client, MHD_Connection *connection, const char *upload, size_t *uploadSize)
{
    if (client->answer) {
        const QByteArray &body = client->answer->body;
        return answer(connection, unsigned(client->answer->status),
            MHD_create_response_from_buffer(
                body.size(), const_cast<char *>(body.constData()), MHD_RESPMEM_MUST_COPY),
            "application/json", Route::Command);
    }
    if (!client->bodyStarted) {
        client->bodyStarted = true;
        bool known = false;
        const qint64 length = header(connection, MHD_HTTP_HEADER_CONTENT_LENGTH).toLongLong(&known);
        if (known && length > WebServer::maxCommandBytes)
            return commandTooLarge(connection);
        return MHD_YES; // the body follows
    }
    if (*uploadSize > 0) {
        const qsizetype room = WebServer::maxCommandBytes - client->pending.size();
        client->bodyTooLarge = client->bodyTooLarge || qsizetype(*uploadSize) > room;
        if (!client->bodyTooLarge)
            client->pending.append(upload, qsizetype(*uploadSize));
        *uploadSize = 0;
        return MHD_YES;
    }
    if (client->bodyTooLarge)
        return commandTooLarge(connection);
    if (!client->submitted) {
        client->submitted = true;
        client->owner->submit(client->id,
            { clientAddress(connection), header(connection, MHD_HTTP_HEADER_AUTHORIZATION),
                header(connection, MHD_HTTP_HEADER_CONTENT_TYPE), std::exchange(client->pending, {}) });
    }
    // Until the answer is back; resumed by answered().
    client->suspended = true;
    MHD_suspend_connection(connection);
    return MHD_YES;
}

MHD_Result handleRequest(void *, MHD_Connection *connection, const char *url, const char *method,
    const char *, const char *upload, size_t *uploadSize, void **)
{
    Client *client = clientOf(connection);
    client->awaitingHeader = false;
    size_t headerBytes = std::strlen(url);
    MHD_get_connection_values(connection, MHD_HEADER_KIND, &addHeaderSize, &headerBytes);
    if (headerBytes > WebServer::maxHeaderBytes)
        return answerText(connection, MHD_HTTP_REQUEST_HEADER_FIELDS_TOO_LARGE, "Kopfzeilen zu groß\n");
    if (!client->admitted)
        return answerText(connection, MHD_HTTP_SERVICE_UNAVAILABLE, "Zu viele Verbindungen\n");
    const bool remote = bool(client->owner->submit);
    if (remote && std::strcmp(url, "/api/command") == 0) {
        if (std::strcmp(method, MHD_HTTP_METHOD_POST) != 0)
            return answerText(connection, MHD_HTTP_METHOD_NOT_ALLOWED, "Nur POST\n", Route::Command);
        return handleCommand(client, connection, upload, uploadSize);
    }
    const bool page = std::strcmp(url, "/") == 0;
    const bool remotePage = remote && std::strcmp(url, "/fernbedienung") == 0;
    const bool state = std::strcmp(url, "/state") == 0;
    const bool events = std::strcmp(url, "/events") == 0;
    if (!page && !remotePage && !state && !events)
        return answerText(connection, MHD_HTTP_NOT_FOUND, "Nicht gefunden\n");
    if (std::strcmp(method, MHD_HTTP_METHOD_GET) != 0)
        return answerText(connection, MHD_HTTP_METHOD_NOT_ALLOWED, "Nur GET\n");
    if (page || remotePage) {
        const QByteArray &html = page ? webPage() : remoteControlPage();
        return answer(connection, MHD_HTTP_OK,
            MHD_create_response_from_buffer(
                html.size(), const_cast<char *>(html.constData()), MHD_RESPMEM_PERSISTENT),
            "text/html; charset=utf-8");
    }
    if (state) {
        const QByteArray &json = client->owner->json;
        return answer(connection, MHD_HTTP_OK,
            MHD_create_response_from_buffer(
                json.size(), const_cast<char *>(json.constData()), MHD_RESPMEM_MUST_COPY),
            "application/json");
    }
    client->stream = true;
    client->pending = "retry: 2000\n\n";
    return answer(connection, MHD_HTTP_OK,
        MHD_create_response_from_callback(MHD_SIZE_UNKNOWN, 1024, &readStream, client, nullptr),
        "text/event-stream");
}

} // namespace

class WebServer::Private
{
public:
    void serve();
    /// Wakes the server thread: a new state or the end.
    void wake();

    MHD_Daemon *m_daemon = nullptr;
    Clients m_clients; ///< touched by the server thread only
    CommandHandler m_commands; ///< remote mode: runs a command on the GUI thread
    std::thread m_thread;
    int m_wake = -1; ///< eventfd: a new state or the end
    QString m_address; ///< as given; empty when bound to every address
    bool m_ipv6 = false; ///< listening on IPv6 (also when on both stacks)
    quint16 m_port = 0;
    QString m_error;

    std::mutex m_mutex; ///< guards the four below, held for a copy only
    QByteArray m_json;
    quint64 m_version = 0;
    bool m_stopping = false;
    std::vector<std::pair<quint64, RemoteAnswer>> m_answers; ///< from the GUI thread, for clients by id
};

WebServer::WebServer(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{ }

WebServer::~WebServer()
{
    if (!d->m_daemon)
        return;
    {
        const std::lock_guard lock(d->m_mutex);
        d->m_stopping = true;
    }
    d->wake();
    d->m_thread.join();
    // MHD may only stop with every connection resumed.
    for (Client *client : d->m_clients.all) {
        if (client->suspended)
            MHD_resume_connection(client->connection);
    }
    MHD_stop_daemon(d->m_daemon);
    failure(::close(d->m_wake), "close(eventfd)");
}

void WebServer::setCommandHandler(CommandHandler handler)
{
    d->m_commands = std::move(handler);
    if (!d->m_commands)
        return;
    // On the server thread: the command goes to this object's thread, and its answer comes back.
    d->m_clients.submit = [this](quint64 id, RemoteRequest request) {
        QMetaObject::invokeMethod(
            this,
            [this, id, request = std::move(request)] {
                const RemoteAnswer answer = d->m_commands(request);
                {
                    const std::lock_guard lock(d->m_mutex);
                    d->m_answers.emplace_back(id, answer);
                }
                d->wake();
            },
            Qt::QueuedConnection);
    };
}

namespace {

/// Where to listen: one address of one stack, or both stacks at once.
struct Bind
{
    sockaddr_in v4 {};
    sockaddr_in6 v6 {};
    bool ipv6 = false;
    bool bothStacks = false; ///< "::" or "0.0.0.0": every address of either family
};

std::optional<Bind> bindFor(const QString &address, quint16 port)
{
    Bind bind;
    const QByteArray text = (address == u"localhost" ? QStringLiteral("127.0.0.1") : address).toLatin1();
    bind.v4 = { AF_INET, htons(port), {}, {} };
    bind.v6.sin6_family = AF_INET6;
    bind.v6.sin6_port = htons(port);
    bind.bothStacks = text == "0.0.0.0" || text == "::";
    bind.ipv6 = bind.bothStacks || ::inet_pton(AF_INET6, text.constData(), &bind.v6.sin6_addr) == 1;
    if (bind.bothStacks)
        bind.v6.sin6_addr = in6addr_any;
    else if (!bind.ipv6 && ::inet_pton(AF_INET, text.constData(), &bind.v4.sin_addr) != 1)
        return std::nullopt;
    return bind;
}

MHD_Daemon *listen(const Bind &bind, bool ipv6, Clients &clients)
{
    const unsigned flags = MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME
        | (!ipv6                  ? 0
                : bind.bothStacks ? MHD_USE_DUAL_STACK
                                  : MHD_USE_IPv6);
    const sockaddr *where
        = ipv6 ? reinterpret_cast<const sockaddr *>(&bind.v6) : reinterpret_cast<const sockaddr *>(&bind.v4);
    return MHD_start_daemon(flags, 0, nullptr, nullptr, &handleRequest, nullptr, MHD_OPTION_SOCK_ADDR, where,
        MHD_OPTION_CONNECTION_LIMIT, connectionLimit, MHD_OPTION_CONNECTION_TIMEOUT,
        unsigned(WebServer::headerSeconds), MHD_OPTION_CONNECTION_MEMORY_LIMIT, memoryPerClient,
        MHD_OPTION_NOTIFY_CONNECTION, &notifyConnection, &clients, MHD_OPTION_END);
}

} // namespace

bool WebServer::start(const QString &address, quint16 port)
{
    std::optional<Bind> bind = bindFor(address, port);
    if (!bind) {
        d->m_error = QStringLiteral("„%1“ ist keine IP-Adresse").arg(address);
        return false;
    }
    d->m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (d->m_wake < 0) {
        const int error = errno;
        d->m_error = QStringLiteral("Webansicht: kein eventfd für den Server-Thread (%1)")
                         .arg(QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
    d->m_daemon = listen(*bind, bind->ipv6, d->m_clients);
    // Every address on a system without IPv6: those of IPv4.
    if (!d->m_daemon && bind->bothStacks && (errno == EAFNOSUPPORT || errno == EADDRNOTAVAIL)) {
        bind->bothStacks = bind->ipv6 = false;
        d->m_daemon = listen(*bind, false, d->m_clients);
    }
    if (!d->m_daemon) {
        const int error = errno;
        failure(::close(d->m_wake), "close(eventfd)");
        d->m_wake = -1;
        d->m_error = QStringLiteral("Webansicht: %1:%2 lässt sich nicht öffnen (%3)")
                         .arg(address)
                         .arg(port)
                         .arg(error == EADDRINUSE ? QStringLiteral("Port belegt")
                                                  : QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
    d->m_address = bind->bothStacks ? QString() : address;
    d->m_ipv6 = bind->ipv6;
    d->m_port = MHD_get_daemon_info(d->m_daemon, MHD_DAEMON_INFO_BIND_PORT)->port;
    d->m_thread = std::thread(&Private::serve, d.get());
    return true;
}

QString WebServer::errorString() const
{
    return d->m_error;
}

quint16 WebServer::port() const
{
    return d->m_port;
}

QStringList WebServer::urls() const
{
    const auto url = [this](const QString &host) {
        const QString shown = host.contains(u':') ? u'[' + host + u']' : host; // IPv6 in brackets
        return QStringLiteral("http://%1:%2/").arg(shown).arg(d->m_port);
    };
    if (!d->m_address.isEmpty())
        return { url(d->m_address) };
    QStringList all;
    ifaddrs *interfaces = nullptr;
    if (::getifaddrs(&interfaces) != 0)
        return { url(QStringLiteral("127.0.0.1")) };
    // Those of IPv4 first, as the interfaces come; then those of IPv6 but the link-local ones, which a
    // browser cannot open without naming the interface.
    for (const int family : { AF_INET, AF_INET6 }) {
        for (const ifaddrs *entry = interfaces; entry; entry = entry->ifa_next) {
            if (!entry->ifa_addr || entry->ifa_addr->sa_family != family || !(entry->ifa_flags & IFF_UP)
                || (family == AF_INET6 && !d->m_ipv6))
                continue;
            const void *raw = family == AF_INET
                ? static_cast<const void *>(&reinterpret_cast<const sockaddr_in *>(entry->ifa_addr)->sin_addr)
                : &reinterpret_cast<const sockaddr_in6 *>(entry->ifa_addr)->sin6_addr;
            char text[INET6_ADDRSTRLEN] = {};
            if (family == AF_INET6 && IN6_IS_ADDR_LINKLOCAL(static_cast<const in6_addr *>(raw)))
                continue;
            if (::inet_ntop(family, raw, text, sizeof text))
                all << url(QString::fromLatin1(text));
        }
    }
    ::freeifaddrs(interfaces);
    return all;
}

void WebServer::publish(const DisplayState &state)
{
    const QByteArray json = stateJson(state, nowMs());
    {
        const std::lock_guard lock(d->m_mutex);
        d->m_json = json;
        ++d->m_version;
    }
    d->wake();
}

void WebServer::Private::wake()
{
    const uint64_t one = 1;
    // EAGAIN: the counter is full, so the thread is awake anyway.
    failure(::write(m_wake, &one, sizeof one), "write(eventfd)", EAGAIN);
}

void WebServer::Private::serve()
{
    pollfd watched[2] = { { MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_EPOLL_FD)->epoll_fd, POLLIN, 0 },
        { m_wake, POLLIN, 0 } };
    for (;;) {
        int timeout = 1000; // also the pace of the header deadline and the keep-alives
        if (MHD_UNSIGNED_LONG_LONG mhdTimeout; MHD_get_timeout(m_daemon, &mhdTimeout) == MHD_YES)
            timeout = int(std::min<MHD_UNSIGNED_LONG_LONG>(mhdTimeout, 1000));
        if (const int error = failure(::poll(watched, std::size(watched), timeout), "poll", EINTR);
            error && error != EINTR)
            std::this_thread::sleep_for(std::chrono::milliseconds(timeout)); // no busy loop on a failure
        uint64_t wakes; // how often: all that matters is that it is read back to zero
        // EAGAIN: woken by a client or the time, not by a new state.
        failure(::read(m_wake, &wakes, sizeof wakes), "read(eventfd)", EAGAIN);
        bool changed = false;
        std::vector<std::pair<quint64, RemoteAnswer>> answers;
        {
            const std::lock_guard lock(m_mutex);
            if (m_stopping)
                return;
            changed = m_version != m_clients.version;
            m_clients.json = m_json;
            m_clients.version = m_version;
            answers.swap(m_answers);
        }
        for (const auto &[id, answer] : answers)
            m_clients.answered(id, answer);
        m_clients.tend(changed);
        MHD_run(m_daemon);
    }
}

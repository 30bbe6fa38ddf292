// Loopback connections to the web server, blocking, as a browser or a phone would open them.
#pragma once

#include <QByteArray>
#include <arpa/inet.h>
#include <unistd.h>

/// A blocking loopback connection that gives up reading after 3 s.
inline int dial(quint16 port, int receiveBuffer = 1 << 16)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const timeval patience { 3, 0 };
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    sockaddr_in to { AF_INET, htons(port), { htonl(INADDR_LOOPBACK) }, {} };
    return ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0 ? fd : -1;
}

/// What arrives until @p mark, the end or 3 s of silence; with @p close, the connection ends after it.
inline QByteArray exchange(
    int fd, const QByteArray &request, const QByteArray &mark = "\r\n\r\n", bool close = false)
{
    ::send(fd, request.constData(), request.size(), MSG_NOSIGNAL);
    QByteArray got;
    char buffer[4096];
    for (ssize_t n = 1; n > 0 && !got.contains(mark); got.append(buffer, qMax<ssize_t>(n, 0)))
        n = ::recv(fd, buffer, sizeof buffer, 0);
    return close && ::close(fd) ? QByteArray() : got;
}

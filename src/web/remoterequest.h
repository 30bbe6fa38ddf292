#pragma once

#include <QByteArray>

/// A command as it came over the network, untouched: everything in it is the sender's word.
struct RemoteRequest
{
    QByteArray address; ///< the sender's IP address, as text
    QByteArray authorization; ///< the Authorization header, empty when none came
    QByteArray contentType;
    QByteArray body; ///< at most WebServer::maxCommandBytes
};

/// What the program answers: an HTTP status and a JSON body.
struct RemoteAnswer
{
    int status = 0;
    QByteArray body;

    bool operator==(const RemoteAnswer &) const = default;
};

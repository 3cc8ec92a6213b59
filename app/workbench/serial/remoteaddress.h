// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>

#include <optional>

// Where a port of the port map reaches a line served over the network:
// "tcp://host:port" carries the bytes only, "rfc2217://host:port" the line settings too.
class RemoteAddress
{
public:
    enum class Protocol { Raw, Rfc2217 };

    // Whether a device string names a network line at all, well formed or not.
    static bool looksRemote(const QString &device);
    // The address of a well-formed remote device string; none for anything else.
    static std::optional<RemoteAddress> parse(const QString &device);

    // "127.0.0.1:3333", as the messages name it.
    QString hostAndPort() const;

    Protocol protocol = Protocol::Raw;
    QString host;
    quint16 port = 0;
};

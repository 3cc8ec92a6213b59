// Velmora workbench. Licensed under the MIT licence.
#include "tcpkeepalive.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>

// Older SDK headers lack these; the values are the system's.
#ifndef TCP_MAXRT
#define TCP_MAXRT 5
#endif
#ifndef TCP_KEEPCNT
#define TCP_KEEPCNT 16
#endif

bool TcpKeepAlive::enable(qintptr socketDescriptor)
{
    const SOCKET socket = SOCKET(socketDescriptor);
    tcp_keepalive values {};
    values.onoff = 1;
    values.keepalivetime = ULONG(IdleSeconds * 1000);
    values.keepaliveinterval = ULONG(IntervalSeconds * 1000);
    DWORD returned = 0;
    bool applied = ::WSAIoctl(socket, SIO_KEEPALIVE_VALS, &values, sizeof values, nullptr, 0, &returned,
                              nullptr, nullptr) == 0;
    // Windows 10 1703 and later take the probe count; earlier ones send ten.
    DWORD probes = Probes;
    ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPCNT, reinterpret_cast<const char *>(&probes), sizeof probes);
    // Sent data that stays unacknowledged ends the connection, in whole seconds.
    DWORD seconds = DWORD(DeadPathMilliseconds / 1000);
    applied = ::setsockopt(socket, IPPROTO_TCP, TCP_MAXRT, reinterpret_cast<const char *>(&seconds),
                           sizeof seconds) == 0 && applied;
    return applied;
}

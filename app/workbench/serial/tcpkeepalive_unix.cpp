// Velmora workbench. Licensed under the MIT licence.
#include "tcpkeepalive.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

bool setOption(int socket, int level, int name, int value)
{
    return ::setsockopt(socket, level, name, &value, sizeof value) == 0;
}

} // namespace

bool TcpKeepAlive::enable(qintptr socketDescriptor)
{
    const int socket = int(socketDescriptor);
    bool applied = setOption(socket, SOL_SOCKET, SO_KEEPALIVE, 1);
#if defined(TCP_KEEPIDLE)
    applied = setOption(socket, IPPROTO_TCP, TCP_KEEPIDLE, IdleSeconds) && applied;
#elif defined(TCP_KEEPALIVE) // macOS
    applied = setOption(socket, IPPROTO_TCP, TCP_KEEPALIVE, IdleSeconds) && applied;
#endif
#if defined(TCP_KEEPINTVL) && defined(TCP_KEEPCNT)
    applied = setOption(socket, IPPROTO_TCP, TCP_KEEPINTVL, IntervalSeconds) && applied;
    applied = setOption(socket, IPPROTO_TCP, TCP_KEEPCNT, Probes) && applied;
#endif
#if defined(TCP_USER_TIMEOUT)
    // Sent data that stays unacknowledged ends the connection as an unanswered probe does.
    applied = setOption(socket, IPPROTO_TCP, TCP_USER_TIMEOUT, DeadPathMilliseconds) && applied;
#endif
    return applied;
}

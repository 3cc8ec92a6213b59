// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QtGlobal>

// Notices a dead path to the server of a network line. The system's own keepalive
// waits two hours and a send may be retried for a quarter of an hour; a pulled cable
// or a server that lost power would go unnoticed that long. With these settings an idle
// connection is probed after IdleSeconds, once a second, and one whose data or probes
// stay unacknowledged for DeadPathMilliseconds is ended, which the line reports as a
// loss. One file per platform holds the socket options.
namespace TcpKeepAlive {

constexpr int IdleSeconds = 2;
constexpr int IntervalSeconds = 1;
constexpr int Probes = 3;
constexpr int DeadPathMilliseconds = (IdleSeconds + IntervalSeconds * Probes) * 1000;

// False where the system refused an option; the connection then works without it.
bool enable(qintptr socketDescriptor);

} // namespace TcpKeepAlive

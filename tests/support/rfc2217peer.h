// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <QByteArray>

// The server's side of RFC 2217 as the tests, the fuzz targets and the benchmark play it on
// 127.0.0.1, with plain sockets on a thread of their own.
namespace Rfc2217Peer {

// A socket listening on 127.0.0.1 on a port nothing else uses, for one connection.
int listenOnLoopback(quint16 &port);

// Whether `fd` has something to read within `timeoutMs`.
bool readable(int fd, int timeoutMs);

// What a sound server answers to what `stream` holds: DO for the offer of the option, each
// COM-PORT command back with 100 added and the value asked for. What is answered leaves
// the stream; a command not yet whole stays.
QByteArray soundAnswers(QByteArray &stream);

} // namespace Rfc2217Peer

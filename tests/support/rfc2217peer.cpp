// Velmora tests. Licensed under the MIT licence.
#include "rfc2217peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

const QByteArray Offer("\xff\xfb\x2c", 3);       // IAC WILL COM-PORT-OPTION
const QByteArray Accept("\xff\xfd\x2c", 3);      // IAC DO COM-PORT-OPTION
const QByteArray FrameStart("\xff\xfa\x2c", 3);  // IAC SB COM-PORT-OPTION
const QByteArray FrameEnd("\xff\xf0", 2);        // IAC SE
constexpr int ServerAnswerOffset = 100;

} // namespace

namespace Rfc2217Peer {

int listenOnLoopback(quint16 &port)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(listener, reinterpret_cast<sockaddr *>(&address), size);
    ::listen(listener, 1);
    ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &size);
    port = ntohs(address.sin_port);
    return listener;
}

bool readable(int fd, int timeoutMs)
{
    pollfd watched {fd, POLLIN, 0};
    return ::poll(&watched, 1, timeoutMs) > 0;
}

QByteArray soundAnswers(QByteArray &stream)
{
    QByteArray answers;
    if (stream.contains(Offer)) {
        answers += Accept;
        stream.replace(Offer, QByteArray());
    }
    for (qsizetype at = stream.indexOf(FrameStart); at >= 0; at = stream.indexOf(FrameStart)) {
        const qsizetype close = stream.indexOf(FrameEnd, at);
        if (close < 0)
            break;
        QByteArray frame = stream.mid(at, close + FrameEnd.size() - at);
        stream.remove(0, close + FrameEnd.size());
        if (frame.size() > FrameStart.size())
            frame[FrameStart.size()] = char(quint8(frame.at(FrameStart.size())) + ServerAnswerOffset);
        answers += frame;
    }
    return answers;
}

} // namespace Rfc2217Peer

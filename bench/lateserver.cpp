// Velmora benchmark. Licensed under the MIT licence.
#include "lateserver.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QByteArray Offer("\xff\xfb\x2c", 3);       // IAC WILL COM-PORT-OPTION
const QByteArray Accept("\xff\xfd\x2c", 3);      // IAC DO COM-PORT-OPTION
const QByteArray FrameStart("\xff\xfa\x2c", 3);  // IAC SB COM-PORT-OPTION
const QByteArray FrameEnd("\xff\xf0", 2);         // IAC SE
constexpr int ServerAnswerOffset = 100;
// The commands of one phase go out back to back; this gathers them into one answer.
constexpr int PhaseGatherMs = 20;

bool readable(int fd, int timeoutMs)
{
    pollfd watched {fd, POLLIN, 0};
    return ::poll(&watched, 1, timeoutMs) > 0;
}

// The answers to what `stream` holds: DO for the offer, each COM-PORT command back with
// 100 added. What is answered leaves the stream.
QByteArray answersTo(QByteArray &stream)
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

} // namespace

LateServer::LateServer(int delayMs) : m_delayMs(delayMs)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), size);
    ::listen(m_listener, 1);
    ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &size);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

LateServer::~LateServer()
{
    m_stop = true;
    ::shutdown(m_listener, SHUT_RDWR);
    m_thread.join();
    ::close(m_listener);
}

void LateServer::serve()
{
    const int client = ::accept(m_listener, nullptr, nullptr);
    if (client < 0)
        return;
    QByteArray stream;
    char buffer[4096];
    while (!m_stop) {
        if (!readable(client, 50))
            continue;
        const ssize_t got = ::read(client, buffer, sizeof buffer);
        if (got <= 0)
            break;
        stream.append(buffer, got);
        while (readable(client, PhaseGatherMs)) {
            const ssize_t more = ::read(client, buffer, sizeof buffer);
            if (more <= 0)
                break;
            stream.append(buffer, more);
        }
        const QByteArray answers = answersTo(stream);
        if (answers.isEmpty())
            continue;
        ::usleep(useconds_t(m_delayMs) * 1000);
        if (::write(client, answers.constData(), size_t(answers.size())) < 0)
            break;
    }
    ::close(client);
}

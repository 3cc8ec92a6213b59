// Velmora benchmark. Licensed under the MIT licence.
#include "lateserver.h"

#include "rfc2217peer.h"

#include <QByteArray>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// The commands of one phase go out back to back; this gathers them into one answer.
constexpr int PhaseGatherMs = 20;

} // namespace

LateServer::LateServer(int delayMs) : m_delayMs(delayMs)
{
    m_listener = Rfc2217Peer::listenOnLoopback(m_port);
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
        if (!Rfc2217Peer::readable(client, 50))
            continue;
        const ssize_t got = ::read(client, buffer, sizeof buffer);
        if (got <= 0)
            break;
        stream.append(buffer, got);
        while (Rfc2217Peer::readable(client, PhaseGatherMs)) {
            const ssize_t more = ::read(client, buffer, sizeof buffer);
            if (more <= 0)
                break;
            stream.append(buffer, more);
        }
        const QByteArray answers = Rfc2217Peer::soundAnswers(stream);
        if (answers.isEmpty())
            continue;
        ::usleep(useconds_t(m_delayMs) * 1000);
        if (::write(client, answers.constData(), size_t(answers.size())) < 0)
            break;
    }
    ::close(client);
}

// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <QtGlobal>

#include <atomic>
#include <thread>

// An RFC 2217 server on 127.0.0.1, on a thread of its own, that takes its time: it
// answers the COM-PORT-OPTION offer and every COM-PORT command the client sends, each
// with the value asked for, but only `delayMs` after the client's phase came in. It
// serves one connection, then ends.
class LateServer
{
public:
    explicit LateServer(int delayMs);
    ~LateServer();
    LateServer(const LateServer &) = delete;
    LateServer &operator=(const LateServer &) = delete;

    quint16 port() const { return m_port; }

private:
    void serve();

    int m_delayMs;
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop {false};
    std::thread m_thread;
};

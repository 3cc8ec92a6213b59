// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <deque>

// Takes out of what a port receives the echo of what it sent, for a two-wire adapter
// whose receiver hears its own transmitter. Each send is expected back byte for byte,
// in order, before anything else. An echo that differs from its send is a collision:
// from its first differing byte to its end it is kept, so that the user sees it, and
// it counts once.
class EchoFilter
{
public:
    void expect(const QByteArray &sent);
    // What of `received` is not an echo.
    QByteArray filter(const QByteArray &received);
    void reset();

    quint64 echoBytes() const { return m_echoBytes; }
    quint64 collisions() const { return m_collisions; }
    bool expecting() const { return !m_pending.empty(); }

private:
    std::deque<QByteArray> m_pending;
    qsizetype m_offset = 0;     // into the oldest pending send
    bool m_collided = false;    // the oldest pending send's echo differed
    quint64 m_echoBytes = 0;
    quint64 m_collisions = 0;
};

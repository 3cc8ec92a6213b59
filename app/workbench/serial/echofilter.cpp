// Velmora workbench. Licensed under the MIT licence.
#include "echofilter.h"

void EchoFilter::expect(const QByteArray &sent)
{
    if (!sent.isEmpty())
        m_pending.push_back(sent);
}

QByteArray EchoFilter::filter(const QByteArray &received)
{
    if (m_pending.empty())
        return received;
    QByteArray kept;
    for (qsizetype k = 0; k < received.size(); ++k) {
        if (m_pending.empty()) {
            kept += received.mid(k);
            break;
        }
        const QByteArray &echo = m_pending.front();
        if (!m_collided && received.at(k) == echo.at(m_offset)) {
            ++m_echoBytes;
        } else {
            if (!m_collided)
                ++m_collisions;
            m_collided = true;
            kept += received.at(k);
        }
        if (++m_offset == echo.size()) {
            m_pending.pop_front();
            m_offset = 0;
            m_collided = false;
        }
    }
    return kept;
}

void EchoFilter::reset()
{
    m_pending.clear();
    m_offset = 0;
    m_collided = false;
    m_echoBytes = 0;
    m_collisions = 0;
}

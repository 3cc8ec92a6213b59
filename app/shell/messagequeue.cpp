// Velmora workbench. Licensed under the MIT licence.
#include "messagequeue.h"

#include <utility>

quint64 MessageQueue::post(const QString &text, qint16 align)
{
    if (m_hasCurrent && m_current.text == text)
        return m_current.ticket;
    for (const Message &waiting : qAsConst(m_pending)) {
        if (waiting.text == text)
            return waiting.ticket;
    }
    m_pending.append(Message{text, align, ++m_lastTicket});
    return m_lastTicket;
}

MessageQueue::Message MessageQueue::startNext()
{
    m_current = m_pending.takeFirst();
    m_hasCurrent = true;
    return m_current;
}

void MessageQueue::finishCurrent()
{
    if (!m_hasCurrent)
        return;
    m_hasCurrent = false;
    m_lastSeen = m_current.ticket;
    emit seen();
}

QList<MessageQueue::Message> MessageQueue::abandon()
{
    const QList<Message> unseen = std::exchange(m_pending, {});
    m_lastSeen = m_lastTicket;
    emit seen();
    return unseen;
}

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

// The messages waiting for the one message window, in the order they were asked for.
// A text that is shown or already waiting is not queued again: its caller waits for
// the same showing. Tickets rise in queue order, so a finished showing tells every
// caller up to its ticket that the text has been seen.
class MessageQueue : public QObject
{
    Q_OBJECT

public:
    struct Message
    {
        QString text;
        qint16 align = 0;
        quint64 ticket = 0;
    };

    // Queues the text unless it is shown or waiting; returns the ticket to wait for.
    quint64 post(const QString &text, qint16 align);

    bool hasCurrent() const { return m_hasCurrent; }
    bool hasPending() const { return !m_pending.isEmpty(); }
    // Moves the first waiting message to the window.
    Message startNext();
    // The user has closed the current message.
    void finishCurrent();
    bool isSeen(quint64 ticket) const { return ticket <= m_lastSeen; }
    // Nobody is left to read: every caller is let go; returns the texts never shown.
    QList<Message> abandon();

signals:
    void seen();

private:
    QList<Message> m_pending;
    Message m_current;
    bool m_hasCurrent = false;
    quint64 m_lastTicket = 0;
    quint64 m_lastSeen = 0;
};

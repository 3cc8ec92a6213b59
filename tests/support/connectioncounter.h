// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <QTcpServer>

// A TCP server on 127.0.0.1 that only counts the connections made to it: it stands for
// a ser2net, which opens its serial device (and raises DTR) for every connection. The
// connections are taken on the thread's event loop and kept open.
class ConnectionCounter : public QObject
{
    Q_OBJECT

public:
    ConnectionCounter();

    quint16 port() const { return m_port; }
    // "tcp://127.0.0.1:<port>" or "rfc2217://127.0.0.1:<port>".
    QString address(const char *scheme = "tcp") const;
    // Connections taken so far; those still waiting in the listen queue are taken first.
    int connections();
    // No longer listens: a connection is refused from now on.
    void close();

private:
    void takePending();

    QTcpServer m_server;
    quint16 m_port = 0;
    int m_connections = 0;
};

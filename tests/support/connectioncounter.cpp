// Velmora tests. Licensed under the MIT licence.
#include "connectioncounter.h"

#include <QCoreApplication>
#include <QTcpSocket>

ConnectionCounter::ConnectionCounter()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    m_port = m_server.serverPort();
    connect(&m_server, &QTcpServer::newConnection, this, &ConnectionCounter::takePending);
}

QString ConnectionCounter::address(const char *scheme) const
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(scheme)).arg(port());
}

int ConnectionCounter::connections()
{
    // The kernel accepts a connection before the server is told of it.
    QCoreApplication::processEvents();
    takePending();
    return m_connections;
}

void ConnectionCounter::close()
{
    takePending();
    m_server.close();
}

void ConnectionCounter::takePending()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        ++m_connections;
    }
}

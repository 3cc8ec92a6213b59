// Velmora tests. Licensed under the MIT licence.
#include "ser2netserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

constexpr int StartMs = 5000;
constexpr int ProbeMs = 200;
const QString Program = QStringLiteral("ser2net");

QString programPath()
{
    const QString inPath = QStandardPaths::findExecutable(Program);
    return inPath.isEmpty() ? QStandardPaths::findExecutable(Program, {QStringLiteral("/usr/sbin")}) : inPath;
}

} // namespace

bool Ser2netServer::available()
{
    return !programPath().isEmpty();
}

quint16 Ser2netServer::freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

Ser2netServer::Ser2netServer(const QString &device, bool rfc2217) : m_rfc2217(rfc2217), m_port(freePort())
{
    QFile config(m_folder.filePath(QStringLiteral("ser2net.yaml")));
    if (!config.open(QIODevice::WriteOnly))
        return;
    const QString accepter = rfc2217 ? QStringLiteral("telnet(rfc2217),tcp") : QStringLiteral("tcp");
    config.write(QStringLiteral("%YAML 1.1\n---\nconnection: &line\n"
                                "  accepter: %1,127.0.0.1,%2\n"
                                "  connector: serialdev,%3,9600n81,local\n"
                                // ser2net's default reads the device 64 bytes at a time,
                                // which holds a fast stream to a few MB/s.
                                "  options:\n"
                                "    dev-to-net-bufsize: 65536\n")
                     .arg(accepter)
                     .arg(m_port)
                     .arg(device)
                     .toUtf8());
    config.close();
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(programPath(), {QStringLiteral("-n"), QStringLiteral("-c"), config.fileName(), QStringLiteral("-P"),
                                    m_folder.filePath(QStringLiteral("ser2net.pid"))});
}

Ser2netServer::~Ser2netServer()
{
    kill();
}

bool Ser2netServer::listening()
{
    const QDeadlineTimer deadline(StartMs);
    while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        if (probe.waitForConnected(ProbeMs)) {
            probe.abort();
            // ser2net lets the device go again before it takes the next connection.
            QThread::msleep(100);
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

void Ser2netServer::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
}

QString Ser2netServer::address() const
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(m_rfc2217 ? "rfc2217" : "tcp").arg(m_port);
}

// Velmora workbench. Licensed under the MIT licence.
#include "portwatcher.h"

#include "remoteaddress.h"
#include "serialline.h"

#include <algorithm>

PortWatcher::PortWatcher(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(PollMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &PortWatcher::poll);
}

void PortWatcher::start()
{
    m_timer.start();
}

void PortWatcher::stop()
{
    m_timer.stop();
}

void PortWatcher::acknowledge()
{
    m_acknowledged = look();
}

bool PortWatcher::isRemote(const QString &device)
{
    return RemoteAddress::looksRemote(device);
}

void PortWatcher::poll()
{
    if (look() != m_acknowledged)
        emit changed();
}

// What is seen is written down as text: each port's device and whether it is there,
// then the system's serial devices, so that any difference shows as one.
QStringList PortWatcher::look()
{
    QStringList seen;
    const QList<QSerialPortInfo> listed = QSerialPortInfo::availablePorts();
    const PortMap map = PortMap::load();
    for (int port = PortMap::FirstPort; port <= PortMap::LastPort; ++port) {
        const QString device = map.device(port);
        const bool present = !device.isEmpty() && !isRemote(device) && SerialLine::deviceSeen(device, listed);
        seen << QStringLiteral("COM%1=%2 %3").arg(port).arg(device).arg(present);
    }
    for (const QSerialPortInfo &port : listed)
        seen << port.systemLocation();
    std::sort(seen.begin() + PortMap::LastPort, seen.end());
    return seen;
}

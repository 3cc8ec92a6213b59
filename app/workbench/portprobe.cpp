// Velmora workbench. Licensed under the MIT licence.
#include "portprobe.h"

#include "commport.h"
#include "remoteaddress.h"
#include "serialline.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include <memory>
#include <utility>
#include <vector>

PortProbe::PortProbe(PortMap map, QStringList lockFolders)
    : m_map(std::move(map)), m_lockFolders(std::move(lockFolders))
{
}

PortProbe::State PortProbe::state(int port) const
{
    const QString device = m_map.device(port);
    if (RemoteAddress::looksRemote(device))
        return remoteState(port);
    if (device.isEmpty() || !SerialLine::deviceExists(device))
        return State::Missing;
    // A device this program has open is not looked at: on some systems looking opens it.
    if (CommPort::heldByThisProgram(device))
        return State::Busy;
    switch (SerialLine::probeDevice(device, m_lockFolders)) {
    case SerialLine::DeviceState::Free: return State::Present;
    case SerialLine::DeviceState::HeldElsewhere: return State::Busy;
    case SerialLine::DeviceState::Denied: return State::NoPermission;
    case SerialLine::DeviceState::Missing: break;
    }
    return State::Missing;
}

PortProbe::State PortProbe::remoteState(int port) const
{
    if (!m_remoteStates)
        m_remoteStates = probeRemotePorts();
    return m_remoteStates->value(port, State::Missing);
}

QHash<int, PortProbe::State> PortProbe::probeRemotePorts() const
{
    QHash<int, State> states;
    std::vector<std::pair<int, std::unique_ptr<QTcpSocket>>> connecting;
    for (int port = PortMap::FirstPort; port <= PortMap::LastPort; ++port) {
        const QString device = m_map.device(port);
        if (!RemoteAddress::looksRemote(device))
            continue;
        const std::optional<RemoteAddress> address = RemoteAddress::parse(device);
        // A second connection to a line this program holds could take it from the first.
        if (address && CommPort::heldByThisProgram(device)) {
            states.insert(port, State::Busy);
        } else if (address) {
            auto socket = std::make_unique<QTcpSocket>();
            socket->connectToHost(address->host, address->port);
            connecting.emplace_back(port, std::move(socket));
        }
    }
    const QDeadlineTimer deadline(RemoteProbeMilliseconds);
    for (const auto &[port, socket] : connecting) {
        const bool reached = socket->state() == QAbstractSocket::ConnectedState
            || socket->waitForConnected(int(qMax<qint64>(0, deadline.remainingTime())));
        states.insert(port, reached ? State::Present : State::Missing);
        socket->abort();
    }
    return states;
}

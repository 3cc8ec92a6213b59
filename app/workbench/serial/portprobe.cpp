// Velmora workbench. Licensed under the MIT licence.
#include "portprobe.h"

#include "commport.h"
#include "remoteaddress.h"
#include "serialline.h"

#include <utility>

PortProbe::PortProbe(PortMap map, QStringList lockFolders)
    : m_map(std::move(map)), m_lockFolders(std::move(lockFolders))
{
}

PortProbe::State PortProbe::state(int port) const
{
    const QString device = m_map.device(port);
    // A second connection to a line this program holds could take it from the first.
    if (RemoteAddress::looksRemote(device))
        return CommPort::heldByThisProgram(device) ? State::Busy : State::Remote;
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

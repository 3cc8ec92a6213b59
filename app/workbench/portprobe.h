// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "portmap.h"
#include "serialline.h"

#include <QHash>
#include <QStringList>

#include <optional>

// What a port of the port map is to the system right now, told without opening its
// line: an open raises DTR and RTS, and many boards reset on DTR. Busy that shows only
// to an open (a line another program holds with TIOCEXCL) is left to the open. A line
// served over the network is there when its server takes a TCP connection; the line
// itself is never touched.
class PortProbe
{
public:
    enum class State {
        Present,        // there and free as far as the system tells
        Busy,           // held by another program or by a port of this one
        Missing,        // no such device, or one without its chip
        NoPermission,   // there, but this user may not open it
    };

    // The longest a probe waits for the servers of the network lines, all asked at once.
    static constexpr int RemoteProbeMilliseconds = 1000;

    explicit PortProbe(PortMap map, QStringList lockFolders = SerialLine::lockFolders());

    State state(int port) const;
    // Every port that is there is listed; one the user may not open, too, so that the
    // start meets the refusal and its hint.
    static bool isListed(State state) { return state != State::Missing; }

private:
    State remoteState(int port) const;
    QHash<int, State> probeRemotePorts() const;

    PortMap m_map;
    QStringList m_lockFolders;
    // Every network line of the map, probed together when the first one is asked about.
    mutable std::optional<QHash<int, State>> m_remoteStates;
};

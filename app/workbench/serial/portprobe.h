// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "portmap.h"
#include "serialline.h"

#include <QStringList>

// What a port of the port map is to the system right now, told without opening its
// line: an open raises DTR and RTS, and many boards reset on DTR. Busy that shows only
// to an open (a line another program holds with TIOCEXCL) is left to the open. A line
// served over the network is not asked at all: a server such as ser2net opens its
// serial device for every connection, so only a start connects and finds out.
class PortProbe
{
public:
    enum class State {
        Present,        // there and free as far as the system tells
        Busy,           // held by another program or by a port of this one
        Missing,        // no such device, or one without its chip
        NoPermission,   // there, but this user may not open it
        Remote,         // a line served over the network, not checked
    };

    explicit PortProbe(PortMap map, QStringList lockFolders = SerialLine::lockFolders());

    State state(int port) const;
    // Every port that is there is listed; one the user may not open, and a network
    // line, too, so that the start meets the refusal or the missing server.
    static bool isListed(State state) { return state != State::Missing; }

private:
    PortMap m_map;
    QStringList m_lockFolders;
};

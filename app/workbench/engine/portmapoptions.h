// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>

// The user's options of the port map window, kept in the line options' file (velmora.ini)
// in a group of their own. Off by default, and then a lost device stops communication
// for good, as without them.
struct PortMapOptions
{
    // Communication stopped by a lost device starts again when the device is back.
    bool reconnect = false;

    static PortMapOptions load(const QString &path);
    bool save(const QString &path) const;
};

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>

// Why the system refuses the user a device, and the one step that would help: joining
// the device's group where the group may read and write it, logging in again where the
// user has joined it since, else asking the administrator. The facts come from the
// platform's side of the serial line; the words depend on them only.
class DeviceAccess
{
public:
    QString user;                     // the user this program runs as
    QString owner;                    // the device's owner and group
    QString group;
    bool groupMayReadWrite = false;   // the device's mode lets its group read and write
    bool userListedInGroup = false;   // the system's group list names the user
    bool processHasGroup = false;     // this program already runs with the group

    QString hint() const;
    // The refusal to open `device` for `portText`. The path stands on a line of its own,
    // so that wrapping never splits it.
    static QString refusal(const QString &portText, const QString &device, const QString &hint);
};

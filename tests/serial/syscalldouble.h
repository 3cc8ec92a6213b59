// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <linux/serial.h>
#include <vector>

// Stands in for the system at the calls a serial line makes on one device: the RS-485
// ioctls, RTS, the line status register, write and tcdrain. A test program that links
// it has these calls interposed (the program's own definitions win over the C
// library's); calls on other descriptors, and every call while no device is watched, go
// to the system unchanged. Each call on the watched device is recorded with its time.
// It plays a driver with an RS-485 mode, or one without (ENOTTY), or one that refuses
// the settings (EINVAL), and may rewrite what it is given as real drivers do.
namespace SyscallDouble {

struct Call
{
    enum Kind { GetRs485, SetRs485, RtsUp, RtsDown, Write, Drain, LineStatus };
    Kind kind;
    qint64 at;            // steady clock, nanoseconds
    serial_rs485 mode {}; // SetRs485: what the program asked for
    QByteArray bytes;     // Write
    bool rtsUp = false;   // the RTS level at the call
};

struct Driver
{
    int rs485Error = 0;   // ENOTTY: no RS-485 mode; EINVAL: refuses every setting
    serial_rs485 held {}; // the mode the driver holds (before the open: the one to restore)
    // What the driver makes of a setting before it holds it.
    std::function<serial_rs485(serial_rs485)> rewrite;
    int busyLineStatusReads = 0;  // after each drain, reads of the line status before it is empty
};

// Watches the device at `path` (its device number); an empty path stops watching.
void watch(const QString &path, const Driver &driver = {});
std::vector<Call> calls();
void clearCalls();
serial_rs485 held();
bool rtsUp();

} // namespace SyscallDouble

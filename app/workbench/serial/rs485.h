// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// How one port switches its RS-485 transmitter: not at all (a full-duplex or
// self-switching line), by the driver's RS-485 mode, or by the program raising RTS
// around each write. Off by default; set while the port is closed.
struct Rs485Settings
{
    enum class Direction : int { Off = 0, Driver = 1, Program = 2 };

    // Drivers hold at most this much (Linux clamps both delays to 100 ms).
    static constexpr int LongestDelayMs = 100;

    Direction direction = Direction::Off;
    bool rtsHighWhileSending = true;   // false: RTS low while sending, high after
    int delayBeforeMs = 0;             // from RTS switched to the first bit
    int delayAfterMs = 0;              // from the last bit gone to RTS switched back
    bool receiveWhileSending = false;
    // Bytes the port hears of its own sending are taken out of what it receives.
    bool suppressEcho = false;

    bool switched() const { return direction != Direction::Off; }
    friend bool operator==(const Rs485Settings &a, const Rs485Settings &b);
    friend bool operator!=(const Rs485Settings &a, const Rs485Settings &b) { return !(a == b); }
};

// The RS-485 mode as a driver holds it: Linux's struct serial_rs485, or on Windows the
// DCB's RTS toggle (no delays there).
struct DriverRs485
{
    bool enabled = false;
    bool rtsOnSend = false;
    bool rtsAfterSend = false;
    quint32 delayBeforeMs = 0;
    quint32 delayAfterMs = 0;
    bool receiveDuringSend = false;

    // What a port set up with `settings` asks the driver for.
    static DriverRs485 of(const Rs485Settings &settings);
    // Each field `held` holds otherwise than `asked`, one line each, named with both values.
    static QStringList differences(const DriverRs485 &asked, const DriverRs485 &held);

    friend bool operator==(const DriverRs485 &a, const DriverRs485 &b);
};

// How the driver answered a request for its RS-485 mode.
enum class DriverAnswer {
    Done,
    NoMode,     // the driver has no RS-485 mode (USB adapters, pseudo-terminals)
    Refused,    // it has one but refuses these settings
    Failed,
};

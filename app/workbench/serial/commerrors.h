// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QtGlobal>

// The numbers of the serial port layer: the error numbers its failures throw with
// Component::RuntimeError, and the values of CommPort's CommEvent. They stand apart
// from CommPort so that the line settings, the error counts and the platform's line
// code use them without the port itself; CommPort inherits them, so CommPort::
// ErrorPortInUse reads as before.
struct CommErrors
{
    // Values of CommEvent.
    enum CommEventCode : qint16 {
        EvReceive = 2,
        EventBreak = 1001,
        EventFrame = 1004,
        EventOverrun = 1006,
        EventRxOver = 1008,
        EventRxParity = 1009,
        EventDeviceLost = 1100, // the device went away while open (a USB adapter pulled)
    };

    // Error numbers of the failures.
    enum ErrorNumber : int {
        ErrorInvalidSetting = 380,    // a malformed settings string or property value
        ErrorPortNotFound = 8002,     // the device does not exist
        ErrorPortInUse = 8005,        // held by another program or by another CommPort
        ErrorBaudRate = 8007,         // the platform cannot set this baud rate
        ErrorDataBits = 8008,         // the platform cannot set these data bits
        ErrorLineSetting = 8015,      // parity, stop bits or handshake cannot be applied
        ErrorNotOpen = 8018,          // the operation needs an open port
        ErrorDeviceIo = 8020,         // reading or writing the device failed
        ErrorPermission = 70,         // not allowed to open the device
        ErrorOpenCancelled = 8099,    // the open was called off while it waited; never shown
    };
};

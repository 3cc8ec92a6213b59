// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "lineerrorcounts.h"
#include "modemlines.h"
#include "rs485.h"

#include <QList>
#include <QMap>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QString>
#include <QStringList>

class LineSettings;
class QByteArray;

// What differs between operating systems in reaching a serial line: device names,
// locking, the combined handshake, 1.5 stop bits, baud rates beyond the standard ones,
// the modem lines and the driver's fault counters.
// Each platform implements this in one file (serialline_unix.cpp, serialline_win.cpp).
namespace SerialLine {

// The device port n (1 to 16) reaches unless ports.ini says otherwise.
QString builtInDevice(int port);
// Whether the program folder's ports.ini may remap ports.
bool usesPortFile();

// One name per device, so that two spellings of one device are seen as one.
QString canonicalDevice(const QString &device);
bool deviceExists(const QString &device);
// Whether the device is there, told without opening it or asking the system again:
// by its node where devices have nodes, else by the system's list of ports `listed`.
bool deviceSeen(const QString &device, const QList<QSerialPortInfo> &listed);
// The names under which the system keeps each device the same across replugs
// (/dev/serial/by-id/...), by the device's canonical name; none where it keeps none.
QMap<QString, QString> stableNames();

// What the system tells about a device that exists, without raising its control lines.
enum class DeviceState { Free, HeldElsewhere, Missing, Denied };
DeviceState probeDevice(const QString &device, const QStringList &lockFolders);
// Where serial programs leave their lock files ("LCK..ttyUSB0"), on systems that keep them.
QStringList lockFolders();

// The CommPort error number of an open that QSerialPort refused with `error`.
int openErrorNumber(const QString &device, QSerialPort::SerialPortError error);
// Why the system refuses this user the device, said so that the user can act.
QString permissionHint(const QString &device);

// Takes the advisory lock other serial programs respect; false when one holds it.
bool holdExclusively(QSerialPort &port);

// The setting that gives 1.5 stop bits with 5 data bits.
QSerialPort::StopBits oneAndHalfStopBits();
// Adds XON/XOFF to the RTS/CTS handshake already set on the open port.
bool addXonXoffToHardwareFlow(QSerialPort &port);

// The first of the settings the open line does not hold as asked, read back from the
// driver; None when every one took.
enum class LineSetting { None, DataBits, Parity, StopBits };
LineSetting unappliedSetting(QSerialPort &port, const LineSettings &line);

// The baud rate the open line runs at, read back from the driver; 0 when unknown.
qint32 lineBaudRate(QSerialPort &port);
// Sets a rate through the driver's interface for any rate, where the standard rates
// do not hold it; false when the driver refuses it (the rate it keeps is read back).
bool setArbitraryBaudRate(QSerialPort &port, qint32 rate);

// The modem lines of the open port, reached through the system's own calls.
std::unique_ptr<ModemLines> modemLines(QSerialPort &port);

// After a failing read or write: whether the device is still there, so that a line
// that cannot take more just now is not taken for a pulled adapter.
bool lineStillThere(QSerialPort &port);

// Brings `counts` up to the driver's totals; false where the driver keeps none.
bool updateLineErrors(QSerialPort &port, LineErrorCounts &counts);

// The driver's RS-485 mode, read into `held` or set as `wanted`.
DriverAnswer readDriverRs485(QSerialPort &port, DriverRs485 &held);
DriverAnswer writeDriverRs485(QSerialPort &port, const DriverRs485 &wanted);
// RTS raised or lowered through the system's own call; false where the device has none.
bool setRequestToSend(QSerialPort &port, bool raised);
// One write with the direction switched by the program: RTS to its sending level, the
// delay before, every byte handed over, a wait until the last bit has left (tcdrain,
// then the transmitter-empty bit where the driver reports it), the delay after, RTS
// back. `lastBitGone` gets that moment (steady clock, nanoseconds). Nothing is written
// unless RTS took its sending level; RTS goes back also when the write fails.
bool writeSwitched(QSerialPort &port, const QByteArray &bytes, const Rs485Settings &rs485, qint64 &lastBitGone);

} // namespace SerialLine

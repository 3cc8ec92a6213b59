// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "lineerrorcounts.h"
#include "linesettings.h"
#include "modemlines.h"
#include "rs485.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QStringList>

#include <optional>

// One open line as CommPort drives it: a local serial device or a line served over the
// network. It is made for one open; open() and write() throw Component::RuntimeError
// with the numbers of CommErrors, the setters tell what did not take so that CommPort
// words the refusal. Runs on the GUI thread's event loop.
class CommLine : public QObject
{
    Q_OBJECT

public:
    // The first line setting that did not take as asked.
    enum class Refusal { None, BaudRate, DataBits, Parity, StopBits };

    using QObject::QObject;

    virtual void open() = 0;
    virtual Refusal applyLine(const LineSettings &line) = 0;
    // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both; false when the line cannot take it.
    virtual bool applyHandshake(int handshaking) = 0;
    virtual ModemLines &modemLines() = 0;

    // What setting up RS-485 direction control gave.
    struct Rs485Outcome
    {
        enum class Kind { Applied, Unavailable, NoDriverMode, DriverRefused, Failed, NoRts };
        Kind kind = Kind::Applied;
        QStringList differences;   // what the driver holds otherwise than asked
    };
    // Lines that cannot switch a transmitter (network lines) take only Off.
    virtual Rs485Outcome applyRs485(const Rs485Settings &settings)
    {
        return {settings.switched() ? Rs485Outcome::Kind::Unavailable : Rs485Outcome::Kind::Applied, {}};
    }
    // When the last bit of the last write left, where the line waits for it (steady
    // clock, nanoseconds); 0 where the line only hands bytes on.
    virtual qint64 lastBitGone() const { return 0; }

    virtual qint64 bytesAvailable() const = 0;
    virtual QByteArray readAll() = 0;
    // Queues the bytes and hands them on as far as the line takes them now.
    virtual void write(const QByteArray &bytes) = 0;
    virtual qint64 bytesToWrite() const = 0;
    virtual void discardInput() = 0;
    virtual void discardOutput() = 0;
    // Brings `counts` up to the line's totals; false where the line keeps none.
    virtual bool updateLineErrors(LineErrorCounts &counts) = 0;

    // Lines that wait for a far end do it inside the event loop. While a start runs, its
    // deadline bounds every wait and the window's input goes on (its start button
    // cancels); without one, the line's own limits hold and input waits for the end.
    virtual void setStartDeadline(std::optional<QDeadlineTimer> deadline) { Q_UNUSED(deadline) }
    // Ends any wait at once; the line is done and takes no further call that waits.
    virtual void cancel() {}
    // Whether a call into the line is waiting inside the event loop right now.
    virtual bool waiting() const { return false; }
    // Throws the failure of a line that went away, or was cancelled, since it opened.
    virtual void requireConnected() {}
    // Why the line was lost, where more can be said than that it went away.
    virtual QString lossReason() const { return {}; }

signals:
    void readyRead();
    // The device or the connection went away; given once, from the line's own notification.
    void lost();
    // Something the user should know once that does not stop the line.
    void notice(const QString &text);
    // The open waits for a far end on the network.
    void connecting();
};

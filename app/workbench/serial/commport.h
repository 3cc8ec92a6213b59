// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "commerrors.h"
#include "commline.h"
#include "modemlines.h"
#include "rs485.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>


// One serial port as the workbench drives it: port number, line settings, handshake,
// receive threshold and input mode are set while closed, then the port is opened.
// Port n reaches its device through the port map: a local device, or a line another
// machine serves over the network ("rfc2217://host:port", "tcp://host:port"). Failing operations throw
// Component::RuntimeError with the numbers of CommErrors and a Chinese description.
// OnComm is raised on the GUI thread; CommEvent tells why. DTR and RTS keep their
// values across opens and apply at once while open.
class CommPort : public QObject, public CommErrors
{
    Q_OBJECT

public:
    enum InputModeValue : int { InputModeText = 0, InputModeBinary = 1 };

    // How long sendBreak holds the line in the break condition.
    static constexpr int BreakMilliseconds = 250;

    explicit CommPort(QObject *parent = nullptr);
    ~CommPort() override;

    qint16 CommPortNumber() const;
    void setCommPort(qint16 port);

    bool PortOpen() const;
    void setPortOpen(bool open);

    QString Settings() const;
    void setSettings(const QString &settings);   // "9600,N,8,1"

    int Handshaking() const;
    void setHandshaking(int handshaking);         // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both

    qint16 RThreshold() const;
    void setRThreshold(qint16 threshold);         // 0: no receive events

    int InputMode() const;
    void setInputMode(int mode);

    qint16 InBufferCount() const;
    void setInBufferCount(qint16 count);          // 0 discards what was received
    qint16 OutBufferCount() const;
    void setOutBufferCount(qint16 count);         // 0 discards what is not yet sent
    // Bytes handed over but not yet taken by the line, unclamped.
    qint64 OutputPending() const;

    // A QString goes out in the system code page, a QByteArray byte for byte; nothing
    // is added. The bytes are handed to the driver before this returns as far as the
    // line takes them; the rest stays queued and goes out as the line drains.
    void setOutput(const QVariant &data);
    // Everything waiting: a QString in text mode, a QByteArray in binary mode.
    QVariant Input();

    qint16 CommEvent() const;

    bool DTREnable() const;
    void setDTREnable(bool enable);
    // Under the RTS/CTS handshake the driver drives RTS; the value applies without it.
    bool RTSEnable() const;
    void setRTSEnable(bool enable);
    // CTS, DSR, DCD and RI of the open line; none while closed or where the device
    // has no modem lines.
    std::optional<ModemLines::Inputs> ModemInputs() const;
    // A break of BreakMilliseconds, ended from the event loop; false where the device
    // refuses a break. Throws ErrorNotOpen while closed.
    bool sendBreak();
    bool Break() const;

    // RS-485 direction control and echo suppression, applied at each open (an open port
    // keeps what it opened with); an open that cannot apply them fails and says why.
    void setRs485(const Rs485Settings &settings);
    Rs485Settings Rs485() const;
    // What the driver holds of its RS-485 mode otherwise than asked, since the open.
    QStringList Rs485Differences() const;
    // The echo bytes taken out and the echoes that differed from their send, since the open.
    quint64 EchoBytes() const;
    quint64 EchoCollisions() const;
    // Steady clock, nanoseconds: when the last send's last byte left as far as the line
    // knows, and when the first byte arrived that Input() has not taken yet (0: none).
    qint64 LastSentAt() const;
    qint64 ArrivalAt() const;

    // Whether a CommPort of this process has the device open, under any of its spellings.
    static bool heldByThisProgram(const QString &device);

    // A line served over the network waits for its server inside the event loop. The
    // opens of one start share this deadline, and while they wait the window's input
    // goes on, so that a close (setPortOpen(false)) can call the open off; it then
    // fails with ErrorOpenCancelled. Without a deadline each wait has its own limit.
    void setOpenDeadline(std::optional<QDeadlineTimer> deadline);
    // A call into the line is running that waits for its server; the port must not be
    // destroyed now (a close is safe: it takes effect when the call returns).
    bool Busy() const;
    // The device went away and the loss is about to be raised: nothing more is sent.
    bool DeviceLost() const;
    // What more is known about the last loss than that the device went away; may be empty.
    QString LossReason() const;

signals:
    void OnComm();
    // Something about the open line the user should know that does not stop it (a
    // served line that cannot take DTR, RTS or break); given after the open that finds it.
    void notice(const QString &text);
    // The open waits for the server of a network line.
    void Connecting();

private:
    struct Private;
    class LineCall;

    void openPort();
    QString mappedDevice() const;
    std::unique_ptr<CommLine> lineTo(const QString &device) const;
    void closePort();
    void checkLineSupported() const;
    void applyLine();
    void applyHandshake();
    void applyControlLines();
    void applyRs485();
    // Nothing for Applied.
    void failRs485(CommLine::Rs485Outcome::Kind kind) const;
    qint64 available() const;
    void endBreak();
    void requireOpen() const;
    void onArrival();
    bool takeArrival();
    void onLost();
    void queueThresholdCheck();
    void reportDeviceLost();
    void raise(qint16 event);
    [[noreturn]] void fail(int number, const QString &description) const;
    QString portText() const;

    std::unique_ptr<Private> d;
};

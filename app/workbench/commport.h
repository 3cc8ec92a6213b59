// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "commerrors.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QVariant>

#include <memory>

// One serial port as the workbench drives it: port number, line settings, handshake,
// receive threshold and input mode are set while closed, then the port is opened.
// Port n reaches its device through the port map. Failing operations throw
// Component::RuntimeError with the numbers of CommErrors and a Chinese description.
// OnComm is raised on the GUI thread; CommEvent tells why.
class CommPort : public QObject, public CommErrors
{
    Q_OBJECT

public:
    enum InputModeValue : int { InputModeText = 0, InputModeBinary = 1 };

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

    // Whether a CommPort of this process has the device open, under any of its spellings.
    static bool heldByThisProgram(const QString &device);

signals:
    void OnComm();

private:
    struct Private;

    void openPort();
    QString mappedDevice() const;
    void openDevice(const QString &device);
    void closePort();
    void checkLineSupported() const;
    void applyLine();
    void verifyLine();
    void applyHandshake();
    void assertControlLines();
    void requireOpen() const;
    void onArrival();
    void onPortError(QSerialPort::SerialPortError error);
    void queueThresholdCheck();
    void reportDeviceLost();
    void raise(qint16 event);
    [[noreturn]] void fail(int number, const QString &description) const;
    QString portText() const;

    std::unique_ptr<Private> d;
};

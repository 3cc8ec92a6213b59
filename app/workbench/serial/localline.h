// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "commline.h"

#include <QSerialPort>
#include <QString>

#include <memory>
#include <optional>

// A serial device of this computer, through QSerialPort and the platform's SerialLine
// calls. What the driver holds after a setting decides, not what it says it took. Its
// failures read as CommPort's own always did, and share their translations.
class LocalLine : public CommLine
{
    Q_OBJECT

public:
    // `portText` names the port in the failures ("端口Com 3").
    LocalLine(const QString &device, const QString &portText, QObject *parent = nullptr);
    ~LocalLine() override;

    void open() override;
    Refusal applyLine(const LineSettings &line) override;
    bool applyHandshake(int handshaking) override;
    ModemLines &modemLines() override { return *m_lines; }
    Rs485Outcome applyRs485(const Rs485Settings &settings) override;
    qint64 lastBitGone() const override { return m_lastBitGone; }

    qint64 bytesAvailable() const override { return m_port.bytesAvailable(); }
    QByteArray readAll() override { return m_port.readAll(); }
    void write(const QByteArray &bytes) override;
    qint64 bytesToWrite() const override { return m_port.bytesToWrite(); }
    void discardInput() override { m_port.clear(QSerialPort::Input); }
    void discardOutput() override { m_port.clear(QSerialPort::Output); }
    bool updateLineErrors(LineErrorCounts &counts) override;

private:
    bool applyBaudRate(qint32 rate);
    Refusal setterRefusal(const LineSettings &line);
    Rs485Outcome applyDriverRs485(const Rs485Settings &settings);
    // The RS-485 state goes back to what it was before the open: the driver's mode as
    // read then, RTS at its receiving level.
    void restoreRs485();
    void onPortError(QSerialPort::SerialPortError error);
    [[noreturn]] void fail(int number, const QString &description);

    QString m_device;
    QString m_portText;
    QSerialPort m_port;
    std::unique_ptr<ModemLines> m_lines;   // while open
    bool m_lost = false;
    Rs485Settings m_rs485;
    std::optional<DriverRs485> m_driverBefore;   // while the driver's mode is ours
    qint64 m_lastBitGone = 0;
};

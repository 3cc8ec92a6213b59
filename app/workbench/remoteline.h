// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "arrivalbatcher.h"
#include "commline.h"
#include "remoteaddress.h"
#include "telnetcodec.h"

#include <QTcpSocket>

#include <functional>
#include <memory>
#include <optional>

// A serial line another machine serves over TCP (ser2net and its kin): raw, bytes only,
// or with the RFC 2217 COM-PORT-OPTION, which sets the served line as a local one is
// set and reports its modem and line state. Driven by the GUI thread's event loop like
// a local port; only the open and the settings wait, briefly, for the server's answers.
class RemoteLine : public CommLine
{
    Q_OBJECT

public:
    static constexpr int ConnectMilliseconds = 3000;
    // How long the server has to answer a line setting before it counts as refused.
    static constexpr int AnswerMilliseconds = 1000;
    // A served line without modem lines never answers DTR, RTS or break; this is all
    // the start waits for them.
    static constexpr int ModemAnswerMilliseconds = 300;

    RemoteLine(const RemoteAddress &address, const QString &portText, QObject *parent = nullptr);
    ~RemoteLine() override;

    void open() override;
    Refusal applyLine(const LineSettings &line) override;
    bool applyHandshake(int handshaking) override;
    ModemLines &modemLines() override { return *m_lines; }

    qint64 bytesAvailable() const override { return m_input.size(); }
    QByteArray readAll() override;
    void write(const QByteArray &bytes) override;
    qint64 bytesToWrite() const override { return m_pending.size() + m_socket.bytesToWrite(); }
    void discardInput() override;
    void discardOutput() override;
    bool updateLineErrors(LineErrorCounts &counts) override;

private:
    class Lines;
    friend class Lines;

    bool carriesSettings() const { return m_address.protocol == RemoteAddress::Protocol::Rfc2217; }
    void send(quint8 command, const QByteArray &value);
    std::optional<QByteArray> answerTo(quint8 command, const std::function<bool(quint8)> &matches) const;
    void forgetAnswers(quint8 command);
    bool waitFor(const std::function<bool()> &done, int milliseconds);
    bool setModemControl(quint8 on, quint8 off, bool raise);
    std::optional<ModemLines::Inputs> modemInputs() const;
    void takeIn();
    void takeAnswers();
    void countLineState(quint8 state);
    void pushOutput();
    void onDisconnected();
    [[noreturn]] void fail(int number, const QString &description);

    RemoteAddress m_address;
    QString m_portText;
    QTcpSocket m_socket;
    TelnetCodec m_codec;
    ArrivalBatcher m_arrivals;   // readyRead for the pieces a server forwards, gathered
    std::unique_ptr<ModemLines> m_lines;
    QByteArray m_input;      // data taken from the stream, not yet read
    QByteArray m_pending;    // data not yet handed to the socket, unescaped
    QList<TelnetCodec::ComPortAnswer> m_answers;
    std::optional<quint8> m_modemState;
    LineErrorCounts m_lineErrors;
    bool m_modemControlMissing = false;
    bool m_waiting = false;
    bool m_arrivedWhileWaiting = false;
    bool m_lost = false;
};

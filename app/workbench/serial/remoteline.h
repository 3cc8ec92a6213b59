// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "arrivalbatcher.h"
#include "commline.h"
#include "remoteaddress.h"
#include "telnetcodec.h"

#include <QTcpSocket>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

class QEventLoop;

// A serial line another machine serves over TCP (ser2net and its kin): raw, bytes only,
// or with the RFC 2217 COM-PORT-OPTION, which sets the served line as a local one is
// set and reports its modem and line state. Driven by the GUI thread's event loop like
// a local port; the open and the settings wait for the server's answers inside it.
// What a server can make this side keep is capped; a server past a cap is cut off as a
// lost line, with a message that names it.
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
    // Answers kept for the settings asked about; a server answers each once.
    static constexpr qsizetype MaxKeptAnswers = 64;
    // Negotiation replies the server has not read yet.
    static constexpr qint64 MaxProtocolBacklogBytes = 64 * 1024;

    RemoteLine(const RemoteAddress &address, const QString &portText, QObject *parent = nullptr);
    ~RemoteLine() override;

    void open() override;
    Refusal applyLine(const LineSettings &line) override;
    bool applyHandshake(int handshaking) override;
    ModemLines &modemLines() override { return *m_lines; }

    qint64 bytesAvailable() const override { return m_input.size(); }
    QByteArray readAll() override;
    void write(const QByteArray &bytes) override;
    // The user's data not yet on the wire; negotiation replies never count.
    qint64 bytesToWrite() const override;
    void discardInput() override;
    void discardOutput() override;
    bool updateLineErrors(LineErrorCounts &counts) override;

    void setStartDeadline(std::optional<QDeadlineTimer> deadline) override { m_startDeadline = deadline; }
    void cancel() override;
    bool waiting() const override { return m_waiting; }
    void requireConnected() override;
    QString lossReason() const override { return m_breach; }

private:
    class Lines;
    friend class Lines;

    bool carriesSettings() const { return m_address.protocol == RemoteAddress::Protocol::Rfc2217; }
    QString where() const;
    void connectToServer();
    void send(quint8 command, const QByteArray &value);
    void sendProtocol(const QByteArray &bytes);
    std::optional<QByteArray> answerTo(quint8 command, const std::function<bool(quint8)> &matches) const;
    void awaitAnswers(quint8 command);
    void settle(quint8 command);
    bool waitFor(const std::function<bool()> &done, int milliseconds);
    bool setModemControl(quint8 on, quint8 off, bool raise);
    std::optional<ModemLines::Inputs> modemInputs() const;
    void takeIn();
    void takeAnswers();
    void countLineState(quint8 state);
    void pushOutput();
    void onWritten(qint64 bytes);
    void onDisconnected();
    void breakOff(const QString &breach);
    void loseConnection();
    [[noreturn]] void fail(int number, const QString &description);

    RemoteAddress m_address;
    QString m_portText;
    QTcpSocket m_socket;
    TelnetCodec m_codec;
    ArrivalBatcher m_arrivals;   // readyRead for the pieces a server forwards, gathered
    std::unique_ptr<ModemLines> m_lines;
    QByteArray m_input;      // data taken from the stream, not yet read
    QByteArray m_pending;    // data not yet handed to the socket, unescaped
    // What the socket holds, in order: runs of data (false) and of protocol (true).
    std::deque<std::pair<qint64, bool>> m_inSocket;
    qint64 m_protocolInSocket = 0;
    QList<quint8> m_awaited;   // the commands whose answers are kept
    QList<TelnetCodec::ComPortAnswer> m_answers;
    std::optional<quint8> m_modemState;
    LineErrorCounts m_lineErrors;
    std::optional<QDeadlineTimer> m_startDeadline;
    QEventLoop *m_loop = nullptr;   // the wait's, while one runs
    bool m_modemControlMissing = false;
    bool m_waiting = false;
    bool m_arrivedWhileWaiting = false;
    bool m_lost = false;
    bool m_lossTold = false;
    bool m_cancelled = false;
    QString m_breach;          // how the server broke the protocol, once it has
};

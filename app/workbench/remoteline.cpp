// Velmora workbench. Licensed under the MIT licence.
#include "remoteline.h"

#include <runtimeerror.h>
#include "commerrors.h"

#include <QDeadlineTimer>
#include <QSet>
#include <QtEndian>

namespace {

// Bounds what a port nobody reads can pile up, as for a local port; past it the socket
// is left unread and TCP holds the server back.
constexpr qint64 ReadBufferBytes = 1 << 20;
// Data handed to the socket at a time, so that a discard still finds most of it here.
constexpr qint64 SocketChunkBytes = 64 * 1024;

// SET-CONTROL values (RFC 2217).
enum Control : quint8 {
    FlowNone = 1, FlowXonXoff = 2, FlowHardware = 3,
    BreakOn = 5, BreakOff = 6, DtrOn = 8, DtrOff = 9, RtsOn = 11, RtsOff = 12,
};
enum Purge : quint8 { PurgeReceived = 1, PurgeUnsent = 2 };
// NOTIFY-LINESTATE and NOTIFY-MODEMSTATE bits.
enum LineState : quint8 { LineOverrun = 0x02, LineParity = 0x04, LineFraming = 0x08, LineBreak = 0x10 };
enum ModemState : quint8 { ModemCts = 0x10, ModemDsr = 0x20, ModemRi = 0x40, ModemDcd = 0x80 };

QByteArray oneByte(quint8 value)
{
    return QByteArray(1, char(value));
}

QByteArray baudValue(qint32 rate)
{
    QByteArray value(4, '\0');
    qToBigEndian(quint32(rate), value.data());
    return value;
}

quint8 parityValue(QSerialPort::Parity parity)
{
    switch (parity) {
    case QSerialPort::NoParity: return 1;
    case QSerialPort::OddParity: return 2;
    case QSerialPort::EvenParity: return 3;
    case QSerialPort::MarkParity: return 4;
    case QSerialPort::SpaceParity: return 5;
    }
    return 1;
}

quint8 stopValue(LineSettings::StopBits stop)
{
    switch (stop) {
    case LineSettings::StopBits::One: return 1;
    case LineSettings::StopBits::Two: return 2;
    case LineSettings::StopBits::OneAndHalf: break;
    }
    return 3;
}

bool isFlowValue(quint8 value)
{
    return value <= FlowHardware;
}

} // namespace

// The modem lines of the served line, set through SET-CONTROL and read from the
// server's modem-state notifications.
class RemoteLine::Lines : public ModemLines
{
public:
    explicit Lines(RemoteLine &line) : m_line(line) {}

    bool setDataTerminalReady(bool on) override { return m_line.setModemControl(DtrOn, DtrOff, on); }
    bool setRequestToSend(bool on) override { return m_line.setModemControl(RtsOn, RtsOff, on); }
    std::optional<Inputs> inputs() override { return m_line.modemInputs(); }
    bool setBreak(bool on) override { return m_line.setModemControl(BreakOn, BreakOff, on); }

private:
    RemoteLine &m_line;
};

RemoteLine::RemoteLine(const RemoteAddress &address, const QString &portText, QObject *parent)
    : CommLine(parent), m_address(address), m_portText(portText), m_lines(std::make_unique<Lines>(*this))
{
    connect(&m_socket, &QTcpSocket::readyRead, this, &RemoteLine::takeIn);
    connect(&m_socket, &QTcpSocket::bytesWritten, this, &RemoteLine::pushOutput);
    connect(&m_socket, &QTcpSocket::disconnected, this, &RemoteLine::onDisconnected);
    // Gathered arrivals are told as any other: after a wait that runs meanwhile.
    connect(&m_arrivals, &ArrivalBatcher::due, this, [this] {
        if (m_waiting)
            m_arrivedWhileWaiting = true;
        else
            emit readyRead();
    });
}

RemoteLine::~RemoteLine()
{
    disconnect(&m_socket, nullptr, this, nullptr);
    m_socket.abort();
}

void RemoteLine::open()
{
    const QString where = tr("%1（%2）").arg(m_portText, m_address.hostAndPort());
    m_socket.setReadBufferSize(ReadBufferBytes);
    m_socket.connectToHost(m_address.host, m_address.port);
    if (!m_socket.waitForConnected(ConnectMilliseconds)) {
        const QString reason = m_socket.errorString();
        m_socket.abort();
        fail(CommErrors::ErrorPortNotFound, tr("%1不存在：无法连接到服务器：%2").arg(where, reason));
    }
    // Each command and answer of the far end counts in the answer times.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (!carriesSettings())
        return;
    m_socket.write(m_codec.offers());
    const bool answered = waitFor([this] { return m_codec.comPortOption() != TelnetCodec::OptionState::Offered; },
                                  AnswerMilliseconds);
    if (!answered || m_codec.comPortOption() != TelnetCodec::OptionState::Accepted) {
        m_socket.abort();
        fail(CommErrors::ErrorLineSetting,
             tr("%1的服务器不接受 RFC 2217 串口选项，无法设置线路参数；只传数据请用 tcp://").arg(where));
    }
}

// The four settings go out together; the server answers each with the value it holds.
CommLine::Refusal RemoteLine::applyLine(const LineSettings &line)
{
    if (!carriesSettings())
        return Refusal::None;
    struct Asked
    {
        quint8 command;
        QByteArray value;
        Refusal refusal;
    };
    const Asked asked[] = {
        {TelnetCodec::SetBaudRate, baudValue(line.baudRate), Refusal::BaudRate},
        {TelnetCodec::SetDataSize, oneByte(quint8(line.dataBits)), Refusal::DataBits},
        {TelnetCodec::SetParity, oneByte(parityValue(line.parity)), Refusal::Parity},
        {TelnetCodec::SetStopSize, oneByte(stopValue(line.stopBits)), Refusal::StopBits},
    };
    const auto any = [](quint8) { return true; };
    for (const Asked &setting : asked) {
        forgetAnswers(setting.command);
        send(setting.command, setting.value);
    }
    waitFor(
        [&] {
            for (const Asked &setting : asked) {
                if (!answerTo(setting.command, any))
                    return false;
            }
            return true;
        },
        AnswerMilliseconds);
    for (const Asked &setting : asked) {
        if (answerTo(setting.command, any) != setting.value)
            return setting.refusal;
    }
    return Refusal::None;
}

bool RemoteLine::applyHandshake(int handshaking)
{
    if (!carriesSettings())
        return true;
    // RFC 2217 has no value for RTS/CTS together with XON/XOFF.
    static const std::optional<quint8> flow[] = {FlowNone, FlowXonXoff, FlowHardware, std::nullopt};
    if (!flow[handshaking])
        return false;
    forgetAnswers(TelnetCodec::SetControl);
    send(TelnetCodec::SetControl, oneByte(*flow[handshaking]));
    const auto flowAnswer = [](quint8 value) { return isFlowValue(value); };
    waitFor([&] { return answerTo(TelnetCodec::SetControl, flowAnswer).has_value(); }, AnswerMilliseconds);
    return answerTo(TelnetCodec::SetControl, flowAnswer) == oneByte(*flow[handshaking]);
}

QByteArray RemoteLine::readAll()
{
    const QByteArray taken = std::exchange(m_input, {});
    // What the socket held back while the buffer was full comes in now.
    if (m_socket.bytesAvailable() > 0)
        takeIn();
    return taken;
}

void RemoteLine::write(const QByteArray &bytes)
{
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        fail(CommErrors::ErrorDeviceIo, tr("%1发送数据失败：与服务器的连接已断开").arg(m_portText));
    const bool queueWasEmpty = bytesToWrite() == 0;
    m_pending += bytes;
    pushOutput();
    // As for a local port: the bytes leave now, not on the next pass of the event loop.
    if (queueWasEmpty)
        m_socket.flush();
}

void RemoteLine::discardInput()
{
    takeIn();
    m_input.clear();
    if (carriesSettings())
        send(TelnetCodec::PurgeData, oneByte(PurgeReceived));
}

void RemoteLine::discardOutput()
{
    m_pending.clear();
    if (carriesSettings())
        send(TelnetCodec::PurgeData, oneByte(PurgeUnsent));
}

bool RemoteLine::updateLineErrors(LineErrorCounts &counts)
{
    if (!carriesSettings())
        return false;
    counts = m_lineErrors;
    return true;
}

void RemoteLine::send(quint8 command, const QByteArray &value)
{
    m_socket.write(TelnetCodec::comPortCommand(command, value));
    m_socket.flush();
}

std::optional<QByteArray> RemoteLine::answerTo(quint8 command, const std::function<bool(quint8)> &matches) const
{
    for (const TelnetCodec::ComPortAnswer &answer : m_answers) {
        if (answer.command == command && !answer.value.isEmpty() && matches(quint8(answer.value.at(0))))
            return answer.value;
    }
    return std::nullopt;
}

void RemoteLine::forgetAnswers(quint8 command)
{
    m_answers.removeIf([command](const TelnetCodec::ComPortAnswer &answer) { return answer.command == command; });
}

// Waits without the event loop, so that nothing of the window runs inside an open.
bool RemoteLine::waitFor(const std::function<bool()> &done, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    m_waiting = true;
    bool met = done();
    while (!met && !deadline.hasExpired() && m_socket.state() == QAbstractSocket::ConnectedState) {
        if (m_socket.waitForReadyRead(int(deadline.remainingTime())))
            takeIn();
        met = done();
    }
    m_waiting = false;
    if (std::exchange(m_arrivedWhileWaiting, false))
        QMetaObject::invokeMethod(this, [this] { emit readyRead(); }, Qt::QueuedConnection);
    return met;
}

bool RemoteLine::setModemControl(quint8 on, quint8 off, bool raise)
{
    if (!carriesSettings())
        return false;
    forgetAnswers(TelnetCodec::SetControl);
    send(TelnetCodec::SetControl, oneByte(raise ? on : off));
    if (m_modemControlMissing)
        return false;
    const auto pairAnswer = [on, off](quint8 value) { return value == on || value == off; };
    if (waitFor([&] { return answerTo(TelnetCodec::SetControl, pairAnswer).has_value(); }, ModemAnswerMilliseconds))
        return true;
    m_modemControlMissing = true;
    // Told once a run per server line: every start would show the same again.
    static QSet<QString> told;
    if (told.contains(m_address.hostAndPort()))
        return false;
    told.insert(m_address.hostAndPort());
    emit notice(tr("%1（%2）的服务器没有应答 DTR、RTS 和中断信号的设置，这条线路上它们不可用。")
                    .arg(m_portText, m_address.hostAndPort()));
    return false;
}

std::optional<ModemLines::Inputs> RemoteLine::modemInputs() const
{
    if (!m_modemState || m_modemControlMissing)
        return std::nullopt;
    const quint8 state = *m_modemState;
    return ModemLines::Inputs {bool(state & ModemCts), bool(state & ModemDsr), bool(state & ModemDcd),
                               bool(state & ModemRi)};
}

void RemoteLine::takeIn()
{
    bool arrived = false;
    while (m_input.size() < ReadBufferBytes && m_socket.bytesAvailable() > 0) {
        const QByteArray chunk = m_socket.read(ReadBufferBytes - m_input.size());
        const QByteArray data = carriesSettings() ? m_codec.decode(chunk) : chunk;
        m_input += data;
        arrived = arrived || !data.isEmpty();
    }
    if (carriesSettings()) {
        const QByteArray replies = m_codec.takeReplies();
        if (!replies.isEmpty())
            m_socket.write(replies);
        const LineErrorCounts before = m_lineErrors;
        takeAnswers();
        arrived = arrived || m_lineErrors.eventsSince(before).size() > 0;
    }
    if (!arrived)
        return;
    if (m_waiting)
        m_arrivedWhileWaiting = true;
    else
        m_arrivals.arrived();
}

void RemoteLine::takeAnswers()
{
    for (const TelnetCodec::ComPortAnswer &answer : m_codec.takeAnswers()) {
        if (answer.value.isEmpty())
            continue;
        const quint8 value = quint8(answer.value.at(0));
        switch (answer.command) {
        case TelnetCodec::NotifyLineState:
            countLineState(value);
            break;
        case TelnetCodec::NotifyModemState:
            m_modemState = value;
            break;
        case TelnetCodec::SetBaudRate:
        case TelnetCodec::SetDataSize:
        case TelnetCodec::SetParity:
        case TelnetCodec::SetStopSize:
        case TelnetCodec::SetControl:
            m_answers.append(answer);
            break;
        default:
            break;
        }
    }
}

void RemoteLine::countLineState(quint8 state)
{
    m_lineErrors.overrun += (state & LineOverrun) ? 1 : 0;
    m_lineErrors.parity += (state & LineParity) ? 1 : 0;
    m_lineErrors.frame += (state & LineFraming) ? 1 : 0;
    m_lineErrors.breaks += (state & LineBreak) ? 1 : 0;
}

void RemoteLine::pushOutput()
{
    while (!m_pending.isEmpty() && m_socket.bytesToWrite() < SocketChunkBytes) {
        const QByteArray chunk = m_pending.left(SocketChunkBytes);
        m_pending.remove(0, chunk.size());
        m_socket.write(carriesSettings() ? TelnetCodec::escaped(chunk) : chunk);
    }
}

void RemoteLine::onDisconnected()
{
    if (m_waiting || m_lost)
        return;
    m_lost = true;
    emit lost();
}

void RemoteLine::fail(int number, const QString &description)
{
    throw Component::RuntimeError(number, description);
}

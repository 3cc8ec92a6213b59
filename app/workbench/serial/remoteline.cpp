// Velmora workbench. Licensed under the MIT licence.
#include "remoteline.h"

#include <runtimeerror.h>
#include "commerrors.h"

#include "tcpkeepalive.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QtEndian>

#include <limits>

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
    connect(&m_socket, &QTcpSocket::bytesWritten, this, &RemoteLine::onWritten);
    connect(&m_socket, &QTcpSocket::disconnected, this, &RemoteLine::onDisconnected);
    // A wait looks again at each change: connected, refused, closed.
    connect(&m_socket, &QTcpSocket::stateChanged, this, [this] {
        if (m_loop)
            m_loop->quit();
    });
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

QString RemoteLine::where() const
{
    return tr("%1（%2）").arg(m_portText, m_address.hostAndPort());
}

void RemoteLine::open()
{
    connectToServer();
    // Each command and answer of the far end counts in the answer times.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    TcpKeepAlive::enable(m_socket.socketDescriptor());
    if (!carriesSettings())
        return;
    sendProtocol(m_codec.offers());
    m_socket.flush();
    const bool answered = waitFor([this] { return m_codec.comPortOption() != TelnetCodec::OptionState::Offered; },
                                  AnswerMilliseconds);
    requireConnected();
    if (!answered || m_codec.comPortOption() != TelnetCodec::OptionState::Accepted) {
        cancel();
        fail(CommErrors::ErrorLineSetting,
             tr("%1的服务器不接受 RFC 2217 串口选项，无法设置线路参数；只传数据请用 tcp://").arg(where()));
    }
}

// A server that cannot be reached is a missing port; the failure says what happened.
void RemoteLine::connectToServer()
{
    emit connecting();
    m_socket.setReadBufferSize(ReadBufferBytes);
    QElapsedTimer waited;
    waited.start();
    m_socket.connectToHost(m_address.host, m_address.port);
    if (waitFor([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, ConnectMilliseconds))
        return;
    if (m_cancelled)
        requireConnected();
    QString reason;
    switch (m_socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
        reason = tr("服务器拒绝连接");
        break;
    case QAbstractSocket::HostNotFoundError:
        reason = tr("找不到主机 %1").arg(m_address.host);
        break;
    case QAbstractSocket::RemoteHostClosedError:
        reason = tr("服务器断开了连接");
        break;
    default:
        // Qt keeps a connection reset before it saw it established as still connecting.
        reason = m_socket.state() == QAbstractSocket::UnconnectedState
            ? m_socket.errorString()
            : tr("%1 秒内没有建立连接").arg(QString::number(waited.elapsed() / 1000.0, 'f', 1));
        break;
    }
    cancel();
    fail(CommErrors::ErrorPortNotFound, tr("%1不存在：无法连接到服务器：%2").arg(where(), reason));
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
        awaitAnswers(setting.command);
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
    // A lost server is told as lost, never as a setting it refused.
    requireConnected();
    Refusal refusal = Refusal::None;
    for (const Asked &setting : asked) {
        if (refusal == Refusal::None && answerTo(setting.command, any) != setting.value)
            refusal = setting.refusal;
        settle(setting.command);
    }
    return refusal;
}

bool RemoteLine::applyHandshake(int handshaking)
{
    if (!carriesSettings())
        return true;
    // RFC 2217 has no value for RTS/CTS together with XON/XOFF.
    static const std::optional<quint8> flow[] = {FlowNone, FlowXonXoff, FlowHardware, std::nullopt};
    if (!flow[handshaking])
        return false;
    awaitAnswers(TelnetCodec::SetControl);
    send(TelnetCodec::SetControl, oneByte(*flow[handshaking]));
    const auto flowAnswer = [](quint8 value) { return isFlowValue(value); };
    waitFor([&] { return answerTo(TelnetCodec::SetControl, flowAnswer).has_value(); }, AnswerMilliseconds);
    requireConnected();
    const bool taken = answerTo(TelnetCodec::SetControl, flowAnswer) == oneByte(*flow[handshaking]);
    settle(TelnetCodec::SetControl);
    return taken;
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
    if (m_lost || m_cancelled || m_socket.state() != QAbstractSocket::ConnectedState)
        fail(CommErrors::ErrorDeviceIo, tr("%1发送数据失败：与服务器的连接已断开").arg(m_portText));
    const bool queueWasEmpty = bytesToWrite() == 0;
    m_pending += bytes;
    pushOutput();
    // As for a local port: the bytes leave now, not on the next pass of the event loop.
    if (queueWasEmpty)
        m_socket.flush();
}

qint64 RemoteLine::bytesToWrite() const
{
    return m_pending.size() + qMax<qint64>(0, m_socket.bytesToWrite() - m_protocolInSocket);
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

void RemoteLine::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    m_socket.abort();
    if (m_loop)
        m_loop->quit();
}

void RemoteLine::requireConnected()
{
    if (m_cancelled)
        fail(CommErrors::ErrorOpenCancelled, tr("%1的连接已经取消").arg(where()));
    if (!m_breach.isEmpty())
        fail(CommErrors::ErrorDeviceIo, m_breach);
    if (m_lost || m_socket.state() != QAbstractSocket::ConnectedState) {
        const QString reason = m_socket.error() == QAbstractSocket::SocketTimeoutError
            ? tr("服务器没有回应，网络可能已经中断")
            : tr("服务器断开了连接");
        fail(CommErrors::ErrorPortNotFound, tr("%1不存在：%2").arg(where(), reason));
    }
}

void RemoteLine::send(quint8 command, const QByteArray &value)
{
    sendProtocol(TelnetCodec::comPortCommand(command, value));
    m_socket.flush();
}

// Negotiation replies and commands are counted apart from the user's data: a server
// that never reads them is cut off at MaxProtocolBacklogBytes.
void RemoteLine::sendProtocol(const QByteArray &bytes)
{
    if (bytes.isEmpty() || m_socket.state() != QAbstractSocket::ConnectedState)
        return;
    if (m_protocolInSocket + bytes.size() > MaxProtocolBacklogBytes) {
        breakOff(tr("它不读取协议应答，未读的已超过 %1 KB").arg(MaxProtocolBacklogBytes / 1024));
        return;
    }
    if (m_socket.write(bytes) != bytes.size())
        return;
    m_protocolInSocket += bytes.size();
    if (!m_inSocket.empty() && m_inSocket.back().second)
        m_inSocket.back().first += bytes.size();
    else
        m_inSocket.emplace_back(bytes.size(), true);
}

std::optional<QByteArray> RemoteLine::answerTo(quint8 command, const std::function<bool(quint8)> &matches) const
{
    for (const TelnetCodec::ComPortAnswer &answer : m_answers) {
        if (answer.command == command && !answer.value.isEmpty() && matches(quint8(answer.value.at(0))))
            return answer.value;
    }
    return std::nullopt;
}

// Answers are kept only to a command asked and not yet settled; any other is dropped.
void RemoteLine::awaitAnswers(quint8 command)
{
    settle(command);
    m_awaited.append(command);
}

void RemoteLine::settle(quint8 command)
{
    m_awaited.removeAll(command);
    m_answers.removeIf([command](const TelnetCodec::ComPortAnswer &answer) { return answer.command == command; });
}

// Waits inside the event loop, so that the window paints and, in a start, its start
// button can cancel. The line's own arrivals and its loss are told when the wait ends,
// never from inside it; one wait at a time runs on a line.
bool RemoteLine::waitFor(const std::function<bool()> &done, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    if (m_startDeadline && m_startDeadline->deadlineNSecs() < deadline.deadlineNSecs())
        deadline = *m_startDeadline;
    const auto ended = [&] {
        return m_cancelled || m_lost || !m_breach.isEmpty() || deadline.hasExpired()
            || m_socket.state() == QAbstractSocket::UnconnectedState;
    };
    bool met = done();
    if (met || m_waiting || ended())
        return met;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    const QEventLoop::ProcessEventsFlags flags =
        m_startDeadline ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
    m_loop = &loop;
    m_waiting = true;
    while (!met && !ended()) {
        limit.start(int(qBound(qint64(1), deadline.remainingTime(), qint64(std::numeric_limits<int>::max()))));
        loop.exec(flags);
        met = done();
    }
    m_waiting = false;
    m_loop = nullptr;
    if (std::exchange(m_arrivedWhileWaiting, false))
        QMetaObject::invokeMethod(this, [this] { emit readyRead(); }, Qt::QueuedConnection);
    loseConnection();
    return met;
}

bool RemoteLine::setModemControl(quint8 on, quint8 off, bool raise)
{
    if (!carriesSettings() || m_lost || m_cancelled || m_socket.state() != QAbstractSocket::ConnectedState)
        return false;
    awaitAnswers(TelnetCodec::SetControl);
    send(TelnetCodec::SetControl, oneByte(raise ? on : off));
    if (m_modemControlMissing) {
        settle(TelnetCodec::SetControl);
        return false;
    }
    // Asked while another wait of this line runs: it goes out unchecked.
    if (m_waiting)
        return true;
    const auto pairAnswer = [on, off](quint8 value) { return value == on || value == off; };
    const bool answered =
        waitFor([&] { return answerTo(TelnetCodec::SetControl, pairAnswer).has_value(); }, ModemAnswerMilliseconds);
    settle(TelnetCodec::SetControl);
    // A server that went away meanwhile is told as a loss, not as missing lines.
    if (answered || m_lost || m_cancelled || !m_breach.isEmpty())
        return answered;
    m_modemControlMissing = true;
    // This open line tells it once; the next start asks again, and tells again.
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
    while (m_breach.isEmpty() && m_input.size() < ReadBufferBytes && m_socket.bytesAvailable() > 0) {
        // Decoded in pieces whose refusals stay within the codec's cap: offers of a server
        // that reads the refusals cost nothing; one that does not is cut off by the
        // backlog of what it left unread.
        const qint64 piece = carriesSettings() ? TelnetCodec::SafePieceBytes : SocketChunkBytes;
        const QByteArray chunk = m_socket.read(qMin(piece, ReadBufferBytes - m_input.size()));
        const QByteArray data = carriesSettings() ? m_codec.decode(chunk) : chunk;
        m_input += data;
        arrived = arrived || !data.isEmpty();
        if (!carriesSettings())
            continue;
        switch (m_codec.breach()) {
        case TelnetCodec::Breach::None:
            break;
        case TelnetCodec::Breach::LongSubnegotiation:
            breakOff(tr("一条子协商超过了 %1 字节").arg(TelnetCodec::MaxSubnegotiationBytes));
            break;
        case TelnetCodec::Breach::AnswerFlood:
            breakOff(tr("它发来了大量未经请求的串口应答"));
            break;
        case TelnetCodec::Breach::NegotiationFlood:
            breakOff(tr("它发来了大量选项协商"));
            break;
        }
        sendProtocol(m_codec.takeReplies());
        const LineErrorCounts before = m_lineErrors;
        takeAnswers();
        arrived = arrived || m_lineErrors.eventsSince(before).size() > 0;
    }
    if (m_loop)
        m_loop->quit();
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
            if (!m_awaited.contains(answer.command))
                break;
            if (m_answers.size() >= MaxKeptAnswers) {
                breakOff(tr("它对一次设置发来了大量应答"));
                return;
            }
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
    while (!m_pending.isEmpty() && m_socket.bytesToWrite() < SocketChunkBytes
           && m_socket.state() == QAbstractSocket::ConnectedState) {
        const QByteArray chunk = m_pending.left(SocketChunkBytes);
        m_pending.remove(0, chunk.size());
        const QByteArray wire = carriesSettings() ? TelnetCodec::escaped(chunk) : chunk;
        if (m_socket.write(wire) != wire.size())
            return;
        if (!m_inSocket.empty() && !m_inSocket.back().second)
            m_inSocket.back().first += wire.size();
        else
            m_inSocket.emplace_back(wire.size(), false);
    }
}

void RemoteLine::onWritten(qint64 bytes)
{
    while (bytes > 0 && !m_inSocket.empty()) {
        auto &[size, protocol] = m_inSocket.front();
        const qint64 taken = qMin(bytes, size);
        size -= taken;
        bytes -= taken;
        if (protocol)
            m_protocolInSocket -= taken;
        if (size == 0)
            m_inSocket.pop_front();
    }
    pushOutput();
}

// Recorded whenever it happens; told once, and not from inside a wait.
void RemoteLine::onDisconnected()
{
    if (m_cancelled)
        return;
    m_lost = true;
    m_inSocket.clear();
    m_protocolInSocket = 0;
    if (m_loop)
        m_loop->quit();
    loseConnection();
}

void RemoteLine::loseConnection()
{
    if (!m_lost || m_lossTold || m_cancelled || m_waiting)
        return;
    m_lossTold = true;
    emit lost();
}

// A server past one of the caps gets nothing more from this side: what it made this
// side keep goes, and the connection ends as a lost one, with the reason.
void RemoteLine::breakOff(const QString &breach)
{
    if (!m_breach.isEmpty() || m_lost || m_cancelled)
        return;
    m_breach = tr("%1的服务器违反了 RFC 2217 协议：%2。连接已经关闭。").arg(where(), breach);
    m_answers.clear();
    m_awaited.clear();
    m_socket.abort();
    if (m_socket.state() != QAbstractSocket::ConnectedState && !m_lost)
        onDisconnected();
}

void RemoteLine::fail(int number, const QString &description)
{
    throw Component::RuntimeError(number, description);
}

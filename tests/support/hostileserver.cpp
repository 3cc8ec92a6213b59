// Velmora tests. Licensed under the MIT licence.
#include "hostileserver.h"

#include <QFile>
#include <QTimer>

#include <sys/socket.h>

namespace {

constexpr quint8 Iac = 255, Sb = 250, Se = 240, Will = 251, Do = 253;
constexpr quint8 ComPortOption = 44;
constexpr quint8 SetBaudRate = 1, SetStopSize = 4, SetControl = 5;
// Bytes a flood keeps queued on its socket; more would only grow this process.
constexpr qint64 FloodQueueBytes = 256 * 1024;

QByteArray bytes(std::initializer_list<quint8> values)
{
    QByteArray out;
    for (quint8 value : values)
        out += char(value);
    return out;
}

bool isFlowValue(quint8 value)
{
    return value <= 3;
}

} // namespace

HostileServer::HostileServer(Phase phase, Misdeed misdeed, int lateMilliseconds, int occurrence)
    : m_phase(phase), m_misdeed(misdeed), m_lateMilliseconds(lateMilliseconds), m_occurrence(occurrence)
{
    m_server.listen(QHostAddress::LocalHost);
    // A small receive window for the connections to come: what this side leaves unread
    // soon backs up into the client.
    if (misdeed == Misdeed::OptionFlood) {
        const int window = 4096;
        ::setsockopt(int(m_server.socketDescriptor()), SOL_SOCKET, SO_RCVBUF, &window, sizeof window);
    }
    connect(&m_server, &QTcpServer::newConnection, this, &HostileServer::accept);
    connect(&m_pace, &QTimer::timeout, this, &HostileServer::flood);
}

QString HostileServer::address() const
{
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port());
}

bool HostileServer::connected() const
{
    return m_client && m_client->state() == QAbstractSocket::ConnectedState;
}

void HostileServer::accept()
{
    while (QTcpSocket *client = m_server.nextPendingConnection()) {
        // The newest client is served, as ser2net serves one: a look at the port by a
        // scan may still be closing.
        if (m_client) {
            m_client->abort();
            m_client->deleteLater();
        }
        ++m_connections;
        m_client = client;
        m_misbehaving = false;
        m_reached = 0;
        m_stream.clear();
        connect(client, &QTcpSocket::readyRead, this, &HostileServer::takeIn);
        connect(client, &QTcpSocket::bytesWritten, this, [this] {
            if (m_misdeed != Misdeed::OptionFlood)
                flood();
        });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        reached(Phase::Connect);
    }
}

void HostileServer::takeIn()
{
    if (!m_client)
        return;
    // An option flood reads nothing: the client's replies pile up in front of it.
    if (m_misbehaving && m_misdeed == Misdeed::OptionFlood)
        return;
    m_stream += m_client->readAll();
    answerFrames();
}

// Option offers get their acceptance, COM-PORT commands their echo, data its echo.
void HostileServer::answerFrames()
{
    while (!m_stream.isEmpty() && m_client) {
        if (quint8(m_stream.at(0)) != Iac) {
            qsizetype end = m_stream.indexOf(char(Iac));
            if (end < 0)
                end = m_stream.size();
            const QByteArray data = m_stream.left(end);
            m_stream.remove(0, end);
            reached(Phase::Data);
            answer(data, Phase::Data);
            continue;
        }
        if (m_stream.size() < 3)
            return;
        const quint8 verb = quint8(m_stream.at(1));
        if (verb == Will || verb == Do) {
            const quint8 option = quint8(m_stream.at(2));
            m_stream.remove(0, 3);
            if (option == ComPortOption)
                reached(Phase::Offers);
            answer(bytes({Iac, quint8(verb == Will ? Do : Will), option}), Phase::Offers);
            continue;
        }
        if (verb != Sb) {
            m_stream.remove(0, verb == Iac ? 2 : 3);
            continue;
        }
        const qsizetype end = m_stream.indexOf(bytes({Iac, Se}));
        if (end < 0)
            return;
        QByteArray frame = m_stream.left(end + 2);
        m_stream.remove(0, end + 2);
        if (frame.size() < 6 || quint8(frame.at(2)) != ComPortOption)
            continue;
        const quint8 command = quint8(frame.at(3));
        Phase phase = Phase::Data;
        if (command >= SetBaudRate && command <= SetStopSize)
            phase = Phase::Settings;
        else if (command == SetControl)
            phase = isFlowValue(quint8(frame.at(4))) ? Phase::Handshake : Phase::ModemControl;
        reached(phase);
        frame[3] = char(command + 100);
        answer(frame, phase);
    }
}

void HostileServer::reached(Phase phase)
{
    if (m_misbehaving || phase != m_phase || !m_client || ++m_reached < m_occurrence)
        return;
    m_misbehaving = true;
    switch (m_misdeed) {
    case Misdeed::None:
    case Misdeed::Silence:
    case Misdeed::Late:
    case Misdeed::LateEveryAnswer:
        break;
    case Misdeed::Close:
        m_client->disconnectFromHost();
        break;
    case Misdeed::Reset:
        resetConnection();
        break;
    case Misdeed::EndlessSubnegotiation:
        m_client->write(bytes({Iac, Sb, ComPortOption, SetBaudRate + 100}));
        flood();
        break;
    case Misdeed::AnswerFlood:
        flood();
        break;
    case Misdeed::OptionFlood:
        // Paced, a block a millisecond, so that one read of the client refuses a few
        // thousand bytes' worth: what piles up is the refusals this side never reads.
        m_client->setReadBufferSize(1);
        m_pace.start(1);
        break;
    }
}

// Silence and lateness are for the answers of the script's phase; the other misdeeds
// last from their phase on.
void HostileServer::answer(const QByteArray &reply, Phase phase)
{
    if (!m_client)
        return;
    if (!m_misbehaving || m_misdeed == Misdeed::None) {
        m_client->write(reply);
        return;
    }
    switch (m_misdeed) {
    case Misdeed::Silence:
        if (phase != m_phase)
            m_client->write(reply);
        return;
    case Misdeed::Late:
    case Misdeed::LateEveryAnswer:
        if (m_misdeed == Misdeed::Late && phase != m_phase) {
            m_client->write(reply);
            return;
        }
        QTimer::singleShot(m_lateMilliseconds, this, [this, reply] {
            if (m_client)
                m_client->write(reply);
        });
        return;
    case Misdeed::Close:
    case Misdeed::Reset:
        return;
    default:
        break;
    }
    // While a flood runs only the flood goes out.
}

// Keeps FloodQueueBytes queued on the socket, no more, for as long as the client lasts.
void HostileServer::flood()
{
    if (!m_misbehaving || !m_client || m_client->state() != QAbstractSocket::ConnectedState)
        return;
    QByteArray unit;
    switch (m_misdeed) {
    case Misdeed::EndlessSubnegotiation:
        unit = QByteArray(4096, 'x');
        break;
    case Misdeed::AnswerFlood:
        unit = bytes({Iac, Sb, ComPortOption, SetBaudRate + 100, 0, 0, 0x25, 0x80, Iac, Se});
        break;
    case Misdeed::OptionFlood:
        // Offers of an option nobody knows, which a client refuses each time.
        unit = bytes({Iac, Will, 99});
        break;
    default:
        return;
    }
    const qsizetype blockBytes = m_misdeed == Misdeed::OptionFlood ? 2040 : 16384;
    QByteArray block;
    while (block.size() < blockBytes)
        block += unit;
    if (m_misdeed == Misdeed::OptionFlood) {
        if (m_client->bytesToWrite() < FloodQueueBytes) {
            m_client->write(block);
            m_flooded += block.size();
        }
        return;
    }
    while (m_client && m_client->bytesToWrite() < FloodQueueBytes
           && m_client->state() == QAbstractSocket::ConnectedState) {
        m_client->write(block);
        m_flooded += block.size();
    }
}

// SO_LINGER with a zero timeout makes the close send RST instead of FIN.
void HostileServer::resetConnection()
{
    const linger option {1, 0};
    ::setsockopt(int(m_client->socketDescriptor()), SOL_SOCKET, SO_LINGER, &option, sizeof option);
    m_client->abort();
}

qint64 peakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}

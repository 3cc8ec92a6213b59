// Velmora fuzz targets. Licensed under the MIT licence.
// A network line's start against a server that answers each phase either as a sound
// RFC 2217 server would (each COM-PORT command back with the value asked for) or with
// anything at all: the line never crashes or leaks, never sends more than its own
// commands and a reply per negotiation it was sent, and a server that answers every
// phase soundly gets a start that takes every setting.
#include "fuzzcheck.h"
#include "rfc2217peer.h"

#include <commline.h>
#include <remoteaddress.h>
#include <remoteline.h>
#include <runtimeerror.h>

#include <QCoreApplication>

#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int MaxTurns = 8;
// What the line sends of its own in a start: offers, four settings, the handshake, the
// modem lines and purges, each value escaped.
constexpr qsizetype OwnCommandBytes = 256;

struct Turn
{
    bool sound = true;      // answer what was asked, with the values asked for
    QByteArray raw;         // else these bytes, whatever they are
};

// A server for one connection on a thread of its own: one turn for each phase the line
// sends, or for each 5 ms the line stays silent; after the last turn it hangs up.
class ScriptedServer
{
public:
    explicit ScriptedServer(QList<Turn> turns) : m_turns(std::move(turns))
    {
        m_listener = Rfc2217Peer::listenOnLoopback(m_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~ScriptedServer() { join(); }

    quint16 port() const { return m_port; }
    void join()
    {
        if (m_thread.joinable()) {
            ::shutdown(m_listener, SHUT_RDWR);
            m_thread.join();
            ::close(m_listener);
        }
    }
    qsizetype sent() const { return m_sent; }
    qsizetype received() const { return m_received; }

private:
    void serve()
    {
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client < 0)
            return;
        QByteArray stream;
        for (const Turn &turn : m_turns) {
            // A sound server waits for a whole phase; any other answers whatever came.
            const int waitMs = turn.sound ? 500 : 5;
            bool open = true;
            while (open && Rfc2217Peer::readable(client, stream.isEmpty() ? waitMs : 20))
                open = take(client, stream);
            if (!open)
                break;
            const QByteArray answer = turn.sound ? Rfc2217Peer::soundAnswers(stream) : turn.raw;
            if (!answer.isEmpty() && ::write(client, answer.constData(), size_t(answer.size())) < 0)
                break;
            m_sent += answer.size();
        }
        ::close(client);
    }
    bool take(int client, QByteArray &stream)
    {
        char buffer[4096];
        const ssize_t got = ::read(client, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        stream.append(buffer, got);
        m_received += got;
        return true;
    }

    QList<Turn> m_turns;
    int m_listener = -1;
    quint16 m_port = 0;
    qsizetype m_sent = 0;
    qsizetype m_received = 0;
    std::thread m_thread;
};

LineSettings settingsOf(FuzzInput &input)
{
    static const qint32 rates[] = {50, 300, 9600, 115200, 250000, 921600, 4000000, 0x7fffffff};
    static const QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::EvenParity,
                                                   QSerialPort::OddParity, QSerialPort::MarkParity,
                                                   QSerialPort::SpaceParity};
    static const LineSettings::StopBits stops[] = {LineSettings::StopBits::One, LineSettings::StopBits::OneAndHalf,
                                                   LineSettings::StopBits::Two};
    const quint8 choice = input.byte();
    LineSettings line;
    line.baudRate = rates[choice % 8];
    line.parity = parities[(choice / 8) % 5];
    line.dataBits = 4 + input.byte() % 5;
    line.stopBits = stops[input.byte() % 3];
    return line;
}

struct Outcome
{
    bool opened = false;
    bool lineTaken = false;
    bool handshakeTaken = false;
    bool dtrTaken = false;
    bool rtsTaken = false;
    qsizetype dataBytes = 0;
};

Outcome start(quint16 port, const LineSettings &line, int handshake)
{
    Outcome outcome;
    RemoteAddress address;
    address.protocol = RemoteAddress::Protocol::Rfc2217;
    address.host = QStringLiteral("127.0.0.1");
    address.port = port;
    RemoteLine remote(address, QStringLiteral("Com 1"));
    try {
        remote.open();
        outcome.opened = true;
        outcome.lineTaken = remote.applyLine(line) == CommLine::Refusal::None;
        outcome.handshakeTaken = remote.applyHandshake(handshake);
        outcome.dtrTaken = remote.modemLines().setDataTerminalReady(true);
        outcome.rtsTaken = remote.modemLines().setRequestToSend(true);
        remote.modemLines().inputs();
        LineErrorCounts counts;
        remote.updateLineErrors(counts);
        QCoreApplication::processEvents();
        outcome.dataBytes = remote.readAll().size();
    } catch (const Component::RuntimeError &) {
    }
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_remoteline";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);

    FuzzInput input(data, size);
    const LineSettings line = settingsOf(input);
    const int handshake = input.byte() % 4;
    QList<Turn> turns;
    bool allSound = true;
    while (!input.atEnd() && turns.size() < MaxTurns) {
        const quint8 kind = input.byte();
        Turn turn;
        turn.sound = (kind & 1) == 0;
        if (!turn.sound)
            turn.raw = input.bytes(kind >> 1);
        allSound = allSound && turn.sound;
        turns.append(turn);
    }

    ScriptedServer server(turns);
    const Outcome outcome = start(server.port(), line, handshake);
    server.join();

    FUZZ_CHECK(server.received() <= OwnCommandBytes + server.sent());
    FUZZ_CHECK(outcome.dataBytes <= server.sent());
    // Offer, settings, handshake, DTR and RTS: five phases answered soundly.
    if (allSound && turns.size() >= 5) {
        FUZZ_CHECK(outcome.opened);
        FUZZ_CHECK(outcome.lineTaken);
        FUZZ_CHECK(outcome.handshakeTaken == (handshake != 3));
        if (handshake != 3) {
            FUZZ_CHECK(outcome.dtrTaken);
            FUZZ_CHECK(outcome.rtsTaken);
        }
    }
    return 0;
}

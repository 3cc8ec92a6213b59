// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// An RFC 2217 server on 127.0.0.1, run by the test's own event loop, that answers as a
// served line does until its script tells it to misbehave at one phase of a start or of
// the run: close or reset the connection, answer late or never, or flood the client.
// It serves its newest client and echoes the data it is sent.
class HostileServer : public QObject
{
    Q_OBJECT

public:
    // Where a client stands, told by what it last asked.
    enum class Phase {
        Connect,        // just accepted
        Offers,         // the client's telnet offers
        Settings,       // baud rate, data bits, parity, stop bits
        Handshake,      // SET-CONTROL with a flow value
        ModemControl,   // SET-CONTROL with DTR, RTS or break
        Data,           // the first data byte
    };
    Q_ENUM(Phase)

    enum class Misdeed {
        None,
        Close,                  // closes the connection
        Reset,                  // resets it (RST)
        Silence,                // never answers from then on
        Late,                   // answers after `lateMilliseconds`
        LateEveryAnswer,        // answers this and every later phase late
        EndlessSubnegotiation,  // IAC SB without end
        AnswerFlood,            // unsolicited SET-BAUDRATE answers without end
        OptionFlood,            // option offers without end, and reads nothing more
    };
    Q_ENUM(Misdeed)

    // Misbehaves the `occurrence`th time a client reaches `phase` (a start sets DTR and
    // RTS: modem control is reached twice before the run).
    HostileServer(Phase phase = Phase::Data, Misdeed misdeed = Misdeed::None, int lateMilliseconds = 0,
                  int occurrence = 1);

    quint16 port() const { return m_server.serverPort(); }
    // "rfc2217://127.0.0.1:<port>"
    QString address() const;
    // Bytes the floods have sent so far.
    qint64 flooded() const { return m_flooded; }
    int connections() const { return m_connections; }
    // Whether the client's connection is still open on this side.
    bool connected() const;

private:
    void accept();
    void takeIn();
    void answerFrames();
    void reached(Phase phase);
    void answer(const QByteArray &reply, Phase phase);
    void flood();
    void resetConnection();

    QTcpServer m_server;
    QTimer m_pace;
    QPointer<QTcpSocket> m_client;
    Phase m_phase;
    Misdeed m_misdeed;
    int m_lateMilliseconds;
    int m_occurrence;
    int m_reached = 0;
    bool m_misbehaving = false;
    QByteArray m_stream;
    qint64 m_flooded = 0;
    int m_connections = 0;
};

// The peak resident memory of this process so far, in bytes.
qint64 peakResidentBytes();

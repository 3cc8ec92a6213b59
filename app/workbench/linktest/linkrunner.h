// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "commport.h"
#include "linkchecker.h"
#include "linkfigures.h"
#include "transferengine.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

class Session;

// The ports of a link test, set as a start of communication would open them.
struct LinkPorts
{
    TransferEngine::Line out;
    TransferEngine::Line in;
    bool outDtr = true;
    bool outRts = true;
    bool inDtr = true;
    bool inRts = true;

    bool samePort() const { return out.port == in.port; }
    // The session's choices with the line window's options: its custom rate, DTR and RTS.
    static LinkPorts of(const Session &session);
};

// One link test without a window: opens the ports, sends the pattern in one direction
// or both, checks what arrives, and ends with the figures. The sender keeps the line's
// queue short (a few blocks, or a twentieth of a second of the line's rate), so a slow
// line paces it and nothing grows without bound.
class LinkRunner : public QObject
{
    Q_OBJECT

public:
    static constexpr int PumpMilliseconds = 5;
    static constexpr int FiguresMilliseconds = 250;
    // After the sending ends, the test waits for what is on the way until nothing more
    // has come for this long.
    static constexpr int DrainMilliseconds = 1500;
    // Queued bytes a line without a baud rate (a pseudo-terminal, a network line) holds.
    static constexpr qint64 UnpacedQueueBytes = 128 * 1024;

    explicit LinkRunner(QObject *parent = nullptr);
    ~LinkRunner() override;

    // Opens the ports and begins. Throws Component::RuntimeError as the ports do; both
    // ports are closed then.
    void start(const LinkPorts &ports, const LinkSetup &setup);
    // The first stop ends the sending and lets what is under way arrive; a second ends
    // at once. Either way the figures so far are the result.
    void stop();
    bool running() const { return m_running; }

    const LinkSetup &setup() const { return m_setup; }
    const LinkPorts &ports() const { return m_ports; }
    LinkFigures figures() const;

    // Whether the port's line has a baud rate that sets its speed: not a
    // pseudo-terminal and not a line served over the network.
    static bool hasBaudRate(qint16 port);

signals:
    // The live figures are new; FiguresMilliseconds apart.
    void progress();
    // The test ended; figures() holds its result.
    void finished();

private:
    struct Stream;

    void openPort(CommPort &port, const TransferEngine::Line &line, bool dtr, bool rts);
    void pump();
    void send(Stream &stream);
    void onComm(CommPort &port);
    void receive(Stream &stream, const QByteArray &bytes);
    bool drained() const;
    void end(const QString &lossNote);
    void closePorts();

    CommPort m_outPort;
    CommPort m_inPort;
    QTimer m_pumpTimer;
    QTimer m_figuresTimer;
    QElapsedTimer m_clock;
    LinkSetup m_setup;
    LinkPorts m_ports;
    std::vector<std::unique_ptr<Stream>> m_streams;
    LinkFigures m_figures;
    bool m_running = false;
    bool m_sending = false;
    qint64 m_sendingEndedAt = -1;
};

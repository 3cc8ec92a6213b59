// Velmora workbench. Licensed under the MIT licence.
#include "linkrunner.h"

#include "blockframe.h"
#include "portmap.h"
#include "portwatcher.h"
#include "session.h"

#include <runtimeerror.h>

#include <QCoreApplication>
#include <QFileInfo>

// One direction: the pattern out of one port, checked where it arrives.
struct LinkRunner::Stream
{
    Stream(CommPort &from, CommPort &to, const LinkSetup &setup)
        : from(from), to(to), generator(setup.pattern, setup.userBytes),
          checker(setup.form, TestPattern(setup.pattern, setup.userBytes), setup.payloadBytes)
    {}

    CommPort &from;
    CommPort &to;
    TestPattern generator;
    LinkChecker checker;
    qint64 written = 0;
    quint32 nextBlock = 0;
    double rate = 0;              // the sending line's characters per second; 0: none
    // Where the stream stood after each write, and when (microseconds into the test):
    // the round trip ends when the checker has accounted for it.
    std::deque<std::pair<qint64, qint64>> marks;
    LatencyRecord latencies;
    LineFaults faults;
    qint64 lastArrival = 0;
};

LinkPorts LinkPorts::of(const Session &session)
{
    const Session::Choices &c = session.choices();
    const LineOptions &o = session.lineOptions();
    LinkPorts ports;
    ports.out = {c.outPort, session.outSettings(), c.outHandshake};
    ports.in = {c.inPort, session.inSettings(), c.inHandshake};
    // One port serving both ways is the receiving port, as a start opens it.
    ports.outDtr = c.samePort() ? o.inDTR : o.outDTR;
    ports.outRts = c.samePort() ? o.inRTS : o.outRTS;
    ports.inDtr = o.inDTR;
    ports.inRts = o.inRTS;
    return ports;
}

LinkRunner::LinkRunner(QObject *parent)
    : QObject(parent)
{
    m_pumpTimer.setInterval(PumpMilliseconds);
    m_pumpTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pumpTimer, &QTimer::timeout, this, &LinkRunner::pump);
    m_figuresTimer.setInterval(FiguresMilliseconds);
    connect(&m_figuresTimer, &QTimer::timeout, this, &LinkRunner::progress);
    connect(&m_outPort, &CommPort::OnComm, this, [this] { onComm(m_outPort); });
    connect(&m_inPort, &CommPort::OnComm, this, [this] { onComm(m_inPort); });
}

LinkRunner::~LinkRunner()
{
    closePorts();
}

bool LinkRunner::hasBaudRate(qint16 port)
{
    const QString device = PortMap::load().device(port);
    if (PortWatcher::isRemote(device))
        return false;
    return !QFileInfo(device).canonicalFilePath().startsWith(QLatin1String("/dev/pts/"));
}

void LinkRunner::start(const LinkPorts &ports, const LinkSetup &setup)
{
    if (m_running)
        return;
    m_ports = ports;
    m_setup = setup;
    m_streams.clear();
    const QDeadlineTimer deadline(TransferEngine::StartMilliseconds);
    try {
        if (ports.samePort()) {
            m_inPort.setOpenDeadline(deadline);
            openPort(m_inPort, ports.in, ports.inDtr, ports.inRts);
        } else {
            m_outPort.setOpenDeadline(deadline);
            m_inPort.setOpenDeadline(deadline);
            openPort(m_outPort, ports.out, ports.outDtr, ports.outRts);
            openPort(m_inPort, ports.in, ports.inDtr, ports.inRts);
        }
    } catch (const Component::RuntimeError &) {
        closePorts();
        throw;
    }
    CommPort &sender = ports.samePort() ? m_inPort : m_outPort;
    m_streams.push_back(std::make_unique<Stream>(sender, m_inPort, setup));
    m_streams.back()->rate = hasBaudRate(ports.out.port) ? characterRate(sender.Settings()) : 0;
    if (setup.direction == LinkSetup::Direction::BothWays && !ports.samePort()) {
        m_streams.push_back(std::make_unique<Stream>(m_inPort, m_outPort, setup));
        m_streams.back()->rate = hasBaudRate(ports.in.port) ? characterRate(m_inPort.Settings()) : 0;
    }
    m_figures = {};
    m_figures.started = QDateTime::currentDateTime();
    m_clock.start();
    m_running = true;
    m_sending = true;
    m_sendingEndedAt = -1;
    m_pumpTimer.start();
    m_figuresTimer.start();
    pump();
}

// As the engine opens a receiving port, with every byte handed on as it arrives.
void LinkRunner::openPort(CommPort &port, const TransferEngine::Line &line, bool dtr, bool rts)
{
    port.setCommPort(line.port);
    port.setSettings(line.settings);
    port.setHandshaking(line.handshake);
    port.setDTREnable(dtr);
    port.setRTSEnable(rts);
    port.setRThreshold(1);
    port.setInputMode(CommPort::InputModeBinary);
    port.setPortOpen(true);
    port.setInBufferCount(0);
    port.setOutBufferCount(0);
}

void LinkRunner::stop()
{
    if (!m_running)
        return;
    if (m_sending) {
        m_figures.stoppedEarly = true;
        m_sending = false;
        m_sendingEndedAt = m_clock.elapsed();
        return;
    }
    end({});
}

void LinkRunner::pump()
{
    if (!m_running)
        return;
    if (m_sending) {
        const qint64 elapsed = m_clock.elapsed();
        const bool timeUp = m_setup.amount == LinkSetup::Amount::Seconds && elapsed >= m_setup.seconds * 1000;
        bool allSent = true;
        for (const auto &stream : m_streams) {
            if (m_setup.amount != LinkSetup::Amount::Bytes || stream->written < m_setup.bytes)
                allSent = false;
        }
        if (timeUp || allSent) {
            m_sending = false;
            m_sendingEndedAt = elapsed;
        }
    }
    for (const auto &stream : m_streams) {
        if (!m_running)
            return;
        if (m_sending)
            send(*stream);
    }
    if (m_running && !m_sending && drained())
        end({});
}

// Tops the line's queue up to its mark, at most at the chosen share of its rate.
void LinkRunner::send(Stream &stream)
{
    const int blockBytes = stream.checker.blockBytes();
    const qint64 mark = stream.rate > 0 ? qMax<qint64>(2 * blockBytes, qint64(stream.rate / 20))
                                        : UnpacedQueueBytes;
    qint64 room = mark - stream.from.OutputPending();
    if (m_setup.pacePercent > 0 && stream.rate > 0) {
        const double allowed = stream.rate * m_setup.pacePercent / 100.0 * m_clock.elapsed() / 1000.0;
        room = qMin(room, qint64(allowed) - stream.written);
    }
    if (m_setup.amount == LinkSetup::Amount::Bytes)
        room = qMin(room, m_setup.bytes - stream.written);
    QByteArray bytes;
    if (m_setup.form == LinkChecker::Form::Framed) {
        // Whole blocks only; a byte limit ends with the block that reaches it. They are
        // made where they go out, one buffer for all.
        const bool lastBlock = m_setup.amount == LinkSetup::Amount::Bytes && room > 0 && room < blockBytes;
        const qint64 blocks = lastBlock ? 1 : qMax<qint64>(0, room / blockBytes);
        bytes.resize(blocks * blockBytes);
        unsigned char *out = reinterpret_cast<unsigned char *>(bytes.data());
        for (qint64 b = 0; b < blocks; ++b, out += blockBytes) {
            stream.generator.fill(out + BlockFrame::HeaderBytes, m_setup.payloadBytes);
            BlockFrame::seal(out, stream.nextBlock++, m_setup.payloadBytes);
        }
    } else if (room > 0) {
        bytes = stream.generator.take(room);
    }
    if (bytes.isEmpty())
        return;
    try {
        stream.from.setOutput(bytes);
    } catch (const Component::RuntimeError &error) {
        end(error.description());
        return;
    }
    stream.written += bytes.size();
    stream.marks.emplace_back(stream.written, m_clock.nsecsElapsed() / 1000);
}

void LinkRunner::onComm(CommPort &port)
{
    if (!m_running)
        return;
    const qint16 event = port.CommEvent();
    if (event == CommPort::EventDeviceLost) {
        const QString reason = port.LossReason();
        end(reason.isEmpty() ? QCoreApplication::translate("LinkRunner", "端口Com %1的设备已断开")
                                   .arg(port.CommPortNumber())
                             : reason);
        return;
    }
    for (const auto &stream : m_streams) {
        if (&stream->to != &port)
            continue;
        switch (event) {
        case CommPort::EvReceive:
            receive(*stream, port.Input().toByteArray());
            // What arrived has left the sender's queue: top it up now, not at the next tick.
            if (m_sending)
                send(*stream);
            break;
        case CommPort::EventFrame: ++stream->faults.frame; break;
        case CommPort::EventRxParity: ++stream->faults.parity; break;
        case CommPort::EventOverrun:
        case CommPort::EventRxOver: ++stream->faults.overrun; break;
        case CommPort::EventBreak: ++stream->faults.breaks; break;
        default: break;
        }
        return;
    }
    // A port that only sends takes in whatever comes back, so that nothing piles up.
    if (event == CommPort::EvReceive)
        port.Input();
}

void LinkRunner::receive(Stream &stream, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    stream.checker.feed(bytes);
    const qint64 now = m_clock.nsecsElapsed() / 1000;
    stream.lastArrival = now / 1000;
    const qint64 position = stream.checker.streamPosition();
    while (!stream.marks.empty() && (position < 0 || stream.marks.front().first <= position)) {
        if (position >= 0)
            stream.latencies.add(now - stream.marks.front().second);
        stream.marks.pop_front();
    }
}

// Everything sent arrived, or nothing more came for DrainMilliseconds: a slow line
// without a known rate may still hold a full queue when the sending ends.
bool LinkRunner::drained() const
{
    qint64 lastMove = m_sendingEndedAt;
    for (const auto &stream : m_streams)
        lastMove = qMax(lastMove, stream->lastArrival);
    if (m_clock.elapsed() - lastMove >= DrainMilliseconds)
        return true;
    for (const auto &stream : m_streams) {
        const qint64 position = stream->checker.streamPosition();
        if (stream->from.PortOpen() && stream->from.OutputPending() > 0)
            return false;
        if (position < stream->written && stream->checker.counts().bytesReceived < stream->written)
            return false;
    }
    return true;
}

void LinkRunner::end(const QString &lossNote)
{
    if (!m_running)
        return;
    m_pumpTimer.stop();
    m_figuresTimer.stop();
    for (const auto &stream : m_streams) {
        // Bytes still queued when the line went never left.
        if (stream->from.PortOpen())
            stream->written -= stream->from.OutputPending();
        stream->checker.finish(stream->written);
    }
    m_figures = figures();
    m_figures.ended = QDateTime::currentDateTime();
    m_figures.finished = true;
    m_figures.lossNote = lossNote;
    m_running = false;
    closePorts();
    emit finished();
}

void LinkRunner::closePorts()
{
    for (CommPort *port : {&m_outPort, &m_inPort}) {
        try {
            if (port->PortOpen() || port->Busy())
                port->setPortOpen(false);
        } catch (const Component::RuntimeError &) {
            // A port that fails to close is closed as far as this test goes.
        }
    }
}

LinkFigures LinkRunner::figures() const
{
    if (!m_running)
        return m_figures;
    LinkFigures figures = m_figures;
    figures.elapsedSeconds = m_clock.elapsed() / 1000.0;
    for (const auto &stream : m_streams) {
        DirectionFigures d;
        d.fromPort = stream->from.CommPortNumber();
        d.toPort = stream->to.CommPortNumber();
        d.bytesSent = stream->written;
        d.counts = stream->checker.counts();
        d.lineFaults = stream->faults;
        d.latency = stream->latencies.figures();
        const double seconds = qMax<qint64>(1, stream->lastArrival) / 1000.0;
        d.bytesPerSecond = d.counts.bytesReceived / seconds;
        d.theoreticalBytesPerSecond = stream->rate;
        figures.directions.append(d);
    }
    return figures;
}

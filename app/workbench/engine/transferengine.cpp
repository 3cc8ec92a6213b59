// Velmora workbench. Licensed under the MIT licence.
#include "transferengine.h"

#include "commandcodec.h"
#include "linesettings.h"
#include "systemcodepage.h"

#include <runtimeerror.h>
#include <uitext.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QMetaMethod>
#include <QTime>

#include <cmath>
#include <limits>

namespace {

// A signed 32-bit tick difference that overflows counts as a gap.
bool endsLine(const QString &text)
{
    return text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
}

// A mark goes at the end of its frame's line: before the line break the frame ends with.
void insertBeforeLineEnd(QString &text, const QString &mark)
{
    qsizetype end = text.size();
    while (end > 0 && (text.at(end - 1) == QLatin1Char('\r') || text.at(end - 1) == QLatin1Char('\n')))
        --end;
    text.insert(end, mark);
}

bool gapOver(qint32 last, qint32 now)
{
    const qint64 difference = qint64(now) - qint64(last);
    return difference > TransferEngine::NewLineGapMilliseconds
        || difference < std::numeric_limits<qint32>::min();
}

void closeQuietly(CommPort &port)
{
    try {
        port.setPortOpen(false);
    } catch (const Component::RuntimeError &) {
    }
}

} // namespace

TransferEngine::TransferEngine(QObject *parent)
    : QObject(parent),
      m_outPort(this), // children by name, destroyed as members before the engine
      m_inPort(this),
      m_timer(this),
      m_frameIdle(this)
{
    m_outPort.setObjectName(QStringLiteral("MSCommOutPut"));
    m_inPort.setObjectName(QStringLiteral("MSCommInPut"));
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setTimerType(Qt::PreciseTimer);

    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    m_clock = [clock] { return qint32(clock->elapsed() + 1); };

    connect(&m_timer, &QTimer::timeout, this, &TransferEngine::onTimer);
    m_frameEnd.setSingleShot(true);
    m_frameEnd.setInterval(NewLineGapMilliseconds + 1);
    m_frameEnd.setTimerType(Qt::PreciseTimer);
    connect(&m_frameEnd, &QTimer::timeout, this, &TransferEngine::judgeFrame);
    m_frameIdle.setSingleShot(true);
    connect(&m_frameIdle, &QTimer::timeout, this, [this] {
        if (m_cutter)
            showPieces(m_cutter->expire(QDateTime::currentMSecsSinceEpoch()));
    });
    connect(&m_inPort, &CommPort::OnComm, this, &TransferEngine::onInComm);
    connect(&m_outPort, &CommPort::OnComm, this, &TransferEngine::onOutComm);
    for (CommPort *port : {&m_outPort, &m_inPort}) {
        connect(port, &CommPort::notice, this, &TransferEngine::notice);
        connect(port, &CommPort::Connecting, this, &TransferEngine::connecting);
    }
}

void TransferEngine::setTickClock(TickClock clock)
{
    m_clock = std::move(clock);
}

qint16 TransferEngine::receiveThreshold(qint16 mode, const QString &inCommand, qint16 format,
                                        bool rules)
{
    if (mode != ModeAnswer || rules)
        return 1;
    const qsizetype bytes = format == CommandCodec::FormatHex
        ? CommandCodec::receivedForm(inCommand, format).size() / 2
        : SystemCodePage::fromUnicode(inCommand).size();
    return qint16(qBound(qsizetype(1), bytes, qsizetype(std::numeric_limits<qint16>::max())));
}

void TransferEngine::openOutPort(const Line &line)
{
    closeQuietly(m_outPort);
    m_outPort.setOpenDeadline(startDeadline());
    try {
        m_outPort.setCommPort(line.port);
        m_outPort.setRThreshold(0); // the sending port never raises receive events
        m_outPort.setSettings(line.settings);
        m_outPort.setHandshaking(line.handshake);
        m_outPort.setPortOpen(true);
        m_outPort.setInBufferCount(0);
        m_outPort.setOutBufferCount(0);
    } catch (const Component::RuntimeError &) {
        closeQuietly(m_outPort);
        throw;
    }
}

void TransferEngine::openInPort(const Line &line, qint16 threshold, qint16 format)
{
    closeQuietly(m_inPort);
    m_inPort.setOpenDeadline(startDeadline());
    try {
        m_inPort.setCommPort(line.port);
        m_threshold = threshold;
        m_inPort.setRThreshold(threshold);
        m_inPort.setSettings(line.settings);
        m_inPort.setHandshaking(line.handshake);
        startFraming(line.settings);
        setFormat(format);
        m_inPort.setPortOpen(true);
        // Whatever waited on the line before the start is not part of this run.
        m_inPort.setInBufferCount(0);
        m_inPort.setOutBufferCount(0);
    } catch (const Component::RuntimeError &) {
        closeQuietly(m_inPort);
        throw;
    }
}

void TransferEngine::closePorts()
{
    m_startDeadline.reset();
    closeQuietly(m_outPort);
    closeQuietly(m_inPort);
}

std::optional<QDeadlineTimer> TransferEngine::startDeadline()
{
    if (!m_startDeadline)
        m_startDeadline = QDeadlineTimer(StartMilliseconds);
    return m_startDeadline;
}

void TransferEngine::begin(const Run &run, const CaptureHeader &header)
{
    m_startDeadline.reset();   // the start is over; the next opens are another's
    m_run = run;
    // Received data is compared as it shows: hexadecimal pairs without whitespace.
    m_run.inCommand = CommandCodec::receivedForm(run.inCommand, m_format);
    m_reported.clear();
    m_backlogReported = false;
    m_turnaround.reset();
    ++m_runNumber;
    QList<BytePattern> requests;
    if (run.mode == ModeAnswer) {
        for (const AnswerRule &rule : run.rules)
            requests.append(rule.request);
    }
    m_matcher.setPatterns(requests);
    addCaptureRecord(CaptureLog::RecordHeader, QString(), header);
    if (run.mode == ModeSend || run.mode == ModeSendReceive) {
        m_timer.setInterval(run.period);
        m_timer.start();
    }
}

void TransferEngine::stop()
{
    m_timer.stop();
    m_frameEnd.stop();
    m_check.forget();
    ++m_runNumber;
    m_matcher.setPatterns({});
    // Bytes held for a frame not yet complete are shown, not dropped.
    if (m_cutter)
        showPieces(m_cutter->flush());
    m_frameIdle.stop();
    closePorts();
    // Only a run with RS-485 options on ends its block with the turnaround: without them
    // the capture reads exactly as it always did.
    const bool rs485 = m_outPort.Rs485() != Rs485Settings() || m_inPort.Rs485() != Rs485Settings();
    const QString turnaround = TurnaroundTimes::text(m_turnaround.figures(), TurnaroundTimes::Language::Capture);
    if (m_capturing && rs485 && !turnaround.isEmpty())
        captured(m_capture.addFooter(turnaround));
    m_run.outCommand.clear();
    m_run.inCommand.clear();
    if (m_capturing)
        writeCapture();
}

void TransferEngine::setFormat(qint16 format)
{
    m_format = format;
    // Frames are cut from the bytes; each is decoded on its own.
    const bool binary = format == CommandCodec::FormatHex || m_cutter;
    m_inPort.setInputMode(binary ? CommPort::InputModeBinary : CommPort::InputModeText);
}

void TransferEngine::setLineOptions(const LineOptions &options)
{
    const bool newRule = options.frames.bounded() != m_options.frames.bounded();
    m_options = options;
    if (!newRule || !m_inPort.PortOpen())
        return;
    if (m_cutter)
        showPieces(m_cutter->flush());
    // The frame the old rule held open ends with it.
    judgeFrame();
    startFraming(m_inSettings);
    setFormat(m_format);
}

void TransferEngine::setLineOutputs(bool outDtr, bool outRts, bool inDtr, bool inRts)
{
    m_outPort.setDTREnable(outDtr);
    m_outPort.setRTSEnable(outRts);
    m_inPort.setDTREnable(inDtr);
    m_inPort.setRTSEnable(inRts);
}

void TransferEngine::setRs485(const Rs485Settings &out, const Rs485Settings &in)
{
    m_outPort.setRs485(out);
    m_inPort.setRs485(in);
}

QStringList TransferEngine::rs485Differences() const
{
    return m_outPort.Rs485Differences() + m_inPort.Rs485Differences();
}

quint64 TransferEngine::echoBytes() const
{
    return m_outPort.EchoBytes() + m_inPort.EchoBytes();
}

quint64 TransferEngine::echoCollisions() const
{
    return m_outPort.EchoCollisions() + m_inPort.EchoCollisions();
}

bool TransferEngine::outPortServes(bool sendingSide, bool samePort) const
{
    return sendingSide || (samePort && !m_inPort.PortOpen());
}

TransferEngine::LineState TransferEngine::lineState(bool sendingSide, bool samePort) const
{
    const CommPort &port = outPortServes(sendingSide, samePort) ? m_outPort : m_inPort;
    return {port.CommPortNumber(), port.PortOpen(), port.ModemInputs()};
}

bool TransferEngine::sendBreak(bool sendingSide, bool samePort)
{
    return (outPortServes(sendingSide, samePort) ? m_outPort : m_inPort).sendBreak();
}

void TransferEngine::setCapturing(bool capturing)
{
    // Records gathered so far belong to the capture the user had switched on.
    if (m_capturing && !capturing)
        writeCapture();
    m_capturing = capturing;
}

void TransferEngine::addCaptureRecord(CaptureLog::RecordKind kind, const QString &text,
                                      const CaptureHeader &header)
{
    if (!m_capturing)
        return;
    switch (kind) {
    case CaptureLog::RecordHeader:
        captured(m_capture.addHeader(header, QDateTime::currentDateTime()));
        break;
    case CaptureLog::RecordSent:
        captured(m_capture.addSent(text));
        break;
    case CaptureLog::RecordReceived:
        captured(m_capture.addReceived(text));
        break;
    }
}

void TransferEngine::writeCapture()
{
    captured(m_capture.flush());
}

void TransferEngine::resetTicks()
{
    m_tickLast = 0;
    m_lineBegun = false;
    m_lineEnded = false;
}

bool TransferEngine::send()
{
    const Outcome outcome = writeCommand();
    if (outcome != Outcome::Skipped)
        showSent();
    return outcome == Outcome::Written;
}

bool TransferEngine::sendOnce(const QByteArray &bytes, const QString &shown)
{
    const Outcome outcome = writeCommand(bytes);
    if (outcome != Outcome::Skipped)
        showSent(shown);
    return outcome == Outcome::Written;
}

TransferEngine::Outcome TransferEngine::writeCommand(const QVariant &data)
{
    CommPort &port = sendingPort();
    // After a loss nothing goes out, to the pane or into the capture: the loss is reported.
    if (port.DeviceLost())
        return Outcome::Skipped;
    if (port.PortOpen() && port.OutputPending() >= OutputBacklogBytes) {
        if (!m_backlogReported) {
            m_backlogReported = true;
            emit sendsSkipped(port.CommPortNumber());
        }
        return Outcome::Skipped;
    }
    try {
        write(data);
    } catch (const Component::RuntimeError &error) {
        if (port.DeviceLost())
            return Outcome::Skipped;
        report(error.number(), error.description(), Hint::Comm);
        return Outcome::Failed;
    }
    m_turnaround.sent(port.LastSentAt());
    return Outcome::Written;
}

// The pane and the capture show a send even when its write failed.
void TransferEngine::showSent(const QString &command)
{
    addCaptureRecord(CaptureLog::RecordSent, command);
    emit sent(command);
}

// One port serving both directions raises no receive event while the data is handed
// over; the threshold comes back even when the write fails.
void TransferEngine::write(const QVariant &data)
{
    if (!m_samePort) {
        m_outPort.setOutput(data);
        return;
    }
    m_inPort.setRThreshold(0);
    try {
        m_inPort.setOutput(data);
    } catch (const Component::RuntimeError &) {
        m_inPort.setRThreshold(m_threshold);
        throw;
    }
    m_inPort.setRThreshold(m_threshold);
}

void TransferEngine::onTimer()
{
    const bool written = send();
    // A single send that failed is tried again at the next tick.
    if (!m_run.repeat && written) {
        m_timer.stop();
        emit singleSendDone();
    }
}

bool TransferEngine::newLineDue(qint32 now) const
{
    return m_tickLast != 0 && gapOver(m_tickLast, now);
}

void TransferEngine::onInComm()
{
    const qint16 event = m_inPort.CommEvent();
    if (event == CommPort::EventDeviceLost) {
        loseDevice(m_inPort);
        return;
    }
    // Line errors, modem-line changes and breaks carry no data to show or capture.
    if (event != CommPort::EvReceive)
        return;
    if (m_cutter) {
        receiveFrames();
        return;
    }

    const qint32 now = m_clock();
    const bool newLine = newLineDue(now);
    m_tickLast = now;

    const qint64 firstByteAt = m_inPort.ArrivalAt();
    const QString text = receivedText();
    if (text.isEmpty())
        return;
    m_turnaround.arrived(firstByteAt);
    const QTime arrival = QTime::currentTime();

    const bool byRules = !m_matcher.isEmpty();
    QByteArray bytes = byRules ? receivedBytes(text) : QByteArray();
    const Answers answers = answer(bytes, text);
    const bool tapped = isSignalConnected(QMetaMethod::fromSignal(&TransferEngine::arrived));
    const bool checked = m_check.enabled();
    if (!byRules && (tapped || checked))
        bytes = receivedBytes(text);

    // The 25 ms gap that begins a line ends the frame before it.
    if (newLine && m_check.open())
        judgeFrame();
    const bool lineStart = newLine || !m_lineBegun;
    m_lineBegun = true;
    if (lineStart)
        m_lineStamp = LineOptions::stamp(arrival);
    const bool spaced = m_options.hexSpace && m_format == CommandCodec::FormatHex;
    const QString shown = spaced ? m_options.shownHex(text) : text;
    const QString stamp = m_options.timeStamp ? m_lineStamp : QString();
    // The capture shows what the pane shows: a line continued by a later event keeps
    // one space between its pairs as well.
    const QString lead = lineStart ? stamp : spaced ? QStringLiteral(" ") : QString();
    addCaptureRecord(CaptureLog::RecordReceived, lead + shown);
    emit received(lead + shown, newLine);
    m_lineEnded = false;
    showAnswers(answers);
    if (tapped)
        emit arrived(bytes);
    if (checked) {
        m_check.add(bytes);
        m_frameEnd.start();
    }
}

// The far end waits for the answer: it goes to the line before any display work. The
// answers written are shown after what arrived.
TransferEngine::Answers TransferEngine::answer(const QByteArray &bytes, const QString &text)
{
    Answers answers;
    if (!m_matcher.isEmpty())
        answers.rules = answerRules(bytes);
    else if (expectsCommand() && text == m_run.inCommand)
        answers.command = writeCommand() != Outcome::Skipped;
    return answers;
}

bool TransferEngine::expectsCommand() const
{
    return m_matcher.isEmpty() && m_run.mode == ModeAnswer && !m_run.inCommand.isEmpty();
}

void TransferEngine::showAnswers(const Answers &answers)
{
    if (answers.command)
        showSent();
    for (const QString &shown : answers.rules)
        showSent(shown);
}

void TransferEngine::setReceiveChecksum(const Checksum &checksum)
{
    m_frameEnd.stop();
    m_check.setChecksum(checksum);
}

// The pane shows the mark in the window's language; the capture keeps it in Chinese.
void TransferEngine::judgeFrame()
{
    m_frameEnd.stop();
    const std::optional<Checksum::Verdict> verdict = m_check.end();
    if (!verdict || !m_inPort.PortOpen())
        return;
    addCaptureRecord(CaptureLog::RecordReceived,
                     CaptureLog::verdictMark(verdict->good, verdict->expected, CaptureLog::Language::Capture));
    emit received(CaptureLog::verdictMark(verdict->good, verdict->expected, CaptureLog::Language::Window),
                  false);
    m_lineEnded = false;
}

QByteArray TransferEngine::receivedBytes(const QString &text) const
{
    return m_format == CommandCodec::FormatHex ? QByteArray::fromHex(text.toLatin1())
                                               : SystemCodePage::fromUnicode(text);
}

// Answers the requests the received bytes complete, at once where a rule has no delay:
// the answers written at once, as they show after what arrived.
QStringList TransferEngine::answerRules(const QByteArray &bytes)
{
    QStringList answered;
    for (int index : m_matcher.feed(bytes)) {
        const AnswerRule &rule = m_run.rules.at(index);
        if (rule.delayMilliseconds > 0) {
            answerLater(rule);
            continue;
        }
        if (writeCommand(rule.answer) != Outcome::Skipped)
            answered.append(rule.shown);
    }
    return answered;
}

// The answer is the rule's as it was due: rules edited meanwhile change later answers.
void TransferEngine::answerLater(const AnswerRule &rule)
{
    const quint64 run = m_runNumber;
    QTimer::singleShot(rule.delayMilliseconds, Qt::PreciseTimer, this, [this, run, rule] {
        if (run != m_runNumber || !m_inPort.PortOpen())
            return;
        if (writeCommand(rule.answer) != Outcome::Skipped)
            showSent(rule.shown);
    });
}

bool TransferEngine::setAnswerRules(const QList<AnswerRule> &rules)
{
    if (m_run.mode != ModeAnswer || m_matcher.isEmpty() || rules.isEmpty())
        return false;
    m_run.rules = rules;
    QList<BytePattern> requests;
    for (const AnswerRule &rule : rules)
        requests.append(rule.request);
    m_matcher.setPatterns(requests);
    return true;
}

QString TransferEngine::receivedText()
{
    QVariant input;
    try {
        input = m_inPort.Input();
    } catch (const Component::RuntimeError &) {
        return {};
    }
    try {
        return CommandCodec::receivedText(input, m_format);
    } catch (const Component::RuntimeError &error) {
        report(error.number(), error.description(), Hint::ReceiveFormat);
        return {};
    }
}

// A gap in characters is timed by the line's rate and frame, and a length rule gives
// up a partial frame after 25 ms or ten characters of quiet, whichever is longer.
FrameCutter TransferEngine::frameCutter(const FrameRule &rule, const QString &settings)
{
    double characterMs = 0;
    try {
        const LineSettings line = LineSettings::parse(settings);
        const double stopBits = line.stopBits == LineSettings::StopBits::One ? 1.0
            : line.stopBits == LineSettings::StopBits::OneAndHalf ? 1.5 : 2.0;
        characterMs = FrameRule::characterMilliseconds(
            line.baudRate, line.dataBits, line.parity != QSerialPort::NoParity, stopBits);
    } catch (const Component::RuntimeError &) {
        // The open refuses malformed settings itself.
    }
    const FrameRule bounded = rule.bounded();
    return FrameCutter(bounded, bounded.gapFor(characterMs),
                       std::max(double(NewLineGapMilliseconds), 10 * characterMs));
}

void TransferEngine::startFraming(const QString &settings)
{
    m_inSettings = settings;
    m_frameIdle.stop();
    m_cutter.reset();
    if (!m_options.frames.bounded().isDefault())
        m_cutter = frameCutter(m_options.frames, settings);
    // A frame of a gap rule ends with the pause after it; one of a terminator or length
    // rule with its last byte.
    const double gap = m_cutter ? m_cutter->gapMilliseconds() : double(NewLineGapMilliseconds);
    m_frameEnd.setInterval(int(std::ceil(gap)) + 1);
    m_quietEndsFrames = gap > 0;
}

void TransferEngine::receiveFrames()
{
    const qint64 firstByteAt = m_inPort.ArrivalAt();
    QByteArray bytes;
    try {
        bytes = m_inPort.Input().toByteArray();
    } catch (const Component::RuntimeError &) {
        return;
    }
    if (bytes.isEmpty())
        return;
    m_turnaround.arrived(firstByteAt);
    const qint64 arrival = QDateTime::currentMSecsSinceEpoch();
    const Answers answers =
        answer(bytes, expectsCommand() ? CommandCodec::receivedText(bytes, m_format) : QString());
    showPieces(m_cutter->feed(bytes, arrival));
    if (m_cutter->pending() > 0)
        m_frameIdle.start(int(std::ceil(m_cutter->idleMilliseconds())) + 1);
    showAnswers(answers);
    if (isSignalConnected(QMetaMethod::fromSignal(&TransferEngine::arrived)))
        emit arrived(bytes);
}

// Every frame starts a line of the pane and a record of the capture, stamped with the
// time its first byte arrived and, when asked, the pause before it, and ends with its
// checksum verdict when one is checked. The pane takes the frames of one read at once,
// their lines broken within the text, as it takes a text that holds line breaks.
void TransferEngine::showPieces(const QList<FramePiece> &pieces)
{
    if (pieces.isEmpty())
        return;
    const bool spaced = m_options.hexSpace && m_format == CommandCodec::FormatHex;
    bool newLine = false;
    QString paneText;
    QStringList captureTexts;
    QList<bool> captureStarts;
    if (m_capturing) {
        captureTexts.reserve(pieces.size() + 1);
        captureStarts.reserve(pieces.size() + 1);
    }
    // A frame whose text ends with a line break (text ended by CR LF) has ended its line.
    const auto append = [&](const QString &pane, const QString &capture, bool starts) {
        if (starts && paneText.isEmpty())
            newLine = m_lineBegun && !m_lineEnded;
        else if (starts && !endsLine(paneText))
            paneText += QLatin1String("\r\n");
        m_lineBegun = true;
        paneText += pane;
        if (m_capturing) {
            captureTexts.append(capture);
            captureStarts.append(starts);
        }
    };
    const auto endFrame = [&] {
        m_frameEnd.stop();
        const std::optional<Checksum::Verdict> verdict = m_check.end();
        if (!verdict)
            return;
        const QString shownMark = CaptureLog::verdictMark(verdict->good, verdict->expected, CaptureLog::Language::Window);
        const QString capturedMark = CaptureLog::verdictMark(verdict->good, verdict->expected, CaptureLog::Language::Capture);
        if (paneText.isEmpty()) {
            append(shownMark, capturedMark, false);
            return;
        }
        insertBeforeLineEnd(paneText, shownMark);
        if (m_capturing)
            insertBeforeLineEnd(captureTexts.last(), capturedMark);
    };
    const bool checked = m_check.enabled();
    for (const FramePiece &piece : pieces) {
        if (checked && piece.starts && m_check.open())
            endFrame();
        const QString text = m_format == CommandCodec::FormatHex
            ? CommandCodec::hexText(piece.bytes) : SystemCodePage::toUnicode(piece.bytes);
        const QString shown = spaced ? m_options.shownHex(text) : text;
        if (!piece.starts) {
            const QString continued = spaced ? QLatin1Char(' ') + shown : shown;
            append(continued, continued, false);
        } else {
            QString lead;
            if (m_options.timeStamp) {
                lead = LineOptions::stamp(QDateTime::fromMSecsSinceEpoch(piece.arrival).time());
                if (m_options.frames.showGap && piece.gap >= 0)
                    lead += QStringLiteral("+%1ms ").arg(piece.gap);
            }
            if (piece.kind == FramePiece::Skipped) {
                append(lead + CaptureLog::skippedMark(CaptureLog::Language::Window) + shown,
                       lead + CaptureLog::skippedMark(CaptureLog::Language::Capture) + shown, true);
            } else {
                const QString line = lead.isEmpty() ? shown : lead + shown;
                append(line, line, true);
            }
        }
        if (checked && piece.kind == FramePiece::Frame) {
            m_check.add(piece.bytes);
            if (piece.ends)
                endFrame();
        }
    }
    if (m_capturing)
        captured(m_capture.addReceivedFrames(captureTexts, captureStarts));
    emit received(paneText, newLine);
    m_lineEnded = endsLine(paneText);
    if (m_check.open() && m_quietEndsFrames)
        m_frameEnd.start();
}

void TransferEngine::onOutComm()
{
    if (m_outPort.CommEvent() == CommPort::EventDeviceLost)
        loseDevice(m_outPort);
}

void TransferEngine::loseDevice(CommPort &port)
{
    m_lossReason = port.LossReason();
    m_timer.stop();
    closePorts();
    emit deviceLost(port.CommPortNumber());
}

void TransferEngine::captured(CaptureLog::WriteStatus status)
{
    if (status == CaptureLog::WriteStatus::Failed)
        emit captureFailed();
}

void TransferEngine::report(int number, const QString &description, Hint hint)
{
    if (m_reported.contains(number))
        return;
    m_reported.insert(number);
    emit failed(number, description, hint);
}

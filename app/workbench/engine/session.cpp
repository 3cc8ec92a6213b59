// Velmora workbench. Licensed under the MIT licence.
#include "session.h"

#include "devicecatalog.h"
#include "portmap.h"
#include "portprobe.h"
#include "remoteaddress.h"
#include "systemcodepage.h"

#include <inifileeditor.h>
#include <runtimeerror.h>

#include <QMetaMethod>
#include <QScopedValueRollback>

#include <algorithm>

namespace {

Session::Refusal refusal(Session::Refusal::What what, Session::Refusal::Focus focus, qint16 port = 0)
{
    Session::Refusal result;
    result.what = what;
    result.focus = focus;
    result.port = port;
    return result;
}

// A port another program holds is refused as the port check refuses it.
Session::Refusal openRefusal(const Component::RuntimeError &error, qint16 port)
{
    if (error.number() == CommPort::ErrorOpenCancelled)
        return refusal(Session::Refusal::Cancelled, Session::Refusal::NoFocus, port);
    if (error.number() == CommPort::ErrorPortInUse)
        return refusal(Session::Refusal::PortBusy, Session::Refusal::NoFocus, port);
    Session::Refusal result = refusal(Session::Refusal::OpenFailed, Session::Refusal::NoFocus, port);
    result.number = error.number();
    result.description = error.description();
    return result;
}

} // namespace

Session::Session(QObject *parent)
    : QObject(parent),
      m_engine(this) // a child, so that its ports and timer are found by name
{
    qRegisterMetaType<Session::Refusal>();
    connect(&m_engine, &TransferEngine::sent, this, &Session::sent);
    connect(&m_engine, &TransferEngine::received, this, &Session::received);
    connect(&m_engine, &TransferEngine::singleSendDone, this, &Session::onSingleSendDone);
    connect(&m_engine, &TransferEngine::failed, this, &Session::failed);
    connect(&m_engine, &TransferEngine::sendsSkipped, this, &Session::sendsSkipped);
    connect(&m_engine, &TransferEngine::captureFailed, this, &Session::captureFailed);
    connect(&m_engine, &TransferEngine::deviceLost, this, &Session::onDeviceLost);
    connect(&m_engine, &TransferEngine::notice, this, &Session::notice);
    connect(&m_engine, &TransferEngine::connecting, this, &Session::onConnecting);
    connect(&m_portWatcher, &PortWatcher::changed, this, &Session::onPortsChanged);
    m_reconnectTimer.setInterval(ReconnectLookMilliseconds);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &Session::reconnect);
}

void Session::loadOptions(const QString &optionsPath)
{
    m_optionsPath = optionsPath;
    m_lineOptions = LineOptions::load(optionsPath);
    applyLineOptions();
    m_rs485Options = Rs485Options::load(optionsPath);
    m_portMapOptions = PortMapOptions::load(optionsPath);
}

void Session::watchPorts()
{
    if (!m_shutDown && !m_running)
        m_portWatcher.start();
}

void Session::setChoices(const Choices &choices)
{
    const bool rulesEdited = choices.answerRules != m_choices.answerRules;
    m_choices = choices;
    if (m_running && rulesEdited)
        m_engine.setAnswerRules(answerRules());
}

// The scan asks the system about each port instead of opening it, so it neither resets
// a board nor touches the ports of a running transfer, and no line setting matters.
void Session::scanPorts(const QList<qint16> &keptPorts)
{
    m_portWatcher.acknowledge();
    m_ports.clear();
    const PortMap map = PortMap::load();
    const PortProbe probe(map);
    const DeviceCatalog catalog = DeviceCatalog::ofSystem();
    for (qint16 n = PortMap::FirstPort; n <= PortMap::LastPort; ++n) {
        const bool listed = PortProbe::isListed(probe.state(n));
        if (listed || keptPorts.contains(n))
            m_ports.append({n, listed, catalog.portDescription(n, map.device(n))});
    }
}

Session::Refusal Session::checkPort(qint16 port) const
{
    if (m_ports.isEmpty())
        return refusal(Refusal::NoPort, Refusal::NoFocus, port);
    switch (PortProbe(PortMap::load()).state(port)) {
    case PortProbe::State::Busy:
        return refusal(Refusal::PortBusy, Refusal::NoFocus, port);
    case PortProbe::State::Missing:
        return refusal(Refusal::PortMissing, Refusal::NoFocus, port);
    case PortProbe::State::Present:
    case PortProbe::State::NoPermission:
    case PortProbe::State::Remote:
        break;
    }
    return {};
}

// Every refusal and every failure on the way leaves the session stopped, with both
// ports closed.
Session::Refusal Session::start(const Choices &choices)
{
    if (m_shutDown || m_starting)
        return refusal(Refusal::Cancelled, Refusal::NoFocus);
    m_choices = choices;
    const QScopedValueRollback<bool> starting(m_starting, true);
    applyLineOptions();
    // One port serving both ways takes the receiving port's, as its other line options do.
    m_engine.setRs485(m_choices.samePort() ? m_rs485Options.in : m_rs485Options.out, m_rs485Options.in);
    TransferEngine::Run run;
    Refusal result = prepareCommand(run);
    if (!result.refused())
        result = startPorts();
    if (m_connecting) {
        m_connecting = false;
        emit connectingChanged(false);
    }
    if (result.refused() || m_shutDown) {
        m_engine.closePorts();
        watchPorts();
        return result.refused() ? result : refusal(Refusal::Cancelled, Refusal::NoFocus);
    }
    setRunning(true);
    m_engine.begin(run, captureHeader());
    return {};
}

// A command that cannot be encoded is not sent at all; the line ending goes to the line,
// the pane and the capture with the command.
Session::Refusal Session::prepareCommand(TransferEngine::Run &run) const
{
    run.mode = m_choices.mode;
    run.repeat = m_choices.repeat;
    run.period = m_choices.period;
    if (m_choices.mode == TransferEngine::ModeAnswer) {
        run.inCommand = m_choices.inCommand;
        run.rules = answerRules();
        if (!run.rules.isEmpty())
            return {};
    }
    if (m_choices.mode == TransferEngine::ModeReceive)
        return {};
    // The engine then only receives; the rows go out between, through the sending port.
    if (m_choices.rowsOnly) {
        run.mode = TransferEngine::ModeReceive;
        return {};
    }
    const CommandCodec::Fault fault = CommandCodec::check(m_choices.outCommand, m_choices.format);
    if (fault.problem != CommandCodec::CommandProblem::None) {
        Refusal result = refusal(Refusal::BadCommand, Refusal::OutCommandChoice);
        result.fault = fault;
        return result;
    }
    if (m_choices.outBytes) {
        run.outCommand = m_choices.outCommand;
        run.outData = *m_choices.outBytes;
        return {};
    }
    run.outCommand = m_choices.outCommand + m_lineOptions.lineEndFor(m_choices.format);
    try {
        run.outData = CommandCodec::sendBytes(run.outCommand, m_choices.format);
    } catch (const Component::RuntimeError &error) {
        Refusal result = refusal(Refusal::Unencodable, Refusal::OutCommandChoice);
        result.number = error.number();
        result.description = error.description();
        return result;
    }
    return {};
}

Session::Refusal Session::sendCommand(const ProtocolSet::Command &command)
{
    const int format = command.hex ? CommandCodec::FormatHex : CommandCodec::FormatText;
    const CommandCodec::Fault fault = CommandCodec::check(command.data, format);
    if (fault.problem != CommandCodec::CommandProblem::None) {
        Refusal result = refusal(Refusal::BadCommand, Refusal::NoFocus);
        result.fault = fault;
        return result;
    }
    QByteArray bytes;
    try {
        bytes = command.checksum.appended(CommandCodec::sendBytes(command.data, format));
    } catch (const Component::RuntimeError &error) {
        Refusal result = refusal(Refusal::Unencodable, Refusal::NoFocus);
        result.number = error.number();
        result.description = error.description();
        return result;
    }
    bytes += command.lineEnding == ProtocolSet::LineEnding::AsLineWindow
        ? SystemCodePage::fromUnicode(m_lineOptions.lineEndFor(format))
        : ProtocolSet::lineEndBytes(command.lineEnding);
    const QString shown = command.hex ? QString::fromLatin1(bytes.toHex(' ').toUpper())
                                      : SystemCodePage::toUnicode(bytes);
    if (m_running) {
        m_engine.sendOnce(bytes, shown);
        return {};
    }
    const Choices held = m_choices;
    Choices single = m_choices;
    single.repeat = false;
    if (single.mode == TransferEngine::ModeReceive || single.mode == TransferEngine::ModeAnswer)
        single.mode = TransferEngine::ModeSendReceive;
    single.outCommand = shown;
    single.outBytes = bytes;
    const Refusal result = start(single);
    m_choices = held;
    return result;
}

// The engine works out the bytes of what arrives only once someone listens for them.
void Session::connectNotify(const QMetaMethod &signal)
{
    if (m_arrivedForwarded || signal != QMetaMethod::fromSignal(&Session::arrived))
        return;
    m_arrivedForwarded = true;
    connect(&m_engine, &TransferEngine::arrived, this, &Session::arrived);
}

void Session::disconnectNotify(const QMetaMethod &signal)
{
    if (!m_arrivedForwarded || signal != QMetaMethod::fromSignal(&Session::arrived)
        || isSignalConnected(signal))
        return;
    m_arrivedForwarded = false;
    disconnect(&m_engine, &TransferEngine::arrived, this, &Session::arrived);
}

bool Session::Choices::answersByRules() const
{
    return mode == TransferEngine::ModeAnswer
        && std::any_of(answerRules.cbegin(), answerRules.cend(),
                       [](const ProtocolSet::Rule &rule) { return rule.enabled; });
}

// The rules that are on, each answer with its checksum and, in text, the line ending.
QList<TransferEngine::AnswerRule> Session::answerRules() const
{
    QList<TransferEngine::AnswerRule> result;
    if (!m_choices.answersByRules())
        return result;
    const QByteArray lineEnd =
        SystemCodePage::fromUnicode(m_lineOptions.lineEndFor(CommandCodec::FormatText));
    for (const ProtocolSet::Rule &rule : m_choices.answerRules) {
        const std::optional<BytePattern> request = rule.pattern();
        const std::optional<QByteArray> answer = rule.answerPayload();
        if (!rule.enabled || !request || !answer)
            continue;
        TransferEngine::AnswerRule entry;
        entry.request = *request;
        entry.answer = rule.answerHex ? *answer : *answer + lineEnd;
        entry.shown = rule.answerHex ? QString::fromLatin1(answer->toHex(' ').toUpper())
                                     : SystemCodePage::toUnicode(entry.answer);
        entry.delayMilliseconds = rule.delayMilliseconds;
        result.append(entry);
    }
    return result;
}

// Checks and opens the ports the mode needs.
Session::Refusal Session::startPorts()
{
    switch (m_choices.mode) {
    case TransferEngine::ModeSend: {
        Refusal result = checkPort(m_choices.outPort);
        if (result.refused()) {
            result.focus = Refusal::OutPortChoice;
            return result;
        }
        m_engine.setSamePort(false);
        return openOut();
    }
    case TransferEngine::ModeReceive: {
        Refusal result = checkPort(m_choices.inPort);
        if (result.refused()) {
            result.focus = Refusal::InPortChoice;
            return result;
        }
        // A row of the command list sent meanwhile goes out through the one port.
        m_engine.setSamePort(m_choices.samePort());
        return openIn();
    }
    case TransferEngine::ModeAnswer: {
        if (m_choices.answersByRules())
            return startSharedPorts();
        const CommandCodec::Fault fault = CommandCodec::check(m_choices.inCommand, m_choices.format);
        if (fault.problem != CommandCodec::CommandProblem::None) {
            Refusal result = refusal(Refusal::BadCommand, Refusal::InCommandChoice);
            result.fault = fault;
            return result;
        }
        return startSharedPorts();
    }
    case TransferEngine::ModeSendReceive:
        return startSharedPorts();
    default:
        return refusal(Refusal::Cancelled, Refusal::NoFocus);
    }
}

// Modes that send and receive: one port for both directions, or one port each.
Session::Refusal Session::startSharedPorts()
{
    Refusal result;
    if (m_choices.samePort()) {
        result = checkPort(m_choices.inPort);
        if (result.refused()) {
            result.focus = Refusal::InPortChoice;
            return result;
        }
        if (outSettings() != inSettings() || m_choices.outHandshake != m_choices.inHandshake)
            return refusal(Refusal::SamePortSettings, Refusal::OutSettingsChoice);
        m_engine.setSamePort(true);
        return openIn();
    }
    result = checkPort(m_choices.outPort);
    if (result.refused()) {
        result.focus = Refusal::OutPortChoice;
        return result;
    }
    result = checkPort(m_choices.inPort);
    if (result.refused()) {
        result.focus = Refusal::InPortChoice;
        return result;
    }
    m_engine.setSamePort(false);
    result = openOut();
    return result.refused() ? result : openIn();
}

Session::Refusal Session::openOut()
{
    try {
        m_engine.openOutPort({m_choices.outPort, outSettings(), m_choices.outHandshake});
    } catch (const Component::RuntimeError &error) {
        return openRefusal(error, m_choices.outPort);
    }
    return {};
}

Session::Refusal Session::openIn()
{
    try {
        m_engine.openInPort({m_choices.inPort, inSettings(), m_choices.inHandshake},
                            TransferEngine::receiveThreshold(m_choices.mode, m_choices.inCommand,
                                                             m_choices.format,
                                                             m_choices.answersByRules()),
                            m_choices.format);
    } catch (const Component::RuntimeError &error) {
        return openRefusal(error, m_choices.inPort);
    }
    return {};
}

QString Session::outSettings() const
{
    const QString &baud = m_choices.samePort() ? m_lineOptions.inBaud : m_lineOptions.outBaud;
    return LineOptions::withBaud(m_choices.outSettings, baud);
}

QString Session::inSettings() const
{
    return LineOptions::withBaud(m_choices.inSettings, m_lineOptions.inBaud);
}

void Session::stop()
{
    m_engine.stop();
    setRunning(false);
}

void Session::closePorts()
{
    m_engine.closePorts();
}

void Session::shutDown()
{
    m_shutDown = true;
    m_engine.stopSending();
    m_portWatcher.stop();
    m_reconnectTimer.stop();
    m_engine.closePorts();
}

bool Session::portsOpen() const
{
    return m_engine.portsOpen();
}

// A running transfer keeps its lists: looking at the system's devices meanwhile would
// only take time from its event loop. The first look after the stop catches up.
void Session::setRunning(bool running)
{
    if (running)
        m_portWatcher.stop();
    m_running = running;
    if (!running)
        watchPorts();
    emit runningChanged(running);
}

// The choices hold until the start ends; the system's devices wait as in a run.
void Session::onConnecting()
{
    if (!m_starting || m_connecting)
        return;
    m_connecting = true;
    m_portWatcher.stop();
    emit connectingChanged(true);
}

// The ports stay open: in the send-and-receive mode what arrives is still shown.
void Session::onSingleSendDone()
{
    setRunning(false);
}

void Session::setFormat(qint16 format)
{
    m_choices.format = format;
    // A port left open after a single send shows what arrives in the new format.
    m_engine.setFormat(format);
}

void Session::setCapturing(bool capturing)
{
    m_engine.setCapturing(capturing);
}

void Session::setCaptureFile(const QString &folder, const QString &fileName)
{
    m_engine.capture().setFile(folder, fileName);
}

void Session::addCaptureRecord(CaptureLog::RecordKind kind, const QString &text)
{
    m_engine.addCaptureRecord(kind, text, captureHeader());
}

void Session::addCaptureBlock(const CaptureHeader &header, const QString &text)
{
    m_engine.addCaptureRecord(CaptureLog::RecordHeader, {}, header);
    m_engine.addCaptureRecord(CaptureLog::RecordReceived, text);
    m_engine.writeCapture();
}

void Session::writeCapture()
{
    m_engine.writeCapture();
}

bool Session::finishCapture()
{
    return m_engine.capture().flush() != CaptureLog::WriteStatus::Failed;
}

CaptureHeader Session::captureHeader() const
{
    return {m_choices.modeName, m_choices.outPortCaption, outSettings(), m_choices.inPortCaption,
            inSettings()};
}

// DTR and RTS apply to open ports at once; a custom rate waits for the next start.
void Session::applyLineOptions()
{
    const bool samePort = m_choices.samePort();
    m_engine.setLineOutputs(samePort ? m_lineOptions.inDTR : m_lineOptions.outDTR,
                            samePort ? m_lineOptions.inRTS : m_lineOptions.outRTS,
                            m_lineOptions.inDTR, m_lineOptions.inRTS);
    m_engine.setLineOptions(m_lineOptions);
}

bool Session::setLineOptions(const LineOptions &options)
{
    m_lineOptions = options;
    applyLineOptions();
    return m_lineOptions.save(m_optionsPath) || !IniFileEditor::firstFailure(m_optionsPath);
}

bool Session::setPortMapOptions(const PortMapOptions &options)
{
    m_portMapOptions = options;
    if (!m_portMapOptions.reconnect)
        endReconnectWait();
    return m_portMapOptions.save(m_optionsPath) || !IniFileEditor::firstFailure(m_optionsPath);
}

bool Session::setRs485Options(const Rs485Options &options)
{
    m_rs485Options = options;
    return m_rs485Options.save(m_optionsPath) || !IniFileEditor::firstFailure(m_optionsPath);
}

Session::Rs485Status Session::rs485Status() const
{
    return {m_engine.rs485Differences(), m_engine.echoBytes(), m_engine.echoCollisions(), m_engine.turnaround()};
}

bool Session::networkLine(qint16 port)
{
    return RemoteAddress::looksRemote(PortMap::load().device(port));
}

TransferEngine::LineState Session::lineState(bool sendingSide) const
{
    return m_engine.lineState(sendingSide, m_choices.samePort());
}

bool Session::sendBreak(bool sendingSide)
{
    return m_engine.sendBreak(sendingSide, m_choices.samePort());
}

// A device came or went. A running transfer keeps its lists locked, and they follow
// once it stops.
void Session::onPortsChanged()
{
    if (!m_running && !m_shutDown)
        emit portsChanged();
}

// A device that went away ends the communication as the stop would.
void Session::onDeviceLost(qint16 port)
{
    const bool wasRunning = m_running;
    if (wasRunning)
        stop();
    const bool awaiting = wasRunning && awaitReconnect(port);
    // A device that keeps coming and going is told of once, until the user starts or stops.
    if (awaiting && m_reconnect.told)
        return;
    m_reconnect.told = awaiting;
    emit deviceLost(port, awaiting, m_engine.lossReason());
}

// Whether the stopped run starts again once its lost device is back. A network line is
// not waited for: telling whether it is back would take a connection in every look.
bool Session::awaitReconnect(qint16 lostPort)
{
    if (!m_portMapOptions.reconnect || PortWatcher::isRemote(PortMap::load().device(lostPort)))
        return false;
    m_reconnect.outPort = m_choices.outPort;
    m_reconnect.inPort = m_choices.inPort;
    awaitRunPorts();
    return true;
}

void Session::awaitRunPorts()
{
    m_reconnect.awaiting = true;
    m_reconnect.seenBack = false;
    m_reconnectTimer.start();
}

void Session::endReconnectWait()
{
    m_reconnect = {};
    m_reconnectTimer.stop();
}

// The ports the chosen mode opens, each there as far as the system tells. A network line
// is not looked at, which would take a connection: the start meets it.
bool Session::runPortsPresent() const
{
    const PortMap map = PortMap::load();
    const PortProbe probe(map);
    const auto present = [&map, &probe](qint16 port) {
        return PortWatcher::isRemote(map.device(port)) || probe.state(port) != PortProbe::State::Missing;
    };
    const bool out = m_choices.mode == TransferEngine::ModeReceive || present(m_choices.outPort);
    const bool in = m_choices.mode == TransferEngine::ModeSend || present(m_choices.inPort);
    return out && in;
}

// The start again, on the very ports of the stopped run and nowhere else. A device that
// goes again before the run is back is waited for again, as often as it comes and goes;
// only the user's own start or stop, or a port the user chose instead, ends the wait.
void Session::reconnect()
{
    if (!m_reconnect.awaiting || m_running || m_shutDown)
        return;
    if (m_choices.outPort != m_reconnect.outPort || m_choices.inPort != m_reconnect.inPort) {
        endReconnectWait();
        return;
    }
    const bool back = runPortsPresent();
    const bool settled = back && m_reconnect.seenBack;
    m_reconnect.seenBack = back;
    if (!settled)
        return;
    m_reconnect.awaiting = false;
    m_reconnectTimer.stop();
    // The lists are locked while the run goes on: they show the device back first.
    emit portsChanged();
    m_engine.closePorts();
    const Refusal result = start(m_choices);
    if (result.refused())
        emit restartRefused(result);
    // A device gone again between the look and the open leaves the run waiting.
    if (!m_running && !m_shutDown && !runPortsPresent())
        awaitRunPorts();
}

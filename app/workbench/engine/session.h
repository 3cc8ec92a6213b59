// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "capturelog.h"
#include "commandcodec.h"
#include "lineoptions.h"
#include "portmapoptions.h"
#include "portwatcher.h"
#include "protocolset.h"
#include "rs485options.h"
#include "transferengine.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <optional>

// One run of communication without a window: the user's choices, the ports the system
// offers, the start with its refusals, the stop, the watch on the system's devices and
// the start again once a lost device is back, and the options of the line and the port
// map. The window shows what it signals and says every refusal in its own words.
class Session : public QObject
{
    Q_OBJECT

public:
    // How often a run waiting for its lost device looks for it. It starts again at the
    // second look that finds every device of the run: a plugged adapter's node appears
    // before the system has given it its group and mode.
    static constexpr int ReconnectLookMilliseconds = 500;

    // What the user chose for a run.
    struct Choices
    {
        qint16 outPort = 0;
        qint16 inPort = 0;
        QString outSettings;            // "9600,N,8,1" as the lists give it
        QString inSettings;
        qint16 outHandshake = 0;
        qint16 inHandshake = 0;
        qint16 mode = TransferEngine::ModeSend;
        qint16 format = CommandCodec::FormatText;
        qint16 period = 1000;           // milliseconds between repeated sends
        bool repeat = false;
        QString outCommand;             // as typed
        QString inCommand;              // the expected command of the answer mode
        // Bytes that go out instead of outCommand's, which then only says how they
        // show (a row of the command list, its checksum and line ending included).
        std::optional<QByteArray> outBytes;
        // The answer mode's rules; with any of them on, they answer instead of the
        // expected command and the send command.
        QList<ProtocolSet::Rule> answerRules;
        // Only rows of the command list go out (a sequence run without a window): the
        // ports of the send-and-receive mode, and no command of the run's own.
        bool rowsOnly = false;
        // The capture header's labels, as the window shows them in its own language.
        QString modeName;
        QString outPortCaption;
        QString inPortCaption;

        bool samePort() const { return outPort == inPort; }
        bool answersByRules() const;
    };

    // What a start refused, and the choice to correct.
    struct Refusal
    {
        enum What {
            Nothing,
            NoPort,             // the system offers no port at all
            PortBusy,           // `port` is held by another program
            PortMissing,        // `port` has no device
            SamePortSettings,   // one port both ways with two sets of settings
            BadCommand,         // `fault` in the command of `focus`
            Unencodable,        // the send command cannot be encoded: `number`, `description`
            OpenFailed,         // `port` failed to open: `number`, `description`
            Cancelled,          // called off, or ended by a loss already reported
        };
        enum Focus {
            NoFocus,
            OutPortChoice,
            InPortChoice,
            OutSettingsChoice,   // the sending side's settings, the first of which is its rate
            OutCommandChoice,
            InCommandChoice,
        };

        What what = Nothing;
        Focus focus = NoFocus;
        qint16 port = 0;
        CommandCodec::Fault fault;
        int number = 0;
        QString description;

        bool refused() const { return what != Nothing; }
    };

    // A port of the system's list; a chosen port whose device went is listed missing.
    struct PortEntry
    {
        qint16 number = 0;
        bool present = true;
        QString description;
    };

    explicit Session(QObject *parent = nullptr);

    // The line and port-map options from their file, applied; `optionsPath` is saved to.
    void loadOptions(const QString &optionsPath);

    const Choices &choices() const { return m_choices; }
    // The choices as the user changes them: a run waiting for its lost device starts
    // again with them, on its own ports only. Answer rules edited while the answer mode
    // answers by rules apply at once; otherwise the choices apply at the next start.
    void setChoices(const Choices &choices);

    // The system's ports and, listed although missing, `keptPorts`.
    void scanPorts(const QList<qint16> &keptPorts);
    const QList<PortEntry> &ports() const { return m_ports; }
    // Whether a start may open the port: there, and not held by another program. A port
    // the user may not open passes, so that the open names the refusal and its remedy,
    // and so does a network line, whose server only the open's connection asks.
    Refusal checkPort(qint16 port) const;

    // Opens the ports the mode needs and begins; every refusal leaves both ports closed.
    Refusal start(const Choices &choices);
    void stop();
    // Sends a row of the command list once: at once while a run goes on; while stopped
    // as a single send of the chosen settings would (a mode that sends nothing sends and
    // receives), with the same refusals, the choices staying as they were.
    Refusal sendCommand(const ProtocolSet::Command &command);
    // Received frames are checked with it from now on; none by default.
    void setReceiveChecksum(const Checksum &checksum) { m_engine.setReceiveChecksum(checksum); }
    const Checksum &receiveChecksum() const { return m_engine.receiveChecksum(); }
    // Calls off a start that waits for its server; closes ports a single send left open.
    void closePorts();
    // Ends everything for good: no timer ticks and no device is watched afterwards.
    void shutDown();

    bool running() const { return m_running; }
    bool starting() const { return m_starting; }
    // A port waits for its server inside the event loop; the session must live on.
    bool waiting() const { return m_engine.waiting(); }
    bool portsOpen() const;

    void setFormat(qint16 format);
    void setCapturing(bool capturing);
    bool capturing() const { return m_engine.capturing(); }
    void setCaptureFile(const QString &folder, const QString &fileName);
    const CaptureLog &capture() const { return m_engine.capture(); }
    void addCaptureRecord(CaptureLog::RecordKind kind, const QString &text);
    // A block of its own when capturing (a link test's result): `header`'s labels, then
    // `text`, written at once.
    void addCaptureBlock(const CaptureHeader &header, const QString &text);
    // Writes what the capture buffer holds; a failure is signalled as captureFailed.
    void writeCapture();
    // The same at the end, told at once: false when the capture could not be written.
    bool finishCapture();
    CaptureHeader captureHeader() const;
    // The clear button: the next received data never begins a new line.
    void resetTicks() { m_engine.resetTicks(); }

    // The user's own start or stop ends the wait for a lost device.
    void endReconnectWait();
    bool awaitingReconnect() const { return m_reconnect.awaiting; }

    const LineOptions &lineOptions() const { return m_lineOptions; }
    // Applied at once; false when saving them failed for the first time.
    bool setLineOptions(const LineOptions &options);
    const PortMapOptions &portMapOptions() const { return m_portMapOptions; }
    bool setPortMapOptions(const PortMapOptions &options);
    QString optionsPath() const { return m_optionsPath; }
    const Rs485Options &rs485Options() const { return m_rs485Options; }
    // Saved at once, applied at the next start; false when saving failed for the first time.
    bool setRs485Options(const Rs485Options &options);

    // What RS-485 direction control and echo suppression found in the run: the driver's
    // differences from what was asked, the echoes and collisions, the turnaround.
    struct Rs485Status
    {
        QStringList differences;
        quint64 echoBytes = 0;
        quint64 collisions = 0;
        TurnaroundTimes::Figures turnaround;
    };
    Rs485Status rs485Status() const;
    // Whether a port reaches a line served over the network, which has no RS-485 control.
    static bool networkLine(qint16 port);

    // The line window's view of the ports.
    TransferEngine::LineState lineState(bool sendingSide) const;
    // Throws Component::RuntimeError; false when the line refuses a break.
    bool sendBreak(bool sendingSide);

    // The settings a port opens with: a custom rate of the line options stands in for
    // the list's; one port serving both ways takes the receiving port's.
    QString outSettings() const;
    QString inSettings() const;

    // Starts watching the system's devices, unless a run holds its ports; a change is
    // signalled as portsChanged.
    void watchPorts();

signals:
    void runningChanged(bool running);
    // A start waits for the server of a network line, and when that is over.
    void connectingChanged(bool connecting);
    void sent(const QString &command);
    void received(const QString &text, bool newLine);
    // The bytes of each receive event, raised only while someone listens.
    void arrived(const QByteArray &bytes);
    // Devices came or went while stopped.
    void portsChanged();
    // A device went away; told once while the run waits for it to come back.
    void deviceLost(qint16 port, bool willReconnect, const QString &reason);
    // A start again after a lost device was refused.
    void restartRefused(const Session::Refusal &refusal);
    void failed(int number, const QString &description, TransferEngine::Hint hint);
    void sendsSkipped(qint16 port);
    void captureFailed();
    void notice(const QString &text);

protected:
    void connectNotify(const QMetaMethod &signal) override;
    void disconnectNotify(const QMetaMethod &signal) override;

private:
    Refusal startPorts();
    Refusal startSharedPorts();
    Refusal openOut();
    Refusal openIn();
    Refusal prepareCommand(TransferEngine::Run &run) const;
    QList<TransferEngine::AnswerRule> answerRules() const;
    void applyLineOptions();
    void setRunning(bool running);
    void onConnecting();
    void onSingleSendDone();
    void onDeviceLost(qint16 port);
    void onPortsChanged();
    bool awaitReconnect(qint16 lostPort);
    void awaitRunPorts();
    bool runPortsPresent() const;
    void reconnect();

    TransferEngine m_engine;
    PortWatcher m_portWatcher;
    QTimer m_reconnectTimer;
    Choices m_choices;
    QList<PortEntry> m_ports;
    LineOptions m_lineOptions;
    Rs485Options m_rs485Options;
    PortMapOptions m_portMapOptions;
    QString m_optionsPath;

    // The run a lost device stopped, started again on its own ports once its devices
    // are back.
    struct Reconnect
    {
        bool awaiting = false;
        bool seenBack = false;   // every device of the run was there at the last look
        bool told = false;       // the user knows the run waits; a new loss says nothing more
        qint16 outPort = 0;
        qint16 inPort = 0;
    };
    Reconnect m_reconnect;

    bool m_running = false;
    bool m_starting = false;
    bool m_connecting = false;
    bool m_shutDown = false;
    bool m_arrivedForwarded = false;
};

Q_DECLARE_METATYPE(Session::Refusal)
Q_DECLARE_METATYPE(Session::Choices)

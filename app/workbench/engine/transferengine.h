// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "capturelog.h"
#include "checksum.h"
#include "commport.h"
#include "framecheck.h"
#include "framecutter.h"
#include "lineoptions.h"
#include "modemlines.h"
#include "rs485.h"
#include "rulematcher.h"
#include "turnaroundtimes.h"

#include <QObject>
#include <QSet>
#include <QTimer>
#include <QVariant>

#include <functional>
#include <optional>

// The transfer engine without a window: it owns the sending and the receiving port and
// the periodic send timer, writes each send, takes in what arrives, answers an expected
// command, and keeps the capture records of a block. The window sets it up, shows what
// it reports through the signals, and keeps every message to the user.
class TransferEngine : public QObject
{
    Q_OBJECT

public:
    // The list indexes of the transfer modes.
    enum Mode : qint16 { ModeSend = 0, ModeSendReceive = 1, ModeReceive = 2, ModeAnswer = 3 };

    // The hint that goes with a failure report.
    enum class Hint { Comm, ReceiveFormat };

    // Receive events further apart than this start a new display line.
    static constexpr qint32 NewLineGapMilliseconds = 25;
    // Unsent output a port may hold before further sends are skipped: a line slower
    // than the send period queues its commands up to here, then skips them.
    static constexpr qint64 OutputBacklogBytes = 256 * 1024;
    // All a start may take to reach the servers of its network lines and set them up.
    static constexpr int StartMilliseconds = 5000;

    // A monotonic millisecond count; 0 stands for "no receive event seen yet".
    using TickClock = std::function<qint32()>;

    struct Line
    {
        qint16 port = 0;
        QString settings;   // "9600,N,8,1"
        qint16 handshake = 0;
    };

    // A request of the answer mode and what answers it.
    struct AnswerRule
    {
        BytePattern request;
        QByteArray answer;             // what goes to the line
        QString shown;                 // the answer as the pane and the capture show it
        int delayMilliseconds = 0;
    };

    // What one run of communication does, fixed at its start.
    struct Run
    {
        qint16 mode = ModeSend;
        bool repeat = false;
        qint16 period = 1000;          // milliseconds between sends
        QString outCommand;            // as typed, for the pane and the capture
        QVariant outData;              // what goes to the line
        QString inCommand;             // the expected command of the answer mode
        // The answer mode's rules, in list order; with any, they stand in for the
        // expected command and the send command.
        QList<AnswerRule> rules;
    };

    explicit TransferEngine(QObject *parent = nullptr);

    void setTickClock(TickClock clock);

    CaptureLog &capture() { return m_capture; }
    const CaptureLog &capture() const { return m_capture; }

    // The receive threshold of the receiving port: the byte length of the expected
    // command in the answer mode, so that the comparison sees all of it at once.
    // With answer rules every byte is looked at as it arrives.
    static qint16 receiveThreshold(qint16 mode, const QString &inCommand, qint16 format,
                                   bool rules = false);

    // Opening: each throws Component::RuntimeError and leaves that port closed. The
    // opens after a closePorts() are one start and share StartMilliseconds.
    void openOutPort(const Line &line);
    void openInPort(const Line &line, qint16 threshold, qint16 format);
    // Also calls off an open that waits for its server.
    void closePorts();
    // A port waits for its server inside the event loop; the engine must live on.
    bool waiting() const { return m_outPort.Busy() || m_inPort.Busy(); }
    bool portsOpen() const { return m_outPort.PortOpen() || m_inPort.PortOpen(); }
    // What more is known about the last lost device than that it went away; may be empty.
    QString lossReason() const { return m_lossReason; }
    // Sends go through the receiving port, which serves both directions.
    void setSamePort(bool samePort) { m_samePort = samePort; }
    bool samePort() const { return m_samePort; }

    // After the ports are open: the header record when capturing, then the timer in the
    // sending modes; the first send comes one period later.
    void begin(const Run &run, const CaptureHeader &header);
    void stop();
    // No further send; the ports stay as they are.
    void stopSending() { m_timer.stop(); }
    bool sending() const { return m_timer.isActive(); }

    // Data arriving from now on is shown and captured in this format.
    void setFormat(qint16 format);
    qint16 format() const { return m_format; }

    // The cutter of a frame rule for a port of these line settings.
    static FrameCutter frameCutter(const FrameRule &rule, const QString &settings);
    // Timestamps, spaced hex and the frame rule of what arrives from now on; the other
    // options are the window's to apply. A new frame rule applies at once: what the old
    // one held is shown first.
    void setLineOptions(const LineOptions &options);
    // RS-485 direction control and echo suppression of each port, for the next open.
    void setRs485(const Rs485Settings &out, const Rs485Settings &in);
    // What the drivers of the open ports hold of RS-485 otherwise than asked.
    QStringList rs485Differences() const;
    // Echo bytes taken out and echoes that differed, over the open ports of the run.
    quint64 echoBytes() const;
    quint64 echoCollisions() const;
    // The run's turnaround figures so far; they stay after the stop until the next begin.
    TurnaroundTimes::Figures turnaround() const { return m_turnaround.figures(); }
    // Each received frame (what the frame rule cuts, or the gap of NewLineGapMilliseconds
    // ends without one) is checked for its checksum at its end, and marked good or bad
    // after it in the pane and the capture; none by default.
    void setReceiveChecksum(const Checksum &checksum);
    const Checksum &receiveChecksum() const { return m_check.checksum(); }
    // The rules of a running answer mode that answers by rules, at once; false when the
    // run answers otherwise (or `rules` is empty), and the rules wait for the next start.
    bool setAnswerRules(const QList<AnswerRule> &rules);

    // DTR and RTS of each port, applied at once to an open port and kept for the next open.
    void setLineOutputs(bool outDtr, bool outRts, bool inDtr, bool inRts);

    // One port's line as the line window shows it. One port serving both ways is the
    // receiving port, except in the send-only mode, where only the sending port opens.
    struct LineState
    {
        qint16 port = 0;
        bool open = false;
        std::optional<ModemLines::Inputs> inputs;
    };
    LineState lineState(bool sendingSide, bool samePort) const;
    // Throws Component::RuntimeError; false when the line refuses a break.
    bool sendBreak(bool sendingSide, bool samePort);

    // Capture on or off; switching it off first writes what the buffer holds.
    void setCapturing(bool capturing);
    bool capturing() const { return m_capturing; }
    // One capture record, when capturing; the header record takes `header`.
    void addCaptureRecord(CaptureLog::RecordKind kind, const QString &text,
                          const CaptureHeader &header = {});
    void writeCapture();

    // The clear button: the next received data never begins a new line.
    void resetTicks();

    // One send of the command: written, then shown and captured (also when the write
    // failed). False when nothing was sent because the line holds too much already.
    bool send();
    // One send of other bytes between the run's own (a row of the command list), shown
    // and captured as `shown`.
    bool sendOnce(const QByteArray &bytes, const QString &shown);

signals:
    // A port's remark on its line (a server that ignores a setting, say).
    void notice(const QString &text);
    // An open waits for the server of a network line.
    void connecting();
    void sent(const QString &command);
    void received(const QString &text, bool newLine);
    // The bytes of each receive event, for those who look for replies in them; raised
    // only while someone listens.
    void arrived(const QByteArray &bytes);
    // A single send is done: the timer stopped, the ports stay open.
    void singleSendDone();
    // Reported once per error number and run.
    void failed(int number, const QString &description, TransferEngine::Hint hint);
    // The line holds OutputBacklogBytes unsent; reported once per run.
    void sendsSkipped(qint16 port);
    void captureFailed();
    // The device of a port went away; both ports are closed and the timer stopped.
    void deviceLost(qint16 port);

protected:
    // For tests that look at a port's own state.
    CommPort &outPort() { return m_outPort; }
    CommPort &inPort() { return m_inPort; }

private:
    bool outPortServes(bool sendingSide, bool samePort) const;
    void onTimer();
    void onInComm();
    void onOutComm();
    enum class Outcome { Written, Failed, Skipped };

    CommPort &sendingPort() { return m_samePort ? m_inPort : m_outPort; }
    Outcome writeCommand() { return writeCommand(m_run.outData); }
    Outcome writeCommand(const QVariant &data);
    void write(const QVariant &data);
    void showSent() { showSent(m_run.outCommand); }
    void showSent(const QString &command);
    QByteArray receivedBytes(const QString &text) const;
    void judgeFrame();
    struct Answers
    {
        bool command = false;     // the expected command was answered
        QStringList rules;        // the rules' answers written, as they show
    };
    Answers answer(const QByteArray &bytes, const QString &text);
    bool expectsCommand() const;
    void showAnswers(const Answers &answers);
    QStringList answerRules(const QByteArray &bytes);
    void answerLater(const AnswerRule &rule);
    bool newLineDue(qint32 now) const;
    QString receivedText();
    void startFraming(const QString &settings);
    void receiveFrames();
    void showPieces(const QList<FramePiece> &pieces);
    void captured(CaptureLog::WriteStatus status);
    void report(int number, const QString &description, Hint hint);
    void loseDevice(CommPort &port);
    std::optional<QDeadlineTimer> startDeadline();

    CommPort m_outPort;
    CommPort m_inPort;
    QTimer m_timer;
    TickClock m_clock;
    Run m_run;
    bool m_samePort = false;
    qint16 m_threshold = 0;
    qint16 m_format = 0;
    qint32 m_tickLast = 0;
    LineOptions m_options;
    // The receiving port's frame cutter while a frame rule other than the default holds,
    // and the timer that gives up a length rule's partial frame once the line is quiet.
    std::optional<FrameCutter> m_cutter;
    QString m_inSettings;
    QTimer m_frameIdle;
    bool m_lineBegun = false;    // the receive pane's last line holds received data
    bool m_lineEnded = false;    // and a frame's own line break ended it
    QString m_lineStamp;         // when the first byte of that line arrived
    bool m_capturing = false;
    CaptureLog m_capture;
    QSet<int> m_reported;
    bool m_backlogReported = false;
    std::optional<QDeadlineTimer> m_startDeadline;
    QString m_lossReason;
    TurnaroundTimes m_turnaround;
    RuleMatcher m_matcher;
    quint64 m_runNumber = 0;     // a delayed answer belongs to the run it was due in
    FrameCheck m_check;
    QTimer m_frameEnd;           // the pause that ends a frame being checked
    bool m_quietEndsFrames = true;
};

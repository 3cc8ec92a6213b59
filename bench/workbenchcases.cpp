// Velmora benchmark. Licensed under the MIT licence.
#include "workbenchcases.h"

#include "baselines.h"
#include "farend.h"
#include "lateserver.h"
#include "measurements.h"
#include "pseudoterminal.h"
#include "ser2netserver.h"
#include "session.h"

#include <checksum.h>
#include <commandcodec.h>
#include <protocolfile.h>

#include <QEvent>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <cstring>
#include <memory>

namespace WorkbenchCases {

namespace {

constexpr int SlowReaderChunk = 16; // a UART's receive FIFO

// Tells when a pane has drawn the end of the stream: its text ends with the stream's
// last bytes (which occur nowhere before them) and it has painted since it last changed.
class PaneWatch : public QObject
{
public:
    PaneWatch(QPlainTextEdit *pane, const QString &shownEnd)
        : m_pane(pane),
          m_shownEnd(shownEnd)
    {
        pane->viewport()->installEventFilter(this);
        connect(pane->document(), &QTextDocument::contentsChanged, this, [this] { m_changedSincePaint = true; });
    }

    bool drawnToTheEnd() const
    {
        if (m_changedSincePaint)
            return false;
        QString text = m_pane->document()->lastBlock().text();
        for (QTextBlock block = m_pane->document()->lastBlock().previous();
             text.size() < 2 * m_shownEnd.size() && block.isValid(); block = block.previous())
            text.prepend(block.text());
        return text.endsWith(m_shownEnd);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_changedSincePaint = false;
        return QObject::eventFilter(watched, event);
    }

private:
    QPlainTextEdit *m_pane;
    QString m_shownEnd;
    bool m_changedSincePaint = true;
};

qint64 fileSize(const QString &path)
{
    return QFile(path).size();
}

// The capture holds one block whose received record is the whole stream.
bool captureHolds(const QString &path, qint64 bytes, int format)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    const QByteArray prefix = QStringLiteral("接收数据：").toUtf8();
    const int start = content.indexOf(prefix);
    if (start < 0)
        return false;
    const auto shown = [format](const QByteArray &raw) {
        return format == 0 ? raw : CommandCodec::hexText(raw).toLatin1();
    };
    const QByteArray expectedBlock = shown(Baselines::payloadBlock());
    const QByteArray expectedEnd = shown(Baselines::streamEnd());
    const int perByte = format == 0 ? 1 : 2;
    const qint64 payloadSize = (bytes - Baselines::streamEnd().size()) * perByte;
    const char *data = content.constData() + start + prefix.size();
    if (content.size() - start - prefix.size() != payloadSize + expectedEnd.size())
        return false;
    for (qint64 offset = 0; offset < payloadSize; offset += expectedBlock.size()) {
        const qint64 size = std::min<qint64>(expectedBlock.size(), payloadSize - offset);
        if (memcmp(data + offset, expectedBlock.constData(), size_t(size)) != 0)
            return false;
    }
    return memcmp(data + payloadSize, expectedEnd.constData(), size_t(expectedEnd.size())) == 0;
}

// Starts the session and lets the far end run until its work is done, then stops.
void whileFarEndRuns(WindowSession &session, const std::function<void()> &work)
{
    session.clickButtonCom();
    FarEnd farEnd(work);
    runUntil([&] { return farEnd.done(); });
    farEnd.join();
    session.clickButtonCom();
}

} // namespace

ReceiveResult receive(qint64 bytes, int format, bool throughSer2net)
{
    ReceiveResult result;
    PseudoTerminal terminal;
    std::unique_ptr<Ser2netServer> server;
    if (throughSer2net) {
        server = std::make_unique<Ser2netServer>(terminal.slavePath(), true);
        if (!server->listening())
            return result;
    }
    WindowSession session(server ? server->address() : terminal.slavePath());
    session.prepare(2, format);
    session.check("CheckSaveInfo", true);
    session.clickButtonCom();
    const QByteArray &end = Baselines::streamEnd();
    PaneWatch pane(session.pane("TextComInput"),
                   format == 0 ? QString::fromLatin1(end) : CommandCodec::hexText(end));
    // The program writes the capture's last records when communication stops; the file
    // then holds at least the stream's bytes.
    const qint64 leastCaptureSize = fileSize(session.captureFile()) + bytes * (format == 0 ? 1 : 2);

    StallMonitor stalls;
    stalls.start();
    const double cpuStart = Measurements::processCpuSeconds();
    const std::int64_t start = Measurements::nowMicroseconds();
    FarEnd farEnd([&] { Baselines::farEndStream(terminal.master(), bytes); });
    const bool drawn = runUntil([&] {
        return farEnd.done() && terminal.bytesWaitingAtSlave() <= 0 && pane.drawnToTheEnd();
    });
    result.longestStallMs = stalls.longestStallMs();
    session.clickButtonCom();
    const bool written = runUntil([&] { return fileSize(session.captureFile()) >= leastCaptureSize; }, 1, 10000);
    if (drawn && written)
        result.seconds = (Measurements::nowMicroseconds() - start) / 1e6;
    result.cpuSeconds = Measurements::processCpuSeconds() - cpuStart - farEnd.join();
    result.peakMemoryMiB = Measurements::peakMemoryMiB();
    result.captureComplete = captureHolds(session.captureFile(), bytes, format);
    return result;
}

double steadyCpuShare(qint64 bytesPerSecond, int seconds, const QByteArray &options)
{
    PseudoTerminal terminal;
    WindowSession session(terminal.slavePath(), options);
    session.prepare(2, 0);
    session.check("CheckSaveInfo", true);
    session.clickButtonCom();
    const double cpuStart = Measurements::processCpuSeconds();
    const std::int64_t start = Measurements::nowMicroseconds();
    FarEnd farEnd([&] { Baselines::farEndStream(terminal.master(), bytesPerSecond * seconds, bytesPerSecond); });
    runUntil([&] { return farEnd.done(); }, 50);
    const double farEndCpu = farEnd.join();
    const double share = (Measurements::processCpuSeconds() - cpuStart - farEndCpu)
                         / ((Measurements::nowMicroseconds() - start) / 1e6);
    session.clickButtonCom();
    return share;
}

QVector<double> answerRoundTrips(int exchanges, const QByteArray &command, const QByteArray &answer)
{
    PseudoTerminal terminal;
    WindowSession session(terminal.slavePath());
    session.prepare(3, 0);
    session.type("TextComOutCommand", QString::fromLatin1(answer));
    session.type("TextComInCommand", QString::fromLatin1(command));
    QVector<double> trips;
    whileFarEndRuns(session, [&] {
        trips = Baselines::farEndExchanges(terminal.master(), exchanges, command, answer);
    });
    return trips;
}

QVector<double> ruleRoundTrips(int exchanges, int rules, const QByteArray &command, const QByteArray &answer)
{
    ProtocolSet set;
    for (int i = 1; i < rules; ++i) {
        ProtocolSet::Rule other;
        other.expected = QStringLiteral("X%1?").arg(i);
        other.answer = QStringLiteral("NO");
        set.rules.append(other);
    }
    ProtocolSet::Rule last;
    last.expected = QString::fromLatin1(command);
    last.answer = QString::fromLatin1(answer);
    set.rules.append(last);
    PseudoTerminal terminal;
    WindowSession session(terminal.slavePath(), ProtocolFile::toJson(set));
    session.prepare(3, 0);
    QVector<double> trips;
    whileFarEndRuns(session, [&] {
        trips = Baselines::farEndExchanges(terminal.master(), exchanges, command, answer);
    });
    return trips;
}

double crc32MBps(int bytes)
{
    QByteArray data(bytes, Qt::Uninitialized);
    for (int i = 0; i < bytes; ++i)
        data[i] = char(i * 131 + (i >> 9));
    Checksum crc;
    crc.algorithm = Checksum::Algorithm::Crc32IsoHdlc;
    quint64 sink = 0;
    const int passes = 20;
    const std::int64_t start = Measurements::nowMicroseconds();
    for (int pass = 0; pass < passes; ++pass)
        sink ^= crc.value(data);
    const double seconds = (Measurements::nowMicroseconds() - start) / 1e6;
    return sink == 1 ? 0 : double(bytes) * passes / (1024.0 * 1024.0) / seconds;
}

QVector<double> periodicIntervals(int periods)
{
    PseudoTerminal terminal;
    WindowSession session(terminal.slavePath());
    session.prepare(0, 0);
    session.check("CheckComAuto", true);
    session.pick("ComboComTime", QStringLiteral("200"));
    session.type("TextComOutCommand", QStringLiteral("AT"));
    QVector<double> intervals;
    whileFarEndRuns(session, [&] {
        intervals = Baselines::farEndArrivalIntervals(terminal.master(), periods);
    });
    return intervals;
}

SlowReaderResult slowReader(int commandBytes, int bytesPerSecond, int seconds)
{
    SlowReaderResult result;
    PseudoTerminal terminal;
    WindowSession session(terminal.slavePath());
    session.prepare(0, 0, QStringLiteral("9600"));
    session.check("CheckComAuto", true);
    session.pick("ComboComTime", QStringLiteral("200"));
    session.type("TextComOutCommand", QString::fromLatin1(Baselines::longCommand(commandBytes)));
    std::atomic<bool> stop {false};
    Baselines::SlowReading reading;
    FarEnd farEnd([&] {
        reading = Baselines::farEndReadSlowly(terminal.master(), bytesPerSecond, SlowReaderChunk, stop);
    });
    const std::int64_t start = Measurements::nowMicroseconds();
    const auto elapsed = [start] { return (Measurements::nowMicroseconds() - start) / 1e6; };
    session.clickButtonCom();
    runUntil([&] { return !session.communicating() || elapsed() >= seconds; }, 10, (seconds + 10) * 1000);
    const double ran = elapsed();
    result.stillSending = session.communicating();
    stop = true;
    farEnd.join();
    result.messages = session.messages();
    result.firstErrorNumber = session.firstErrorNumber();
    result.secondsWithoutReport = session.messages() > 0
                                      ? (session.firstMessageMicroseconds() - start) / 1e6
                                      : ran;
    result.bytesPerSecondRead = reading.bytesRead / ran;
    result.mostWaiting = reading.mostWaiting;
    result.peakMemoryMiB = Measurements::peakMemoryMiB();
    if (result.stillSending)
        session.clickButtonCom();
    return result;
}

StartResult lateStart(int delayMs)
{
    StartResult result;
    LateServer server(delayMs);
    WindowSession session(QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.port()));
    session.prepare(2, 0);
    StallMonitor stalls;
    stalls.start();
    runUntil([] { return false; }, 1, 50);
    const std::int64_t start = Measurements::nowMicroseconds();
    session.clickButtonCom();
    result.started = runUntil([&] { return session.communicating() && session.inPortOpen(); }, 1, 20000);
    if (result.started)
        result.seconds = (Measurements::nowMicroseconds() - start) / 1e6;
    // What the start leaves for the loop (a notice, the first receive) counts too.
    runUntil([] { return false; }, 1, 200);
    result.longestStallMs = stalls.longestStallMs();
    result.messages = session.messages();
    if (session.communicating())
        session.clickButtonCom();
    return result;
}

} // namespace WorkbenchCases

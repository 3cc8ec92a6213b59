// Velmora benchmark. Licensed under the MIT licence.
#include "linktestcases.h"

#include "measurements.h"

#include <blockframe.h>
#include <linkchecker.h>
#include <linkrunner.h>
#include <portmap.h>
#include <pseudoterminal.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace LinkTestCases {

namespace {

constexpr double MiB = 1024.0 * 1024.0;
constexpr int ChunkBytes = 4096;
constexpr int PayloadBytes = 256;

// Passes what arrives at one master on to the other, at most `bytesPerSecond` when set.
class Forwarder
{
public:
    Forwarder(int from, int to, double bytesPerSecond = 0)
        : m_thread([this, from, to, bytesPerSecond] { run(from, to, bytesPerSecond); })
    {}
    ~Forwarder()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    void run(int from, int to, double bytesPerSecond)
    {
        char buffer[ChunkBytes];
        const std::int64_t start = Measurements::nowMicroseconds();
        qint64 passed = 0;
        while (!m_stop) {
            size_t want = sizeof buffer;
            if (bytesPerSecond > 0) {
                const double allowed = bytesPerSecond * (Measurements::nowMicroseconds() - start) / 1e6 - passed;
                if (allowed < 1) {
                    Measurements::sleepUntilMicroseconds(Measurements::nowMicroseconds() + 1000);
                    continue;
                }
                want = std::min(want, size_t(allowed));
            }
            pollfd watch {from, POLLIN, 0};
            if (poll(&watch, 1, 50) <= 0)
                continue;
            const ssize_t got = ::read(from, buffer, want);
            for (ssize_t done = 0; got > 0 && done < got && !m_stop;) {
                const ssize_t n = ::write(to, buffer + done, size_t(got - done));
                if (n > 0) {
                    done += n;
                } else {
                    pollfd out {to, POLLOUT, 0};
                    poll(&out, 1, 50);
                }
            }
            if (got > 0)
                passed += got;
        }
    }

    std::atomic<bool> m_stop {false};
    std::thread m_thread;
};

int openSlave(const PseudoTerminal &terminal)
{
    return ::open(terminal.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
}

// Com 1 and Com 2 on two pseudo-terminals, in a port map of the case's own.
struct PortPair
{
    PortPair()
    {
        PortMap::setFolder(folder.path());
        PortMap::setUserFolder(folder.path());
        QFile ini(folder.filePath(QStringLiteral("ports.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write(QStringLiteral("COM1=%1\nCOM2=%2\n").arg(a.slavePath(), b.slavePath()).toUtf8());
    }

    QTemporaryDir folder;
    PseudoTerminal a;
    PseudoTerminal b;
};

LinkFigures runLinkTest(const LinkSetup &setup, int timeoutMs)
{
    LinkPorts ports;
    ports.out = {1, QStringLiteral("115200,N,8,1"), 0};
    ports.in = {2, QStringLiteral("115200,N,8,1"), 0};
    LinkRunner runner;
    QSignalSpy finished(&runner, &LinkRunner::finished);
    runner.start(ports, setup);
    if (!finished.wait(timeoutMs)) {
        runner.stop();
        runner.stop();
    }
    return runner.figures();
}

} // namespace

// One thread writes into one slave as the line takes it and reads the other, comparing
// with the bytes written; the pattern is made before the clock starts.
Result plainLoop(qint64 bytes)
{
    PortPair pair;
    Forwarder forwarder(pair.a.master(), pair.b.master());
    const int out = openSlave(pair.a);
    const int in = openSlave(pair.b);
    TestPattern pattern(TestPattern::Prbs15);
    const QByteArray period = pattern.take(32767 * 4);
    QByteArray received(ChunkBytes, Qt::Uninitialized);
    qint64 written = 0;
    qint64 compared = 0;
    bool equal = true;
    const double cpu = Measurements::processCpuSeconds();
    const std::int64_t start = Measurements::nowMicroseconds();
    while (compared < bytes) {
        pollfd watch[2] = {{in, POLLIN, 0}, {out, short(written < bytes ? POLLOUT : 0), 0}};
        if (poll(watch, 2, 2000) <= 0)
            break;
        if (watch[1].revents & POLLOUT) {
            const qsizetype at = written % period.size();
            const size_t want = size_t(std::min<qint64>({ChunkBytes, bytes - written, period.size() - at}));
            const ssize_t n = ::write(out, period.constData() + at, want);
            if (n > 0)
                written += n;
        }
        if (watch[0].revents & POLLIN) {
            const ssize_t got = ::read(in, received.data(), size_t(received.size()));
            for (ssize_t done = 0; got > 0 && done < got;) {
                const qsizetype at = compared % period.size();
                const qsizetype run = std::min<qsizetype>(got - done, period.size() - at);
                equal = equal && std::memcmp(received.constData() + done, period.constData() + at, size_t(run)) == 0;
                done += run;
                compared += run;
            }
        }
    }
    const double seconds = (Measurements::nowMicroseconds() - start) / 1e6;
    Result result;
    result.mbps = compared / MiB / seconds;
    result.cpuPerMiB = (Measurements::processCpuSeconds() - cpu) / (compared / MiB);
    result.complete = equal && compared == bytes;
    ::close(out);
    ::close(in);
    return result;
}

Result linkTest(qint64 bytes)
{
    PortPair pair;
    Forwarder forwarder(pair.a.master(), pair.b.master());
    LinkSetup setup;
    setup.amount = LinkSetup::Amount::Bytes;
    setup.bytes = bytes;
    setup.payloadBytes = PayloadBytes;
    const double cpu = Measurements::processCpuSeconds();
    const std::int64_t start = Measurements::nowMicroseconds();
    const LinkFigures figures = runLinkTest(setup, 120000);
    const double seconds = (Measurements::nowMicroseconds() - start) / 1e6;
    Result result;
    if (figures.directions.isEmpty())
        return result;
    const LinkCounts &c = figures.directions.first().counts;
    result.mbps = c.bytesReceived / MiB / seconds;
    result.cpuPerMiB = (Measurements::processCpuSeconds() - cpu) / (c.bytesReceived / MiB);
    result.complete = figures.passes(0) && c.bytesReceived >= bytes;
    return result;
}

double pacedShare(double seconds)
{
    PortPair pair;
    Forwarder forwarder(pair.a.master(), pair.b.master(), PacedBytesPerSecond);
    LinkSetup setup;
    setup.amount = LinkSetup::Amount::Seconds;
    setup.seconds = qint64(seconds);
    setup.payloadBytes = PayloadBytes;
    const LinkFigures figures = runLinkTest(setup, int(seconds * 1000) + 30000);
    if (figures.directions.isEmpty() || !figures.passes(0))
        return 0;
    return figures.directions.first().bytesPerSecond / PacedBytesPerSecond;
}

double checkerMBps(qint64 bytes)
{
    TestPattern pattern(TestPattern::Prbs15);
    QByteArray stream;
    const int blocks = int(bytes / (PayloadBytes + BlockFrame::Overhead));
    for (int n = 0; n < blocks; ++n)
        stream += BlockFrame::make(quint32(n), pattern.take(PayloadBytes));
    LinkChecker checker(LinkChecker::Form::Framed, TestPattern(TestPattern::Prbs15), PayloadBytes);
    const std::int64_t start = Measurements::nowMicroseconds();
    for (qsizetype at = 0; at < stream.size(); at += ChunkBytes)
        checker.feed(stream.mid(at, ChunkBytes));
    checker.finish(stream.size());
    const double seconds = (Measurements::nowMicroseconds() - start) / 1e6;
    return checker.counts().blocksGood == blocks ? stream.size() / MiB / seconds : 0;
}

} // namespace LinkTestCases

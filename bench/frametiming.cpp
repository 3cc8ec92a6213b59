// Velmora benchmark. Licensed under the MIT licence.
// How exactly a frame's time is taken: a far end writes an 8-byte frame at known times
// (every 20 ms, absolute due times of the system clock), the monitor receives on a
// pseudo-terminal and on a network line (ser2net with RFC 2217 on 127.0.0.1 serving
// another), and each frame's arrival time is compared with the time it was due.
// Prints the median, the 99th percentile and the range of arrival minus due, in ms.
#include "portmap.h"
#include "portmonitor.h"

#include <pseudoterminal.h>
#include <ser2netserver.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <thread>

namespace {

constexpr int Frames = 500;
constexpr qint64 PeriodMs = 20;

// Writes the frames from a thread of its own at absolute due times; returns them.
QList<qint64> playFarEnd(PseudoTerminal &far, qint64 firstDue)
{
    QList<qint64> due;
    for (int k = 0; k < Frames; ++k) {
        const qint64 at = firstDue + k * PeriodMs;
        timespec when{time_t(at / 1000), long((at % 1000) * 1000000)};
        clock_nanosleep(CLOCK_REALTIME, TIMER_ABSTIME, &when, nullptr);
        far.write(QByteArray("\x01\x03\x00\x00\x00\x0A\xC5\xCD", 8));
        due.append(at);
    }
    return due;
}

void measure(const char *name, PseudoTerminal &far, const QString &device, PseudoTerminal &other)
{
    QTemporaryDir folder;
    PortMap::setFolder(folder.path());
    QFile ini(folder.filePath(QStringLiteral("ports.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write(QStringLiteral("COM15=%1\nCOM16=%2\n").arg(device, other.slavePath()).toLocal8Bit());
    ini.close();

    PortMonitor monitor;
    const QString settings = QStringLiteral("115200,N,8,1");
    FrameRule rule;   // frames 20 ms apart, cut by a 5 ms pause
    rule.kind = FrameRule::GapMilliseconds;
    rule.gapMilliseconds = 5;
    monitor.start({15, settings, 0}, {16, settings, 0}, rule);
    const qint64 firstDue = QDateTime::currentMSecsSinceEpoch() + 300;
    QList<qint64> due;
    std::thread writer([&] { due = playFarEnd(far, firstDue); });
    QTest::qWait(int(Frames * PeriodMs + 600));
    writer.join();
    monitor.stop();

    // The n-th frame is the n-th write, as long as no two were joined.
    QList<qint64> late;
    for (const PortMonitor::Entry &e : monitor.log()) {
        if (e.starts && late.size() < due.size())
            late.append(e.arrival - due.at(late.size()));
    }
    std::sort(late.begin(), late.end());
    if (late.isEmpty()) {
        std::printf("%-18s no frames\n", name);
        return;
    }
    std::printf("%-18s frames %lld of %d  arrival - due: median %lld ms, 99%% %lld ms, range [%lld, %lld] ms\n",
                name, qint64(late.size()), Frames, late.at(late.size() / 2),
                late.at(late.size() * 99 / 100), late.first(), late.last());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    PseudoTerminal far;
    PseudoTerminal other;
    measure("pseudo-terminal", far, far.slavePath(), other);
    if (!Ser2netServer::available()) {
        std::printf("network line: ser2net is not installed\n");
        return 0;
    }
    PseudoTerminal served;
    Ser2netServer server(served.slavePath(), true);
    if (!server.listening()) {
        std::printf("network line: ser2net did not start\n");
        return 1;
    }
    measure("network (RFC 2217)", served, server.address(), other);
    return 0;
}

// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <QtGlobal>

// The link test beside a plain C loop that writes, reads and compares the same bytes,
// both over two pseudo-terminals joined by a forwarding thread (as socat joins them),
// a far end paced as a 115200 8N1 line, and the checker alone.
namespace LinkTestCases {

// 115200 baud, 8N1: 115200 / 10 bytes a second.
constexpr double PacedBytesPerSecond = 11520;

struct Result
{
    double mbps = 0;          // MiB of the stream a second
    double cpuPerMiB = 0;     // CPU seconds of the whole process, forwarder included
    bool complete = false;    // every byte arrived and compared equal
};

Result plainLoop(qint64 bytes);
Result linkTest(qint64 bytes);
// The link test's throughput through a forwarder that passes PacedBytesPerSecond, as a
// share of that rate.
double pacedShare(double seconds);
// MiB a second the checker takes of an undamaged framed stream held in memory.
double checkerMBps(qint64 bytes);

} // namespace LinkTestCases

// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// The program's real main window and engine, driven through its controls the way a
// user drives them, against a far end on a pseudo-terminal mapped as Com 15. CPU
// figures are the whole process's user and system time, less the far end's thread.
namespace WorkbenchCases {

struct ReceiveResult
{
    // From the far end's first byte until the last byte is drawn in the receive pane
    // and the capture file holds every byte (after the stop that writes it out).
    double seconds = -1;
    double cpuSeconds = 0;
    double longestStallMs = 0;  // the longest the event loop was kept from running
    double peakMemoryMiB = 0;
    bool captureComplete = false; // the capture file holds every byte, in order
};

// Mode 2, capture on; the far end writes `bytes` as fast as it can. format: 0 text, 1 hex.
// Through ser2net: the port is mapped to an RFC 2217 ser2net on 127.0.0.1 serving the
// pseudo-terminal, instead of the pseudo-terminal itself.
ReceiveResult receive(qint64 bytes, int format, bool throughSer2net = false);
// Mode 2, capture on, text; the far end writes steadily. The process's share of one core.
// `options`: the line window's options as velmora.ini holds them (a frame rule, say).
double steadyCpuShare(qint64 bytesPerSecond, int seconds, const QByteArray &options = {});
// Mode 3 expecting `command` and answering `answer`: round trips in microseconds.
QVector<double> answerRoundTrips(int exchanges, const QByteArray &command, const QByteArray &answer);
// The same exchange answered by the last of `rules` answer rules, the others never matching.
QVector<double> ruleRoundTrips(int exchanges, int rules, const QByteArray &command, const QByteArray &answer);
// CRC-32/ISO-HDLC over `bytes`, MB/s.
double crc32MBps(int bytes);
// Mode 0, period 200 ms, repeat on: the intervals between arrivals at the far end, in ms.
QVector<double> periodicIntervals(int periods);

struct SlowReaderResult
{
    double secondsWithoutReport = 0; // until the first message, or the whole run
    int messages = 0;
    int firstErrorNumber = 0;
    bool stillSending = false;       // communication still on at the end
    double bytesPerSecondRead = 0;   // what reached the far end
    int mostWaiting = 0;             // the most bytes waiting in the terminal
    double peakMemoryMiB = 0;
};

// Mode 0, a `commandBytes` command every 200 ms with repeat on, for `seconds`, while the
// far end reads only `bytesPerSecond`. Ends early once communication has stopped.
SlowReaderResult slowReader(int commandBytes, int bytesPerSecond, int seconds);

struct StartResult
{
    double longestStallMs = 0;  // the longest the event loop was kept from running
    double seconds = -1;        // from the click until the receiving port is open
    bool started = false;
    int messages = 0;
};

// Mode 2 on a port mapped to an RFC 2217 server that answers each phase of the start
// `delayMs` late; the event loop is watched from before the click until the run is on.
StartResult lateStart(int delayMs);

} // namespace WorkbenchCases

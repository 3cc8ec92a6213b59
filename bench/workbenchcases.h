// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <QVector>

// The program's real main window and engine, driven through its controls the way a
// user drives them, against a far end on a pseudo-terminal mapped as Com 15.
namespace WorkbenchCases {

struct ReceiveResult
{
    double seconds = -1;        // from the far end's first byte to the last one taken in
    double longestStallMs = 0;  // the longest the event loop was kept from running
    double peakMemoryMiB = 0;
    bool captureComplete = false; // the capture file holds every byte, in order
};

// Mode 2, capture on; the far end writes `bytes` as fast as it can. format: 0 text, 1 hex.
ReceiveResult receive(qint64 bytes, int format);
// Mode 2, capture on, text; the far end writes steadily. The GUI thread's share of one core.
double steadyCpuShare(qint64 bytesPerSecond, int seconds);
// Mode 3 expecting "AT" and answering "OK": round trips in microseconds.
QVector<double> answerRoundTrips(int exchanges);
// Mode 0, period 200 ms, repeat on: the intervals between arrivals at the far end, in ms.
QVector<double> periodicIntervals(int periods);

} // namespace WorkbenchCases

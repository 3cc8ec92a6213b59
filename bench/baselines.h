// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QVector>

// What the program is compared with: a plain read()/poll() loop and a bare
// QSerialPort without any window, on the same kind of pseudo-terminal.
namespace Baselines {

// One 64 KiB block of printable text lines ending in CR LF; the far end repeats it.
const QByteArray &payloadBlock();

// Seconds to take in `bytes` written by the far end as fast as it can.
double plainReceiveSeconds(qint64 bytes);
double serialPortReceiveSeconds(qint64 bytes);

// Round trips in microseconds: the far end writes "AT", the responder answers "OK".
QVector<double> plainRoundTrips(int exchanges);
QVector<double> serialPortRoundTrips(int exchanges);

// Reads exactly size bytes from fd, waiting at most 2 s for each part.
bool readExactly(int fd, char *data, qint64 size);

// A bare QTimer (precise, 200 ms) writing "AT" through a bare QSerialPort: the intervals
// between arrivals at the far end, in ms.
QVector<double> serialPortPeriodicIntervals(int periods);

// The far end timing `periods` arrivals of a two-byte command; the intervals in ms.
QVector<double> farEndArrivalIntervals(int master, int periods);
// The far end's side of `exchanges` round trips on the master of a terminal.
QVector<double> farEndExchanges(int master, int exchanges, const QByteArray &command,
                                const QByteArray &answer);
// The far end writing `bytes` of the payload as fast as it can (or paced, bytes per second).
bool farEndStream(int master, qint64 bytes, qint64 bytesPerSecond = 0);

} // namespace Baselines

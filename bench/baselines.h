// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QVector>

#include <atomic>

// What the program is compared with: a plain read()/poll() loop and a bare
// QSerialPort without any window, on the same kind of pseudo-terminal.
namespace Baselines {

// One 64 KiB block of printable text lines ending in CR LF; the far end repeats it.
const QByteArray &payloadBlock();
// The last bytes of every stream, found nowhere else in it: a pane that ends with them
// has been given the whole stream.
const QByteArray &streamEnd();

// Seconds to take in `bytes` written by the far end as fast as it can.
double plainReceiveSeconds(qint64 bytes);
double serialPortReceiveSeconds(qint64 bytes);
// The same through an RFC 2217 ser2net on 127.0.0.1 serving the terminal, read by a plain
// recv() loop that negotiates nothing: what the server itself can forward. -1 without ser2net.
double plainSer2netReceiveSeconds(qint64 bytes);

// Round trips in microseconds: the far end writes the command, the responder answers.
QVector<double> plainRoundTrips(int exchanges);
QVector<double> serialPortRoundTrips(int exchanges, const QByteArray &command, const QByteArray &answer);

// A command and an answer of `size` printable bytes, different from each other.
QByteArray longCommand(int size);
QByteArray longAnswer(int size);

// Reads exactly size bytes from fd, waiting at most 2 s for each part.
bool readExactly(int fd, char *data, qint64 size);

// A bare QTimer (precise, 200 ms) writing "AT" through a bare QSerialPort: the intervals
// between arrivals at the far end, in ms.
QVector<double> serialPortPeriodicIntervals(int periods);
// A thread sleeping with clock_nanosleep to absolute times 200 ms apart and writing "AT"
// with write(): the best a periodic sender can do on this machine.
QVector<double> nanosleepPeriodicIntervals(int periods);

// The far end timing `periods` arrivals of a two-byte command; the intervals in ms.
QVector<double> farEndArrivalIntervals(int master, int periods);
// The far end's side of `exchanges` round trips on the master of a terminal.
QVector<double> farEndExchanges(int master, int exchanges, const QByteArray &command,
                                const QByteArray &answer);
// The far end writing `bytes` of the payload, the stream's end included, as fast as it
// can (or paced, bytes per second).
bool farEndStream(int master, qint64 bytes, qint64 bytesPerSecond = 0);

// What a far end reading at a line's pace saw: `chunk` bytes at a time (a UART's
// receive FIFO), each at its due time, until `stop` is set.
struct SlowReading
{
    qint64 bytesRead = 0;
    int mostWaiting = 0; // the most bytes ever waiting in the terminal for the far end
};
SlowReading farEndReadSlowly(int master, int bytesPerSecond, int chunk, const std::atomic<bool> &stop);

} // namespace Baselines

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "linkchecker.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <map>

// What a link test is asked to do.
struct LinkSetup
{
    enum class Direction { OneWay, BothWays };
    enum class Amount { Seconds, Bytes, UntilStopped };

    TestPattern::Kind pattern = TestPattern::Prbs15;
    QByteArray userBytes;
    // The user's own pattern as typed, read in the main window's format at the start.
    QString userText;
    LinkChecker::Form form = LinkChecker::Form::Framed;
    int payloadBytes = 256;
    Direction direction = Direction::OneWay;
    Amount amount = Amount::Seconds;
    qint64 seconds = 10;
    qint64 bytes = 1024 * 1024;
    int pacePercent = 0;            // of the line's character rate; 0: as fast as it takes
    double bitErrorRateLimit = 0;   // the verdict passes at or below it

    // The [LinkTest] group of velmora.ini: every choice and the user's text (its bytes
    // come from the text at the start); missing keys and values out of range keep their
    // defaults.
    static LinkSetup load(const QString &path);
    // Written only when the file says otherwise.
    bool save(const QString &path) const;

    friend bool operator==(const LinkSetup &a, const LinkSetup &b);
};

// The driver's fault counts on one port during a test.
struct LineFaults
{
    qint64 frame = 0;
    qint64 parity = 0;
    qint64 overrun = 0;
    qint64 breaks = 0;

    qint64 total() const { return frame + parity + overrun + breaks; }
};

// The round trip of the sent stream, sampled per write.
struct LatencyFigures
{
    int samples = 0;
    double minimum = 0;   // milliseconds
    double median = 0;
    double p99 = 0;
    double maximum = 0;
};

// The round trips of one direction, counted in buckets of a microsecond below a
// millisecond and of three significant digits above: a test of hours keeps at most some
// thousands of counts, not one per write, and its figures come without sorting. The
// minimum and maximum are exact; the median and p99 (by nearest rank, as in the list of
// every sample sorted) lie within 1 % of it.
class LatencyRecord
{
public:
    void add(qint64 microseconds);
    LatencyFigures figures() const;

private:
    std::map<qint64, qint64> m_counts;   // bucket (microseconds) -> samples
    qint64 m_samples = 0;
    qint64 m_minimum = 0;
    qint64 m_maximum = 0;
};

// One direction of a test: what went out of one port and what the other found.
struct DirectionFigures
{
    qint16 fromPort = 0;
    qint16 toPort = 0;
    qint64 bytesSent = 0;
    LinkCounts counts;
    LineFaults lineFaults;        // of the receiving port
    LatencyFigures latency;
    double bytesPerSecond = 0;
    double theoreticalBytesPerSecond = 0;   // 0: the line has no baud rate

    double bitErrorRate() const;
    // With no error, the bit error rate lies below this with 95 % confidence.
    double bitErrorRateBound() const;
    bool passes(double bitErrorRateLimit) const;
};

// The figures of a whole test, live or at its end.
struct LinkFigures
{
    QDateTime started;
    QDateTime ended;
    double elapsedSeconds = 0;
    QList<DirectionFigures> directions;
    bool finished = false;
    bool stoppedEarly = false;
    QString lossNote;              // why the test ended on a lost device or line

    bool passes(double bitErrorRateLimit) const;
};

// A line's character rate: baud / (start + data + parity + stop bits), from the
// settings string ("115200,N,8,1" gives 11520 bytes/s).
double characterRate(const QString &settings);

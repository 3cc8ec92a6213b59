// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVector>

#include <cstdint>

// Small measuring tools shared by every case.
namespace Measurements {

double percentile(QVector<double> values, double fraction);
double mean(const QVector<double> &values);
// CPU time of the calling thread, in seconds.
double threadCpuSeconds();
// User and system time of the whole process, every thread included, in seconds.
double processCpuSeconds();
// Peak resident memory of this process, in MiB.
double peakMemoryMiB();
// Microseconds on a monotonic clock, comparable between threads.
std::int64_t nowMicroseconds();
// Sleeps until the monotonic clock reaches `microseconds`.
void sleepUntilMicroseconds(std::int64_t microseconds);

} // namespace Measurements

// Watches the event loop of the thread it lives in: the longest gap between two
// ticks of a 1 ms timer is the longest the loop was kept from running.
class StallMonitor : public QObject
{
    Q_OBJECT

public:
    explicit StallMonitor(QObject *parent = nullptr);
    void start();
    double longestStallMs() const { return m_longestMs; }

private:
    void tick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    double m_longestMs = 0;
};

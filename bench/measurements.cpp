// Velmora benchmark. Licensed under the MIT licence.
#include "measurements.h"

#include <algorithm>
#include <cerrno>
#include <numeric>
#include <sys/resource.h>
#include <time.h>

namespace Measurements {

double percentile(QVector<double> values, double fraction)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int index = std::min<int>(values.size() - 1, int(fraction * (values.size() - 1) + 0.5));
    return values.at(index);
}

double mean(const QVector<double> &values)
{
    return values.isEmpty() ? 0 : std::accumulate(values.begin(), values.end(), 0.0) / values.size();
}

double threadCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

double processCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec
           + usage.ru_stime.tv_usec / 1e6;
}

double peakMemoryMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

std::int64_t nowMicroseconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void sleepUntilMicroseconds(std::int64_t microseconds)
{
    const timespec due {time_t(microseconds / 1000000), long(microseconds % 1000000) * 1000};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) == EINTR) {
    }
}

} // namespace Measurements

StallMonitor::StallMonitor(QObject *parent)
    : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(1);
    connect(&m_timer, &QTimer::timeout, this, &StallMonitor::tick);
}

void StallMonitor::start()
{
    m_clock.start();
    m_lastNs = 0;
    m_longestMs = 0;
    m_timer.start();
}

void StallMonitor::tick()
{
    const qint64 now = m_clock.nsecsElapsed();
    m_longestMs = std::max(m_longestMs, (now - m_lastNs) / 1e6);
    m_lastNs = now;
}

// Velmora benchmark. Licensed under the MIT licence.
#include "farend.h"

#include "measurements.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

FarEnd::FarEnd(std::function<void()> work)
    : m_thread([this, work = std::move(work)] {
          const double start = Measurements::threadCpuSeconds();
          work();
          m_cpuSeconds = Measurements::threadCpuSeconds() - start;
          m_done = true;
      })
{
}

FarEnd::~FarEnd()
{
    join();
}

double FarEnd::join()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_cpuSeconds;
}

bool runUntil(const std::function<bool()> &done, int pollMs, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    bool timedOut = false;
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        timedOut = clock.elapsed() >= timeoutMs;
        if (timedOut || done())
            loop.quit();
    });
    check.start(pollMs);
    if (!done())
        loop.exec();
    return !timedOut;
}

// Velmora workbench. Licensed under the MIT licence.
#include "arrivalbatcher.h"

ArrivalBatcher::ArrivalBatcher(QObject *parent) : QObject(parent)
{
    m_interval.setSingleShot(true);
    m_interval.setTimerType(Qt::PreciseTimer);
    m_interval.setInterval(IntervalMilliseconds);
    connect(&m_interval, &QTimer::timeout, this, &ArrivalBatcher::intervalEnded);
}

void ArrivalBatcher::arrived()
{
    if (m_interval.isActive()) {
        m_held = true;
        return;
    }
    m_interval.start();
    emit due();
}

// What came during the interval is told now, and the next interval gathers again; an
// interval without arrivals ends the stream's pacing.
void ArrivalBatcher::intervalEnded()
{
    if (!m_held)
        return;
    m_held = false;
    m_interval.start();
    emit due();
}

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QList>
#include <QtGlobal>

// The driver's running totals of line faults on one port; comparing two readings
// tells which line events happened in between.
struct LineErrorCounts
{
    quint32 frame = 0;
    quint32 parity = 0;
    quint32 overrun = 0;
    quint32 bufferOverrun = 0;
    quint32 breaks = 0;

    // The CommEvent codes of the counters that grew since `before`, one per kind.
    QList<qint16> eventsSince(const LineErrorCounts &before) const;
};

// Velmora workbench. Licensed under the MIT licence.
#include "lineerrorcounts.h"

#include "commport.h"

QList<qint16> LineErrorCounts::eventsSince(const LineErrorCounts &before) const
{
    const struct {
        quint32 now;
        quint32 then;
        qint16 event;
    } kinds[] = {
        {breaks, before.breaks, CommPort::EventBreak},
        {frame, before.frame, CommPort::EventFrame},
        {overrun, before.overrun, CommPort::EventOverrun},
        {bufferOverrun, before.bufferOverrun, CommPort::EventRxOver},
        {parity, before.parity, CommPort::EventRxParity},
    };
    QList<qint16> events;
    for (const auto &kind : kinds) {
        if (kind.now != kind.then)
            events.append(kind.event);
    }
    return events;
}

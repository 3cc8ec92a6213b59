// Velmora workbench. Licensed under the MIT licence.
#include "lineerrorcounts.h"

#include "commerrors.h"

QList<qint16> LineErrorCounts::eventsSince(const LineErrorCounts &before) const
{
    const struct {
        quint32 now;
        quint32 then;
        qint16 event;
    } kinds[] = {
        {breaks, before.breaks, CommErrors::EventBreak},
        {frame, before.frame, CommErrors::EventFrame},
        {overrun, before.overrun, CommErrors::EventOverrun},
        {bufferOverrun, before.bufferOverrun, CommErrors::EventRxOver},
        {parity, before.parity, CommErrors::EventRxParity},
    };
    QList<qint16> events;
    for (const auto &kind : kinds) {
        if (kind.now != kind.then)
            events.append(kind.event);
    }
    return events;
}

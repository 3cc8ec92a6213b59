// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "bytepattern.h"

#include <QByteArray>
#include <QList>

// Finds requests in received data however the line cuts it: a request split over several
// reads, or two in one read, each match once. Where requests of several patterns could
// begin at one byte, the first pattern of the list wins, also when it is still incomplete:
// the matcher then waits for more, so any cut of a stream matches as the whole does.
// Bytes that can no longer begin a match are dropped, so the data kept is always shorter
// than the longest pattern.
class RuleMatcher
{
public:
    void setPatterns(const QList<BytePattern> &patterns);
    bool isEmpty() const { return m_patterns.isEmpty(); }
    // Forgets what was received so far.
    void reset() { m_pending.clear(); }

    // The indexes of the patterns matched by the data received so far and `data`,
    // in the order their requests arrived.
    QList<int> feed(QByteArrayView data);
    qsizetype pendingBytes() const { return m_pending.size(); }

private:
    static constexpr int NoMatch = -1;
    static constexpr int Undecided = -2;
    int matchAt(QByteArrayView data) const;

    QList<BytePattern> m_patterns;
    QByteArray m_pending;
};

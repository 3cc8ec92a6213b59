// Velmora workbench. Licensed under the MIT licence.
#include "rulematcher.h"

void RuleMatcher::setPatterns(const QList<BytePattern> &patterns)
{
    m_patterns = patterns;
    m_pending.clear();
}

// The first pattern, in list order, that matches at the start of the data; -1 for none,
// and -2 when a pattern before any match may still match once more data arrives.
int RuleMatcher::matchAt(QByteArrayView data) const
{
    for (int i = 0; i < m_patterns.size(); ++i) {
        const BytePattern &pattern = m_patterns.at(i);
        if (pattern.matchesAt(data))
            return i;
        if (pattern.beginsMatch(data))
            return Undecided;
    }
    return NoMatch;
}

QList<int> RuleMatcher::feed(QByteArrayView data)
{
    QList<int> matched;
    if (m_patterns.isEmpty())
        return matched;
    m_pending.append(data);
    const QByteArrayView pending(m_pending);
    qsizetype at = 0;
    // Decided byte by byte as the whole stream would decide it, however it was cut.
    while (at < pending.size()) {
        const int index = matchAt(pending.sliced(at));
        if (index == Undecided)
            break;
        if (index == NoMatch) {
            ++at;
            continue;
        }
        matched.append(index);
        at += m_patterns.at(index).size();
    }
    m_pending.remove(0, at);
    return matched;
}

// Velmora workbench. Licensed under the MIT licence.
#include "turnaroundtimes.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

const char Format[] = QT_TRANSLATE_NOOP("TurnaroundTimes", "最短 %1 毫秒，中位 %2 毫秒，最长 %3 毫秒（%4 次）");

QString milliseconds(qint64 ns)
{
    return QString::number(double(ns) / 1e6, 'f', 2);
}

} // namespace

void TurnaroundTimes::reset()
{
    m_sentAt = 0;
    m_samples.clear();
}

void TurnaroundTimes::sent(qint64 lastByteAt)
{
    m_sentAt = lastByteAt;
}

void TurnaroundTimes::arrived(qint64 firstByteAt)
{
    // An arrival stamped before the send is the tail of an earlier reply.
    if (m_sentAt == 0 || firstByteAt < m_sentAt)
        return;
    m_samples.push_back(firstByteAt - m_sentAt);
    m_sentAt = 0;
}

TurnaroundTimes::Figures TurnaroundTimes::figures() const
{
    if (m_samples.empty())
        return {};
    std::vector<qint64> sorted = m_samples;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    const qint64 median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    return {int(n), sorted.front(), median, sorted.back()};
}

QString TurnaroundTimes::text(const Figures &figures, Language language)
{
    if (figures.exchanges == 0)
        return {};
    const QString format = language == Language::Shown ? QCoreApplication::translate("TurnaroundTimes", Format)
                                                       : QString::fromUtf8(Format);
    return format.arg(milliseconds(figures.minimumNs), milliseconds(figures.medianNs), milliseconds(figures.maximumNs))
        .arg(figures.exchanges);
}

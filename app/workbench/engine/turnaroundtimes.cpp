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

// Linear, as the line window asks for it while the run goes on.
TurnaroundTimes::Figures TurnaroundTimes::figures() const
{
    if (m_samples.empty())
        return {};
    std::vector<qint64> samples = m_samples;
    const auto [least, most] = std::minmax_element(samples.begin(), samples.end());
    const qint64 minimum = *least;
    const qint64 maximum = *most;
    const auto upper = samples.begin() + qsizetype(samples.size() / 2);
    std::nth_element(samples.begin(), upper, samples.end());
    qint64 median = *upper;
    if (samples.size() % 2 == 0)
        median = (*std::max_element(samples.begin(), upper) + median) / 2;
    return {int(samples.size()), minimum, median, maximum};
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

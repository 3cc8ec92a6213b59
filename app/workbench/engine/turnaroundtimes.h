// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

// The far end's turnaround over one run: from the last byte of a send leaving to the
// first byte of the reply arriving, once per exchange. A send that gets no reply before
// the next send counts for nothing.
class TurnaroundTimes
{
public:
    struct Figures
    {
        int exchanges = 0;
        qint64 minimumNs = 0;
        qint64 medianNs = 0;
        qint64 maximumNs = 0;
    };

    void reset();
    // Steady-clock nanoseconds, as the ports stamp them; 0 is no stamp.
    void sent(qint64 lastByteAt);
    void arrived(qint64 firstByteAt);

    Figures figures() const;
    // "最短 0.41 毫秒，中位 0.53 毫秒，最长 1.20 毫秒（1000 次）"; empty without exchanges.
    // The capture keeps it in Chinese whatever the interface's language.
    enum class Language { Shown, Capture };
    static QString text(const Figures &figures, Language language = Language::Shown);

private:
    qint64 m_sentAt = 0;   // of the send still waiting for its reply
    std::vector<qint64> m_samples;
};

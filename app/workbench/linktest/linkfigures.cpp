// Velmora workbench. Licensed under the MIT licence.
#include "linkfigures.h"

#include "linesettings.h"

#include <runtimeerror.h>

#include <algorithm>
#include <cmath>

LatencyFigures LatencyFigures::of(QList<double> milliseconds)
{
    LatencyFigures figures;
    if (milliseconds.isEmpty())
        return figures;
    std::sort(milliseconds.begin(), milliseconds.end());
    const auto at = [&milliseconds](double fraction) {
        return milliseconds[qMin(milliseconds.size() - 1, qsizetype(std::ceil(fraction * milliseconds.size())) - 1)];
    };
    figures.samples = int(milliseconds.size());
    figures.minimum = milliseconds.first();
    figures.median = at(0.5);
    figures.p99 = at(0.99);
    figures.maximum = milliseconds.last();
    return figures;
}

double DirectionFigures::bitErrorRate() const
{
    const qint64 bits = counts.bitsCompared();
    return bits > 0 ? double(counts.bitErrors) / double(bits) : 0.0;
}

double DirectionFigures::bitErrorRateBound() const
{
    const qint64 bits = counts.bitsCompared();
    return bits > 0 ? 3.0 / double(bits) : 1.0;
}

// Nothing may be lost, added or out of step, and something must have been compared.
bool DirectionFigures::passes(double bitErrorRateLimit) const
{
    return counts.bitsCompared() > 0 && bitErrorRate() <= bitErrorRateLimit && counts.bytesLost == 0
           && counts.bytesInserted == 0 && counts.blocksLost == 0 && counts.blocksDuplicated == 0
           && counts.syncLosses == 0 && counts.bytesUnaligned == 0;
}

bool LinkFigures::passes(double bitErrorRateLimit) const
{
    if (directions.isEmpty() || !lossNote.isEmpty())
        return false;
    return std::all_of(directions.cbegin(), directions.cend(),
                       [bitErrorRateLimit](const DirectionFigures &d) { return d.passes(bitErrorRateLimit); });
}

double characterRate(const QString &settings)
{
    try {
        const LineSettings line = LineSettings::parse(settings);
        const double stop = line.stopBits == LineSettings::StopBits::One ? 1.0
                            : line.stopBits == LineSettings::StopBits::OneAndHalf ? 1.5 : 2.0;
        const int parity = line.parity == QSerialPort::NoParity ? 0 : 1;
        return line.baudRate / (1.0 + line.dataBits + parity + stop);
    } catch (const Component::RuntimeError &) {
        return 0;
    }
}

// Velmora fuzz targets. Licensed under the MIT licence.
// The NumberLED text formatter on any value, cell count and number of decimals.
#include "fuzzcheck.h"

#include <ledtext.h>

#include <QDateTime>

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    double value = 0;
    const QByteArray raw = input.bytes(sizeof value);
    std::memcpy(&value, raw.leftJustified(sizeof value, '\0').constData(), sizeof value);
    const int cells = qint8(input.byte());
    const int decimals = qint8(input.byte());

    const QString formatted = LedText::formatNumber(value, decimals);
    if (std::isfinite(value) && std::fabs(value) < 1e15) {
        const qsizetype point = formatted.indexOf(QLatin1Char('.'));
        FUZZ_CHECK(decimals > 0 ? formatted.size() - point - 1 == decimals : point < 0);
    }
    const QString fitted = LedText::number(value, cells, decimals);
    FUZZ_CHECK(fitted.size() == qMax(cells, 0));
    const QString text = QString::fromUtf8(input.bytes(64));
    FUZZ_CHECK(LedText::fitToCells(text, cells).size() == qMax(cells, 0));
    const qint64 seconds = qint64(input.word()) * 86400;
    FUZZ_CHECK(LedText::dateTime(QDateTime::fromSecsSinceEpoch(seconds)).size() == 19);
    return 0;
}

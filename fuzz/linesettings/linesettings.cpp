// Velmora fuzz targets. Licensed under the MIT licence.
// The settings string of a port ("9600,N,8,1") on any text: it is taken or refused with
// error 380, never anything else, and what it takes is written back by the lists' own
// rule and reads the same.
#include "fuzzcheck.h"

#include <commerrors.h>
#include <linesettings.h>
#include <runtimeerror.h>

namespace {

QString stopText(LineSettings::StopBits stop)
{
    switch (stop) {
    case LineSettings::StopBits::One: return QStringLiteral("1");
    case LineSettings::StopBits::OneAndHalf: return QStringLiteral("1.5");
    case LineSettings::StopBits::Two: break;
    }
    return QStringLiteral("2");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    LineSettings line;
    try {
        line = LineSettings::parse(text);
    } catch (const Component::RuntimeError &error) {
        FUZZ_CHECK(error.number() == CommErrors::ErrorInvalidSetting);
        FUZZ_CHECK(error.description().contains(text));
        return 0;
    }
    FUZZ_CHECK(line.baudRate > 0);
    FUZZ_CHECK(line.dataBits >= 4 && line.dataBits <= 8);

    const QString again = LineSettings::settingsString(QString::number(line.baudRate),
                                                       QString(LineSettings::parityLetter(line.parity)),
                                                       QString::number(line.dataBits), stopText(line.stopBits));
    FUZZ_CHECK(again.size() <= text.size());
    const LineSettings reread = LineSettings::parse(again);
    FUZZ_CHECK(reread.baudRate == line.baudRate);
    FUZZ_CHECK(reread.parity == line.parity);
    FUZZ_CHECK(reread.dataBits == line.dataBits);
    FUZZ_CHECK(reread.stopBits == line.stopBits);
    return 0;
}

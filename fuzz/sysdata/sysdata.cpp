// Velmora fuzz targets. Licensed under the MIT licence.
// The settings record reader on any file, and write -> read -> write on any record.
#include "fuzzcheck.h"

#include <sysdata.h>

namespace {

constexpr qsizetype LongestRecord = 38 + 2 * SysData::MaxTextBytes;

// Written bytes read back as a record that writes the same bytes again.
void checkStable(const SysData &record)
{
    const QByteArray written = record.toBytes();
    FUZZ_CHECK(written.size() <= LongestRecord);
    const SysData back = SysData::fromBytes(written);
    FUZZ_CHECK(back.toBytes() == written);
    FUZZ_CHECK(back.OutPort == record.OutPort && back.ComTime == record.ComTime);
    FUZZ_CHECK(back.SaveInfo == record.SaveInfo);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QByteArray file = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
    checkStable(SysData::fromBytes(file));

    // Texts of any code units, made long enough to reach the cap.
    SysData record;
    record.OutPort = qint16(input.word());
    record.ComTime = qint16(input.word());
    record.SaveInfo = qint16(input.word());
    const int repeats = 1 + input.byte() * 64;
    record.OutCommand = input.units(input.byte()).repeated(repeats);
    record.InCommand = input.units(input.byte()).repeated(repeats);
    checkStable(record);
    return 0;
}

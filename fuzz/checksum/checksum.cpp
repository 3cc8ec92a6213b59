// Velmora fuzz targets. Licensed under the MIT licence.
// A checksum's description, then a frame: a description read back is the checksum
// written, and a frame with its checksum appended checks good whatever the range.
#include "fuzzcheck.h"

#include <checksum.h>

#include <QJsonDocument>
#include <QJsonObject>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    const QByteArray description = split < 0 ? bytes : bytes.left(split);
    const QByteArray frame = split < 0 ? QByteArray() : bytes.mid(split + 1);

    QString error;
    const std::optional<Checksum> checksum =
        Checksum::fromJson(QJsonDocument::fromJson(description).object(), &error);
    FUZZ_CHECK(checksum.has_value() == error.isEmpty());
    if (!checksum)
        return 0;
    const std::optional<Checksum> again = Checksum::fromJson(checksum->toJson(), &error);
    FUZZ_CHECK(again && *again == *checksum);
    const QByteArray sent = checksum->appended(frame);
    FUZZ_CHECK(sent.size() == frame.size()
               + (checksum->enabled() ? checksum->fieldBytes() * (checksum->output == Checksum::Output::AsciiHex ? 2 : 1) : 0));
    FUZZ_CHECK(sent.left(frame.size()) == frame);
    if (checksum->enabled())
        FUZZ_CHECK(checksum->check(sent).good);
    return 0;
}

// Velmora fuzz targets. Licensed under the MIT licence.
// Commands in both data formats towards the port, received data back to display text,
// and the hexadecimal round trips.
#include "fuzzcheck.h"

#include <commandcodec.h>
#include <runtimeerror.h>
#include <systemcodepage.h>

#include <QRegularExpression>
#include <QVariant>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const int format = input.byte() & 1;
    const QByteArray raw = input.rest();
    const QString command = QString::fromUtf8(raw);

    const CommandCodec::Fault fault = CommandCodec::check(command, format);
    FUZZ_CHECK((fault.problem == CommandCodec::CommandProblem::None) == CommandCodec::refusal(fault).isEmpty());
    const QString pairs = CommandCodec::receivedForm(command, format);
    if (fault.problem == CommandCodec::CommandProblem::None) {
        try {
            const QVariant sent = CommandCodec::sendData(command, format);
            // An accepted hexadecimal command is its pairs and whitespace, nothing else.
            if (format == CommandCodec::FormatHex) {
                FUZZ_CHECK(CommandCodec::hexText(sent.toByteArray()) == pairs);
                FUZZ_CHECK(QString(command).remove(QRegularExpression(QStringLiteral("\\s"))).toUpper() == pairs);
            } else {
                FUZZ_CHECK(sent.toString() == command);
            }
        } catch (const Component::RuntimeError &) {
            FUZZ_CHECK(pairs.size() / 2 > 32767);
        }
    } else if (format == CommandCodec::FormatHex && fault.position > 0) {
        FUZZ_CHECK(!fault.character.isEmpty());
    }

    // Any bytes shown in hexadecimal read back as the same bytes.
    const QString hex = CommandCodec::hexText(raw);
    FUZZ_CHECK(hex.size() == 2 * raw.size());
    FUZZ_CHECK(CommandCodec::receivedText(QVariant(raw), CommandCodec::FormatHex) == hex);
    FUZZ_CHECK(CommandCodec::receivedText(QVariant(raw), CommandCodec::FormatText) == SystemCodePage::toUnicode(raw));
    FUZZ_CHECK(CommandCodec::receivedText(QVariant(command), CommandCodec::FormatText) == command);
    try {
        CommandCodec::receivedText(QVariant(command), CommandCodec::FormatHex);
        FUZZ_CHECK(false);
    } catch (const Component::RuntimeError &error) {
        FUZZ_CHECK(error.number() == CommandCodec::TypeMismatch);
    }
    // Well-formed pairs of either case give the bytes they spell, up to the 16-bit count.
    if (raw.size() <= 32767) {
        FUZZ_CHECK(CommandCodec::hexBytes(hex) == raw);
        FUZZ_CHECK(CommandCodec::hexBytes(hex.toLower()) == raw);
    }
    return 0;
}

// Velmora workbench. Licensed under the MIT licence.
#include "commandcodec.h"

#include "systemcodepage.h"

#include <runtimeerror.h>

#include <array>
#include <limits>

#include <uitext.h>

#include <QCoreApplication>

namespace {

const UiText RefusalLead("CommandCodec", QT_TRANSLATE_NOOP("CommandCodec", "对不起！\r\n\r\n"));
const UiText TypeMismatchDescription("CommandCodec", QT_TRANSLATE_NOOP("CommandCodec", "类型不匹配"));

constexpr int NoDigit = -1;

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return NoDigit;
}

bool isIgnoredBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// A pair read as a hexadecimal number: blanks skipped, digits up to the first other
// character, 0 when no digit leads.
char pairValue(QChar first, QChar second)
{
    int value = 0;
    for (QChar c : { first, second }) {
        if (isIgnoredBlank(c))
            continue;
        const int digit = hexDigit(c);
        if (digit == NoDigit)
            break;
        value = value * 16 + digit;
    }
    return char(value);
}

// Both digit characters of every byte value, upper case.
struct HexTable
{
    std::array<char16_t, 512> digits {};
    constexpr HexTable()
    {
        constexpr char16_t symbols[] = u"0123456789ABCDEF";
        for (int value = 0; value < 256; ++value) {
            digits[2 * value] = symbols[value >> 4];
            digits[2 * value + 1] = symbols[value & 0xF];
        }
    }
};
constexpr HexTable Hex;

} // namespace

CommandCodec::CommandProblem CommandCodec::check(const QString &command, int format)
{
    if (command.isEmpty())
        return CommandProblem::Empty;
    if (format == FormatHex && command.size() % 2 != 0)
        return CommandProblem::OddHexLength;
    return CommandProblem::None;
}

QString CommandCodec::refusal(CommandProblem problem)
{
    switch (problem) {
    case CommandProblem::Empty:
        return RefusalLead + QCoreApplication::translate("CommandCodec", "您不能设置空串命令！");
    case CommandProblem::OddHexLength:
        return RefusalLead + QCoreApplication::translate("CommandCodec", "您输入的16进制数据命令长度为奇数不符合要求！");
    case CommandProblem::None:
        break;
    }
    return QString();
}

QVariant CommandCodec::sendData(const QString &command, int format)
{
    if (format == FormatHex)
        return hexBytes(command);
    return command;
}

QByteArray CommandCodec::hexBytes(const QString &command)
{
    const qsizetype pairs = command.size() / 2;
    if (pairs > std::numeric_limits<qint16>::max())
        throw Component::RuntimeError::overflow();
    QByteArray bytes(pairs, Qt::Uninitialized);
    for (qsizetype k = 0; k < pairs; ++k)
        bytes[k] = pairValue(command.at(2 * k), command.at(2 * k + 1));
    return bytes;
}

QString CommandCodec::receivedText(const QVariant &value, int format)
{
    if (format == FormatHex) {
        if (value.typeId() != QMetaType::QByteArray)
            throw Component::RuntimeError(TypeMismatch, TypeMismatchDescription);
        return hexText(value.toByteArray());
    }
    if (value.typeId() == QMetaType::QByteArray)
        return SystemCodePage::toUnicode(value.toByteArray());
    return value.toString();
}

QString CommandCodec::hexText(const QByteArray &bytes)
{
    QString text(2 * bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = in + bytes.size();
    for (; in != end; ++in, out += 2) {
        out[0] = Hex.digits[2 * *in];
        out[1] = Hex.digits[2 * *in + 1];
    }
    return text;
}

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

int hexDigit(char32_t u)
{
    if (u >= U'0' && u <= U'9')
        return int(u - U'0');
    if (u >= U'A' && u <= U'F')
        return int(u - U'A' + 10);
    if (u >= U'a' && u <= U'f')
        return int(u - U'a' + 10);
    return NoDigit;
}

// A character as a refusal names it: itself, or its code where it would not show.
QString shownCharacter(QStringView typed, char32_t u)
{
    if (QChar::isPrint(u) && !QChar::isSpace(u))
        return typed.toString();
    return QStringLiteral("U+%1").arg(uint(u), 4, 16, QLatin1Char('0')).toUpper();
}

// The pairs of a hexadecimal command as upper-case digits without whitespace, up to
// its first fault.
struct HexScan
{
    QString digits;
    CommandCodec::Fault fault;
};

HexScan scanHex(const QString &command)
{
    using Problem = CommandCodec::CommandProblem;
    HexScan scan;
    scan.digits.reserve(command.size());
    CommandCodec::Fault half;     // a first digit waiting for its second
    bool halfEnded = false;       // whitespace came after it
    qsizetype position = 0;
    for (qsizetype i = 0; i < command.size();) {
        const qsizetype start = i;
        char32_t u = command.at(i++).unicode();
        if (QChar::isHighSurrogate(u) && i < command.size() && command.at(i).isLowSurrogate())
            u = QChar::surrogateToUcs4(char16_t(u), command.at(i++).unicode());
        ++position;
        const QStringView typed = QStringView(command).mid(start, i - start);
        if (QChar::isSpace(u)) {
            halfEnded = half.position != 0;
            continue;
        }
        if (halfEnded) {
            half.problem = Problem::HalfPair;
            scan.fault = half;
            return scan;
        }
        const int digit = hexDigit(u);
        if (digit == NoDigit) {
            scan.fault = {Problem::NotHexDigit, position, shownCharacter(typed, u)};
            return scan;
        }
        if (half.position == 0) {
            half = {Problem::OddHexLength, position, typed.toString()};
            continue;
        }
        scan.digits += half.character.toUpper();
        scan.digits += typed.toString().toUpper();
        half = {};
    }
    if (half.position != 0)
        scan.fault = half;
    else if (scan.digits.isEmpty())
        scan.fault.problem = Problem::Empty;
    return scan;
}

int pairValue(QChar high, QChar low)
{
    return hexDigit(high.unicode()) * 16 + hexDigit(low.unicode());
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

bool CommandCodec::Fault::operator==(const Fault &other) const
{
    return problem == other.problem && position == other.position && character == other.character;
}

CommandCodec::Fault CommandCodec::check(const QString &command, int format)
{
    if (command.isEmpty())
        return {CommandProblem::Empty, 0, QString()};
    if (format == FormatHex)
        return scanHex(command).fault;
    return {};
}

QString CommandCodec::refusal(const Fault &fault)
{
    switch (fault.problem) {
    case CommandProblem::Empty:
        return RefusalLead + QCoreApplication::translate("CommandCodec", "您不能设置空串命令！");
    case CommandProblem::OddHexLength:
        return RefusalLead + QCoreApplication::translate("CommandCodec", "您输入的16进制数据命令长度为奇数不符合要求！");
    case CommandProblem::NotHexDigit:
        //: %1 is the position of the character %2, counted from 1.
        return RefusalLead + QCoreApplication::translate("CommandCodec", "16进制数据命令的第 %1 个字符“%2”不是16进制数字！")
                                 .arg(fault.position).arg(fault.character);
    case CommandProblem::HalfPair:
        //: %1 is the position of the digit %2, counted from 1.
        return RefusalLead + QCoreApplication::translate("CommandCodec",
                                 "16进制数据命令的第 %1 个字符“%2”缺少另一位数字：每个字节须是两位相连的16进制数字！")
                                 .arg(fault.position).arg(fault.character);
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

QByteArray CommandCodec::sendBytes(const QString &command, int format)
{
    if (format == FormatHex)
        return hexBytes(command);
    return SystemCodePage::fromUnicode(command);
}

QByteArray CommandCodec::hexBytes(const QString &command)
{
    const QString digits = scanHex(command).digits;
    const qsizetype pairs = digits.size() / 2;
    if (pairs > std::numeric_limits<qint16>::max())
        throw Component::RuntimeError::overflow();
    QByteArray bytes(pairs, Qt::Uninitialized);
    for (qsizetype k = 0; k < pairs; ++k)
        bytes[k] = char(pairValue(digits.at(2 * k), digits.at(2 * k + 1)));
    return bytes;
}

QString CommandCodec::receivedForm(const QString &command, int format)
{
    return format == FormatHex ? scanHex(command).digits : command;
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

// Velmora workbench. Licensed under the MIT licence.
#include "checksum.h"

#include <uitext.h>

#include <boost/crc.hpp>

#include <QJsonValue>

#include <array>
#include <cmath>
#include <utility>

namespace {

// Reasons a file or a description is refused, named for the user.
const UiText UnknownAlgorithm("Checksum", QT_TRANSLATE_NOOP("Checksum", "未知的校验 \"%1\""));
const UiText RangeNotWhole("Checksum", QT_TRANSLATE_NOOP("Checksum", "\"from\" 和 \"to\" 必须是整数"));
const UiText ByteOrderNotKnown("Checksum", QT_TRANSLATE_NOOP("Checksum", "\"byteOrder\" 必须是 \"big\" 或 \"little\""));
const UiText OutputNotKnown("Checksum", QT_TRANSLATE_NOOP("Checksum", "\"output\" 必须是 \"binary\" 或 \"hex\""));
const UiText WidthOutOfRange("Checksum", QT_TRANSLATE_NOOP("Checksum", "自定义 CRC 的 \"width\" 必须是 1 到 64"));
const UiText ParameterTooWide("Checksum", QT_TRANSLATE_NOOP("Checksum", "自定义 CRC 的 \"poly\"、\"init\" 和 \"xorout\" 必须在其宽度之内"));

struct Entry
{
    Checksum::Algorithm algorithm;
    const char *name;
    int width;
};

// The catalogue in the order the lists show it.
constexpr Entry Catalogue[] = {
    {Checksum::Algorithm::Sum8, "SUM8", 8},
    {Checksum::Algorithm::Lrc, "LRC", 8},
    {Checksum::Algorithm::Xor8, "XOR8", 8},
    {Checksum::Algorithm::Crc8Smbus, "CRC-8/SMBUS", 8},
    {Checksum::Algorithm::Crc8MaximDow, "CRC-8/MAXIM-DOW", 8},
    {Checksum::Algorithm::Crc16Modbus, "CRC-16/MODBUS", 16},
    {Checksum::Algorithm::Crc16Ibm3740, "CRC-16/IBM-3740", 16},
    {Checksum::Algorithm::Crc16Xmodem, "CRC-16/XMODEM", 16},
    {Checksum::Algorithm::Crc16Kermit, "CRC-16/KERMIT", 16},
    {Checksum::Algorithm::Crc16IbmSdlc, "CRC-16/IBM-SDLC", 16},
    {Checksum::Algorithm::Crc32IsoHdlc, "CRC-32/ISO-HDLC", 32},
    {Checksum::Algorithm::Custom, "CUSTOM", 0},
};

const Entry *entry(Checksum::Algorithm algorithm)
{
    for (const Entry &e : Catalogue) {
        if (e.algorithm == algorithm)
            return &e;
    }
    return nullptr;
}

// A catalogue CRC through Boost's table-driven engine.
template <typename Crc>
quint64 optimal(QByteArrayView data)
{
    Crc crc;
    crc.process_bytes(data.data(), size_t(data.size()));
    return crc.checksum();
}

// A custom CRC: Boost's bit-wise engine takes the parameters at run time, the width
// only at compile time, so one function per width stands ready.
template <std::size_t Bits>
quint64 basic(const Checksum::CrcParameters &p, QByteArrayView data)
{
    using Value = typename boost::crc_basic<Bits>::value_type;
    boost::crc_basic<Bits> crc(Value(p.poly), Value(p.init), Value(p.xorOut), p.refIn, p.refOut);
    crc.process_bytes(data.data(), size_t(data.size()));
    return crc.checksum();
}

using BasicFunction = quint64 (*)(const Checksum::CrcParameters &, QByteArrayView);

template <std::size_t... Index>
constexpr std::array<BasicFunction, sizeof...(Index)> basicTable(std::index_sequence<Index...>)
{
    return {&basic<Index + 1>...};
}

constexpr auto BasicByWidth = basicTable(std::make_index_sequence<64>());

quint64 mask(int width)
{
    return width >= 64 ? ~quint64(0) : (quint64(1) << width) - 1;
}

QString hexNumber(quint64 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

std::optional<quint64> number(const QJsonValue &value)
{
    if (value.isDouble() && value.toDouble() >= 0 && value.toDouble() < 9007199254740992.0
        && value.toDouble() == qint64(value.toDouble()))
        return quint64(value.toDouble());
    if (!value.isString())
        return std::nullopt;
    QString text = value.toString().trimmed();
    int base = 10;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        text = text.mid(2);
        base = 16;
    }
    bool ok = false;
    const quint64 result = text.toULongLong(&ok, base);
    return ok ? std::optional<quint64>(result) : std::nullopt;
}

} // namespace

bool Checksum::CrcParameters::operator==(const CrcParameters &o) const
{
    return width == o.width && poly == o.poly && init == o.init && refIn == o.refIn
        && refOut == o.refOut && xorOut == o.xorOut;
}

bool Checksum::operator==(const Checksum &o) const
{
    return algorithm == o.algorithm && (algorithm != Algorithm::Custom || custom == o.custom)
        && from == o.from && to == o.to && order == o.order && output == o.output;
}

QStringList Checksum::names()
{
    QStringList result;
    for (const Entry &e : Catalogue)
        result << QString::fromLatin1(e.name);
    return result;
}

QString Checksum::name(Algorithm algorithm)
{
    const Entry *e = entry(algorithm);
    return e ? QString::fromLatin1(e->name) : QString();
}

std::optional<Checksum::Algorithm> Checksum::algorithmNamed(const QString &name)
{
    for (const Entry &e : Catalogue) {
        if (name.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0)
            return e.algorithm;
    }
    return std::nullopt;
}

std::optional<Checksum::CrcParameters> Checksum::parameters(Algorithm algorithm)
{
    switch (algorithm) {
    case Algorithm::Crc8Smbus: return CrcParameters{8, 0x07, 0, false, false, 0};
    case Algorithm::Crc8MaximDow: return CrcParameters{8, 0x31, 0, true, true, 0};
    case Algorithm::Crc16Modbus: return CrcParameters{16, 0x8005, 0xFFFF, true, true, 0};
    case Algorithm::Crc16Ibm3740: return CrcParameters{16, 0x1021, 0xFFFF, false, false, 0};
    case Algorithm::Crc16Xmodem: return CrcParameters{16, 0x1021, 0, false, false, 0};
    case Algorithm::Crc16Kermit: return CrcParameters{16, 0x1021, 0, true, true, 0};
    case Algorithm::Crc16IbmSdlc: return CrcParameters{16, 0x1021, 0xFFFF, true, true, 0xFFFF};
    case Algorithm::Crc32IsoHdlc:
        return CrcParameters{32, 0x04C11DB7, 0xFFFFFFFF, true, true, 0xFFFFFFFF};
    default: return std::nullopt;
    }
}

Checksum::ByteOrder Checksum::usualOrder(Algorithm algorithm)
{
    const std::optional<CrcParameters> p = parameters(algorithm);
    return p && p->refOut && p->width > 8 ? ByteOrder::LittleEndian : ByteOrder::BigEndian;
}

int Checksum::width() const
{
    if (algorithm == Algorithm::Custom)
        return custom.width;
    const Entry *e = entry(algorithm);
    return e ? e->width : 0;
}

int Checksum::fieldBytes() const
{
    return (width() + 7) / 8;
}

quint64 Checksum::value(QByteArrayView data) const
{
    switch (algorithm) {
    case Algorithm::None:
        return 0;
    case Algorithm::Sum8:
    case Algorithm::Lrc: {
        quint8 sum = 0;
        for (char c : data)
            sum = quint8(sum + quint8(c));
        return algorithm == Algorithm::Sum8 ? sum : quint8(-sum);
    }
    case Algorithm::Xor8: {
        quint8 sum = 0;
        for (char c : data)
            sum ^= quint8(c);
        return sum;
    }
    case Algorithm::Crc8Smbus:
        return optimal<boost::crc_optimal<8, 0x07, 0, 0, false, false>>(data);
    case Algorithm::Crc8MaximDow:
        return optimal<boost::crc_optimal<8, 0x31, 0, 0, true, true>>(data);
    case Algorithm::Crc16Modbus:
        return optimal<boost::crc_optimal<16, 0x8005, 0xFFFF, 0, true, true>>(data);
    case Algorithm::Crc16Ibm3740:
        return optimal<boost::crc_optimal<16, 0x1021, 0xFFFF, 0, false, false>>(data);
    case Algorithm::Crc16Xmodem:
        return optimal<boost::crc_optimal<16, 0x1021, 0, 0, false, false>>(data);
    case Algorithm::Crc16Kermit:
        return optimal<boost::crc_optimal<16, 0x1021, 0, 0, true, true>>(data);
    case Algorithm::Crc16IbmSdlc:
        return optimal<boost::crc_optimal<16, 0x1021, 0xFFFF, 0xFFFF, true, true>>(data);
    case Algorithm::Crc32IsoHdlc:
        return optimal<boost::crc_32_type>(data);
    case Algorithm::Custom:
        if (custom.width < 1 || custom.width > 64)
            return 0;
        return BasicByWidth[size_t(custom.width - 1)](custom, data) & mask(custom.width);
    }
    return 0;
}

quint64 Checksum::rangeValue(QByteArrayView data) const
{
    const qsizetype size = data.size();
    const qsizetype first = qMax<qsizetype>(0, from < 0 ? size + from : from);
    const qsizetype last = qMin<qsizetype>(size - 1, to < 0 ? size + to : to);
    return value(first <= last ? data.sliced(first, last - first + 1) : QByteArrayView());
}

QByteArray Checksum::field(quint64 value) const
{
    const int bytes = fieldBytes();
    QByteArray result(bytes, Qt::Uninitialized);
    for (int i = 0; i < bytes; ++i) {
        const int shift = 8 * (order == ByteOrder::BigEndian ? bytes - 1 - i : i);
        result[i] = char(shift < 64 ? quint8(value >> shift) : 0);
    }
    return output == Output::AsciiHex ? result.toHex().toUpper() : result;
}

QByteArray Checksum::appended(const QByteArray &frame) const
{
    return enabled() ? frame + field(rangeValue(frame)) : frame;
}

Checksum::Verdict Checksum::check(QByteArrayView frame) const
{
    const auto judge = [this](QByteArrayView whole) {
        const qsizetype length = fieldBytes() * (output == Output::AsciiHex ? 2 : 1);
        if (whole.size() < length)
            return Verdict{};
        const QByteArrayView body = whole.first(whole.size() - length);
        Verdict verdict;
        verdict.expected = field(rangeValue(body));
        const QByteArrayView got = whole.last(length);
        verdict.good = output == Output::AsciiHex
            ? got.toByteArray().compare(verdict.expected, Qt::CaseInsensitive) == 0
            : got == verdict.expected;
        return verdict;
    };
    const Verdict whole = judge(frame);
    if (whole.good)
        return whole;
    // A line ending after the field is set aside; a binary field may itself end in
    // the byte of a CR or LF, which the whole frame's verdict has already tried.
    QByteArrayView body = frame;
    while (!body.isEmpty() && (body.back() == '\r' || body.back() == '\n'))
        body.chop(1);
    return body.size() == frame.size() ? whole : judge(body);
}

QJsonObject Checksum::toJson() const
{
    QJsonObject object{
        {QStringLiteral("algorithm"), name(algorithm)},
        {QStringLiteral("from"), from},
        {QStringLiteral("to"), to},
        {QStringLiteral("byteOrder"),
         order == ByteOrder::BigEndian ? QStringLiteral("big") : QStringLiteral("little")},
        {QStringLiteral("output"),
         output == Output::Binary ? QStringLiteral("binary") : QStringLiteral("hex")},
    };
    if (algorithm == Algorithm::Custom) {
        object.insert(QStringLiteral("width"), custom.width);
        object.insert(QStringLiteral("poly"), hexNumber(custom.poly));
        object.insert(QStringLiteral("init"), hexNumber(custom.init));
        object.insert(QStringLiteral("refin"), custom.refIn);
        object.insert(QStringLiteral("refout"), custom.refOut);
        object.insert(QStringLiteral("xorout"), hexNumber(custom.xorOut));
    }
    return object;
}

std::optional<Checksum> Checksum::fromJson(const QJsonObject &object, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    Checksum result;
    const QString algorithmName = object.value(QStringLiteral("algorithm")).toString();
    const std::optional<Algorithm> algorithm = algorithmNamed(algorithmName);
    if (!algorithm)
        return fail(UnknownAlgorithm.arg(algorithmName));
    result.algorithm = *algorithm;

    const QJsonValue from = object.value(QStringLiteral("from"));
    const QJsonValue to = object.value(QStringLiteral("to"));
    if ((!from.isUndefined() && !from.isDouble()) || (!to.isUndefined() && !to.isDouble()))
        return fail(RangeNotWhole);
    // The range first: a double outside an int's range has no int to compare with.
    const double fromValue = from.toDouble(0), toValue = to.toDouble(-1);
    if (!(qAbs(fromValue) <= 1e9) || !(qAbs(toValue) <= 1e9) || fromValue != std::floor(fromValue)
        || toValue != std::floor(toValue))
        return fail(RangeNotWhole);
    result.from = int(fromValue);
    result.to = int(toValue);

    const QString order = object.value(QStringLiteral("byteOrder")).toString(QStringLiteral("big"));
    if (order != QLatin1String("big") && order != QLatin1String("little"))
        return fail(ByteOrderNotKnown);
    result.order = order == QLatin1String("big") ? ByteOrder::BigEndian : ByteOrder::LittleEndian;
    const QString output = object.value(QStringLiteral("output")).toString(QStringLiteral("binary"));
    if (output != QLatin1String("binary") && output != QLatin1String("hex"))
        return fail(OutputNotKnown);
    result.output = output == QLatin1String("binary") ? Output::Binary : Output::AsciiHex;

    if (result.algorithm != Algorithm::Custom)
        return result;
    const std::optional<quint64> width = number(object.value(QStringLiteral("width")));
    if (!width || *width < 1 || *width > 64)
        return fail(WidthOutOfRange);
    result.custom.width = int(*width);
    const auto field = [&](const char *key, quint64 *target) {
        const std::optional<quint64> n = number(object.value(QLatin1String(key)));
        if (!n || (*n & ~mask(result.custom.width)) != 0)
            return false;
        *target = *n;
        return true;
    };
    if (!field("poly", &result.custom.poly) || !field("init", &result.custom.init)
        || !field("xorout", &result.custom.xorOut))
        return fail(ParameterTooWide);
    result.custom.refIn = object.value(QStringLiteral("refin")).toBool();
    result.custom.refOut = object.value(QStringLiteral("refout")).toBool();
    return result;
}

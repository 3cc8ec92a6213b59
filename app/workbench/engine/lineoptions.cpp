// Velmora workbench. Licensed under the MIT licence.
#include "lineoptions.h"

#include "commandcodec.h"

#include <inifileeditor.h>

#include <uitext.h>

#include <QCoreApplication>
#include <QTime>

#include <tuple>

namespace {

const QString FileName = QStringLiteral("velmora.ini");
const QString CRLF = QStringLiteral("\r\n");
const UiText RefusalLead("LineOptions", QT_TRANSLATE_NOOP("LineOptions", "对不起！\r\n\r\n"));

// Every option once: its key in the file and its member.
struct FlagKey
{
    const char *key;
    bool LineOptions::*member;
};
const FlagKey FlagKeys[] = {
    {"Display/TimeStamp", &LineOptions::timeStamp},
    {"Display/HexSpace", &LineOptions::hexSpace},
    {"OutPort/DTR", &LineOptions::outDTR},
    {"OutPort/RTS", &LineOptions::outRTS},
    {"InPort/DTR", &LineOptions::inDTR},
    {"InPort/RTS", &LineOptions::inRTS},
};
struct TextKey
{
    const char *key;
    QString LineOptions::*member;
};
const TextKey TextKeys[] = {
    {"OutPort/Baud", &LineOptions::outBaud},
    {"InPort/Baud", &LineOptions::inBaud},
};
const char LineEndKey[] = "Send/LineEnd";

// The frame rule's numbers and flags, each once: its key and its member.
struct FrameNumberKey
{
    const char *key;
    int FrameRule::*member;
};
const FrameNumberKey FrameNumberKeys[] = {
    {"Frames/GapMs", &FrameRule::gapMilliseconds},
    {"Frames/FixedLength", &FrameRule::fixedLength},
    {"Frames/LengthOffset", &FrameRule::lengthOffset},
    {"Frames/LengthSize", &FrameRule::lengthSize},
    {"Frames/LengthAddend", &FrameRule::lengthAddend},
    {"Frames/MaxLength", &FrameRule::maxLength},
};
struct FrameBytesKey
{
    const char *key;
    QByteArray FrameRule::*member;
};
const FrameBytesKey FrameBytesKeys[] = {
    {"Frames/Terminator", &FrameRule::terminator},
    {"Frames/Header", &FrameRule::header},
};
const char FrameKindKey[] = "Frames/Kind";
const char FrameGapCharactersKey[] = "Frames/GapCharacters";
const char FrameBigEndianKey[] = "Frames/BigEndian";
const char FrameShowGapKey[] = "Frames/ShowGap";

FrameRule frameRuleIn(const IniFileEditor &file)
{
    FrameRule rule;
    rule.kind = FrameRule::Kind(file.number(QLatin1String(FrameKindKey), rule.kind));
    for (const FrameNumberKey &number : FrameNumberKeys)
        rule.*number.member = file.number(QLatin1String(number.key), rule.*number.member);
    for (const FrameBytesKey &bytes : FrameBytesKeys) {
        bool ok = false;
        const QByteArray read = FrameRule::bytesOfHex(
            QString::fromLatin1(file.value(QLatin1String(bytes.key))), &ok);
        if (ok && !file.value(QLatin1String(bytes.key)).isNull())
            rule.*bytes.member = read;
    }
    bool ok = false;
    const double characters = file.value(QLatin1String(FrameGapCharactersKey)).toDouble(&ok);
    if (ok)
        rule.gapCharacters = characters;
    rule.byteOrder = file.flag(QLatin1String(FrameBigEndianKey), true)
        ? FrameRule::ByteOrder::BigEndian : FrameRule::ByteOrder::LittleEndian;
    rule.showGap = file.flag(QLatin1String(FrameShowGapKey), rule.showGap);
    return rule.bounded();
}

void saveFrameRule(IniFileEditor &file, const FrameRule &stored, const FrameRule &rule)
{
    if (stored.kind != rule.kind)
        file.setNumber(QLatin1String(FrameKindKey), rule.kind);
    for (const FrameNumberKey &number : FrameNumberKeys) {
        if (stored.*number.member != rule.*number.member)
            file.setNumber(QLatin1String(number.key), rule.*number.member);
    }
    for (const FrameBytesKey &bytes : FrameBytesKeys) {
        if (stored.*bytes.member != rule.*bytes.member)
            file.setValue(QLatin1String(bytes.key), FrameRule::hexOfBytes(rule.*bytes.member).toLatin1());
    }
    if (stored.gapCharacters != rule.gapCharacters)
        file.setValue(QLatin1String(FrameGapCharactersKey), QByteArray::number(rule.gapCharacters));
    if (stored.byteOrder != rule.byteOrder)
        file.setFlag(QLatin1String(FrameBigEndianKey), rule.byteOrder == FrameRule::ByteOrder::BigEndian);
    if (stored.showGap != rule.showGap)
        file.setFlag(QLatin1String(FrameShowGapKey), rule.showGap);
}

auto fields(const LineOptions &o)
{
    return std::tie(o.lineEnd, o.timeStamp, o.hexSpace, o.outDTR, o.outRTS, o.inDTR, o.inRTS,
                    o.outBaud, o.inBaud, o.frames);
}

// The options as the file gives them: missing keys and values out of range keep their defaults.
LineOptions optionsIn(const IniFileEditor &file)
{
    LineOptions options;
    const int end = file.number(QLatin1String(LineEndKey), int(LineOptions::EndNone));
    if (end >= LineOptions::EndNone && end <= LineOptions::EndCRLF)
        options.lineEnd = LineOptions::LineEnd(end);
    for (const FlagKey &flag : FlagKeys)
        options.*flag.member = file.flag(QLatin1String(flag.key), options.*flag.member);
    for (const TextKey &text : TextKeys) {
        const QString baud = QString::fromUtf8(file.value(QLatin1String(text.key))).trimmed();
        if (LineOptions::checkBaud(baud) == LineOptions::BaudProblem::None)
            options.*text.member = baud;
    }
    options.frames = frameRuleIn(file);
    return options;
}

} // namespace

QString LineOptions::filePath(const QString &folder)
{
    return folder + QLatin1Char('/') + FileName;
}

LineOptions LineOptions::load(const QString &path)
{
    IniFileEditor file;
    file.read(path);
    return optionsIn(file);
}

// Only the options that read otherwise from the file are written.
bool LineOptions::save(const QString &path) const
{
    IniFileEditor file;
    file.read(path);
    const LineOptions stored = optionsIn(file);
    if (stored.lineEnd != lineEnd)
        file.setNumber(QLatin1String(LineEndKey), int(lineEnd));
    for (const FlagKey &flag : FlagKeys) {
        if (stored.*flag.member != this->*flag.member)
            file.setFlag(QLatin1String(flag.key), this->*flag.member);
    }
    for (const TextKey &text : TextKeys) {
        if (stored.*text.member != this->*text.member)
            file.setValue(QLatin1String(text.key), (this->*text.member).toUtf8());
    }
    saveFrameRule(file, stored.frames, frames.bounded());
    return file.write(path) == KeptFile::Result::Written;
}

QStringList LineOptions::lineEndNames()
{
    return {QCoreApplication::translate("LineOptions", "无"), QStringLiteral("CR"), QStringLiteral("LF"), QStringLiteral("CR LF")};
}

QString LineOptions::lineEndFor(int format) const
{
    if (format == CommandCodec::FormatHex)
        return {};
    switch (lineEnd) {
    case EndCR: return QStringLiteral("\r");
    case EndLF: return QStringLiteral("\n");
    case EndCRLF: return CRLF;
    case EndNone: break;
    }
    return {};
}

LineOptions::BaudProblem LineOptions::checkBaud(const QString &text)
{
    if (text.isEmpty())
        return BaudProblem::None;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return BaudProblem::NotDigits;
    }
    bool ok = false;
    const qint64 rate = text.toLongLong(&ok);
    return ok && rate >= LowestBaud && rate <= HighestBaud ? BaudProblem::None : BaudProblem::OutOfRange;
}

QString LineOptions::baudRefusal(BaudProblem problem)
{
    switch (problem) {
    case BaudProblem::NotDigits:
        return RefusalLead + QCoreApplication::translate("LineOptions", "自定义波特率只能由数字组成！");
    case BaudProblem::OutOfRange:
        return RefusalLead + QCoreApplication::translate("LineOptions", "自定义波特率必须在 %1 到 %2 之间！").arg(LowestBaud).arg(HighestBaud);
    case BaudProblem::None:
        break;
    }
    return {};
}

QString LineOptions::withBaud(const QString &settings, const QString &baud)
{
    if (baud.isEmpty())
        return settings;
    const qsizetype comma = settings.indexOf(QLatin1Char(','));
    return baud + (comma < 0 ? QString() : settings.mid(comma));
}

QString LineOptions::shownHex(const QString &pairs) const
{
    if (!hexSpace || pairs.size() <= 2)
        return pairs;
    QString spaced;
    spaced.reserve(pairs.size() * 3 / 2);
    for (qsizetype k = 0; k < pairs.size(); k += 2) {
        if (k > 0)
            spaced += QLatin1Char(' ');
        spaced += QStringView(pairs).mid(k, 2);
    }
    return spaced;
}

QString LineOptions::stamp(const QTime &time)
{
    return QLatin1Char('[') + time.toString(QStringLiteral("hh:mm:ss.zzz")) + QStringLiteral("] ");
}

bool operator==(const LineOptions &a, const LineOptions &b)
{
    return fields(a) == fields(b);
}

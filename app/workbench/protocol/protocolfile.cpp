// Velmora workbench. Licensed under the MIT licence.
#include "protocolfile.h"

#include "keptfile.h"

#include <uitext.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

// Reasons a file or a description is refused, named for the user.
const UiText ChecksumNotObject("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "\"checksum\" 必须是对象"));
const UiText CommandWithoutName("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "命令缺少 \"name\""));
const UiText FormatNotKnown("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "\"format\" 必须是 \"text\" 或 \"hex\""));
const UiText DataNotHex("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "\"data\" 不是16进制字节对"));
const UiText LineEndingNotKnown("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "\"lineEnding\" 必须是 window、none、cr、lf 或 crlf"));
const UiText HotkeyNotKnown("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "\"hotkey\" 必须是 F1 到 F12"));
const UiText RuleFormatNotKnown("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "格式必须是 \"text\" 或 \"hex\""));
const UiText AnswerNotHex("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "\"answer\" 不是16进制字节对"));
const UiText DelayOutOfRange("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "\"delayMs\" 必须是 0 到 %1"));
const UiText StepNotKnown("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "\"step\" 必须是 send、wait、expect、repeat 或 end"));
const UiText WaitOutOfRange("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "\"ms\" 必须是 0 到 %1"));
const UiText PatternFormatNotKnown("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "格式错误"));
const UiText TimesOutOfRange("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "\"times\" 必须是 1 到 %1"));
const UiText NotAList("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "\"%1\" 必须是列表"));
const UiText ItemFault("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "%1 第%2项：%3"));
const UiText ItemNotObject("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "不是对象"));
const UiText NotACommandList("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "不是 Velmora 命令列表（缺少 \"format\": \"%1\"）"));
const UiText VersionNotRead("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "本程序不能读取版本 %1"));
const UiText SequenceWithoutName("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "序列缺少 \"name\""));
const UiText SequenceNameTaken("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "序列名称 \"%1\" 已用过"));
const UiText RepeatWithoutEnd("ProtocolFile", QT_TRANSLATE_NOOP("ProtocolFile", "sequence：每个 \"repeat\" 都需要对应的 \"end\""));

// Keys and names as the file spells them.
const char FormatName[] = "velmora-protocol";

struct LineEndingName
{
    ProtocolSet::LineEnding ending;
    const char *name;
};
constexpr LineEndingName LineEndings[] = {
    {ProtocolSet::LineEnding::AsLineWindow, "window"},
    {ProtocolSet::LineEnding::None, "none"},
    {ProtocolSet::LineEnding::Cr, "cr"},
    {ProtocolSet::LineEnding::Lf, "lf"},
    {ProtocolSet::LineEnding::CrLf, "crlf"},
};

struct StepName
{
    ProtocolSet::Step::Kind kind;
    const char *name;
};
constexpr StepName Steps[] = {
    {ProtocolSet::Step::Send, "send"},
    {ProtocolSet::Step::Wait, "wait"},
    {ProtocolSet::Step::Expect, "expect"},
    {ProtocolSet::Step::RepeatBegin, "repeat"},
    {ProtocolSet::Step::RepeatEnd, "end"},
};

constexpr int LongestWait = 3600 * 1000;
constexpr int MostRepeats = 1000000;

QString formatName(bool hex)
{
    return hex ? QStringLiteral("hex") : QStringLiteral("text");
}

bool readFormat(const QJsonObject &object, const char *key, bool *hex)
{
    const QString name = object.value(QLatin1String(key)).toString(QStringLiteral("text"));
    *hex = name == QLatin1String("hex");
    return *hex || name == QLatin1String("text");
}

std::optional<int> readWhole(const QJsonValue &value, int least, int most)
{
    if (!value.isDouble())
        return std::nullopt;
    // The range first: a double outside an integer's range has no integer to compare with.
    const double n = value.toDouble();
    if (!(n >= least && n <= most) || n != std::floor(n))
        return std::nullopt;
    return int(n);
}

std::optional<Checksum> readChecksum(const QJsonValue &value, QString *reason)
{
    if (value.isUndefined() || value.isNull())
        return Checksum();
    if (!value.isObject()) {
        *reason = ChecksumNotObject;
        return std::nullopt;
    }
    return Checksum::fromJson(value.toObject(), reason);
}

QJsonValue checksumJson(const Checksum &checksum)
{
    return checksum.enabled() ? QJsonValue(checksum.toJson()) : QJsonValue();
}

std::optional<ProtocolSet::Command> readCommand(const QJsonObject &o, QString *reason)
{
    ProtocolSet::Command command;
    command.name = o.value(QStringLiteral("name")).toString();
    if (command.name.trimmed().isEmpty()) {
        *reason = CommandWithoutName;
        return std::nullopt;
    }
    if (!readFormat(o, "format", &command.hex)) {
        *reason = FormatNotKnown;
        return std::nullopt;
    }
    command.data = o.value(QStringLiteral("data")).toString();
    if (!ProtocolSet::encode(command.data, command.hex)) {
        *reason = DataNotHex;
        return std::nullopt;
    }
    const QString ending = o.value(QStringLiteral("lineEnding")).toString(QStringLiteral("window"));
    bool known = false;
    for (const LineEndingName &e : LineEndings) {
        if (ending == QLatin1String(e.name)) {
            command.lineEnding = e.ending;
            known = true;
        }
    }
    if (!known) {
        *reason = LineEndingNotKnown;
        return std::nullopt;
    }
    const QString hotkey = o.value(QStringLiteral("hotkey")).toString();
    if (!hotkey.isEmpty()) {
        bool ok = false;
        command.hotkey = hotkey.startsWith(QLatin1Char('F')) ? hotkey.mid(1).toInt(&ok) : 0;
        if (!ok || command.hotkey < 1 || command.hotkey > 12) {
            *reason = HotkeyNotKnown;
            return std::nullopt;
        }
    }
    const std::optional<Checksum> checksum = readChecksum(o.value(QStringLiteral("checksum")), reason);
    if (!checksum)
        return std::nullopt;
    command.checksum = *checksum;
    return command;
}

std::optional<ProtocolSet::Rule> readRule(const QJsonObject &o, QString *reason)
{
    ProtocolSet::Rule rule;
    rule.enabled = o.value(QStringLiteral("enabled")).toBool(true);
    if (!readFormat(o, "expectedFormat", &rule.expectedHex)
        || !readFormat(o, "answerFormat", &rule.answerHex)) {
        *reason = RuleFormatNotKnown;
        return std::nullopt;
    }
    rule.expected = o.value(QStringLiteral("expected")).toString();
    QString patternFault;
    if (!BytePattern::parse(rule.expected, rule.expectedHex, &patternFault)) {
        *reason = QStringLiteral("\"expected\": %1").arg(patternFault);
        return std::nullopt;
    }
    rule.answer = o.value(QStringLiteral("answer")).toString();
    if (!ProtocolSet::encode(rule.answer, rule.answerHex)) {
        *reason = AnswerNotHex;
        return std::nullopt;
    }
    const QJsonValue delayValue = o.value(QStringLiteral("delayMs"));
    const std::optional<int> delay = readWhole(delayValue.isUndefined() ? QJsonValue(0) : delayValue,
                                               0, ProtocolSet::Rule::MaximumDelay);
    if (!delay) {
        *reason = DelayOutOfRange.arg(ProtocolSet::Rule::MaximumDelay);
        return std::nullopt;
    }
    rule.delayMilliseconds = *delay;
    const std::optional<Checksum> checksum = readChecksum(o.value(QStringLiteral("checksum")), reason);
    if (!checksum)
        return std::nullopt;
    rule.checksum = *checksum;
    return rule;
}

std::optional<ProtocolSet::Step> readStep(const QJsonObject &o, QString *reason)
{
    ProtocolSet::Step step;
    const QString kind = o.value(QStringLiteral("step")).toString();
    bool known = false;
    for (const StepName &s : Steps) {
        if (kind == QLatin1String(s.name)) {
            step.kind = s.kind;
            known = true;
        }
    }
    if (!known) {
        *reason = StepNotKnown;
        return std::nullopt;
    }
    switch (step.kind) {
    case ProtocolSet::Step::Send:
        // A command named but missing fails its step when run: the file stays readable
        // whatever becomes of the list.
        step.command = o.value(QStringLiteral("command")).toString();
        break;
    case ProtocolSet::Step::Wait:
    case ProtocolSet::Step::Expect: {
        const std::optional<int> ms = readWhole(o.value(QStringLiteral("ms")), 0, LongestWait);
        if (!ms) {
            *reason = WaitOutOfRange.arg(LongestWait);
            return std::nullopt;
        }
        step.milliseconds = *ms;
        if (step.kind == ProtocolSet::Step::Wait)
            break;
        step.pattern = o.value(QStringLiteral("pattern")).toString();
        QString patternFault;
        if (!readFormat(o, "format", &step.hex)
            || !BytePattern::parse(step.pattern, step.hex, &patternFault)) {
            *reason = QStringLiteral("\"pattern\": %1").arg(patternFault.isEmpty()
                                                                ? PatternFormatNotKnown
                                                                : patternFault);
            return std::nullopt;
        }
        break;
    }
    case ProtocolSet::Step::RepeatBegin:
        break;
    case ProtocolSet::Step::RepeatEnd: {
        const std::optional<int> times = readWhole(o.value(QStringLiteral("times")), 1, MostRepeats);
        if (!times) {
            *reason = TimesOutOfRange.arg(MostRepeats);
            return std::nullopt;
        }
        step.times = *times;
        break;
    }
    }
    return step;
}

// Every "repeat" has its "end" after it.
bool repeatsPair(const QList<ProtocolSet::Step> &steps)
{
    int depth = 0;
    for (const ProtocolSet::Step &step : steps) {
        depth += step.kind == ProtocolSet::Step::RepeatBegin ? 1
            : step.kind == ProtocolSet::Step::RepeatEnd      ? -1
                                                             : 0;
        if (depth < 0)
            return false;
    }
    return depth == 0;
}

// Reads the items of one array, naming the first bad one.
template <typename Item, typename Reader>
bool readArray(const QJsonObject &root, const char *key, QList<Item> *items, Reader reader,
               QString *reason)
{
    const QJsonValue value = root.value(QLatin1String(key));
    if (value.isUndefined())
        return true;
    if (!value.isArray()) {
        *reason = NotAList.arg(QLatin1String(key));
        return false;
    }
    const QJsonArray array = value.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        QString itemReason;
        const auto item = array.at(i).isObject() ? reader(array.at(i).toObject(), &itemReason)
                                                 : std::nullopt;
        if (!item) {
            *reason = ItemFault
                          .arg(QLatin1String(key))
                          .arg(i + 1)
                          .arg(itemReason.isEmpty() ? ItemNotObject : itemReason);
            return false;
        }
        items->append(*item);
    }
    return true;
}

// A named sequence: its name, not taken by the main one or one before it, and its steps.
struct NamedSequenceReader
{
    const QList<ProtocolSet::NamedSequence> *before;

    std::optional<ProtocolSet::NamedSequence> operator()(const QJsonObject &o, QString *reason) const
    {
        ProtocolSet::NamedSequence sequence;
        sequence.name = o.value(QStringLiteral("name")).toString();
        if (sequence.name.trimmed().isEmpty()) {
            *reason = SequenceWithoutName;
            return std::nullopt;
        }
        const bool taken = sequence.name == QLatin1String(ProtocolSet::MainSequenceName)
            || std::any_of(before->cbegin(), before->cend(),
                           [&sequence](const ProtocolSet::NamedSequence &s) { return s.name == sequence.name; });
        if (taken) {
            *reason = SequenceNameTaken.arg(sequence.name);
            return std::nullopt;
        }
        if (!readArray(o, "steps", &sequence.steps, readStep, reason))
            return std::nullopt;
        if (!repeatsPair(sequence.steps)) {
            *reason = RepeatWithoutEnd;
            return std::nullopt;
        }
        return sequence;
    }
};

// The line of an offset into the text, counted from 1.
int lineOf(const QByteArray &bytes, qsizetype offset)
{
    return int(bytes.left(offset).count('\n')) + 1;
}

QJsonArray stepsJson(const QList<ProtocolSet::Step> &steps)
{
    QJsonArray sequence;
    for (const ProtocolSet::Step &s : steps) {
        QJsonObject step;
        for (const StepName &n : Steps) {
            if (n.kind == s.kind)
                step.insert(QStringLiteral("step"), QLatin1String(n.name));
        }
        switch (s.kind) {
        case ProtocolSet::Step::Send:
            step.insert(QStringLiteral("command"), s.command);
            break;
        case ProtocolSet::Step::Expect:
            step.insert(QStringLiteral("format"), formatName(s.hex));
            step.insert(QStringLiteral("pattern"), s.pattern);
            Q_FALLTHROUGH();
        case ProtocolSet::Step::Wait:
            step.insert(QStringLiteral("ms"), s.milliseconds);
            break;
        case ProtocolSet::Step::RepeatEnd:
            step.insert(QStringLiteral("times"), s.times);
            break;
        case ProtocolSet::Step::RepeatBegin:
            break;
        }
        sequence.append(step);
    }
    return sequence;
}

} // namespace

QByteArray ProtocolFile::toJson(const ProtocolSet &set)
{
    QJsonArray commands;
    for (const ProtocolSet::Command &c : set.commands) {
        QString ending;
        for (const LineEndingName &e : LineEndings) {
            if (e.ending == c.lineEnding)
                ending = QLatin1String(e.name);
        }
        commands.append(QJsonObject{
            {QStringLiteral("name"), c.name},
            {QStringLiteral("format"), formatName(c.hex)},
            {QStringLiteral("data"), c.data},
            {QStringLiteral("lineEnding"), ending},
            {QStringLiteral("checksum"), checksumJson(c.checksum)},
            {QStringLiteral("hotkey"), c.hotkey ? QStringLiteral("F%1").arg(c.hotkey) : QString()},
        });
    }
    QJsonArray rules;
    for (const ProtocolSet::Rule &r : set.rules) {
        rules.append(QJsonObject{
            {QStringLiteral("enabled"), r.enabled},
            {QStringLiteral("expectedFormat"), formatName(r.expectedHex)},
            {QStringLiteral("expected"), r.expected},
            {QStringLiteral("answerFormat"), formatName(r.answerHex)},
            {QStringLiteral("answer"), r.answer},
            {QStringLiteral("checksum"), checksumJson(r.checksum)},
            {QStringLiteral("delayMs"), r.delayMilliseconds},
        });
    }
    QJsonObject root{
        {QStringLiteral("format"), QLatin1String(FormatName)},
        {QStringLiteral("version"), Version},
        {QStringLiteral("commands"), commands},
        {QStringLiteral("rules"), rules},
        {QStringLiteral("sequence"), stepsJson(set.sequence)},
        {QStringLiteral("stopAtFailure"), set.stopAtFailure},
        {QStringLiteral("receiveChecksum"), checksumJson(set.receiveChecksum)},
    };
    // Only a file that holds named sequences names them: others read as they always did.
    if (!set.namedSequences.isEmpty()) {
        QJsonArray named;
        for (const ProtocolSet::NamedSequence &n : set.namedSequences)
            named.append(QJsonObject{{QStringLiteral("name"), n.name}, {QStringLiteral("steps"), stepsJson(n.steps)}});
        root.insert(QStringLiteral("sequences"), named);
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ProtocolFile::Parsed ProtocolFile::parse(const QByteArray &bytes)
{
    Parsed result;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        result.line = lineOf(bytes, error.offset);
        result.reason = error.errorString();
        return result;
    }
    if (!document.isObject()
        || document.object().value(QStringLiteral("format")).toString() != QLatin1String(FormatName)) {
        result.line = 1;
        result.reason = NotACommandList
                            .arg(QLatin1String(FormatName));
        return result;
    }
    const QJsonObject root = document.object();
    const int version = root.value(QStringLiteral("version")).toInt(0);
    if (version < 1 || version > Version) {
        result.reason = VersionNotRead.arg(version);
        result.line = lineOf(bytes, bytes.indexOf("\"version\""));
        return result;
    }
    ProtocolSet set;
    QString reason;
    const char *failedKey = nullptr;
    if (!readArray(root, "commands", &set.commands, readCommand, &reason))
        failedKey = "commands";
    else if (!readArray(root, "rules", &set.rules, readRule, &reason))
        failedKey = "rules";
    else if (!readArray(root, "sequence", &set.sequence,
                        readStep, &reason))
        failedKey = "sequence";
    if (failedKey) {
        result.reason = reason;
        result.line = lineOf(bytes, bytes.indexOf(QByteArray("\"") + failedKey + '"'));
        return result;
    }
    if (!repeatsPair(set.sequence)) {
        result.reason = RepeatWithoutEnd;
        result.line = lineOf(bytes, bytes.indexOf("\"sequence\""));
        return result;
    }
    if (!readArray(root, "sequences", &set.namedSequences, NamedSequenceReader{&set.namedSequences}, &reason)) {
        result.reason = reason;
        result.line = lineOf(bytes, bytes.indexOf("\"sequences\""));
        return result;
    }
    set.stopAtFailure = root.value(QStringLiteral("stopAtFailure")).toBool(true);
    const std::optional<Checksum> receive =
        readChecksum(root.value(QStringLiteral("receiveChecksum")), &reason);
    if (!receive) {
        result.reason = QStringLiteral("receiveChecksum: %1").arg(reason);
        result.line = lineOf(bytes, bytes.indexOf("\"receiveChecksum\""));
        return result;
    }
    set.receiveChecksum = *receive;
    result.set = set;
    return result;
}

ProtocolStore::Result ProtocolStore::load(ProtocolSet *set, ProtocolFile::Parsed *problem)
{
    *set = {};
    QFile file(m_path);
    if (!file.exists()) {
        m_known = QByteArray();
        return Result::Missing;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_known.reset();
        if (problem)
            problem->reason = file.errorString();
        return Result::Failed;
    }
    const QByteArray bytes = file.readAll();
    const ProtocolFile::Parsed parsed = ProtocolFile::parse(bytes);
    if (!parsed.set) {
        m_known.reset();
        if (problem)
            *problem = parsed;
        return Result::Unreadable;
    }
    m_known = bytes;
    *set = *parsed.set;
    return Result::Done;
}

ProtocolStore::Result ProtocolStore::save(const ProtocolSet &set)
{
    QFile file(m_path);
    const bool exists = QFileInfo::exists(m_path);
    if (exists) {
        if (!m_known)
            return Result::Unreadable;
        if (!file.open(QIODevice::ReadOnly))
            return Result::Failed;
        if (file.readAll() != *m_known)
            return Result::Changed;
        file.close();
    }
    const QByteArray bytes = ProtocolFile::toJson(set);
    switch (KeptFile::write(m_path, bytes)) {
    case KeptFile::Result::Written:
        m_known = bytes;
        return Result::Done;
    case KeptFile::Result::SymbolicLink:
        return Result::SymbolicLink;
    case KeptFile::Result::ReadOnly:
        return Result::ReadOnly;
    case KeptFile::Result::Failed:
        break;
    }
    return Result::Failed;
}

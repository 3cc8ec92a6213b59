// Velmora workbench. Licensed under the MIT licence.
#include "protocolset.h"

#include "systemcodepage.h"

#include <QSet>

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

bool ProtocolSet::Command::operator==(const Command &o) const
{
    return name == o.name && hex == o.hex && data == o.data && lineEnding == o.lineEnding
        && checksum == o.checksum && hotkey == o.hotkey;
}

std::optional<QByteArray> ProtocolSet::Command::payload() const
{
    const std::optional<QByteArray> bytes = encode(data, hex);
    if (!bytes)
        return std::nullopt;
    return checksum.appended(*bytes);
}

bool ProtocolSet::Rule::operator==(const Rule &o) const
{
    return enabled == o.enabled && expectedHex == o.expectedHex && expected == o.expected
        && answerHex == o.answerHex && answer == o.answer && checksum == o.checksum
        && delayMilliseconds == o.delayMilliseconds;
}

std::optional<BytePattern> ProtocolSet::Rule::pattern() const
{
    return BytePattern::parse(expected, expectedHex, nullptr);
}

std::optional<QByteArray> ProtocolSet::Rule::answerPayload() const
{
    const std::optional<QByteArray> bytes = encode(answer, answerHex);
    if (!bytes)
        return std::nullopt;
    return checksum.appended(*bytes);
}

bool ProtocolSet::NamedSequence::operator==(const NamedSequence &o) const
{
    return name == o.name && steps == o.steps;
}

bool ProtocolSet::Step::operator==(const Step &o) const
{
    return kind == o.kind && command == o.command && milliseconds == o.milliseconds
        && hex == o.hex && pattern == o.pattern && times == o.times;
}

bool ProtocolSet::operator==(const ProtocolSet &o) const
{
    return commands == o.commands && rules == o.rules && sequence == o.sequence
        && namedSequences == o.namedSequences && stopAtFailure == o.stopAtFailure
        && receiveChecksum == o.receiveChecksum;
}

void ProtocolSet::renameCommand(int index, const QString &name)
{
    const QString old = commands.at(index).name;
    const auto follow = [&](QList<Step> &steps) {
        for (Step &step : steps) {
            if (step.kind == Step::Send && step.command == old)
                step.command = name;
        }
    };
    follow(sequence);
    for (NamedSequence &named : namedSequences)
        follow(named.steps);
    commands[index].name = name;
}

int ProtocolSet::commandNamed(const QString &name) const
{
    for (int i = 0; i < commands.size(); ++i) {
        if (commands.at(i).name == name)
            return i;
    }
    return -1;
}

void ProtocolSet::merge(const ProtocolSet &other)
{
    QSet<int> hotkeys;
    for (const Command &command : std::as_const(commands))
        hotkeys.insert(command.hotkey);
    for (Command command : other.commands) {
        const QString base = command.name;
        for (int n = 2; commandNamed(command.name) >= 0; ++n)
            command.name = QStringLiteral("%1 (%2)").arg(base).arg(n);
        if (command.hotkey != 0 && hotkeys.contains(command.hotkey))
            command.hotkey = 0;
        hotkeys.insert(command.hotkey);
        commands.append(command);
    }
    rules.append(other.rules);
}

std::optional<QByteArray> ProtocolSet::encode(const QString &data, bool hex)
{
    if (!hex)
        return SystemCodePage::fromUnicode(data);
    QByteArray bytes;
    bytes.reserve(data.size() / 2);
    int high = -1;
    for (QChar c : data) {
        if (c.isSpace()) {
            if (high >= 0)
                return std::nullopt;
            continue;
        }
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        if (high < 0) {
            high = digit;
        } else {
            bytes.append(char(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0)
        return std::nullopt;
    return bytes;
}

QByteArray ProtocolSet::lineEndBytes(LineEnding ending)
{
    switch (ending) {
    case LineEnding::Cr: return QByteArrayLiteral("\r");
    case LineEnding::Lf: return QByteArrayLiteral("\n");
    case LineEnding::CrLf: return QByteArrayLiteral("\r\n");
    default: return {};
    }
}

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "bytepattern.h"
#include "checksum.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A device's commands, the rules that answer its requests, a sequence run over the
// commands and the checksum received frames are checked with: what one file keeps.
struct ProtocolSet
{
    enum class LineEnding { AsLineWindow, None, Cr, Lf, CrLf };

    struct Command
    {
        QString name;
        bool hex = false;
        QString data;
        LineEnding lineEnding = LineEnding::AsLineWindow;
        Checksum checksum;
        int hotkey = 0;             // F1 to F12 as 1 to 12; 0 for none

        bool operator==(const Command &other) const;
        // The bytes that go out, the checksum after them: the line ending follows.
        // Nothing for data that does not encode (see CommandCodec's checks).
        std::optional<QByteArray> payload() const;
    };

    struct Rule
    {
        bool enabled = true;
        bool expectedHex = false;
        QString expected;           // with wildcards
        bool answerHex = false;
        QString answer;
        Checksum checksum;          // over the answer
        int delayMilliseconds = 0;  // 0 to MaximumDelay

        static constexpr int MaximumDelay = 10000;

        bool operator==(const Rule &other) const;
        std::optional<BytePattern> pattern() const;
        std::optional<QByteArray> answerPayload() const;
    };

    struct Step
    {
        enum Kind { Send, Wait, Expect, RepeatBegin, RepeatEnd };
        Kind kind = Send;
        QString command;            // Send: the command's name
        int milliseconds = 0;       // Wait: the wait; Expect: the timeout
        bool hex = false;           // Expect: the pattern's format
        QString pattern;            // Expect
        int times = 1;              // RepeatEnd: how often the steps since RepeatBegin run

        bool operator==(const Step &other) const;
    };

    // A sequence kept beside the main one under a name of its own, for runs without a
    // window; the window edits the main one and keeps these as they are.
    struct NamedSequence
    {
        QString name;
        QList<Step> steps;

        bool operator==(const NamedSequence &other) const;
    };
    // What runs without a window call the main sequence.
    static constexpr const char *MainSequenceName = "sequence";

    QList<Command> commands;
    QList<Rule> rules;
    QList<Step> sequence;
    QList<NamedSequence> namedSequences;
    bool stopAtFailure = true;
    Checksum receiveChecksum;

    bool operator==(const ProtocolSet &other) const;
    int itemCount() const { return int(commands.size() + rules.size() + sequence.size()); }
    // Adds another set's commands and rules (a colleague's import); a command whose name
    // this set holds already comes in as "name (2)", and its hotkey is dropped when taken.
    void merge(const ProtocolSet &other);
    int commandNamed(const QString &name) const;
    // Renames a command; the send steps of every sequence follow it to its new name.
    void renameCommand(int index, const QString &name);

    // The bytes of text or hexadecimal data, as the command box encodes them.
    static std::optional<QByteArray> encode(const QString &data, bool hex);
    static QByteArray lineEndBytes(LineEnding ending);
};

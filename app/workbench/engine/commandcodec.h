// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// Turns a typed command into the data that goes to the port, and received data into
// display text, in the text or the hexadecimal data format.
//
// A hexadecimal command is byte pairs of hexadecimal digits of either case, with any
// whitespace between the pairs ("01 03 00 0A", "0103000A"); its bytes are exactly the
// pairs typed. Anything else in it is refused before a byte is sent.
class CommandCodec
{
public:
    enum DataFormat : int { FormatText = 0, FormatHex = 1 };

    enum class CommandProblem {
        None,
        Empty,          // nothing, or in hexadecimal no pair at all
        OddHexLength,   // a last digit without its pair
        NotHexDigit,    // a character that is neither a digit nor whitespace between pairs
        HalfPair,       // a digit alone between whitespace
    };

    // What is wrong with a command, and where: the first wrong character as typed and
    // its position counted in characters from 1.
    struct Fault
    {
        CommandProblem problem = CommandProblem::None;
        qsizetype position = 0;
        QString character;

        bool operator==(const Fault &other) const;
    };

    // Run-time error of a received value that does not suit the data format.
    static constexpr int TypeMismatch = 13;

    // The checks a command gets before it is sent.
    static Fault check(const QString &command, int format);
    // The centred refusal the user sees for a fault ("对不起！" ...); empty for none.
    static QString refusal(const Fault &fault);

    // Text format: the command itself (it goes out in the system code page).
    // Hexadecimal format: the bytes of hexBytes.
    static QVariant sendData(const QString &command, int format);
    // The same, encoded once into the bytes that go to the line.
    static QByteArray sendBytes(const QString &command, int format);
    // One byte per pair of a command that check() accepts (of any other text, the
    // pairs before its first fault). Throws Component::RuntimeError (Overflow) when
    // the pairs do not fit a signed 16-bit count.
    static QByteArray hexBytes(const QString &command);
    // A command as received data shows it: text unchanged, hexadecimal pairs upper
    // case without whitespace, as hexText gives them.
    static QString receivedForm(const QString &command, int format);

    // Text format: the text as received. Hexadecimal format: upper-case pairs without
    // separators; throws Component::RuntimeError(TypeMismatch) for a value that is
    // not a byte array.
    static QString receivedText(const QVariant &value, int format);
    static QString hexText(const QByteArray &bytes);
};

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// Turns a typed command into the data that goes to the port, and received data into
// display text, in the text or the hexadecimal data format.
class CommandCodec
{
public:
    enum DataFormat : int { FormatText = 0, FormatHex = 1 };

    enum class CommandProblem { None, Empty, OddHexLength };

    // Run-time error of a received value that does not suit the data format.
    static constexpr int TypeMismatch = 13;

    // The only checks a command gets before it is sent.
    static CommandProblem check(const QString &command, int format);
    // The centred refusal the user sees for a problem ("对不起！" ...); empty for None.
    static QString refusal(CommandProblem problem);

    // Text format: the command itself (it goes out in the system code page).
    // Hexadecimal format: one byte per character pair. Throws Component::RuntimeError
    // (Overflow) when the pairs do not fit a signed 16-bit count.
    static QVariant sendData(const QString &command, int format);
    static QByteArray hexBytes(const QString &command);

    // Text format: the text as received. Hexadecimal format: upper-case pairs without
    // separators; throws Component::RuntimeError(TypeMismatch) for a value that is
    // not a byte array.
    static QString receivedText(const QVariant &value, int format);
    static QString hexText(const QByteArray &bytes);
};

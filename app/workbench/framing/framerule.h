// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

// How received bytes are cut into frames. The default is the workbench's own rule, a
// new line after 25 ms without data, which the receive path keeps for itself; every
// other kind is the frame cutter's.
struct FrameRule
{
    enum Kind : int {
        Default = 0,        // 25 ms between reads, as without framing
        GapMilliseconds,    // a pause of `gapMilliseconds`
        GapCharacters,      // a pause of `gapCharacters` character times of the line
        Terminator,         // after the bytes of `terminator`, which stay in the frame
        FixedLength,        // `fixedLength` bytes, starting with `header` when one is given
        LengthField,        // `header`, then a length field somewhere in the frame
    };
    enum class ByteOrder : int { LittleEndian = 0, BigEndian = 1 };

    static constexpr int LowestGap = 1;
    static constexpr int HighestGap = 1000;
    static constexpr double DefaultGapCharacters = 3.5;
    static constexpr int HighestLength = 65536;
    static constexpr int LongestPattern = 16;

    Kind kind = Default;
    int gapMilliseconds = 25;
    double gapCharacters = DefaultGapCharacters;
    QByteArray terminator = QByteArray("\r\n");
    int fixedLength = 8;
    QByteArray header;
    int lengthOffset = 2;       // where the field starts, counted from the frame's first byte
    int lengthSize = 1;         // 1, 2 or 4 bytes
    ByteOrder byteOrder = ByteOrder::BigEndian;
    int lengthAddend = 0;       // frame length = field value + addend
    int maxLength = 1024;       // no frame is longer; a longer length field is refused
    bool showGap = false;       // a frame also carries the pause before it

    bool isDefault() const { return kind == Default; }
    // Values out of range are brought into it; a length field that cannot lie inside
    // a frame of the bound moves to the frame's start.
    FrameRule bounded() const;

    // The time one character takes on a line of this rate and frame: start bit, data
    // bits, parity bit and stop bits.
    static double characterMilliseconds(qint32 baud, int dataBits, bool parity, double stopBits);
    // The pause that ends a frame of a gap rule; 0 for the other kinds.
    double gapFor(double characterMs) const;

    // Terminator and header as typed ("0D 0A", "0d0a"); `ok` is false for anything but
    // whole hexadecimal pairs and blanks, or more than LongestPattern bytes.
    static QByteArray bytesOfHex(const QString &text, bool *ok);
    static QString hexOfBytes(const QByteArray &bytes);

    friend bool operator==(const FrameRule &a, const FrameRule &b);
    friend bool operator!=(const FrameRule &a, const FrameRule &b) { return !(a == b); }
};

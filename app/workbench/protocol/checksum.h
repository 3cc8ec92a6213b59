// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

// A checksum from the public CRC catalogue, or a simple sum, over a range of a frame,
// and the bytes it adds to the frame: binary or ASCII hexadecimal, in either byte order.
// Names are the catalogue's ("CRC-16/MODBUS"); files and tests use them.
class Checksum
{
public:
    enum class Algorithm {
        None,
        Sum8,           // the sum modulo 256
        Lrc,            // the two's complement of the sum, as Modbus ASCII uses
        Xor8,           // all bytes exclusive-or'ed, as NMEA uses
        Crc8Smbus,
        Crc8MaximDow,
        Crc16Modbus,
        Crc16Ibm3740,
        Crc16Xmodem,
        Crc16Kermit,
        Crc16IbmSdlc,
        Crc32IsoHdlc,
        Custom,         // a CRC given by its catalogue parameters
    };
    enum class ByteOrder { BigEndian, LittleEndian };
    enum class Output { Binary, AsciiHex };

    // A CRC as the catalogue describes it.
    struct CrcParameters
    {
        int width = 16;             // 1 to 64 bits
        quint64 poly = 0x1021;
        quint64 init = 0;
        bool refIn = false;
        bool refOut = false;
        quint64 xorOut = 0;

        bool operator==(const CrcParameters &other) const;
    };

    Algorithm algorithm = Algorithm::None;
    CrcParameters custom;           // for Custom only
    // The bytes summed, from `from` to `to` inclusive; a negative index counts from
    // the end (-1 is the last byte). The whole frame by default.
    int from = 0;
    int to = -1;
    ByteOrder order = ByteOrder::BigEndian;
    Output output = Output::Binary;

    bool operator==(const Checksum &other) const;
    bool enabled() const { return algorithm != Algorithm::None; }

    static QStringList names();     // every algorithm but None, in catalogue order
    static QString name(Algorithm algorithm);
    static std::optional<Algorithm> algorithmNamed(const QString &name);
    // The catalogue's parameters of a CRC; nothing for the simple sums.
    static std::optional<CrcParameters> parameters(Algorithm algorithm);
    // The order a protocol usually sends it in: low byte first for a reflected CRC.
    static ByteOrder usualOrder(Algorithm algorithm);

    int width() const;              // in bits
    int fieldBytes() const;         // how many bytes the field adds to a frame

    // The value over the whole of `data`, and over its range.
    quint64 value(QByteArrayView data) const;
    quint64 rangeValue(QByteArrayView data) const;
    // The field for a value: its bytes, or its hexadecimal digits, in the byte order.
    QByteArray field(quint64 value) const;
    // The frame with its field after it.
    QByteArray appended(const QByteArray &frame) const;

    // Whether a received frame ends in its right field (a line ending after it set
    // aside); `expected` receives the field it should have had.
    struct Verdict
    {
        bool good = false;
        QByteArray expected;
    };
    Verdict check(QByteArrayView frame) const;

    // As a file keeps it: {"algorithm": "CRC-16/MODBUS", "from": 0, "to": -1,
    // "byteOrder": "little", "output": "binary"}, and for a custom CRC "width",
    // "poly", "init", "refin", "refout", "xorout" (numbers as hexadecimal text).
    QJsonObject toJson() const;
    // Nothing and `error` set for an object that does not describe a checksum.
    static std::optional<Checksum> fromJson(const QJsonObject &object, QString *error);
};

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QtGlobal>

// One block of the framed link test: a two-byte mark, the block number (32 bits, least
// significant byte first), the payload, and the CRC-32 of everything before it. A block
// that checks is taken as sent: the CRC misses a damaged one once in 2^32.
namespace BlockFrame {

constexpr int HeaderBytes = 6;
constexpr int TrailerBytes = 4;
constexpr int Overhead = HeaderBytes + TrailerBytes;
constexpr unsigned char Mark0 = 0xA5;
constexpr unsigned char Mark1 = 0x5A;

quint32 crc32(const unsigned char *data, qsizetype size);
QByteArray make(quint32 number, const QByteArray &payload);
// Makes a block of the payload already in place at `block` + HeaderBytes: writes the
// mark and number before it and the CRC after it.
void seal(unsigned char *block, quint32 number, qsizetype payloadBytes);
// Whether the `blockBytes` at `data` are a whole, undamaged block.
bool isBlock(const unsigned char *data, int blockBytes);
quint32 number(const unsigned char *data);

} // namespace BlockFrame

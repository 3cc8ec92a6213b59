// Velmora workbench. Licensed under the MIT licence.
#include "blockframe.h"

#include <array>

namespace BlockFrame {

namespace {

// The reflected CRC-32 of zip and Ethernet (polynomial 0xEDB88320), eight tables so that
// eight bytes take one step (slicing by eight).
using CrcTables = std::array<std::array<quint32, 256>, 8>;

const CrcTables &crcTables()
{
    static const CrcTables tables = [] {
        CrcTables t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (quint32 i = 0; i < 256; ++i) {
            for (int s = 1; s < 8; ++s)
                t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
        }
        return t;
    }();
    return tables;
}

quint32 readLittle(const unsigned char *data)
{
    return quint32(data[0]) | quint32(data[1]) << 8 | quint32(data[2]) << 16 | quint32(data[3]) << 24;
}

void appendLittle(QByteArray &out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

} // namespace

quint32 crc32(const unsigned char *data, qsizetype size)
{
    const CrcTables &t = crcTables();
    quint32 c = 0xFFFFFFFFu;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        c ^= readLittle(data + i);
        const quint32 high = readLittle(data + i + 4);
        c = t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24]
            ^ t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; i < size; ++i)
        c = t[0][(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray make(quint32 blockNumber, const QByteArray &payload)
{
    QByteArray block;
    block.reserve(payload.size() + Overhead);
    block.append(char(Mark0));
    block.append(char(Mark1));
    appendLittle(block, blockNumber);
    block.append(payload);
    appendLittle(block, crc32(reinterpret_cast<const unsigned char *>(block.constData()), block.size()));
    return block;
}

bool isBlock(const unsigned char *data, int blockBytes)
{
    if (blockBytes < Overhead || data[0] != Mark0 || data[1] != Mark1)
        return false;
    return crc32(data, blockBytes - TrailerBytes) == readLittle(data + blockBytes - TrailerBytes);
}

quint32 number(const unsigned char *data)
{
    return readLittle(data + 2);
}

} // namespace BlockFrame

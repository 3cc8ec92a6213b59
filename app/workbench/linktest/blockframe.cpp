// Velmora workbench. Licensed under the MIT licence.
#include "blockframe.h"

#include <array>

namespace BlockFrame {

namespace {

// The reflected CRC-32 of zip and Ethernet (polynomial 0xEDB88320).
const std::array<quint32, 256> &crcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    return table;
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
    const auto &table = crcTable();
    quint32 c = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i)
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
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

// Velmora workbench. Licensed under the MIT licence.
#include "blockframe.h"

#include <libdeflate.h>

#include <algorithm>

namespace BlockFrame {

namespace {

quint32 readLittle(const unsigned char *data)
{
    return quint32(data[0]) | quint32(data[1]) << 8 | quint32(data[2]) << 16 | quint32(data[3]) << 24;
}

void writeLittle(unsigned char *out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = uchar((value >> (8 * i)) & 0xFF);
}

} // namespace

// The reflected CRC-32 of zip and Ethernet (polynomial 0xEDB88320). libdeflate folds it
// with carry-less multiplication where the processor has it: checking a block costs a
// tenth of what a table walk does, and the link test computes one at each end.
quint32 crc32(const unsigned char *data, qsizetype size)
{
    return libdeflate_crc32(0, data, size_t(size));
}

void seal(unsigned char *block, quint32 blockNumber, qsizetype payloadBytes)
{
    block[0] = Mark0;
    block[1] = Mark1;
    writeLittle(block + 2, blockNumber);
    const qsizetype covered = HeaderBytes + payloadBytes;
    writeLittle(block + covered, crc32(block, covered));
}

QByteArray make(quint32 blockNumber, const QByteArray &payload)
{
    QByteArray block(payload.size() + Overhead, Qt::Uninitialized);
    unsigned char *out = reinterpret_cast<unsigned char *>(block.data());
    std::copy(payload.cbegin(), payload.cend(), out + HeaderBytes);
    seal(out, blockNumber, payload.size());
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

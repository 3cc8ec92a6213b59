// Velmora tests. Licensed under the MIT licence.
#pragma once

#include "blockframe.h"
#include "linkchecker.h"
#include "testpattern.h"

#include <QByteArray>

// The stream a link test sends, and the far end's faults applied to it.
struct FaultStream
{
    static QByteArray sent(LinkChecker::Form form, const TestPattern &pattern, int payload, int blocks)
    {
        TestPattern generator = pattern;
        generator.reset();
        if (form == LinkChecker::Form::Raw)
            return generator.take(qsizetype(blocks) * (payload + BlockFrame::Overhead));
        QByteArray stream;
        for (int n = 0; n < blocks; ++n)
            stream.append(BlockFrame::make(quint32(n), generator.take(payload)));
        return stream;
    }

    static void flipBit(QByteArray &stream, qsizetype byte, int bit) { stream[byte] = char(stream[byte] ^ (1 << bit)); }
    static void drop(QByteArray &stream, qsizetype at, int count) { stream.remove(at, count); }
    // Bytes that differ from whatever the pattern holds around them.
    static void insert(QByteArray &stream, qsizetype at, int count)
    {
        QByteArray noise;
        for (int i = 0; i < count; ++i)
            noise.append(char(stream[at] ^ char(0x3C + 17 * i)));
        stream.insert(at, noise);
    }
};

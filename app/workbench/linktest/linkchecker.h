// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "testpattern.h"

#include <QByteArray>
#include <QVector>

// What one direction of a link test found.
struct LinkCounts
{
    qint64 bytesReceived = 0;
    qint64 bytesCompared = 0;     // set against the byte expected there
    qint64 bitErrors = 0;
    qint64 byteErrors = 0;        // compared bytes with at least one bit wrong
    qint64 bytesLost = 0;
    qint64 bytesInserted = 0;
    qint64 bytesUnaligned = 0;    // taken while the raw form sought its lock again, or noise with no block in it
    qint64 bytesDuplicated = 0;   // the bytes of duplicated blocks
    qint64 blocksGood = 0;
    qint64 blocksLost = 0;
    qint64 blocksCorrupted = 0;
    qint64 blocksDuplicated = 0;
    qint64 syncLosses = 0;

    qint64 bitsCompared() const { return bytesCompared * 8; }
};

// Checks the bytes one direction of a link test receives against the pattern sent.
// Framed: blocks carry their number and a CRC, so every slip is counted exactly and the
// check resumes at the next block that checks. Raw: the pattern alone; the checker
// aligns the received bytes with the expected ones across a slip of up to AlignWindow
// bytes and counts it as lost or inserted bytes; a longer slip is a sync loss, after
// which it locks again within seatLength() + AlignMatch clean bytes (for PRBS-n,
// 8n + 64 bits). A slip is visible only where the pattern shows it: a fixed byte hides
// every raw slip, the counting pattern a slip of whole 256s.
class LinkChecker
{
public:
    enum class Form { Framed, Raw };
    static constexpr int AlignWindow = 32;
    static constexpr int AlignMatch = 8;
    // Received bytes with no block in them beyond which a framed check gives them up.
    static constexpr int MaxUnframedBlocks = 16;

    LinkChecker(Form form, const TestPattern &pattern, int payloadBytes);

    Form form() const { return m_form; }
    int blockBytes() const { return m_blockBytes; }

    void feed(const QByteArray &bytes);
    // The sender is done after `sentStreamBytes` (whole blocks in the framed form):
    // everything it sent that did not arrive is lost.
    void finish(qint64 sentStreamBytes);

    const LinkCounts &counts() const { return m_counts; }
    // How far into the sent stream the received bytes are accounted for; -1 when a
    // raw sync loss made it unknown.
    qint64 streamPosition() const { return m_positionKnown ? m_position : -1; }
    // Received bytes held back until what follows tells how to count them.
    qint64 pendingBytes() const { return m_received.size() - m_read; }

private:
    struct Step { int received = 0; int expected = 0; };
    void process(bool final);
    void processRaw(bool final);
    void processFramed(bool final);
    bool seekLock(bool final);
    void ensureExpected(qsizetype count);
    bool findStep(const unsigned char *r, qsizetype rn, const unsigned char *e, qsizetype en,
                  bool bounded, Step &step) const;
    void countSubstitutions(const unsigned char *r, const unsigned char *e, qsizetype n);
    void checkBlock(const unsigned char *r);
    void checkRegion(const unsigned char *r, qsizetype rn, quint32 firstBlock, quint32 endBlock);
    QByteArray expectedBlock(quint32 number);
    void compact();

    Form m_form;
    TestPattern m_pattern;
    int m_payloadBytes;
    int m_blockBytes;
    LinkCounts m_counts;
    QByteArray m_received;
    QByteArray m_payload;         // the expected payload of the block in hand
    qsizetype m_read = 0;
    // Raw: pattern bytes generated ahead of the received ones.
    QByteArray m_expected;
    qsizetype m_expectedRead = 0;
    bool m_locked = true;
    qint64 m_position = 0;
    bool m_positionKnown = true;
    quint32 m_nextBlock = 0;
    quint32 m_finalBlocks = 0;
};

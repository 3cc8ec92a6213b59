// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "framerule.h"

#include <QByteArray>
#include <QList>

// A piece of the received stream as the cutter hands it out: a frame, or the first or a
// further piece of one (the gap and terminator rules hand bytes out as they come), or
// bytes that belong to no frame of a length rule. Joined in order, the pieces are the
// stream, every byte once.
struct FramePiece
{
    enum Kind { Frame, Skipped };

    QByteArray bytes;
    Kind kind = Frame;
    bool starts = true;     // false: continues the frame of the piece before
    // The piece completes its frame: a terminator, a whole frame of a length rule, the
    // bound. A gap rule's frame ends only with the pause after it.
    bool ends = false;
    qint64 arrival = 0;     // when the read that brought its first byte returned, in ms
    qint64 gap = -1;        // the pause before its first byte in ms; -1 before the first read
};

// Cuts a stream of reads into frames by one rule. Reads come with the time they
// returned; a frame's time is that of its first byte's read. The length rules keep at
// most one frame of the bound: a header or length that does not fit is given up one
// byte at a time, so the next valid frame is found within one frame's bytes, and a
// partial frame is given up after the line stayed quiet for the idle time.
class FrameCutter
{
public:
    // `gapMs` is the pause that ends a frame of a gap rule; `idleMs` the quiet time
    // after which a length rule gives up a partial frame (0: never).
    explicit FrameCutter(const FrameRule &rule, double gapMs = 0.0, double idleMs = 0.0);

    const FrameRule &rule() const { return m_rule; }
    // The pause that ends a frame of a gap rule (or of the default rule); 0 for the others.
    double gapMilliseconds() const { return streamedByGap() ? m_gapMs : 0.0; }
    double idleMilliseconds() const { return m_idleMs; }

    QList<FramePiece> feed(const QByteArray &bytes, qint64 arrival);
    // What a length rule holds when the line was quiet since its last read, as of `now`:
    // given up as skipped bytes once the idle time has passed.
    QList<FramePiece> expire(qint64 now);
    // Everything held, handed out as skipped bytes (the end of a run).
    QList<FramePiece> flush();
    // Bytes a length rule holds for a frame not yet complete.
    qsizetype pending() const { return m_held.size(); }

    qint64 skippedBytes() const { return m_skipped; }
    // Length fields refused for a frame shorter than its own field or longer than the bound.
    qint64 refusedLengths() const { return m_refused; }
    // Frames of a gap or terminator rule cut at the bound.
    qint64 cutFrames() const { return m_cut; }
    qint64 frames() const { return m_frames; }

private:
    struct Read
    {
        qint64 position;   // of its first byte in the stream
        qint64 arrival;
        qint64 gap;
    };

    void noteRead(qint64 arrival);
    Read readAt(qint64 position) const;
    void forgetReadsBefore(qint64 position);
    bool streamedByGap() const;
    void addPiece(QList<FramePiece> &out, qint64 position, const char *data, qsizetype size,
                  FramePiece::Kind kind, bool starts, bool ends = true);

    void cutByGap(QList<FramePiece> &out, const QByteArray &bytes);
    void cutByTerminator(QList<FramePiece> &out, const QByteArray &bytes);
    void cutHeld(QList<FramePiece> &out);
    void skipHeld(QList<FramePiece> &out, qsizetype count);
    // The frame length the field of the frame starting at `from` gives.
    qint64 lengthAt(qsizetype from) const;

    FrameRule m_rule;
    double m_gapMs;
    double m_idleMs;
    QList<int> m_failure;          // the terminator's prefix table
    int m_matched = 0;             // terminator bytes matched at the end of the open frame
    qsizetype m_open = 0;          // bytes of the open frame of a streamed rule; 0: none open
    QByteArray m_held;             // a length rule's frame so far
    qint64 m_position = 0;         // stream position of the next byte to arrive
    qint64 m_heldPosition = 0;     // stream position of m_held's first byte
    QList<Read> m_reads;           // the reads the held or open bytes came in
    qint64 m_lastArrival = -1;
    qint64 m_skipped = 0;
    qint64 m_refused = 0;
    qint64 m_cut = 0;
    qint64 m_frames = 0;
};

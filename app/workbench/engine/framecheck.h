// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "checksum.h"

#include <QByteArray>

#include <optional>

// The checksum verdict of each received frame. Whatever cuts the frames hands it the
// bytes of the frame now open, piece by piece, and ends the frame; it keeps only that
// frame, up to LongestFrame bytes: no protocol frames more, and a longer one is not
// checked.
class FrameCheck
{
public:
    static constexpr qsizetype LongestFrame = 64 * 1024;

    // None by default; a new checksum forgets the open frame.
    void setChecksum(const Checksum &checksum);
    const Checksum &checksum() const { return m_checksum; }
    bool enabled() const { return m_checksum.enabled(); }

    // The open frame is dropped unjudged (a run ends).
    void forget();
    // Bytes have come since the last end.
    bool open() const { return !m_frame.isEmpty() || m_tooLong; }
    void add(QByteArrayView bytes);
    // Ends the open frame: its verdict, or nothing for no frame or one too long to check.
    std::optional<Checksum::Verdict> end();

private:
    Checksum m_checksum;
    QByteArray m_frame;
    bool m_tooLong = false;
};

// Velmora workbench. Licensed under the MIT licence.
#include "framecheck.h"

void FrameCheck::setChecksum(const Checksum &checksum)
{
    m_checksum = checksum;
    forget();
}

void FrameCheck::forget()
{
    m_frame.clear();
    m_tooLong = false;
}

void FrameCheck::add(QByteArrayView bytes)
{
    if (!enabled() || bytes.isEmpty())
        return;
    m_tooLong = m_tooLong || m_frame.size() + bytes.size() > LongestFrame;
    if (m_tooLong)
        m_frame.clear();
    else
        m_frame.append(bytes);
}

std::optional<Checksum::Verdict> FrameCheck::end()
{
    const bool tooLong = std::exchange(m_tooLong, false);
    const QByteArray frame = std::exchange(m_frame, QByteArray());
    if (tooLong || frame.isEmpty() || !enabled())
        return std::nullopt;
    return m_checksum.check(frame);
}

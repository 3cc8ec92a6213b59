// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "filechunks.h"

#include <QByteArray>
#include <QString>

// Finds a text in a file too large to hold, a piece at a time: forwards, the first
// match that begins at or after an offset; backwards, the last one that begins before
// it. The text is sought as the system code page writes it; ASCII letters match in
// either case ("ok" finds "OK"), other characters exactly.
class TextSearch
{
public:
    enum class Direction { Forward, Backward };

    // Throws Component::RuntimeError when the file cannot be read.
    TextSearch(const QString &path, const QString &text, Direction direction, qint64 from);

    // Searches about `bytes` more of the file.
    void searchMore(qint64 bytes);

    bool isFinished() const { return m_finished; }
    // Where the match begins and how long it is; -1 until one is found.
    qint64 matchOffset() const { return m_match; }
    qint64 matchBytes() const { return m_needle.size(); }
    // The share of the way to the end (or start) of the file searched, 0 to 1.
    double progress() const;

    // The offset of the first (forward) or last (backward) match within data, or -1.
    static qint64 find(QByteArrayView data, QByteArrayView needle, Direction direction);

private:
    FileChunks m_file;
    QByteArray m_needle;
    Direction m_direction;
    qint64 m_from;
    qint64 m_next;   // forwards: where the next piece begins; backwards: where the last ended
    qint64 m_match = -1;
    bool m_finished = false;
};

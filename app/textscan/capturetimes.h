// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "filechunks.h"

#include <QDate>
#include <QTime>

#include <optional>

// Finds where a capture reaches a moment, a piece at a time. A capture's times are the
// header of each block, its start's date and time on a line of its own
// ("12-06-2026 22:11:01"), and, when the line window stamps received lines, the time
// each received line began ("[22:11:01.250] "), which carries no date: its date is its
// block's, a day later each time the clock runs past midnight.
class CaptureTimes
{
public:
    struct Moment
    {
        QDate date;  // none: the date of the capture's first block
        QTime time;
    };

    // "hh:mm", "hh:mm:ss" or "hh:mm:ss.zzz", optionally after a date "mm-dd-yyyy" as
    // the headers write it; nothing for anything else.
    static std::optional<Moment> parse(const QString &typed);

    // Throws Component::RuntimeError when the file cannot be read.
    CaptureTimes(const QString &path, const Moment &target);

    // Reads about `bytes` more of the file.
    void seekMore(qint64 bytes);

    bool isFinished() const { return m_finished; }
    // Where the first header or time stamp at or after the target begins; -1 while none
    // is found, and when the capture holds none.
    qint64 foundOffset() const { return m_found; }
    // How long the header or stamp found is.
    qint64 foundBytes() const { return m_foundBytes; }
    double progress() const;

private:
    void header(QByteArrayView line, qint64 offset);
    void stamp(QByteArrayView text, qint64 offset);
    void reached(qint64 moment, qint64 offset, qint64 bytes);

    FileChunks m_file;
    Moment m_target;
    qint64 m_next = 0;
    QDate m_blockDate;
    qint64 m_last = -1;  // the latest moment passed, in milliseconds from a day's start
    qint64 m_found = -1;
    qint64 m_foundBytes = 0;
    bool m_finished = false;
};

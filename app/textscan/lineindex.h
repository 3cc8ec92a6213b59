// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "filechunks.h"

#include <QList>
#include <QString>

// The rows of a text file too large to hold, found a piece at a time so that the
// program stays responsive while a file of gigabytes is indexed. A row is a line, or a
// piece of a line longer than LongestRow bytes (received data may run on for
// megabytes without a break), cut after a blank, digit or punctuation where the row
// has one, else between two UTF-8 characters.
// Only every RowsPerMark-th row's offset is kept: the index of a gigabyte of short
// lines takes a few megabytes, and a row is found by reading on from its mark.
class LineIndex
{
public:
    // Short enough that a row of the widest characters, wrapped, fits the viewer.
    static constexpr qint64 LongestRow = 512;
    static constexpr qint64 RowsPerMark = 64;

    struct Row
    {
        qint64 offset = 0;
        qint64 bytes = 0;  // the line break included
    };

    // Throws Component::RuntimeError when the file cannot be read.
    explicit LineIndex(const QString &path);

    QString path() const { return m_file.path(); }
    qint64 fileBytes() const { return m_file.size(); }
    qint64 indexedBytes() const { return m_indexed; }
    bool isComplete() const { return m_complete; }

    // Indexes about `bytes` more of the file (at least one row's worth).
    void indexMore(qint64 bytes);

    // The rows found so far. A file ending in a line break, or empty, has an empty
    // last row, as a text box shows it.
    qint64 rowCount() const { return m_rows; }
    // Up to count rows from first on, of those found so far.
    QList<Row> rows(qint64 first, qint64 count);
    // The row that holds the byte at offset, of those found so far (the last one for an
    // offset past them).
    qint64 rowAt(qint64 offset);
    // The row's text without its line break, decoded in the system code page.
    QString text(const Row &row);
    // The text of the bytes from offset on, decoded in the system code page.
    QString decoded(qint64 offset, qint64 bytes);

    // How long the row starting at data's first byte is; -1 when data is too short to
    // tell and does not reach the end of the file.
    static qint64 rowLength(QByteArrayView data, bool reachesFileEnd);

private:
    void addRow(qint64 offset);
    // Walks the rows from the mark before `row` on, handing each to visit until it
    // returns false.
    template<typename Visit>
    void walkFrom(qint64 row, Visit visit);

    FileChunks m_file;
    QList<qint64> m_marks;   // the offset of every RowsPerMark-th row
    qint64 m_rows = 0;
    qint64 m_indexed = 0;    // where the next row begins
    bool m_afterBreak = true;  // the last row found ended with a line break
    bool m_complete = false;
};

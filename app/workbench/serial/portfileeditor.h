// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <keptfile.h>

#include <QString>
#include <QStringList>

// A ports.ini as its user wrote it, changed one port's entry at a time: comments, blank
// lines, the entries of other ports, lines the port map cannot read and the file's line
// endings stay as they were. Devices are taken as typed, remote lines
// ("tcp://host:port") and paths that do not exist yet alike.
class PortFileEditor
{
public:
    enum class ReadStatus { Read, Missing, Failed };

    explicit PortFileEditor(const QString &text = QString());

    // A file that is not there reads as an empty one; one that cannot be read leaves the
    // editor empty and says Failed, so that writing it back cannot lose its lines.
    ReadStatus read(const QString &path);
    // Written whole or not at all, as a file of the user's: a symbolic link or a file
    // its owner made read-only is refused, and the file keeps its permissions.
    KeptFile::Result write(const QString &path) const;

    QString text() const { return m_lines.join(QLatin1Char('\n')); }

    // The device the file gives the port, as the port map would read it; empty for none.
    QString entry(int port) const;
    // The port's first entry takes the device, keeping its comment; the port's later
    // entries go, since they would win. A port without one gets a line at the end.
    void setEntry(int port, const QString &device);
    // Every entry of the port goes; the port then reaches its built-in device, if any.
    void removeEntry(int port);

    // Whether the device, written as an entry, reads back as exactly itself: no line
    // break, no blanks around it, no '#' or ';' after a blank (a comment to the reader).
    static bool isWritable(const QString &device);

private:
    QString lineEnding() const;
    static QString entryLine(int port, const QString &device, const QString &comment);

    QStringList m_lines;   // without their '\n'; a '\r' before it stays part of the line
};

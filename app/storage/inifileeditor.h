// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "keptfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

// An INI file as its user left it (velmora.ini), changed one key at a time: comments,
// groups and keys of others, lines it cannot read and the line endings stay, and an
// unchanged file is never written. Keys are named "Group/Key" and values are the text
// QSettings gives them ("true", "2", "English"); the last of repeated keys counts, as
// QSettings reads them. A file larger than MaxBytes is not an options file of this
// program: it is neither read nor written.
class IniFileEditor
{
public:
    static constexpr qint64 MaxBytes = 256 * 1024;
    enum class ReadStatus { Read, Missing, TooLarge, Failed };

    // A file that cannot be read leaves the editor empty; writing is then refused.
    ReadStatus read(const QString &path);
    // Writes the file when a value changed since it was read; Written when nothing did.
    KeptFile::Result write(const QString &path) const;

    // Null when the key is not in the file.
    QByteArray value(const QString &key) const;
    // The key's last line takes the value; a key not there joins the end of its group,
    // or of a new group at the end of the file.
    void setValue(const QString &key, const QByteArray &value);
    bool isChanged() const { return m_changed; }

    // Values as QSettings reads and writes them; a missing key gives the fallback.
    bool flag(const QString &key, bool fallback) const;
    void setFlag(const QString &key, bool on);
    int number(const QString &key, int fallback) const;
    void setNumber(const QString &key, int number);
    // Any one line of text the user typed, kept exactly: written in UTF-8, in double
    // quotes when it has a space at either end or one of ; , = " in it, with \\ \" \t \r
    // \n and \xHHHH (other control characters) escaped; a value typed without quotes
    // reads as it stands, but for its escapes.
    QString text(const QString &key, const QString &fallback) const;
    void setText(const QString &key, const QString &text);

    // Whether a failure to write the file given is news to the user: true the first
    // time in a run only, so that a file that cannot be written is told once, not at
    // every change.
    static bool firstFailure(const QString &path);

    QByteArray bytes() const { return m_lines.join('\n'); }

private:
    struct Place
    {
        qsizetype entry = -1;      // the key's last line
        qsizetype groupEnd = -1;   // after the last line of its group's last section
    };
    Place find(const QString &key) const;
    QByteArray lineEnding() const;

    QList<QByteArray> m_lines;   // without their '\n'; a '\r' before it stays with the line
    ReadStatus m_status = ReadStatus::Missing;
    bool m_changed = false;
};

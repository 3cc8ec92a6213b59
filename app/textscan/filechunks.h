// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

// A file read piece by piece at any offset and never whole, up to the size it had when
// it was opened: later additions are left for the next opening. Pieces are read rather
// than mapped, so that a file another program cuts short meanwhile reads short instead
// of ending the program with a bus error.
class FileChunks
{
public:
    // Throws Component::RuntimeError (TextFile::openFailure) when the file cannot be read.
    explicit FileChunks(const QString &path);

    QString path() const { return m_file.fileName(); }
    qint64 size() const { return m_size; }

    // The bytes from offset on, at most length of them and none past size(); fewer when
    // the file has shrunk. Valid until the next read.
    QByteArrayView read(qint64 offset, qint64 length);

private:
    QFile m_file;
    qint64 m_size = 0;
    QByteArray m_buffer;
};

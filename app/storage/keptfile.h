// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

// A file of the user's that the program writes again (a port map, an options file): the
// new text replaces the old as a whole or not at all, and what the user decided about
// the file stays. A symbolic link in its place is refused rather than followed into
// whatever file it names, and so is a file its owner made read-only, root or not. A
// file written again keeps its permissions, and when root writes it, its owner.
class KeptFile
{
public:
    enum class Result { Written, SymbolicLink, ReadOnly, Failed };

    // Whether the file may be written, without writing it: a missing file may.
    static Result check(const QString &path);
    // Creates the folder when missing.
    static Result write(const QString &path, const QByteArray &bytes);
};

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>

// The text files the tool windows show, decoded in the system code page.
namespace TextFile {

// Run-time error numbers of file access beyond those of the component layer.
enum : int {
    PathFileAccessError = 75,
    PathNotFound = 76,
};

// The end of a file that may be far too large to hold: its whole text when it has at
// most maxBytes, else the lines that start within its last maxBytes.
struct Ending
{
    QString text;
    qint64 leftOutBytes = 0; // before the text
    qint64 fileBytes = 0;
};

// Throws Component::RuntimeError: FileNotFound when the file does not exist,
// PermissionDenied when it may not be read, PathFileAccessError otherwise.
Ending readEnding(const QString &path, qint64 maxBytes);

} // namespace TextFile

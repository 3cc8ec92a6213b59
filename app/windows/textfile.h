// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>

// The text files the tool windows show: read whole, decoded in the system code page.
namespace TextFile {

// Run-time error numbers of file access beyond those of the component layer.
enum : int {
    PathFileAccessError = 75,
    PathNotFound = 76,
};

// The whole file as text. Throws Component::RuntimeError: FileNotFound when it does not
// exist, PermissionDenied when it may not be read, PathFileAccessError otherwise.
QString readAll(const QString &path);

} // namespace TextFile

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <runtimeerror.h>

#include <QString>

// The text files the tool windows show, decoded in the system code page.
namespace TextFile {

// Run-time error numbers of file access beyond those of the component layer.
enum : int {
    PathFileAccessError = 75,
    PathNotFound = 76,
};

// Why the file cannot be opened or read: FileNotFound when it does not exist,
// PermissionDenied when it may not be read, PathFileAccessError otherwise.
Component::RuntimeError openFailure(const QString &path);

} // namespace TextFile

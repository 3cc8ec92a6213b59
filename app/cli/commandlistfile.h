// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "protocolset.h"

#include <QString>

// A command-list file named on the command line, read as the window reads its own.
namespace CommandListFile {

// Throws std::runtime_error with one line naming the file, the line and the reason.
ProtocolSet read(const QString &path);

} // namespace CommandListFile

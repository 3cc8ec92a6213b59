// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include "component_export.h"

#include <QString>

namespace Component {

// The file of the loaded library (or program) that holds the given address.
COMPONENT_EXPORT QString modulePathOf(const void *address);

// The platform's file name of a library: libName.so, Name.dll, libName.dylib.
COMPONENT_EXPORT QString libraryFileName(const QString &libraryName);

} // namespace Component

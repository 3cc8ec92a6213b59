// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include "component_export.h"

#include <QString>

class QWidget;

namespace Component {

class Control;

// Creates controls by identifier ("Library.Class", in any case). The identifier is
// looked up in the per-user registry first; where it is not registered, the library
// named by its first part is taken from the program folder, so a fresh build runs
// without an install step.
class COMPONENT_EXPORT ComponentLoader
{
public:
    // Throws RuntimeError (CannotCreateObject) naming the identifier when no library
    // serves it or the library cannot be loaded.
    static Control *create(const QString &identifier, QWidget *parent);

    // The folder searched after the registry; the program's own folder by default.
    static QString libraryFolder();
    static void setLibraryFolder(const QString &folder);
};

} // namespace Component

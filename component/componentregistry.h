// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include "component_export.h"

#include <QList>
#include <QString>

#include <optional>

namespace Component {

// The per-user record of registered control classes: a plain text file with one
// line per identifier, "identifier<TAB>library path<TAB>library description". The
// file is shared with other programs and edited by hand: registering and unregistering
// rewrite only the lines of their own identifiers and keep every other line as it is.
class COMPONENT_EXPORT ComponentRegistry
{
public:
    struct Entry
    {
        QString identifier;
        QString libraryPath;
        QString description;
    };

    static QString filePath();

    static QList<Entry> entries();
    static std::optional<Entry> find(const QString &identifier);
    // Adds the entries, replacing any earlier line for the same identifier (in any case).
    static bool add(const QList<Entry> &newEntries);
    // Removes exactly the lines of these identifiers; others stay as they are. Both
    // fail without writing when the file is there but cannot be read.
    static bool remove(const QStringList &identifiers);
};

} // namespace Component

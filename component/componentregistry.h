// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include "component_export.h"

#include <QList>
#include <QString>

#include <optional>

namespace Component {

// The per-user record of registered control classes: a plain text file with one
// line per identifier, "identifier<TAB>library path<TAB>library description".
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
    // Adds the entries, replacing any earlier entry for the same identifier.
    static bool add(const QList<Entry> &newEntries);
    // Removes exactly the entries of these identifiers; others stay as they are.
    static bool remove(const QStringList &identifiers);

private:
    static bool save(const QList<Entry> &all);
};

} // namespace Component

// Velmora component layer. Licensed under the MIT licence.
#include "componentregistry.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace Component {

QString ComponentRegistry::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/velmora/components.txt");
}

QList<ComponentRegistry::Entry> ComponentRegistry::entries()
{
    QList<Entry> result;
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return result;
    while (!file.atEnd()) {
        const QStringList fields = QString::fromUtf8(file.readLine()).trimmed().split(QLatin1Char('\t'));
        if (fields.size() == 3 && !fields.at(0).isEmpty())
            result.append({fields.at(0), fields.at(1), fields.at(2)});
    }
    return result;
}

std::optional<ComponentRegistry::Entry> ComponentRegistry::find(const QString &identifier)
{
    for (const Entry &entry : entries()) {
        if (entry.identifier.compare(identifier, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return std::nullopt;
}

bool ComponentRegistry::add(const QList<Entry> &newEntries)
{
    QStringList identifiers;
    for (const Entry &entry : newEntries)
        identifiers.append(entry.identifier);
    QList<Entry> all;
    for (const Entry &entry : entries()) {
        if (!identifiers.contains(entry.identifier, Qt::CaseInsensitive))
            all.append(entry);
    }
    all.append(newEntries);
    return save(all);
}

bool ComponentRegistry::remove(const QStringList &identifiers)
{
    QList<Entry> kept;
    for (const Entry &entry : entries()) {
        if (!identifiers.contains(entry.identifier, Qt::CaseInsensitive))
            kept.append(entry);
    }
    return save(kept);
}

bool ComponentRegistry::save(const QList<Entry> &all)
{
    const QString path = filePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    for (const Entry &entry : all) {
        const QString line = entry.identifier + QLatin1Char('\t') + entry.libraryPath
                             + QLatin1Char('\t') + entry.description + QLatin1Char('\n');
        file.write(line.toUtf8());
    }
    return file.commit();
}

} // namespace Component

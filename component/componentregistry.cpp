// Velmora component layer. Licensed under the MIT licence.
#include "componentregistry.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace Component {

namespace {

constexpr char FieldSeparator = '\t';

// The file's lines as bytes, so that a line this program cannot read is written back
// unchanged; empty for a missing file, nothing when the file cannot be read.
std::optional<QByteArrayList> readLines(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return QByteArrayList();
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    if (content.isEmpty())
        return QByteArrayList();
    if (content.endsWith('\n'))
        content.chop(1);
    return content.split('\n');
}

std::optional<ComponentRegistry::Entry> parse(const QByteArray &line)
{
    const QStringList fields = QString::fromUtf8(line).trimmed().split(QLatin1Char(FieldSeparator));
    if (fields.size() != 3 || fields.at(0).isEmpty())
        return std::nullopt;
    return ComponentRegistry::Entry{fields.at(0), fields.at(1), fields.at(2)};
}

// A line belongs to an identifier by its first field, even when the rest is damaged.
bool belongsTo(const QByteArray &line, const QStringList &identifiers)
{
    const QString identifier = QString::fromUtf8(line.left(line.indexOf(FieldSeparator))).trimmed();
    return identifiers.contains(identifier, Qt::CaseInsensitive);
}

QByteArray lineOf(const ComponentRegistry::Entry &entry)
{
    return (entry.identifier + QLatin1Char(FieldSeparator) + entry.libraryPath
            + QLatin1Char(FieldSeparator) + entry.description)
        .toUtf8();
}

bool save(const QString &path, const QByteArrayList &lines)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    for (const QByteArray &line : lines)
        file.write(line + '\n');
    return file.commit();
}

// Rewrites the file without the lines of the identifiers, then with the added lines.
bool replaceLines(const QStringList &identifiers, const QByteArrayList &added)
{
    const QString path = ComponentRegistry::filePath();
    const std::optional<QByteArrayList> lines = readLines(path);
    if (!lines)
        return false;
    QByteArrayList kept;
    for (const QByteArray &line : *lines) {
        if (!belongsTo(line, identifiers))
            kept.append(line);
    }
    return save(path, kept + added);
}

} // namespace

QString ComponentRegistry::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/velmora/components.txt");
}

QList<ComponentRegistry::Entry> ComponentRegistry::entries()
{
    QList<Entry> result;
    for (const QByteArray &line : readLines(filePath()).value_or(QByteArrayList())) {
        if (const std::optional<Entry> entry = parse(line))
            result.append(*entry);
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
    QByteArrayList added;
    for (const Entry &entry : newEntries) {
        identifiers.append(entry.identifier);
        added.append(lineOf(entry));
    }
    return replaceLines(identifiers, added);
}

bool ComponentRegistry::remove(const QStringList &identifiers)
{
    return replaceLines(identifiers, {});
}

} // namespace Component

// Velmora component layer. Licensed under the MIT licence.
#include "componentloader.h"

#include "classfactory.h"
#include "componentregistry.h"
#include "control.h"
#include "libraryserver.h"
#include "modulepath.h"
#include "runtimeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>

#include <memory>

namespace Component {

namespace {

using GetClassObject = int (*)(const char *, ClassFactory **);

QString &libraryFolderOverride()
{
    static QString folder;
    return folder;
}

// Control servers stay loaded for the life of the program: their controls may be
// alive anywhere, and the factories they handed out point into them. Any other library
// is unloaded again at once.
GetClassObject classObjectEntry(const QString &path, QString *errorText)
{
    static QHash<QString, GetClassObject> servers;
    if (GetClassObject known = servers.value(path))
        return known;
    auto library = std::make_unique<QLibrary>(path);
    if (!library->load()) {
        *errorText = library->errorString();
        return nullptr;
    }
    auto entry = reinterpret_cast<GetClassObject>(library->resolve("DllGetClassObject"));
    if (!entry) {
        *errorText = QStringLiteral("%1 has no DllGetClassObject").arg(path);
        library->unload();
        return nullptr;
    }
    servers.insert(path, entry);
    library.release();
    return entry;
}

ClassFactory *factoryFrom(const QString &path, const QString &identifier, QString *errorText)
{
    GetClassObject getClassObject = classObjectEntry(path, errorText);
    if (!getClassObject)
        return nullptr;
    ClassFactory *factory = nullptr;
    if (getClassObject(identifier.toUtf8().constData(), &factory) != ServerOk || !factory) {
        *errorText = QStringLiteral("%1 does not serve this class").arg(path);
        return nullptr;
    }
    return factory;
}

// Identifiers ignore case, so the library's file is found in the folder whatever the
// case of the identifier, also on file systems that tell cases apart.
QString libraryFileIn(const QString &folder, const QString &libraryName)
{
    const QString wanted = libraryFileName(libraryName);
    const QDir dir(folder);
    if (dir.exists(wanted))
        return dir.filePath(wanted);
    for (const QString &name : dir.entryList(QDir::Files)) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    }
    return dir.filePath(wanted);
}

} // namespace

QString ComponentLoader::libraryFolder()
{
    const QString &folder = libraryFolderOverride();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void ComponentLoader::setLibraryFolder(const QString &folder)
{
    libraryFolderOverride() = folder;
}

Control *ComponentLoader::create(const QString &identifier, QWidget *parent)
{
    QStringList candidates;
    if (const auto entry = ComponentRegistry::find(identifier); entry && QFileInfo::exists(entry->libraryPath))
        candidates.append(entry->libraryPath);
    const QString libraryName = identifier.section(QLatin1Char('.'), 0, 0);
    candidates.append(libraryFileIn(libraryFolder(), libraryName));

    // Every candidate's failure is named: the first is often the telling one.
    QStringList errors;
    for (const QString &path : candidates) {
        QString errorText;
        // A relative path would be found through the working folder or the system's
        // library search, which can hold anything.
        if (QFileInfo(path).isRelative())
            errorText = QStringLiteral("%1 is not an absolute path").arg(path);
        else if (ClassFactory *factory = factoryFrom(path, identifier, &errorText))
            return factory->createInstance(parent);
        errors.append(errorText);
    }
    throw RuntimeError(RuntimeError::CannotCreateObject,
                       QCoreApplication::translate("ComponentLoader", "部件不能创建对象：%1（%2）").arg(identifier, errors.join(QStringLiteral("; "))));
}

} // namespace Component

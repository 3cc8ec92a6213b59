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

namespace Component {

namespace {

using GetClassObject = int (*)(const char *, ClassFactory **);

QString &libraryFolderOverride()
{
    static QString folder;
    return folder;
}

// Loaded libraries stay loaded for the life of the program: their controls may be
// alive anywhere, and the factories they handed out point into them.
QLibrary *loadedLibrary(const QString &path, QString *errorText)
{
    static QHash<QString, QLibrary *> libraries;
    if (QLibrary *known = libraries.value(path))
        return known;
    auto *library = new QLibrary(path);
    if (!library->load()) {
        *errorText = library->errorString();
        delete library;
        return nullptr;
    }
    libraries.insert(path, library);
    return library;
}

ClassFactory *factoryFrom(const QString &path, const QString &identifier, QString *errorText)
{
    QLibrary *library = loadedLibrary(path, errorText);
    if (!library)
        return nullptr;
    auto getClassObject = reinterpret_cast<GetClassObject>(library->resolve("DllGetClassObject"));
    if (!getClassObject) {
        *errorText = QStringLiteral("%1 has no DllGetClassObject").arg(path);
        return nullptr;
    }
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

    QString errorText = QStringLiteral("no library found");
    for (const QString &path : candidates) {
        if (ClassFactory *factory = factoryFrom(path, identifier, &errorText))
            return factory->createInstance(parent);
    }
    throw RuntimeError(RuntimeError::CannotCreateObject,
                       QStringLiteral("部件不能创建对象：%1（%2）").arg(identifier, errorText));
}

} // namespace Component

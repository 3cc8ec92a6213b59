// Velmora workbench. Licensed under the MIT licence.
#include "filelocations.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

const QString DataFolder = QStringLiteral("data");
const QString UserFolderName = QStringLiteral("velmora");

bool canCreateFileIn(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-test-XXXXXX")));
    return probe.open();
}

QString userFolder(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location) + QLatin1Char('/') + UserFolderName;
}

} // namespace

FileLocations::FileLocations(const QString &programFolder)
    : m_programFolder(programFolder)
    , m_inProgramFolder(!QFileInfo::exists(QDir(programFolder).filePath(QLatin1String(InstalledMarker)))
                        && canCreateFileIn(programFolder))
{
    // A folder that cannot be made shows in the message of the first write that fails.
    if (!m_inProgramFolder) {
        QDir().mkpath(userConfigFolder());
        QDir().mkpath(userDataFolder());
    }
}

const FileLocations &FileLocations::of(const QString &programFolder)
{
    static QMap<QString, FileLocations> decided;
    auto found = decided.find(programFolder);
    if (found == decided.end())
        found = decided.insert(programFolder, FileLocations(programFolder));
    return *found;
}

QString FileLocations::settingsFolder() const
{
    return m_inProgramFolder ? m_programFolder : userConfigFolder();
}

QString FileLocations::captureFolder() const
{
    return m_inProgramFolder ? deliveredDataFolder() : userDataFolder();
}

QString FileLocations::deliveredDataFolder() const
{
    return m_programFolder + QLatin1Char('/') + DataFolder;
}

QString FileLocations::userPortFolder() const
{
    return m_inProgramFolder ? QString() : userConfigFolder();
}

QString FileLocations::userConfigFolder()
{
    return userFolder(QStandardPaths::GenericConfigLocation);
}

QString FileLocations::userDataFolder()
{
    return userFolder(QStandardPaths::GenericDataLocation) + QLatin1Char('/') + DataFolder;
}

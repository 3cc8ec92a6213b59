// Velmora workbench. Licensed under the MIT licence.
#include "instancelock.h"

#include <QDir>
#include <QStandardPaths>

namespace {

constexpr char LockFileName[] = "tarrock.lock";

} // namespace

InstanceLock::InstanceLock(const QString &path)
    : m_lock(path)
{
    // Only a dead holder makes the lock stale, never its age: a run may last for weeks.
    m_lock.setStaleLockTime(0);
}

QString InstanceLock::defaultPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QString::fromLatin1(LockFileName));
}

bool InstanceLock::tryAcquire()
{
    return m_lock.isLocked() || m_lock.tryLock(0);
}

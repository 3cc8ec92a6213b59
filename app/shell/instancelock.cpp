// Velmora workbench. Licensed under the MIT licence.
#include "instancelock.h"

#include <QDir>

namespace {

constexpr char LockFileName[] = "tarrock.lock";

} // namespace

InstanceLock::InstanceLock(const QString &path)
    : m_lock(path)
{
    // Only a dead holder makes the lock stale, never its age: a run may last for weeks.
    m_lock.setStaleLockTime(0);
}

QString InstanceLock::pathFor(const QString &settingsFolder)
{
    return QDir(settingsFolder).filePath(QString::fromLatin1(LockFileName));
}

InstanceLock::Result InstanceLock::tryAcquire()
{
    if (m_lock.isLocked() || m_lock.tryLock(0))
        return Result::Acquired;
    return m_lock.error() == QLockFile::LockFailedError ? Result::HeldElsewhere : Result::Unavailable;
}

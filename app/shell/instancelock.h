// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QLockFile>
#include <QString>

// The lock that tells a second start of the program that a copy is running on the same
// settings. It lies beside sysdata.dat, so that no two copies ever share that file,
// whichever user, session or runtime folder started them. It is held for the life of
// the process; a lock left behind by a run that crashed names a process that is gone,
// and is taken over.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &path);

    // The lock of the settings kept in the folder given.
    static QString pathFor(const QString &settingsFolder);

    enum class Result { Acquired, HeldElsewhere, Unavailable };
    // Unavailable: the lock cannot be made at all (a folder nobody may write); no other
    // copy holds it then.
    Result tryAcquire();

private:
    QLockFile m_lock;
};

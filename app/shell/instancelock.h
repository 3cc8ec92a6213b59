// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QLockFile>
#include <QString>

// The per-user lock that tells a second start of the program that a copy is running.
// It is held for the life of the process; a lock left behind by a run that crashed
// names a process that is gone, and is taken over.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &path);

    // The user's runtime folder (the temporary folder where there is none).
    static QString defaultPath();

    bool tryAcquire();

private:
    QLockFile m_lock;
};

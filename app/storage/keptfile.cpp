// Velmora workbench. Licensed under the MIT licence.
#include "keptfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// The copy written beside the file belongs to whoever writes it; the user's file keeps
// its user. Only root can hand a file to another, and only Unix has owners to hand.
void keepOwner(QSaveFile &file, const QFileInfo &old)
{
#ifdef Q_OS_UNIX
    // Should it fail, the file is whole and root's: its owner may still read it.
    if (::geteuid() == 0) {
        [[maybe_unused]] const int handed = ::fchown(file.handle(), old.ownerId(), old.groupId());
    }
#else
    Q_UNUSED(file);
    Q_UNUSED(old);
#endif
}

} // namespace

KeptFile::Result KeptFile::check(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return Result::SymbolicLink;
    if (info.exists() && !info.permissions().testFlag(QFileDevice::WriteOwner))
        return Result::ReadOnly;
    return Result::Written;
}

KeptFile::Result KeptFile::write(const QString &path, const QByteArray &bytes)
{
    const Result allowed = check(path);
    if (allowed != Result::Written)
        return allowed;
    const QFileInfo old(path);
    if (!QDir().mkpath(old.absolutePath()))
        return Result::Failed;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return Result::Failed;
    if (old.exists()) {
        file.setPermissions(old.permissions());
        keepOwner(file, old);
    }
    return file.commit() ? Result::Written : Result::Failed;
}

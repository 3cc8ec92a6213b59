// Velmora workbench. Licensed under the MIT licence.
#include "textfile.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace TextFile {

Component::RuntimeError openFailure(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!info.exists())
        return Component::RuntimeError(Component::RuntimeError::FileNotFound,
                                       QCoreApplication::translate("TextFile", "文件未找到：%1").arg(name));
    if (!info.isDir() && !info.isReadable())
        return Component::RuntimeError(Component::RuntimeError::PermissionDenied,
                                       QCoreApplication::translate("TextFile", "没有读取文件的权限：%1").arg(name));
    return Component::RuntimeError(PathFileAccessError,
                                   QCoreApplication::translate("TextFile", "路径/文件访问错误：%1").arg(name));
}

} // namespace TextFile

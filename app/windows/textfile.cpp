// Velmora workbench. Licensed under the MIT licence.
#include "textfile.h"

#include "systemcodepage.h"

#include <component/runtimeerror.h>

#include <QFile>
#include <QFileInfo>

namespace TextFile {

namespace {

Component::RuntimeError openFailure(const QFileInfo &info)
{
    const QString name = info.fileName();
    if (!info.exists())
        return Component::RuntimeError(Component::RuntimeError::FileNotFound,
                                       QStringLiteral("文件未找到：%1").arg(name));
    if (!info.isDir() && !info.isReadable())
        return Component::RuntimeError(Component::RuntimeError::PermissionDenied,
                                       QStringLiteral("没有读取文件的权限：%1").arg(name));
    return Component::RuntimeError(PathFileAccessError,
                                   QStringLiteral("路径/文件访问错误：%1").arg(name));
}

} // namespace

QString readAll(const QString &path)
{
    const QFileInfo info(path);
    // A folder opens on some platforms but is never a text to show.
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        throw openFailure(info);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw openFailure(info);
    return SystemCodePage::toUnicode(bytes);
}

} // namespace TextFile

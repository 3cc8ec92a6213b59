// Velmora workbench. Licensed under the MIT licence.
#include "textfile.h"

#include "systemcodepage.h"

#include <runtimeerror.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace TextFile {

namespace {

Component::RuntimeError openFailure(const QFileInfo &info)
{
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

} // namespace

Ending readEnding(const QString &path, qint64 maxBytes)
{
    const QFileInfo info(path);
    // A folder opens on some platforms but is never a text to show.
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        throw openFailure(info);
    const qint64 fileBytes = file.size();
    const qint64 start = std::max<qint64>(0, fileBytes - maxBytes);
    if (!file.seek(start))
        throw openFailure(info);
    QByteArray bytes = file.read(fileBytes - start);
    if (file.error() != QFileDevice::NoError)
        throw openFailure(info);
    // Cut after a line break: no multi-byte character of the code page holds one, so
    // the text begins with a whole character and a whole line.
    if (start > 0 && bytes.contains('\n'))
        bytes.remove(0, bytes.indexOf('\n') + 1);
    return {SystemCodePage::toUnicode(bytes), fileBytes - bytes.size(), fileBytes};
}

} // namespace TextFile

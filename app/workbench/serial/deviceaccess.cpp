// Velmora workbench. Licensed under the MIT licence.
#include "deviceaccess.h"

#include <QCoreApplication>

// Kept short: the report that carries it has to fit the message window.
QString DeviceAccess::hint() const
{
    if (groupMayReadWrite && !userListedInGroup)
        return QCoreApplication::translate("SerialLine", "请执行“sudo usermod -aG %2 %1”后重新登录。").arg(user, group);
    if (groupMayReadWrite && !processHasGroup)
        return QCoreApplication::translate("SerialLine", "用户 %1 已加入 %2 组，重新登录后生效。").arg(user, group);
    return QCoreApplication::translate("SerialLine", "用户 %1 无权读写此设备（%2:%3），请联系管理员。").arg(user, owner, group);
}

QString DeviceAccess::refusal(const QString &portText, const QString &device, const QString &hint)
{
    return QCoreApplication::translate("CommPort", "没有权限打开%1：\r\n%2\r\n%3").arg(portText, device, hint);
}

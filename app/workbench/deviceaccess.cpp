// Velmora workbench. Licensed under the MIT licence.
#include "deviceaccess.h"

#include <QCoreApplication>

QString DeviceAccess::hint() const
{
    if (groupMayReadWrite && !userListedInGroup)
        return QCoreApplication::translate("SerialLine", "当前用户 %1 不在 %2 组中，无权使用此设备。"
                                                         "请执行“sudo usermod -aG %2 %1”后重新登录。")
            .arg(user, group);
    if (groupMayReadWrite && !processHasGroup)
        return QCoreApplication::translate("SerialLine", "当前用户 %1 已加入 %2 组，重新登录后即可使用此设备。")
            .arg(user, group);
    return QCoreApplication::translate("SerialLine", "此设备（所有者 %2，组 %3）不允许当前用户 %1 读写，请联系系统管理员。")
        .arg(user, owner, group);
}

QString DeviceAccess::refusal(const QString &portText, const QString &device, const QString &hint)
{
    return QCoreApplication::translate("CommPort", "没有权限打开%1：\r\n%2\r\n%3").arg(portText, device, hint);
}

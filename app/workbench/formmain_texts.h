// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>

// The main window's own texts that more than one of its routines shows or compares.
namespace FormMainTexts {

inline const QString ComStart = QStringLiteral("开始通讯");
inline const QString ComStop = QStringLiteral("停止通讯");

inline const QString OutPortPrefix = QStringLiteral("数据发送端口：");
inline const QString InPortPrefix = QStringLiteral("数据接收端口：");
inline const QString FileNamePrefix = QStringLiteral("文件名：");
inline const QString NoPort = QStringLiteral("系统暂无可用端口！");

inline const QString ModeSendOnly = QStringLiteral("单独发送通讯命令");
inline const QString ModeSendReceive = QStringLiteral("发送通讯命令并接收数据");
inline const QString ModeReceiveOnly = QStringLiteral("单独接收通讯数据");
inline const QString ModeAnswer = QStringLiteral("接收通讯命令并发送数据");

inline const QString HintComm = QStringLiteral("错误提示：请检查您的各项通讯参数设置是否正确！");
inline const QString HintSendFormat =
    QStringLiteral("错误提示：请检查您输入的发送数据格式是否符合要求！");
inline const QString HintReceiveFormat =
    QStringLiteral("错误提示：请检查您输入的接收数据格式是否符合要求！");

// %1 is the port number, written with its leading blank as in "Com 3".
inline const QString PortBusy = QStringLiteral(
    "对不起！\r\n\r\n您设置的端口Com %1已经打开！\r\n\r\n可能是被其他应用程序占用！\r\n\r\n"
    "请退出占用端口的程序后再使用此端口。");
inline const QString PortMissing =
    QStringLiteral("对不起！\r\n\r\n您设置的端口Com %1不存在！\r\n\r\n请选择其他的通讯端口。");
inline const QString NoPortToStart = QStringLiteral(
    "对不起！\r\n\r\n系统暂无可用端口！\r\n\r\n请连接设备后点击“扫描端口”。");
inline const QString PortLost = QStringLiteral(
    "对不起！\r\n\r\n您设置的端口Com %1已经断开，通讯已经停止！\r\n\r\n"
    "请检查设备的连接，然后重新开始通讯。");
// %1 is the port number.
inline const QString SendsSkipped = QStringLiteral(
    "对不起！\r\n\r\n端口Com %1的线路发送速度跟不上发送周期，尚未发出的数据已超过 256 KB！\r\n\r\n"
    "在线路发完这些数据之前，新的发送将被跳过；通讯继续进行。");
inline const QString SamePortSettings =
    QStringLiteral("对不起！\r\n\r\n您采用相同的收发端口，请将其参数设置相同！");
inline const QString NoCalculator =
    QStringLiteral("系统的“计算器”程序不存在！，此功能无法运行。");
// %1 is the settings file.
inline const QString SysDataNotSaved = QStringLiteral(
    "对不起！\r\n\r\n设置文件无法写入，本次的各项设置未能保存！\r\n\r\n%1");

inline const QString NoticeText =
    QStringLiteral("Velmora 串口通讯测试工作台    Ormel 出品    欢迎使用！");

} // namespace FormMainTexts

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <uitext.h>

#include <QString>

// The main window's own texts that more than one of its routines shows or compares.
namespace FormMainTexts {

inline const UiText ComStart("FormMain", QT_TRANSLATE_NOOP("FormMain", "开始通讯"));
inline const UiText ComStop("FormMain", QT_TRANSLATE_NOOP("FormMain", "停止通讯"));
// While a start waits for the server of a network line; a click calls the start off.
inline const UiText ComConnecting("FormMain", QT_TRANSLATE_NOOP("FormMain", "正在连接…"));

inline const UiText OutPortPrefix("FormMain", QT_TRANSLATE_NOOP("FormMain", "数据发送端口："));
inline const UiText InPortPrefix("FormMain", QT_TRANSLATE_NOOP("FormMain", "数据接收端口："));
inline const UiText FileNamePrefix("FormMain", QT_TRANSLATE_NOOP("FormMain", "文件名："));
// %1 is the port's description; the tooltip of a chosen port whose device is gone.
inline const UiText PortMissingTip("FormMain", QT_TRANSLATE_NOOP("FormMain", "%1（设备不存在）"));
inline const UiText LinkTestRuns("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n线路测试正在进行，端口已被占用！\r\n\r\n请先停止线路测试，再开始通讯。"));
inline const UiText NoPort("FormMain", QT_TRANSLATE_NOOP("FormMain", "系统暂无可用端口！"));

inline const UiText ModeSendOnly("FormMain", QT_TRANSLATE_NOOP("FormMain", "单独发送通讯命令"));
inline const UiText ModeSendReceive("FormMain", QT_TRANSLATE_NOOP("FormMain", "发送通讯命令并接收数据"));
inline const UiText ModeReceiveOnly("FormMain", QT_TRANSLATE_NOOP("FormMain", "单独接收通讯数据"));
inline const UiText ModeAnswer("FormMain", QT_TRANSLATE_NOOP("FormMain", "接收通讯命令并发送数据"));
// The items of ComboComIOState, in the order of the transfer modes.
inline const UiText IOStateItems[] = {ModeSendOnly, ModeSendReceive, ModeReceiveOnly, ModeAnswer};

inline const UiText HintComm("FormMain", QT_TRANSLATE_NOOP("FormMain", "错误提示：请检查您的各项通讯参数设置是否正确！"));
inline const UiText HintSendFormat(
    "FormMain", QT_TRANSLATE_NOOP("FormMain", "错误提示：请检查您输入的发送数据格式是否符合要求！"));
inline const UiText HintReceiveFormat(
    "FormMain", QT_TRANSLATE_NOOP("FormMain", "错误提示：请检查您输入的接收数据格式是否符合要求！"));

// %1 is the port number, written with its leading blank as in "Com 3".
inline const UiText PortBusy("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n您设置的端口Com %1已经打开！\r\n\r\n可能是被其他应用程序占用！\r\n\r\n"
    "请退出占用端口的程序后再使用此端口。"));
inline const UiText PortMissing(
    "FormMain", QT_TRANSLATE_NOOP("FormMain", "对不起！\r\n\r\n您设置的端口Com %1不存在！\r\n\r\n请选择其他的通讯端口。"));
inline const UiText NoPortToStart("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n系统暂无可用端口！\r\n\r\n请连接设备后点击“扫描端口”。"));
inline const UiText PortLost("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n您设置的端口Com %1已经断开，通讯已经停止！\r\n\r\n"
    "请检查设备的连接，然后重新开始通讯。"));
// %1 is the port number; said when the run starts again by itself once the device is back.
inline const UiText PortLostAwaitingReconnect("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n您设置的端口Com %1已经断开，通讯已经停止！\r\n\r\n"
    "设备重新连接后，通讯将以相同的设置自动重新开始。"));
// %1 is the port number.
inline const UiText SendsSkipped("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n端口Com %1的线路发送速度跟不上发送周期，尚未发出的数据已超过 256 KB！\r\n\r\n"
    "在线路发完这些数据之前，新的发送将被跳过；通讯继续进行。"));
inline const UiText SamePortSettings(
    "FormMain", QT_TRANSLATE_NOOP("FormMain", "对不起！\r\n\r\n您采用相同的收发端口，请将其参数设置相同！"));
inline const UiText NoCalculator(
    "FormMain", QT_TRANSLATE_NOOP("FormMain", "系统的“计算器”程序不存在！，此功能无法运行。"));
// %1 is the settings file.
inline const UiText SysDataNotSaved("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n设置文件无法写入，本次的各项设置未能保存！\r\n\r\n%1"));

inline const UiText NoticeText(
    "FormMain", QT_TRANSLATE_NOOP("FormMain", "Velmora 串口通讯测试工作台    Ormel 出品    欢迎使用！"));

} // namespace FormMainTexts

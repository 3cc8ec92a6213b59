// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QStringList>

// The items of the main window's line-setting lists, in list order: sysdata.dat keeps a
// choice as its position in these lists, so whatever writes a settings record finds the
// position here.
namespace SettingLists {

inline const QStringList BaudItems = {"600",   "1200",  "2400",   "4800",   "9600",
                                      "14400", "19200", "28800",  "38400",  "57600",
                                      "115200", "128000", "256000"};
inline const QStringList ParityItems = {"None", "Even", "Odd", "Mark", "Spack"};
inline const QStringList DataBitsItems = {"4", "5", "6", "7", "8"};
inline const QStringList StopBitsItems = {"1", "1.5", "2"};
inline const QStringList HandItems = {"None", "XON/XOFF", "RTS/CTS", "RTS/CTS & XON/XOFF"};
inline const QStringList TimeItems = {"200", "300", "500", "1000", "2000", "3000", "5000"};

} // namespace SettingLists

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QtGlobal>

// Who makes the program, as the splash and the About window show it.
namespace MakerInfo {

constexpr char Product[] = "Velmora";
constexpr char Maker[] = "Ormel";
constexpr char Mail[] = "ormel@example.org";
constexpr char Telephone[] = "021-6485 2730";
// Translated where it is shown.
constexpr char RightsNotice[] = QT_TRANSLATE_NOOP("MakerInfo", "版权所有 (C) 2002-2004 Ormel 工作室");

} // namespace MakerInfo

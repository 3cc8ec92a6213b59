// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QColor>
#include <QPoint>
#include <QSize>

// The names and measures of the title-strip parts, which every skinned window and the
// skin routine find by name.
namespace SkinPart {

constexpr char TitleMain[] = "imgTitleMain";
constexpr char TitleIcon[] = "imgTitleIcon";
constexpr char Title[] = "lblTitle";
constexpr char CloseButton[] = "TopButtonClose";
constexpr char MinButton[] = "TopButtonMin";
constexpr char HelpButton[] = "HelpButton";
constexpr char Frame[] = "ShapeSkin";

constexpr char CaptionBitmap[] = "CAPTION";
constexpr int StripHeight = 29;
constexpr QSize IconSize(20, 20);
constexpr QSize TitleButtonSize(21, 21);
constexpr QPoint TitleIconAt(5, 5);
constexpr QPoint TitleTextAt(30, 10);
constexpr int ButtonTop = 5;
constexpr int ButtonStep = 25;   // each title-bar button stands this far left of the previous one

// The title-bar buttons by place, counted from the window's right edge.
constexpr int CloseButtonPlace = 1;
constexpr int MinButtonPlace = 2;
constexpr int HelpButtonPlace = 3;

// Where the title-bar button at `place` stands on a window `windowWidth` wide.
constexpr QPoint titleButtonAt(int windowWidth, int place)
{
    return QPoint(windowWidth - place * ButtonStep, ButtonTop);
}

inline const QColor WindowBack(236, 233, 218);
inline const QColor TitleText(255, 255, 255);

} // namespace SkinPart

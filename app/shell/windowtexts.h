// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <uitext.h>

#include <QSize>
#include <QString>

// Texts and values the message window and the tool windows share.
namespace WindowTexts {

inline const UiText OkCaption("WindowTexts", QT_TRANSLATE_NOOP("WindowTexts", "确  定"));
inline const UiText OkToolTip("WindowTexts", QT_TRANSLATE_NOOP("WindowTexts", "确定关闭"));
inline const QString OkName = QStringLiteral("ButtonOK");
constexpr QSize OkButtonSize(70, 25);

} // namespace WindowTexts

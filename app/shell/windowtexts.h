// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QSize>
#include <QString>

// Texts and values the message window and the tool windows share.
namespace WindowTexts {

inline const QString OkCaption = QStringLiteral("确  定");
inline const QString OkToolTip = QStringLiteral("确定关闭");
inline const QString OkName = QStringLiteral("ButtonOK");
constexpr QSize OkButtonSize(70, 25);

} // namespace WindowTexts

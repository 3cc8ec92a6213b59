// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>

// Texts and values the tool windows share.
namespace WindowTexts {

inline const QString OkCaption = QStringLiteral("确  定");
inline const QString OkToolTip = QStringLiteral("确定关闭");
inline const QString OkName = QStringLiteral("ButtonOK");

} // namespace WindowTexts

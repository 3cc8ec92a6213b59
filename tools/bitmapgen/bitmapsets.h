// Velmora bitmap generator. Licensed under the MIT licence.
#pragma once

#include <QString>

// Each set writes its bitmap files into the given folder; false when a file cannot be written.
bool writeButtonBitmaps(const QString &folder);  // the push and title-bar buttons, toolbox bitmaps
bool writeLedBitmaps(const QString &folder);     // the LED characters, SHUT, toolbox bitmap
bool writeAppBitmaps(const QString &folder);     // CAPTION, program icon, splash and About pictures
bool writeDesktopIcons(const QString &folder);   // the program icon at the desktop's icon sizes

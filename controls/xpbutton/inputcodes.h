// OrmelXPButton control library. Licensed under the MIT licence.
#pragma once

#include "xpbutton_export.h"

#include <QString>
#include <Qt>

#include <optional>

// How the controls hand input to their hosts: the button and shift masks, key codes
// and character codes that the hosts' event handlers expect.
class XPBUTTON_EXPORT InputCodes
{
public:
    enum : qint16 { LeftButton = 1, RightButton = 2, MiddleButton = 4 };
    enum : qint16 { ShiftMask = 1, CtrlMask = 2, AltMask = 4 };

    static qint16 mouseButtons(Qt::MouseButtons buttons);
    static qint16 shift(Qt::KeyboardModifiers modifiers);
    // The virtual key code of a key, 0 for keys that have none.
    static qint16 keyCode(int qtKey, Qt::KeyboardModifiers modifiers);
    // The character code a key press types, if it types a character (Enter gives 13).
    static std::optional<qint16> keyAscii(const QString &text);
};

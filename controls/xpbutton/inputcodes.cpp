// OrmelXPButton control library. Licensed under the MIT licence.
#include "inputcodes.h"

namespace {

struct KeyCodePair
{
    int qtKey;
    qint16 code;
};

constexpr KeyCodePair NamedKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9}, {Qt::Key_Backtab, 9}, {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Shift, 16}, {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18}, {Qt::Key_Pause, 19}, {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32}, {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},
    {Qt::Key_Home, 36}, {Qt::Key_Left, 37}, {Qt::Key_Up, 38}, {Qt::Key_Right, 39},
    {Qt::Key_Down, 40}, {Qt::Key_Print, 44}, {Qt::Key_Insert, 45}, {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47}, {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107}, {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110}, {Qt::Key_Slash, 111}, {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
};

constexpr qint16 NumpadZero = 96;
constexpr qint16 FunctionOne = 112;
constexpr int FunctionKeys = 16;
constexpr char16_t DeleteCharacter = 0x7f;

} // namespace

qint16 InputCodes::mouseButtons(Qt::MouseButtons buttons)
{
    qint16 code = 0;
    if (buttons & Qt::LeftButton)
        code |= LeftButton;
    if (buttons & Qt::RightButton)
        code |= RightButton;
    if (buttons & Qt::MiddleButton)
        code |= MiddleButton;
    return code;
}

qint16 InputCodes::shift(Qt::KeyboardModifiers modifiers)
{
    qint16 code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= ShiftMask;
    if (modifiers & Qt::ControlModifier)
        code |= CtrlMask;
    if (modifiers & Qt::AltModifier)
        code |= AltMask;
    return code;
}

qint16 InputCodes::keyCode(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qint16((modifiers & Qt::KeypadModifier) ? NumpadZero + (qtKey - Qt::Key_0) : qtKey);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qint16(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + FunctionKeys)
        return qint16(FunctionOne + (qtKey - Qt::Key_F1));
    for (const KeyCodePair &pair : NamedKeys) {
        if (pair.qtKey == qtKey)
            return pair.code;
    }
    return 0;
}

std::optional<qint16> InputCodes::keyAscii(const QString &text)
{
    if (text.isEmpty() || text.at(0) == QChar(DeleteCharacter))
        return std::nullopt;
    return qint16(text.at(0).unicode());
}

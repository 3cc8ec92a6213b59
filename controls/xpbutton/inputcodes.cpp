// OrmelXPButton control library. Licensed under the MIT licence.
#include "inputcodes.h"

#include <cstddef>

namespace {

struct KeyCodePair
{
    int qtKey;
    qint16 code;
};

// Keys whose code does not depend on where they sit. A shifted character gives the code
// of the key that types it (US layout), as the Windows virtual-key codes do.
constexpr KeyCodePair NamedKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9}, {Qt::Key_Backtab, 9}, {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Shift, 16}, {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18}, {Qt::Key_Pause, 19}, {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32}, {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},
    {Qt::Key_Home, 36}, {Qt::Key_Left, 37}, {Qt::Key_Up, 38}, {Qt::Key_Right, 39},
    {Qt::Key_Down, 40}, {Qt::Key_Print, 44}, {Qt::Key_Insert, 45}, {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47}, {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
    // Shifted digits of the main keyboard.
    {Qt::Key_ParenRight, 48}, {Qt::Key_Exclam, 49}, {Qt::Key_At, 50}, {Qt::Key_NumberSign, 51},
    {Qt::Key_Dollar, 52}, {Qt::Key_Percent, 53}, {Qt::Key_AsciiCircum, 54},
    {Qt::Key_Ampersand, 55}, {Qt::Key_Asterisk, 56}, {Qt::Key_ParenLeft, 57},
    // Punctuation of the main keyboard, plain and shifted.
    {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186}, {Qt::Key_Equal, 187}, {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188}, {Qt::Key_Less, 188}, {Qt::Key_Minus, 189}, {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190}, {Qt::Key_Greater, 190}, {Qt::Key_Slash, 191}, {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192}, {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219}, {Qt::Key_Backslash, 220}, {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221}, {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},
};

// The keypad's own keys; its digits are counted from NumpadZero. The decimal key
// types "," in some locales.
constexpr KeyCodePair KeypadKeys[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107}, {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110}, {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111},
};

constexpr qint16 NumpadZero = 96;
constexpr qint16 FunctionOne = 112;
constexpr int FunctionKeys = 16;
constexpr char16_t DeleteCharacter = 0x7f;

template <std::size_t N>
std::optional<qint16> lookUp(const KeyCodePair (&table)[N], int qtKey)
{
    for (const KeyCodePair &pair : table) {
        if (pair.qtKey == qtKey)
            return pair.code;
    }
    return std::nullopt;
}

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
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qint16(keypad ? NumpadZero + (qtKey - Qt::Key_0) : qtKey);
    if (keypad) {
        if (const auto code = lookUp(KeypadKeys, qtKey))
            return *code;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qint16(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + FunctionKeys)
        return qint16(FunctionOne + (qtKey - Qt::Key_F1));
    return lookUp(NamedKeys, qtKey).value_or(0);
}

std::optional<qint16> InputCodes::keyAscii(const QString &text)
{
    if (text.isEmpty() || text.at(0) == QChar(DeleteCharacter))
        return std::nullopt;
    return qint16(text.at(0).unicode());
}

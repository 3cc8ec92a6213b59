// OrmelXPButton control library. Licensed under the MIT licence.
#pragma once

// What a host needs to bind to the library's controls: their identifiers, the keys of
// their stored properties, the fixed event ids and the title-bar button types.
namespace XPButton {

// The identifiers hosts create the controls by.
inline constexpr char ButtonIdentifier[] = "OrmelXPButton.Button";
inline constexpr char TopButtonIdentifier[] = "OrmelXPButton.TopButton";
inline constexpr char HelpButtonIdentifier[] = "OrmelXPButton.HelpButton";

// Keys of the stored properties, looked up without regard to case.
inline constexpr char CaptionKey[] = "Caption";             // Button
inline constexpr char TopButtonTypeKey[] = "TopButtonType"; // TopButton: a ButtonType
inline constexpr char EnabledKey[] = "Enabled";             // every control

// Events of Button, by dispatch id.
enum ButtonEvent : int {
    ButtonClick = 1,
    ButtonKeyDown = 2,
    ButtonKeyPress = 3,
    ButtonKeyUp = 4,
    ButtonMouseOut = 5,
    ButtonMouseDown = 6,
    ButtonMouseMove = 7,
    ButtonMouseUp = 8,
};

// Events of TopButton and HelpButton, by dispatch id.
enum TitleButtonEvent : int {
    TitleClick = 1,
    TitleMouseOut = 2,
    TitleMouseDown = 3,
    TitleMouseMove = 4,
    TitleMouseUp = 5,
};

// Values of TopButton's TopButtonType.
enum ButtonType : int {
    CloseButton = 0,
    MaximumButton = 1,
    MinimumButton = 2,
    RestoreButton = 3,
};

} // namespace XPButton

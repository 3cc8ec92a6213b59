// OrmelXPButton control library. Licensed under the MIT licence.
#pragma once

// What a host needs to bind to the library's controls: the fixed event ids and the
// title-bar button types. Hosts create the controls by identifier:
// "OrmelXPButton.Button", "OrmelXPButton.TopButton", "OrmelXPButton.HelpButton".
namespace XPButton {

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

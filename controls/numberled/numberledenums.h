// OrmelNumberLED control library. Licensed under the MIT licence.
#pragma once

// What a host needs to drive the library's one control, created by the identifier
// "OrmelNumberLED.NumberLED": the values of its LEDShowColor and LEDShowType.
namespace OrmelNumberLED {

enum LEDColor : int {
    BlueLED = 0,
    RedLED = 1,
    GreenLED = 2,
    YellowLED = 3,
};

enum LEDType : int {
    ShowNumber = 0,
    ShowDate = 1,
    ShowTime = 2,
    ShowDateTime = 3,
};

} // namespace OrmelNumberLED

// OrmelNumberLED control library. Licensed under the MIT licence.
#pragma once

// What a host needs to drive the library's one control: its identifier, the keys of its
// stored properties and the values of its LEDShowColor and LEDShowType.
namespace OrmelNumberLED {

// The identifier hosts create the control by.
inline constexpr char NumberLEDIdentifier[] = "OrmelNumberLED.NumberLED";

// Keys of the stored properties, looked up without regard to case.
inline constexpr char ShowColorKey[] = "LEDShowColor";
inline constexpr char ShowTypeKey[] = "LEDShowType";
inline constexpr char NumberDigitsKey[] = "NumberDigits";
inline constexpr char DecimalDigitsKey[] = "DecimalDigits";
inline constexpr char ShowDataKey[] = "ShowData";

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

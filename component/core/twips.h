// Velmora component layer. Licensed under the MIT licence.
#pragma once

namespace Component {

// Stored extents and some control geometry are kept in twips; the controls assume the
// usual 96 dpi logical display (Qt scales logical pixels on HiDPI screens).
constexpr int TwipsPerPixel = 15;

constexpr int pixelsFromTwips(int twips) { return twips / TwipsPerPixel; }
constexpr int twipsFromPixels(int pixels) { return pixels * TwipsPerPixel; }

} // namespace Component

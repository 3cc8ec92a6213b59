// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QSize>

#include <memory>

class QApplication;

// The program's windows have fixed sizes in pixels, which the display's scale factor
// (QT_SCALE_FACTOR, the desktop's own scaling) multiplies. Where the largest window
// would not fit the screen's available area at that factor, its bottom row would lie
// off the screen for good: the factor is then rounded down, in half steps but never
// below 1, to the largest one at which it fits. (Half steps: the skinned buttons' bitmaps
// show seams at quarter factors such as 1.75.)
namespace ScreenFit {

constexpr double Step = 0.5;

// The factor to use: the one asked for where the window fits the available device
// pixels, else the largest half step below it that fits, and at least 1 (or the
// factor asked for, when that is below 1).
double fittingFactor(double requested, const QSize &availablePixels, const QSize &window);

// Creates the application, and creates it again at the fitting factor when largestWindow
// would not fit the primary screen at the display's. argc and argv are kept for it.
std::unique_ptr<QApplication> createApplication(int &argc, char **argv, const QSize &largestWindow);

} // namespace ScreenFit

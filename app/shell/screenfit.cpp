// Velmora workbench. Licensed under the MIT licence.
#include "screenfit.h"

#include <QApplication>
#include <QScreen>

#include <cmath>
#include <string>
#include <vector>

namespace ScreenFit {

namespace {

const char ScaleVariable[] = "QT_SCALE_FACTOR";

bool fits(double factor, const QSize &availablePixels, const QSize &window)
{
    return std::ceil(window.width() * factor) <= availablePixels.width()
        && std::ceil(window.height() * factor) <= availablePixels.height();
}

// What Qt may change of the arguments it is given (it takes its own options out) stays
// apart from the caller's, so that a second application sees them all again.
struct Arguments
{
    explicit Arguments(int argc, char **argv) : strings(argv, argv + argc) {}

    char **fresh()
    {
        pointers.clear();
        for (std::string &text : strings)
            pointers.push_back(text.data());
        pointers.push_back(nullptr);
        count = int(strings.size());
        return pointers.data();
    }

    std::vector<std::string> strings;
    std::vector<char *> pointers;
    int count = 0;
};

} // namespace

double fittingFactor(double requested, const QSize &availablePixels, const QSize &window)
{
    if (requested <= 1 || fits(requested, availablePixels, window))
        return requested;
    for (double factor = std::ceil(requested / Step - 1) * Step; factor > 1; factor -= Step) {
        if (fits(factor, availablePixels, window))
            return factor;
    }
    return 1;
}

std::unique_ptr<QApplication> createApplication(int &argc, char **argv, const QSize &largestWindow)
{
    static Arguments arguments(argc, argv);
    auto app = std::make_unique<QApplication>(argc, argv);
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return app;
    const double factor = screen->devicePixelRatio();
    const QSize available = screen->availableGeometry().size() * factor;
    const double fitting = fittingFactor(factor, available, largestWindow);
    if (fitting == factor)
        return app;

    // Qt reads the factor once, as the application starts: the application is made
    // again, with the arguments it was first given.
    const QByteArray asked = qgetenv(ScaleVariable);
    bool given = false;
    const double global = asked.toDouble(&given);
    app.reset();
    qputenv(ScaleVariable, QByteArray::number((given ? global : 1.0) * fitting / factor, 'g', 6));
    app = std::make_unique<QApplication>(arguments.count, arguments.fresh());
    // Programs started from here (the calculator) take the display's own factor.
    if (asked.isNull())
        qunsetenv(ScaleVariable);
    else
        qputenv(ScaleVariable, asked);
    return app;
}

} // namespace ScreenFit

// Velmora bitmap generator. Licensed under the MIT licence.
#include "bitmapsets.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bitmapgen buttons|leds|app|icons <folder>\n");
        return 2;
    }
    // Text on the pictures needs fonts, and fonts need a (display-less) application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "bitmapgen: cannot create %s\n", argv[2]);
        return 1;
    }
    bool written = false;
    if (std::strcmp(argv[1], "buttons") == 0)
        written = writeButtonBitmaps(folder);
    else if (std::strcmp(argv[1], "leds") == 0)
        written = writeLedBitmaps(folder);
    else if (std::strcmp(argv[1], "app") == 0)
        written = writeAppBitmaps(folder);
    else if (std::strcmp(argv[1], "icons") == 0)
        written = writeDesktopIcons(folder);
    else
        std::fprintf(stderr, "bitmapgen: unknown set %s\n", argv[1]);
    return written ? 0 : 1;
}

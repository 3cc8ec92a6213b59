// Velmora control gallery. Licensed under the MIT licence.
#include "gallerywindow.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

// With "--grab <file.png>" the gallery saves a picture of itself once shown and ends.
constexpr int GrabDelayMs = 500;
const char GrabOption[] = "--grab";

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    GalleryWindow window;
    window.show();

    const QStringList arguments = app.arguments();
    const int grab = arguments.indexOf(QString::fromLatin1(GrabOption));
    if (grab >= 0 && grab + 1 < arguments.size()) {
        const QString file = arguments.at(grab + 1);
        QTimer::singleShot(GrabDelayMs, &window, [&window, file] {
            if (!window.grab().save(file))
                std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(file));
            QApplication::quit();
        });
    }
    return app.exec();
}

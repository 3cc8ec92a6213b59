// Velmora fuzz targets. Licensed under the MIT licence.
// The display pane's line breaks and its 16-line rule under any text, on the
// offscreen platform: what the pane keeps stays bounded, and an emptied pane holds
// only what came after.
#include "fuzzcheck.h"

#include <datapane.h>

#include <QApplication>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_datapane";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
    static DataPane *pane = [] {
        auto *created = new DataPane;
        created->resize(320, 200);
        return created;
    }();
    pane->clear();
    FuzzInput input(data, size);
    while (!input.atEnd()) {
        const quint8 step = input.byte();
        const QString text = QString::fromUtf8(input.bytes(step >> 2));
        switch (step & 3) {
        case 0:
            pane->appendLine(text);
            break;
        case 1:
            pane->appendContinued(text, false);
            break;
        case 2:
            pane->appendContinued(text, true);
            break;
        default:
            pane->appendPending(text);
            break;
        }
        pane->flushPending();
        FUZZ_CHECK(pane->toPlainText().size() <= DataPane::MaxChars);
        FUZZ_CHECK(pane->lineCount() >= 0);
    }
    return 0;
}

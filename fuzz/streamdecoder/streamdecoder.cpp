// Velmora fuzz targets. Licensed under the MIT licence.
// The code page stream decoder: data decoded in pieces, split anywhere, gives the text
// of the same data decoded whole.
#include "fuzzcheck.h"

#include <systemcodepage.h>

#include <QList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    QList<qsizetype> pieceSizes;
    for (int count = input.byte() % 8; count > 0; --count)
        pieceSizes.append(input.byte() % 16);
    const QByteArray stream = input.rest();

    SystemCodePage::StreamDecoder whole;
    const QString expected = whole.decode(stream);

    SystemCodePage::StreamDecoder pieces;
    QString decoded;
    qsizetype at = 0;
    for (qsizetype i = 0; at < stream.size(); ++i) {
        const qsizetype length = pieceSizes.isEmpty() ? 1 : pieceSizes.at(i % pieceSizes.size());
        // An empty read happens too; the piece after it moves on.
        decoded += pieces.decode(stream.mid(at, length));
        at += length;
        if (length == 0)
            decoded += pieces.decode(stream.mid(at++, 1));
    }
    FUZZ_CHECK(decoded == expected);
    // What is held back is the same: both go on alike.
    FUZZ_CHECK(whole.decode(QByteArray("A")) == pieces.decode(QByteArray("A")));
    return 0;
}

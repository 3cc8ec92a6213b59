// Velmora tests. Licensed under the MIT licence.
#include "systemcodepage.h"

#include <QTest>

// The stream decoder behind text reception, the capture and the answer match.
class TestSystemCodePage : public QObject
{
    Q_OBJECT

private slots:
    void piecesDecodeAsWhole_data();
    void piecesDecodeAsWhole();
    void invalidSequenceKeepsWhatFollows();
};

void TestSystemCodePage::piecesDecodeAsWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("plain text") << QByteArray("AT\r\nOK");
    QTest::addRow("two- to four-byte characters") << QByteArray("\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80!");
    QTest::addRow("invalid lead before text") << QByteArray("D<\xC7OK\r\n");
    QTest::addRow("truncated three-byte character") << QByteArray("\xE4\xB8" "A\xE4");
    QTest::addRow("stray continuation bytes") << QByteArray("\x80\x80" "a\xBF");
    QTest::addRow("overlong and out of range") << QByteArray("\xC0\xAF\xF4\x90\x80\x80z\xFF\xFE");
}

// Split once at every position, and fed byte by byte: the text never changes.
void TestSystemCodePage::piecesDecodeAsWhole()
{
    QFETCH(QByteArray, bytes);
    const QString whole = SystemCodePage::toUnicode(bytes);
    for (qsizetype split = 0; split <= bytes.size(); ++split) {
        SystemCodePage::StreamDecoder decoder;
        QString text = decoder.decode(bytes.left(split));
        text += decoder.decode(bytes.mid(split));
        QVERIFY2(text == whole, qPrintable(QStringLiteral("split at %1").arg(split)));
    }
    SystemCodePage::StreamDecoder decoder;
    QString text;
    for (char byte : bytes)
        text += decoder.decode(QByteArray(1, byte));
    QCOMPARE(text, whole);
}

void TestSystemCodePage::invalidSequenceKeepsWhatFollows()
{
    SystemCodePage::StreamDecoder decoder;
    QString text = decoder.decode("\x44\x3C\xC7");
    text += decoder.decode("\x4F\x4B\x0D\x0A");
    QCOMPARE(text, QStringLiteral("D<\uFFFDOK\r\n"));
}

QTEST_GUILESS_MAIN(TestSystemCodePage)
#include "tst_systemcodepage.moc"

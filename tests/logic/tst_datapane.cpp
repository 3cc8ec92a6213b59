// Velmora workbench. Licensed under the MIT licence.
#include "datapane.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTest>

static const QString CRLF = QStringLiteral("\r\n");

// Line counting and the bounded, batched display of the traffic panes.
class TestDataPane : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void lineCount_data();
    void lineCount();
    void lineBreaksWhereverCut_data();
    void lineBreaksWhereverCut();
    void longLinesWrap();
    void batchedEqualsImmediate_data();
    void batchedEqualsImmediate();
    void continuousStreamStaysBounded();
    void clearForgetsEverything();
    void sixteenLinesThenEmptied();
    void queuedCountEqualsInsertedCount();
    void allLinesShownStayInSight_data();
    void allLinesShownStayInSight();

private:
    std::unique_ptr<DataPane> m_pane;
};

void TestDataPane::init()
{
    m_pane = std::make_unique<DataPane>();
    m_pane->setFixedSize(300, 200);
    m_pane->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
}

void TestDataPane::lineCount_data()
{
    QTest::addColumn<QStringList>("chunks");
    QTest::addColumn<int>("lines");
    QTest::addRow("empty") << QStringList() << 1;
    QTest::addRow("one line") << QStringList { "abc" } << 1;
    QTest::addRow("CR LF breaks once") << QStringList { "a" + CRLF + "b" } << 2;
    QTest::addRow("CR LF split across chunks") << QStringList { "a\r", "\nb" } << 2;
    QTest::addRow("lone CR and lone LF") << QStringList { "a\rb\nc" } << 3;
    QTest::addRow("trailing break") << QStringList { "a" + CRLF } << 2;
}

void TestDataPane::lineCount()
{
    QFETCH(QStringList, chunks);
    QFETCH(int, lines);
    for (const QString &chunk : chunks)
        m_pane->appendPending(chunk);
    QCOMPARE(m_pane->lineCount(), lines);
    QCOMPARE(m_pane->isEmpty(), chunks.isEmpty());
}

void TestDataPane::lineBreaksWhereverCut_data()
{
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("shown");
    QTest::addRow("CR LF, lone CR, lone LF") << "a\r\nb\rc\nd" << "a\nb\nc\nd";
    QTest::addRow("CR CR LF") << "a\r\r\nb" << "a\n\nb";
    QTest::addRow("LF CR") << "a\n\rb" << "a\n\nb";
    QTest::addRow("CR LF CR LF") << "\r\n\r\n" << "\n\n";
    QTest::addRow("breaks at both ends") << "\r\nab\r" << "\nab\n";
    QTest::addRow("code page text and undecodable bytes")
        << QString::fromUtf8("\xC3\xA9\xE4\xB8\xAD\r\n\xEF\xBF\xBD\r\xEF\xBF\xBDx")
        << QString::fromUtf8("\xC3\xA9\xE4\xB8\xAD\n\xEF\xBF\xBD\n\xEF\xBF\xBDx");
}

// Receive events cut the stream anywhere, a CR LF included: the pane shows the same.
void TestDataPane::lineBreaksWhereverCut()
{
    QFETCH(QString, received);
    QFETCH(QString, shown);
    for (qsizetype cut = 0; cut <= received.size(); ++cut) {
        m_pane->clear();
        m_pane->appendText(received.left(cut));
        m_pane->appendPending(received.mid(cut));
        m_pane->flushPending();
        const QString got = m_pane->toPlainText();
        QVERIFY2(got == shown, qPrintable(QStringLiteral("cut after %1 characters: %2")
                                              .arg(cut).arg(QString(got).replace(u'\n', u'|'))));
    }
}

void TestDataPane::longLinesWrap()
{
    // Found by typing, as a user would see the first wrap.
    int perLine = 0;
    while (m_pane->lineCount() == 1) {
        m_pane->appendText(QStringLiteral("0"));
        ++perLine;
    }
    m_pane->clear();
    QVERIFY(--perLine > 4);
    m_pane->appendText(QStringLiteral("0").repeated(3 * perLine));
    QCOMPARE(m_pane->lineCount(), 3);
    m_pane->appendText(QStringLiteral("0"));
    QCOMPARE(m_pane->lineCount(), 4);
}

void TestDataPane::batchedEqualsImmediate_data()
{
    QTest::addColumn<QStringList>("chunks");
    QTest::addRow("short chunks") << QStringList { "A", "B", CRLF, "C" };
    QTest::addRow("hex stream") << QStringList(40, QStringLiteral("0A1BFF007F"));
    QTest::addRow("words and breaks") << QStringList(30, QStringLiteral("hello world ") + CRLF);
}

// Queued text reaches the pane by the batch timer alone, laid out as if inserted at once.
void TestDataPane::batchedEqualsImmediate()
{
    QFETCH(QStringList, chunks);
    DataPane immediate;
    immediate.setFixedSize(m_pane->size());
    immediate.show();
    QVERIFY(QTest::qWaitForWindowExposed(&immediate));
    for (const QString &chunk : chunks) {
        immediate.appendText(chunk);
        m_pane->appendPending(chunk);
    }
    QCOMPARE(m_pane->toPlainText(), QString());
    QVERIFY(!m_pane->isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(m_pane->toPlainText(), immediate.toPlainText(), 1000);
    QCOMPARE(m_pane->lineCount(), immediate.lineCount());
    QCOMPARE(m_pane->textCursor().position(), m_pane->toPlainText().size());
}

void TestDataPane::continuousStreamStaysBounded()
{
    const QString chunk = QStringLiteral("0123456789ABCDEF").repeated(256);
    QString tail;
    for (int event = 0; event < 2048; ++event) {
        m_pane->appendPending(chunk);
        if (event % 64 == 0)
            QCoreApplication::processEvents();
        QVERIFY(m_pane->document()->characterCount() <= DataPane::MaxChars + 1);
    }
    QVERIFY(m_pane->lineCount() >= DataPane::LinesShown);
    const QString shown = m_pane->toPlainText();
    QVERIFY(shown.size() <= DataPane::MaxChars);
    QVERIFY(shown.size() >= DataPane::KeepChars);
    QVERIFY(chunk.repeated(DataPane::MaxChars / chunk.size() + 2).endsWith(shown));

    m_pane->appendText(CRLF + "x");
    QVERIFY(m_pane->lineCount() >= DataPane::LinesShown);
}

void TestDataPane::clearForgetsEverything()
{
    m_pane->appendPending(QStringLiteral("0").repeated(DataPane::MaxChars + 1));
    m_pane->appendPending(QStringLiteral("\r"));
    m_pane->clear();
    QVERIFY(m_pane->isEmpty());
    QCOMPARE(m_pane->lineCount(), 1);
    m_pane->appendText(QStringLiteral("\nA"));
    QCOMPARE(m_pane->lineCount(), 2);
}

// The send pane empties before the 17th send; the receive pane only when a new line is
// due with 16 lines shown, so data that runs on stays on its line.
void TestDataPane::sixteenLinesThenEmptied()
{
    for (int send = 1; send <= DataPane::LinesShown; ++send)
        m_pane->appendLine(QString::number(send));
    QCOMPARE(m_pane->lineCount(), int(DataPane::LinesShown));
    m_pane->appendLine(QStringLiteral("17"));
    m_pane->flushPending();
    QCOMPARE(m_pane->toPlainText(), QStringLiteral("17"));

    DataPane received;
    received.setFixedSize(300, 200);
    for (int line = 1; line <= DataPane::LinesShown; ++line)
        received.appendContinued(QString::number(line), line > 1);
    received.appendContinued(QStringLiteral("+"), false);
    QCOMPARE(received.lineCount(), int(DataPane::LinesShown));
    received.flushPending();
    QVERIFY(received.toPlainText().endsWith(QStringLiteral("\n16+")));
    received.appendContinued(QStringLiteral("next"), true);
    received.flushPending();
    QCOMPARE(received.toPlainText(), QStringLiteral("next"));
}

// The count of queued text, kept without inserting it, is the count of the same text
// inserted as far as the window's rules look: random words, breaks of every kind and
// lines long enough to wrap.
void TestDataPane::queuedCountEqualsInsertedCount()
{
    const QStringList pieces = {"AT", "OK", " ", CRLF, "\r", "\n", "中文",
                                QStringLiteral("0A1BFF").repeated(9), QStringLiteral("word ").repeated(11)};
    DataPane inserted;
    inserted.setFixedSize(m_pane->size());
    inserted.show();
    QVERIFY(QTest::qWaitForWindowExposed(&inserted));
    QRandomGenerator random(1828);
    for (int step = 0; step < 400; ++step) {
        if (step % 97 == 96) {
            m_pane->clear();
            inserted.clear();
        }
        const QString piece = pieces.at(random.bounded(int(pieces.size())));
        m_pane->appendPending(piece);
        inserted.appendText(piece);
        const int beyond = DataPane::LinesShown + 1;
        QCOMPARE(std::min(m_pane->lineCount(), beyond), std::min(inserted.lineCount(), beyond));
        if (step % 13 == 0)
            m_pane->flushPending();
    }
}

void TestDataPane::allLinesShownStayInSight_data()
{
    QTest::addColumn<int>("height");
    QTest::addRow("main window's panes") << 210;
    QTest::addRow("lower pane") << 180;
    QTest::addRow("tall pane keeps its font") << 600;
}

// The window empties a pane only once it holds LinesShown lines, so all of them must
// be in sight: the pane has no scroll bar to reach the oldest.
void TestDataPane::allLinesShownStayInSight()
{
    QFETCH(int, height);
    m_pane->setFixedSize(300, height);
    for (int line = 1; line <= DataPane::LinesShown; ++line)
        m_pane->appendText((line > 1 ? CRLF : QString()) + QStringLiteral("line %1").arg(line));
    QCOMPARE(m_pane->lineCount(), int(DataPane::LinesShown));
    QCOMPARE(m_pane->cursorForPosition(QPoint(1, 1)).blockNumber(), 0);
    QVERIFY(m_pane->cursorRect(QTextCursor(m_pane->document())).top() >= 0);
    const QRect last = m_pane->cursorRect();
    QVERIFY2(last.bottom() < m_pane->viewport()->height(),
             qPrintable(QStringLiteral("last line ends at %1 of %2").arg(last.bottom()).arg(m_pane->viewport()->height())));
    if (height >= 600)
        QCOMPARE(m_pane->font(), QApplication::font(m_pane.get()));
}

QTEST_MAIN(TestDataPane)
#include "tst_datapane.moc"

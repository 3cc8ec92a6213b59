// Velmora workbench. Licensed under the MIT licence.
#include "timelinepane.h"

#include <QScrollBar>
#include <QTest>

// The monitor's timeline: one line per entry, a long history, and a view that stays
// where the user scrolled to.
class TestTimelinePane : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void oneLinePerEntry_data();
    void oneLinePerEntry();
    void keepsHistoryUpToItsBound();
    void followsTheEndUnlessScrolledAway();

private:
    std::unique_ptr<TimelinePane> m_pane;
};

void TestTimelinePane::init()
{
    m_pane = std::make_unique<TimelinePane>();
    m_pane->setFixedSize(300, 200);
    m_pane->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
}

void TestTimelinePane::oneLinePerEntry_data()
{
    QTest::addColumn<QStringList>("entries");   // "+" first: the entry continues the line
    QTest::addColumn<QString>("shown");
    QTest::newRow("hex frames") << QStringList{"01 03", "02 04"} << "01 03\n02 04";
    QTest::newRow("text frames ending CR LF") << QStringList{"OK\r\n", "READ 1\r\n", "OK\r\n"}
                                              << "OK\nREAD 1\nOK";
    QTest::newRow("continued after a line break") << QStringList{"A\r\n", "+B"} << "A\nB";
    QTest::newRow("continued in the line") << QStringList{"A", "+B", "C"} << "AB\nC";
    QTest::newRow("lone CR and LF inside") << QStringList{"A\rB\nC"} << "A\nB\nC";
    QTest::newRow("an empty line of its own stays") << QStringList{"A\r\n\r\n", "B"} << "A\n\nB";
}

void TestTimelinePane::oneLinePerEntry()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, shown);
    for (const QString &entry : entries) {
        const bool continues = entry.startsWith(QLatin1Char('+'));
        m_pane->appendEntry(continues ? entry.mid(1) : entry, !continues);
    }
    m_pane->flushPending();
    QCOMPARE(m_pane->toPlainText(), shown);

    m_pane->clear();
    m_pane->appendEntry(QStringLiteral("after clear"), true);
    m_pane->flushPending();
    QCOMPARE(m_pane->toPlainText(), QStringLiteral("after clear"));
}

void TestTimelinePane::keepsHistoryUpToItsBound()
{
    for (int i = 0; i < TimelinePane::MaxLines + 100; ++i)
        m_pane->appendEntry(QString::number(i), true);
    m_pane->flushPending();
    QCOMPARE(m_pane->document()->blockCount(), TimelinePane::MaxLines);
    QVERIFY(m_pane->toPlainText().endsWith(QString::number(TimelinePane::MaxLines + 99)));
    QVERIFY(m_pane->toPlainText().startsWith(QStringLiteral("100\n")));
}

void TestTimelinePane::followsTheEndUnlessScrolledAway()
{
    QScrollBar *bar = m_pane->verticalScrollBar();
    for (int i = 0; i < 200; ++i)
        m_pane->appendEntry(QString::number(i), true);
    m_pane->flushPending();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    bar->setValue(10);
    m_pane->appendEntry(QStringLiteral("new"), true);
    m_pane->flushPending();
    QCOMPARE(bar->value(), 10);

    bar->setValue(bar->maximum());
    m_pane->appendEntry(QStringLiteral("newer"), true);
    m_pane->flushPending();
    QCOMPARE(bar->value(), bar->maximum());
}

QTEST_MAIN(TestTimelinePane)
#include "tst_timelinepane.moc"

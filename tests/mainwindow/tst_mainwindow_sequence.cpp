// Velmora tests. Licensed under the MIT licence.
#include "workbench.h"

#include <titlestripbutton.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

// A sequence of the command list run from its window: started while communication is
// stopped, it opens the ports for itself, sends only its own rows, and closes them when
// it ends.
class TstMainWindowSequence : public QObject
{
    Q_OBJECT

private slots:
    void sequenceStartedWhileStoppedRunsOnItsOwnPorts();
};

namespace {

constexpr qint16 ReceiveOnly = 2;

const QByteArray Protocol = R"({ "format": "velmora-protocol", "version": 1,
  "commands": [ { "name": "read", "format": "hex", "data": "01 03 00 00 00 0A", "lineEnding": "none",
                  "checksum": { "algorithm": "CRC-16/MODBUS", "byteOrder": "little" } } ],
  "sequence": [ { "step": "repeat" }, { "step": "send", "command": "read" },
                { "step": "expect", "format": "hex", "pattern": "01 03 02 00 2A", "ms": 5000 },
                { "step": "end", "times": 3 } ] }
)";

} // namespace

void TstMainWindowSequence::sequenceStartedWhileStoppedRunsOnItsOwnPorts()
{
    Workbench bench({1, 2});
    QFile file(bench.path(QStringLiteral("velmora-protocol.json")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(Protocol) == Protocol.size());
    file.close();
    // The main window's own mode would send nothing: the rows are the sequence's.
    bench.open(Workbench::workingSettings(1, 2, ReceiveOnly));
    bench.child<TitleStripButton>("ButtonCommands")->click();
    auto *run = bench.child<QPushButton>("ButtonRunSequence");
    QVERIFY(run);
    run->click();
    QVERIFY(bench.messages.isEmpty());
    QCOMPARE(bench.caption("ButtonCom"), QStringLiteral("停止通讯"));

    for (int i = 0; i < 3; ++i) {
        QByteArray request;
        QTRY_VERIFY_WITH_TIMEOUT((request += bench.farEnd(1).read(1)).size() >= 8, 10000);
        QCOMPARE(request, QByteArray::fromHex("01030000000AC5CD"));
        QVERIFY(bench.farEnd(2).write(QByteArray::fromHex("010302002A399B")));
    }
    auto *outcome = bench.child<QLabel>("LabelOutcome");
    QTRY_VERIFY_WITH_TIMEOUT(outcome->text().contains(QStringLiteral("失败 0 步")), 10000);
    QVERIFY2(outcome->text().contains(QStringLiteral("通过 6 步")), qPrintable(outcome->text()));
    QTRY_COMPARE(bench.caption("ButtonCom"), QStringLiteral("开始通讯"));
    QVERIFY(!bench.portOpen("MSCommOutPut") && !bench.portOpen("MSCommInPut"));
    QVERIFY(bench.messages.isEmpty());
}

QTEST_MAIN(TstMainWindowSequence)
#include "tst_mainwindow_sequence.moc"

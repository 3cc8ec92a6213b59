// Velmora tests. Licensed under the MIT licence.
#include "faultywire.h"
#include "linkrunner.h"
#include "portmap.h"
#include "portmapfile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// A link test through the real ports, against a far end on pseudo-terminals that damages
// the stream on purpose: the figures name exactly what it did.
class TstLinkRunner : public QObject
{
    Q_OBJECT

private slots:
    void reportsWhatTheFarEndDid_data();
    void reportsWhatTheFarEndDid();
    void fullDuplexFaultShowsInItsDirectionOnly();
    void stopKeepsTheFiguresSoFar();
    void loopbackOnOnePort();
    void vanishingLineEndsWithThePartialResult();
};

namespace {

constexpr int Payload = 128;
constexpr int BlockBytes = Payload + 10;
constexpr int Blocks = 40;
const QString Settings = QStringLiteral("115200,N,8,1");

// Com 1 and Com 2 on two pseudo-terminals.
class WireBench
{
public:
    WireBench()
    {
        PortMap::setFolder(m_folder.path());
        PortMap::setUserFolder(m_folder.path());
        QList<std::pair<int, QString>> ports;
        for (int n : {1, 2}) {
            const QString device = m_folder.filePath(QStringLiteral("com%1").arg(n));
            farEnds[n] = std::make_unique<PseudoTerminal>(device);
            ports.append({n, device});
        }
        writePortMap(m_folder.path(), ports);
    }

    static LinkPorts ports(qint16 out, qint16 in)
    {
        LinkPorts ports;
        ports.out = {out, Settings, 0};
        ports.in = {in, Settings, 0};
        return ports;
    }

    static LinkSetup setup(LinkChecker::Form form, TestPattern::Kind pattern)
    {
        LinkSetup setup;
        setup.form = form;
        setup.pattern = pattern;
        setup.userBytes = "AT+CSQ?\r\n";
        setup.payloadBytes = Payload;
        setup.amount = LinkSetup::Amount::Bytes;
        setup.bytes = qint64(Blocks) * BlockBytes;
        return setup;
    }

    LinkFigures run(LinkRunner &runner, const LinkPorts &ports, const LinkSetup &setup)
    {
        QSignalSpy finished(&runner, &LinkRunner::finished);
        runner.start(ports, setup);
        if (!finished.wait(20000))
            runner.stop();
        return runner.figures();
    }

    QTemporaryDir m_folder;
    std::map<int, std::unique_ptr<PseudoTerminal>> farEnds;
};

} // namespace

void TstLinkRunner::reportsWhatTheFarEndDid_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<int>("pattern");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("bitErrors");
    QTest::addColumn<qint64>("lost");
    QTest::addColumn<qint64>("inserted");
    QTest::addColumn<qint64>("blocksDuplicated");
    using F = FaultyWire::Fault;
    for (int form : {int(LinkChecker::Form::Framed), int(LinkChecker::Form::Raw)}) {
        const bool raw = form == int(LinkChecker::Form::Raw);
        for (int pattern : {TestPattern::Prbs7, TestPattern::Prbs15, TestPattern::Prbs31, TestPattern::Counting,
                            TestPattern::Fixed55, TestPattern::UserBytes}) {
            const bool slipsShow = !raw || pattern != TestPattern::Fixed55;
            const QByteArray name = (raw ? "raw " : "framed ") + TestPattern::name(TestPattern::Kind(pattern)).toUtf8();
            QTest::addRow("%s clean", name.constData()) << form << pattern << -1 << 0 << 0LL << 0LL << 0LL << 0LL;
            QTest::addRow("%s flip bit 5", name.constData()) << form << pattern << int(F::FlipBit) << 5 << 1LL << 0LL << 0LL << 0LL;
            if (slipsShow) {
                QTest::addRow("%s drop 10", name.constData()) << form << pattern << int(F::Drop) << 10 << 0LL << 10LL << 0LL << 0LL;
                QTest::addRow("%s insert 3", name.constData()) << form << pattern << int(F::Insert) << 3 << 0LL << 0LL << 3LL << 0LL;
            }
            if (!raw)
                QTest::addRow("%s repeat a block", name.constData())
                    << form << pattern << int(F::Repeat) << BlockBytes << 0LL << 0LL << 0LL << 1LL;
            QTest::addRow("%s falls silent", name.constData())
                << form << pattern << int(F::Silence) << 0 << 0LL << qint64(10 * BlockBytes) << 0LL << 0LL;
        }
    }
}

void TstLinkRunner::reportsWhatTheFarEndDid()
{
    QFETCH(int, form);
    QFETCH(int, pattern);
    QFETCH(int, fault);
    QFETCH(int, count);
    QFETCH(qint64, bitErrors);
    QFETCH(qint64, lost);
    QFETCH(qint64, inserted);
    QFETCH(qint64, blocksDuplicated);
    WireBench bench;
    FaultyWire wire(*bench.farEnds[1], *bench.farEnds[2]);
    const auto f = FaultyWire::Fault(fault);
    if (fault >= 0) {
        const qint64 at = f == FaultyWire::Fault::Silence ? 30 * BlockBytes
                          : f == FaultyWire::Fault::Repeat ? 12 * BlockBytes
                                                           : 7 * BlockBytes + 23;
        wire.inject(at, f, count);
    }
    LinkRunner runner;
    const LinkFigures figures = bench.run(runner, WireBench::ports(1, 2),
                                          WireBench::setup(LinkChecker::Form(form), TestPattern::Kind(pattern)));
    QVERIFY(figures.finished);
    QCOMPARE(figures.directions.size(), 1);
    const DirectionFigures &d = figures.directions.first();
    QCOMPARE(d.bytesSent, qint64(Blocks) * BlockBytes);
    QCOMPARE(d.counts.bitErrors, bitErrors);
    QCOMPARE(d.counts.bytesLost, lost);
    QCOMPARE(d.counts.bytesInserted, inserted);
    QCOMPARE(d.counts.blocksDuplicated, blocksDuplicated);
    QCOMPARE(d.counts.syncLosses, 0);
    QCOMPARE(figures.passes(0), fault < 0);
    QCOMPARE(d.theoreticalBytesPerSecond, 0.0);   // a pseudo-terminal has no baud rate
}

void TstLinkRunner::fullDuplexFaultShowsInItsDirectionOnly()
{
    WireBench bench;
    FaultyWire there(*bench.farEnds[1], *bench.farEnds[2]);
    FaultyWire back(*bench.farEnds[2], *bench.farEnds[1]);
    there.inject(5 * BlockBytes + 40, FaultyWire::Fault::FlipBit, 2);
    there.inject(9 * BlockBytes + 40, FaultyWire::Fault::FlipBit, 6);
    there.inject(20 * BlockBytes + 3, FaultyWire::Fault::Drop, 10);
    LinkSetup setup = WireBench::setup(LinkChecker::Form::Framed, TestPattern::Prbs15);
    setup.direction = LinkSetup::Direction::BothWays;
    LinkRunner runner;
    const LinkFigures figures = bench.run(runner, WireBench::ports(1, 2), setup);
    QCOMPARE(figures.directions.size(), 2);
    const DirectionFigures &forth = figures.directions[0];
    const DirectionFigures &backwards = figures.directions[1];
    QCOMPARE(forth.fromPort, 1);
    QCOMPARE(forth.counts.bitErrors, 2);
    QCOMPARE(forth.counts.bytesLost, 10);
    QCOMPARE(forth.counts.blocksCorrupted, 3);
    QCOMPARE(backwards.fromPort, 2);
    QCOMPARE(backwards.counts.bitErrors, 0);
    QCOMPARE(backwards.counts.bytesLost, 0);
    QCOMPARE(backwards.counts.blocksGood, Blocks);
    QVERIFY(backwards.passes(0));
    QVERIFY(!figures.passes(0));
}

void TstLinkRunner::stopKeepsTheFiguresSoFar()
{
    WireBench bench;
    FaultyWire wire(*bench.farEnds[1], *bench.farEnds[2]);
    LinkSetup setup = WireBench::setup(LinkChecker::Form::Framed, TestPattern::Prbs23);
    setup.amount = LinkSetup::Amount::UntilStopped;
    LinkRunner runner;
    QSignalSpy progress(&runner, &LinkRunner::progress);
    QSignalSpy finished(&runner, &LinkRunner::finished);
    runner.start(WireBench::ports(1, 2), setup);
    QVERIFY(progress.wait(2000));
    QVERIFY(runner.figures().directions.first().counts.bytesReceived > 0);
    runner.stop();
    QVERIFY(finished.wait(5000));
    const LinkFigures figures = runner.figures();
    QVERIFY(figures.stoppedEarly);
    const DirectionFigures &d = figures.directions.first();
    QVERIFY(d.counts.blocksGood > 0);
    QCOMPARE(d.counts.bytesLost, 0);
    QCOMPARE(d.counts.bytesReceived, d.bytesSent);
    QVERIFY(figures.passes(0));
    QVERIFY(d.latency.samples > 0);
    QVERIFY(d.latency.minimum <= d.latency.median && d.latency.median <= d.latency.p99
            && d.latency.p99 <= d.latency.maximum);
}

// One port both ways: the far end sends every byte back.
void TstLinkRunner::loopbackOnOnePort()
{
    WireBench bench;
    FaultyWire echo(*bench.farEnds[1], *bench.farEnds[1]);
    echo.inject(3 * BlockBytes + 7, FaultyWire::Fault::FlipBit, 0);
    LinkRunner runner;
    const LinkFigures figures = bench.run(runner, WireBench::ports(1, 1),
                                          WireBench::setup(LinkChecker::Form::Raw, TestPattern::Prbs9));
    QCOMPARE(figures.directions.size(), 1);
    QCOMPARE(figures.directions.first().counts.bitErrors, 1);
    QCOMPARE(figures.directions.first().counts.bytesLost, 0);
}

void TstLinkRunner::vanishingLineEndsWithThePartialResult()
{
    WireBench bench;
    FaultyWire wire(*bench.farEnds[1], *bench.farEnds[2]);
    wire.inject(200 * BlockBytes, FaultyWire::Fault::Vanish);
    LinkSetup setup = WireBench::setup(LinkChecker::Form::Framed, TestPattern::Prbs15);
    setup.amount = LinkSetup::Amount::UntilStopped;
    LinkRunner runner;
    const LinkFigures figures = bench.run(runner, WireBench::ports(1, 2), setup);
    QVERIFY(figures.finished);
    QVERIFY(!figures.lossNote.isEmpty());
    QVERIFY(!runner.running());
    // Every block sent is accounted for: what did not arrive before the loss is lost.
    const DirectionFigures &d = figures.directions.first();
    QVERIFY(d.bytesSent >= 200 * BlockBytes);
    QCOMPARE(d.counts.blocksGood + d.counts.blocksLost + d.counts.blocksCorrupted, d.bytesSent / BlockBytes);
    QVERIFY(!figures.passes(0));
    // Both ports are closed: a new test opens them again at once.
    bench.farEnds[2]->plugIn();
    QVERIFY(!CommPort::heldByThisProgram(bench.m_folder.filePath(QStringLiteral("com1"))));
}

QTEST_MAIN(TstLinkRunner)
#include "tst_linkrunner.moc"

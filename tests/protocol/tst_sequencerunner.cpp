// Velmora workbench. Licensed under the MIT licence.
#include "sequencerunner.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using Step = ProtocolSet::Step;

class TestSequenceRunner : public QObject
{
    Q_OBJECT

private slots:
    void run_data();
    void run();
    void waitTakesItsTime();
    void unpairedMarksAreRefused();
};

// A far end that answers "ping" with "OK" a little later and leaves "mute" unanswered.
static ProtocolSet farEndSet(const QList<Step> &steps, bool stopAtFailure)
{
    ProtocolSet set;
    for (const char *name : {"ping", "mute"}) {
        ProtocolSet::Command command;
        command.name = QLatin1String(name);
        command.data = QLatin1String(name);
        set.commands.append(command);
    }
    set.sequence = steps;
    set.stopAtFailure = stopAtFailure;
    return set;
}

void TestSequenceRunner::run_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<bool>("stopAtFailure");
    QTest::addColumn<QString>("verdicts");     // one letter a step taken: p passed, f failed
    QTest::addColumn<bool>("completed");
    QTest::addColumn<bool>("atOnce");          // the far end answers before the send returns

    const Step ping{Step::Send, QStringLiteral("ping")};
    const Step mute{Step::Send, QStringLiteral("mute")};
    const Step reply{Step::Expect, {}, 200, false, QStringLiteral("O?")};
    const Step hexReply{Step::Expect, {}, 200, true, QStringLiteral("4F 4B")};
    QTest::addRow("send, reply, repeated 10 times")
        << QList<Step>{{Step::RepeatBegin}, ping, reply, {Step::RepeatEnd, {}, 0, false, {}, 10}}
        << true << QString("pp").repeated(10) << true << false;
    QTest::addRow("hexadecimal pattern") << QList<Step>{ping, hexReply} << true << "pp" << true << false;
    QTest::addRow("a timeout stops the run")
        << QList<Step>{ping, reply, mute, reply, ping, reply} << true << "pppf" << false << false;
    QTest::addRow("a timeout, and the run goes on")
        << QList<Step>{ping, reply, mute, reply, ping, reply} << false << "pppfpp" << true << false;
    QTest::addRow("nested repeats")
        << QList<Step>{{Step::RepeatBegin}, ping, {Step::RepeatBegin}, reply,
                       {Step::RepeatEnd, {}, 0, false, {}, 2}, {Step::RepeatEnd, {}, 0, false, {}, 2}}
        << false << "ppfppf" << true << false;
    QTest::addRow("no steps") << QList<Step>{} << true << "" << true << false;
    // A far end on a fast line answers before the step that waits for it has its turn.
    QTest::addRow("a reply before its step begins")
        << QList<Step>{{Step::RepeatBegin}, ping, reply, {Step::RepeatEnd, {}, 0, false, {}, 3}}
        << true << QString("pp").repeated(3) << true << true;
    QTest::addRow("a reply after a wait") << QList<Step>{ping, {Step::Wait, {}, 50}, reply} << true << "ppp" << true << false;
    QTest::addRow("a reply before the send does not count")
        << QList<Step>{ping, mute, reply} << true << "ppf" << false << true;
}

void TestSequenceRunner::run()
{
    QFETCH(QList<Step>, steps);
    QFETCH(bool, stopAtFailure);
    QFETCH(QString, verdicts);
    QFETCH(bool, completed);
    QFETCH(bool, atOnce);

    SequenceRunner runner;
    runner.setSender([&runner, atOnce](int command) {
        if (command == 0 && atOnce)
            runner.received("xxOK");
        else if (command == 0)
            QTimer::singleShot(20, &runner, [&runner] { runner.received("xxO"); runner.received("K"); });
        return true;
    });
    QString taken;
    connect(&runner, &SequenceRunner::stepDone, this, [&taken](int, bool passed) {
        taken += passed ? QLatin1Char('p') : QLatin1Char('f');
    });
    QSignalSpy finished(&runner, &SequenceRunner::finished);
    QVERIFY(runner.start(farEndSet(steps, stopAtFailure)));
    QVERIFY(finished.wait(5000));
    QCOMPARE(taken, verdicts);
    QCOMPARE(finished.first().at(0).toInt(), int(verdicts.count(QLatin1Char('p'))));
    QCOMPARE(finished.first().at(1).toInt(), int(verdicts.count(QLatin1Char('f'))));
    QCOMPARE(finished.first().at(2).toBool(), completed);
    QVERIFY(!runner.running());
}

void TestSequenceRunner::waitTakesItsTime()
{
    SequenceRunner runner;
    QSignalSpy finished(&runner, &SequenceRunner::finished);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(runner.start(farEndSet({{Step::Wait, {}, 150}}, true)));
    QVERIFY(finished.wait(2000));
    QVERIFY(clock.elapsed() >= 145);
    QCOMPARE(finished.first().at(0).toInt(), 1);
}

void TestSequenceRunner::unpairedMarksAreRefused()
{
    SequenceRunner runner;
    QVERIFY(!runner.start(farEndSet({{Step::RepeatEnd, {}, 0, false, {}, 2}}, true)));
    QVERIFY(!runner.start(farEndSet({{Step::RepeatBegin}}, true)));
    QVERIFY(!runner.running());
}

QTEST_GUILESS_MAIN(TestSequenceRunner)
#include "tst_sequencerunner.moc"

// Velmora tests. Licensed under the MIT licence.
#include "faultywire.h"
#include "portmap.h"
#include "session.h"
#include "settinglists.h"
#include "sysdata.h"

#include <portmapfile.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <csignal>
#include <termios.h>
#include <unistd.h>

// "tarrock run" and "tarrock answer" as a test rig runs them: the real program, no display,
// over pseudo-terminals joined by a null-modem the test relays, with the program itself,
// or the window's session, at the other end.
class TstSequenceCommands : public QObject
{
    Q_OBJECT

private slots:
    void runVerdicts_data();
    void runVerdicts();
    void namedSequences_data();
    void namedSequences();
    void setUpRefusals_data();
    void setUpRefusals();
    void twoRunsAtOnceOnDifferentPorts();
    void stopSignalMarksInterruptedAndRestoresLines();
    void answerServesTheWindowsSendAndReceiveMode();
    void answerEndsWhenItsDeviceVanishes();
    void settingsFromTheWindowsRecord();
};

namespace {

const QByteArray Commands = R"(
  "commands": [ { "name": "read", "format": "hex", "data": "01 03 00 00 00 0A", "lineEnding": "none",
                  "checksum": { "algorithm": "CRC-16/MODBUS", "byteOrder": "little" } },
                { "name": "at", "format": "text", "data": "AT", "lineEnding": "crlf" } ],)";

// The far end's rules: a Modbus read and "AT", each answered.
QByteArray rulesFile(const QByteArray &modbusAnswer)
{
    return R"({ "format": "velmora-protocol", "version": 1,)" + Commands + R"(
  "rules": [ { "expectedFormat": "hex", "expected": "01 03 ?? ?? ?? ?? ?? ??", "answerFormat": "hex",
               "answer": ")" + modbusAnswer + R"(", "checksum": { "algorithm": "CRC-16/MODBUS", "byteOrder": "little" } },
             { "expectedFormat": "text", "expected": "AT\r\n", "answerFormat": "text", "answer": "OK" } ] }
)";
}

QByteArray sequenceFile(const QByteArray &steps, const QByteArray &named = {})
{
    return R"({ "format": "velmora-protocol", "version": 1,)" + Commands + R"(
  "sequence": [ )" + steps + R"( ],)" + (named.isEmpty() ? QByteArray() : "\n  \"sequences\": [ " + named + " ],")
        + "\n  \"stopAtFailure\": true\n}\n";
}

// Ask, reply, ask again: five steps that pass or fail, three times.
const QByteArray Exchange = R"({ "step": "repeat" },
    { "step": "send", "command": "read" }, { "step": "expect", "format": "hex", "pattern": "01 03 02 00 2A", "ms": 2000 },
    { "step": "send", "command": "at" }, { "step": "expect", "pattern": "OK", "ms": 2000 },
    { "step": "wait", "ms": 20 }, { "step": "end", "times": 3 })";

// Two pseudo-terminals joined both ways, as a null-modem cable joins two ports.
struct NullModem
{
    explicit NullModem(const QString &folder)
        : a(folder + QStringLiteral("/a")), b(folder + QStringLiteral("/b")), ab(a, b), ba(b, a)
    {
    }
    PseudoTerminal a;
    PseudoTerminal b;
    FaultyWire ab;
    FaultyWire ba;
};

QProcessEnvironment windowless()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

void start(QProcess &process, const QStringList &arguments, const QString &program = QStringLiteral(TARROCK_DIR "/tarrock"))
{
    process.setProcessEnvironment(windowless());
    process.start(program, arguments);
}

// Its exit status, letting the test's relays run meanwhile; -1 for a crash or a hang.
int finish(QProcess &process, int milliseconds = 30000)
{
    QSignalSpy finished(&process, &QProcess::finished);
    if (process.state() != QProcess::NotRunning && !finished.wait(milliseconds)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void stop(QProcess &process)
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
}

bool write(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct TestCase
{
    QString name;
    QString verdict;    // "passed", "failure", "skipped"
    QString message;
    QString runs;
};

// The test cases of a JUnit file; empty when it is not well-formed.
QList<TestCase> junit(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    QList<TestCase> cases;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("testcase"))
            cases.append({a.value(QLatin1String("name")).toString(), QStringLiteral("passed"), {}, {}});
        else if (cases.isEmpty())
            continue;
        else if (xml.name() == QLatin1String("failure") || xml.name() == QLatin1String("skipped"))
            cases.last().verdict = xml.name().toString(), cases.last().message = a.value(QLatin1String("message")).toString();
        else if (xml.name() == QLatin1String("property") && a.value(QLatin1String("name")) == QLatin1String("runs"))
            cases.last().runs = a.value(QLatin1String("value")).toString();
    }
    return xml.hasError() ? QList<TestCase>() : cases;
}

speed_t outputSpeed(const PseudoTerminal &terminal)
{
    termios settings = {};
    return ::tcgetattr(terminal.master(), &settings) == 0 ? cfgetospeed(&settings) : speed_t(0);
}

void setSpeed(const PseudoTerminal &terminal, speed_t speed)
{
    termios settings = {};
    ::tcgetattr(terminal.master(), &settings);
    cfsetspeed(&settings, speed);
    ::tcsetattr(terminal.master(), TCSANOW, &settings);
}

} // namespace

void TstSequenceCommands::runVerdicts_data()
{
    QTest::addColumn<QByteArray>("modbusAnswer");
    QTest::addColumn<QByteArray>("steps");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("verdicts");   // of the five steps
    QTest::addColumn<QString>("failure");

    QTest::newRow("every reply right") << QByteArray("01 03 02 00 2A") << Exchange << 0
                                       << QStringList{"passed", "passed", "passed", "passed", "passed"} << QString();
    QTest::newRow("a wrong reply stops the run")
        << QByteArray("01 83 02") << Exchange << 1
        << QStringList{"passed", "failure", "skipped", "skipped", "skipped"} << "no reply matching '01 03 02 00 2A'";
    QByteArray missing = Exchange;
    missing.replace("\"command\": \"at\"", "\"command\": \"attention\"");
    QTest::newRow("a command not in the list")
        << QByteArray("01 03 02 00 2A") << missing << 1
        << QStringList{"passed", "passed", "failure", "skipped", "skipped"} << "no command named 'attention'";
}

void TstSequenceCommands::runVerdicts()
{
    QFETCH(QByteArray, modbusAnswer);
    QFETCH(QByteArray, steps);
    QFETCH(int, status);
    QFETCH(QStringList, verdicts);
    QFETCH(QString, failure);
    QTemporaryDir folder;
    NullModem line(folder.path());
    QVERIFY(write(folder.filePath("device.json"), rulesFile(modbusAnswer)));
    QVERIFY(write(folder.filePath("seq.json"), sequenceFile(steps)));
    QProcess device;
    start(device, {"answer", folder.filePath("device.json"), "--port", line.b.slavePath()});
    QSignalSpy ready(&device, &QProcess::readyReadStandardError);
    QVERIFY(ready.wait(20000));

    QProcess run;
    start(run, {"run", folder.filePath("seq.json"), "--out", line.a.slavePath(), "--settings", "115200,N,8,1",
                "--report", folder.filePath("r.json"), "--junit", folder.filePath("r.xml")});
    QCOMPARE(finish(run), status);
    const QByteArray summary = run.readAllStandardOutput();
    QVERIFY2(summary.endsWith(status == 0 ? "PASSED\n" : "FAILED\n"), summary.constData());

    const QList<TestCase> cases = junit(folder.filePath("r.xml"));
    QCOMPARE(cases.size(), verdicts.size());
    for (int i = 0; i < cases.size(); ++i) {
        QCOMPARE(cases[i].verdict, verdicts[i]);
        if (cases[i].verdict == QLatin1String("failure"))
            QVERIFY2(cases[i].message.contains(failure), qPrintable(cases[i].message));
    }
    if (status == 0)
        QCOMPARE(cases[1].runs, QStringLiteral("3"));
    const QJsonObject report = QJsonDocument::fromJson(read(folder.filePath("r.json"))).object();
    QCOMPARE(report.value("passed").toBool(), status == 0);
    const QJsonArray sequences = report.value("sequences").toArray();
    QCOMPARE(sequences.size(), 1);
    QCOMPARE(sequences.at(0).toObject().value("name").toString(), QStringLiteral("sequence"));
    QCOMPARE(sequences.at(0).toObject().value("steps").toArray().size(), verdicts.size());
    stop(device);
}

// The main sequence and two named ones: all run, one after the other, each a test suite,
// unless one is named.
void TstSequenceCommands::namedSequences_data()
{
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("suites");
    QTest::addColumn<QStringList>("verdicts");

    QTest::newRow("all") << QStringList() << 1 << QStringList{"seq.sequence", "seq.broken", "seq.attention"}
                         << QStringList{"passed", "passed", "passed", "failure", "passed", "passed"};
    QTest::newRow("one named") << QStringList{"--sequence", "attention"} << 0 << QStringList{"seq.attention"}
                               << QStringList{"passed", "passed"};
    QTest::newRow("the main one") << QStringList{"--sequence", "sequence"} << 0 << QStringList{"seq.sequence"}
                                  << QStringList{"passed", "passed"};
}

void TstSequenceCommands::namedSequences()
{
    QFETCH(QStringList, chosen);
    QFETCH(int, status);
    QFETCH(QStringList, suites);
    QFETCH(QStringList, verdicts);
    QTemporaryDir folder;
    NullModem line(folder.path());
    QVERIFY(write(folder.filePath("device.json"), rulesFile("01 03 02 00 2A")));
    QVERIFY(write(folder.filePath("seq.json"),
                  sequenceFile(R"({ "step": "send", "command": "read" }, { "step": "expect", "format": "hex", "pattern": "01 03 02", "ms": 2000 })",
                               R"({ "name": "broken", "steps": [ { "step": "send", "command": "read" },
                                       { "step": "expect", "format": "hex", "pattern": "01 83", "ms": 300 } ] },
                                   { "name": "attention", "steps": [ { "step": "send", "command": "at" },
                                       { "step": "expect", "pattern": "OK", "ms": 2000 } ] })")));
    QProcess device;
    start(device, {"answer", folder.filePath("device.json"), "--port", line.b.slavePath()});
    QSignalSpy ready(&device, &QProcess::readyReadStandardError);
    QVERIFY(ready.wait(20000));
    QProcess run;
    start(run, QStringList{"run", folder.filePath("seq.json"), "--out", line.a.slavePath(), "--junit", folder.filePath("r.xml")}
                   + chosen);
    QCOMPARE(finish(run), status);

    QFile file(folder.filePath("r.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList named;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("testsuite"))
            named << xml.attributes().value(QLatin1String("name")).toString();
    }
    QCOMPARE(named, suites);
    QStringList taken;
    for (const TestCase &c : junit(folder.filePath("r.xml")))
        taken << c.verdict;
    QCOMPARE(taken, verdicts);
    stop(device);
}

void TstSequenceCommands::setUpRefusals_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");

    const QByteArray good = sequenceFile(Exchange);
    QByteArray brokenJson = good;
    brokenJson.replace("\"step\": \"wait\", \"ms\": 20 }", "\"step\": \"wait\", \"ms\": 20 ");   // line 8
    QByteArray badStep = good;
    badStep.replace("\"ms\": 20", "\"ms\": -20");
    QTest::newRow("run: JSON broken") << "run" << brokenJson << QStringList() << "seq.json:8:";
    QTest::newRow("run: a step out of range") << "run" << badStep << QStringList() << "seq.json:5:";
    QTest::newRow("run: not a command list") << "run" << QByteArray("{ \"commands\": [] }") << QStringList() << "seq.json:1:";
    QTest::newRow("run: no sequence") << "run" << rulesFile("01") << QStringList() << "holds no sequence";
    QTest::newRow("run: missing port") << "run" << good << QStringList{"--out", "/dev/velmora-no-such-port"}
                                       << "velmora-no-such-port";
    QTest::newRow("run: no port") << "run" << good << QStringList{"--settings", "9600,N,8,1"} << "--out";
    QTest::newRow("run: no such sequence") << "run" << good << QStringList{"--out", "COM1", "--sequence", "soak"}
                                           << "no sequence 'soak' (it holds sequence)";
    QTest::newRow("answer: no rule on") << "answer" << good << QStringList{"--port", "COM1"} << "no answer rule";
    QTest::newRow("answer: unknown option") << "answer" << rulesFile("01") << QStringList{"--port", "COM1", "--out", "COM2"}
                                            << "out";
}

void TstSequenceCommands::setUpRefusals()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    QTemporaryDir folder;
    QVERIFY(write(folder.filePath("seq.json"), file));
    if (arguments.isEmpty())
        arguments = {"--out", "COM1"};
    QProcess program;
    start(program, QStringList{command, folder.filePath("seq.json")} + arguments);
    QCOMPARE(finish(program), 2);
    const QString error = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(error.count(QLatin1Char('\n')), 1);
    QVERIFY2(error.contains(named), qPrintable(error));
    QVERIFY(program.readAllStandardOutput().isEmpty());
}

void TstSequenceCommands::twoRunsAtOnceOnDifferentPorts()
{
    QTemporaryDir folder;
    QDir(folder.path()).mkpath("1");
    QDir(folder.path()).mkpath("2");
    NullModem first(folder.filePath("1"));
    NullModem second(folder.filePath("2"));
    QVERIFY(write(folder.filePath("device.json"), rulesFile("01 03 02 00 2A")));
    QByteArray steps = Exchange;
    // Long enough (some 5 s) for a third program to start while both run.
    steps.replace("\"times\": 3", "\"times\": 200");
    QVERIFY(write(folder.filePath("seq.json"), sequenceFile(steps)));

    QProcess devices[2];
    QProcess runs[2];
    NullModem *lines[2] = {&first, &second};
    for (int i = 0; i < 2; ++i) {
        start(devices[i], {"answer", folder.filePath("device.json"), "--port", lines[i]->b.slavePath()});
        QSignalSpy ready(&devices[i], &QProcess::readyReadStandardError);
        QVERIFY(ready.wait(20000));
    }
    for (int i = 0; i < 2; ++i)
        start(runs[i], {"run", folder.filePath("seq.json"), "--out", lines[i]->a.slavePath(), "--junit",
                        folder.filePath(QStringLiteral("r%1.xml").arg(i))});
    // A third run on a port in use is refused as busy; the others run on.
    QSignalSpy answered(&devices[0], &QProcess::readyReadStandardOutput);
    QVERIFY(answered.wait(20000));
    QCOMPARE(runs[0].state(), QProcess::Running);
    QProcess third;
    start(third, {"run", folder.filePath("seq.json"), "--out", first.a.slavePath()});
    QCOMPARE(finish(third), 2);
    QVERIFY(third.readAllStandardError().contains("busy"));
    QCOMPARE(runs[0].state(), QProcess::Running);

    for (int i = 0; i < 2; ++i) {
        QCOMPARE(finish(runs[i]), 0);
        const QList<TestCase> cases = junit(folder.filePath(QStringLiteral("r%1.xml").arg(i)));
        QCOMPARE(cases.size(), 5);
        QCOMPARE(cases[3].runs, QStringLiteral("200"));
        stop(devices[i]);
    }
}

void TstSequenceCommands::stopSignalMarksInterruptedAndRestoresLines()
{
    QTemporaryDir folder;
    NullModem line(folder.path());
    QVERIFY(write(folder.filePath("device.json"), rulesFile("01 03 02 00 2A")));
    QVERIFY(write(folder.filePath("seq.json"),
                  sequenceFile(R"({ "step": "send", "command": "read" },
                                  { "step": "expect", "format": "hex", "pattern": "01 03 02", "ms": 2000 },
                                  { "step": "wait", "ms": 600000 }, { "step": "send", "command": "at" })")));
    for (PseudoTerminal *end : {&line.a, &line.b})
        setSpeed(*end, B4800);
    QProcess device;
    start(device, {"answer", folder.filePath("device.json"), "--port", line.b.slavePath(), "--settings", "57600,N,8,1"});
    QSignalSpy ready(&device, &QProcess::readyReadStandardError);
    QVERIFY(ready.wait(20000));
    QProcess run;
    start(run, {"run", folder.filePath("seq.json"), "--out", line.a.slavePath(), "--settings", "115200,N,8,1",
                "--report", folder.filePath("r.json"), "--junit", folder.filePath("r.xml")});
    // The reply came: the run is in its long wait, each line at its settings.
    QByteArray exchanges;
    connect(&device, &QProcess::readyReadStandardOutput, this, [&] { exchanges += device.readAllStandardOutput(); });
    QTRY_VERIFY_WITH_TIMEOUT(exchanges.contains("-> 01 03 02 00 2A"), 20000);
    QCOMPARE(outputSpeed(line.a), speed_t(B115200));
    QCOMPARE(outputSpeed(line.b), speed_t(B57600));
    // Neither asked for a display: no platform plugin is loaded.
    for (const QProcess *process : {&run, &device}) {
        QFile maps(QStringLiteral("/proc/%1/maps").arg(process->processId()));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(mapped.contains("libQt6Core"));
        QVERIFY(!mapped.contains("/platforms/"));
    }

    ::kill(pid_t(run.processId()), SIGTERM);
    QCOMPARE(finish(run), 1);
    const QJsonObject report = QJsonDocument::fromJson(read(folder.filePath("r.json"))).object();
    QCOMPARE(report.value("interrupted").toBool(), true);
    QCOMPARE(report.value("passed").toBool(), false);
    const QList<TestCase> cases = junit(folder.filePath("r.xml"));
    QCOMPARE(cases.size(), 4);
    QCOMPARE(cases[1].verdict, QStringLiteral("passed"));
    QCOMPARE(cases[2].verdict, QStringLiteral("failure"));
    QCOMPARE(cases[2].message, QStringLiteral("interrupted"));
    QCOMPARE(cases[3].verdict, QStringLiteral("skipped"));
    QCOMPARE(outputSpeed(line.a), speed_t(B4800));

    ::kill(pid_t(device.processId()), SIGINT);
    QCOMPARE(finish(device), 0);
    exchanges += device.readAllStandardOutput();
    QVERIFY2(exchanges.endsWith("answered 1 requests\n"), exchanges.constData());
    QCOMPARE(outputSpeed(line.b), speed_t(B4800));
}

// The window's "send and receive" mode, driven without a window, sends "AT" periodically
// and a row of the command list between; the played device answers each by its rule.
void TstSequenceCommands::answerServesTheWindowsSendAndReceiveMode()
{
    QTemporaryDir folder;
    NullModem line(folder.path());
    QVERIFY(writePortMap(folder.path(), {{1, line.a.slavePath()}}));
    PortMap::setFolder(folder.path());
    PortMap::setUserFolder(folder.path());
    QVERIFY(write(folder.filePath("device.json"), rulesFile("01 03 02 00 2A")));
    QProcess device;
    start(device, {"answer", folder.filePath("device.json"), "--port", line.b.slavePath()});
    QSignalSpy ready(&device, &QProcess::readyReadStandardError);
    QVERIFY(ready.wait(20000));

    Session session;
    session.loadOptions(folder.filePath("velmora.ini"));
    session.scanPorts({});
    Session::Choices choices;
    choices.outPort = choices.inPort = 1;
    choices.outSettings = choices.inSettings = QStringLiteral("9600,N,8,1");
    choices.mode = TransferEngine::ModeSendReceive;
    choices.repeat = true;
    choices.period = 200;
    choices.format = CommandCodec::FormatHex;
    choices.outCommand = QStringLiteral("41 54 0D 0A");
    QByteArray arrived;
    connect(&session, &Session::arrived, this, [&arrived](const QByteArray &bytes) { arrived += bytes; });
    QVERIFY(!session.start(choices).refused());
    ProtocolSet::Command read;
    read.hex = true;
    read.data = QStringLiteral("01 03 00 00 00 0A");
    read.checksum.algorithm = Checksum::Algorithm::Crc16Modbus;
    read.checksum.order = Checksum::ByteOrder::LittleEndian;
    read.lineEnding = ProtocolSet::LineEnding::None;
    QTRY_VERIFY_WITH_TIMEOUT(arrived.contains("OK"), 20000);
    QVERIFY(!session.sendCommand(read).refused());
    const QByteArray modbusReply = QByteArray::fromHex("010302002A399B");
    QTRY_VERIFY_WITH_TIMEOUT(arrived.contains(modbusReply), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(arrived.count("OK") >= 3, 20000);
    session.stop();

    ::kill(pid_t(device.processId()), SIGTERM);
    QCOMPARE(finish(device), 0);
    const QString exchanges = QString::fromLocal8Bit(device.readAllStandardOutput());
    QVERIFY2(exchanges.contains(QStringLiteral("01 03 00 00 00 0A C5 CD -> 01 03 02 00 2A 39 9B\n")), qPrintable(exchanges));
    QVERIFY2(exchanges.contains(QStringLiteral("41 54 0D 0A -> OK\n")), qPrintable(exchanges));
    // One line per exchange, then the count.
    const QStringList lines = exchanges.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.last(), QStringLiteral("answered %1 requests").arg(lines.size() - 1));
}

// A program folder of its own (the build's program, linked), holding the window's
// settings record: Com 15 sends into the null-modem, Com 16 receives from it.
// A device unplugged while it is played: exit 1, and one line that names the device
// as the command line gave it, not only the port number the run lent it.
void TstSequenceCommands::answerEndsWhenItsDeviceVanishes()
{
    QTemporaryDir folder;
    PseudoTerminal device(folder.filePath(QStringLiteral("device")));
    QVERIFY(write(folder.filePath("device.json"), rulesFile("01 03 02 00 2A")));
    QProcess answer;
    start(answer, {"answer", folder.filePath("device.json"), "--port", device.slavePath()});
    QSignalSpy ready(&answer, &QProcess::readyReadStandardError);
    QVERIFY(ready.wait(20000));
    QVERIFY(device.write("AT\r\n"));
    QCOMPARE(device.read(2000, 2), QByteArray("OK"));
    device.unplug();
    QCOMPARE(finish(answer), 1);
    const QList<QByteArray> errors = answer.readAllStandardError().trimmed().split('\n');
    QVERIFY2(errors.last().contains("went away") && errors.last().contains(device.slavePath().toUtf8()),
             errors.last().constData());
    QVERIFY(answer.readAllStandardOutput().endsWith("answered 1 requests\n"));
}

void TstSequenceCommands::settingsFromTheWindowsRecord()
{
    QTemporaryDir folder(QStringLiteral(TARROCK_DIR "/../cli-sysdata-XXXXXX"));
    QVERIFY(folder.isValid());
    for (const QFileInfo &file : QDir(QStringLiteral(TARROCK_DIR)).entryInfoList({"tarrock", "*.so"}, QDir::Files))
        QVERIFY(::link(QFile::encodeName(file.filePath()).constData(),
                       QFile::encodeName(folder.filePath(file.fileName())).constData()) == 0);
    const QString program = folder.filePath("tarrock");
    const QStringList sequence{"run", folder.filePath("seq.json")};
    QVERIFY(write(folder.filePath("seq.json"),
                  sequenceFile(R"({ "step": "send", "command": "read" }, { "step": "expect", "format": "hex", "pattern": "01 03 00 00", "ms": 2000 })")));

    // No record: refused, and none is made.
    QProcess refused;
    start(refused, sequence + QStringList{"--settings-from-sysdata"}, program);
    QCOMPARE(finish(refused), 2);
    QVERIFY(refused.readAllStandardError().contains("sysdata.dat"));
    QVERIFY(!QFile::exists(folder.filePath("sysdata.dat")));

    NullModem line(folder.path());
    QVERIFY(writePortMap(folder.path(), {{15, line.a.slavePath()}, {16, line.b.slavePath()}}));
    SysData stored;
    stored.OutPort = 15;
    stored.InPort = 16;
    stored.OutSetB = stored.InSetB = qint16(SettingLists::BaudItems.indexOf("115200"));
    stored.OutSetD = stored.InSetD = qint16(SettingLists::DataBitsItems.indexOf("8"));
    const QByteArray record = stored.toBytes();
    QVERIFY(write(folder.filePath("sysdata.dat"), record));
    const QDateTime written = QFileInfo(folder.filePath("sysdata.dat")).lastModified();

    QProcess run;
    start(run, sequence + QStringList{"--settings-from-sysdata", "--report", folder.filePath("r.json")}, program);
    const int status = finish(run);
    QVERIFY2(status == 0, run.readAllStandardError() + run.readAllStandardOutput());
    const QJsonObject report = QJsonDocument::fromJson(read(folder.filePath("r.json"))).object();
    QVERIFY2(report.value("passed").toBool(), read(folder.filePath("r.json")).constData());
    QCOMPARE(report.value("out").toString(), QStringLiteral("COM15"));
    QCOMPARE(report.value("in").toString(), QStringLiteral("COM16"));

    QProcess linkTest;
    start(linkTest, {"linktest", "--settings-from-sysdata", "--bytes", "20000"}, program);
    QCOMPARE(finish(linkTest), 0);
    // An option given as well takes precedence: the sending port's settings.
    QProcess mixed;
    start(mixed, {"linktest", "--settings-from-sysdata", "--out-settings", "fast"}, program);
    QCOMPARE(finish(mixed), 2);

    QCOMPARE(read(folder.filePath("sysdata.dat")), record);
    QCOMPARE(QFileInfo(folder.filePath("sysdata.dat")).lastModified(), written);
    QVERIFY(!QFile::exists(folder.filePath("tarrock.lock")));
}

QTEST_GUILESS_MAIN(TstSequenceCommands)
#include "tst_sequencecommands.moc"

// Velmora tests. Licensed under the MIT licence.
#include "faultywire.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <csignal>

// "tarrock linktest" as a CI job runs it: the real program, no display, a far end on
// pseudo-terminals, the exit status and the reports read as a CI server reads them.
class TstLinkTestCommand : public QObject
{
    Q_OBJECT

private slots:
    void cleanLinkPassesWithBothReports();
    void bitErrorsFailWithTheirFigures();
    void setUpErrorsGiveOneLineAndStatusTwo_data();
    void setUpErrorsGiveOneLineAndStatusTwo();
    void stopSignalWritesInterruptedReportsWithoutDisplay_data();
    void stopSignalWritesInterruptedReportsWithoutDisplay();
};

namespace {

// Two pseudo-terminals joined by a wire that can damage the stream, and the program run
// on them with its reports in the same folder.
class Rig
{
public:
    Rig()
        : m_out(m_folder.filePath(QStringLiteral("out")))
        , m_in(m_folder.filePath(QStringLiteral("in")))
        , wire(m_out, m_in)
    {
    }

    ~Rig()
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }

    QString path(const QString &name) const { return m_folder.filePath(name); }

    void start(const QStringList &amount)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(TARROCK_DIR "/tarrock"),
                      QStringList{QStringLiteral("linktest"), QStringLiteral("--out"), m_out.slavePath(),
                                  QStringLiteral("--in"), m_in.slavePath(), QStringLiteral("--settings"),
                                  QStringLiteral("115200,N,8,1"), QStringLiteral("--payload"), QStringLiteral("128"),
                                  QStringLiteral("--report"), path(QStringLiteral("r.json")),
                                  QStringLiteral("--junit"), path(QStringLiteral("r.xml"))}
                          + amount);
        QVERIFY(program.waitForStarted());
    }

    // Lets the wire run while the program does; its exit status.
    int finish()
    {
        QSignalSpy finished(&program, &QProcess::finished);
        if (program.state() != QProcess::NotRunning && !finished.wait(30000)) {
            program.kill();
            program.waitForFinished();
            return -1;
        }
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    QJsonObject json() const
    {
        QFile file(path(QStringLiteral("r.json")));
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    }

    struct TestCase
    {
        QString name;
        QMap<QString, QString> properties;
        bool failed = false;
        QString failure;
    };
    // The test cases of the JUnit file; empty when it is not well-formed.
    QList<TestCase> junit() const
    {
        QFile file(path(QStringLiteral("r.xml")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QXmlStreamReader xml(&file);
        QList<TestCase> cases;
        if (!xml.readNextStartElement() || xml.name() != QLatin1String("testsuites"))
            return {};
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == QLatin1String("testcase"))
                cases.append({a.value(QLatin1String("name")).toString(), {}, false, {}});
            else if (xml.name() == QLatin1String("property") && !cases.isEmpty())
                cases.last().properties.insert(a.value(QLatin1String("name")).toString(),
                                               a.value(QLatin1String("value")).toString());
            else if (xml.name() == QLatin1String("failure") && !cases.isEmpty())
                cases.last() = {cases.last().name, cases.last().properties, true, a.value(QLatin1String("message")).toString()};
        }
        return xml.hasError() ? QList<TestCase>() : cases;
    }

    QProcess program;

private:
    QTemporaryDir m_folder;
    PseudoTerminal m_out;
    PseudoTerminal m_in;

public:
    FaultyWire wire;
};

const QStringList SomeBytes = {QStringLiteral("--bytes"), QStringLiteral("13800")};   // 100 blocks of 138

} // namespace

void TstLinkTestCommand::cleanLinkPassesWithBothReports()
{
    Rig rig;
    rig.start(SomeBytes);
    QCOMPARE(rig.finish(), 0);
    QVERIFY(rig.program.readAllStandardOutput().contains("PASSED"));

    const QJsonObject report = rig.json();
    QCOMPARE(report.value(QStringLiteral("passed")).toBool(), true);
    QCOMPARE(report.value(QStringLiteral("interrupted")).toBool(), false);
    const QJsonObject figures =
        report.value(QStringLiteral("directions")).toArray().at(0).toObject().value(QStringLiteral("figures")).toObject();
    QCOMPARE(figures.value(QStringLiteral("bytesSent")).toInteger(), 13800);
    QCOMPARE(figures.value(QStringLiteral("bytesReceived")).toInteger(), 13800);

    const auto cases = rig.junit();
    QCOMPARE(cases.size(), 1);
    QVERIFY(cases[0].name.endsWith(QStringLiteral("/in")));
    QVERIFY(!cases[0].failed);
    QCOMPARE(cases[0].properties.value(QStringLiteral("bitErrors")), QStringLiteral("0"));
    QCOMPARE(cases[0].properties.value(QStringLiteral("bytesReceived")), QStringLiteral("13800"));
}

void TstLinkTestCommand::bitErrorsFailWithTheirFigures()
{
    Rig rig;
    rig.wire.inject(2000, FaultyWire::Fault::FlipBit, 3);
    rig.wire.inject(9000, FaultyWire::Fault::FlipBit, 6);
    rig.start(SomeBytes);
    QCOMPARE(rig.finish(), 1);
    QVERIFY(rig.program.readAllStandardOutput().contains("FAILED"));

    const QJsonObject report = rig.json();
    QCOMPARE(report.value(QStringLiteral("passed")).toBool(), false);
    const QJsonObject direction = report.value(QStringLiteral("directions")).toArray().at(0).toObject();
    QCOMPARE(direction.value(QStringLiteral("passed")).toBool(), false);
    QCOMPARE(direction.value(QStringLiteral("figures")).toObject().value(QStringLiteral("bitErrors")).toInteger(), 2);

    const auto cases = rig.junit();
    QCOMPARE(cases.size(), 1);
    QCOMPARE(cases[0].properties.value(QStringLiteral("bitErrors")), QStringLiteral("2"));
    QVERIFY(cases[0].failed);
    QVERIFY2(cases[0].failure.contains(QStringLiteral("bit error rate")), qPrintable(cases[0].failure));
}

void TstLinkTestCommand::setUpErrorsGiveOneLineAndStatusTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");
    QTest::newRow("missing device") << QStringList{"--out", "/dev/velmora-no-such-port"} << "velmora-no-such-port";
    QTest::newRow("unmapped number") << QStringList{"--out", "COM99"} << "COM99";
    QTest::newRow("no port") << QStringList{"--seconds", "1"} << "--out";
    QTest::newRow("unknown pattern") << QStringList{"--out", "COM1", "--pattern", "prbs8"} << "prbs8";
    QTest::newRow("bad settings") << QStringList{"--out", "COM1", "--settings", "fast"} << "fast";
    QTest::newRow("two amounts") << QStringList{"--out", "COM1", "--seconds", "1", "--bytes", "9"} << "--bytes";
    QTest::newRow("report folder missing")
        << QStringList{"--out", "COM1", "--junit", "/velmora-no-such-folder/r.xml"} << "velmora-no-such-folder";
    QTest::newRow("unknown option") << QStringList{"--out", "COM1", "--colour"} << "colour";
}

void TstLinkTestCommand::setUpErrorsGiveOneLineAndStatusTwo()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    QProcess program;
    program.start(QStringLiteral(TARROCK_DIR "/tarrock"), QStringList{QStringLiteral("linktest")} + arguments);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 2);
    const QString error = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(error.count(QLatin1Char('\n')), 1);
    QVERIFY2(error.contains(named), qPrintable(error));
    QVERIFY(program.readAllStandardOutput().isEmpty());
}

void TstLinkTestCommand::stopSignalWritesInterruptedReportsWithoutDisplay_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TstLinkTestCommand::stopSignalWritesInterruptedReportsWithoutDisplay()
{
    QFETCH(int, signalNumber);
    Rig rig;
    rig.start({QStringLiteral("--until-stopped")});
    QTRY_VERIFY_WITH_TIMEOUT(rig.wire.passed() > 5000, 15000);

    // What the running program has mapped: no platform plugin, so nothing asked for a display.
    QFile maps(QStringLiteral("/proc/%1/maps").arg(rig.program.processId()));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    QVERIFY(mapped.contains("libQt6Core"));
    QVERIFY(!mapped.contains("/platforms/"));

    // A second run on a port in use is refused as busy, the first runs on.
    QProcess second;
    second.start(QStringLiteral(TARROCK_DIR "/tarrock"),
                 {QStringLiteral("linktest"), QStringLiteral("--out"), rig.path(QStringLiteral("out")),
                  QStringLiteral("--seconds"), QStringLiteral("1")});
    QSignalSpy secondFinished(&second, &QProcess::finished);
    QVERIFY(secondFinished.wait(20000));
    QCOMPARE(second.exitCode(), 2);
    QCOMPARE(second.readAllStandardError().count('\n'), 1);
    QCOMPARE(rig.program.state(), QProcess::Running);

    ::kill(pid_t(rig.program.processId()), signalNumber);
    QCOMPARE(rig.finish(), 1);
    const QJsonObject report = rig.json();
    QCOMPARE(report.value(QStringLiteral("interrupted")).toBool(), true);
    QCOMPARE(report.value(QStringLiteral("passed")).toBool(), false);
    const auto cases = rig.junit();
    QCOMPARE(cases.size(), 1);
    QVERIFY2(cases[0].failure.startsWith(QStringLiteral("interrupted")), qPrintable(cases[0].failure));
}

QTEST_GUILESS_MAIN(TstLinkTestCommand)
#include "tst_linktestcommand.moc"

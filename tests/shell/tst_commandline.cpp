// Velmora tests. Licensed under the MIT licence.
#include "commandline.h"
#include "tarrockversion.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

namespace {

struct Finished
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// The program started with no window system named, unless the environment adds one.
Finished runProgram(const QStringList &arguments, const QMap<QString, QString> &environmentAdded = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"})
        environment.remove(QString::fromLatin1(name));
    for (auto added = environmentAdded.cbegin(); added != environmentAdded.cend(); ++added)
        environment.insert(added.key(), added.value());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TARROCK_DIR "/tarrock"), arguments);
    Finished finished;
    if (!program.waitForFinished(30000)) {
        program.kill();
        program.waitForFinished();
        return finished;
    }
    if (program.exitStatus() == QProcess::NormalExit)
        finished.status = program.exitCode();
    finished.out = program.readAllStandardOutput();
    finished.err = program.readAllStandardError();
    return finished;
}

} // namespace

// The program's options answer before any window system is asked for: they must work
// where there is no display at all. Anything else it does not know is refused in one line.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutAWindow_data();
    void answersWithoutAWindow();
    void refusesWhatItDoesNotKnow_data();
    void refusesWhatItDoesNotKnow();
    void saysInOneLineThatItNeedsADisplay_data();
    void saysInOneLineThatItNeedsADisplay();
};

void TestCommandLine::answersWithoutAWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("answerStart");

    const QString version = QStringLiteral("tarrock (Velmora) %1\n").arg(TarrockVersion::Text);
    const QString help = QStringLiteral("Usage: tarrock [--help | --version]\n");
    QTest::addRow("version") << QStringList {"--version"} << version;
    QTest::addRow("help") << QStringList {"--help"} << help;
    QTest::addRow("-h is help") << QStringList {"-h"} << help;
    QTest::addRow("the first question is answered") << QStringList {"--version", "-h"} << version;
    for (const QString usage : {"linktest --out PORT", "run FILE --out PORT", "answer FILE --port PORT"}) {
        const QString command = usage.section(QLatin1Char(' '), 0, 0);
        QTest::addRow("%s help", qPrintable(command))
            << QStringList {command, "--help"} << QStringLiteral("Usage: tarrock %1").arg(usage);
    }
}

void TestCommandLine::answersWithoutAWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, answerStart);
    const Finished finished = runProgram(arguments);
    QCOMPARE(finished.status, 0);
    QCOMPARE(finished.err, QByteArray());
    const QString answer = QString::fromUtf8(finished.out);
    QVERIFY2(answer.startsWith(answerStart), qPrintable(answer));
    QVERIFY(answer.endsWith(QLatin1Char('\n')));
}

void TestCommandLine::refusesWhatItDoesNotKnow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");

    QTest::addRow("unknown long option") << QStringList {"--bogus"} << "unknown option '--bogus'";
    QTest::addRow("unknown short option") << QStringList {"-x"} << "unknown option '-x'";
    QTest::addRow("a file name") << QStringList {"sysdata.dat"} << "unexpected argument 'sysdata.dat'";
    QTest::addRow("unknown after help") << QStringList {"--help", "--bogus"} << "unknown option '--bogus'";
    QTest::addRow("help with a value") << QStringList {"--help=all"} << "unknown option '--help=all'";
    QTest::addRow("Qt's platform option") << QStringList {"-platform", "offscreen"} << "unknown option '-platform'";
    QTest::addRow("a command after an option") << QStringList {"--help", "run"} << "unexpected argument 'run'";
}

// Refused before a window could open: a test run with a display would hang here.
void TestCommandLine::refusesWhatItDoesNotKnow()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    const Finished finished = runProgram(arguments, {{"QT_QPA_PLATFORM", "offscreen"}});
    QCOMPARE(finished.status, CommandLine::RefusedStatus);
    QCOMPARE(finished.out, QByteArray());
    const QString line = QString::fromUtf8(finished.err);
    QCOMPARE(line.count(QLatin1Char('\n')), 1);
    QVERIFY(line.endsWith(QLatin1Char('\n')));
    QVERIFY2(line.startsWith(QLatin1String("tarrock: ") + named), qPrintable(line));
    QVERIFY2(line.contains(QLatin1String("--help")), qPrintable(line));
}

void TestCommandLine::saysInOneLineThatItNeedsADisplay_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("told");

    QTest::addRow("none named") << QString() << "DISPLAY is not set, WAYLAND_DISPLAY is not set";
    // No X server answers on display 9999 of this machine.
    QTest::addRow("named but not there") << ":9999" << "DISPLAY=:9999, WAYLAND_DISPLAY is not set";
}

void TestCommandLine::saysInOneLineThatItNeedsADisplay()
{
    QFETCH(QString, display);
    QFETCH(QString, told);
    QMap<QString, QString> environment;
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    const Finished finished = runProgram({}, environment);
    QCOMPARE(finished.status, 1);
    QCOMPARE(finished.out, QByteArray());
    const QString line = QString::fromUtf8(finished.err);
    QCOMPARE(line.count(QLatin1Char('\n')), 1);
    QVERIFY2(line.startsWith(QLatin1String("tarrock: needs a display")), qPrintable(line));
    QVERIFY2(line.contains(told), qPrintable(line));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"

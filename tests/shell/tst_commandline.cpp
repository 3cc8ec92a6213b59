// Velmora tests. Licensed under the MIT licence.
#include "tarrockversion.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

// The program's only options answer on standard output and end before any window system
// is asked for: they must work where there is no display at all.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutAWindow_data();
    void answersWithoutAWindow();
};

void TestCommandLine::answersWithoutAWindow_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("answerStart");

    QTest::addRow("version") << "--version"
                             << QStringLiteral("tarrock (Velmora) %1\n").arg(TarrockVersion::Text);
    QTest::addRow("help") << "--help" << "Usage: tarrock [--help | --version]\n";
}

void TestCommandLine::answersWithoutAWindow()
{
    QFETCH(QString, option);
    QFETCH(QString, answerStart);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TARROCK_DIR "/tarrock"), {option});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readAllStandardError(), QByteArray());
    const QString answer = QString::fromUtf8(program.readAllStandardOutput());
    QVERIFY2(answer.startsWith(answerStart), qPrintable(answer));
    QVERIFY(answer.endsWith(QLatin1Char('\n')));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"

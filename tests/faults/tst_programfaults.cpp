// Velmora tests. Licensed under the MIT licence.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

// Standard error holds the message with line feeds for its line ends.
const QByteArray Refusal = QStringLiteral("《Velmora》\n\n已经运行！").toUtf8();
const QByteArray NotSaved = QStringLiteral("设置文件无法写入").toUtf8();
// The splash opens the main window on its second tick of 500 ms.
constexpr int MainWindowShownMs = 2000;

// A program folder of its own: the program, its control libraries, and its own
// instance lock through its own runtime folder.
class ProgramFolder
{
public:
    ProgramFolder()
    {
        const QDir built(QStringLiteral(TARROCK_DIR));
        QFile::copy(built.filePath(QStringLiteral("tarrock")), path(QStringLiteral("tarrock")));
        for (const QString &library : built.entryList({QStringLiteral("*.so")}, QDir::Files))
            QFile::link(built.filePath(library), path(library));
    }

    QString path(const QString &name) const { return m_folder.filePath(name); }

    std::unique_ptr<QProcess> start() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder.path());
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->start(path(QStringLiteral("tarrock")));
        return process;
    }

private:
    QTemporaryDir m_folder;
};

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Ends the program as the system does; its reports go to standard error.
QByteArray endAndCollectErrors(QProcess &process)
{
    process.terminate();
    process.waitForFinished(10000);
    return process.readAllStandardError();
}

} // namespace

// The whole program under starts that race and settings files it cannot use.
class TestProgramFaults : public QObject
{
    Q_OBJECT

private slots:
    void racingStartsLeaveExactlyOneRunning();
    void damagedSettingsFileStartsWithDefaults_data();
    void damagedSettingsFileStartsWithDefaults();
};

void TestProgramFaults::racingStartsLeaveExactlyOneRunning()
{
    constexpr int Starts = 20;
    ProgramFolder folder;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < Starts; ++i)
        processes.push_back(folder.start());
    QByteArrayList errors(Starts);
    QElapsedTimer waited;
    waited.start();
    auto refusals = [&] {
        int count = 0;
        for (int i = 0; i < Starts; ++i) {
            errors[i] += processes[i]->readAllStandardError();
            count += errors[i].contains(Refusal) ? 1 : 0;
        }
        return count;
    };
    while (refusals() < Starts - 1 && waited.elapsed() < 30000)
        QTest::qWait(50);
    QTest::qWait(MainWindowShownMs);
    QCOMPARE(refusals(), Starts - 1);

    int running = 0;
    for (int i = 0; i < Starts; ++i) {
        QCOMPARE(processes[i]->state(), QProcess::Running);
        if (errors[i].contains(Refusal)) {
            // The refusal waits for its message window, then the program ends.
            processes[i]->terminate();
            QVERIFY(processes[i]->waitForFinished(10000));
            QCOMPARE(processes[i]->exitCode(), 0);
        } else {
            ++running;
        }
    }
    QCOMPARE(running, 1);
    for (auto &process : processes) {
        if (process->state() == QProcess::Running) {
            endAndCollectErrors(*process);
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        }
    }
}

void TestProgramFaults::damagedSettingsFileStartsWithDefaults_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("reported");
    QTest::addRow("a folder") << "folder" << true;
    QTest::addRow("a link to another file") << "link" << true;
    QTest::addRow("a link to nothing") << "dangling" << true;
    QTest::addRow("empty") << "empty" << false;
    QTest::addRow("megabytes of garbage") << "garbage" << false;
}

// The program starts and ends whatever the file is; what it cannot write it names at
// the close, and a link is never written through.
void TestProgramFaults::damagedSettingsFileStartsWithDefaults()
{
    QFETCH(QString, kind);
    QFETCH(bool, reported);
    ProgramFolder folder;
    const QString settings = folder.path(QStringLiteral("sysdata.dat"));
    const QString other = folder.path(QStringLiteral("other"));
    const QByteArray otherContent("another program's file");
    QByteArray garbage(4 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919) >> 3);
    if (kind == "folder") {
        QVERIFY(QDir().mkdir(settings));
    } else if (kind == "link" || kind == "dangling") {
        if (kind == "link") {
            QFile file(other);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(otherContent);
        }
        QVERIFY(QFile::link(other, settings));
    } else {
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kind == "garbage" ? garbage : QByteArray());
    }

    auto process = folder.start();
    QVERIFY(process->waitForStarted(5000));
    QTest::qWait(MainWindowShownMs);
    QCOMPARE(process->state(), QProcess::Running);
    const QByteArray errors = endAndCollectErrors(*process);
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(errors.contains(NotSaved), reported);

    if (kind == "link")
        QCOMPARE(contentOf(other), otherContent);
    if (kind == "dangling")
        QVERIFY(!QFile::exists(other));
    if (kind == "empty")
        QVERIFY(contentOf(settings).size() >= 38);
    if (kind == "garbage")
        QCOMPARE(contentOf(settings).mid(70000), garbage.mid(70000));
}

QTEST_GUILESS_MAIN(TestProgramFaults)
#include "tst_programfaults.moc"

// Velmora workbench. Licensed under the MIT licence.
#include "filelocations.h"
#include "formlogo.h"
#include "instancelock.h"
#include "modulefun.h"

#include <componentloader.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

void flushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A program folder of the test's own: the built program beside links to its libraries.
bool copyProgram(const QString &folder)
{
    const QDir programFolder(folder);
    const QDir built(QStringLiteral(TARROCK_DIR));
    if (!QFile::copy(built.filePath(QStringLiteral("tarrock")), programFolder.filePath(QStringLiteral("tarrock"))))
        return false;
    for (const QString &library : built.entryList({QStringLiteral("*.so")}, QDir::Files)) {
        if (!QFile::link(built.filePath(library), programFolder.filePath(library)))
            return false;
    }
    return true;
}

QProcessEnvironment offscreenEnvironment(const QString &runtimeFolder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
    return environment;
}

void endProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void splashTicksInOrder();
    void messageWhileMainWindowLoadsClosesSplash();
    void secondStartShowsRefusal();
    void secondProcessEndsWhileFirstRuns();
    void oneCopyPerSettingsFolder_data();
    void oneCopyPerSettingsFolder();
    void terminationEndsWithReportOnStandardError();

private:
    QTemporaryDir m_runtime;
    QPointer<QWidget> m_main;
    int m_created = 0;
    std::function<void()> m_onCreate;
};

void TestStartup::initTestCase()
{
    QVERIFY(m_runtime.isValid());
    // The instance lock lies beside the settings: this run gets a folder of its own.
    ModuleFun::SetProgramFolder(m_runtime.path());
    QStandardPaths::setTestModeEnabled(true);
    Component::ComponentLoader::setLibraryFolder(QStringLiteral(TARROCK_DIR));
    ModuleFun::SetMainWindowFactory([this] {
        ++m_created;
        m_main = new QWidget;
        m_main->setObjectName(QStringLiteral("FormMain"));
        if (m_onCreate)
            m_onCreate();
        return m_main.data();
    });
}

void TestStartup::cleanup()
{
    delete m_main;
    m_created = 0;
    m_onCreate = nullptr;
    ModuleFun::SetMessageObserver(nullptr);
    if (FormLogo *splash = FormLogo::current())
        splash->close();
    flushDeferredDeletes();
}

void TestStartup::splashTicksInOrder()
{
    QPointer<FormLogo> splash = new FormLogo;
    splash->findChild<QTimer *>(QStringLiteral("Timer1"))->stop();
    splash->show();

    splash->Timer1_Timer();
    QCOMPARE(m_created, 0);

    splash->Timer1_Timer();
    QCOMPARE(m_created, 1);
    QVERIFY(m_main->isVisible());
    QCOMPARE(FormLogo::current(), splash.data());
    QVERIFY(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    splash->Timer1_Timer();
    flushDeferredDeletes();
    QVERIFY(splash.isNull());
    QVERIFY(m_main->isVisible());
    QCOMPARE(m_created, 1);
}

// The real timer opens the main window on its second tick; a message shown while the
// main window loads closes the splash before it appears.
void TestStartup::messageWhileMainWindowLoadsClosesSplash()
{
    bool splashGoneAtMessage = false;
    m_onCreate = [&] {
        QTimer::singleShot(10, [&] {
            QWidget *message = QApplication::activeModalWidget();
            QVERIFY(message && message->objectName() == QLatin1String("FormMessage"));
            splashGoneAtMessage = FormLogo::current() == nullptr;
            message->close();
        });
        ModuleFun::ShowMessage(QStringLiteral("端口打开失败"), ModuleFun::AlignLeft);
    };
    QElapsedTimer clock;
    clock.start();
    QPointer<FormLogo> splash = new FormLogo;
    splash->show();
    QTRY_COMPARE_WITH_TIMEOUT(m_created, 1, 5000);
    const qint64 openedAfter = clock.elapsed();
    QVERIFY2(openedAfter >= 2 * FormLogo::TickInterval - 100, qPrintable(QString::number(openedAfter)));
    QTRY_VERIFY(splash.isNull());
    QVERIFY(splashGoneAtMessage);
    QVERIFY(m_main && m_main->isVisible());
}

void TestStartup::secondStartShowsRefusal()
{
    InstanceLock running(InstanceLock::pathFor(m_runtime.path()));
    QCOMPARE(running.tryAcquire(), InstanceLock::Result::Acquired);
    QList<QPair<QString, qint16>> messages;
    ModuleFun::SetMessageObserver([&](const QString &text, qint16 align) { messages.append({text, align}); });
    QVERIFY(!ModuleFun::Main());
    QCOMPARE(messages, (QList<QPair<QString, qint16>>{{QStringLiteral("《Velmora》\r\n\r\n已经运行！"), 2}}));
    QCOMPARE(FormLogo::current(), nullptr);
}

// A second program refuses while the first runs, whatever runtime folder its session
// has; once the first has crashed, its lock no longer blocks a new start.
void TestStartup::secondProcessEndsWhileFirstRuns()
{
    QTemporaryDir folder, otherSession;
    QVERIFY(folder.isValid() && otherSession.isValid());
    QVERIFY(copyProgram(folder.path()));
    QProcess first, second, third;
    first.setProcessEnvironment(offscreenEnvironment(m_runtime.path()));
    second.setProcessEnvironment(offscreenEnvironment(otherSession.path()));
    third.setProcessEnvironment(offscreenEnvironment(otherSession.path()));
    const QString program = folder.filePath(QStringLiteral("tarrock"));
    const QString lockFile = InstanceLock::pathFor(folder.path());

    first.start(program);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lockFile), 5000);
    second.start(program);
    QByteArray refusal;
    QTRY_VERIFY_WITH_TIMEOUT((refusal += second.readAllStandardError()).contains("已经运行"), 5000);
    // Ended through its message window's closing, as the system asks it to end.
    second.terminate();
    QVERIFY(second.waitForFinished(5000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    QVERIFY(first.waitForFinished(5000));
    QVERIFY(QFile::exists(lockFile));
    third.start(program);
    QTest::qWait(300);
    QCOMPARE(third.state(), QProcess::Running);
    QVERIFY(!third.readAllStandardError().contains("已经运行"));
    third.terminate();
    QVERIFY(third.waitForFinished(5000));
    QCOMPARE(third.exitStatus(), QProcess::NormalExit);
}

void TestStartup::oneCopyPerSettingsFolder_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("oneUser");
    QTest::addColumn<bool>("secondRefused");

    QTest::addRow("program folder, two sessions") << false << true << true;
    QTest::addRow("installed, one user in two sessions") << true << true << true;
    QTest::addRow("installed, two users") << true << false << false;
}

// Two starts with runtime folders of their own: the second is refused exactly when both
// would keep their settings in one folder.
void TestStartup::oneCopyPerSettingsFolder()
{
    QFETCH(bool, installed);
    QFETCH(bool, oneUser);
    QFETCH(bool, secondRefused);
    QTemporaryDir folder, runtimes, homes;
    QVERIFY(folder.isValid() && runtimes.isValid() && homes.isValid());
    QVERIFY(copyProgram(folder.path()));
    if (installed) {
        QFile marker(folder.filePath(QLatin1String(FileLocations::InstalledMarker)));
        QVERIFY(marker.open(QIODevice::WriteOnly));
    }
    QProcess copies[2];
    for (int k = 0; k < 2; ++k) {
        const QString session = runtimes.filePath(QString::number(k));
        const QString home = homes.filePath(QString::number(oneUser ? 0 : k));
        QVERIFY(QDir().mkpath(session));
        QProcessEnvironment environment = offscreenEnvironment(session);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/share"));
        copies[k].setProcessEnvironment(environment);
    }
    const QString program = folder.filePath(QStringLiteral("tarrock"));
    const QString firstLock = InstanceLock::pathFor(installed ? homes.filePath(QStringLiteral("0/config/velmora")) : folder.path());
    copies[0].start(program);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(firstLock), 5000);
    copies[1].start(program);
    QVERIFY(copies[1].waitForStarted(5000));
    // The refusal comes before the splash's first tick; a running copy shows its window.
    QTest::qWait(2 * FormLogo::TickInterval);
    const QByteArray said = copies[1].readAllStandardError();
    endProcess(copies[1]);
    endProcess(copies[0]);
    QCOMPARE(said.contains("已经运行"), secondRefused);
    QVERIFY(!installed || !QFile::exists(folder.filePath(QStringLiteral("sysdata.dat"))));
}

// Nobody may be at the screen when the system asks the program to end: the report of
// settings that cannot be written goes to standard error and the program still ends.
void TestStartup::terminationEndsWithReportOnStandardError()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QDir programFolder(folder.path());
    QVERIFY(copyProgram(folder.path()));
    QVERIFY(programFolder.mkdir(QStringLiteral("sysdata.dat")));

    QProcess program;
    program.setProcessEnvironment(offscreenEnvironment(folder.path()));
    program.start(programFolder.filePath(QStringLiteral("tarrock")));
    QVERIFY(program.waitForStarted(5000));
    // The main window comes with the splash's second tick.
    QTest::qWait(4 * FormLogo::TickInterval);
    QCOMPARE(program.state(), QProcess::Running);

    program.terminate();
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY(QString::fromLocal8Bit(program.readAllStandardError()).contains(QStringLiteral("设置文件无法写入")));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"


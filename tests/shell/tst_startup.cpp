// Velmora workbench. Licensed under the MIT licence.
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
    // The instance lock lies in the runtime folder: this run gets its own.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
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
    InstanceLock running(InstanceLock::defaultPath());
    QVERIFY(running.tryAcquire());
    QList<QPair<QString, qint16>> messages;
    ModuleFun::SetMessageObserver([&](const QString &text, qint16 align) { messages.append({text, align}); });
    QVERIFY(!ModuleFun::Main());
    QCOMPARE(messages, (QList<QPair<QString, qint16>>{{QStringLiteral("《Velmora》\r\n\r\n已经运行！"), 2}}));
    QCOMPARE(FormLogo::current(), nullptr);
}

// A second program refuses while the first runs; once the first has crashed, its lock
// no longer blocks a new start.
void TestStartup::secondProcessEndsWhileFirstRuns()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    QProcess first, second, third;
    for (QProcess *process : { &first, &second, &third })
        process->setProcessEnvironment(environment);
    const QString program = QStringLiteral(TARROCK_DIR "/tarrock");
    const QString lockFile = m_runtime.filePath(QStringLiteral("tarrock.lock"));
    QFile::remove(lockFile);

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

// Nobody may be at the screen when the system asks the program to end: the report of
// settings that cannot be written goes to standard error and the program still ends.
void TestStartup::terminationEndsWithReportOnStandardError()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QDir programFolder(folder.path());
    const QDir built(QStringLiteral(TARROCK_DIR));
    QVERIFY(QFile::copy(built.filePath(QStringLiteral("tarrock")), programFolder.filePath(QStringLiteral("tarrock"))));
    for (const QString &library : built.entryList({QStringLiteral("*.so")}, QDir::Files))
        QVERIFY(QFile::link(built.filePath(library), programFolder.filePath(library)));
    QVERIFY(programFolder.mkdir(QStringLiteral("sysdata.dat")));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.path());
    QProcess program;
    program.setProcessEnvironment(environment);
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


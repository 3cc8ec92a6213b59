// Velmora workbench. Licensed under the MIT licence.
#include "formlogo.h"
#include "instancelock.h"
#include "modulefun.h"

#include <component/componentloader.h>

#include <QApplication>
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
        ModuleFun::ShowMessage(QStringLiteral("端口打开失败"), 0);
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

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"

// Velmora tests. Licensed under the MIT licence.
#include "workbench.h"

#include <capturelog.h>
#include <datapane.h>
#include <filelist.h>
#include <formviewinfo.h>
#include <richtextbox.h>
#include <systemcodepage.h>

#include <componentloader.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace {

const QString Introduction = QStringLiteral("操作说明.txt");
constexpr qint16 SendReceive = 1;

// The installed program folder when the package check names it, else the build's.
QString deliveredFolder()
{
    const QString installed = qEnvironmentVariable("VELMORA_INSTALLED_FOLDER");
    return installed.isEmpty() ? QStringLiteral(TARROCK_DIR) : installed;
}

// $XDG_CONFIG_HOME or ~/.config, $XDG_DATA_HOME or ~/.local/share: spelled out here
// rather than asked of the program, so that a wrong guess of its own shows.
QString xdgFolder(const char *variable, const QString &fallback)
{
    const QString set = qEnvironmentVariable(variable);
    return set.isEmpty() ? QDir::homePath() + QLatin1Char('/') + fallback : set;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool copyFile(const QString &from, const QString &to)
{
    return QDir().mkpath(QFileInfo(to).absolutePath()) && QFile::copy(from, to);
}

// The program folder of a system install: the delivered files, then no more writing.
// Writable again at the end, so that the bench can remove it.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder) : m_folders({folder, folder + "/data"})
    {
        for (const QString &each : m_folders)
            QFile::setPermissions(each, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    }
    ~ReadOnlyFolder()
    {
        for (const QString &each : m_folders)
            QFile::setPermissions(each, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QStringList m_folders;
};

} // namespace

// A system install: the program folder cannot be written, so the settings and the day's
// capture go to the user's own folders, byte for byte as they would lie beside the
// program. The package check runs this as an ordinary user on the installed files.
class TestMainWindowSystemInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void sendAndExitWriteTheUserFolders();
    void viewerListsTheUserCapturesAndShowsTheDeliveredIntroduction();

private:
    QString settingsPath() const { return m_config + QStringLiteral("/sysdata.dat"); }
    QString capturePath() const { return m_data + '/' + CaptureLog::fileNameFor(QDate::currentDate()); }

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<Workbench> m_bench;
    std::unique_ptr<ReadOnlyFolder> m_readOnly;
    QString m_config;
    QString m_data;
};

void TestMainWindowSystemInstall::initTestCase()
{
    // Run by the test suite, the user's folders are made up; run by the package check,
    // they are the ordinary user's own.
    if (qEnvironmentVariableIsEmpty("VELMORA_INSTALLED_FOLDER")) {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        qputenv("XDG_CONFIG_HOME", m_home->filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", m_home->filePath(QStringLiteral("share")).toUtf8());
    }
    m_config = xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + QStringLiteral("/velmora");
    m_data = xdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) + QStringLiteral("/velmora/data");
}

void TestMainWindowSystemInstall::init()
{
    m_bench = std::make_unique<Workbench>(QList<int>{15, 16});
    // The bench keeps the registry of controls apart; the user's folders are the real ones.
    QStandardPaths::setTestModeEnabled(false);
    Component::ComponentLoader::setLibraryFolder(deliveredFolder());
    const QString program = QFileInfo(m_bench->path(QStringLiteral("ports.ini"))).absolutePath();
    for (const QString &file : {QStringLiteral("ascii.dat"), QStringLiteral("readme.txt"), "data/" + Introduction})
        QVERIFY2(copyFile(deliveredFolder() + '/' + file, program + '/' + file), qPrintable(file));
    m_readOnly = std::make_unique<ReadOnlyFolder>(program);
    QFile probe(m_bench->path(QStringLiteral("probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QSKIP("this user writes into read-only folders (root); the package check runs it as another");
    }
}

void TestMainWindowSystemInstall::cleanup()
{
    if (m_bench)
        m_bench->close();
    m_readOnly.reset();
    m_bench.reset();
}

void TestMainWindowSystemInstall::sendAndExitWriteTheUserFolders()
{
    // The settings a former run left, with capture on.
    SysData settings = Workbench::workingSettings(15, 16, SendReceive);
    settings.SaveInfo = 1;
    settings.OutCommand = QStringLiteral("AT");
    QFile::remove(settingsPath());
    QFile::remove(capturePath());
    QVERIFY(QDir().mkpath(m_config));
    QVERIFY(settings.save(settingsPath()));

    m_bench->open();
    m_bench->click("ButtonCom");
    QCOMPARE(m_bench->farEnd(15).read(2000, 2), QByteArray("AT"));
    QVERIFY(m_bench->farEnd(16).write("OK"));
    QTRY_COMPARE(m_bench->child<DataPane>("TextComInput")->toPlainText(), QStringLiteral("OK"));
    m_bench->click("ButtonExit");
    QCOMPARE(m_bench->messages, QStringList());

    QCOMPARE(readFile(settingsPath()), settings.toBytes());
    const QByteArray capture = readFile(capturePath());
    const QRegularExpression stamp("^\r\n\r\n\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d\r\n");
    const QRegularExpressionMatch header = stamp.match(QString::fromLatin1(capture));
    QVERIFY2(header.hasMatch(), capture.constData());
    QCOMPARE(capture.mid(header.capturedLength()),
             SystemCodePage::fromUnicode(QStringLiteral(
                 "数据收发方式：发送通讯命令并接收数据\r\n"
                 "数据发送端口：Com 15 9600,N,8,1 数据接收端口：Com 16 9600,N,8,1\r\n"
                 "发送数据：AT\r\n接收数据：OK")));
    QVERIFY(!QFile::exists(m_bench->path(QStringLiteral("sysdata.dat"))));
    QCOMPARE(QDir(m_bench->path(QStringLiteral("data"))).entryList(QDir::Files), QStringList({Introduction}));
}

void TestMainWindowSystemInstall::viewerListsTheUserCapturesAndShowsTheDeliveredIntroduction()
{
    QVERIFY(QDir().mkpath(m_data));
    QFile capture(capturePath());
    QVERIFY(capture.open(QIODevice::Append));
    capture.close();

    auto *viewer = FormViewInfo::Show();
    QVERIFY(QTest::qWaitForWindowActive(viewer));
    const QString introduction = QString::fromUtf8(readFile(deliveredFolder() + "/data/" + Introduction));
    QCOMPARE(viewer->textViewInfo()->toPlainText(), QString(introduction).replace("\r\n", "\n"));
    QCOMPARE(viewer->fileList()->path(), m_data);
    QVERIFY(viewer->fileList()->findItems(QFileInfo(capturePath()).fileName(), Qt::MatchExactly).size() == 1);
    viewer->close();
    QCOMPARE(m_bench->messages, QStringList());
}

QTEST_MAIN(TestMainWindowSystemInstall)
#include "tst_mainwindow_systeminstall.moc"

// Velmora workbench. Licensed under the MIT licence.
#include "externalprogram.h"
#include "filelist.h"
#include "richtextbox.h"
#include "textfile.h"

#include <component/runtimeerror.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int errorNumberOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Component::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

#ifdef Q_OS_UNIX
// A stand-in program that records its arguments, one run per line.
void writeRecordingProgram(const QString &path, const QString &record)
{
    writeFile(path, QStringLiteral("#!/bin/sh\necho run \"$@\" >> '%1'\n").arg(record).toUtf8());
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
}

QStringList recordedRuns(const QString &record)
{
    // The program is started detached: wait for it to have run.
    QFile file(record);
    if (!QTest::qWaitFor([&] { return file.size() > 0; }))
        return {};
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
#endif

} // namespace

class TestWindowFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadFileShowsTheWholeText_data();
    void loadFileShowsTheWholeText();
    void loadFileFailuresKeepTheText_data();
    void loadFileFailuresKeepTheText();

    void listHoldsTheMatchingNamesSorted();
    void missingFolderIsReportedAndKeepsTheList();
    void fillingAndFocusSelectNothing();
    void arrowKeysRaiseClickForEachFile();
    void joinPathUsesOneSeparator_data();
    void joinPathUsesOneSeparator();

    void calculatorNotFound();
    void programsAreFoundOnTheSearchPath();

private:
    QTemporaryDir *m_dir = nullptr;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestWindowFiles::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
}

void TestWindowFiles::cleanup()
{
    ExternalProgram::setSearchPaths({});
    delete m_dir;
}

void TestWindowFiles::loadFileShowsTheWholeText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addRow("empty file") << QByteArray() << QString();
    QTest::addRow("CR LF lines") << QByteArray("0       00      NUL\r\n1       01      SOH\r\n")
                                 << QStringLiteral("0       00      NUL\n1       01      SOH\n");
    QTest::addRow("blank lines kept") << QByteArray("a\n\n\nb") << QStringLiteral("a\n\n\nb");
    QTest::addRow("Chinese UTF-8") << QStringLiteral("数据收发方式：单独接收通讯数据\r\n接收数据：AT").toUtf8()
                                   << QStringLiteral("数据收发方式：单独接收通讯数据\n接收数据：AT");
}

void TestWindowFiles::loadFileShowsTheWholeText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    writeFile(path("capture.txt"), bytes);
    RichTextBox box;
    box.setPlainText(QStringLiteral("previous content"));
    box.LoadFile(path("capture.txt"));
    QCOMPARE(box.toPlainText(), shown);
}

void TestWindowFiles::loadFileFailuresKeepTheText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::addRow("missing file") << QStringLiteral("gone.txt")
                                  << int(Component::RuntimeError::FileNotFound);
    QTest::addRow("a folder") << QStringLiteral("folder.txt") << int(TextFile::PathFileAccessError);
    QTest::addRow("unreadable file") << QStringLiteral("locked.txt")
                                     << int(Component::RuntimeError::PermissionDenied);
}

void TestWindowFiles::loadFileFailuresKeepTheText()
{
    QFETCH(QString, name);
    QFETCH(int, number);
    QDir(m_dir->path()).mkdir(QStringLiteral("folder.txt"));
    writeFile(path("locked.txt"), "secret");
    QFile::setPermissions(path("locked.txt"), QFileDevice::WriteOwner);
    if (name == QLatin1String("locked.txt") && QFile(path(name)).open(QIODevice::ReadOnly))
        QSKIP("this user reads files regardless of their permissions");

    RichTextBox box;
    box.setPlainText(QStringLiteral("previous content"));
    QCOMPARE(errorNumberOf([&] { box.LoadFile(path(name)); }), number);
    QCOMPARE(box.toPlainText(), QStringLiteral("previous content"));
    QVERIFY(name != QLatin1String("gone.txt") || !QFile::exists(path(name)));
}

void TestWindowFiles::listHoldsTheMatchingNamesSorted()
{
    for (const char *name : {"12-07-2026.txt", "操作说明.txt", "01-02-2027.TXT", "notes.dat"})
        writeFile(path(name), "x");
    QDir(m_dir->path()).mkdir(QStringLiteral("folder.txt"));

    FileList list;
    list.setPattern(QStringLiteral("*.txt"));
    list.setPath(m_dir->path());
    QStringList names;
    for (int row = 0; row < list.count(); ++row)
        names << list.item(row)->text();
    QCOMPARE(names, QStringList({"01-02-2027.TXT", "12-07-2026.txt", "操作说明.txt"}));
    QCOMPARE(list.path(), m_dir->path());

    // The list is a picture of the folder when it was set, until it is set again.
    writeFile(path("12-08-2026.txt"), "x");
    QCOMPARE(list.count(), 3);
    list.setPath(m_dir->path());
    QCOMPARE(list.count(), 4);
}

void TestWindowFiles::missingFolderIsReportedAndKeepsTheList()
{
    writeFile(path("a.txt"), "x");
    FileList list;
    list.setPattern(QStringLiteral("*.txt"));
    list.setPath(m_dir->path());
    QCOMPARE(errorNumberOf([&] { list.setPath(path("data/")); }), int(TextFile::PathNotFound));
    QCOMPARE(list.path(), m_dir->path());
    QCOMPARE(list.count(), 1);
    QVERIFY(!QFile::exists(path("data")));
}

void TestWindowFiles::fillingAndFocusSelectNothing()
{
    writeFile(path("a.txt"), "x");
    writeFile(path("b.txt"), "x");
    FileList list;
    QSignalSpy clicks(&list, &FileList::Click);
    list.setPattern(QStringLiteral("*.txt"));
    list.setPath(m_dir->path());
    list.show();
    list.activateWindow();
    list.setFocus(Qt::TabFocusReason);
    QVERIFY(QTest::qWaitForWindowActive(&list));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(list.fileName(), QString());
}

void TestWindowFiles::arrowKeysRaiseClickForEachFile()
{
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        writeFile(path(name), "x");
    FileList list;
    list.setPattern(QStringLiteral("*.txt"));
    list.setPath(m_dir->path());
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    QStringList seen;
    connect(&list, &FileList::Click, this, [&] { seen << list.fileName(); });
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Up);
    QCOMPARE(seen, QStringList({"a.txt", "b.txt", "c.txt", "b.txt"}));
}

void TestWindowFiles::joinPathUsesOneSeparator_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("joined");
    QTest::addRow("folder without separator") << "/opt/Tarrock/data" << "/opt/Tarrock/data/a.txt";
    QTest::addRow("folder with separator") << "/opt/Tarrock/data/" << "/opt/Tarrock/data/a.txt";
    QTest::addRow("root") << "/" << "/a.txt";
    QTest::addRow("drive root") << "C:\\" << "C:\\a.txt";
}

void TestWindowFiles::joinPathUsesOneSeparator()
{
    QFETCH(QString, folder);
    QFETCH(QString, joined);
    QCOMPARE(FileList::joinPath(folder, QStringLiteral("a.txt")), joined);
}

void TestWindowFiles::calculatorNotFound()
{
    ExternalProgram::setSearchPaths({m_dir->path()});
    QVERIFY(!ExternalProgram::startCalculator());
    QVERIFY(!ExternalProgram::startMailTo(QStringLiteral("velmora@example.org")));
}

void TestWindowFiles::programsAreFoundOnTheSearchPath()
{
#ifdef Q_OS_UNIX
    writeRecordingProgram(path("xcalc"), path("calc.log"));
    writeRecordingProgram(path("xdg-open"), path("mail.log"));
    ExternalProgram::setSearchPaths({m_dir->path()});

    QVERIFY(ExternalProgram::startCalculator());
    QCOMPARE(recordedRuns(path("calc.log")), QStringList({"run"}));
    QVERIFY(ExternalProgram::startMailTo(QStringLiteral("velmora@example.org")));
    QCOMPARE(recordedRuns(path("mail.log")), QStringList({"run mailto:velmora@example.org"}));
#else
    QSKIP("the stand-in programs are shell scripts");
#endif
}

QTEST_MAIN(TestWindowFiles)
#include "tst_windowfiles.moc"

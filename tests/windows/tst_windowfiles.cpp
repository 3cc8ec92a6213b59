// Velmora workbench. Licensed under the MIT licence.
#include "externalprogram.h"
#include "filelist.h"
#include "richtextbox.h"
#include "textfile.h"

#include <component/runtimeerror.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestWindowFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadFailuresKeepTheText_data();
    void loadFailuresKeepTheText();
    void listHoldsTheMatchingFileNamesSorted();
    void joinPathUsesOneSeparator_data();
    void joinPathUsesOneSeparator();
    void calculatorIsSoughtOnTheSearchPath();

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

void TestWindowFiles::loadFailuresKeepTheText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::addRow("missing file") << QStringLiteral("gone.txt")
                                  << int(Component::RuntimeError::FileNotFound);
    QTest::addRow("a folder") << QStringLiteral("folder.txt") << int(TextFile::PathFileAccessError);
    QTest::addRow("unreadable file") << QStringLiteral("locked.txt")
                                     << int(Component::RuntimeError::PermissionDenied);
}

void TestWindowFiles::loadFailuresKeepTheText()
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
    int raised = 0;
    try {
        box.LoadFile(path(name));
    } catch (const Component::RuntimeError &error) {
        raised = error.number();
    }
    QCOMPARE(raised, number);
    QCOMPARE(box.toPlainText(), QStringLiteral("previous content"));
    QVERIFY(name != QLatin1String("gone.txt") || !QFile::exists(path(name)));
}

void TestWindowFiles::listHoldsTheMatchingFileNamesSorted()
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
    QCOMPARE(list.fileName(), QString());
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

void TestWindowFiles::calculatorIsSoughtOnTheSearchPath()
{
    ExternalProgram::setSearchPaths({m_dir->path()});
    QVERIFY(!ExternalProgram::startCalculator());
#ifdef Q_OS_UNIX
    // The last one of the list stands in; it records that it ran.
    writeFile(path("xcalc"), QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(path("ran")).toUtf8());
    QFile::setPermissions(path("xcalc"), QFile::permissions(path("xcalc")) | QFileDevice::ExeOwner);
    QVERIFY(ExternalProgram::startCalculator());
    QTRY_VERIFY(QFile::exists(path("ran")));
#endif
}

QTEST_MAIN(TestWindowFiles)
#include "tst_windowfiles.moc"

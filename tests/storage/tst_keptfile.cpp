// Velmora tests. Licensed under the MIT licence.
#include "keptfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

constexpr QFileDevice::Permissions ReadWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions ReadOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool create(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QFileDevice::Permissions ownBits(const QString &path)
{
    return QFileInfo(path).permissions() & (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                            | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                            | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
}

} // namespace

// A file the user may edit by hand keeps what its owner decided about it when the program
// writes it again, whoever runs the program; these run as root too.
class TestKeptFile : public QObject
{
    Q_OBJECT

private slots:
    void refusesWhatItMustNotWrite_data();
    void refusesWhatItMustNotWrite();
    void keepsPermissions_data();
    void keepsPermissions();
    void keepsItsOwnerWhenRootWrites();
};

void TestKeptFile::refusesWhatItMustNotWrite_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<KeptFile::Result>("result");

    QTest::addRow("a link to another file") << "link" << KeptFile::Result::SymbolicLink;
    QTest::addRow("a link to nothing") << "dangling link" << KeptFile::Result::SymbolicLink;
    QTest::addRow("read-only to its owner") << "read-only" << KeptFile::Result::ReadOnly;
    QTest::addRow("a folder in its place") << "folder" << KeptFile::Result::Failed;
}

void TestKeptFile::refusesWhatItMustNotWrite()
{
    QFETCH(QString, kind);
    QFETCH(KeptFile::Result, result);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("ports.ini"));
    const QString target = folder.filePath(QStringLiteral("target"));
    const QByteArray old("COM1=/dev/a\n");
    if (kind == QLatin1String("link") || kind == QLatin1String("dangling link")) {
        if (kind == QLatin1String("link"))
            QVERIFY(create(target, old));
        QVERIFY(QFile::link(target, path));
    } else if (kind == QLatin1String("read-only")) {
        QVERIFY(create(path, old));
        QVERIFY(QFile::setPermissions(path, ReadOnly));
    } else {
        QVERIFY(QDir().mkdir(path));
    }

    QCOMPARE(KeptFile::check(path), result == KeptFile::Result::Failed ? KeptFile::Result::Written : result);
    QCOMPARE(KeptFile::write(path, "COM2=/dev/b\n"), result);
    if (kind == QLatin1String("link"))
        QCOMPARE(contents(target), old);
    if (kind == QLatin1String("dangling link"))
        QVERIFY(!QFile::exists(target));
    if (kind == QLatin1String("read-only")) {
        QCOMPARE(contents(path), old);
        QCOMPARE(ownBits(path), ReadOnly);
    }
}

void TestKeptFile::keepsPermissions_data()
{
    QTest::addColumn<int>("mode");
    QTest::addRow("owner only") << int(ReadWrite);
    QTest::addRow("group may read") << int(ReadWrite | QFileDevice::ReadGroup);
    QTest::addRow("everyone may write") << int(ReadWrite | QFileDevice::ReadGroup | QFileDevice::WriteGroup
                                                | QFileDevice::ReadOther | QFileDevice::WriteOther);
}

void TestKeptFile::keepsPermissions()
{
    QFETCH(int, mode);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("velmora.ini"));
    QVERIFY(create(path, "[Display]\n"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(mode)));
    QCOMPARE(KeptFile::write(path, "[Display]\nTimeStamp=true\n"), KeptFile::Result::Written);
    QCOMPARE(contents(path), QByteArray("[Display]\nTimeStamp=true\n"));
    QCOMPARE(int(ownBits(path)), mode);
}

void TestKeptFile::keepsItsOwnerWhenRootWrites()
{
#ifdef Q_OS_UNIX
    if (::geteuid() != 0)
        QSKIP("only root writes files of other users");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("ports.ini"));
    QVERIFY(create(path, "COM1=/dev/a\n"));
    constexpr uid_t Nobody = 65534;
    QCOMPARE(::chown(QFile::encodeName(path).constData(), Nobody, Nobody), 0);
    QCOMPARE(KeptFile::write(path, "COM1=/dev/b\n"), KeptFile::Result::Written);
    QCOMPARE(QFileInfo(path).ownerId(), uint(Nobody));
    QCOMPARE(QFileInfo(path).groupId(), uint(Nobody));
#else
    QSKIP("files have no owners to keep here");
#endif
}

QTEST_GUILESS_MAIN(TestKeptFile)
#include "tst_keptfile.moc"

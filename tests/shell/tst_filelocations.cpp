// Velmora tests. Licensed under the MIT licence.
#include "filelocations.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Where the program writes: the program folder while the user may write it, the user's
// configuration and data folders otherwise.
class TestFileLocations : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void decidesByWritingIntoTheProgramFolder_data();
    void decidesByWritingIntoTheProgramFolder();
    void userFoldersFollowTheXdgVariables_data();
    void userFoldersFollowTheXdgVariables();
    void firstDecisionHoldsForTheRun();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestFileLocations::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("XDG_CONFIG_HOME", m_home->filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", m_home->filePath(QStringLiteral("share")).toUtf8());
}

void TestFileLocations::cleanup()
{
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    m_home.reset();
}

void TestFileLocations::decidesByWritingIntoTheProgramFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("inProgramFolder");

    QTest::addRow("writable folder keeps everything") << "writable" << true;
    QTest::addRow("read-only folder sends the user's files home") << "read-only" << false;
    QTest::addRow("missing folder sends the user's files home") << "missing" << false;
    // Root may write it; an installed program still never writes into itself.
    QTest::addRow("installed folder sends the user's files home") << "installed" << false;
}

void TestFileLocations::decidesByWritingIntoTheProgramFolder()
{
    QFETCH(QString, kind);
    QFETCH(bool, inProgramFolder);
    QTemporaryDir parent;
    QVERIFY(parent.isValid());
    const QString program = parent.filePath(QStringLiteral("Tarrock"));
    if (kind != QLatin1String("missing"))
        QVERIFY(QDir().mkdir(program));
    if (kind == QLatin1String("installed")) {
        QFile marker(QDir(program).filePath(QLatin1String(FileLocations::InstalledMarker)));
        QVERIFY(marker.open(QIODevice::WriteOnly));
    }
    if (kind == QLatin1String("read-only")) {
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(program + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user writes into read-only folders (root)");
        }
    }

    const FileLocations locations(program);
    QCOMPARE(locations.inProgramFolder(), inProgramFolder);
    const QString config = m_home->filePath(QStringLiteral("config/velmora"));
    const QString data = m_home->filePath(QStringLiteral("share/velmora/data"));
    QCOMPARE(locations.settingsFolder(), inProgramFolder ? program : config);
    QCOMPARE(locations.captureFolder(), inProgramFolder ? program + "/data" : data);
    QCOMPARE(locations.userPortFolder(), inProgramFolder ? QString() : config);
    QCOMPARE(locations.deliveredDataFolder(), program + "/data");
    // The user's folders exist only where they are used, so the viewer can list them.
    QCOMPARE(QFileInfo(config).isDir(), !inProgramFolder);
    QCOMPARE(QFileInfo(data).isDir(), !inProgramFolder);
    if (kind == QLatin1String("writable"))
        QCOMPARE(QDir(program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestFileLocations::userFoldersFollowTheXdgVariables_data()
{
    QTest::addColumn<bool>("variablesSet");
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("data");

    QTest::addRow("XDG_CONFIG_HOME and XDG_DATA_HOME") << true << "config/velmora" << "share/velmora/data";
    QTest::addRow("defaults under the home folder") << false << ".config/velmora" << ".local/share/velmora/data";
}

void TestFileLocations::userFoldersFollowTheXdgVariables()
{
    QFETCH(bool, variablesSet);
    QFETCH(QString, config);
    QFETCH(QString, data);
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", m_home->path().toUtf8());
    if (!variablesSet) {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }
    const QString configFolder = FileLocations::userConfigFolder();
    const QString dataFolder = FileLocations::userDataFolder();
    qputenv("HOME", home);
    QCOMPARE(configFolder, m_home->filePath(config));
    QCOMPARE(dataFolder, m_home->filePath(data));
}

// The settings are written where they were read, even when the folder changes meanwhile.
void TestFileLocations::firstDecisionHoldsForTheRun()
{
    auto program = std::make_unique<QTemporaryDir>();
    QVERIFY(program->isValid());
    const QString folder = program->path();
    QVERIFY(FileLocations::of(folder).inProgramFolder());
    program.reset();
    QVERIFY(!FileLocations(folder).inProgramFolder());
    QVERIFY(FileLocations::of(folder).inProgramFolder());
    QCOMPARE(FileLocations::of(folder).settingsFolder(), folder);
}

QTEST_GUILESS_MAIN(TestFileLocations)
#include "tst_filelocations.moc"

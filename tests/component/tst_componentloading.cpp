// Velmora component layer tests. Licensed under the MIT licence.
#include <componentloader.h>
#include <componentregistry.h>
#include <control.h>
#include <modulepath.h>
#include <runtimeerror.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Component;

namespace {

const QString ButtonId = QStringLiteral("OrmelXPButton.Button");
// A shared library of the system that serves no controls and that nothing here links.
const QString NotAServer = QStringLiteral("/usr/lib/x86_64-linux-gnu/libQt6SerialPort.so.6");

bool mapped(const QString &path)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    const QString real = QFileInfo(path).canonicalFilePath();
    return maps.open(QIODevice::ReadOnly) && QString::fromLocal8Bit(maps.readAll()).contains(real);
}

// The text of the error creating the identifier raises, empty when it is created.
QString creationError(const QString &identifier)
{
    try {
        std::unique_ptr<Control> control(ComponentLoader::create(identifier, nullptr));
        return QString();
    } catch (const RuntimeError &error) {
        return error.description();
    }
}

} // namespace

// Which libraries creation by identifier loads, and which it keeps.
class TestComponentLoading : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && m_emptyFolder.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QStandardPaths::setTestModeEnabled(true);
        // Nothing is found beside the program: only the registry can serve.
        ComponentLoader::setLibraryFolder(m_emptyFolder.path());
    }

    // A relative path would be resolved against whatever the working folder is.
    void relativeLibraryPathIsRefused()
    {
        const QString name = libraryFileName(QStringLiteral("OrmelXPButton"));
        QVERIFY(QDir::setCurrent(QStringLiteral(TARROCK_DIR)));
        QVERIFY(QFile::exists(name));
        QVERIFY(ComponentRegistry::add({{ButtonId, name, QStringLiteral("relative")}}));
        QVERIFY(creationError(ButtonId).contains(QStringLiteral("not an absolute path")));

        QVERIFY(ComponentRegistry::add({{ButtonId, QDir::current().absoluteFilePath(name), QStringLiteral("absolute")}}));
        QCOMPARE(creationError(ButtonId), QString());
    }

    void libraryThatIsNoServerIsNotKept()
    {
        if (!QFile::exists(NotAServer))
            QSKIP("the library that serves no controls is not installed");
        QVERIFY(!mapped(NotAServer));
        QVERIFY(ComponentRegistry::add({{QStringLiteral("Other.Thing"), NotAServer, QStringLiteral("not a server")}}));
        QVERIFY(creationError(QStringLiteral("Other.Thing")).contains(QStringLiteral("DllGetClassObject")));
        QVERIFY(!mapped(NotAServer));
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_emptyFolder;
};

QTEST_MAIN(TestComponentLoading)
#include "tst_componentloading.moc"

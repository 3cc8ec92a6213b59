// Velmora component layer tests. Licensed under the MIT licence.
#include <classfactory.h>
#include <componentloader.h>
#include <componentregistry.h>
#include <control.h>
#include <interfaceinfo.h>
#include <libraryserver.h>
#include <modulepath.h>
#include <runtimeerror.h>

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Component;

namespace {
const QString ButtonId = QStringLiteral("OrmelXPButton.Button");
const QString TopButtonId = QStringLiteral("OrmelXPButton.TopButton");
const ComponentRegistry::Entry OtherLibrary{QStringLiteral("OrmelNumberLED.NumberLED"),
                                            QStringLiteral("/somewhere/libOrmelNumberLED.so"),
                                            QStringLiteral("Ormel ActiveX NumberLED")};

using EntryPoint = int (*)();
using GetClassObject = int (*)(const char *, ClassFactory **);

QString libraryPath()
{
    return QFileInfo(QStringLiteral(TARROCK_DIR "/") + libraryFileName(QStringLiteral("OrmelXPButton")))
        .absoluteFilePath();
}

// Each entry as "identifier | library | description".
QStringList registered()
{
    QStringList entries;
    for (const ComponentRegistry::Entry &entry : ComponentRegistry::entries())
        entries.append(entry.identifier + " | " + entry.libraryPath + " | " + entry.description);
    return entries;
}

void writeRegistry(const QByteArray &content)
{
    QDir().mkpath(QFileInfo(ComponentRegistry::filePath()).absolutePath());
    QFile file(ComponentRegistry::filePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readRegistry()
{
    QFile file(ComponentRegistry::filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each member as "name kind: description".
QStringList membersOf(const Control &control)
{
    QStringList members;
    for (const MemberInfo &member : interfaceMembers(control.metaObject()))
        members.append(member.name + ' ' + member.kind + ": " + member.description);
    return members;
}
} // namespace

// The component layer as a host and the control library meet through it: the registry,
// the four entry points, creation by identifier and the interface description.
class TestComponentServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The registry lives under the home folder; keep it inside a folder of our own.
        QVERIFY(m_home.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(ComponentRegistry::filePath().startsWith(m_home.path()));
        ComponentLoader::setLibraryFolder(QStringLiteral(TARROCK_DIR));
        m_library.setFileName(libraryPath());
        QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
    }

    void registerAndUnregisterTouchOnlyTheLibraryClasses()
    {
        QFile::remove(ComponentRegistry::filePath());
        auto registerServer = reinterpret_cast<EntryPoint>(m_library.resolve("DllRegisterServer"));
        auto unregisterServer = reinterpret_cast<EntryPoint>(m_library.resolve("DllUnregisterServer"));
        QVERIFY(registerServer && unregisterServer);
        QVERIFY(ComponentRegistry::add({OtherLibrary}));
        const QString other = OtherLibrary.identifier + " | " + OtherLibrary.libraryPath + " | " + OtherLibrary.description;

        QCOMPARE(registerServer(), int(ServerOk));
        const QString ours = " | " + libraryPath() + " | Ormel ActiveX XPButton";
        QCOMPARE(registered(), (QStringList{other, ButtonId + ours, TopButtonId + ours, "OrmelXPButton.HelpButton" + ours}));
        QVERIFY(ComponentRegistry::find(QStringLiteral("ormelxpbutton.topbutton")).has_value());
        QCOMPARE(unregisterServer(), int(ServerOk));
        QCOMPARE(registered(), QStringList{other});
    }

    // The file is shared and edited by hand: what the library does not own stays, byte
    // for byte and in its place, and its own lines go whatever their case or shape.
    void registerAndUnregisterKeepForeignLines()
    {
        const QByteArray foreign = "# controls of this user\n"
                                   "\n"
                                   "OrmelNumberLED.NumberLED\t/only/a/path\n"
                                   "not an entry at all \xff\xfe\n"
                                   "Other.Thing\t/x/libOther.so\tOther library\n";
        const QByteArray ownStale = "ormelxpbutton.BUTTON\t/old/libOrmelXPButton.so\tOld\n"
                                    "OrmelXPButton.TopButton\tdamaged\n";
        writeRegistry(foreign + ownStale);
        auto registerServer = reinterpret_cast<EntryPoint>(m_library.resolve("DllRegisterServer"));
        auto unregisterServer = reinterpret_cast<EntryPoint>(m_library.resolve("DllUnregisterServer"));
        QVERIFY(registerServer && unregisterServer);

        QCOMPARE(registerServer(), int(ServerOk));
        const QByteArray registry = readRegistry();
        QVERIFY2(registry.startsWith(foreign), registry.constData());
        QCOMPARE(registry.count('\n'), foreign.count('\n') + 3);
        QCOMPARE(ComponentRegistry::find(ButtonId)->libraryPath, libraryPath());
        QCOMPARE(registered().size(), 4);

        QCOMPARE(unregisterServer(), int(ServerOk));
        QCOMPARE(readRegistry(), foreign);
        QFile::remove(ComponentRegistry::filePath());
    }

    void unreadableRegistryIsNeverWrittenOver()
    {
        const QByteArray content = "Other.Thing\t/x/libOther.so\tOther library\n";
        writeRegistry(content);
        QFile::setPermissions(ComponentRegistry::filePath(), QFileDevice::WriteOwner);
        if (QFile(ComponentRegistry::filePath()).open(QIODevice::ReadOnly)) {
            QFile::remove(ComponentRegistry::filePath());
            QSKIP("this user reads files regardless of their permissions");
        }
        auto registerServer = reinterpret_cast<EntryPoint>(m_library.resolve("DllRegisterServer"));
        QVERIFY(registerServer);
        QCOMPARE(registerServer(), int(ServerRegistrationFailed));
        QFile::setPermissions(ComponentRegistry::filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(readRegistry(), content);
        QFile::remove(ComponentRegistry::filePath());
    }

    void classObjectServesKnownIdentifiersOnly_data()
    {
        QTest::addColumn<QByteArray>("identifier");
        QTest::addColumn<int>("result");
        QTest::addRow("Button") << QByteArray("OrmelXPButton.Button") << int(ServerOk);
        QTest::addRow("TopButton, other case") << QByteArray("ormelxpbutton.topbutton") << int(ServerOk);
        QTest::addRow("other library") << QByteArray("OrmelNumberLED.NumberLED") << int(ServerClassNotAvailable);
    }

    void classObjectServesKnownIdentifiersOnly()
    {
        QFETCH(QByteArray, identifier);
        QFETCH(int, result);
        auto getClassObject = reinterpret_cast<GetClassObject>(m_library.resolve("DllGetClassObject"));
        QVERIFY(getClassObject);
        ClassFactory *factory = reinterpret_cast<ClassFactory *>(quintptr(1));
        QCOMPARE(getClassObject(identifier.constData(), &factory), result);
        QCOMPARE(factory != nullptr, result == ServerOk);
        if (factory)
            QCOMPARE(factory->identifier().compare(QString::fromLatin1(identifier), Qt::CaseInsensitive), 0);
        QCOMPARE(getClassObject(identifier.constData(), nullptr), int(ServerInvalidArgument));
    }

    void canUnloadOnlyWithoutLiveInstances()
    {
        auto getClassObject = reinterpret_cast<GetClassObject>(m_library.resolve("DllGetClassObject"));
        auto canUnloadNow = reinterpret_cast<EntryPoint>(m_library.resolve("DllCanUnloadNow"));
        QVERIFY(getClassObject && canUnloadNow);
        QCOMPARE(canUnloadNow(), int(ServerOk));
        ClassFactory *factory = nullptr;
        QCOMPARE(getClassObject("OrmelXPButton.Button", &factory), int(ServerOk));
        std::unique_ptr<Control> first(factory->createInstance(nullptr));
        std::unique_ptr<Control> second(factory->createInstance(nullptr));
        first.reset();
        QCOMPARE(canUnloadNow(), int(ServerFalse));
        second.reset();
        QCOMPARE(canUnloadNow(), int(ServerOk));
    }

    void loaderCreatesByIdentifier_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("className"); // empty: refused
        QTest::addRow("Button") << ButtonId << "Button";
        QTest::addRow("HelpButton") << "OrmelXPButton.HelpButton" << "HelpButton";
        QTest::addRow("lower case, found in the folder") << "ormelxpbutton.button" << "Button";
        QTest::addRow("upper case, found in the folder") << "ORMELXPBUTTON.TOPBUTTON" << "TopButton";
        QTest::addRow("unknown class of a present library") << "OrmelXPButton.Slider" << "";
        QTest::addRow("unknown library") << "NoSuchLibrary.Thing" << "";
    }

    void loaderCreatesByIdentifier()
    {
        QFETCH(QString, identifier);
        QFETCH(QString, className);
        QWidget host;
        try {
            const Control *control = ComponentLoader::create(identifier, &host);
            QVERIFY(control);
            QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
            QCOMPARE(control->parentWidget(), &host);
        } catch (const RuntimeError &error) {
            QVERIFY2(className.isEmpty(), qPrintable(error.description()));
            QCOMPARE(error.number(), int(RuntimeError::CannotCreateObject));
            QVERIFY2(error.description().contains(identifier), qPrintable(error.description()));
        }
    }

    void interfacesDescribeThemselves()
    {
        const std::unique_ptr<Control> button(ComponentLoader::create(ButtonId, nullptr));
        const std::unique_ptr<Control> top(ComponentLoader::create(TopButtonId, nullptr));
        const QString enabled = QStringLiteral("Enabled property: 返回/设置一个值，决定一个对象是否响应用户生成的事件。");
        QCOMPARE(membersOf(*button),
                 (QStringList{"ChangeImage method: ", QStringLiteral("Caption property: 返回/设置对象的标题栏中的文本。"), enabled}));
        QCOMPARE(membersOf(*top),
                 (QStringList{"ChangeImage method: ", enabled, QStringLiteral("TopButtonType property: 设置标题栏按钮的类型。")}));
        QVERIFY(button->metaObject()->indexOfMethod("ChangeImage(QString&)") >= 0);

        const QList<QPair<QString, int>> types{{"CloseButton", 0}, {"MaximumButton", 1}, {"MinimumButton", 2}, {"RestoreButton", 3}};
        QCOMPARE(enumerationValues(top->metaObject(), "ButtonType"), types);
        const QList<QPair<int, QString>> events = interfaceEvents(button->metaObject());
        QCOMPARE(events.size(), 8);
        QCOMPARE(events.at(0), qMakePair(1, QStringLiteral("Click")));
        QCOMPARE(events.at(4), qMakePair(5, QStringLiteral("MouseOut")));
        QCOMPARE(events.at(7), qMakePair(8, QStringLiteral("MouseUp")));
    }

private:
    QTemporaryDir m_home;
    QLibrary m_library;
};

QTEST_MAIN(TestComponentServer)
#include "tst_componentserver.moc"

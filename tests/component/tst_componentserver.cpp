// Velmora component layer tests. Licensed under the MIT licence.
#include <component/classfactory.h>
#include <component/componentloader.h>
#include <component/componentregistry.h>
#include <component/control.h>
#include <component/interfaceinfo.h>
#include <component/libraryserver.h>
#include <component/modulepath.h>
#include <component/runtimeerror.h>

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Component;

namespace {
const QStringList LibraryIdentifiers{QStringLiteral("OrmelXPButton.Button"), QStringLiteral("OrmelXPButton.TopButton"),
                                     QStringLiteral("OrmelXPButton.HelpButton")};
const QString LibraryDescription = QStringLiteral("Ormel ActiveX XPButton");
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

QStringList registeredIdentifiers()
{
    QStringList identifiers;
    for (const ComponentRegistry::Entry &entry : ComponentRegistry::entries())
        identifiers.append(entry.identifier);
    return identifiers;
}
} // namespace

// The component layer as a host and the control library meet through it: the registry,
// the four entry points, creation by identifier and the interface description.
class TestComponentServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void registerAddsExactlyTheLibraryClasses();
    void unregisterRemovesOnlyTheLibraryClasses();
    void classObjectServesKnownIdentifiersOnly_data();
    void classObjectServesKnownIdentifiersOnly();
    void canUnloadOnlyWithoutLiveInstances();

    void loaderCreatesFromTheProgramFolder_data();
    void loaderCreatesFromTheProgramFolder();
    void loaderRefusesAnUnknownIdentifier_data();
    void loaderRefusesAnUnknownIdentifier();

    void buttonInterfaceListsItsMembersInOrder();
    void topButtonListsItsTypeEnumeration();
    void buttonListsItsEventsById();

private:
    QFunctionPointer entryPoint(const char *name);

    QTemporaryDir m_home;
    QLibrary m_library;
};

void TestComponentServer::initTestCase()
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

void TestComponentServer::init()
{
    QFile::remove(ComponentRegistry::filePath());
}

QFunctionPointer TestComponentServer::entryPoint(const char *name)
{
    return m_library.resolve(name);
}

void TestComponentServer::registerAddsExactlyTheLibraryClasses()
{
    auto registerServer = reinterpret_cast<EntryPoint>(entryPoint("DllRegisterServer"));
    QVERIFY(registerServer);
    QCOMPARE(registerServer(), int(ServerOk));

    const QList<ComponentRegistry::Entry> entries = ComponentRegistry::entries();
    QCOMPARE(registeredIdentifiers(), LibraryIdentifiers);
    for (const ComponentRegistry::Entry &entry : entries) {
        QCOMPARE(entry.libraryPath, libraryPath());
        QCOMPARE(entry.description, LibraryDescription);
    }
    QVERIFY(ComponentRegistry::find(QStringLiteral("ormelxpbutton.topbutton")).has_value());
}

void TestComponentServer::unregisterRemovesOnlyTheLibraryClasses()
{
    auto registerServer = reinterpret_cast<EntryPoint>(entryPoint("DllRegisterServer"));
    auto unregisterServer = reinterpret_cast<EntryPoint>(entryPoint("DllUnregisterServer"));
    QVERIFY(registerServer && unregisterServer);
    QVERIFY(ComponentRegistry::add({OtherLibrary}));
    QCOMPARE(registerServer(), int(ServerOk));
    QCOMPARE(registeredIdentifiers().size(), 4);

    QCOMPARE(unregisterServer(), int(ServerOk));
    const QList<ComponentRegistry::Entry> left = ComponentRegistry::entries();
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.at(0).identifier, OtherLibrary.identifier);
    QCOMPARE(left.at(0).libraryPath, OtherLibrary.libraryPath);
    QCOMPARE(left.at(0).description, OtherLibrary.description);
}

void TestComponentServer::classObjectServesKnownIdentifiersOnly_data()
{
    QTest::addColumn<QByteArray>("identifier");
    QTest::addColumn<int>("result");
    QTest::addRow("Button") << QByteArray("OrmelXPButton.Button") << int(ServerOk);
    QTest::addRow("TopButton, other case") << QByteArray("ormelxpbutton.topbutton") << int(ServerOk);
    QTest::addRow("HelpButton") << QByteArray("OrmelXPButton.HelpButton") << int(ServerOk);
    QTest::addRow("unknown class") << QByteArray("OrmelXPButton.Slider") << int(ServerClassNotAvailable);
    QTest::addRow("other library") << QByteArray("OrmelNumberLED.NumberLED") << int(ServerClassNotAvailable);
}

void TestComponentServer::classObjectServesKnownIdentifiersOnly()
{
    QFETCH(QByteArray, identifier);
    QFETCH(int, result);
    auto getClassObject = reinterpret_cast<GetClassObject>(entryPoint("DllGetClassObject"));
    QVERIFY(getClassObject);
    ClassFactory *factory = reinterpret_cast<ClassFactory *>(quintptr(1));
    QCOMPARE(getClassObject(identifier.constData(), &factory), result);
    QCOMPARE(factory != nullptr, result == ServerOk);
    if (factory)
        QCOMPARE(factory->identifier().compare(QString::fromLatin1(identifier), Qt::CaseInsensitive), 0);
    QCOMPARE(getClassObject(identifier.constData(), nullptr), int(ServerInvalidArgument));
}

void TestComponentServer::canUnloadOnlyWithoutLiveInstances()
{
    auto getClassObject = reinterpret_cast<GetClassObject>(entryPoint("DllGetClassObject"));
    auto canUnloadNow = reinterpret_cast<EntryPoint>(entryPoint("DllCanUnloadNow"));
    QVERIFY(getClassObject && canUnloadNow);
    QCOMPARE(canUnloadNow(), int(ServerOk));

    ClassFactory *factory = nullptr;
    QCOMPARE(getClassObject("OrmelXPButton.Button", &factory), int(ServerOk));
    std::unique_ptr<Control> first(factory->createInstance(nullptr));
    std::unique_ptr<Control> second(factory->createInstance(nullptr));
    QCOMPARE(canUnloadNow(), int(ServerFalse));
    first.reset();
    QCOMPARE(canUnloadNow(), int(ServerFalse));
    second.reset();
    QCOMPARE(canUnloadNow(), int(ServerOk));
}

void TestComponentServer::loaderCreatesFromTheProgramFolder_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("className");
    QTest::addRow("Button") << "OrmelXPButton.Button" << "Button";
    QTest::addRow("TopButton") << "OrmelXPButton.TopButton" << "TopButton";
    QTest::addRow("HelpButton") << "OrmelXPButton.HelpButton" << "HelpButton";
}

void TestComponentServer::loaderCreatesFromTheProgramFolder()
{
    QFETCH(QString, identifier);
    QFETCH(QString, className);
    QWidget host;
    Control *control = ComponentLoader::create(identifier, &host);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), &host);
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
}

void TestComponentServer::loaderRefusesAnUnknownIdentifier_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addRow("unknown class of a present library") << "OrmelXPButton.Slider";
    QTest::addRow("unknown library") << "NoSuchLibrary.Thing";
}

void TestComponentServer::loaderRefusesAnUnknownIdentifier()
{
    QFETCH(QString, identifier);
    try {
        ComponentLoader::create(identifier, nullptr);
        QFAIL("an unknown identifier was created");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(RuntimeError::CannotCreateObject));
        QVERIFY2(error.description().contains(identifier), qPrintable(error.description()));
    }
}

void TestComponentServer::buttonInterfaceListsItsMembersInOrder()
{
    std::unique_ptr<Control> button(ComponentLoader::create(QStringLiteral("OrmelXPButton.Button"), nullptr));
    const QList<MemberInfo> members = interfaceMembers(button->metaObject());
    QCOMPARE(members.size(), 3);
    QCOMPARE(members.at(0).name, QStringLiteral("ChangeImage"));
    QCOMPARE(members.at(0).kind, QStringLiteral("method"));
    QCOMPARE(members.at(0).description, QString());
    QCOMPARE(members.at(1).name, QStringLiteral("Caption"));
    QCOMPARE(members.at(1).kind, QStringLiteral("property"));
    QCOMPARE(members.at(1).description, QStringLiteral("返回/设置对象的标题栏中的文本。"));
    QCOMPARE(members.at(2).name, QStringLiteral("Enabled"));
    QCOMPARE(members.at(2).kind, QStringLiteral("property"));
    QCOMPARE(members.at(2).description, QStringLiteral("返回/设置一个值，决定一个对象是否响应用户生成的事件。"));
    QVERIFY(button->metaObject()->indexOfMethod("ChangeImage(QString&)") >= 0);
}

void TestComponentServer::topButtonListsItsTypeEnumeration()
{
    std::unique_ptr<Control> top(ComponentLoader::create(QStringLiteral("OrmelXPButton.TopButton"), nullptr));
    const QList<QPair<QString, int>> expected{{QStringLiteral("CloseButton"), 0},
                                              {QStringLiteral("MaximumButton"), 1},
                                              {QStringLiteral("MinimumButton"), 2},
                                              {QStringLiteral("RestoreButton"), 3}};
    QCOMPARE(enumerationValues(top->metaObject(), "ButtonType"), expected);
    const QList<MemberInfo> members = interfaceMembers(top->metaObject());
    QCOMPARE(members.size(), 3);
    QCOMPARE(members.at(1).name, QStringLiteral("Enabled"));
    QCOMPARE(members.at(2).name, QStringLiteral("TopButtonType"));
    QCOMPARE(members.at(2).description, QStringLiteral("设置标题栏按钮的类型。"));
}

void TestComponentServer::buttonListsItsEventsById()
{
    std::unique_ptr<Control> button(ComponentLoader::create(QStringLiteral("OrmelXPButton.Button"), nullptr));
    const QList<QPair<int, QString>> events = interfaceEvents(button->metaObject());
    QCOMPARE(events.size(), 8);
    QCOMPARE(events.at(0), qMakePair(1, QStringLiteral("Click")));
    QCOMPARE(events.at(2), qMakePair(3, QStringLiteral("KeyPress")));
    QCOMPARE(events.at(4), qMakePair(5, QStringLiteral("MouseOut")));
    QCOMPARE(events.at(7), qMakePair(8, QStringLiteral("MouseUp")));
}

QTEST_MAIN(TestComponentServer)
#include "tst_componentserver.moc"

// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include "classfactory.h"
#include "component_export.h"
#include "modulepath.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace Component {

class Control;

// Results of the four entry points, with the values the component mechanism uses.
enum ServerResult : int {
    ServerOk = 0,
    ServerFalse = 1,
    ServerClassNotAvailable = int(0x80040111u),
    ServerRegistrationFailed = int(0x80040200u),
    ServerInvalidArgument = int(0x80070057u),
};

// Everything a control library needs behind its four exported entry points: its
// identifiers and description, the registry entries, the factories, and the count
// of instances still alive.
class COMPONENT_EXPORT LibraryServer
{
public:
    using Creator = std::function<Control *(QWidget *parent)>;
    struct ClassEntry
    {
        QString identifier;
        Creator create;
    };

    LibraryServer(const QString &description, const QList<ClassEntry> &classes);
    ~LibraryServer();

    QString description() const { return m_description; }
    QStringList identifiers() const;
    int liveInstances() const { return m_liveInstances; }

    int registerServer(const QString &libraryPath);
    int unregisterServer();
    int getClassObject(const char *identifier, ClassFactory **factory);
    int canUnloadNow() const;

private:
    class Factory;
    Control *create(const ClassEntry &entry, QWidget *parent);

    QString m_description;
    QList<ClassEntry> m_classes;
    QList<std::shared_ptr<Factory>> m_factories;
    int m_liveInstances = 0;
};

} // namespace Component

// The four entry points of a control library, forwarding to its LibraryServer.
// `server` is a function returning that library's one LibraryServer.
#define COMPONENT_LIBRARY_ENTRY_POINTS(server)                                              \
    extern "C" Q_DECL_EXPORT int DllRegisterServer()                                        \
    {                                                                                       \
        return server().registerServer(                                                     \
            Component::modulePathOf(reinterpret_cast<const void *>(&DllRegisterServer)));   \
    }                                                                                       \
    extern "C" Q_DECL_EXPORT int DllUnregisterServer() { return server().unregisterServer(); } \
    extern "C" Q_DECL_EXPORT int DllGetClassObject(const char *identifier,                  \
                                                   Component::ClassFactory **factory)       \
    {                                                                                       \
        return server().getClassObject(identifier, factory);                                \
    }                                                                                       \
    extern "C" Q_DECL_EXPORT int DllCanUnloadNow() { return server().canUnloadNow(); }

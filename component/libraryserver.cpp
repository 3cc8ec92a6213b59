// Velmora component layer. Licensed under the MIT licence.
#include "libraryserver.h"

#include "componentregistry.h"
#include "control.h"

namespace Component {

class LibraryServer::Factory : public ClassFactory
{
public:
    Factory(LibraryServer *server, const ClassEntry &entry)
        : m_server(server)
        , m_entry(entry)
    {}

    QString identifier() const override { return m_entry.identifier; }
    Control *createInstance(QWidget *parent) override { return m_server->create(m_entry, parent); }

private:
    LibraryServer *m_server;
    ClassEntry m_entry;
};

LibraryServer::LibraryServer(const QString &description, const QList<ClassEntry> &classes)
    : m_description(description)
    , m_classes(classes)
{
    for (const ClassEntry &entry : classes)
        m_factories.append(std::make_shared<Factory>(this, entry));
}

LibraryServer::~LibraryServer() = default;

QStringList LibraryServer::identifiers() const
{
    QStringList result;
    for (const ClassEntry &entry : m_classes)
        result.append(entry.identifier);
    return result;
}

int LibraryServer::registerServer(const QString &libraryPath)
{
    if (libraryPath.isEmpty())
        return ServerRegistrationFailed;
    QList<ComponentRegistry::Entry> entries;
    for (const ClassEntry &entry : m_classes)
        entries.append({entry.identifier, libraryPath, m_description});
    return ComponentRegistry::add(entries) ? ServerOk : ServerRegistrationFailed;
}

int LibraryServer::unregisterServer()
{
    return ComponentRegistry::remove(identifiers()) ? ServerOk : ServerRegistrationFailed;
}

int LibraryServer::getClassObject(const char *identifier, ClassFactory **factory)
{
    if (!factory)
        return ServerInvalidArgument;
    *factory = nullptr;
    const QString wanted = QString::fromUtf8(identifier);
    for (const auto &candidate : m_factories) {
        if (candidate->identifier().compare(wanted, Qt::CaseInsensitive) == 0) {
            *factory = candidate.get();
            return ServerOk;
        }
    }
    return ServerClassNotAvailable;
}

int LibraryServer::canUnloadNow() const
{
    return m_liveInstances == 0 ? ServerOk : ServerFalse;
}

Control *LibraryServer::create(const ClassEntry &entry, QWidget *parent)
{
    Control *control = entry.create(parent);
    ++m_liveInstances;
    QObject::connect(control, &QObject::destroyed, [this] { --m_liveInstances; });
    return control;
}

} // namespace Component

// Velmora tests. Licensed under the MIT licence.
#include "workbench.h"

#include <commport.h>
#include <modulefun.h>
#include <portmapfile.h>

#include <componentloader.h>
#include <control.h>
#include <controlsite.h>
#include <xpbuttonevents.h>

#include <QComboBox>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

namespace {

constexpr int HighestPort = 16;

} // namespace

Workbench::Workbench(const QList<int> &presentPorts)
{
    QStandardPaths::setTestModeEnabled(true);
    Component::ComponentLoader::setLibraryFolder(QStringLiteral(TARROCK_DIR));
    ModuleFun::SetProgramFolder(m_folder.path());
    ModuleFun::SetMessageObserver(
        [this](const QString &text, qint16) { messages << text; });

    QList<std::pair<int, QString>> ports;
    for (int n = 1; n <= HighestPort; ++n) {
        if (presentPorts.contains(n))
            plugIn(n);
        ports.append({n, path(QStringLiteral("com%1").arg(n))});
    }
    writePortMap(folder(), ports);
}

void Workbench::plugIn(int port)
{
    m_farEnds[port] = std::make_unique<PseudoTerminal>(path(QStringLiteral("com%1").arg(port)));
}

Workbench::~Workbench()
{
    close();
    ModuleFun::SetMessageObserver({});
}

SysData Workbench::workingSettings(qint16 outPort, qint16 inPort, qint16 mode)
{
    SysData settings;
    settings.OutPort = outPort;
    settings.InPort = inPort;
    settings.IOState = mode;
    settings.OutSetB = settings.InSetB = 4; // 9600
    settings.OutSetD = settings.InSetD = 4; // 8
    return settings;
}

QString Workbench::path(const QString &name) const
{
    return m_folder.filePath(name);
}

QByteArray Workbench::fileBytes(const QString &name) const
{
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

FormMain *Workbench::open(const SysData &settings)
{
    settings.save(path(QStringLiteral("sysdata.dat")));
    return open();
}

FormMain *Workbench::open()
{
    m_window = new FormMain;
    m_window->show();
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window))
        qWarning("the main window did not become active");
    return m_window;
}

void Workbench::close()
{
    if (!m_window)
        return;
    m_window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete m_window.data();
}

void Workbench::click(const char *button)
{
    Component::EventArgs none;
    Component::ControlSite::of(child<Component::Control>(button))
        ->raiseEvent(XPButton::ButtonClick, none);
}

QString Workbench::caption(const char *button) const
{
    return child<Component::Control>(button)->property("Caption").toString();
}

void Workbench::pick(const char *list, int index)
{
    QComboBox *box = child<QComboBox>(list);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

bool Workbench::portOpen(const char *port) const
{
    return child<CommPort>(port)->PortOpen();
}

// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <pseudoterminal.h>

#include <formmain.h>
#include <sysdata.h>

#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <memory>

// A program folder of its own with ports 1 to 16 mapped: the present ones to far ends,
// the others to devices that do not exist; the main window on it, and the messages it
// shows collected instead of answered.
class Workbench
{
public:
    explicit Workbench(const QList<int> &presentPorts);
    ~Workbench();

    // Settings that open on a pseudo-terminal: 9600,N,8,1, no handshake, period 200.
    static SysData workingSettings(qint16 outPort, qint16 inPort, qint16 mode);

    QString folder() const { return m_folder.path(); }
    QString path(const QString &name) const;
    QByteArray fileBytes(const QString &name) const;

    FormMain *open();
    FormMain *open(const SysData &settings);
    void close();

    template<typename T>
    T *child(const char *name) const
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }
    void click(const char *button);
    QString caption(const char *button) const;
    void pick(const char *list, int index);
    bool portOpen(const char *port) const;

    PseudoTerminal &farEnd(int port) { return *m_farEnds.at(port); }
    // A port that was missing appears.
    void plugIn(int port);
    QStringList messages;

private:
    QTemporaryDir m_folder;
    std::map<int, std::unique_ptr<PseudoTerminal>> m_farEnds;
    QPointer<FormMain> m_window;
};

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "session.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

class QCommandLineParser;

// The ports and line settings of a command without a window: given as options, or taken
// from the window's settings record (sysdata.dat, read only) with the line window's
// options beside it, where options given as well take precedence. A device named by path
// or address is reached through a port number of the run's own, in a copy of the port map.
class CommandPorts
{
public:
    // --out and --in (a link test, a sequence), or one --port (a device played).
    enum class Shape { OutAndIn, OnePort };

    explicit CommandPorts(Shape shape) : m_shape(shape) {}

    void addOptions(QCommandLineParser &parser) const;
    static QString helpText(Shape shape);

    // Reads the options and, when asked, the settings record; sets up the port map.
    // Throws std::runtime_error with the one line that names what is wrong.
    void read(const QCommandLineParser &parser);

    // The ports as the command line named them ("COM3", "/dev/ttyUSB0"); a port of the
    // settings record as "COM<n>".
    QString outName;
    QString inName;
    // The ports, their settings and handshakes, as a start of communication takes them.
    Session::Choices choices;
    // velmora.ini beside sysdata.dat when the settings came from there; empty otherwise.
    QString optionsPath;

    // " [Com 16 = /dev/ttyUSB0]": the numbers a port's message names, for a device named
    // by path; empty otherwise.
    QString mappedNote() const;
    // A device that went away during the run, in one line, naming its device.
    QString deviceLostText(qint16 port, const QString &reason) const;
    // A start's refusal in one line, naming the port and its device.
    QString refusalText(const Session::Refusal &refusal) const;
    // The session the choices apply to: the line window's options when the settings came
    // from the settings record.
    void prepare(Session &session) const;

private:
    void readSysData();
    void mapDevices();

    Shape m_shape;
    QStringList m_mappedDevices;
    QTemporaryDir m_portMapFolder{QDir::tempPath() + QStringLiteral("/tarrock-ports-XXXXXX")};
};

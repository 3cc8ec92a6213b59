// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "commandports.h"
#include "protocolset.h"

#include <QStringList>

// "tarrock answer": plays a device by the answer rules of a command-list file, without a
// window, until SIGINT or SIGTERM stops it; each exchange is one line on standard
// output. It takes no lock: the window, or another run, may test from another port.
class AnswerCommand
{
public:
    enum ExitStatus { Stopped = 0, Failed = 1, SetUpFailed = 2 };

    // Runs the command with the arguments after "answer" and returns its exit status.
    static int run(const QStringList &arguments);

    static QString helpText();
    // What went and came as one line of a log: control characters of a text escaped.
    static QString printable(const QString &text);

private:
    // Throws the one line that names what is wrong; false for a request of the help.
    bool parse(const QStringList &arguments);
    int execute();

    CommandPorts m_ports{CommandPorts::Shape::OnePort};
    QString m_file;
    ProtocolSet m_set;
};

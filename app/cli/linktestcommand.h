// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "commandports.h"
#include "linkrunner.h"
#include "runreports.h"

#include <QElapsedTimer>
#include <QStringList>

// "tarrock linktest": one link test without a window, for test rigs and CI jobs. The
// options name the ports and the test; progress goes to standard error at most once a
// second, the summary to standard output, the reports to the files asked for. Needs a
// QCoreApplication and nothing of a display.
class LinkTestCommand
{
public:
    enum ExitStatus { Passed = 0, Failed = 1, SetUpFailed = 2 };

    // Runs the command with the arguments after "linktest" and returns its exit status.
    static int run(const QStringList &arguments);

    static QString helpText();

private:
    // Throws the one line that names what is wrong; false for a request of the help.
    bool parse(const QStringList &arguments);
    int execute();
    void printProgress(const RunReports::Run &run, const LinkFigures &figures);
    int finish(const RunReports::Run &run);

    CommandPorts m_ports{CommandPorts::Shape::OutAndIn};
    LinkSetup m_setup;
    QString m_reportPath;
    QString m_junitPath;
    QElapsedTimer m_sinceProgress;
    bool m_progressOnTerminal = false;
};

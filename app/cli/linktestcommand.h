// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "linkrunner.h"
#include "runreports.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

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
    struct Options
    {
        QString outPort;
        QString inPort;
        LinkPorts ports;
        LinkSetup setup;
        QString reportPath;
        QString junitPath;
        QStringList mappedDevices;   // "Com 16 = /dev/ttyUSB0": the numbers messages name
    };

    // Throws the one line that names what is wrong.
    static Options parse(const QStringList &arguments);
    // Port numbers for devices named by path or address: a port map of this run's own,
    // the user's map with those lines added.
    void mapDevices(Options &options);
    int execute(Options options);
    void printProgress(const RunReports::Run &run, const LinkFigures &figures);
    int finish(const RunReports::Run &run, const Options &options);

    QTemporaryDir m_portMapFolder{QDir::tempPath() + QStringLiteral("/tarrock-linktest-XXXXXX")};
    QElapsedTimer m_sinceProgress;
    bool m_progressOnTerminal = false;
};

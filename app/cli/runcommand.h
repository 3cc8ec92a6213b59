// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "commandports.h"
#include "protocolset.h"
#include "sequencereport.h"

#include <QStringList>

// "tarrock run": the sequence of a command-list file without a window, for test rigs and
// CI jobs. Its rows go out through the ports the options name, the replies are looked
// for in what comes back, and each step passes or fails as in the window; the summary
// goes to standard output, progress to standard error, the reports to the files asked for.
class RunCommand
{
public:
    enum ExitStatus { Passed = 0, Failed = 1, SetUpFailed = 2 };

    // Runs the command with the arguments after "run" and returns its exit status.
    static int run(const QStringList &arguments);

    static QString helpText();

private:
    // Throws the one line that names what is wrong; false for a request of the help.
    bool parse(const QStringList &arguments);
    // The sequences to run: the one named, or every one the file holds.
    void choose(const QString &file, const QString &name);
    int execute();
    int finish();

    CommandPorts m_ports{CommandPorts::Shape::OutAndIn};
    ProtocolSet m_set;
    QList<QList<ProtocolSet::Step>> m_sequences;
    QList<SequenceReport> m_reports;    // one a sequence, in the order they run
    SequenceReport::Run m_run;
    QString m_reportPath;
    QString m_junitPath;
};

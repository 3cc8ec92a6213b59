// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "protocolset.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The outcome of a command list's sequence run without a window, in the files a CI server
// reads: a JSON report, and a JUnit file with one test case per step that passes or fails
// (sends, waits and replies; a repeated step counts every run).
struct SequenceReport
{
    struct Step
    {
        int index = 0;          // in the file's sequence, from 0
        QString name;           // "step 3: expect hex 01 03 within 500 ms"
        int runs = 0;
        int failures = 0;
        QString failure;        // why its first failing run failed
        double seconds = 0;
        bool underWay = false;  // the run was interrupted during it
    };

    QString file;
    QString outPort;            // as the command line named them
    QString inPort;
    QList<Step> steps;
    QDateTime started;
    double seconds = 0;
    bool completed = false;     // every step was taken
    bool interrupted = false;   // stopped by a signal
    QString note;               // what else ended the run early (a lost device)

    // The steps that pass or fail, named, in file order.
    static SequenceReport of(const QString &file, const ProtocolSet &set);
    static QString describe(const ProtocolSet::Step &step);
    Step *step(int index);

    int runsPassed() const;
    int runsFailed() const;
    bool passed() const;

    QByteArray json() const;
    QByteArray junit() const;
};

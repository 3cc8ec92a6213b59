// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "protocolset.h"

#include <QDateTime>
#include <QList>
#include <QString>

class QJsonObject;
class QXmlStreamWriter;

// The outcome of a command list's sequence run without a window, in the files a CI server
// reads: a JSON report, and a JUnit file with a test suite per sequence and one test case
// per step that passes or fails (sends, waits and replies; a repeated step counts every run).
struct SequenceReport
{
    // What the reports say of the whole run besides its sequences.
    struct Run
    {
        QString file;
        QString outPort;        // as the command line named them
        QString inPort;
    };

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

    QString name;               // the sequence's
    QList<Step> steps;
    QDateTime started;
    double seconds = 0;
    bool completed = false;     // every step was taken
    bool interrupted = false;   // stopped by a signal, or not reached after one
    QString note;               // what else ended the run early (a lost device)

    // The steps that pass or fail, named, in file order.
    static SequenceReport of(const QString &name, const QList<ProtocolSet::Step> &sequence);
    static QString describe(const ProtocolSet::Step &step);
    Step *step(int index);

    int runsPassed() const;
    int runsFailed() const;
    bool passed() const;

    static bool passed(const QList<SequenceReport> &reports);
    static QByteArray json(const Run &run, const QList<SequenceReport> &reports);
    static QByteArray junit(const Run &run, const QList<SequenceReport> &reports);

private:
    QJsonObject toJson() const;
    void writeSuite(QXmlStreamWriter &w, const QString &file) const;
};

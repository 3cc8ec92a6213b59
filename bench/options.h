// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <QString>
#include <QStringList>

// What a run measures and how long; the defaults keep a full run near six minutes on
// two cores. Every case process gets the same options as the run that started it.
struct Options
{
    int rounds = 5;
    int streamMiB = 32;          // each fast receive stream
    int exchanges = 2000;        // mode 3 exchanges of "AT" -> "OK"
    int longExchanges = 500;     // mode 3 exchanges of 4 KiB commands and answers
    int periods = 30;            // 200 ms periods per periodic case
    int steadySeconds = 3;       // the steady 1 MB/s receive
    int slowSeconds = 30;        // the slow reader
    int viewerMiB = 1024;        // the large capture opened in the viewer
    QString largeCapture;        // a large capture already written, for case processes
    QString caseName;            // run only this case and print its raw figures

    // False, with a message on standard error, for an unknown option or value.
    bool parse(const QStringList &arguments);
    // The options that make a case process measure what this run measures.
    QStringList caseArguments(const QString &name) const;
    static void printUsage();
};

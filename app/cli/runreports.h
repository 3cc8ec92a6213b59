// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "linkrunner.h"

#include <QString>

// The result of a link test in the files a CI server reads: a JSON report with every
// figure, and a JUnit file with one test case per direction, the figures as properties.
class RunReports
{
public:
    struct Run
    {
        LinkSetup setup;
        QString outPort;      // as named on the command line
        QString inPort;
        LinkPorts ports;      // their numbers
        LinkFigures figures;
        bool interrupted = false;
    };

    static bool passed(const Run &run);
    // "ttyUSB0 to ttyUSB1": the direction's ports as the command line named them.
    static QString directionName(const Run &run, const DirectionFigures &direction);
    // The first reason a direction failed; empty when it passed.
    static QString failure(const DirectionFigures &direction, double bitErrorRateLimit);

    static QByteArray json(const Run &run);
    static QByteArray junit(const Run &run);
    // Writes the file whole or not at all; false and `error` set on failure.
    static bool write(const QString &path, const QByteArray &contents, QString *error);
};

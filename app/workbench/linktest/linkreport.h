// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "linkfigures.h"
#include "linkrunner.h"

#include <QCoreApplication>
#include <QString>

// The figures of a link test as text: the live view, the report file and the capture
// block all show this, one figure a line.
class LinkReport
{
    Q_DECLARE_TR_FUNCTIONS(LinkReport)

public:
    static QString figuresText(const LinkFigures &figures, LinkChecker::Form form);
    // "通过" or "未通过".
    static QString verdictText(const LinkFigures &figures, double bitErrorRateLimit);
    // Settings, ports, pattern, every figure, the verdict, start and end.
    static QString reportText(const LinkSetup &setup, const LinkPorts &ports, const LinkFigures &figures);

private:
    static QString directionText(const DirectionFigures &d, bool framed);
};

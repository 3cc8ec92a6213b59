// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "linkfigures.h"
#include "linkrunner.h"

#include <QString>

// The figures of a link test as text: the live view, the report file and the capture
// block all show this, one figure a line.
namespace LinkReport {

QString patternName(const LinkSetup &setup);
QString figuresText(const LinkFigures &figures, LinkChecker::Form form);
// "通过" or "未通过", with the reason when it failed.
QString verdictText(const LinkFigures &figures, double bitErrorRateLimit);
// Settings, ports, pattern, every figure, the verdict, start and end.
QString reportText(const LinkSetup &setup, const LinkPorts &ports, const LinkFigures &figures);

} // namespace LinkReport

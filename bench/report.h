// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include "options.h"

#include <QHash>
#include <QString>
#include <QVector>

// Every figure a case printed, one value per round.
using Results = QHash<QString, QVector<double>>;

// Prints each figure as the median of its rounds with their range, ratios as ratios of
// medians of the same run, and each goal's verdict.
void printReport(const Results &results, const Options &options);

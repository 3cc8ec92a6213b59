// Velmora tests. Licensed under the MIT licence.
#pragma once

#include <QList>
#include <QString>

#include <utility>

// Writes `folder`/ports.ini with one "COM<n>=<device>" line per pair, in the given order,
// replacing any map already there, so that a test reaches its far ends through the port
// map as the program does. The caller points PortMap at the folder. Returns false, and
// names the file and the reason on standard error, when the map could not be written.
bool writePortMap(const QString &folder, const QList<std::pair<int, QString>> &ports);

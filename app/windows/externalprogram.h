// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>
#include <QStringList>

// Starts the programs outside the system that the tool buttons hand work to: the
// calculator and the mail handler. Started detached; the program does not wait.
namespace ExternalProgram {

// Starts the system calculator; false when none is found or it cannot be started.
bool startCalculator();
// Opens a new message to the address in the user's mail program; false on failure.
bool startMailTo(const QString &address);

// The folders searched for the programs; empty means the system's search path.
// Tests point it at folders of their own.
void setSearchPaths(const QStringList &folders);

} // namespace ExternalProgram

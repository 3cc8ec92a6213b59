// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>

#include <cstdio>
#include <functional>

// What the commands without a window write, and how they refuse: one line a fault, on
// standard error, flushed at once so that a log shows it in order with the program's
// other output.
namespace CommandOutput {

void print(std::FILE *stream, const QString &text);
// The engine's messages are laid out for a message window; a log reads one line a fault.
QString oneLine(const QString &message);
// Ends the set-up of a command with the line that names what is wrong: an exception the
// command turns into exit status 2.
[[noreturn]] void refuse(const QString &why);
bool terminalOnStandardError();

// What every command does around its own work: the port messages in the language chosen
// for the window, the help when asked for (exit 0), a refused set-up as one line naming
// the command (exit 2), else the command's own exit status.
int runCommand(const QString &name, const QString &help, const std::function<bool()> &parse,
               const std::function<int()> &execute);

} // namespace CommandOutput

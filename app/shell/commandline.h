// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <string>

// What the program's arguments ask for. Read before any window system is asked for, so
// that the terminal's questions are answered over ssh and in scripts, and a typing
// error is told instead of passed over.
class CommandLine
{
public:
    enum class Action { OpenWindow, Help, Version, Refuse, LinkTest, Run, Answer };

    // Only "--help" (or "-h") and "--version" are known; the first other argument
    // refuses the whole command. A first argument "linktest", "run" or "answer" names a
    // command that runs without a window and reads the arguments after it itself.
    static CommandLine parse(int argc, const char *const argv[]);

    Action action() const { return m_action; }
    bool windowless() const;
    // What goes to standard output for Help and Version, to standard error for Refuse.
    std::string answer() const;
    // The exit status of a command that opens no window.
    int exitStatus() const { return m_action == Action::Refuse ? RefusedStatus : 0; }

    static constexpr int RefusedStatus = 2;

private:
    Action m_action = Action::OpenWindow;
    std::string m_refused;
};

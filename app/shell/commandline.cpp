// Velmora workbench. Licensed under the MIT licence.
#include "commandline.h"

#include "tarrockversion.h"

#include <cstring>
#include <utility>

namespace {

constexpr char HelpText[] =
    "Usage: tarrock [--help | --version]\n"
    "       tarrock linktest [options]\n"
    "       tarrock run FILE [options]\n"
    "       tarrock answer FILE --port PORT [options]\n"
    "\n"
    "Velmora, a workbench for testing RS-232 and RS-485 serial links: sends a command\n"
    "as text or hexadecimal bytes, once or periodically, shows what comes back, and\n"
    "captures the traffic into one text file per day.\n"
    "Started without options it opens its window; everything else is set there.\n"
    "\n"
    "  -h, --help  print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "  linktest    runs a link test without a window (tarrock linktest --help)\n"
    "  run         runs a command list's sequence without a window (tarrock run --help)\n"
    "  answer      plays a device by a command list's answer rules (tarrock answer --help)\n"
    "\n"
    "See tarrock(1) for where the settings, port map and capture files are kept.\n";

bool is(const char *argument, const char *option)
{
    return std::strcmp(argument, option) == 0;
}

} // namespace

CommandLine CommandLine::parse(int argc, const char *const argv[])
{
    CommandLine command;
    const std::pair<const char *, Action> commands[] = {
        {"linktest", Action::LinkTest}, {"run", Action::Run}, {"answer", Action::Answer}};
    for (const auto &[name, action] : commands) {
        if (argc > 1 && is(argv[1], name)) {
            command.m_action = action;
            return command;
        }
    }
    for (int k = 1; k < argc; ++k) {
        const char *argument = argv[k];
        Action asked = Action::Refuse;
        if (is(argument, "--help") || is(argument, "-h"))
            asked = Action::Help;
        else if (is(argument, "--version"))
            asked = Action::Version;
        if (asked == Action::Refuse) {
            command.m_action = Action::Refuse;
            command.m_refused = argument;
            return command;
        }
        // The first question asked is answered.
        if (command.m_action == Action::OpenWindow)
            command.m_action = asked;
    }
    return command;
}

bool CommandLine::windowless() const
{
    return m_action == Action::LinkTest || m_action == Action::Run || m_action == Action::Answer;
}

std::string CommandLine::answer() const
{
    switch (m_action) {
    case Action::Help:
        return HelpText;
    case Action::Version:
        return std::string("tarrock (Velmora) ") + TarrockVersion::Text + "\n";
    case Action::Refuse: {
        const bool option = !m_refused.empty() && m_refused[0] == '-';
        return std::string("tarrock: ") + (option ? "unknown option '" : "unexpected argument '") + m_refused
            + "' (tarrock --help lists the options)\n";
    }
    case Action::OpenWindow:
    case Action::LinkTest:
    case Action::Run:
    case Action::Answer:
        break;
    }
    return {};
}

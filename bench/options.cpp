// Velmora benchmark. Licensed under the MIT licence.
#include "options.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {

struct NumberOption
{
    const char *name;
    int Options::*field;
    const char *help;
};

const std::vector<NumberOption> &numberOptions()
{
    static const std::vector<NumberOption> options = {
        {"--rounds", &Options::rounds, "interleaved rounds of every case (5)"},
        {"--stream-mib", &Options::streamMiB, "MiB of each fast receive stream (32)"},
        {"--exchanges", &Options::exchanges, "mode 3 exchanges of AT -> OK (2000)"},
        {"--long-exchanges", &Options::longExchanges, "mode 3 exchanges of 4 KiB (500)"},
        {"--periods", &Options::periods, "200 ms periods per periodic case (30)"},
        {"--steady-seconds", &Options::steadySeconds, "seconds of the steady 1 MB/s receive (3)"},
        {"--slow-seconds", &Options::slowSeconds, "seconds of the slow reader (30)"},
        {"--viewer-mib", &Options::viewerMiB, "MiB of the capture opened in the viewer (1024)"},
    };
    return options;
}

} // namespace

bool Options::parse(const QStringList &arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &name = arguments.at(i);
        if (name == QLatin1String("--help"))
            return false;
        if (i + 1 >= arguments.size()) {
            std::fprintf(stderr, "%s needs a value\n", qPrintable(name));
            return false;
        }
        const QString value = arguments.at(++i);
        if (name == QLatin1String("--case")) {
            caseName = value;
            continue;
        }
        if (name == QLatin1String("--large-capture")) {
            largeCapture = value;
            continue;
        }
        bool known = false;
        for (const NumberOption &option : numberOptions()) {
            if (name != QLatin1String(option.name))
                continue;
            bool number = false;
            this->*option.field = value.toInt(&number);
            if (!number || this->*option.field <= 0) {
                std::fprintf(stderr, "%s takes a positive number, not %s\n", option.name, qPrintable(value));
                return false;
            }
            known = true;
        }
        if (!known) {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(name));
            return false;
        }
    }
    return true;
}

QStringList Options::caseArguments(const QString &name) const
{
    QStringList arguments = {QStringLiteral("--case"), name};
    for (const NumberOption &option : numberOptions())
        arguments << QString::fromLatin1(option.name) << QString::number(this->*option.field);
    if (!largeCapture.isEmpty())
        arguments << QStringLiteral("--large-capture") << largeCapture;
    return arguments;
}

void Options::printUsage()
{
    std::fprintf(stderr, "usage: tarrock-bench [--case NAME] [options]\n");
    for (const NumberOption &option : numberOptions())
        std::fprintf(stderr, "  %-18s N  %s\n", option.name, option.help);
}

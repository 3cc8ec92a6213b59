// Velmora workbench. Licensed under the MIT licence.
#include "externalprogram.h"

#include <QProcess>
#include <QStandardPaths>

namespace ExternalProgram {

namespace {

QStringList &searchPaths()
{
    static QStringList folders;
    return folders;
}

#ifdef Q_OS_WIN
const QStringList CalculatorPrograms = {QStringLiteral("calc.exe")};
const QString MailHandler = QStringLiteral("rundll32.exe");
const QStringList MailHandlerArguments = {QStringLiteral("url.dll,FileProtocolHandler")};
#else
// The desktops' own calculators first, the X one last.
const QStringList CalculatorPrograms = {
    QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
    QStringLiteral("galculator"),       QStringLiteral("qalculate-gtk"),
    QStringLiteral("mate-calc"),        QStringLiteral("xcalc"),
};
const QString MailHandler = QStringLiteral("xdg-open");
const QStringList MailHandlerArguments;
#endif

QString findProgram(const QString &name)
{
    return QStandardPaths::findExecutable(name, searchPaths());
}

bool startDetached(const QString &program, const QStringList &arguments)
{
    return !program.isEmpty() && QProcess::startDetached(program, arguments);
}

} // namespace

bool startCalculator()
{
    for (const QString &name : CalculatorPrograms) {
        const QString program = findProgram(name);
        if (!program.isEmpty())
            return startDetached(program, {});
    }
    return false;
}

bool startMailTo(const QString &address)
{
    return startDetached(findProgram(MailHandler),
                         MailHandlerArguments + QStringList{QStringLiteral("mailto:") + address});
}

void setSearchPaths(const QStringList &folders)
{
    searchPaths() = folders;
}

} // namespace ExternalProgram

// Velmora workbench. Licensed under the MIT licence.
#include "commandoutput.h"

#include "interfacelanguage.h"

#include <QCoreApplication>

#include <QRegularExpression>

#include <stdexcept>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace CommandOutput {

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QString oneLine(const QString &message)
{
    return message.split(QRegularExpression(QStringLiteral("[\\r\\n]+")), Qt::SkipEmptyParts)
        .join(QLatin1Char(' '));
}

void refuse(const QString &why)
{
    throw std::runtime_error(why.toStdString());
}

bool terminalOnStandardError()
{
#ifdef Q_OS_UNIX
    return ::isatty(STDERR_FILENO) == 1;
#else
    return false;
#endif
}

int runCommand(const QString &name, const QString &help, const std::function<bool()> &parse,
               const std::function<int()> &execute)
{
    QString problem;
    InterfaceLanguage::install(QCoreApplication::applicationDirPath(), &problem);
    if (!problem.isEmpty())
        print(stderr, problem + QLatin1Char('\n'));
    try {
        if (!parse()) {
            print(stdout, help);
            return 0;
        }
    } catch (const std::runtime_error &error) {
        print(stderr, QStringLiteral("tarrock %1: %2\n").arg(name, QString::fromStdString(error.what())));
        return 2;
    }
    return execute();
}

} // namespace CommandOutput

// Velmora workbench. Licensed under the MIT licence.
#include "commandoutput.h"

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

} // namespace CommandOutput

// Velmora workbench. Licensed under the MIT licence.
#include "commandlistfile.h"

#include "commandoutput.h"
#include "protocolfile.h"

#include <QFile>

namespace CommandListFile {

ProtocolSet read(const QString &path)
{
    // A command list is a few kilobytes; a file far larger is not one.
    constexpr qint64 LargestFile = 16 * 1024 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        CommandOutput::refuse(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    if (file.size() > LargestFile)
        CommandOutput::refuse(QStringLiteral("%1: not a command list (larger than %2 MiB)").arg(path).arg(LargestFile >> 20));
    const ProtocolFile::Parsed parsed = ProtocolFile::parse(file.readAll());
    if (!parsed.set) {
        const QString where = parsed.line > 0 ? QStringLiteral("%1:%2").arg(path).arg(parsed.line) : path;
        CommandOutput::refuse(QStringLiteral("%1: %2").arg(where, CommandOutput::oneLine(parsed.reason)));
    }
    return *parsed.set;
}

} // namespace CommandListFile

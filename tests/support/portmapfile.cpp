// Velmora tests. Licensed under the MIT licence.
#include "portmapfile.h"

#include <QDir>
#include <QFile>

bool writePortMap(const QString &folder, const QList<std::pair<int, QString>> &ports)
{
    QByteArray text;
    for (const auto &[port, device] : ports)
        text += QStringLiteral("COM%1=%2\n").arg(port).arg(device).toUtf8();
    QFile file(QDir(folder).filePath(QStringLiteral("ports.ini")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()
        || !file.flush()) {
        qWarning("Cannot write the port map %s: %s", qUtf8Printable(file.fileName()),
                 qUtf8Printable(file.errorString()));
        return false;
    }
    return true;
}

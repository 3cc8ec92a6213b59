// Velmora workbench. Licensed under the MIT licence.
#include "portmapoptions.h"

#include <QSettings>

namespace {

const char ReconnectKey[] = "PortMap/Reconnect";

} // namespace

PortMapOptions PortMapOptions::load(const QString &path)
{
    const QSettings file(path, QSettings::IniFormat);
    PortMapOptions options;
    options.reconnect = file.value(QLatin1String(ReconnectKey), options.reconnect).toBool();
    return options;
}

bool PortMapOptions::save(const QString &path) const
{
    QSettings file(path, QSettings::IniFormat);
    file.setValue(QLatin1String(ReconnectKey), reconnect);
    file.sync();
    return file.status() == QSettings::NoError;
}

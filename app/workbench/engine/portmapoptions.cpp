// Velmora workbench. Licensed under the MIT licence.
#include "portmapoptions.h"

#include <inifileeditor.h>

namespace {

const char ReconnectKey[] = "PortMap/Reconnect";

} // namespace

PortMapOptions PortMapOptions::load(const QString &path)
{
    IniFileEditor file;
    file.read(path);
    PortMapOptions options;
    options.reconnect = file.flag(QLatin1String(ReconnectKey), options.reconnect);
    return options;
}

// Written only when the file says otherwise.
bool PortMapOptions::save(const QString &path) const
{
    IniFileEditor file;
    file.read(path);
    if (file.flag(QLatin1String(ReconnectKey), PortMapOptions().reconnect) != reconnect)
        file.setFlag(QLatin1String(ReconnectKey), reconnect);
    return file.write(path) == KeptFile::Result::Written;
}

// Velmora workbench. Licensed under the MIT licence.
#include "rs485options.h"

#include <inifileeditor.h>

#include <QCoreApplication>

namespace {

// Each port's options under a group of its own: "RS485Out/Direction" ...
const char *const Groups[] = {"RS485Out/", "RS485In/"};
Rs485Settings Rs485Options::*const Ports[] = {&Rs485Options::out, &Rs485Options::in};

struct FlagKey
{
    const char *key;
    bool Rs485Settings::*member;
};
const FlagKey FlagKeys[] = {
    {"RtsHighWhileSending", &Rs485Settings::rtsHighWhileSending},
    {"ReceiveWhileSending", &Rs485Settings::receiveWhileSending},
    {"SuppressEcho", &Rs485Settings::suppressEcho},
};
struct DelayKey
{
    const char *key;
    int Rs485Settings::*member;
};
const DelayKey DelayKeys[] = {
    {"DelayBeforeMs", &Rs485Settings::delayBeforeMs},
    {"DelayAfterMs", &Rs485Settings::delayAfterMs},
};
const char DirectionKey[] = "Direction";

QString keyOf(const char *group, const char *key)
{
    return QLatin1String(group) + QLatin1String(key);
}

Rs485Settings settingsIn(const IniFileEditor &file, const char *group)
{
    Rs485Settings settings;
    const int direction = file.number(keyOf(group, DirectionKey), int(settings.direction));
    if (direction >= int(Rs485Settings::Direction::Off) && direction <= int(Rs485Settings::Direction::Program))
        settings.direction = Rs485Settings::Direction(direction);
    for (const FlagKey &flag : FlagKeys)
        settings.*flag.member = file.flag(keyOf(group, flag.key), settings.*flag.member);
    for (const DelayKey &delay : DelayKeys) {
        const int ms = file.number(keyOf(group, delay.key), settings.*delay.member);
        if (ms >= 0 && ms <= Rs485Settings::LongestDelayMs)
            settings.*delay.member = ms;
    }
    return settings;
}

void writeChanged(IniFileEditor &file, const char *group, const Rs485Settings &stored, const Rs485Settings &wanted)
{
    if (stored.direction != wanted.direction)
        file.setNumber(keyOf(group, DirectionKey), int(wanted.direction));
    for (const FlagKey &flag : FlagKeys) {
        if (stored.*flag.member != wanted.*flag.member)
            file.setFlag(keyOf(group, flag.key), wanted.*flag.member);
    }
    for (const DelayKey &delay : DelayKeys) {
        if (stored.*delay.member != wanted.*delay.member)
            file.setNumber(keyOf(group, delay.key), wanted.*delay.member);
    }
}

} // namespace

Rs485Options Rs485Options::load(const QString &path)
{
    IniFileEditor file;
    file.read(path);
    Rs485Options options;
    for (int side = 0; side < 2; ++side)
        options.*Ports[side] = settingsIn(file, Groups[side]);
    return options;
}

bool Rs485Options::save(const QString &path) const
{
    IniFileEditor file;
    file.read(path);
    const Rs485Options stored = load(path);
    if (stored == *this)
        return true;
    for (int side = 0; side < 2; ++side)
        writeChanged(file, Groups[side], stored.*Ports[side], this->*Ports[side]);
    return file.write(path) == KeptFile::Result::Written;
}

QStringList Rs485Options::directionNames()
{
    return {QCoreApplication::translate("Rs485Options", "关闭"), QCoreApplication::translate("Rs485Options", "由驱动程序切换"),
            QCoreApplication::translate("Rs485Options", "由程序切换")};
}

// Velmora workbench. Licensed under the MIT licence.
#include "rs485.h"

#include <QCoreApplication>

#include <tuple>

namespace {

QString onOff(bool on)
{
    return on ? QCoreApplication::translate("DriverRs485", "开") : QCoreApplication::translate("DriverRs485", "关");
}

QString milliseconds(quint32 ms)
{
    return QCoreApplication::translate("DriverRs485", "%1 毫秒").arg(ms);
}

QString difference(const char *name, const QString &asked, const QString &held)
{
    return QCoreApplication::translate("DriverRs485", "%1：设置为%2，实际为%3")
        .arg(QCoreApplication::translate("DriverRs485", name), asked, held);
}

auto fields(const DriverRs485 &r)
{
    return std::tie(r.enabled, r.rtsOnSend, r.rtsAfterSend, r.delayBeforeMs, r.delayAfterMs, r.receiveDuringSend);
}

auto fields(const Rs485Settings &s)
{
    return std::tie(s.direction, s.rtsHighWhileSending, s.delayBeforeMs, s.delayAfterMs, s.receiveWhileSending,
                    s.suppressEcho);
}

// Every field of the driver's mode once: its name and member.
struct FlagField
{
    const char *name;
    bool DriverRs485::*member;
};
const FlagField FlagFields[] = {
    {QT_TRANSLATE_NOOP("DriverRs485", "RS-485 模式"), &DriverRs485::enabled},
    {QT_TRANSLATE_NOOP("DriverRs485", "发送时 RTS 为高"), &DriverRs485::rtsOnSend},
    {QT_TRANSLATE_NOOP("DriverRs485", "发送后 RTS 为高"), &DriverRs485::rtsAfterSend},
    {QT_TRANSLATE_NOOP("DriverRs485", "发送时接收"), &DriverRs485::receiveDuringSend},
};
struct DelayField
{
    const char *name;
    quint32 DriverRs485::*member;
};
const DelayField DelayFields[] = {
    {QT_TRANSLATE_NOOP("DriverRs485", "发送前延时"), &DriverRs485::delayBeforeMs},
    {QT_TRANSLATE_NOOP("DriverRs485", "发送后延时"), &DriverRs485::delayAfterMs},
};

} // namespace

bool operator==(const Rs485Settings &a, const Rs485Settings &b)
{
    return fields(a) == fields(b);
}

DriverRs485 DriverRs485::of(const Rs485Settings &settings)
{
    DriverRs485 mode;
    mode.enabled = settings.direction == Rs485Settings::Direction::Driver;
    if (!mode.enabled)
        return mode;
    mode.rtsOnSend = settings.rtsHighWhileSending;
    mode.rtsAfterSend = !settings.rtsHighWhileSending;
    mode.delayBeforeMs = quint32(qBound(0, settings.delayBeforeMs, Rs485Settings::LongestDelayMs));
    mode.delayAfterMs = quint32(qBound(0, settings.delayAfterMs, Rs485Settings::LongestDelayMs));
    mode.receiveDuringSend = settings.receiveWhileSending;
    return mode;
}

QStringList DriverRs485::differences(const DriverRs485 &asked, const DriverRs485 &held)
{
    QStringList lines;
    for (const FlagField &field : FlagFields) {
        if (asked.*field.member != held.*field.member)
            lines.append(difference(field.name, onOff(asked.*field.member), onOff(held.*field.member)));
    }
    for (const DelayField &field : DelayFields) {
        if (asked.*field.member != held.*field.member)
            lines.append(difference(field.name, milliseconds(asked.*field.member), milliseconds(held.*field.member)));
    }
    return lines;
}

bool operator==(const DriverRs485 &a, const DriverRs485 &b)
{
    return fields(a) == fields(b);
}

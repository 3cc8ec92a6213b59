// Velmora workbench. Licensed under the MIT licence.
#include "linesettings.h"

#include "commerrors.h"
#include <runtimeerror.h>

#include <QCoreApplication>
#include <QStringList>

namespace {

constexpr int FieldCount = 4;
constexpr int MinDataBits = 4;
constexpr int MaxDataBits = 8;

[[noreturn]] void refuse(const QString &text, const QString &why)
{
    throw Component::RuntimeError(CommErrors::ErrorInvalidSetting,
                                  QCoreApplication::translate("LineSettings", "端口参数设置“%1”无效：%2").arg(text, why));
}

QSerialPort::Parity parityOf(const QString &field, const QString &text)
{
    if (field.size() == 1) {
        switch (field.at(0).toUpper().unicode()) {
        case 'N': return QSerialPort::NoParity;
        case 'E': return QSerialPort::EvenParity;
        case 'O': return QSerialPort::OddParity;
        case 'M': return QSerialPort::MarkParity;
        case 'S': return QSerialPort::SpaceParity;
        default: break;
        }
    }
    refuse(text, QCoreApplication::translate("LineSettings", "校验位只能是 N、E、O、M 或 S"));
}

LineSettings::StopBits stopBitsOf(const QString &field, const QString &text)
{
    if (field == QLatin1String("1"))
        return LineSettings::StopBits::One;
    if (field == QLatin1String("1.5"))
        return LineSettings::StopBits::OneAndHalf;
    if (field == QLatin1String("2"))
        return LineSettings::StopBits::Two;
    refuse(text, QCoreApplication::translate("LineSettings", "停止位只能是 1、1.5 或 2"));
}

} // namespace

LineSettings LineSettings::parse(const QString &text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != FieldCount)
        refuse(text, QCoreApplication::translate("LineSettings", "应为“波特率,校验位,数据位,停止位”"));

    LineSettings line;
    bool ok = false;
    line.baudRate = fields.at(0).trimmed().toInt(&ok);
    if (!ok || line.baudRate <= 0)
        refuse(text, QCoreApplication::translate("LineSettings", "波特率必须是正整数"));
    line.parity = parityOf(fields.at(1).trimmed(), text);
    line.dataBits = fields.at(2).trimmed().toInt(&ok);
    if (!ok || line.dataBits < MinDataBits || line.dataBits > MaxDataBits)
        refuse(text, QCoreApplication::translate("LineSettings", "数据位只能是 4 到 8"));
    line.stopBits = stopBitsOf(fields.at(3).trimmed(), text);
    return line;
}

QString LineSettings::settingsString(const QString &baud, const QString &parity,
                                     const QString &dataBits, const QString &stopBits)
{
    return baud.trimmed() + QLatin1Char(',') + parity.left(1) + QLatin1Char(',')
        + dataBits.trimmed() + QLatin1Char(',') + stopBits.trimmed();
}

QChar LineSettings::parityLetter(QSerialPort::Parity parity)
{
    switch (parity) {
    case QSerialPort::EvenParity: return QLatin1Char('E');
    case QSerialPort::OddParity: return QLatin1Char('O');
    case QSerialPort::MarkParity: return QLatin1Char('M');
    case QSerialPort::SpaceParity: return QLatin1Char('S');
    default: return QLatin1Char('N');
    }
}

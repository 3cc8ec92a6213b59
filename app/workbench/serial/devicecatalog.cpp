// Velmora workbench. Licensed under the MIT licence.
#include "devicecatalog.h"

#include "serialline.h"

#include <QSerialPortInfo>

#include <algorithm>

DeviceCatalog DeviceCatalog::ofSystem()
{
    const QMap<QString, QString> stableNames = SerialLine::stableNames();
    QList<Device> devices;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        Device device;
        device.path = port.systemLocation();
        device.stablePath = stableNames.value(SerialLine::canonicalDevice(device.path));
        device.description = port.description();
        device.manufacturer = port.manufacturer();
        device.serialNumber = port.serialNumber();
        device.hasUsbIds = port.hasVendorIdentifier() && port.hasProductIdentifier();
        device.vendorId = port.vendorIdentifier();
        device.productId = port.productIdentifier();
        devices.append(device);
    }
    std::sort(devices.begin(), devices.end(),
              [](const Device &a, const Device &b) { return a.path < b.path; });
    return DeviceCatalog(devices);
}

DeviceCatalog::DeviceCatalog(QList<Device> devices) : m_devices(std::move(devices))
{
}

const DeviceCatalog::Device *DeviceCatalog::find(const QString &mapped) const
{
    if (mapped.isEmpty())
        return nullptr;
    const QString wanted = SerialLine::canonicalDevice(mapped);
    for (const Device &device : m_devices) {
        for (const QString &name : {device.path, device.stablePath}) {
            if (!name.isEmpty() && (name == mapped || SerialLine::canonicalDevice(name) == wanted))
                return &device;
        }
    }
    return nullptr;
}

QString DeviceCatalog::portDescription(int port, const QString &mapped) const
{
    QStringList parts;
    if (const Device *device = find(mapped)) {
        parts << device->path;
        if (!device->description.isEmpty())
            parts << device->description;
        if (!device->serialNumber.isEmpty())
            parts << QStringLiteral("serial %1").arg(device->serialNumber);
    } else {
        parts << mapped;
    }
    return QStringLiteral("Com %1 — %2").arg(port).arg(parts.join(QStringLiteral(", ")));
}

QString DeviceCatalog::usbIds(const Device &device)
{
    if (!device.hasUsbIds)
        return {};
    return QStringLiteral("%1:%2")
        .arg(device.vendorId, 4, 16, QLatin1Char('0'))
        .arg(device.productId, 4, 16, QLatin1Char('0'));
}

QStringList DeviceCatalog::offeredNames() const
{
    QStringList names;
    for (const Device &device : m_devices) {
        if (!device.stablePath.isEmpty())
            names << device.stablePath;
    }
    for (const Device &device : m_devices)
        names << device.path;
    return names;
}

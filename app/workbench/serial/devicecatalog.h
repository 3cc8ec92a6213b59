// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The serial devices the system lists, with what it tells about each, learnt without
// opening any; and the words that name the device behind a port.
class DeviceCatalog
{
public:
    struct Device
    {
        QString path;           // "/dev/ttyUSB0", "COM3"
        QString stablePath;     // "/dev/serial/by-id/usb-FTDI_…"; empty where there is none
        QString description;
        QString manufacturer;
        QString serialNumber;
        bool hasUsbIds = false;
        quint16 vendorId = 0;
        quint16 productId = 0;
    };

    static DeviceCatalog ofSystem();
    explicit DeviceCatalog(QList<Device> devices = {});

    const QList<Device> &devices() const { return m_devices; }

    // The listed device a port map entry names, by its path or its stable path under any
    // spelling; none for a device the system does not list (a link, a remote line).
    const Device *find(const QString &mapped) const;

    // "Com 5 — /dev/ttyUSB0, FT232R USB UART, serial A10K3X": the device as the system
    // names it and what it tells about it, or the entry as written.
    QString portDescription(int port, const QString &mapped) const;

    // "0403:6001"; empty without USB ids.
    static QString usbIds(const Device &device);

    // The names to offer for a mapping: every stable path first, since a mapping by one
    // keeps its port number across replugs, then the system's paths.
    QStringList offeredNames() const;

private:
    QList<Device> m_devices;
};

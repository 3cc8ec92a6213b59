// Velmora tests. Licensed under the MIT licence.
#include "devicecatalog.h"

#include <QTest>

namespace {

DeviceCatalog bench()
{
    DeviceCatalog::Device ftdi;
    ftdi.path = QStringLiteral("/dev/ttyUSB0");
    ftdi.stablePath = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3X-if00-port0");
    ftdi.description = QStringLiteral("FT232R USB UART");
    ftdi.manufacturer = QStringLiteral("FTDI");
    ftdi.serialNumber = QStringLiteral("A10K3X");
    ftdi.hasUsbIds = true;
    ftdi.vendorId = 0x0403;
    ftdi.productId = 0x6001;
    DeviceCatalog::Device uart;
    uart.path = QStringLiteral("/dev/ttyS0");
    DeviceCatalog::Device acm;
    acm.path = QStringLiteral("/dev/ttyACM0");
    acm.stablePath = QStringLiteral("/dev/serial/by-id/usb-Arduino-if00");
    acm.description = QStringLiteral("Arduino Uno");
    return DeviceCatalog({uart, ftdi, acm});
}

} // namespace

// What the tooltips say about the device behind a port, and what the port map window
// offers to map.
class TestDeviceCatalog : public QObject
{
    Q_OBJECT

private slots:
    void portDescription_data();
    void portDescription();
    void stableNamesOfferedFirst();
};

void TestDeviceCatalog::portDescription_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("mapped");
    QTest::addColumn<QString>("description");

    QTest::addRow("by its path")
        << 5 << "/dev/ttyUSB0" << "Com 5 — /dev/ttyUSB0, FT232R USB UART, serial A10K3X";
    QTest::addRow("by its stable name, shown by its path")
        << 7 << "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3X-if00-port0"
        << "Com 7 — /dev/ttyUSB0, FT232R USB UART, serial A10K3X";
    QTest::addRow("no serial number") << 11 << "/dev/ttyACM0" << "Com 11 — /dev/ttyACM0, Arduino Uno";
    QTest::addRow("a link the system does not list") << 16 << "/tmp/ttyV0" << "Com 16 — /tmp/ttyV0";
}

void TestDeviceCatalog::portDescription()
{
    QFETCH(int, port);
    QFETCH(QString, mapped);
    QTEST(bench().portDescription(port, mapped), "description");
}

void TestDeviceCatalog::stableNamesOfferedFirst()
{
    const DeviceCatalog catalog = bench();
    QCOMPARE(catalog.offeredNames(),
             QStringList({"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3X-if00-port0",
                          "/dev/serial/by-id/usb-Arduino-if00", "/dev/ttyS0", "/dev/ttyUSB0",
                          "/dev/ttyACM0"}));
    QCOMPARE(DeviceCatalog::usbIds(catalog.devices().at(1)), QStringLiteral("0403:6001"));
    QCOMPARE(DeviceCatalog::usbIds(catalog.devices().at(0)), QString());
}

QTEST_GUILESS_MAIN(TestDeviceCatalog)
#include "tst_devicecatalog.moc"

// Velmora tests. Licensed under the MIT licence.
#include "workbench.h"

#include <connectioncounter.h>
#include <datapane.h>
#include <formportmap.h>
#include <titlestripbutton.h>

#include <control.h>
#include <controlsite.h>
#include <xpbuttonevents.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

enum Mode : qint16 { SendOnly = 0, SendReceive = 1, ReceiveOnly = 2 };
const QString Start = QStringLiteral("开始通讯");
const QString Stop = QStringLiteral("停止通讯");

QStringList items(const QComboBox *list)
{
    QStringList texts;
    for (int k = 0; k < list->count(); ++k)
        texts << list->itemText(k);
    return texts;
}

// The chosen port's device is gone, as its tooltip tells.
bool shownMissing(const QComboBox *list)
{
    return list->itemData(list->currentIndex(), Qt::ToolTipRole).toString().endsWith(QStringLiteral("（设备不存在）"));
}

FormPortMap *openPortMap(Workbench &bench)
{
    bench.child<TitleStripButton>("ButtonPortMap")->click();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *portMap = qobject_cast<FormPortMap *>(window); portMap && portMap->isVisible())
            return portMap;
    }
    return nullptr;
}

template<typename T>
T *part(QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}

void press(QWidget *window, const char *button)
{
    Component::EventArgs none;
    Component::ControlSite::of(part<Component::Control>(window, button))->raiseEvent(XPButton::ButtonClick, none);
}

// Picks the port in the window's list and maps it to what is typed.
void mapPort(FormPortMap *window, int port, const QString &device)
{
    auto *ports = part<QTreeWidget>(window, "ListPorts");
    ports->setCurrentItem(ports->topLevelItem(port - 1));
    part<QComboBox>(window, "ComboPortDevice")->setEditText(device);
    press(window, "ButtonMapPort");
}

QString portRow(FormPortMap *window, int port, int column)
{
    return part<QTreeWidget>(window, "ListPorts")->topLevelItem(port - 1)->text(column);
}

} // namespace

// Ports by their real names and devices coming and going: the port map window, the
// tooltips that name each port's device, the lists following a plugged device without
// a click, and communication started again when its lost device is back.
class TestMainWindowPortMap : public QObject
{
    Q_OBJECT

private slots:
    void portMapButtonInTheTitleStrip();
    void columnsFitTheirList();
    void pluggedDeviceListedWithoutAClick();
    void tooltipsNameTheDevice();
    void mappingWrittenAndListedAtOnce();
    void remoteLinesAndRefusals();
    void networkLineConnectedOnlyByAStart();
    void vanishedChoiceStaysAndIsRefused();
    void lostDeviceRestartsOnlyWhenAsked_data();
    void lostDeviceRestartsOnlyWhenAsked();
    void portFileKeptAsItsOwnerLeftIt_data();
    void portFileKeptAsItsOwnerLeftIt();
    void hotplugStormRestartsOnlyOnTheLostPort();
};

void TestMainWindowPortMap::portMapButtonInTheTitleStrip()
{
    Workbench bench({1});
    FormMain *main = bench.open(Workbench::workingSettings(1, 1, SendOnly));
    auto *button = bench.child<TitleStripButton>("ButtonPortMap");
    QVERIFY(button && button->isVisible());
    for (const char *neighbour : {"HelpButton", "ButtonLine", "lblTitle"})
        QVERIFY(!button->geometry().intersects(bench.child<QWidget>(neighbour)->geometry()));
    QCOMPARE(button->y(), bench.child<QWidget>("ButtonLine")->y());
    QVERIFY(button->geometry().bottom() < main->findChild<QWidget *>("FrameComSet")->y());

    FormPortMap *window = openPortMap(bench);
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("端口映射"));
    QCOMPARE(openPortMap(bench), window);
    QVERIFY(!part<QCheckBox>(window, "CheckReconnect")->isChecked());
    QCOMPARE(portRow(window, 1, 1), bench.path("com1"));
    QCOMPARE(portRow(window, 1, 2), QStringLiteral("ports.ini"));
    QCOMPARE(portRow(window, 1, 3), QStringLiteral("存在"));
    QCOMPARE(portRow(window, 2, 3), QStringLiteral("不存在"));
}

// Every heading whole, the columns within the list, and an entry cut to fit shown whole
// in its tooltip; a long mapped path takes no room from the short columns.
void TestMainWindowPortMap::columnsFitTheirList()
{
    Workbench bench({1, 2});
    bench.open(Workbench::workingSettings(1, 1, SendOnly));
    FormPortMap *window = openPortMap(bench);
    QVERIFY(window);
    mapPort(window, 3, QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3X6Q-if00-port0"));
    for (const char *name : {"ListDevices", "ListPorts"}) {
        auto *list = part<QTreeWidget>(window, name);
        const QHeaderView *header = list->header();
        int right = 0;
        for (int k = 0; k < header->count(); ++k) {
            const QString heading = list->headerItem()->text(k);
            QVERIFY2(header->sectionSizeHint(k) <= header->sectionSize(k),
                     qPrintable(QStringLiteral("%1 \"%2\": %3 > %4").arg(QLatin1String(name), heading)
                                    .arg(header->sectionSizeHint(k)).arg(header->sectionSize(k))));
            right = qMax(right, header->sectionViewportPosition(k) + header->sectionSize(k));
        }
        QVERIFY2(right <= list->viewport()->width(), name);
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem *item = list->topLevelItem(row);
            for (int k = 0; k < header->count(); ++k) {
                const int needed = list->fontMetrics().horizontalAdvance(item->text(k));
                if (needed > header->sectionSize(k))
                    QVERIFY2(item->toolTip(k).contains(item->text(k)), qPrintable(item->text(k)));
            }
        }
    }
    auto *ports = part<QTreeWidget>(window, "ListPorts");
    const int stateWidth = ports->fontMetrics().horizontalAdvance(QStringLiteral("不存在"));
    QVERIFY(ports->header()->sectionSize(3) > stateWidth);
}

// A link created after the start, as socat makes one, appears and goes again; the
// chosen ports stay chosen, and nothing is said.
void TestMainWindowPortMap::pluggedDeviceListedWithoutAClick()
{
    Workbench bench({2});
    bench.open(Workbench::workingSettings(2, 2, SendOnly));
    auto *out = bench.child<QComboBox>("ComboComOutput");
    QCOMPARE(items(out), QStringList({"Com 2"}));

    bench.plugIn(1);
    bench.plugIn(9);
    QTRY_COMPARE(items(out), QStringList({"Com 1", "Com 2", "Com 9"}));
    QCOMPARE(items(bench.child<QComboBox>("ComboComInput")), items(out));
    QCOMPARE(out->currentText(), QStringLiteral("Com 2"));
    QCOMPARE(bench.child<QLabel>("LabelComOutputP")->text(), QStringLiteral("数据发送端口：Com 2"));

    bench.pick("ComboComInput", 2);
    bench.farEnd(1).unplug();
    QTRY_COMPARE(items(out), QStringList({"Com 2", "Com 9"}));
    QCOMPARE(out->currentText(), QStringLiteral("Com 2"));
    QCOMPARE(bench.child<QComboBox>("ComboComInput")->currentText(), QStringLiteral("Com 9"));
    QCOMPARE(bench.messages, QStringList());
}

void TestMainWindowPortMap::tooltipsNameTheDevice()
{
    Workbench bench({3, 4});
    bench.open(Workbench::workingSettings(3, 4, SendOnly));
    const QString com3 = QStringLiteral("Com 3 — ") + bench.path("com3");
    const QString com4 = QStringLiteral("Com 4 — ") + bench.path("com4");
    auto *out = bench.child<QComboBox>("ComboComOutput");
    QCOMPARE(out->itemText(0), QStringLiteral("Com 3"));
    QCOMPARE(out->itemData(0, Qt::ToolTipRole).toString(), com3);
    QCOMPARE(out->itemData(1, Qt::ToolTipRole).toString(), com4);
    QCOMPARE(out->toolTip(), com3);
    QCOMPARE(bench.child<QLabel>("LabelComOutputP")->toolTip(), com3);
    QCOMPARE(bench.child<QLabel>("LabelComInputP")->toolTip(), com4);

    bench.pick("ComboComOutput", 1);
    QCOMPARE(bench.child<QLabel>("LabelComOutputP")->toolTip(), com4);
}

// Com 7 mapped to a link of the user's: the line of Com 7 changes in place, every other
// line stays, and the lists take it at once; the next start reads the same file.
void TestMainWindowPortMap::mappingWrittenAndListedAtOnce()
{
    Workbench bench({1});
    QByteArray ports = bench.fileBytes("ports.ini");
    ports.prepend("# bench at desk 4\n");
    ports.append("; the PSU is on Com 1\n");
    QFile file(bench.path("ports.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ports) == ports.size());
    file.close();

    bench.open(Workbench::workingSettings(1, 1, SendOnly));
    PseudoTerminal adapter(bench.path("adapter-A10K3X"));
    FormPortMap *window = openPortMap(bench);
    mapPort(window, 7, bench.path("adapter-A10K3X"));

    const QByteArray line7 = QStringLiteral("COM7=%1\n").arg(bench.path("com7")).toUtf8();
    QCOMPARE(bench.fileBytes("ports.ini"),
             QByteArray(ports).replace(line7, QStringLiteral("COM7=%1\n").arg(bench.path("adapter-A10K3X")).toUtf8()));
    auto *out = bench.child<QComboBox>("ComboComOutput");
    QCOMPARE(items(out), QStringList({"Com 1", "Com 7"}));
    QCOMPARE(out->itemData(1, Qt::ToolTipRole).toString(),
             QStringLiteral("Com 7 — ") + bench.path("adapter-A10K3X"));
    QCOMPARE(portRow(window, 7, 1), bench.path("adapter-A10K3X"));

    bench.close();
    bench.open();
    QCOMPARE(items(bench.child<QComboBox>("ComboComOutput")), QStringList({"Com 1", "Com 7"}));

    window = openPortMap(bench);
    auto *number = part<QComboBox>(window, "ComboPortNumber");
    number->setCurrentIndex(6);
    emit number->activated(6);
    press(window, "ButtonUnmapPort");
    QVERIFY(!bench.fileBytes("ports.ini").contains("COM7="));
    QVERIFY(bench.fileBytes("ports.ini").startsWith("# bench at desk 4\n"));
    QCOMPARE(portRow(window, 7, 2), QStringLiteral("内置默认"));
    QCOMPARE(items(bench.child<QComboBox>("ComboComOutput")), QStringList({"Com 1"}));
    QCOMPARE(bench.messages, QStringList());
}

void TestMainWindowPortMap::remoteLinesAndRefusals()
{
    Workbench bench({1});
    bench.open(Workbench::workingSettings(1, 1, SendOnly));
    FormPortMap *window = openPortMap(bench);

    mapPort(window, 9, QStringLiteral("  rfc2217://bench-7.invalid:4001 "));
    QVERIFY(bench.fileBytes("ports.ini").contains("\nCOM9=rfc2217://bench-7.invalid:4001\n"));
    QCOMPARE(portRow(window, 9, 3), QStringLiteral("远程线路"));
    QCOMPARE(bench.messages, QStringList());

    mapPort(window, 11, QStringLiteral("/dev/ttyUSB0 ; spare"));
    mapPort(window, 11, QString());
    auto *number = part<QComboBox>(window, "ComboPortNumber");
    number->setCurrentIndex(15);
    emit number->activated(15);
    QFile::remove(bench.path("ports.ini"));
    press(window, "ButtonUnmapPort");
    QCOMPARE(bench.messages.size(), 3);
    for (const QString &message : bench.messages)
        QVERIFY2(message.startsWith(QStringLiteral("对不起！\r\n\r\n")), qPrintable(message));
    QVERIFY(bench.messages.at(2).contains(QStringLiteral("Com 16")));
    QVERIFY(!QFile::exists(bench.path("ports.ini")));
}

// The start-up scan, "扫描端口" and the lists following plugged devices list a network
// line without connecting to it (a ser2net would open its line and raise DTR each
// time); the start connects, and finds a server that is gone.
void TestMainWindowPortMap::networkLineConnectedOnlyByAStart()
{
    ConnectionCounter server;
    Workbench bench({2});
    QFile ini(bench.path("ports.ini"));
    QVERIFY(ini.open(QIODevice::Append));
    ini.write(QStringLiteral("COM9=%1\n").arg(server.address()).toUtf8());
    ini.close();
    bench.open(Workbench::workingSettings(9, 9, ReceiveOnly));
    auto *in = bench.child<QComboBox>("ComboComInput");
    QCOMPARE(items(in), QStringList({"Com 2", "Com 9"}));
    QCOMPARE(in->currentText(), QStringLiteral("Com 9"));
    QCOMPARE(server.connections(), 0);

    bench.click("ButtonScanPort");
    QCOMPARE(server.connections(), 0);
    bench.plugIn(1);
    for (int cycle = 0; cycle < 3; ++cycle) {
        if (cycle > 0)
            bench.farEnd(1).plugIn();
        QTRY_COMPARE(items(in), QStringList({"Com 1", "Com 2", "Com 9"}));
        bench.farEnd(1).unplug();
        QTRY_COMPARE(items(in), QStringList({"Com 2", "Com 9"}));
    }
    QCOMPARE(server.connections(), 0);

    bench.click("ButtonCom");
    QTRY_COMPARE(server.connections(), 1);
    QTRY_COMPARE(bench.caption("ButtonCom"), Stop);
    bench.click("ButtonCom");
    QCOMPARE(bench.messages, QStringList());

    server.close();
    bench.click("ButtonScanPort");
    QCOMPARE(items(in), QStringList({"Com 2", "Com 9"}));
    bench.click("ButtonCom");
    QTRY_COMPARE(bench.messages.size(), 1);
    QVERIFY2(bench.messages.first().contains(QStringLiteral("127.0.0.1:%1").arg(server.port())),
             qPrintable(bench.messages.first()));
    QCOMPARE(bench.caption("ButtonCom"), Start);
}

// Sending on Com 5, receiving on Com 3: Com 5's device goes while stopped. Nothing is
// sent anywhere else, and once it is back the next start reaches it; only the user's own
// scan moves the choice.
void TestMainWindowPortMap::vanishedChoiceStaysAndIsRefused()
{
    Workbench bench({3, 5});
    SysData settings = Workbench::workingSettings(5, 3, SendReceive);
    settings.OutCommand = QStringLiteral("AT");
    bench.open(settings);
    auto *out = bench.child<QComboBox>("ComboComOutput");
    auto *label = bench.child<QLabel>("LabelComOutputP");

    bench.farEnd(5).unplug();
    QTRY_VERIFY(shownMissing(out));
    QCOMPARE(items(out), QStringList({"Com 3", "Com 5"}));
    QCOMPARE(out->currentText(), QStringLiteral("Com 5"));
    QCOMPARE(label->text(), QStringLiteral("数据发送端口：Com 5"));
    QVERIFY(label->toolTip().endsWith(QStringLiteral("（设备不存在）")));
    QVERIFY(!shownMissing(bench.child<QComboBox>("ComboComInput")));

    bench.click("ButtonCom");
    QCOMPARE(bench.messages, QStringList({"对不起！\r\n\r\n您设置的端口Com 5不存在！\r\n\r\n请选择其他的通讯端口。"}));
    QCOMPARE(bench.caption("ButtonCom"), Start);
    QCOMPARE(bench.farEnd(3).read(300), QByteArray());

    bench.farEnd(5).plugIn();
    QTRY_VERIFY(!shownMissing(out));
    QCOMPARE(out->currentText(), QStringLiteral("Com 5"));
    bench.click("ButtonCom");
    QCOMPARE(bench.farEnd(5).read(2000, 2), QByteArray("AT"));
    QCOMPARE(bench.farEnd(3).read(100), QByteArray());
    QCOMPARE(bench.messages.size(), 1);

    bench.farEnd(5).unplug();
    QTRY_VERIFY(shownMissing(out));
    bench.click("ButtonScanPort");
    QCOMPARE(items(out), QStringList({"Com 3"}));
    QCOMPARE(label->text(), QStringLiteral("数据发送端口：Com 3"));
}

void TestMainWindowPortMap::lostDeviceRestartsOnlyWhenAsked_data()
{
    QTest::addColumn<bool>("reconnect");
    QTest::addRow("off: stays stopped") << false;
    QTest::addRow("on: starts again") << true;
}

// The link of the receiving port vanishes during a transfer and comes back.
void TestMainWindowPortMap::lostDeviceRestartsOnlyWhenAsked()
{
    QFETCH(bool, reconnect);
    Workbench bench({5});
    bench.open(Workbench::workingSettings(5, 5, ReceiveOnly));
    FormPortMap *window = openPortMap(bench);
    if (reconnect)
        part<QCheckBox>(window, "CheckReconnect")->click();
    window->close();
    const QSettings options(bench.path("velmora.ini"), QSettings::IniFormat);
    QCOMPARE(options.value("PortMap/Reconnect", false).toBool(), reconnect);

    bench.click("ButtonCom");
    QCOMPARE(bench.caption("ButtonCom"), Stop);
    bench.farEnd(5).write("X");
    auto *pane = bench.child<DataPane>("TextComInput");
    QTRY_COMPARE(pane->toPlainText(), QStringLiteral("X"));

    bench.farEnd(5).unplug();
    QTRY_COMPARE(bench.caption("ButtonCom"), Start);
    auto *in = bench.child<QComboBox>("ComboComInput");
    QTRY_VERIFY(shownMissing(in));
    QCOMPARE(items(in), QStringList({"Com 5"}));
    bench.farEnd(5).plugIn();
    QTRY_VERIFY(!shownMissing(in));
    if (reconnect) {
        QTRY_COMPARE(bench.caption("ButtonCom"), Stop);
        bench.farEnd(5).write("Y");
        QTRY_COMPARE(pane->toPlainText(), QStringLiteral("X\nY"));
    } else {
        QTest::qWait(2 * PortWatcher::PollMilliseconds);
        QCOMPARE(bench.caption("ButtonCom"), Start);
    }
    QCOMPARE(bench.messages.size(), 1);
    QVERIFY(bench.messages.first().contains(QStringLiteral("Com 5")));
    // The one report tells whether to start again by hand.
    QCOMPARE(bench.messages.first().contains(QStringLiteral("自动重新开始")), reconnect);
}

void TestMainWindowPortMap::portFileKeptAsItsOwnerLeftIt_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("told");

    QTest::addRow("a symbolic link to a shared map") << true << "符号链接";
    QTest::addRow("made read-only by its owner") << false << "只读";
}

// The capture refuses a link in place of its file; the port map window refuses it the same
// way, and leaves a file alone that its owner made read-only, also when root runs it.
void TestMainWindowPortMap::portFileKeptAsItsOwnerLeftIt()
{
    QFETCH(bool, link);
    QFETCH(QString, told);
    Workbench bench({1});
    const QString ports = bench.path("ports.ini");
    const QString shared = bench.path("shared-ports.ini");
    const QByteArray before = bench.fileBytes("ports.ini");
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (link) {
        QVERIFY(QFile::rename(ports, shared));
        QVERIFY(QFile::link(shared, ports));
    } else {
        QVERIFY(QFile::setPermissions(ports, readOnly));
    }
    bench.open(Workbench::workingSettings(1, 1, SendOnly));
    FormPortMap *window = openPortMap(bench);
    mapPort(window, 7, QStringLiteral("/dev/ttyUSB3"));

    QCOMPARE(bench.messages.size(), 1);
    QVERIFY2(bench.messages.at(0).contains(told), qPrintable(bench.messages.at(0)));
    QVERIFY(bench.messages.at(0).contains(ports));
    QCOMPARE(bench.fileBytes(link ? "shared-ports.ini" : "ports.ini"), before);
    QCOMPARE(QFileInfo(ports).isSymLink(), link);
    if (!link)
        QCOMPARE(QFileInfo(ports).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser), readOnly);
}

// Com 5's adapter comes and goes 200 times, at gaps from a millisecond to past the
// watcher's look, while a repeating send with reconnect on runs; Com 3 is a bystander.
// The run only ever starts again on Com 5, and is back once the device stays.
void TestMainWindowPortMap::hotplugStormRestartsOnlyOnTheLostPort()
{
    Workbench bench({3, 5});
    SysData settings = Workbench::workingSettings(5, 5, SendOnly);
    settings.OutCommand = QStringLiteral("AT");
    settings.ComAuto = 1;
    bench.open(settings);
    FormPortMap *window = openPortMap(bench);
    part<QCheckBox>(window, "CheckReconnect")->click();
    window->close();
    bench.click("ButtonCom");
    QCOMPARE(bench.farEnd(5).read(2000, 2), QByteArray("AT"));

    // The run starts again in the longer gaps, and is lost again.
    int restarts = 0;
    QString lastCaption = Stop;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        const QString caption = bench.caption("ButtonCom");
        restarts += caption == Stop && lastCaption != Stop;
        lastCaption = caption;
    });
    watch.start(5);

    constexpr int Cycles = 200;
    const auto gap = [](int step) { return step % 40 == 0 ? 1300 : (step * 37) % 45 + 1; };
    for (int cycle = 1; cycle <= Cycles; ++cycle) {
        bench.farEnd(5).unplug();
        QTest::qWait(gap(cycle));
        bench.farEnd(5).plugIn();
        QTest::qWait(gap(cycle + 20));
        QVERIFY2(bench.farEnd(3).read(0).isEmpty(), qPrintable(QStringLiteral("cycle %1").arg(cycle)));
    }

    QTRY_COMPARE_WITH_TIMEOUT(bench.caption("ButtonCom"), Stop, 5000);
    QVERIFY2(restarts >= 3, qPrintable(QString::number(restarts)));
    QCOMPARE(bench.farEnd(5).read(2000, 2), QByteArray("AT"));
    QCOMPARE(bench.farEnd(3).read(500), QByteArray());
    QCOMPARE(bench.child<QComboBox>("ComboComOutput")->currentText(), QStringLiteral("Com 5"));
    // Told once that the run waits for its device, however often it went.
    QCOMPARE(bench.messages.size(), 1);
    QVERIFY(bench.messages.first().contains(QStringLiteral("自动重新开始")));
}

QTEST_MAIN(TestMainWindowPortMap)
#include "tst_mainwindow_portmap.moc"

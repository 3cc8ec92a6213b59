// Velmora workbench. Licensed under the MIT licence.
#include "formportmap.h"

#include "columnfit.h"
#include "portfileeditor.h"
#include "portmap.h"
#include "portwatcher.h"
#include "serialline.h"

#include <modulefun.h>
#include <uitext.h>

#include <control.h>
#include <controlsite.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTreeWidget>


namespace {

const UiText Caption("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "端口映射"));
const QSize WindowSize(620, 472);

const UiText DeviceColumns[] = {{"FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "设备")},
                                 {"FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "稳定名称")},
                                 {"FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "描述")},
                                 {"FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "制造商")},
                                 {"FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "序列号")},
                                 {"FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "USB VID:PID")}};
const UiText PortColumns[] = {{"FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "端口")},
                               {"FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "设备")},
                               {"FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "来源")},
                               {"FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "状态")}};

const QString FromPortFile = QStringLiteral("ports.ini");
const UiText FromBuiltIn("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "内置默认"));
const UiText NotMapped("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "未映射"));
const UiText StateThere("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "存在"));
const UiText StateMissing("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "不存在"));
const UiText StateRemote("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "远程线路"));

const UiText DeviceHint("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap",
    "设备路径（建议使用稳定名称），或 tcp://主机:端口、rfc2217://主机:端口"));
const UiText FilePrefix("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap", "映射文件："));
const UiText NoMapping("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap",
    "本系统按端口号直接使用 COM 端口，无需映射。"));

const UiText NoDevice("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap",
    "对不起！\r\n\r\n请输入或选择要映射的设备！"));
const UiText DeviceUnwritable("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap",
    "对不起！\r\n\r\n设备名称不能含有换行，也不能在空格之后含有“#”或“;”（其后的内容将被视为注释）！"));
// %1 is the port number.
const UiText PortNotMapped("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap",
    "对不起！\r\n\r\n端口Com %1在端口映射文件中没有映射！"));
// %1 is the file.
const UiText FileUnreadable("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap",
    "对不起！\r\n\r\n端口映射文件无法读取，映射未作更改！\r\n\r\n%1"));
const UiText FileUnwritable("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap",
    "对不起！\r\n\r\n端口映射文件无法写入，映射未作更改！\r\n\r\n%1"));
const UiText FileIsLink("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap",
    "对不起！\r\n\r\n端口映射文件是符号链接，映射未作更改！\r\n\r\n%1"));
const UiText FileReadOnly("FormPortMap", QT_TRANSLATE_NOOP("FormPortMap",
    "对不起！\r\n\r\n端口映射文件已设为只读，映射未作更改！\r\n\r\n%1"));

QString portItem(int port)
{
    return QStringLiteral("Com %1").arg(port);
}

QTreeWidget *addTree(QWidget *parent, const QString &name, const QStringList &columns, const QRect &rect)
{
    auto *tree = new QTreeWidget(parent);
    tree->setObjectName(name);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setTextElideMode(Qt::ElideMiddle);   // a path's both ends tell most
    tree->setHeaderLabels(columns);
    tree->setGeometry(rect);
    return tree;
}

// Every column as wide as its heading and its widest entry, within the list's room
// (a vertical scroll bar's width kept free); the user may still drag any column wider.
void fitColumns(QTreeWidget *tree)
{
    QHeaderView *header = tree->header();
    const QAbstractItemView *view = tree;   // the tree keeps its own override protected
    QList<int> needed;
    for (int k = 0; k < header->count(); ++k)
        needed.append(qMax(header->sectionSizeHint(k), view->sizeHintForColumn(k)));
    const int room = tree->contentsRect().width() - tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree);
    const QList<int> widths = ColumnFit::widths(needed, room);
    for (int k = 0; k < widths.size(); ++k)
        header->resizeSection(k, widths.at(k));
}

// A cut entry shows whole in its tooltip.
void setTextTips(QTreeWidgetItem *item)
{
    for (int column = 0; column < item->columnCount(); ++column)
        item->setToolTip(column, item->text(column));
}

QString sourceOf(const QString &device, bool fromPortFile)
{
    if (device.isEmpty())
        return NotMapped;
    return fromPortFile ? FromPortFile : FromBuiltIn.toString();
}

QString stateOf(const QString &device, const QList<QSerialPortInfo> &listed)
{
    if (device.isEmpty())
        return {};
    if (PortWatcher::isRemote(device))
        return StateRemote;
    return SerialLine::deviceSeen(device, listed) ? StateThere : StateMissing;
}

} // namespace

FormPortMap::FormPortMap(const PortMapOptions &options, QWidget *parent)
    : SkinnedWindow(QStringLiteral("FormPortMap"), Caption, WindowSize, parent),
      m_options(options)
{
    addTitleStrip(Caption);
    addCloseButton();
    buildDeviceFrame();
    buildPortFrame();

    CheckReconnect = new QCheckBox(tr("设备断开后重新连接时，自动重新开始通讯"), this);
    CheckReconnect->setObjectName(QStringLiteral("CheckReconnect"));
    CheckReconnect->setGeometry(14, 444, 592, 20);
    CheckReconnect->setToolTip(tr("以相同的设置重新开始因设备断开而停止的通讯"));
    CheckReconnect->setChecked(m_options.reconnect);
    connect(CheckReconnect, &QCheckBox::clicked, this, &FormPortMap::reconnectClicked);

    refresh();
    ListPorts->setCurrentItem(ListPorts->topLevelItem(0));
}

void FormPortMap::buildDeviceFrame()
{
    auto *frame = new QGroupBox(tr("系统串口设备"), this);
    frame->setObjectName(QStringLiteral("FrameDevices"));
    frame->setGeometry(10, 36, 600, 156);
    ListDevices = addTree(frame, QStringLiteral("ListDevices"), translated(DeviceColumns), QRect(10, 20, 580, 126));
    ListDevices->setToolTip(tr("选择一个设备，将其映射到下面选定的端口"));
    connect(ListDevices, &QTreeWidget::itemSelectionChanged, this, &FormPortMap::devicePicked);
}

void FormPortMap::buildPortFrame()
{
    auto *frame = new QGroupBox(tr("端口映射"), this);
    frame->setObjectName(QStringLiteral("FramePorts"));
    frame->setGeometry(10, 196, 600, 244);
    ListPorts = addTree(frame, QStringLiteral("ListPorts"), translated(PortColumns), QRect(10, 20, 350, 214));
    connect(ListPorts, &QTreeWidget::itemSelectionChanged, this, &FormPortMap::portRowPicked);

    const int x = 370;
    auto *portLabel = new QLabel(tr("端口："), frame);
    portLabel->setObjectName(QStringLiteral("LabelPortNumber"));
    portLabel->setGeometry(x, 25, 60, 16);
    ComboPortNumber = new QComboBox(frame);
    ComboPortNumber->setObjectName(QStringLiteral("ComboPortNumber"));
    for (int port = PortMap::FirstPort; port <= PortMap::LastPort; ++port)
        ComboPortNumber->addItem(portItem(port));
    ComboPortNumber->setGeometry(x + 60, 22, 90, 22);
    connect(ComboPortNumber, &QComboBox::activated, this, &FormPortMap::portNumberPicked);

    auto *deviceLabel = new QLabel(tr("设备："), frame);
    deviceLabel->setObjectName(QStringLiteral("LabelPortDevice"));
    deviceLabel->setGeometry(x, 53, 60, 16);
    ComboPortDevice = new QComboBox(frame);
    ComboPortDevice->setObjectName(QStringLiteral("ComboPortDevice"));
    ComboPortDevice->setEditable(true);
    ComboPortDevice->setInsertPolicy(QComboBox::NoInsert);
    ComboPortDevice->setGeometry(x, 72, 220, 22);
    ComboPortDevice->setToolTip(DeviceHint);
    auto *hint = new QLabel(DeviceHint, frame);
    hint->setObjectName(QStringLiteral("LabelDeviceHint"));
    hint->setWordWrap(true);
    hint->setGeometry(x, 98, 220, 44);

    // The buttons stand on the window, as the skinned controls do, over the frame.
    const QPoint origin = frame->pos();
    placeButton(QStringLiteral("ButtonMapPort"), QRect(origin + QPoint(x, 148), QSize(104, 25)),
                tr("映射"), tr("将设备映射到选定的端口"),
                [this] { mapClicked(); });
    placeButton(QStringLiteral("ButtonUnmapPort"), QRect(origin + QPoint(x + 116, 148), QSize(104, 25)),
                tr("删除映射"), tr("删除选定端口在端口映射文件中的映射"),
                [this] { unmapClicked(); });

    LabelPortFile = new QLabel(frame);
    LabelPortFile->setObjectName(QStringLiteral("LabelPortFile"));
    LabelPortFile->setWordWrap(true);
    LabelPortFile->setGeometry(x, 180, 220, 54);

    if (!SerialLine::usesPortFile()) {
        for (QWidget *control : {static_cast<QWidget *>(ComboPortDevice), static_cast<QWidget *>(hint)})
            control->setEnabled(false);
        for (const char *name : {"ButtonMapPort", "ButtonUnmapPort"})
            findChild<Component::Control *>(QLatin1String(name))->setEnabled(false);
    }
}

void FormPortMap::refresh()
{
    m_catalog = DeviceCatalog::ofSystem();
    showDevices();
    showPorts();
}

void FormPortMap::showDevices()
{
    const QSignalBlocker quiet(ListDevices);
    ListDevices->clear();
    for (const DeviceCatalog::Device &device : m_catalog.devices()) {
        auto *item = new QTreeWidgetItem(ListDevices, {device.path, device.stablePath, device.description,
                                                       device.manufacturer, device.serialNumber,
                                                       DeviceCatalog::usbIds(device)});
        setTextTips(item);
    }
    fitColumns(ListDevices);

    const QString typed = ComboPortDevice->currentText();
    ComboPortDevice->clear();
    ComboPortDevice->addItems(m_catalog.offeredNames());
    ComboPortDevice->setEditText(typed);
}

void FormPortMap::showPorts()
{
    PortFileEditor editor;
    const bool read = SerialLine::usesPortFile() && editor.read(PortMap::fileName())
                                                         != PortFileEditor::ReadStatus::Failed;
    const PortMap map = PortMap::load();
    const QList<QSerialPortInfo> listed = QSerialPortInfo::availablePorts();
    const int selected = selectedPort();
    const QSignalBlocker quiet(ListPorts);
    ListPorts->clear();
    for (int port = PortMap::FirstPort; port <= PortMap::LastPort; ++port) {
        const QString device = map.device(port);
        const bool fromFile = read && !editor.entry(port).isEmpty();
        auto *item = new QTreeWidgetItem(ListPorts, {portItem(port), device, sourceOf(device, fromFile),
                                                     stateOf(device, listed)});
        if (!device.isEmpty()) {
            for (int column = 0; column < ListPorts->columnCount(); ++column)
                item->setToolTip(column, m_catalog.portDescription(port, device));
        }
    }
    fitColumns(ListPorts);
    if (selected > 0)
        ListPorts->setCurrentItem(ListPorts->topLevelItem(selected - 1));

    LabelPortFile->setText(SerialLine::usesPortFile() ? FilePrefix + PortMap::writableFileName()
                                                      : NoMapping.toString());
    LabelPortFile->setToolTip(LabelPortFile->text());
}

int FormPortMap::selectedPort() const
{
    QTreeWidgetItem *item = ListPorts->currentItem();
    return item ? ListPorts->indexOfTopLevelItem(item) + PortMap::FirstPort : 0;
}

// Picking a port shows what it reaches, ready to be changed.
void FormPortMap::portRowPicked()
{
    const int port = selectedPort();
    if (port == 0)
        return;
    ComboPortNumber->setCurrentIndex(port - PortMap::FirstPort);
    showDevice(ListPorts->currentItem()->text(1));
}

void FormPortMap::portNumberPicked()
{
    ListPorts->setCurrentItem(ListPorts->topLevelItem(ComboPortNumber->currentIndex()));
}

void FormPortMap::devicePicked()
{
    const QTreeWidgetItem *item = ListDevices->currentItem();
    if (!item)
        return;
    const QString stable = item->text(1);
    showDevice(stable.isEmpty() ? item->text(0) : stable);
}

// A long path shows its beginning, where the folder tells what kind of name it is.
void FormPortMap::showDevice(const QString &device)
{
    ComboPortDevice->setEditText(device);
    ComboPortDevice->lineEdit()->setCursorPosition(0);
}

void FormPortMap::mapClicked()
{
    const int port = ComboPortNumber->currentIndex() + PortMap::FirstPort;
    const QString device = ComboPortDevice->currentText().trimmed();
    if (device.isEmpty()) {
        refuse(NoDevice, ComboPortDevice);
        return;
    }
    if (!PortFileEditor::isWritable(device)) {
        refuse(DeviceUnwritable, ComboPortDevice);
        return;
    }
    PortFileEditor editor;
    if (!readPortFile(editor))
        return;
    editor.setEntry(port, device);
    if (writePortFile(editor))
        emit mappingChanged();
}

void FormPortMap::unmapClicked()
{
    const int port = ComboPortNumber->currentIndex() + PortMap::FirstPort;
    PortFileEditor editor;
    if (!readPortFile(editor))
        return;
    if (editor.entry(port).isEmpty()) {
        refuse(PortNotMapped.arg(port), ComboPortNumber);
        return;
    }
    editor.removeEntry(port);
    if (writePortFile(editor))
        emit mappingChanged();
}

// The map that is read now is the one changed, wherever the change is written.
bool FormPortMap::readPortFile(PortFileEditor &editor)
{
    if (editor.read(PortMap::fileName()) != PortFileEditor::ReadStatus::Failed)
        return true;
    ModuleFun::ShowMessage(FileUnreadable.arg(PortMap::fileName()), ModuleFun::AlignCentre);
    return false;
}

bool FormPortMap::writePortFile(const PortFileEditor &editor)
{
    const QString path = PortMap::writableFileName();
    const KeptFile::Result written = editor.write(path);
    if (written != KeptFile::Result::Written) {
        const UiText &refusal = written == KeptFile::Result::SymbolicLink ? FileIsLink
            : written == KeptFile::Result::ReadOnly                        ? FileReadOnly
                                                                           : FileUnwritable;
        ModuleFun::ShowMessage(refusal.arg(path), ModuleFun::AlignCentre);
        return false;
    }
    showPorts();
    return true;
}

void FormPortMap::refuse(const QString &text, QWidget *focus)
{
    ModuleFun::ShowMessage(text, ModuleFun::AlignCentre);
    focus->setFocus();
}

void FormPortMap::reconnectClicked()
{
    m_options.reconnect = CheckReconnect->isChecked();
    emit optionsChanged(m_options);
}

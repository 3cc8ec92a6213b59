// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "devicecatalog.h"
#include "formmain_texts.h"
#include "formportmap.h"
#include "portprobe.h"

#include <modulefun.h>

#include <QComboBox>
#include <QLabel>

using namespace FormMainTexts;

namespace {

QString portItem(qint16 port)
{
    return QStringLiteral("Com %1").arg(port);
}

} // namespace

// The scan asks the system about each port instead of opening it, so it neither resets
// a board nor touches the ports of a running transfer, and no line setting matters.
// Each item's tooltip names the device behind the port.
void FormMain::Sub_ScanComPort(qint16 intNowOutPort, qint16 intNowInPort)
{
    Sub_FillPortLists({});
    if (intComPortCount == 0)
        return;
    ComboComOutput->setCurrentIndex(0);
    ComboComInput->setCurrentIndex(0);
    Sub_SelectPorts(intNowOutPort, intNowInPort);
}

// The lists hold every port the system finds and, listed although missing, the ports in
// `keptPorts`; their table entries follow the lists item for item.
void FormMain::Sub_FillPortLists(const QList<qint16> &keptPorts)
{
    m_portWatcher.acknowledge();
    intComPortCount = 0;
    ComboComOutput->clear();
    ComboComInput->clear();

    const PortMap map = PortMap::load();
    const PortProbe probe(map);
    const DeviceCatalog catalog = DeviceCatalog::ofSystem();
    for (qint16 n = PortMap::FirstPort; n <= PortMap::LastPort; ++n) {
        const bool listed = PortProbe::isListed(probe.state(n));
        if (!listed && !keptPorts.contains(n))
            continue;
        intComPortList[++intComPortCount] = n;
        const QString description = catalog.portDescription(n, map.device(n));
        for (QComboBox *list : {ComboComOutput, ComboComInput}) {
            list->addItem(portItem(n));
            const int item = list->count() - 1;
            list->setItemData(item, listed ? description : PortMissingTip.arg(description), Qt::ToolTipRole);
            if (!listed)
                list->setItemData(item, list->palette().brush(QPalette::Disabled, QPalette::Text), Qt::ForegroundRole);
        }
    }

    if (intComPortCount == 0) {
        for (QComboBox *list : {ComboComOutput, ComboComInput}) {
            list->addItem(NoPort);
            list->setCurrentIndex(-1);
            list->setToolTip(QString());
        }
        for (QLabel *label : {LabelComOutputP, LabelComInputP})
            label->setToolTip(QString());
        // The labels say what the start will say: there is no port.
        LabelComOutputP->setText(OutPortPrefix + NoPort);
        LabelComInputP->setText(InPortPrefix + NoPort);
    }
}

// Selects the ports where the lists hold them; a list without them keeps its selection.
void FormMain::Sub_SelectPorts(qint16 intOutPort, qint16 intInPort)
{
    for (int k = 1; k <= intComPortCount; ++k) {
        if (intComPortList[k] == intOutPort)
            ComboComOutput->setCurrentIndex(k - 1);
        if (intComPortList[k] == intInPort)
            ComboComInput->setCurrentIndex(k - 1);
    }
    Sub_ComOutputPort();
    Sub_ComInputPort();
}

// Devices came or went: the lists follow them, but only the user moves a selection. A
// chosen port whose device went stays chosen, shown as missing, and a start on it is
// refused until the device is back. Lists that hold no choice yet are filled as at load.
void FormMain::Sub_RefreshPorts()
{
    const qint16 intOutPort = Fun_SelectedPort(ComboComOutput, 0);
    const qint16 intInPort = Fun_SelectedPort(ComboComInput, 0);
    if (intOutPort == 0 || intInPort == 0) {
        ButtonScanPort_Click();
        return;
    }
    Sub_FillPortLists({intOutPort, intInPort});
    Sub_SelectPorts(intOutPort, intInPort);
}

void FormMain::ButtonScanPort_Click()
{
    Sub_ScanComPort(Fun_SelectedPort(ComboComOutput, udtSysData.OutPort),
                    Fun_SelectedPort(ComboComInput, udtSysData.InPort));
}

void FormMain::Sub_ComOutputPort()
{
    Sub_TakePort(ComboComOutput, intComOutPort, LabelComOutputP, OutPortPrefix);
}

void FormMain::Sub_ComInputPort()
{
    Sub_TakePort(ComboComInput, intComInPort, LabelComInputP, InPortPrefix);
}

void FormMain::Sub_TakePort(QComboBox *list, qint16 &intPort, QLabel *label,
                            const QString &strPrefix)
{
    const int index = list->currentIndex();
    if (index < 0)
        return;
    intPort = intComPortList[index + 1];
    label->setText(strPrefix + list->currentText());
    const QString description = list->itemData(index, Qt::ToolTipRole).toString();
    list->setToolTip(description);
    label->setToolTip(description);
}

// A device came or went. A running transfer keeps its lists locked, and they follow
// once it stops.
void FormMain::Sub_PortsChanged()
{
    if (Fun_Communicating() || m_blnUnloaded)
        return;
    Sub_RefreshPorts();
    if (m_formPortMap)
        m_formPortMap->refresh();
}

// Tells whether the port is there and free without opening it; a port the user may not
// open passes, so that the open names the refusal and its remedy, and so does a network
// line, whose server only the open's connection asks.
bool FormMain::Fun_ComPortTest(qint16 intComPort)
{
    if (intComPortCount == 0) {
        ModuleFun::ShowMessage(NoPortToStart, ModuleFun::AlignCentre);
        return false;
    }
    switch (PortProbe(PortMap::load()).state(intComPort)) {
    case PortProbe::State::Busy:
        ModuleFun::ShowMessage(PortBusy.arg(intComPort), ModuleFun::AlignCentre);
        return false;
    case PortProbe::State::Missing:
        ModuleFun::ShowMessage(PortMissing.arg(intComPort), ModuleFun::AlignCentre);
        return false;
    case PortProbe::State::Present:
    case PortProbe::State::NoPermission:
    case PortProbe::State::Remote:
        break;
    }
    return true;
}


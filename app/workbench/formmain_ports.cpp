// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "formmain_texts.h"

#include <modulefun.h>

#include <component/runtimeerror.h>

#include <QComboBox>
#include <QLabel>

using namespace FormMainTexts;

namespace {

constexpr qint16 HighestPort = 16;

QString portItem(qint16 port)
{
    return QStringLiteral("Com %1").arg(port);
}

// Closes the port when it is open; a failure to close leaves nothing to report.
void closeQuietly(CommPort &port)
{
    try {
        if (port.PortOpen())
            port.setPortOpen(false);
    } catch (const Component::RuntimeError &) {
    }
}

// A port counts as present when it opens, or when it is held open already.
bool portPresent(CommPort &probe, qint16 port)
{
    try {
        probe.setCommPort(port);
        probe.setPortOpen(true);
    } catch (const Component::RuntimeError &error) {
        return error.number() == CommPort::ErrorPortInUse;
    }
    closeQuietly(probe);
    return true;
}

} // namespace

void FormMain::Sub_ScanComPort(qint16 intNowOutPort, qint16 intNowInPort)
{
    intComPortCount = 0;
    ComboComOutput->clear();
    ComboComInput->clear();
    closeQuietly(m_engine.outPort());

    for (qint16 n = 1; n <= HighestPort; ++n) {
        if (!portPresent(m_engine.outPort(), n))
            continue;
        intComPortList[++intComPortCount] = n;
        ComboComOutput->addItem(portItem(n));
        ComboComInput->addItem(portItem(n));
    }

    if (intComPortCount == 0) {
        for (QComboBox *list : {ComboComOutput, ComboComInput}) {
            list->addItem(NoPort);
            list->setCurrentIndex(-1);
        }
        return;
    }

    ComboComOutput->setCurrentIndex(0);
    ComboComInput->setCurrentIndex(0);
    for (int k = 1; k <= intComPortCount; ++k) {
        if (intComPortList[k] == intNowOutPort)
            ComboComOutput->setCurrentIndex(k - 1);
        if (intComPortList[k] == intNowInPort)
            ComboComInput->setCurrentIndex(k - 1);
    }
    Sub_ComOutputPort();
    Sub_ComInputPort();
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

void FormMain::Sub_TakePort(const QComboBox *list, qint16 &intPort, QLabel *label,
                            const QString &strPrefix)
{
    const int index = list->currentIndex();
    if (index < 0)
        return;
    intPort = intComPortList[index + 1];
    label->setText(strPrefix + list->currentText());
}

bool FormMain::Fun_ComPortTest(qint16 intComPort)
{
    bool result = true;
    closeQuietly(m_engine.outPort());
    try {
        m_engine.outPort().setCommPort(intComPort);
        m_engine.outPort().setPortOpen(true);
    } catch (const Component::RuntimeError &error) {
        if (error.number() == CommPort::ErrorPortInUse) {
            ModuleFun::ShowMessage(PortBusy.arg(intComPort), 2);
            result = false;
        } else if (error.number() == CommPort::ErrorPortNotFound) {
            ModuleFun::ShowMessage(PortMissing.arg(intComPort), 2);
            result = false;
        }
    }
    closeQuietly(m_engine.outPort());
    return result;
}


// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "formportmap.h"
#include "portmap.h"

#include <inifileeditor.h>
#include <modulefun.h>
#include <uitext.h>

namespace {

// %1 is the options file.
const UiText PortMapOptionsNotSaved("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n端口映射设置文件无法写入，这些设置只在本次运行中有效！\r\n\r\n%1"));

// A plugged adapter's node appears before the system has given it its group and mode.
constexpr int ReconnectSettleMilliseconds = 500;

} // namespace

void FormMain::Sub_WatchPorts()
{
    connect(&m_portWatcher, &PortWatcher::changed, this, &FormMain::Sub_PortsChanged);
    m_portWatcher.start();
    m_reconnectTimer.setSingleShot(true);
    m_reconnectTimer.setInterval(ReconnectSettleMilliseconds);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &FormMain::Sub_Reconnect);
}

// One port map window at a time, a tool window of the main window: it stays above it.
void FormMain::ButtonPortMap_Click()
{
    if (m_formPortMap) {
        m_formPortMap->raise();
        m_formPortMap->activateWindow();
        return;
    }
    m_formPortMap = new FormPortMap(m_portMapOptions, this);
    connect(m_formPortMap, &FormPortMap::mappingChanged, this, &FormMain::Sub_PortMapChanged);
    connect(m_formPortMap, &FormPortMap::optionsChanged, this, &FormMain::Sub_PortMapOptionsChanged);
    m_formPortMap->centerOnScreen();
    m_formPortMap->show();
    m_formPortMap->activateWindow();
}

// A changed map reaches the lists at once while stopped; a running transfer keeps its
// ports, and the watcher brings the lists up to date once it stops.
void FormMain::Sub_PortMapChanged()
{
    if (!Fun_Communicating())
        ButtonScanPort_Click();
}

void FormMain::Sub_PortMapOptionsChanged(const PortMapOptions &options)
{
    m_portMapOptions = options;
    if (!m_portMapOptions.reconnect)
        m_reconnect = {};
    if (!m_portMapOptions.save(Fun_LineOptionsPath()) && IniFileEditor::firstFailure(Fun_LineOptionsPath()))
        ModuleFun::ShowMessage(PortMapOptionsNotSaved.arg(Fun_LineOptionsPath()), ModuleFun::AlignCentre);
}

// Whether the stopped run starts again once its lost device is back. A network line is
// not waited for: telling whether it is back would take a connection in every poll.
bool FormMain::Fun_AwaitReconnect(qint16 intLostPort)
{
    if (!m_portMapOptions.reconnect || PortWatcher::isRemote(PortMap::load().device(intLostPort)))
        return false;
    m_reconnect = {intLostPort, intComOutPort, intComInPort};
    return true;
}

// The start of the start button, on the ports of the stopped run; its refusals and
// failures are reported as the button's are, and then nothing waits any more.
void FormMain::Sub_Reconnect()
{
    if (m_reconnect.lostPort == 0 || Fun_Communicating() || !m_portWatcher.present(m_reconnect.lostPort))
        return;
    Sub_ScanComPort(m_reconnect.outPort, m_reconnect.inPort);
    m_reconnect = {};
    Sub_ClosePorts();
    Sub_ComStart();
}

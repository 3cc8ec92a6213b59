// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "formportmap.h"
#include "portmap.h"
#include "portprobe.h"

#include <inifileeditor.h>
#include <modulefun.h>
#include <singlewindow.h>
#include <uitext.h>

namespace {

// %1 is the options file.
const UiText PortMapOptionsNotSaved("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n端口映射设置文件无法写入，这些设置只在本次运行中有效！\r\n\r\n%1"));

// How often a run waiting for its lost device looks for it. It starts again at the second
// look that finds every device of the run: a plugged adapter's node appears before the
// system has given it its group and mode.
constexpr int ReconnectLookMilliseconds = 500;

} // namespace

void FormMain::Sub_WatchPorts()
{
    connect(&m_portWatcher, &PortWatcher::changed, this, &FormMain::Sub_PortsChanged);
    m_portWatcher.start();
    m_reconnectTimer.setInterval(ReconnectLookMilliseconds);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &FormMain::Sub_Reconnect);
}

// One port map window at a time, a tool window of the main window: it stays above it.
void FormMain::ButtonPortMap_Click()
{
    showSingleWindow(m_formPortMap, [this] {
        auto *window = new FormPortMap(m_portMapOptions, this);
        connect(window, &FormPortMap::mappingChanged, this, &FormMain::Sub_PortMapChanged);
        connect(window, &FormPortMap::optionsChanged, this, &FormMain::Sub_PortMapOptionsChanged);
        return window;
    });
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
        Sub_EndReconnectWait();
    if (!m_portMapOptions.save(Fun_LineOptionsPath()) && IniFileEditor::firstFailure(Fun_LineOptionsPath()))
        ModuleFun::ShowMessage(PortMapOptionsNotSaved.arg(Fun_LineOptionsPath()), ModuleFun::AlignCentre);
}

// Whether the stopped run starts again once its lost device is back. A network line is
// not waited for: telling whether it is back would take a connection in every look.
bool FormMain::Fun_AwaitReconnect(qint16 intLostPort)
{
    if (!m_portMapOptions.reconnect || PortWatcher::isRemote(PortMap::load().device(intLostPort)))
        return false;
    m_reconnect.outPort = intComOutPort;
    m_reconnect.inPort = intComInPort;
    Sub_AwaitRunPorts();
    return true;
}

void FormMain::Sub_AwaitRunPorts()
{
    m_reconnect.awaiting = true;
    m_reconnect.seenBack = false;
    m_reconnectTimer.start();
}

void FormMain::Sub_EndReconnectWait()
{
    m_reconnect = {};
    m_reconnectTimer.stop();
}

// The ports the chosen mode opens, each there as far as the system tells. A network line
// is not looked at, which would take a connection: the start meets it.
bool FormMain::Fun_RunPortsPresent() const
{
    const PortMap map = PortMap::load();
    const PortProbe probe(map);
    const auto present = [&map, &probe](qint16 intPort) {
        return PortWatcher::isRemote(map.device(intPort)) || probe.state(intPort) != PortProbe::State::Missing;
    };
    const bool blnOut = intIOState == IOReceive || present(intComOutPort);
    const bool blnIn = intIOState == IOSend || present(intComInPort);
    return blnOut && blnIn;
}

// The start of the start button, on the very ports of the stopped run and nowhere else.
// A device that goes again before the run is back is waited for again, as often as it
// comes and goes; only the user's own start or stop, or a port the user chose instead,
// ends the wait. Refusals and failures are reported as the button's are.
void FormMain::Sub_Reconnect()
{
    if (!m_reconnect.awaiting || Fun_Communicating() || m_blnUnloaded)
        return;
    if (intComOutPort != m_reconnect.outPort || intComInPort != m_reconnect.inPort) {
        Sub_EndReconnectWait();
        return;
    }
    const bool blnBack = Fun_RunPortsPresent();
    const bool blnSettled = blnBack && m_reconnect.seenBack;
    m_reconnect.seenBack = blnBack;
    if (!blnSettled)
        return;
    m_reconnect.awaiting = false;
    m_reconnectTimer.stop();
    // The lists are locked while the run goes on: they show the device back first.
    Sub_RefreshPorts();
    Sub_ClosePorts();
    Sub_ComStart();
    // A device gone again between the look and the open leaves the run waiting.
    if (!Fun_Communicating() && !m_blnUnloaded && !Fun_RunPortsPresent())
        Sub_AwaitRunPorts();
}

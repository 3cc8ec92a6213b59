// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "capturelog.h"
#include "portmonitor.h"

#include <skinnedwindow.h>

#include <QTimer>

class QCheckBox;
class QLabel;
class Session;
class TimelinePane;

namespace Component {
class Control;
}

// "双向监听": both directions of a link between two other devices, heard through a
// Y-tap on the main window's sending port (A) and receiving port (B), in one timeline.
// Both ports only receive. The frame rule and the capture switch are the main window's;
// the log, or a capture file, exports as CSV. It refuses to start while the main window's run holds ports.
class FormMonitor : public SkinnedWindow
{
    Q_OBJECT

public:
    explicit FormMonitor(Session &session, QWidget *parent = nullptr);
    ~FormMonitor() override;

    PortMonitor &monitor() { return m_monitor; }

private:
    void startClicked();
    void start();
    void stop();
    void clearClicked();
    void exportClicked();
    void exportCaptureClicked();
    void saveCsv(const QByteArray &csv, const QString &suggested);
    void showEntry(const PortMonitor::Entry &entry);
    void showPorts();
    void setCaption(const QString &caption);

    Session &m_session;
    PortMonitor m_monitor;
    CaptureLog m_capture;
    QLabel *LabelMonitorPorts = nullptr;
    QCheckBox *CheckMonitorHex = nullptr;
    TimelinePane *TextMonitor = nullptr;
    Component::Control *m_startButton = nullptr;
    QTimer m_portsRefresh;
};

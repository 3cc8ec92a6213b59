// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "rs485options.h"

#include <QGroupBox>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class Session;

// The line window's RS-485 box: for the sending and the receiving port, how the
// transmitter is switched (off, by the driver, by the program), RTS while sending, the
// delays, receiving while sending and echo suppression; below, what the driver holds
// otherwise than asked, the echoes and collisions, and the far end's turnaround. The
// options are saved at once and apply at the next start. Network lines have none.
class Rs485Box : public QGroupBox
{
    Q_OBJECT

public:
    Rs485Box(Session &session, QWidget *parent, const QRect &geometry);

    // Called by the window's refresh: the ports chosen and what the run found.
    void refresh();

private:
    enum Side { Out = 0, In = 1 };
    struct PortControls
    {
        QLabel *title = nullptr;
        QComboBox *direction = nullptr;
        QComboBox *rtsLevel = nullptr;
        QSpinBox *before = nullptr;
        QSpinBox *after = nullptr;
        QCheckBox *receive = nullptr;
        QCheckBox *echo = nullptr;
    };

    void buildColumn(Side side, int x);
    void showOptions();
    void edited(Side side);
    void enableColumn(Side side, bool network);
    QString statusText() const;
    void showStatus(const QString &text);

    Session &m_session;
    Rs485Options m_options;
    std::array<PortControls, 2> m_ports;
    std::array<qint16, 2> m_shownPorts {};
    std::array<bool, 2> m_network {};
    QLabel *m_status = nullptr;
};

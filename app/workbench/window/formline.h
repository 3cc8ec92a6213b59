// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "lineoptions.h"
#include "modemled.h"

#include <skinnedwindow.h>

#include <QTimer>

#include <array>

class FrameRuleBox;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class Rs485Box;
class Session;

namespace Component {
class Control;
}

// The line window: DTR and RTS, the modem input lines and a break for each of the two
// ports (one set when they are one port), custom baud rates, the line ending of text
// sends, timestamps and spaced hex, the language of the interface, how received data is
// cut into frames, and RS-485 direction control (a box of its own). Not modal; it works
// on the session's ports while communication runs and hands every change of the options
// to the main window.
class FormLine : public SkinnedWindow
{
    Q_OBJECT

public:
    // The modem inputs are read this often while a port is open.
    static constexpr int RefreshMilliseconds = 50;

    explicit FormLine(Session &session, QWidget *parent = nullptr);

    const LineOptions &options() const { return m_options; }

signals:
    void optionsChanged(const LineOptions &options);

private:
    enum Side { Out = 0, In = 1 };
    // One port's controls.
    struct PortControls
    {
        QGroupBox *frame = nullptr;
        QCheckBox *dtr = nullptr;
        QCheckBox *rts = nullptr;
        std::array<ModemLed *, 4> leds {};   // CTS, DSR, DCD, RI
        QLabel *state = nullptr;
        Component::Control *breakButton = nullptr;
        QLineEdit *baud = nullptr;
    };

    void buildPortFrame(Side side, int x);
    void buildOptionFrame();
    void buildLanguageRow();
    void buildFrameBox();
    void showOptions();
    void refresh();
    void refreshPort(Side side);
    void lineOutputClicked(Side side);
    void breakClicked(Side side);
    void baudEdited(Side side);
    void optionClicked();
    void languageChosen();
    void changed();

    Session &m_session;
    LineOptions m_options;
    std::array<PortControls, 2> m_ports;
    QComboBox *ComboLineEnd = nullptr;
    QCheckBox *CheckTimeStamp = nullptr;
    QCheckBox *CheckHexSpace = nullptr;
    QComboBox *ComboLanguage = nullptr;
    Rs485Box *m_rs485 = nullptr;
    FrameRuleBox *m_frames = nullptr;
    QTimer m_refresh;
    bool m_refusing = false;
};

// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "protocolset.h"

#include <skinnedwindow.h>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

// The command list window: the device's commands with their format, line ending,
// checksum and hotkey, and the answer rules of the answer mode, each row's checksum set
// below the lists; the checksum received frames are checked with; import and export. Not modal; every change goes to the
// main window, which keeps the file and sends a row when asked.
class FormCommands : public SkinnedWindow
{
    Q_OBJECT

public:
    explicit FormCommands(const ProtocolSet &set, QWidget *parent = nullptr);

    const ProtocolSet &set() const { return m_set; }
    // A step of the running sequence passed or failed; the run is over.
    void showStep(int step, bool passed);
    void showOutcome(const QString &outcome);

signals:
    void changed(const ProtocolSet &set);
    void sendRequested(int command);
    void runRequested();

private:
    enum Tab { CommandsTab = 0, RulesTab = 1, SequenceTab = 2 };

    void buildTables();
    void buildChecksumFrame();
    void buildReceiveCheck();
    void buildSequencePage();
    void fillSteps();
    void stepEdited(int row, int column);
    QTableWidget *currentTable() const;
    void buildButtons();
    void fillCommands();
    void fillRules();
    void commandEdited(int row, int column);
    void ruleEdited(int row, int column);
    void rowPicked();
    void showChecksum();
    void checksumEdited();
    Checksum *currentChecksum();
    int currentRow() const;
    void addClicked();
    void removeClicked();
    void moveClicked(int step);
    void sendClicked();
    void importClicked();
    void exportClicked();
    void commit();

    ProtocolSet m_set;
    bool m_filling = false;
    QTabWidget *TabProtocol = nullptr;
    QTableWidget *TableCommands = nullptr;
    QTableWidget *TableRules = nullptr;
    QTableWidget *TableSteps = nullptr;
    QCheckBox *CheckStopAtFailure = nullptr;
    QPushButton *ButtonRunSequence = nullptr;
    QLabel *LabelOutcome = nullptr;
    QComboBox *ComboChecksum = nullptr;
    QSpinBox *SpinFrom = nullptr;
    QSpinBox *SpinTo = nullptr;
    QComboBox *ComboByteOrder = nullptr;
    QComboBox *ComboOutput = nullptr;
    QSpinBox *SpinWidth = nullptr;
    QLineEdit *TextPoly = nullptr;
    QLineEdit *TextInit = nullptr;
    QLineEdit *TextXorOut = nullptr;
    QCheckBox *CheckRefIn = nullptr;
    QCheckBox *CheckRefOut = nullptr;
    QComboBox *ComboReceiveChecksum = nullptr;
};

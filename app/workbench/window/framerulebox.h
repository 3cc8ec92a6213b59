// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "framerule.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The line window's frame "接收分帧": how the receiving port's data is cut into frames,
// each a line of the receive pane and a record of the capture. Only the boxes the
// chosen kind uses are enabled; a hexadecimal box that does not read as bytes is
// refused and keeps what the user typed for correcting.
class FrameRuleBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit FrameRuleBox(QWidget *parent = nullptr);

    void setRule(const FrameRule &rule);
    const FrameRule &rule() const { return m_rule; }

signals:
    void ruleChanged(const FrameRule &rule);

private:
    QLabel *addLabel(const QString &text, const char *name, const QRect &geometry);
    void showRule();
    void enableForKind();
    void edited();
    bool readHex(QLineEdit *box, QByteArray &bytes);

    FrameRule m_rule;
    QComboBox *ComboFrameKind = nullptr;
    QDoubleSpinBox *SpinFrameGap = nullptr;
    QLabel *LabelFrameGapUnit = nullptr;
    QLineEdit *TextFrameTerminator = nullptr;
    QLineEdit *TextFrameHeader = nullptr;
    QSpinBox *SpinFrameLength = nullptr;
    QSpinBox *SpinLengthOffset = nullptr;
    QComboBox *ComboLengthSize = nullptr;
    QComboBox *ComboByteOrder = nullptr;
    QSpinBox *SpinLengthAddend = nullptr;
    QSpinBox *SpinFrameMax = nullptr;
    QCheckBox *CheckFrameGap = nullptr;
    bool m_showing = false;
    bool m_refusing = false;
};

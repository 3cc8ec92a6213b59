// Velmora workbench. Licensed under the MIT licence.
#include "framerulebox.h"

#include <modulefun.h>

#include <uitext.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {

const UiText BadHex("FrameRuleBox", QT_TRANSLATE_NOOP("FrameRuleBox",
    "对不起！\r\n\r\n请输入 1 到 %1 个16进制字节，如 0D 0A！"));
const int LengthSizes[] = {1, 2, 4};

} // namespace

FrameRuleBox::FrameRuleBox(QWidget *parent)
    : QGroupBox(tr("接收分帧"), parent)
{
    setObjectName(QStringLiteral("FrameFrames"));

    addLabel(tr("方式："), "LabelFrameKind", QRect(12, 25, 40, 16));
    ComboFrameKind = new QComboBox(this);
    ComboFrameKind->setObjectName(QStringLiteral("ComboFrameKind"));
    ComboFrameKind->addItems({tr("25 毫秒间隔（默认）"), tr("间隔（毫秒）"), tr("间隔（字符时间）"),
                              tr("结束字节"), tr("固定长度"), tr("帧头加长度字段")});
    ComboFrameKind->setGeometry(52, 22, 150, 22);
    connect(ComboFrameKind, &QComboBox::activated, this, &FrameRuleBox::edited);

    addLabel(tr("间隔："), "LabelFrameGap", QRect(212, 25, 40, 16));
    SpinFrameGap = new QDoubleSpinBox(this);
    SpinFrameGap->setObjectName(QStringLiteral("SpinFrameGap"));
    SpinFrameGap->setGeometry(252, 22, 70, 22);
    LabelFrameGapUnit = addLabel(QString(), "LabelFrameGapUnit", QRect(326, 25, 50, 16));

    addLabel(tr("结束字节："), "LabelFrameTerminator", QRect(12, 53, 64, 16));
    TextFrameTerminator = new QLineEdit(this);
    TextFrameTerminator->setObjectName(QStringLiteral("TextFrameTerminator"));
    TextFrameTerminator->setGeometry(76, 50, 100, 22);
    TextFrameTerminator->setToolTip(tr("16进制字节，如 0D 0A 或 7E；结束字节留在帧内"));
    addLabel(tr("帧头："), "LabelFrameHeader", QRect(186, 53, 40, 16));
    TextFrameHeader = new QLineEdit(this);
    TextFrameHeader->setObjectName(QStringLiteral("TextFrameHeader"));
    TextFrameHeader->setGeometry(226, 50, 146, 22);
    TextFrameHeader->setToolTip(tr("每帧开头的16进制字节；固定长度时可以留空"));

    addLabel(tr("帧长："), "LabelFrameLength", QRect(12, 81, 40, 16));
    SpinFrameLength = new QSpinBox(this);
    SpinFrameLength->setObjectName(QStringLiteral("SpinFrameLength"));
    SpinFrameLength->setGeometry(52, 78, 62, 22);
    SpinFrameLength->setRange(1, FrameRule::HighestLength);
    addLabel(tr("长度字段："), "LabelLengthField", QRect(120, 81, 64, 16));
    SpinLengthOffset = new QSpinBox(this);
    SpinLengthOffset->setObjectName(QStringLiteral("SpinLengthOffset"));
    SpinLengthOffset->setGeometry(184, 78, 46, 22);
    SpinLengthOffset->setRange(0, FrameRule::HighestLength - 1);
    SpinLengthOffset->setToolTip(tr("长度字段的位置：从帧的第一个字节（0）数起"));
    ComboLengthSize = new QComboBox(this);
    ComboLengthSize->setObjectName(QStringLiteral("ComboLengthSize"));
    ComboLengthSize->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4")});
    ComboLengthSize->setGeometry(232, 78, 38, 22);
    ComboLengthSize->setToolTip(tr("长度字段的字节数"));
    ComboByteOrder = new QComboBox(this);
    ComboByteOrder->setObjectName(QStringLiteral("ComboByteOrder"));
    ComboByteOrder->addItems({tr("小端"), tr("大端")});
    ComboByteOrder->setGeometry(272, 78, 54, 22);
    ComboByteOrder->setToolTip(tr("小端：低位字节在前；大端：高位字节在前"));
    SpinLengthAddend = new QSpinBox(this);
    SpinLengthAddend->setObjectName(QStringLiteral("SpinLengthAddend"));
    SpinLengthAddend->setGeometry(328, 78, 44, 22);
    SpinLengthAddend->setRange(-FrameRule::HighestLength, FrameRule::HighestLength);
    SpinLengthAddend->setToolTip(tr("帧长 = 长度字段的值 + 此数"));

    addLabel(tr("最大帧长："), "LabelFrameMax", QRect(12, 109, 64, 16));
    SpinFrameMax = new QSpinBox(this);
    SpinFrameMax->setObjectName(QStringLiteral("SpinFrameMax"));
    SpinFrameMax->setGeometry(76, 106, 70, 22);
    SpinFrameMax->setRange(1, FrameRule::HighestLength);
    SpinFrameMax->setToolTip(tr("更长的帧在此截断；更大的长度字段被拒绝并跳过"));
    CheckFrameGap = new QCheckBox(tr("时间戳后显示帧间隔"), this);
    CheckFrameGap->setObjectName(QStringLiteral("CheckFrameGap"));
    CheckFrameGap->setGeometry(160, 107, 212, 20);
    connect(CheckFrameGap, &QCheckBox::clicked, this, &FrameRuleBox::edited);

    for (QAbstractSpinBox *spin : {static_cast<QAbstractSpinBox *>(SpinFrameGap),
                                   static_cast<QAbstractSpinBox *>(SpinFrameLength),
                                   static_cast<QAbstractSpinBox *>(SpinLengthOffset),
                                   static_cast<QAbstractSpinBox *>(SpinLengthAddend),
                                   static_cast<QAbstractSpinBox *>(SpinFrameMax)})
        connect(spin, &QAbstractSpinBox::editingFinished, this, &FrameRuleBox::edited);
    for (QComboBox *combo : {ComboLengthSize, ComboByteOrder})
        connect(combo, &QComboBox::activated, this, &FrameRuleBox::edited);
    for (QLineEdit *box : {TextFrameTerminator, TextFrameHeader})
        connect(box, &QLineEdit::editingFinished, this, &FrameRuleBox::edited);
    showRule();
}

QLabel *FrameRuleBox::addLabel(const QString &text, const char *name, const QRect &geometry)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}

void FrameRuleBox::setRule(const FrameRule &rule)
{
    m_rule = rule.bounded();
    showRule();
}

void FrameRuleBox::showRule()
{
    m_showing = true;
    ComboFrameKind->setCurrentIndex(m_rule.kind);
    TextFrameTerminator->setText(FrameRule::hexOfBytes(m_rule.terminator));
    TextFrameHeader->setText(FrameRule::hexOfBytes(m_rule.header));
    SpinFrameLength->setValue(m_rule.fixedLength);
    SpinLengthOffset->setValue(m_rule.lengthOffset);
    ComboLengthSize->setCurrentIndex(m_rule.lengthSize == 4 ? 2 : m_rule.lengthSize - 1);
    ComboByteOrder->setCurrentIndex(int(m_rule.byteOrder));
    SpinLengthAddend->setValue(m_rule.lengthAddend);
    SpinFrameMax->setValue(m_rule.maxLength);
    CheckFrameGap->setChecked(m_rule.showGap);
    enableForKind();
    m_showing = false;
}

// The gap box serves both gap kinds: whole milliseconds, or character times in halves.
void FrameRuleBox::enableForKind()
{
    const auto kind = FrameRule::Kind(ComboFrameKind->currentIndex());
    const bool characters = kind == FrameRule::GapCharacters;
    SpinFrameGap->setDecimals(characters ? 1 : 0);
    SpinFrameGap->setSingleStep(characters ? 0.5 : 1);
    SpinFrameGap->setRange(characters ? 1.0 : FrameRule::LowestGap, characters ? 100.0 : FrameRule::HighestGap);
    SpinFrameGap->setValue(characters ? m_rule.gapCharacters : m_rule.gapMilliseconds);
    LabelFrameGapUnit->setText(characters ? tr("字符") : tr("毫秒"));
    SpinFrameGap->setEnabled(kind == FrameRule::GapMilliseconds || characters);
    TextFrameTerminator->setEnabled(kind == FrameRule::Terminator);
    TextFrameHeader->setEnabled(kind == FrameRule::FixedLength || kind == FrameRule::LengthField);
    SpinFrameLength->setEnabled(kind == FrameRule::FixedLength);
    for (QWidget *field : {static_cast<QWidget *>(SpinLengthOffset), static_cast<QWidget *>(ComboLengthSize),
                           static_cast<QWidget *>(ComboByteOrder), static_cast<QWidget *>(SpinLengthAddend)})
        field->setEnabled(kind == FrameRule::LengthField);
    SpinFrameMax->setEnabled(kind != FrameRule::Default && kind != FrameRule::FixedLength);
}

bool FrameRuleBox::readHex(QLineEdit *box, QByteArray &bytes)
{
    bool ok = false;
    const QByteArray read = FrameRule::bytesOfHex(box->text(), &ok);
    if (!ok || (box == TextFrameTerminator && read.isEmpty())) {
        // The message takes the focus, which would finish the edit again.
        m_refusing = true;
        ModuleFun::ShowMessage(BadHex.arg(FrameRule::LongestPattern), ModuleFun::AlignCentre);
        m_refusing = false;
        box->setFocus();
        return false;
    }
    bytes = read;
    return true;
}

void FrameRuleBox::edited()
{
    if (m_showing || m_refusing)
        return;
    FrameRule rule = m_rule;
    const auto kind = FrameRule::Kind(ComboFrameKind->currentIndex());
    // The gap box still shows the old kind's unit when the kind was just changed.
    if (kind == m_rule.kind && kind == FrameRule::GapCharacters)
        rule.gapCharacters = SpinFrameGap->value();
    else if (kind == m_rule.kind && kind == FrameRule::GapMilliseconds)
        rule.gapMilliseconds = qRound(SpinFrameGap->value());
    rule.kind = kind;
    if (TextFrameTerminator->isEnabled() && !readHex(TextFrameTerminator, rule.terminator))
        return;
    if (TextFrameHeader->isEnabled() && !readHex(TextFrameHeader, rule.header))
        return;
    rule.fixedLength = SpinFrameLength->value();
    rule.lengthOffset = SpinLengthOffset->value();
    rule.lengthSize = LengthSizes[qMax(0, ComboLengthSize->currentIndex())];
    rule.byteOrder = FrameRule::ByteOrder(ComboByteOrder->currentIndex());
    rule.lengthAddend = SpinLengthAddend->value();
    rule.maxLength = SpinFrameMax->value();
    rule.showGap = CheckFrameGap->isChecked();
    rule = rule.bounded();
    const bool changed = rule != m_rule;
    m_rule = rule;
    showRule();
    if (changed)
        emit ruleChanged(m_rule);
}

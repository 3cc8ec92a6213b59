// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "linesettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace {

QString settingsString(const QComboBox *baud, const QComboBox *parity, const QComboBox *dataBits,
                       const QComboBox *stopBits)
{
    return LineSettings::settingsString(baud->currentText(), parity->currentText(),
                                        dataBits->currentText(), stopBits->currentText());
}

qint16 periodOf(const QComboBox *list)
{
    return qint16(std::lround(list->currentText().trimmed().toDouble()));
}

} // namespace

const std::array<FormMain::Setting, FormMain::SettingCount> &FormMain::Fun_Settings()
{
    using F = FormMain;
    using S = SysData;
    static const std::array<Setting, SettingCount> settings = {{
        {Setting::Port, &S::OutPort, &F::ComboComOutput, nullptr, &F::Sub_ComOutputPort},
        {Setting::Port, &S::InPort, &F::ComboComInput, nullptr, &F::Sub_ComInputPort},
        {Setting::ListIndex, &S::IOState, &F::ComboComIOState, nullptr, &F::ComboComIOState_Click},
        {Setting::ListIndex, &S::OutSetB, &F::ComboComOutSetB, nullptr, &F::Sub_ComOutSet},
        {Setting::ListIndex, &S::OutSetP, &F::ComboComOutSetP, nullptr, &F::Sub_ComOutSet},
        {Setting::ListIndex, &S::OutSetD, &F::ComboComOutSetD, nullptr, &F::Sub_ComOutSet},
        {Setting::ListIndex, &S::OutSetS, &F::ComboComOutSetS, nullptr, &F::Sub_ComOutSet},
        {Setting::ListIndex, &S::OutHand, &F::ComboComOutHand, nullptr, &F::ComboComOutHand_Click},
        {Setting::ListIndex, &S::InSetB, &F::ComboComInSetB, nullptr, &F::Sub_ComInSet},
        {Setting::ListIndex, &S::InSetP, &F::ComboComInSetP, nullptr, &F::Sub_ComInSet},
        {Setting::ListIndex, &S::InSetD, &F::ComboComInSetD, nullptr, &F::Sub_ComInSet},
        {Setting::ListIndex, &S::InSetS, &F::ComboComInSetS, nullptr, &F::Sub_ComInSet},
        {Setting::ListIndex, &S::InHand, &F::ComboComInHand, nullptr, &F::ComboComInHand_Click},
        {Setting::ListIndex, &S::ComFormat, &F::ComboComFormat, nullptr, &F::ComboComFormat_Click},
        {Setting::CheckBox, &S::ComAuto, nullptr, &F::CheckComAuto, &F::CheckComAuto_Click},
        {Setting::ListIndex, &S::ComTime, &F::ComboComTime, nullptr, &F::ComboComTime_Click},
        {Setting::CheckBox, &S::SaveInfo, nullptr, &F::CheckSaveInfo, &F::CheckSaveInfo_Click},
    }};
    return settings;
}

QWidget *FormMain::Fun_SettingControl(const Setting &setting) const
{
    if (setting.list)
        return this->*setting.list;
    return this->*setting.box;
}

// A custom rate of the line window stands in for the list's; one port serving both
// ways takes the receiving port's.
void FormMain::Sub_ComOutSet()
{
    const QString &baud = intComOutPort == intComInPort ? m_lineOptions.inBaud : m_lineOptions.outBaud;
    strComOutSet = LineOptions::withBaud(
        settingsString(ComboComOutSetB, ComboComOutSetP, ComboComOutSetD, ComboComOutSetS), baud);
}

void FormMain::Sub_ComInSet()
{
    strComInSet = LineOptions::withBaud(
        settingsString(ComboComInSetB, ComboComInSetP, ComboComInSetD, ComboComInSetS),
        m_lineOptions.inBaud);
}

void FormMain::ComboComOutHand_Click()
{
    intComOutHand = qint16(ComboComOutHand->currentIndex());
}

void FormMain::ComboComInHand_Click()
{
    intComInHand = qint16(ComboComInHand->currentIndex());
}

void FormMain::ComboComFormat_Click()
{
    intComFormat = qint16(ComboComFormat->currentIndex());
    // A port left open after a single send shows what arrives in the new format.
    m_engine.setFormat(intComFormat);
}

void FormMain::ComboComTime_Click()
{
    intComTime = periodOf(ComboComTime);
}

void FormMain::ComboComIOState_Click()
{
    intIOState = qint16(ComboComIOState->currentIndex());
    const bool answering = intIOState == IOAnswer;
    LabelComInCommand->setEnabled(answering);
    TextComInCommand->setEnabled(answering);
}

void FormMain::CheckComAuto_Click()
{
    const qint16 value = Fun_ClickedValue(CheckComAuto);
    if (value == CheckChecked) {
        ComboComTime->setEnabled(true);
        blnComAuto = true;
    } else if (value == CheckUnchecked) {
        ComboComTime->setEnabled(false);
        blnComAuto = false;
    }
    intComTime = periodOf(ComboComTime);
}

void FormMain::Sub_OptionState(bool blnOS)
{
    for (const Setting &setting : Fun_Settings())
        Fun_SettingControl(setting)->setEnabled(blnOS);
}

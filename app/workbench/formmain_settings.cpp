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

void FormMain::Sub_ComOutSet()
{
    strComOutSet = settingsString(ComboComOutSetB, ComboComOutSetP, ComboComOutSetD,
                                  ComboComOutSetS);
}

void FormMain::Sub_ComInSet()
{
    strComInSet = settingsString(ComboComInSetB, ComboComInSetP, ComboComInSetD, ComboComInSetS);
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
    for (QWidget *control : m_lockedControls)
        control->setEnabled(blnOS);
}

// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace {

// "9600,N,8,1": baud, parity letter, data bits, stop bits.
QString settingsString(const QComboBox *baud, const QComboBox *parity, const QComboBox *dataBits,
                       const QComboBox *stopBits)
{
    return baud->currentText().trimmed() + QLatin1Char(',') + parity->currentText().left(1)
        + QLatin1Char(',') + dataBits->currentText().trimmed() + QLatin1Char(',')
        + stopBits->currentText().trimmed();
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

// OrmelXPButton control library. Licensed under the MIT licence.
#include "helpbutton.h"

HelpButton::HelpButton(QWidget *parent)
    : TitleButton(parent)
{
    setAccessibleName(tr("帮助"));
    showLook(Look::Normal);
    lockSize();
}

QString HelpButton::imageName(Look look) const
{
    return stateImageName(look, QStringLiteral("HELP-"));
}

void HelpButton::ChangeImage(QString &strImage)
{
    setBackgroundFace(strImage);
}

void HelpButton::initProperties()
{
    setEnabledProperty(true);
}

void HelpButton::readProperties(const Component::PropertyBag &bag)
{
    readEnabled(bag);
}

void HelpButton::writeProperties(Component::PropertyBag &bag) const
{
    writeEnabled(bag);
}

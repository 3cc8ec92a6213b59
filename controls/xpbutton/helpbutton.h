// OrmelXPButton control library. Licensed under the MIT licence.
#pragma once

#include "titlebutton.h"

// The help button of a title strip. It has no disabled face: disabled, it looks the same.
class XPBUTTON_EXPORT HelpButton : public TitleButton
{
    Q_OBJECT
    Q_CLASSINFO("Interface", "ChangeImage,Enabled")
    Q_CLASSINFO("Events", "1:Click,2:MouseOut,3:MouseDown,4:MouseMove,5:MouseUp")

public:
    explicit HelpButton(QWidget *parent = nullptr);

    // Takes the whole resource name, such as "HELP-MOUSEOVER".
    void ChangeImage(QString &strImage) override;

    void initProperties() override;
    void readProperties(const Component::PropertyBag &bag) override;
    void writeProperties(Component::PropertyBag &bag) const override;

protected:
    QString imageName(Look look) const override;
};

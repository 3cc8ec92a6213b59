// OrmelXPButton control library. Licensed under the MIT licence.
#pragma once

#include "xpcontrol.h"

// A square title-strip button of fixed size whose face is a whole state bitmap, set as
// its background at natural size from the top-left corner.
class XPBUTTON_EXPORT TitleButton : public XPControl
{
    Q_OBJECT

public:
    // 315 x 315 twips.
    static const int Side;

    QSize sizeHint() const override;

protected:
    explicit TitleButton(QWidget *parent);

    // Sets the width, then the height, to the fixed side, and keeps them there.
    void lockSize();
    // Makes the named bitmap the face; throws when the library has none of that name.
    void setBackgroundFace(const QString &name);

    void resized() override;
};

// OrmelXPButton control library. Licensed under the MIT licence.
#pragma once

#include "titlebutton.h"
#include "xpbuttonevents.h"

// The close, maximise, minimise and restore button of a title strip. Its face is named
// by its type and a state word; a disabled button shows its type's disabled face
// whatever state is asked for.
class XPBUTTON_EXPORT TopButton : public TitleButton
{
    Q_OBJECT
    Q_PROPERTY(ButtonType TopButtonType READ TopButtonType WRITE setTopButtonType)
    Q_CLASSINFO("Interface", "ChangeImage,Enabled,TopButtonType")
    Q_CLASSINFO("Description:TopButtonType", "设置标题栏按钮的类型。")
    Q_CLASSINFO("Events", "1:Click,2:MouseOut,3:MouseDown,4:MouseMove,5:MouseUp")

public:
    enum ButtonType : int {
        CloseButton = XPButton::CloseButton,
        MaximumButton = XPButton::MaximumButton,
        MinimumButton = XPButton::MinimumButton,
        RestoreButton = XPButton::RestoreButton,
    };
    Q_ENUM(ButtonType)

    explicit TopButton(QWidget *parent = nullptr);

    // Any value is held; one outside the enumeration has no faces, so the face change
    // that follows fails and the caller hears of it.
    ButtonType TopButtonType() const { return m_type; }
    void setTopButtonType(ButtonType type);

    // Takes a state word ("NORMAL", "MOUSEOVER", "MOUSEDOWN"); when disabled the
    // caller's word is overwritten with "DISABLED".
    void ChangeImage(QString &strImage) override;

    void initProperties() override;
    void readProperties(const Component::PropertyBag &bag) override;
    void writeProperties(Component::PropertyBag &bag) const override;

protected:
    QString imageName(Look look) const override;
    // A type without faces keeps the face it has: the pointer, the poll and showing
    // have no caller to report a missing bitmap to.
    void showLook(Look look) override;

private:
    void holdType(int type);
    bool typeHasFaces() const;

    ButtonType m_type = CloseButton;
};

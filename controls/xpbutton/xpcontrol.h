// OrmelXPButton control library. Licensed under the MIT licence.
#pragma once

#include "mouseleavepoll.h"
#include "xpbutton_export.h"

#include <control.h>

#include <QPixmap>

// What the library's three buttons share: the persistent face they draw into, the
// hover and press looks driven by the pointer, the mouse-leave poll, the mouse events
// raised into the host before the look changes, and the Enabled property.
class XPBUTTON_EXPORT XPControl : public Component::Control
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)
    Q_CLASSINFO("Description:Enabled", "返回/设置一个值，决定一个对象是否响应用户生成的事件。")

public:
    enum class Look { Normal, Hover, Pressed };

    // The dispatch ids a class raises its mouse events under.
    struct MouseEventIds
    {
        int click;
        int mouseOut;
        int mouseDown;
        int mouseMove;
        int mouseUp;
    };

    // The control window's own enabled state, not that of the window hosting it.
    bool Enabled() const;
    void setEnabledProperty(bool enabled);

    // Composes the face from the named state bitmap. Throws Component::RuntimeError
    // when there is no such bitmap; the face then stays as it was.
    Q_INVOKABLE virtual void ChangeImage(QString &strImage) = 0;

protected:
    XPControl(const MouseEventIds &ids, QWidget *parent);

    // The argument ChangeImage takes for a look.
    virtual QString imageName(Look look) const = 0;
    // A look's state bitmap name after prefix: BUTTON-MOUSEOVER, HELP-NORMAL; the title
    // buttons' type faces put their type before the bare state name.
    static QString stateImageName(Look look, const QString &prefix = QString());
    // Changes the look on the control's own account (pointer, focus, timer, showing).
    virtual void showLook(Look look);
    // Changes the look for a caller, which hears of any failure.
    void applyLook(Look look);

    void readEnabled(const Component::PropertyBag &bag);
    void writeEnabled(Component::PropertyBag &bag) const;

    // A surface of the control's size and the screen's pixel ratio, to compose a face on.
    QPixmap blankSurface() const;
    void setSurface(const QPixmap &surface);

    void shown() override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Component::EventArgs mouseArgs(const QMouseEvent *event, Qt::MouseButtons buttons) const;
    void pointerLeft();

    MouseEventIds m_ids;
    MouseLeavePoll m_leavePoll;
    QPixmap m_surface;
};

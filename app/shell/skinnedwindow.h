// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <propertybag.h>

#include <QWidget>

#include <functional>

namespace Component {
class ControlSite;
}

// A window with the program's own look: frameless, fixed size, background
// RGB(236, 233, 218), the optional title-strip parts found by name (imgTitleMain,
// imgTitleIcon, lblTitle, TopButtonClose, TopButtonMin, HelpButton, ShapeSkin), moved by
// dragging the title strip, and skinned again on every activation. Closing unloads it.
class SkinnedWindow : public QWidget
{
    Q_OBJECT

public:
    // name is the window's objectName, caption its window title, clientSize in pixels.
    SkinnedWindow(const QString &name, const QString &caption, const QSize &clientSize,
                  QWidget *parent = nullptr);
    ~SkinnedWindow() override;

    // imgTitleMain, imgTitleIcon, lblTitle with the given text, and the frame line ShapeSkin.
    void addTitleStrip(const QString &title);
    // The frame line ShapeSkin alone, for a window without a title strip.
    void addFrameLine();
    // TopButtonClose (tooltip "关闭"); a click unloads the window.
    Component::ControlSite *addCloseButton();

    // Places a control created by identifier, with the properties this window stores
    // for it. Throws Component::RuntimeError when the control cannot be created.
    // The key a placed control's stored property has in this window's data: the
    // program's stored windows hold their keys in lower case ("caption").
    static QString storedKey(const char *key);
    Component::ControlSite *placeControl(const QString &identifier, const QString &name,
                                         const QRect &geometry,
                                         const Component::PropertyBag &stored,
                                         const QString &toolTip = QString());
    // An OrmelXPButton.Button with its stored caption; onClick runs on Click, and on
    // KeyPress with KeyAscii 13 when enterClicks is set.
    Component::ControlSite *placeButton(const QString &name, const QRect &geometry,
                                        const QString &caption, const QString &toolTip,
                                        std::function<void()> onClick, bool enterClicks = true);

    // Auxiliary windows stay out of the task bar; the main window sets this.
    void setShownInTaskBar(bool shown);

    void centerOnScreen();
    // Shows the window modally and returns once it has been unloaded; timers and
    // serial events of other windows keep being delivered meanwhile.
    void showModal();

signals:
    void activated();

protected:
    // Runs on every activation; the default applies the window skin.
    virtual void onActivate();

    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The title-strip parts that move the window when pressed.
    void makeDragHandle(QWidget *part);
};

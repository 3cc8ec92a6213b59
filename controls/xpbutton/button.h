// OrmelXPButton control library. Licensed under the MIT licence.
#pragma once

#include "xpcontrol.h"

// The skinned push button: a nine-slice face stretched from a small state bitmap with
// the caption centred on it. Keys are passed to the host unchanged; the button itself
// turns no key into a click.
class XPBUTTON_EXPORT Button : public XPControl
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_CLASSINFO("Interface", "ChangeImage,Caption,Enabled")
    Q_CLASSINFO("Description:Caption", "返回/设置对象的标题栏中的文本。")
    Q_CLASSINFO("Events", "1:Click,2:KeyDown,3:KeyPress,4:KeyUp,5:MouseOut,6:MouseDown,7:MouseMove,8:MouseUp")

public:
    explicit Button(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &vNewValue);

    void ChangeImage(QString &strImage) override;

    QSize sizeHint() const override;

    void initProperties() override;
    void readProperties(const Component::PropertyBag &bag) override;
    void writeProperties(Component::PropertyBag &bag) const override;

protected:
    QString imageName(Look look) const override;

    void resized() override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void drawCaption(QPainter &painter) const;
    void raiseKeyEvent(int dispatchId, const QKeyEvent *event);

    QString m_caption;
};

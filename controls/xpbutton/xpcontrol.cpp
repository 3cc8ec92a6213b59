// OrmelXPButton control library. Licensed under the MIT licence.
#include "xpcontrol.h"

#include "inputcodes.h"
#include "xpbuttonevents.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr bool EnabledDefault = true;

// A left button alone asks for the pressed look; any other buttons leave the hover look.
bool leftAlone(const Component::EventArgs &args)
{
    return args.at(0).value<qint16>() == InputCodes::LeftButton;
}
} // namespace

XPControl::XPControl(const MouseEventIds &ids, QWidget *parent)
    : Component::Control(parent)
    , m_ids(ids)
    , m_leavePoll(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    connect(&m_leavePoll, &MouseLeavePoll::pointerLeft, this, &XPControl::pointerLeft);
}

bool XPControl::Enabled() const
{
    return !testAttribute(Qt::WA_ForceDisabled);
}

void XPControl::setEnabledProperty(bool enabled)
{
    setEnabled(enabled);
    applyLook(Look::Normal);
    notifyPropertyChanged(XPButton::EnabledKey);
}

void XPControl::showLook(Look look)
{
    applyLook(look);
}

QString XPControl::stateImageName(Look look, const QString &prefix)
{
    switch (look) {
    case Look::Hover:
        return prefix + QLatin1String("MOUSEOVER");
    case Look::Pressed:
        return prefix + QLatin1String("MOUSEDOWN");
    case Look::Normal:
        break;
    }
    return prefix + QLatin1String("NORMAL");
}

void XPControl::applyLook(Look look)
{
    QString name = imageName(look);
    ChangeImage(name);
}

void XPControl::readEnabled(const Component::PropertyBag &bag)
{
    setEnabledProperty(bag.read<bool>(XPButton::EnabledKey, EnabledDefault));
}

void XPControl::writeEnabled(Component::PropertyBag &bag) const
{
    bag.write<bool>(XPButton::EnabledKey, Enabled(), EnabledDefault);
}

QPixmap XPControl::blankSurface() const
{
    const qreal ratio = devicePixelRatioF();
    QPixmap surface(size().expandedTo(QSize(1, 1)) * ratio);
    surface.setDevicePixelRatio(ratio);
    return surface;
}

void XPControl::setSurface(const QPixmap &surface)
{
    m_surface = surface;
    update();
}

void XPControl::shown()
{
    showLook(Look::Normal);
}

void XPControl::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter(this).drawPixmap(0, 0, m_surface);
}

Component::EventArgs XPControl::mouseArgs(const QMouseEvent *event, Qt::MouseButtons buttons) const
{
    const QPointF position = event->position();
    return {QVariant::fromValue(InputCodes::mouseButtons(buttons)),
            QVariant::fromValue(InputCodes::shift(event->modifiers())),
            QVariant::fromValue(float(position.x())), QVariant::fromValue(float(position.y()))};
}

void XPControl::mouseMoveEvent(QMouseEvent *event)
{
    m_leavePoll.start();
    if (MouseLeavePoll::isOutside(event->position(), size()))
        return;
    Component::EventArgs args = mouseArgs(event, event->buttons());
    raiseEvent(m_ids.mouseMove, args);
    showLook(leftAlone(args) ? Look::Pressed : Look::Hover);
}

void XPControl::mousePressEvent(QMouseEvent *event)
{
    Component::EventArgs args = mouseArgs(event, event->button());
    raiseEvent(m_ids.mouseDown, args);
    if (leftAlone(args))
        showLook(Look::Pressed);
}

void XPControl::mouseReleaseEvent(QMouseEvent *event)
{
    Component::EventArgs args = mouseArgs(event, event->button());
    raiseEvent(m_ids.mouseUp, args);
    showLook(Look::Normal);
    if (event->button() == Qt::LeftButton && !MouseLeavePoll::isOutside(event->position(), size()))
        raiseEvent(m_ids.click);
}

void XPControl::pointerLeft()
{
    raiseEvent(m_ids.mouseOut);
    showLook(Look::Normal);
}

// OrmelXPButton control library. Licensed under the MIT licence.
#include "button.h"

#include "inputcodes.h"
#include "nineslice.h"
#include "resourcebitmap.h"
#include "xpbuttonevents.h"

#include <twips.h>

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>

namespace {
const QColor EnabledCaption(0, 0, 0);
const QColor DisabledCaption(128, 128, 128);
// The size a new button gets in a designer: 1050 x 375 twips.
constexpr QSize DesignSize(Component::pixelsFromTwips(1050), Component::pixelsFromTwips(375));

constexpr XPControl::MouseEventIds ButtonMouseEvents{XPButton::ButtonClick, XPButton::ButtonMouseOut,
                                                     XPButton::ButtonMouseDown, XPButton::ButtonMouseMove,
                                                     XPButton::ButtonMouseUp};
} // namespace

Button::Button(QWidget *parent)
    : XPControl(ButtonMouseEvents, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    showLook(Look::Normal);
}

void Button::setCaption(const QString &vNewValue)
{
    m_caption = vNewValue;
    setAccessibleName(m_caption);
    applyLook(Look::Normal);
    notifyPropertyChanged(XPButton::CaptionKey);
}

QString Button::imageName(Look look) const
{
    return stateImageName(look, QStringLiteral("BUTTON-"));
}

void Button::ChangeImage(QString &strImage)
{
    const QImage imgBack = ResourceBitmap::load(strImage);
    QPixmap surface = blankSurface();
    QPainter painter(&surface);
    NineSlice::draw(painter, rect(), imgBack);
    drawCaption(painter);
    painter.end();
    setSurface(surface);
}

void Button::drawCaption(QPainter &painter) const
{
    if (m_caption.isEmpty())
        return;
    const QFontMetricsF metrics(font(), painter.device());
    const QPointF origin((width() - metrics.horizontalAdvance(m_caption)) / 2,
                         (height() - metrics.height()) / 2);
    painter.setFont(font());
    painter.setPen(Enabled() ? EnabledCaption : DisabledCaption);
    painter.drawText(origin + QPointF(0, metrics.ascent()), m_caption);
}

QSize Button::sizeHint() const
{
    return DesignSize;
}

void Button::initProperties()
{
    setCaption(ambientDisplayName());
    setEnabledProperty(true);
}

void Button::readProperties(const Component::PropertyBag &bag)
{
    m_caption = bag.read<QString>(XPButton::CaptionKey, QString());
    setAccessibleName(m_caption);
    readEnabled(bag);
}

void Button::writeProperties(Component::PropertyBag &bag) const
{
    bag.write<QString>(XPButton::CaptionKey, m_caption);
    writeEnabled(bag);
}

void Button::resized()
{
    showLook(Look::Normal);
}

void Button::focusInEvent(QFocusEvent *event)
{
    XPControl::focusInEvent(event);
    showLook(Look::Hover);
}

void Button::focusOutEvent(QFocusEvent *event)
{
    XPControl::focusOutEvent(event);
    showLook(Look::Normal);
}

void Button::raiseKeyEvent(int dispatchId, const QKeyEvent *event)
{
    Component::EventArgs args{QVariant::fromValue(InputCodes::keyCode(event->key(), event->modifiers())),
                              QVariant::fromValue(InputCodes::shift(event->modifiers()))};
    raiseEvent(dispatchId, args);
}

void Button::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    raiseKeyEvent(XPButton::ButtonKeyDown, event);
    if (const auto keyAscii = InputCodes::keyAscii(event->text())) {
        Component::EventArgs args{QVariant::fromValue(*keyAscii)};
        raiseEvent(XPButton::ButtonKeyPress, args);
    }
}

void Button::keyReleaseEvent(QKeyEvent *event)
{
    event->accept();
    // A held key repeats its key-down; the key-up comes once, when it is let go.
    if (!event->isAutoRepeat())
        raiseKeyEvent(XPButton::ButtonKeyUp, event);
}

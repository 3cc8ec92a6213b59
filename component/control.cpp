// Velmora component layer. Licensed under the MIT licence.
#include "control.h"

#include <QShowEvent>

namespace Component {

Control::Control(QWidget *parent)
    : QWidget(parent)
{
}

Control::~Control()
{
    emit aboutToBeDestroyed();
}

void Control::setSite(Site *site)
{
    m_site = site;
}

QString Control::ambientDisplayName() const
{
    return m_site ? m_site->displayName() : QString();
}

void Control::notifyPropertyChanged(const QString &propertyName)
{
    if (m_site)
        m_site->propertyChanged(propertyName);
}

void Control::raiseEvent(int dispatchId, EventArgs &args)
{
    if (m_site)
        m_site->raiseEvent(dispatchId, args);
}

void Control::raiseEvent(int dispatchId)
{
    EventArgs none;
    raiseEvent(dispatchId, none);
}

void Control::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    resized();
}

void Control::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        shown();
}

} // namespace Component

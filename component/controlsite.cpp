// Velmora component layer. Licensed under the MIT licence.
#include "controlsite.h"

#include "componentloader.h"
#include "control.h"
#include "twips.h"

namespace Component {

ControlSite::ControlSite(Control *control, const QString &name, const PropertyBag &stored)
    : QObject(control)
    , m_control(control)
    , m_name(name)
    , m_stored(stored)
{
}

ControlSite *ControlSite::place(QWidget *host, const QString &identifier, const QString &name,
                                const QRect &geometry, const PropertyBag &stored)
{
    Control *control = ComponentLoader::create(identifier, host);
    control->setObjectName(name);
    auto *site = new ControlSite(control, name, stored);
    site->setObjectName(name + QStringLiteral("Site"));
    control->setSite(site);
    if (stored.isEmpty())
        control->initProperties();
    else
        control->readProperties(stored);
    control->setGeometry(geometry);
    site->m_stored.write(QString::fromLatin1(ExtentXKey), twipsFromPixels(geometry.width()));
    site->m_stored.write(QString::fromLatin1(ExtentYKey), twipsFromPixels(geometry.height()));
    return site;
}

ControlSite *ControlSite::of(const QWidget *control)
{
    return control ? control->findChild<ControlSite *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void ControlSite::saveProperties()
{
    m_control->writeProperties(m_stored);
    m_stored.write(QString::fromLatin1(ExtentXKey), twipsFromPixels(m_control->width()));
    m_stored.write(QString::fromLatin1(ExtentYKey), twipsFromPixels(m_control->height()));
}

void ControlSite::on(int dispatchId, Handler handler)
{
    m_handlers.insert(dispatchId, std::move(handler));
}

QString ControlSite::displayName() const
{
    return m_name;
}

void ControlSite::propertyChanged(const QString &propertyName)
{
    emit controlPropertyChanged(propertyName);
}

void ControlSite::raiseEvent(int dispatchId, EventArgs &args)
{
    const auto handler = m_handlers.constFind(dispatchId);
    if (handler != m_handlers.constEnd())
        (*handler)(args);
}

} // namespace Component

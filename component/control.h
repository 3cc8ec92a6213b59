// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include "component_export.h"
#include "propertybag.h"
#include "site.h"

#include <QWidget>

namespace Component {

// Base of every control created by identifier. The host calls the lifecycle in this
// order: construction (created), setSite, then either initProperties (a new instance
// placed with nothing stored) or readProperties (stored properties loaded); later
// writeProperties (properties saved). Resize and show arrive as resized() and shown();
// a control does its destroy-time work in its own destructor.
class COMPONENT_EXPORT Control : public QWidget
{
    Q_OBJECT

public:
    explicit Control(QWidget *parent = nullptr);
    ~Control() override;

    void setSite(Site *site);
    Site *site() const { return m_site; }

    virtual void initProperties() {}
    virtual void readProperties(const PropertyBag &bag) { Q_UNUSED(bag) }
    virtual void writeProperties(PropertyBag &bag) const { Q_UNUSED(bag) }

signals:
    void aboutToBeDestroyed();

protected:
    // The host's display name for this instance, empty without a site.
    QString ambientDisplayName() const;
    void notifyPropertyChanged(const QString &propertyName);
    void raiseEvent(int dispatchId, EventArgs &args);
    void raiseEvent(int dispatchId);

    virtual void resized() {}
    virtual void shown() {}

    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    Site *m_site = nullptr;
};

} // namespace Component

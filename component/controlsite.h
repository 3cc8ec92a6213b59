// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include "component_export.h"
#include "propertybag.h"
#include "site.h"

#include <QHash>
#include <QObject>
#include <QRect>

#include <functional>

class QWidget;

namespace Component {

class Control;

// The keys under which a host stores the extent of each control it places, in twips.
inline constexpr char ExtentXKey[] = "_extentx";
inline constexpr char ExtentYKey[] = "_extenty";

// The host side of one placed control: it creates the control by identifier, keeps the
// control's stored properties as the host window holds them (with the host's own
// "_extentx" and "_extenty"), and runs the handlers bound to the control's event ids.
// It lives as long as its control.
class COMPONENT_EXPORT ControlSite : public QObject, public Site
{
    Q_OBJECT

public:
    using Handler = std::function<void(EventArgs &args)>;

    // Creates the control on `host` with the given name and geometry (pixels). With
    // stored properties the control loads them; without, it is a new instance.
    // Throws RuntimeError when the identifier cannot be created.
    static ControlSite *place(QWidget *host, const QString &identifier, const QString &name,
                              const QRect &geometry, const PropertyBag &stored = {});

    static ControlSite *of(const QWidget *control);

    Control *control() const { return m_control; }
    PropertyBag &storedProperties() { return m_stored; }
    // Asks the control to write its properties into the store, with the extent beside them.
    void saveProperties();

    void on(int dispatchId, Handler handler);

    QString displayName() const override;
    void propertyChanged(const QString &propertyName) override;
    void raiseEvent(int dispatchId, EventArgs &args) override;

signals:
    void controlPropertyChanged(const QString &propertyName);

private:
    ControlSite(Control *control, const QString &name, const PropertyBag &stored);

    Control *m_control;
    QString m_name;
    PropertyBag m_stored;
    QHash<int, Handler> m_handlers;
};

} // namespace Component

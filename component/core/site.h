// Velmora component layer. Licensed under the MIT licence.
#pragma once

#include <QString>
#include <QVariantList>

namespace Component {

// Arguments of a raised event, by reference: a handler may change them and the
// control sees the change when the handler returns.
using EventArgs = QVariantList;

// What a host offers each control it places: the control's name on the host window,
// a place to hear of changed properties, and the sink for raised events.
class Site
{
public:
    virtual ~Site() = default;

    virtual QString displayName() const = 0;
    virtual void propertyChanged(const QString &propertyName) = 0;
    // Runs the host's handler for the event synchronously, inside the raising call.
    virtual void raiseEvent(int dispatchId, EventArgs &args) = 0;
};

} // namespace Component

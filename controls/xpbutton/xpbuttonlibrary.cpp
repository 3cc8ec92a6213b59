// OrmelXPButton control library. Licensed under the MIT licence.
// The library's component server: its description, its three classes and the four
// entry points through which hosts register the library and create its controls.
#include "button.h"
#include "helpbutton.h"
#include "topbutton.h"
#include "xpbuttonevents.h"

#include <libraryserver.h>

namespace {

template<typename T>
Component::Control *createControl(QWidget *parent)
{
    return new T(parent);
}

Component::LibraryServer &xpButtonServer()
{
    static Component::LibraryServer server(QStringLiteral("Ormel ActiveX XPButton"),
                                           {
                                               {QString::fromLatin1(XPButton::ButtonIdentifier), createControl<Button>},
                                               {QString::fromLatin1(XPButton::TopButtonIdentifier), createControl<TopButton>},
                                               {QString::fromLatin1(XPButton::HelpButtonIdentifier), createControl<HelpButton>},
                                           });
    return server;
}

} // namespace

COMPONENT_LIBRARY_ENTRY_POINTS(xpButtonServer)

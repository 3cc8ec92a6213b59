// OrmelNumberLED control library. Licensed under the MIT licence.
#include "numberled.h"

#include <libraryserver.h>

namespace {

Component::LibraryServer &server()
{
    static Component::LibraryServer library(
        QStringLiteral("Ormel ActiveX NumberLED"),
        {{QString::fromLatin1(OrmelNumberLED::NumberLEDIdentifier),
          [](QWidget *parent) -> Component::Control * { return new NumberLED(parent); }}});
    return library;
}

} // namespace

COMPONENT_LIBRARY_ENTRY_POINTS(server)

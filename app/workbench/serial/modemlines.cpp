// Velmora workbench. Licensed under the MIT licence.
#include "modemlines.h"

#include "serialline.h"

namespace {

ModemLines::Maker &maker()
{
    static ModemLines::Maker made;
    return made;
}

} // namespace

std::unique_ptr<ModemLines> ModemLines::of(QSerialPort &port)
{
    return maker() ? maker()(port) : SerialLine::modemLines(port);
}

void ModemLines::setMaker(Maker made)
{
    maker() = std::move(made);
}

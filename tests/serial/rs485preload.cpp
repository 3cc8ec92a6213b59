// Velmora tests. Licensed under the MIT licence.
#include "syscalldouble.h"

#include <QtGlobal>

#include <cstdlib>

// The driver double preloaded into the program itself (LD_PRELOAD), to look at the line
// window as a user of an RS-485 UART would: VELMORA_RS485_DOUBLE names the device it
// plays. Its driver takes RTS after send whatever it is given and caps both delays at
// 30 ms, as some boards do.
namespace {

serial_rs485 boardRewrite(serial_rs485 mode)
{
    if (mode.flags & SER_RS485_ENABLED)
        mode.flags = (mode.flags & ~SER_RS485_RTS_ON_SEND) | SER_RS485_RTS_AFTER_SEND;
    mode.delay_rts_before_send = qMin(mode.delay_rts_before_send, 30u);
    mode.delay_rts_after_send = qMin(mode.delay_rts_after_send, 30u);
    return mode;
}

__attribute__((constructor)) void watchNamedDevice()
{
    if (const char *device = std::getenv("VELMORA_RS485_DOUBLE")) {
        SyscallDouble::Driver driver;
        driver.rewrite = boardRewrite;
        SyscallDouble::watch(QString::fromLocal8Bit(device), driver);
    }
}

} // namespace

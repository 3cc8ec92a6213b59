// Velmora tests. Licensed under the MIT licence.
#include "syscalldouble.h"

#include "steadyclock.h"

#include <QFile>

#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <mutex>
#include <optional>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace SyscallDouble {
namespace {

struct State
{
    std::mutex mutex;
    dev_t device = 0;
    bool watching = false;
    Driver driver;
    bool rtsUp = true;   // an open raises RTS
    int busyReads = 0;   // line status reads left before the transmitter is empty
    std::vector<Call> calls;
};

State &state()
{
    static State s;
    return s;
}

bool watched(int descriptor)
{
    State &s = state();
    if (!s.watching)
        return false;
    struct stat node {};
    return ::fstat(descriptor, &node) == 0 && S_ISCHR(node.st_mode) && node.st_rdev == s.device;
}

void record(Call call)
{
    call.at = steadyNanoseconds();
    call.rtsUp = state().rtsUp;
    state().calls.push_back(std::move(call));
}

template<typename Function>
Function *real(const char *name)
{
    return reinterpret_cast<Function *>(::dlsym(RTLD_NEXT, name));
}

int fail(int error)
{
    errno = error;
    return -1;
}

// The watched device's answer to an ioctl, or nothing to let the system answer.
std::optional<int> answer(unsigned long request, void *argument)
{
    State &s = state();
    const std::lock_guard<std::mutex> lock(s.mutex);
    switch (request) {
    case TIOCGRS485:
        record({Call::GetRs485, 0, {}, {}, {}});
        if (s.driver.rs485Error == ENOTTY)
            return fail(ENOTTY);
        *static_cast<serial_rs485 *>(argument) = s.driver.held;
        return 0;
    case TIOCSRS485: {
        const serial_rs485 asked = *static_cast<serial_rs485 *>(argument);
        record({Call::SetRs485, 0, asked, {}, {}});
        if (s.driver.rs485Error != 0)
            return fail(s.driver.rs485Error);
        s.driver.held = s.driver.rewrite ? s.driver.rewrite(asked) : asked;
        return 0;
    }
    case TIOCMBIS:
    case TIOCMBIC:
        if (!(*static_cast<int *>(argument) & TIOCM_RTS))
            return std::nullopt;
        s.rtsUp = request == TIOCMBIS;
        record({s.rtsUp ? Call::RtsUp : Call::RtsDown, 0, {}, {}, {}});
        return 0;
    case TIOCSERGETLSR:
        record({Call::LineStatus, 0, {}, {}, {}});
        *static_cast<unsigned int *>(argument) = s.busyReads-- > 0 ? 0 : TIOCSER_TEMT;
        return 0;
    default:
        return std::nullopt;
    }
}

} // namespace

void watch(const QString &path, const Driver &driver)
{
    State &s = state();
    const std::lock_guard<std::mutex> lock(s.mutex);
    struct stat node {};
    s.watching = !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &node) == 0;
    s.device = s.watching ? node.st_rdev : 0;
    s.driver = driver;
    s.rtsUp = true;
    s.calls.clear();
}

std::vector<Call> calls()
{
    const std::lock_guard<std::mutex> lock(state().mutex);
    return state().calls;
}

void clearCalls()
{
    const std::lock_guard<std::mutex> lock(state().mutex);
    state().calls.clear();
}

serial_rs485 held()
{
    const std::lock_guard<std::mutex> lock(state().mutex);
    return state().driver.held;
}

bool rtsUp()
{
    const std::lock_guard<std::mutex> lock(state().mutex);
    return state().rtsUp;
}

} // namespace SyscallDouble

// Exported also where the build hides symbols by default: a preloaded copy must be seen.
#define VELMORA_INTERPOSED __attribute__((visibility("default")))

extern "C" {

VELMORA_INTERPOSED int ioctl(int descriptor, unsigned long request, ...) noexcept
{
    va_list arguments;
    va_start(arguments, request);
    void *argument = va_arg(arguments, void *);
    va_end(arguments);
    if (SyscallDouble::watched(descriptor)) {
        if (const std::optional<int> result = SyscallDouble::answer(request, argument))
            return *result;
    }
    static auto *system = SyscallDouble::real<int(int, unsigned long, ...)>("ioctl");
    return system(descriptor, request, argument);
}

VELMORA_INTERPOSED int tcdrain(int descriptor)
{
    static auto *system = SyscallDouble::real<int(int)>("tcdrain");
    const int result = system(descriptor);
    if (SyscallDouble::watched(descriptor)) {
        const std::lock_guard<std::mutex> lock(SyscallDouble::state().mutex);
        SyscallDouble::record({SyscallDouble::Call::Drain, 0, {}, {}, {}});
        SyscallDouble::state().busyReads = SyscallDouble::state().driver.busyLineStatusReads;
    }
    return result;
}

VELMORA_INTERPOSED ssize_t write(int descriptor, const void *bytes, size_t count)
{
    static auto *system = SyscallDouble::real<ssize_t(int, const void *, size_t)>("write");
    const ssize_t result = system(descriptor, bytes, count);
    if (result > 0 && SyscallDouble::watched(descriptor)) {
        const std::lock_guard<std::mutex> lock(SyscallDouble::state().mutex);
        SyscallDouble::record({SyscallDouble::Call::Write, 0, {}, QByteArray(static_cast<const char *>(bytes), result), {}});
    }
    return result;
}

} // extern "C"

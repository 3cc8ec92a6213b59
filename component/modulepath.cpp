// Velmora component layer. Licensed under the MIT licence.
// The one place that knows how the platform names and finds loaded libraries.
#include "modulepath.h"

#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace Component {

QString modulePathOf(const void *address)
{
#ifdef Q_OS_WIN
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS
                                | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module))
        return {};
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return QFileInfo(QString::fromWCharArray(path, int(length))).absoluteFilePath();
#else
    Dl_info info;
    if (!dladdr(address, &info) || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
#endif
}

QString libraryFileName(const QString &libraryName)
{
#if defined(Q_OS_WIN)
    return libraryName + QStringLiteral(".dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("lib") + libraryName + QStringLiteral(".dylib");
#else
    return QStringLiteral("lib") + libraryName + QStringLiteral(".so");
#endif
}

} // namespace Component

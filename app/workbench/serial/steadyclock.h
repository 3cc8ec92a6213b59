// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QtGlobal>

#include <chrono>

// The monotonic clock the line layer stamps sends and arrivals with, in nanoseconds.
inline qint64 steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

// The far end played on a thread of its own while the program's event loop runs. Its
// CPU time is kept, so that a case can take it out of the process's time.
class FarEnd
{
public:
    explicit FarEnd(std::function<void()> work);
    ~FarEnd();
    FarEnd(const FarEnd &) = delete;
    FarEnd &operator=(const FarEnd &) = delete;

    bool done() const { return m_done; }
    // Waits for the thread; the CPU seconds it used.
    double join();

private:
    std::atomic<bool> m_done {false};
    double m_cpuSeconds = 0;
    std::thread m_thread;
};

// Runs the event loop until `done` holds, looking every `pollMs` milliseconds; the loop
// sleeps in between, so the program's own work is all that shows in its CPU time.
// False when `timeoutMs` passed first.
bool runUntil(const std::function<bool()> &done, int pollMs = 1, int timeoutMs = 120000);

#pragma once
// Millisecond pauses of the transport, the poller and the download go through
// here, so tests can run the retry budgets on a virtual clock.

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace platform {

// Sleeps for real, or hands the pause to the installed hook.
void sleepMs(int ms);

using SleepHook = void (*)(int ms);
// nullptr restores real sleeping. Not meant to change while other threads sleep.
void setSleepHook(SleepHook hook);

// Milliseconds on a clock that only moves forward and keeps running while the
// process is idle (wall time, not processor time). Only differences between two
// readings mean anything. Under a VirtualClock it reads the virtual total.
qint64 monotonicMs();

// A request to stop that a thread's pauses listen for: a pause ends as soon
// as the request is made, without waking the thread in between. Under a
// sleep hook (the virtual clock) a pause goes to the hook in short steps.
class StopSignal {
public:
    void request();
    bool requested() const { return m_requested.load(std::memory_order_acquire); }
    // Sleeps `ms`, or less once a stop is requested; true when it slept all of it.
    bool sleepMs(int ms);

private:
    std::atomic<bool> m_requested{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
};

// Test double: every pause returns at once and is added to a total, which is
// also what monotonicMs() reads while the clock is installed.
class VirtualClock {
public:
    VirtualClock();    // installs itself
    ~VirtualClock();   // restores real sleeping
    static qint64 elapsedMs();
    static void reset();
    // Lets time pass without a pause (a user waiting between two keys).
    static void advance(qint64 ms);
    // Calls `what` once, on the thread whose pause first brings the total to
    // `ms` or beyond (something that happens to the mouse in the middle of a
    // pause). One at a time; reset() forgets it.
    static void callAt(qint64 ms, std::function<void()> what);
};

} // namespace platform

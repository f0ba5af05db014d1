#pragma once
// Millisecond pauses of the transport, the poller and the download go through
// here, so tests can run the retry budgets on a virtual clock.

#include <QtGlobal>

namespace platform {

// Sleeps for real, or hands the pause to the installed hook.
void sleepMs(int ms);

using SleepHook = void (*)(int ms);
// nullptr restores real sleeping. Not meant to change while other threads sleep.
void setSleepHook(SleepHook hook);

// Test double: every pause returns at once and is added to a total.
class VirtualClock {
public:
    VirtualClock();    // installs itself
    ~VirtualClock();   // restores real sleeping
    static qint64 elapsedMs();
    static void reset();
};

} // namespace platform

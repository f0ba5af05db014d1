#include "platform/clock.h"

#include <QElapsedTimer>
#include <QThread>
#include <atomic>

namespace platform {
namespace {
std::atomic<SleepHook> g_hook{nullptr};
std::atomic<qint64> g_virtualElapsed{0};

struct Alarm {
    std::mutex mutex;
    qint64 at = 0;
    std::function<void()> what;
};
Alarm &alarm()
{
    static Alarm a;
    return a;
}

void virtualSleep(int ms)
{
    if (ms <= 0)
        return;
    const qint64 now = g_virtualElapsed.fetch_add(ms, std::memory_order_relaxed) + ms;
    std::function<void()> due;
    {
        Alarm &a = alarm();
        std::lock_guard<std::mutex> lock(a.mutex);
        if (a.what && now >= a.at)
            due.swap(a.what);
    }
    if (due)
        due();
}
} // namespace

qint64 monotonicMs()
{
    if (g_hook.load(std::memory_order_acquire) == &virtualSleep)
        return g_virtualElapsed.load(std::memory_order_relaxed);
    // QElapsedTimer uses CLOCK_MONOTONIC where the system has it.
    static const QElapsedTimer start = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return start.elapsed();
}

void sleepMs(int ms)
{
    if (SleepHook hook = g_hook.load(std::memory_order_acquire)) {
        hook(ms);
        return;
    }
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void setSleepHook(SleepHook hook)
{
    g_hook.store(hook, std::memory_order_release);
}

void StopSignal::request()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requested.store(true, std::memory_order_release);
    }
    m_wake.notify_all();
}

bool StopSignal::sleepMs(int ms)
{
    if (g_hook.load(std::memory_order_acquire)) {
        constexpr int kStepMs = 10;
        while (ms > 0 && !requested()) {
            const int step = ms < kStepMs ? ms : kStepMs;
            platform::sleepMs(step);
            ms -= step;
        }
        return !requested();
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_wake.wait_for(lock, std::chrono::milliseconds(ms > 0 ? ms : 0), [this] { return requested(); });
}

VirtualClock::VirtualClock()
{
    reset();
    setSleepHook(&virtualSleep);
}

VirtualClock::~VirtualClock()
{
    setSleepHook(nullptr);
}

qint64 VirtualClock::elapsedMs()
{
    return g_virtualElapsed.load(std::memory_order_relaxed);
}

void VirtualClock::advance(qint64 ms)
{
    if (ms > 0)
        g_virtualElapsed.fetch_add(ms, std::memory_order_relaxed);
}

void VirtualClock::reset()
{
    g_virtualElapsed.store(0, std::memory_order_relaxed);
    Alarm &a = alarm();
    std::lock_guard<std::mutex> lock(a.mutex);
    a.what = nullptr;
}

void VirtualClock::callAt(qint64 ms, std::function<void()> what)
{
    Alarm &a = alarm();
    std::lock_guard<std::mutex> lock(a.mutex);
    a.at = ms;
    a.what = std::move(what);
}

} // namespace platform

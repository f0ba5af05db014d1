#include "platform/pointerspeed.h"

#include <QGuiApplication>
#include <X11/Xlib.h>
#include <algorithm>
#include <atomic>
#include <cmath>

namespace platform {

namespace {

std::atomic<PointerSpeed *> g_backend{nullptr};

// Owns the X display for one call.
class DisplayConnection {
public:
    DisplayConnection() : m_display(XOpenDisplay(nullptr)) {}
    ~DisplayConnection()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    DisplayConnection(const DisplayConnection &) = delete;
    DisplayConnection &operator=(const DisplayConnection &) = delete;
    Display *get() const { return m_display; }

private:
    Display *m_display;
};

int clampSpeed(int speed)
{
    return std::clamp(speed, int(POINTER_SPEED_MIN), int(POINTER_SPEED_MAX));
}

} // namespace

int pointerSpeedNumerator(int speed)
{
    static const int slow[10] = {1, 2, 4, 8, 12, 16, 20, 24, 28, 32};
    speed = clampSpeed(speed);
    return speed <= 10 ? slow[speed - 1] : 32 + 8 * (speed - 10);
}

int pointerSpeedFromFactor(int numerator, int denominator)
{
    if (numerator <= 0 || denominator <= 0)
        return POINTER_SPEED_DEFAULT;
    const double factor = double(numerator) / denominator;
    int best = POINTER_SPEED_MIN;
    double bestDistance = -1;
    for (int s = POINTER_SPEED_MIN; s <= POINTER_SPEED_MAX; ++s) {
        const double distance = std::fabs(double(pointerSpeedNumerator(s)) / POINTER_SPEED_DENOMINATOR - factor);
        if (bestDistance < 0 || distance < bestDistance) {
            best = s;
            bestDistance = distance;
        }
    }
    return best;
}

bool isX11Session()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QGuiApplication::platformName() == QLatin1String("xcb");
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    return DisplayConnection().get() != nullptr;
}

int X11PointerSpeed::read()
{
    DisplayConnection display;
    if (!display.get())
        return POINTER_SPEED_DEFAULT;
    int numerator = 0, denominator = 0, threshold = 0;
    XGetPointerControl(display.get(), &numerator, &denominator, &threshold);
    return pointerSpeedFromFactor(numerator, denominator);
}

int X11PointerSpeed::apply(int speed)
{
    DisplayConnection display;
    if (!display.get())
        return 1;
    XChangePointerControl(display.get(), True, False, pointerSpeedNumerator(speed), POINTER_SPEED_DENOMINATOR, 0);
    XSync(display.get(), False);
    return 0;
}

int MemoryPointerSpeed::apply(int speed)
{
    m_speed = clampSpeed(speed);
    return 0;
}

int RecordingPointerSpeed::apply(int speed)
{
    applied.append(speed);
    return MemoryPointerSpeed::apply(speed);
}

PointerSpeed &pointerSpeed()
{
    if (PointerSpeed *installed = g_backend.load())
        return *installed;
    static X11PointerSpeed x11;
    static MemoryPointerSpeed memory;
    static const bool useX11 = isX11Session();
    return useX11 ? static_cast<PointerSpeed &>(x11) : memory;
}

void setPointerSpeedBackend(PointerSpeed *backend)
{
    g_backend.store(backend);
}

} // namespace platform

#include "platform/pointerspeed.h"

#include "platform/desktoppointerspeed.h"
#include "platform/logging.h"

#include <QGuiApplication>
#include <QVector>
#include <QtDebug>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

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

// A device can go away between listing and use; its X errors must not end the
// program (Xlib's default handler exits), so they are counted instead while
// our own requests run.
int g_xErrors = 0;
int countXError(Display *, XErrorEvent *)
{
    ++g_xErrors;
    return 0;
}

class XErrorTrap {
public:
    explicit XErrorTrap(Display *display) : m_display(display)
    {
        XSync(m_display, False);
        g_xErrors = 0;
        m_previous = XSetErrorHandler(&countXError);
    }
    ~XErrorTrap()
    {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }
    XErrorTrap(const XErrorTrap &) = delete;
    XErrorTrap &operator=(const XErrorTrap &) = delete;

private:
    Display *m_display;
    int (*m_previous)(Display *, XErrorEvent *) = nullptr;
};

// The pointer devices libinput drives, with their acceleration now.
struct LibinputPointer {
    int id;
    float accel;
};

QVector<LibinputPointer> libinputPointers(Display *display, Atom property, Atom floatType)
{
    QVector<LibinputPointer> found;
    int opcode = 0, event = 0, error = 0;
    if (property == None || !XQueryExtension(display, "XInputExtension", &opcode, &event, &error))
        return found;
    int major = 2, minor = 0;
    if (XIQueryVersion(display, &major, &minor) != Success)
        return found;
    int count = 0;
    XIDeviceInfo *devices = XIQueryDevice(display, XIAllDevices, &count);
    for (int i = 0; devices && i < count; ++i) {
        if (devices[i].use != XISlavePointer || !devices[i].enabled)
            continue;
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char *data = nullptr;
        if (XIGetProperty(display, devices[i].deviceid, property, 0, 1, False, floatType, &type, &format, &items,
                          &after, &data) == Success
            && type == floatType && format == 32 && items >= 1 && data) {
            float accel = 0;
            std::memcpy(&accel, data, sizeof accel);   // XI2 hands 32-bit items packed
            found.append({devices[i].deviceid, accel});
        }
        if (data)
            XFree(data);
    }
    if (devices)
        XIFreeDeviceInfo(devices);
    return found;
}

Atom libinputAccelAtom(Display *display)
{
    // Only when some device made it exist: no libinput driver, no property.
    return XInternAtom(display, "libinput Accel Speed", True);
}

} // namespace

double libinputAccelFromSpeed(int speed)
{
    speed = clampSpeed(speed);
    return speed <= POINTER_SPEED_DEFAULT ? (speed - POINTER_SPEED_DEFAULT) / 9.0
                                          : (speed - POINTER_SPEED_DEFAULT) / 10.0;
}

int speedFromLibinputAccel(double accel)
{
    if (!std::isfinite(accel))
        return POINTER_SPEED_DEFAULT;
    accel = std::clamp(accel, -1.0, 1.0);
    const double speed = accel <= 0 ? POINTER_SPEED_DEFAULT + 9.0 * accel : POINTER_SPEED_DEFAULT + 10.0 * accel;
    return clampSpeed(int(std::lround(speed)));
}

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

bool isWaylandSession()
{
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland")
           || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool x11DisplayReachable()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QGuiApplication::platformName() == QLatin1String("xcb");
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    return DisplayConnection().get() != nullptr;
}

bool isX11Session()
{
    // An X11 program under Wayland reaches only the X server's stand-in devices.
    return !isWaylandSession() && x11DisplayReachable();
}

PointerSpeedWay choosePointerSpeedWay(const QString &currentDesktop, bool waylandSession, bool x11Display)
{
    bool gnome = false, kde = false;
    for (const QString &entry : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString name = entry.trimmed();
        gnome |= name.compare(QLatin1String("GNOME"), Qt::CaseInsensitive) == 0
                 || name.startsWith(QLatin1String("GNOME-"), Qt::CaseInsensitive);
        kde |= name.compare(QLatin1String("KDE"), Qt::CaseInsensitive) == 0;
    }
    if (gnome)
        return PointerSpeedWay::Gnome;
    if (kde && waylandSession)
        return PointerSpeedWay::Plasma;
    if (!waylandSession && x11Display)
        return PointerSpeedWay::X11;
    return PointerSpeedWay::Memory;
}

PointerSpeedWay sessionPointerSpeedWay()
{
    const bool wayland = isWaylandSession();
    return choosePointerSpeedWay(qEnvironmentVariable("XDG_CURRENT_DESKTOP"), wayland,
                                 !wayland && x11DisplayReachable());
}

const char *pointerSpeedWayText(PointerSpeedWay way)
{
    switch (way) {
    case PointerSpeedWay::X11:
        return "Pointer speed through the X server's pointer devices (libinput Accel Speed, else the core pointer)";
    case PointerSpeedWay::Gnome:
        return "Pointer speed through GNOME's mouse setting (org.gnome.desktop.peripherals.mouse speed, with gsettings)";
    case PointerSpeedWay::Plasma:
        return "Pointer speed through KWin's input devices on the session bus, kept in Plasma's kcminputrc";
    case PointerSpeedWay::Memory:
        break;
    }
    return "Not an X11 session: the desktop's own mouse settings apply, the profile's pointer speed is kept";
}

int X11PointerSpeed::read()
{
    DisplayConnection display;
    if (!display.get())
        return POINTER_SPEED_DEFAULT;
    XErrorTrap trap(display.get());
    const QVector<LibinputPointer> pointers =
        libinputPointers(display.get(), libinputAccelAtom(display.get()), XInternAtom(display.get(), "FLOAT", False));
    m_libinputDevices = pointers.size();
    if (!pointers.isEmpty())
        return speedFromLibinputAccel(pointers.first().accel);
    int numerator = 0, denominator = 0, threshold = 0;
    XGetPointerControl(display.get(), &numerator, &denominator, &threshold);
    return pointerSpeedFromFactor(numerator, denominator);
}

int X11PointerSpeed::apply(int speed)
{
    DisplayConnection display;
    if (!display.get())
        return 1;
    XErrorTrap trap(display.get());
    const Atom property = libinputAccelAtom(display.get());
    const Atom floatType = XInternAtom(display.get(), "FLOAT", False);
    const QVector<LibinputPointer> pointers = libinputPointers(display.get(), property, floatType);
    m_libinputDevices = pointers.size();
    if (pointers.isEmpty()) {
        XChangePointerControl(display.get(), True, False, pointerSpeedNumerator(speed), POINTER_SPEED_DENOMINATOR, 0);
    } else {
        const float accel = float(libinputAccelFromSpeed(speed));
        unsigned char data[sizeof accel];
        std::memcpy(data, &accel, sizeof accel);
        for (const LibinputPointer &p : pointers)
            XIChangeProperty(display.get(), p.id, property, floatType, 32, PropModeReplace, data, 1);
    }
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
    static GnomePointerSpeed gnome;
    static PlasmaPointerSpeed plasma;
    static MemoryPointerSpeed memory;
    static const PointerSpeedWay way = [] {
        const PointerSpeedWay chosen = sessionPointerSpeedWay();
        qCDebug(lcPlatform, "%s", pointerSpeedWayText(chosen));
        return chosen;
    }();
    switch (way) {
    case PointerSpeedWay::X11:
        return x11;
    case PointerSpeedWay::Gnome:
        return gnome;
    case PointerSpeedWay::Plasma:
        return plasma;
    case PointerSpeedWay::Memory:
        break;
    }
    return memory;
}

void setPointerSpeedBackend(PointerSpeed *backend)
{
    g_backend.store(backend);
}

} // namespace platform

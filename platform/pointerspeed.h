#pragma once
// The desktop's pointer speed on the 1-20 scale a profile stores (10 leaves
// the pointer unscaled).
//
// On an X11 session the speed goes to every pointer device that libinput
// drives, through its "libinput Accel Speed" property: speed s maps linearly
// onto -1..1 with 10 at 0 (s = 1..10: (s - 10) / 9, s = 11..20: (s - 10) / 10);
// reading takes the first such device's value back to the nearest speed.
// Only where no device has that property (an X server without the libinput
// driver) is the core pointer control used instead
// (XGetPointerControl / XChangePointerControl), with the factor
//     s = 1..10:  1/32, 2/32, 4/32, 8/32, 12/32, 16/32, 20/32, 24/32, 28/32, 32/32
//     s = 11..20: (32 + 8·(s − 10)) / 32, i.e. 1.25 up to 3.5 in steps of 0.25
// sent as numerator/32 with the threshold left as it is; reading picks the
// speed whose factor lies nearest to the server's numerator/denominator (the
// X default 2/1 reads as 14).
// On GNOME (Wayland or X11) the speed goes to GNOME's own mouse setting, and
// on KDE Plasma's Wayland session to KWin's input devices (both in
// platform/desktoppointerspeed.h), with the same -1..1 mapping.
// Elsewhere (another Wayland desktop) the desktop's own mouse settings apply:
// the speed is kept in memory. The way taken is logged once.

#include <QVector>

namespace platform {

enum { POINTER_SPEED_MIN = 1, POINTER_SPEED_MAX = 20, POINTER_SPEED_DEFAULT = 10 };

class PointerSpeed {
public:
    virtual ~PointerSpeed() = default;
    // 1..20.
    virtual int read() = 0;
    // `speed` lies within 1..20. Returns 0 on success, else an error code.
    virtual int apply(int speed) = 0;
};

// The factor of a speed as numerator / 32, and the speed nearest a factor.
int pointerSpeedNumerator(int speed);
enum { POINTER_SPEED_DENOMINATOR = 32 };
int pointerSpeedFromFactor(int numerator, int denominator);

// The libinput acceleration of a speed (1..20 onto -1..1, 10 -> 0) and the
// speed nearest an acceleration.
double libinputAccelFromSpeed(int speed);
int speedFromLibinputAccel(double accel);

// True on a Wayland session: XDG_SESSION_TYPE is "wayland" or WAYLAND_DISPLAY
// is set (a program on Xwayland still has an X display).
bool isWaylandSession();
// True when an X display is at hand: the Qt platform is "xcb", or, without a
// QGuiApplication, the display named by DISPLAY can be opened.
bool x11DisplayReachable();
// True on an X11 session: not a Wayland session, and an X display is at hand.
bool isX11Session();

// How a profile's speed reaches the pointer.
enum class PointerSpeedWay {
    X11,      // the X server's pointer devices (X11PointerSpeed)
    Gnome,    // GNOME's own mouse setting (GnomePointerSpeed)
    Plasma,   // KWin's input devices, kept in Plasma's settings (PlasmaPointerSpeed)
    Memory,   // nothing the program can reach: kept in memory
};

// The way for a session. `currentDesktop` is XDG_CURRENT_DESKTOP (names
// separated by ':', as "ubuntu:GNOME"):
//   an entry GNOME (or GNOME-Classic, GNOME-Flashback)  -> Gnome, on Wayland and X11
//   an entry KDE on a Wayland session                    -> Plasma
//     (KWin offers its input devices on the bus only there; Plasma on X11
//     takes the X server's libinput devices like any X11 desktop)
//   otherwise an X11 session                             -> X11
//   anything else                                        -> Memory
PointerSpeedWay choosePointerSpeedWay(const QString &currentDesktop, bool waylandSession, bool x11Display);
// The running session's way, from its environment.
PointerSpeedWay sessionPointerSpeedWay();
// What the trace says about a way.
const char *pointerSpeedWayText(PointerSpeedWay way);

class X11PointerSpeed : public PointerSpeed {
public:
    int read() override;
    int apply(int speed) override;   // 1 when the display cannot be opened

    // How many devices the last read or apply found with the libinput
    // property (0: the core pointer control was used).
    int libinputDevices() const { return m_libinputDevices; }

private:
    int m_libinputDevices = 0;
};

class MemoryPointerSpeed : public PointerSpeed {
public:
    int read() override { return m_speed; }
    int apply(int speed) override;

private:
    int m_speed = POINTER_SPEED_DEFAULT;
};

// Test double: remembers every speed applied.
class RecordingPointerSpeed : public MemoryPointerSpeed {
public:
    int apply(int speed) override;
    QVector<int> applied;
};

// The installed backend, or the session's own (X11 or memory, chosen once).
PointerSpeed &pointerSpeed();
// Tests install a double; nullptr restores the session's backend.
void setPointerSpeedBackend(PointerSpeed *backend);

} // namespace platform

#pragma once
// The keyboard as a low-level hook sees it: every key press and release of the
// application, before any widget gets it, as a PC set-1 scan code and a flag
// word. The key capture dialogs and the macro recorder build on this.
//
// On X11 and Wayland a key event's native scan code is the evdev code + 8; it
// is turned into the set-1 code of the same key, with
//   KEY_EXTENDED (0x01) for the keys that carry an E0 prefix (right Ctrl and
//                       Alt, keypad Enter and /, the navigation block, the
//                       Windows and menu keys, Num Lock, Print Screen),
//   KEY_ALTDOWN  (0x20) while an Alt key is held,
//   KEY_UP       (0x80) for a release.
// Auto-repeat arrives as repeated presses. Keys without a set-1 code (media
// keys, F13 and beyond) are not reported.
//
// A hook lives as long as its object. Hooks are called newest first; a handler
// that returns true swallows the event: older hooks and every widget miss it.

#include <QtGlobal>

#include <functional>

namespace platform {

enum KeyHookFlag : quint32 { KEY_EXTENDED = 0x01, KEY_ALTDOWN = 0x20, KEY_UP = 0x80 };

// Virtual key codes of the modifier keys, the only ones reported.
enum KeyHookVirtualKey : quint32 {
    VK_NONE = 0,
    VK_LWIN_KEY = 0x5B,
    VK_RWIN_KEY = 0x5C,
    VK_LSHIFT_KEY = 0xA0,
    VK_RSHIFT_KEY = 0xA1,
    VK_LCONTROL_KEY = 0xA2,
    VK_RCONTROL_KEY = 0xA3,
    VK_LMENU_KEY = 0xA4,
    VK_RMENU_KEY = 0xA5,
};

struct KeyHookEvent {
    quint32 scanCode = 0;
    quint32 flags = 0;
    quint32 virtualKey = VK_NONE;
    bool operator==(const KeyHookEvent &o) const
    {
        return scanCode == o.scanCode && flags == o.flags && virtualKey == o.virtualKey;
    }
};

// evdev key code → set-1 scan code and whether it carries the E0 prefix.
// False for keys that have no set-1 code.
bool evdevToSet1(quint32 evdevCode, quint32 *scanCode, bool *extended);

// A native key event (evdev code + 8) as the hook reports it. altHeld tells
// whether an Alt key is down once this event has taken effect. False when the
// key has no set-1 code.
bool hookEventFromNative(quint32 nativeScanCode, bool release, bool altHeld, KeyHookEvent *out);

class KeyboardHook {
public:
    using Handler = std::function<bool(const KeyHookEvent &)>;

    explicit KeyboardHook(Handler handler);
    ~KeyboardHook();
    KeyboardHook(const KeyboardHook &) = delete;
    KeyboardHook &operator=(const KeyboardHook &) = delete;

    // Hands an event to the installed hooks exactly as a real key would reach
    // them (the test double). Returns true when a hook swallowed it.
    static bool inject(quint32 scanCode, quint32 flags, quint32 virtualKey = VK_NONE);
    static bool deliver(const KeyHookEvent &event);
    // How many hooks are installed now.
    static int installedCount();

private:
    Handler m_Handler;
};

} // namespace platform

#include "platform/keyboardhook.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace platform {

bool evdevToSet1(quint32 evdevCode, quint32 *scanCode, bool *extended)
{
    // The main block, the function keys F1-F10, the keypad and F11/F12 share
    // their numbers with set 1.
    struct Extended {
        quint32 evdev;
        quint32 scan;
        bool extended;
    };
    static const Extended table[] = {
        {69, 0x45, true},    // Num Lock (Pause is the plain 0x45)
        {96, 0x1C, true},    // keypad Enter
        {97, 0x1D, true},    // right Ctrl
        {98, 0x35, true},    // keypad /
        {99, 0x37, true},    // Print Screen
        {100, 0x38, true},   // right Alt
        {102, 0x47, true},   // Home
        {103, 0x48, true},   // Up
        {104, 0x49, true},   // Page Up
        {105, 0x4B, true},   // Left
        {106, 0x4D, true},   // Right
        {107, 0x4F, true},   // End
        {108, 0x50, true},   // Down
        {109, 0x51, true},   // Page Down
        {110, 0x52, true},   // Insert
        {111, 0x53, true},   // Delete
        {119, 0x45, false},  // Pause
        {125, 0x5B, true},   // left Windows
        {126, 0x5C, true},   // right Windows
        {127, 0x5D, true},   // menu
    };
    for (const Extended &e : table) {
        if (e.evdev == evdevCode) {
            *scanCode = e.scan;
            *extended = e.extended;
            return true;
        }
    }
    if ((evdevCode >= 1 && evdevCode <= 83) || (evdevCode >= 86 && evdevCode <= 88)) {
        *scanCode = evdevCode;
        *extended = false;
        return true;
    }
    return false;
}

namespace {

quint32 virtualKeyOf(quint32 scan, bool extended)
{
    switch (scan) {
    case 42: return VK_LSHIFT_KEY;
    case 54: return VK_RSHIFT_KEY;
    case 29: return extended ? VK_RCONTROL_KEY : VK_LCONTROL_KEY;
    case 56: return extended ? VK_RMENU_KEY : VK_LMENU_KEY;
    case 0x5B: return extended ? VK_LWIN_KEY : VK_NONE;
    case 0x5C: return extended ? VK_RWIN_KEY : VK_NONE;
    default: return VK_NONE;
    }
}

} // namespace

bool hookEventFromNative(quint32 nativeScanCode, bool release, bool altHeld, KeyHookEvent *out)
{
    if (nativeScanCode < 8)
        return false;
    quint32 scan = 0;
    bool extended = false;
    if (!evdevToSet1(nativeScanCode - 8, &scan, &extended))
        return false;
    KeyHookEvent event;
    event.scanCode = scan;
    event.flags = (extended ? KEY_EXTENDED : 0u) | (release ? KEY_UP : 0u) | (altHeld ? KEY_ALTDOWN : 0u);
    event.virtualKey = virtualKeyOf(scan, extended);
    *out = event;
    return true;
}

namespace {

std::vector<KeyboardHook::Handler *> &hooks()
{
    static std::vector<KeyboardHook::Handler *> list;
    return list;
}

// Sees every key event the application receives, once, at its window: what a
// low-level hook would see of this program's keyboard.
class KeyFilter : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWindowType())
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const bool release = type == QEvent::KeyRelease;
        const quint32 native = key->nativeScanCode();
        // Alt as it stands once this event has taken effect: an Alt press
        // carries the flag, its release does not.
        if (native == 56 + 8)
            m_bLeftAlt = !release;
        else if (native == 100 + 8)
            m_bRightAlt = !release;
        const bool altKey = native == 56 + 8 || native == 100 + 8;
        const bool altHeld = m_bLeftAlt || m_bRightAlt || (!altKey && (key->modifiers() & Qt::AltModifier));
        KeyHookEvent hookEvent;
        if (!hookEventFromNative(native, release, altHeld, &hookEvent))
            return false;
        return KeyboardHook::deliver(hookEvent);
    }

private:
    bool m_bLeftAlt = false;
    bool m_bRightAlt = false;
};

QPointer<KeyFilter> &filter()
{
    static QPointer<KeyFilter> instance;
    return instance;
}

} // namespace

KeyboardHook::KeyboardHook(Handler handler) : m_Handler(std::move(handler))
{
    hooks().push_back(&m_Handler);
    if (!filter() && QCoreApplication::instance()) {
        filter() = new KeyFilter;
        QCoreApplication::instance()->installEventFilter(filter());
    }
}

KeyboardHook::~KeyboardHook()
{
    auto &list = hooks();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (*it == &m_Handler) {
            list.erase(it);
            break;
        }
    }
    if (list.empty() && filter()) {
        delete filter().data();
        filter() = nullptr;
    }
}

bool KeyboardHook::inject(quint32 scanCode, quint32 flags, quint32 virtualKey)
{
    KeyHookEvent event;
    event.scanCode = scanCode;
    event.flags = flags;
    event.virtualKey = virtualKey;
    return deliver(event);
}

bool KeyboardHook::deliver(const KeyHookEvent &event)
{
    // Newest first; a handler may remove hooks (close its dialog), so walk a
    // copy and skip the ones that have gone meanwhile.
    const std::vector<Handler *> snapshot(hooks().rbegin(), hooks().rend());
    for (Handler *handler : snapshot) {
        const auto &list = hooks();
        if (std::find(list.begin(), list.end(), handler) == list.end())
            continue;
        if ((*handler)(event))
            return true;
    }
    return false;
}

int KeyboardHook::installedCount()
{
    return int(hooks().size());
}

} // namespace platform

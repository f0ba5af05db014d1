#pragma once
// What the key dialogs make of the keyboard and what they write into a
// button entry: hook events as the program's one-byte key codes, combo keys
// as nested press/release events, fire-key and sniper parameters.

#include "profile/records.h"

#include <QString>
#include <QtGlobal>

// The key code of a hook event: the scan code, except for keys that share a
// scan code with another key (keypad digits and operators, keypad Enter,
// Num Lock, right Ctrl, right Alt), which get the private codes 224-239.
quint8 hookKeyCode(quint32 scanCode, quint32 flags);

// A hook event is a press unless it carries the up flag.
bool hookIsPress(quint32 flags);

// The five combo slots, in their fixed order.
enum ComboSlot { COMBO_SHIFT = 0, COMBO_CTRL = 1, COMBO_WIN = 2, COMBO_ALT = 3, COMBO_KEY = 4, COMBO_SLOTS = 5 };

// A combo being captured: per slot a flag (modifiers: 1 left-hand, 2 right-hand,
// 3 both; other key: 1) and the other key's code.
struct ComboKeys {
    quint8 flags[COMBO_SLOTS] = {};
    quint8 otherKey = 0;
    bool operator==(const ComboKeys &o) const;
};

// Left- and right-hand key codes of a modifier slot (Shift 42/54, Ctrl
// 29/238, Windows 91/92, Alt 56/239).
quint8 comboLeftCode(int slot);
quint8 comboRightCode(int slot);
// The modifier slot of a key code with 1 (left) or 2 (right) as its weight;
// -1 for every other key.
int comboSlotOf(quint8 keyCode, quint8 *weight);

// The key code that stands for a slot of a combo (the right-hand key when it
// is held, alone or with the left-hand one).
quint8 comboSlotKey(const ComboKeys &combo, int slot);
// "Ctrl + Alt + Delete": the names of the set slots in slot order.
QString comboText(const ComboKeys &combo);
// The combo a button entry holds in its first five events (HID usages).
ComboKeys comboFromEvents(const ButtonEntry &entry);

// Inserts a key at event position p: the events from p on move two places
// later (those beyond the 63rd are dropped), then p = press and p + 1 =
// release of the key's HID usage (0 when the key has none), dataL 5.
void insertComboKey(ButtonEntry &entry, int position, quint8 keyCode);
// Clears every event and writes the set slots nested in slot order:
// Ctrl + Alt + Delete becomes Ctrl, Alt, Delete down, then up in reverse.
void writeComboEvents(ButtonEntry &entry, const ComboKeys &combo);

// Fire-key modes and the Res1 each gives (the mouse's button mask for the
// three mouse buttons, the HID usage of the key otherwise).
enum FireMode : quint8 { FIRE_LEFT = 0, FIRE_RIGHT = 1, FIRE_MIDDLE = 2, FIRE_KEYBOARD = 3 };
quint8 fireKeyRes1(quint8 mode, quint8 keyCode);
// The mode a stored Res1 stands for; for a key, its key code in *keyCode.
quint8 fireModeFromRes1(quint8 res1, quint8 *keyCode);

// (The sniper's steps by sensor, sniperRange and sniperPresetStep, come from
// the sensor catalogue, device/sensors.h.)

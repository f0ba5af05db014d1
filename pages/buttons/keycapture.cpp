#include "pages/buttons/keycapture.h"

#include "profile/keys.h"

#include <QStringList>

namespace {

const quint8 kLeftCodes[4] = {42, 29, 91, 56};
const quint8 kRightCodes[4] = {54, 238, 92, 239};

} // namespace

quint8 hookKeyCode(quint32 scanCode, quint32 flags)
{
    // The right-hand and keypad twins that carry the E0 prefix are told apart
    // by the extended flag alone, whether Alt is held or the key goes up.
    const bool extended = (flags & 0x01) != 0;
    const bool plain = (flags & ~0x80u) == 0;
    switch (scanCode) {
    case 28: return extended ? 229 : 28;
    case 29: return extended ? 238 : 29;
    case 53: return extended ? 226 : 53;
    case 69: return extended ? 225 : 69;
    case 56: return extended ? 239 : 56;
    case 55: return plain ? 227 : 55;
    case 71: return plain ? 235 : 71;
    case 72: return plain ? 236 : 72;
    case 73: return plain ? 228 : 73;
    case 75: return plain ? 233 : 75;
    case 77: return plain ? 234 : 77;
    case 79: return plain ? 230 : 79;
    case 80: return plain ? 231 : 80;
    case 81: return plain ? 232 : 81;
    case 82: return plain ? 237 : 82;
    case 83: return plain ? 224 : 83;
    default: return quint8(scanCode);
    }
}

bool hookIsPress(quint32 flags)
{
    // Only the up flag tells a release: an extended key (Delete, arrows,
    // right Alt) pressed while Alt is held carries 0x21 and is a press too.
    return (flags & 0x80) == 0;
}

bool ComboKeys::operator==(const ComboKeys &o) const
{
    for (int i = 0; i < COMBO_SLOTS; ++i) {
        if (flags[i] != o.flags[i])
            return false;
    }
    return otherKey == o.otherKey;
}

quint8 comboLeftCode(int slot)
{
    return slot >= 0 && slot < 4 ? kLeftCodes[slot] : 0;
}

quint8 comboRightCode(int slot)
{
    return slot >= 0 && slot < 4 ? kRightCodes[slot] : 0;
}

int comboSlotOf(quint8 keyCode, quint8 *weight)
{
    for (int slot = 0; slot < 4; ++slot) {
        if (keyCode == kLeftCodes[slot]) {
            *weight = 1;
            return slot;
        }
        if (keyCode == kRightCodes[slot]) {
            *weight = 2;
            return slot;
        }
    }
    *weight = 0;
    return -1;
}

quint8 comboSlotKey(const ComboKeys &combo, int slot)
{
    if (slot == COMBO_KEY)
        return combo.otherKey;
    // 1 left-hand, 2 right-hand, 3 both: a right-hand key held is named and
    // stored as itself.
    return combo.flags[slot] >= 2 ? kRightCodes[slot] : kLeftCodes[slot];
}

QString comboText(const ComboKeys &combo)
{
    QStringList names;
    for (int slot = 0; slot < COMBO_SLOTS; ++slot) {
        if (combo.flags[slot])
            names << keyName(comboSlotKey(combo, slot));
    }
    return names.join(QStringLiteral(" + "));
}

ComboKeys comboFromEvents(const ButtonEntry &entry)
{
    // The presses among the first five events: all five of a full combo, and
    // for a shorter one its presses without the releases that follow them
    // (counting those would make a left-hand key look like both hands).
    ComboKeys combo;
    for (int i = 0; i < 5; ++i) {
        const quint8 usage = entry.KeyInfo[i].map;
        if (!usage || !(entry.KeyInfo[i].dataH & 0x80))
            continue;
        int code = 0;
        if (!usageToKey(usage, code))
            continue;
        quint8 weight = 0;
        const int slot = comboSlotOf(quint8(code), &weight);
        if (slot >= 0) {
            combo.flags[slot] = quint8(combo.flags[slot] | weight);
        } else {
            combo.flags[COMBO_KEY] = 1;
            combo.otherKey = quint8(code);
        }
    }
    return combo;
}

void insertComboKey(ButtonEntry &entry, int position, quint8 keyCode)
{
    if (position < 0 || position >= KEYINFO_COUNT)
        return;
    int usage = 0;
    if (!keyToUsage(keyCode, usage))
        usage = 0;
    for (int i = KEYINFO_COUNT - 1; i >= position + 2; --i)
        entry.KeyInfo[i] = entry.KeyInfo[i - 2];
    entry.KeyInfo[position] = KeyInfo{quint8(usage), 5, 0x80};
    if (position + 1 < KEYINFO_COUNT)
        entry.KeyInfo[position + 1] = KeyInfo{quint8(usage), 5, 0x00};
}

void writeComboEvents(ButtonEntry &entry, const ComboKeys &combo)
{
    for (KeyInfo &event : entry.KeyInfo)
        event = KeyInfo{};
    int position = 0;
    for (int slot = 0; slot < COMBO_SLOTS; ++slot) {
        if (!combo.flags[slot])
            continue;
        insertComboKey(entry, position, comboSlotKey(combo, slot));
        ++position;
    }
}

quint8 fireKeyRes1(quint8 mode, quint8 keyCode)
{
    switch (mode) {
    case FIRE_LEFT: return 0x81;
    case FIRE_RIGHT: return 0x82;
    case FIRE_MIDDLE: return 0x84;
    default: {
        int usage = 0;
        return keyToUsage(keyCode, usage) ? quint8(usage) : 0;
    }
    }
}

quint8 fireModeFromRes1(quint8 res1, quint8 *keyCode)
{
    *keyCode = 0;
    switch (res1) {
    case 0:
    case 0x81: return FIRE_LEFT;
    case 0x82: return FIRE_RIGHT;
    case 0x84: return FIRE_MIDDLE;
    default: {
        int code = 0;
        if (usageToKey(res1, code))
            *keyCode = quint8(code);
        return FIRE_KEYBOARD;
    }
    }
}


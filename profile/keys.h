#pragma once
// Key codes (scan-code based, 224-239 private keypad/right-hand codes,
// 240-242 mouse buttons), their names and HID keyboard usages.

#include <QString>

enum { KEY_USAGE_PAIR_COUNT = 104 };

// Name for the current keyboard layout (French names under a French layout).
QString keyName(int code);
QString keyName(int code, bool french);

// Asked on every keyName call; the platform layer installs the real query.
// The default (also restored by passing nullptr) is QLocale::system() being French.
using FrenchLayoutQuery = bool (*)();
void setFrenchLayoutQuery(FrenchLayoutQuery query);

bool keyToUsage(int code, int &usage);
bool usageToKey(int usage, int &code);

// The key code / HID usage pairs in table order: ascending usage, then the
// eight modifiers LShift, LCtr, LWindows, LAlt, RAlt, RWindows, RCtr, RShift.
struct KeyUsagePair {
    int code;
    int usage;
};
const KeyUsagePair *keyUsagePairs();   // KEY_USAGE_PAIR_COUNT entries

#pragma once
// Key codes (scan-code based, 224-239 private keypad/right-hand codes,
// 240-242 mouse buttons), their names and HID keyboard usages.

#include <QString>

// Name for the current keyboard layout (French names under a French layout).
QString keyName(int code);
QString keyName(int code, bool french);

// Asked on every keyName call; the platform layer installs the real query.
using FrenchLayoutQuery = bool (*)();
void setFrenchLayoutQuery(FrenchLayoutQuery query);

bool keyToUsage(int code, int &usage);
bool usageToKey(int usage, int &code);

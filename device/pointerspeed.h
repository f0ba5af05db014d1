#pragma once
// The desktop pointer speed a profile carries (mousespeed, 1..20).

#include "profile/records.h"

// The speed the desktop uses now, 1..20. The main window stores it into the
// current profile of the working set at start-up.
int readSystemPointerSpeed();

// Applies `speed` when it lies within 1..20; any other value is logged and
// nothing changes. True when the desktop took it.
bool applyPointerSpeed(int speed);

// The speed of the set's current slot (ProfileID). After a profile switch the
// main window calls this with the working set, so the newly selected slot's
// speed is the one applied.
bool applySystemPointerSpeed(const ProfileSet &set);
bool applyPointerSpeedOfSlot(const ProfileSet &set, int slot);

// The speed of the current profile of the last download's snapshot; before
// any download that is 0, which is refused.
bool applySystemPointerSpeed();

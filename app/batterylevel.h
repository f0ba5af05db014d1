#pragma once
// What the battery display shows for one report of the mouse.

#include <QtGlobal>

// raw = hi * 256 + low, millivolts = raw * 990 / 240 (rounded down).
int batteryMillivolts(quint8 lowByte, quint8 hiByte);
// 100 at or above the full threshold, then 90 from 4100 mV down to 10.
int batteryLevel(int millivolts, int fullThreshold);

// The connection picture and battery bar states of the first model:
// 0 cable only, 1 dongle charging or cable and dongle, 2 dongle, 3 none.
int connectionIconState(bool cable, bool dongle, bool charging);
bool connectionPictureVisible(int state);
bool batteryBarVisible(int state);
// The battery outline shows its charging picture (bat2.png).
bool batteryOutlineCharging(int state);

// The low-battery notice: given once per discharge, when a wireless mouse
// that is not charging reports LOW_LEVEL or less. A charge (the mouse says it
// charges, or the cable is in) or a level of REARM_LEVEL or more (the battery
// was charged elsewhere) makes the next low level give it again.
class LowBatteryAlarm {
public:
    enum { LOW_LEVEL = 20, REARM_LEVEL = 50 };
    // One battery report; true when the notice is due now.
    bool report(int level, bool charging, bool cable);

private:
    bool m_given = false;
};

#include "app/batterylevel.h"

int batteryMillivolts(quint8 lowByte, quint8 hiByte)
{
    const int raw = hiByte * 256 + lowByte;
    return raw * 990 / 240;
}

int batteryLevel(int millivolts, int fullThreshold)
{
    if (millivolts >= fullThreshold)
        return 100;
    static const struct { int from; int level; } steps[] = {
        {4100, 90}, {4000, 80}, {3900, 70}, {3800, 60}, {3700, 50},
        {3500, 40}, {3400, 30}, {3200, 20},
    };
    for (const auto &s : steps) {
        if (millivolts >= s.from)
            return s.level;
    }
    return 10;
}

int connectionIconState(bool cable, bool dongle, bool charging)
{
    if (cable)
        return dongle ? 1 : 0;
    if (dongle)
        return charging ? 1 : 2;
    return 3;
}

bool connectionPictureVisible(int state)
{
    return state == 1 || state == 2;
}

bool batteryBarVisible(int state)
{
    return state == 2 || state == 3;
}

bool batteryOutlineCharging(int state)
{
    return state == 0 || state == 1;
}

bool LowBatteryAlarm::report(int level, bool charging, bool cable)
{
    if (charging || cable || level >= REARM_LEVEL) {
        m_given = false;
        return false;
    }
    if (m_given || level > LOW_LEVEL)
        return false;
    m_given = true;
    return true;
}

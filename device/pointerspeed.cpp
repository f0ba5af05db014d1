#include "pointerspeed.h"

#include "download.h"
#include "platform/logging.h"
#include "platform/pointerspeed.h"

#include <QDebug>
#include <algorithm>

int readSystemPointerSpeed()
{
    return std::clamp(platform::pointerSpeed().read(), int(platform::POINTER_SPEED_MIN),
                      int(platform::POINTER_SPEED_MAX));
}

bool applyPointerSpeed(int speed)
{
    if (speed < platform::POINTER_SPEED_MIN || speed > platform::POINTER_SPEED_MAX) {
        qCDebug(lcPlatform, "Pointer speed %d is outside 1-20, not applied", speed);
        return false;
    }
    const int error = platform::pointerSpeed().apply(speed);
    if (error != 0) {
        qCDebug(lcPlatform, "Error in SystemParametersInfo :%d", error);
        return false;
    }
    return true;
}

bool applyPointerSpeedOfSlot(const ProfileSet &set, int slot)
{
    if (slot < 0 || slot >= SLOT_COUNT) {
        qCDebug(lcPlatform, "Profile slot %d does not exist, pointer speed not applied", slot);
        return false;
    }
    return applyPointerSpeed(set.profiles[slot].mousespeed);
}

bool applySystemPointerSpeed(const ProfileSet &set)
{
    return applyPointerSpeedOfSlot(set, set.ProfileID);
}

bool applySystemPointerSpeed()
{
    return applyPointerSpeed(lastDownloadPointerSpeed());
}

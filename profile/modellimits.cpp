#include "modellimits.h"

#include "configstore.h"
#include "description.h"
#include "profile/logging.h"

#include <QDebug>

int rateCodeOfChoice(int choice)
{
    static const int codes[RATE_CHOICES] = {8, 4, 2, 1};
    return choice >= 0 && choice < RATE_CHOICES ? codes[choice] : 0;
}

int rateChoiceOfCode(int code)
{
    for (int i = 0; i < RATE_CHOICES; ++i) {
        if (rateCodeOfChoice(i) == code)
            return i;
    }
    return -1;
}

int usableStageCount(int described)
{
    return described >= 1 && described <= STAGE_COUNT ? described : STAGE_COUNT;
}

ModelLimits describedModelLimits()
{
    ModelLimits limits;
    limits.stageCount = usableStageCount(dpiStageCount());
    const int rate = descriptionInt(QStringLiteral("pollrate"));
    if (rateChoiceOfCode(rate) >= 0)
        limits.rate = quint8(rate);
    const SleepRange sleep = sleepRange();
    limits.sleepMin = sleep.min;
    limits.sleepMax = sleep.max;
    return limits;
}

namespace {

// Sets `value` to `wanted` and counts it, when they differ.
template <class T, class U>
void put(T &value, U wanted, int &changed)
{
    if (value != static_cast<T>(wanted)) {
        value = static_cast<T>(wanted);
        ++changed;
    }
}

template <class T>
void bound(T &value, qint64 low, qint64 high, int &changed)
{
    if (qint64(value) < low)
        put(value, low, changed);
    else if (qint64(value) > high)
        put(value, high, changed);
}

template <class T>
void flag(T &value, int &changed)
{
    if (value > 1)
        put(value, 1, changed);
}

int clampProfile(ProfileData &p, const ModelLimits &limits)
{
    int changed = 0;
    const int stages = usableStageCount(limits.stageCount);
    if (rateChoiceOfCode(p.pollrate) < 0)
        put(p.pollrate, limits.rate, changed);
    bound(p.dpi, 0, stages - 1, changed);
    for (int i = 0; i < STAGE_COUNT; ++i) {
        DpiStage &s = p.stages[i];
        flag(s.used, changed);
        flag(s.link, changed);
        if (!limits.dpiKnown)
            continue;
        // A stage beyond the count is not shown; its zero is "no value".
        const qint64 low = i < stages ? limits.dpiMin : 0;
        bound(s.x, low, limits.dpiMax, changed);
        bound(s.y, low, limits.dpiMax, changed);
    }
    bound(p.mousespeed, 1, 20, changed);
    bound(p.scrollspeed, 1, 20, changed);
    if (p.LedMode >= EFFECT_COUNT)
        put(p.LedMode, 0, changed);
    bound(p.LedSleepTime, qBound(0, limits.sleepMin, 255), qBound(0, limits.sleepMax, 255), changed);
    for (LightEffect &e : p.effects) {
        bound(e.bright, 1, 3, changed);
        bound(e.breath, 1, 5, changed);
        bound(e.h, -1, 360, changed);   // -1: no hue (a grey)
        bound(e.s, 0, 255, changed);
        bound(e.v, 0, 255, changed);
    }
    return changed;
}

int clampDeviceWide(ProfileSet &set)
{
    int changed = 0;
    flag(set.Sync, changed);
    flag(set.AngleValue, changed);
    flag(set.Jitter, changed);
    bound(set.LiftHigh, 0, 2, changed);
    return changed;
}

} // namespace

int clampProfileToModel(ProfileData &profile, const ModelLimits &limits)
{
    const int changed = clampProfile(profile, limits);
    if (changed)
        qCInfo(lcProfile, "Profile \"%s\": %d values outside the model's range were brought into it",
               qPrintable(profile.ProfileName), changed);
    return changed;
}

int clampProfileSetToModel(ProfileSet &set, const ModelLimits &limits)
{
    int changed = clampDeviceWide(set);
    for (ProfileData &p : set.profiles)
        changed += clampProfile(p, limits);
    if (changed)
        qCInfo(lcProfile, "Profile set: %d values outside the model's range were brought into it", changed);
    return changed;
}

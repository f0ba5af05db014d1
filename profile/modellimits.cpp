#include "modellimits.h"

#include "configstore.h"
#include "description.h"
#include "profile/logging.h"

#include <QDebug>
#include <QStringList>

bool isShortRange3327Product(const QString &product)
{
    static const QStringList products = {
        QStringLiteral("K408-RGB"), QStringLiteral("ZUNDRA"), QStringLiteral("6138"),
        QStringLiteral("MORTHANE3"), QStringLiteral("PALDIN"), QStringLiteral("K204-RGB"),
        QStringLiteral("DRUVELL2"), QStringLiteral("CALNIRA2"), QStringLiteral("ZEPHARN")};
    return products.contains(product);
}

bool sensorRange(int sensor, bool wide3325, const QString &product, SensorRange &out)
{
    switch (sensor) {
    case 3104: out = {500, 4200, 14, 105, true}; return true;
    case 31042: out = {500, 8400, 14, 158, true}; return true;
    case 3212: out = {600, 7200, 16, 111, false}; return true;
    case 3311: out = {100, 12000, 1, 120, false}; return true;
    case 33112: out = {100, 24000, 1, 180, false}; return true;
    case 3325:
        out = wide3325 ? SensorRange{100, 16000, 1, 90, false} : SensorRange{100, 5000, 1, 50, false};
        return true;
    case 33252:
        out = wide3325 ? SensorRange{100, 16000, 1, 90, false} : SensorRange{100, 10000, 1, 75, false};
        return true;
    case 3327:
        out = isShortRange3327Product(product) ? SensorRange{200, 12400, 1, 92, false}
                                               : SensorRange{200, 16400, 1, 106, false};
        return true;
    case 3333: out = {200, 16000, 2, 120, false}; return true;
    case 3335: out = {100, 16000, 1, 160, false}; return true;
    case 33352: out = {100, 32000, 1, 240, false}; return true;
    case 3360: out = {100, 24000, 1, 180, true}; return true;
    case 3370: out = {50, 19000, 1, 290, false}; return true;
    case 3389: out = {100, 32000, 2, 480, true}; return true;
    case 3395: out = {50, 26000, 0, 519, false}; return true;
    case 33952: out = {50, 52000, 0, 779, false}; return true;
    case 3399: out = {50, 40000, 0, 599, true}; return true;
    default: return false;
    }
}

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

ModelLimits currentModelLimits()
{
    ModelLimits limits;
    limits.stageCount = usableStageCount(dpiStageCount());
    SensorRange range;
    if (sensorRange(sensorCode(), descriptionInt(QStringLiteral("33254")) == 1, readCurrentProduct(), range)) {
        limits.dpiKnown = true;
        limits.dpiMin = range.minIndex;
        limits.dpiMax = range.maxIndex;
    }
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

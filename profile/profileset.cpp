#include "profileset.h"

#include "configstore.h"
#include "description.h"
#include "inifile.h"
#include "macrostore.h"

#include <cstring>

namespace {

void builtInDefaults(ProfileData &p)
{
    static const quint32 stageValues[STAGE_COUNT] = {8, 12, 16, 24, 50, 75, 0, 0};
    static const qint32 buttonFuns[7] = {1, 2, 3, 4, 5, 4, 5};
    p.LedMode = 9;
    for (int i = 0; i < STAGE_COUNT; ++i)
        p.stages[i].xy = p.stages[i].x = p.stages[i].y = stageValues[i];
    for (int i = 0; i < 7; ++i)
        p.buttons[i].Fun = buttonFuns[i];
    for (int i = 0; i < EFFECT_COUNT; ++i) {
        p.effects[i].colour = QColor(255, 0, 0);
        p.effects[i].bright = 3;
        p.effects[i].breath = 3;
    }
    p.effects[4].breath = 2;
    p.effects[9].breath = 4;
    p.effects[10].colour = QColor(0, 255, 0);
    p.effects[10].breath = 5;
    p.effects[12].breath = 1;
}

void descriptionDefaults(ProfileData &p, const DeviceDescription &d)
{
    p.pollrate = lowU8(d.pollrate);
    p.LedMode = d.LedMode < EFFECT_COUNT ? d.LedMode : 0;
    p.dpi = d.dpi;
    for (int i = 0; i < STAGE_COUNT; ++i) {
        const quint32 v = static_cast<quint32>(d.xy[i]);
        p.stages[i].xy = p.stages[i].x = p.stages[i].y = v;
    }
    for (int i = 0; i < 20; ++i) {
        const DeviceDescription::Button &src = d.buttons[i];
        ButtonEntry &b = p.buttons[i];
        b.Fun = src.Fun;
        b.LoopNumber = src.LoopNumber;
        b.KeyNumber = src.KeyNumber;
        b.Res1 = src.Res1;
        b.Res2 = src.Res2;
        b.Res3 = src.Res3;
        b.Res4 = src.Res4;
    }
    for (int i = 0; i < EFFECT_COUNT; ++i) {
        p.effects[i].colour = d.effects[i].colour;
        p.effects[i].bright = d.effects[i].bright;
        p.effects[i].breath = d.effects[i].breath;
    }
}

bool sameKeyInfo(const ButtonEntry &a, const ButtonEntry &b)
{
    return std::memcmp(a.KeyInfo, b.KeyInfo, sizeof a.KeyInfo) == 0;
}

bool sameStage(const DpiStage &a, const DpiStage &b)
{
    return a.used == b.used && a.x == b.x && a.y == b.y;   // link and xy do not count
}

bool sameEffect(const LightEffect &a, const LightEffect &b)
{
    return a.colour == b.colour && a.h == b.h && a.s == b.s && a.v == b.v && a.bright == b.bright
           && a.breath == b.breath;
}

quint8 compareGeneral(const ProfileSet &w, const ProfileSet &s)
{
    quint8 mask = 0;
    for (int i = 0; i < SLOT_COUNT; ++i)
        if (w.profiles[i].pollrate != s.profiles[i].pollrate || w.profiles[i].scrollspeed != s.profiles[i].scrollspeed)
            mask |= CHANGE_GENERAL;
    // The device-wide options all travel in the general block.
    if (w.LiftHigh != s.LiftHigh || w.AngleValue != s.AngleValue || w.Sync != s.Sync || w.Jitter != s.Jitter
        || w.Debounce != s.Debounce)
        mask |= CHANGE_GENERAL;
    if (w.ProfileID != s.ProfileID) {
        mask |= CHANGE_GENERAL;
    } else {
        // The active slot's stage, and the lighting mode and options of the
        // slot the lighting comes from.
        const int light = lightingSlot(w);
        const ProfileData &la = w.profiles[light];
        const ProfileData &lb = s.profiles[light];
        if (w.profiles[activeSlot(w)].dpi != s.profiles[activeSlot(s)].dpi || la.LedMode != lb.LedMode
            || la.LedMoveOFF != lb.LedMoveOFF || la.LedSleepTime != lb.LedSleepTime)
            mask |= CHANGE_GENERAL;
    }
    return mask;
}

quint8 compareStages(const ProfileData &a, const ProfileData &b)
{
    for (int j = 0; j < STAGE_COUNT; ++j)
        if (!sameStage(a.stages[j], b.stages[j]))
            return CHANGE_DPI;
    return 0;
}

// May clear the edited mark of the first macro found edited.
quint8 compareButtons(const ProfileData &w, const ProfileData &s)
{
    for (int j = 0; j < BUTTON_COUNT; ++j) {
        const ButtonEntry &a = w.buttons[j];
        const ButtonEntry &b = s.buttons[j];
        if (a.ID != b.ID || a.Fun != b.Fun || a.LoopNumber != b.LoopNumber || a.KeyNumber != b.KeyNumber
            || a.Res1 != b.Res1 || a.Res2 != b.Res2 || a.Res3 != b.Res3 || a.Res4 != b.Res4)
            return CHANGE_BUTTONS;
        // Gun files (510) are macro files too: their name and edited mark count.
        if (a.Fun != 200 && a.Fun != 510) {
            if (!sameKeyInfo(a, b))
                return CHANGE_BUTTONS;
            continue;
        }
        if (a.macroname != b.macroname || !sameKeyInfo(a, b))
            return CHANGE_BUTTONS;
        if (readWriteSign(a.macroname) != 0) {
            clearWriteSign(a.macroname);
            return CHANGE_BUTTONS;
        }
    }
    return 0;
}

// Within one slot only the chosen effect counts; when the mouse holds another
// slot's lighting, every effect of the table does.
quint8 compareLighting(const ProfileData &a, const ProfileData &b, bool sameSlot)
{
    if (a.LedMode != b.LedMode)
        return CHANGE_LIGHTING;
    if (sameSlot)
        return (a.LedMode < EFFECT_COUNT && !sameEffect(a.effects[a.LedMode], b.effects[a.LedMode])) ? CHANGE_LIGHTING
                                                                                                   : 0;
    for (int e = 0; e < EFFECT_COUNT; ++e)
        if (!sameEffect(a.effects[e], b.effects[e]))
            return CHANGE_LIGHTING;
    return 0;
}

} // namespace

bool sameProfile(const ProfileData &a, const ProfileData &b)
{
    if (a.pollrate != b.pollrate || a.dpi != b.dpi || a.LedMode != b.LedMode || a.LedMoveOFF != b.LedMoveOFF
        || a.LedSleepTime != b.LedSleepTime || a.mousespeed != b.mousespeed || a.dbclickspeed != b.dbclickspeed
        || a.scrollispage != b.scrollispage || a.scrollspeed != b.scrollspeed || a.accelenable != b.accelenable
        || a.acee != b.acee || a.ProfileName != b.ProfileName || a.ProfilePath != b.ProfilePath)
        return false;
    for (int i = 0; i < STAGE_COUNT; ++i) {
        const DpiStage &s = a.stages[i];
        const DpiStage &t = b.stages[i];
        if (s.used != t.used || s.link != t.link || s.xy != t.xy || s.x != t.x || s.y != t.y)
            return false;
    }
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const ButtonEntry &s = a.buttons[i];
        const ButtonEntry &t = b.buttons[i];
        if (s.ID != t.ID || s.Fun != t.Fun || s.LoopNumber != t.LoopNumber || s.KeyNumber != t.KeyNumber
            || s.Res1 != t.Res1 || s.Res2 != t.Res2 || s.Res3 != t.Res3 || s.Res4 != t.Res4
            || s.macroname != t.macroname || !sameKeyInfo(s, t))
            return false;
    }
    for (int i = 0; i < EFFECT_COUNT; ++i) {
        if (!sameEffect(a.effects[i], b.effects[i]))
            return false;
    }
    return true;
}

void buildDefaultProfile(ProfileData &profile)
{
    profile = ProfileData();
    profile.pollrate = 1;
    profile.dpi = 1;
    profile.LedMode = 1;
    profile.mousespeed = 10;
    profile.dbclickspeed = 5;
    profile.scrollispage = 0;
    profile.scrollspeed = 1;
    profile.accelenable = 1;
    profile.acee = 1;
    profile.LedMoveOFF = 1;
    profile.LedSleepTime = 1;
    for (DpiStage &stage : profile.stages) {
        stage.used = 1;
        stage.link = 1;
    }
    DeviceDescription description;
    if (readDeviceDescription(description))
        descriptionDefaults(profile, description);
    else
        builtInDefaults(profile);
    profile.buttons[40].Fun = 52;
    profile.buttons[41].Fun = 53;
    for (LightEffect &effect : profile.effects) {
        effect.h = 360;
        effect.s = 0;
        effect.v = 0;
    }
}

void resetProfileSet(ProfileSet &set)
{
    set.ProfileID = 0;
    set.AngleValue = 1;
    set.LiftHigh = descriptionInt(QStringLiteral("Sync")) == 2 ? 1 : 0;
    set.Sync = 0;
    set.Jitter = 1;
    set.Debounce = 20;
    buildDefaultProfile(set.profiles[0]);
    for (int i = 0; i < SLOT_COUNT; ++i)
        set.names[i] = QStringLiteral("Profile %1").arg(i + 1);
}

quint8 compareProfileSets(const ProfileSet &working, const ProfileSet &saved)
{
    const int held = activeSlot(saved);
    const int active = activeSlot(working);
    const int heldLight = lightingSlot(saved);
    const int light = lightingSlot(working);
    quint8 mask = compareGeneral(working, saved);
    mask |= compareStages(working.profiles[active], saved.profiles[held]);
    mask |= compareButtons(working.profiles[active], saved.profiles[held]);
    mask |= compareLighting(working.profiles[light], saved.profiles[heldLight], light == heldLight);
    return mask;
}

int activeSlot(const ProfileSet &set)
{
    return set.ProfileID < SLOT_COUNT ? set.ProfileID : 0;
}

int lightingSlotOf(const QString &product, int activeSlot)
{
    if (product == QLatin1String("6132"))
        return 0;
    return activeSlot >= 0 && activeSlot < SLOT_COUNT ? activeSlot : 0;
}

int lightingSlot(const ProfileSet &set)
{
    return lightingSlotOf(readCurrentProduct(), activeSlot(set));
}

ProfileSet &workingSet()
{
    static ProfileSet set;
    return set;
}

ProfileSet &savedSet()
{
    static ProfileSet set;
    return set;
}

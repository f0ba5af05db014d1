// Factory defaults, factory reset, change detection and the two process-wide sets.

#include "profiletest.h"

#include "device/sensors.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/inifile.h"
#include "profile/macrostore.h"
#include "profile/modellimits.h"
#include "profile/profileset.h"

#include <QtTest>
#include <functional>

class TestProfileSet : public QObject
{
    Q_OBJECT

private slots:
    void defaultsWithoutDescription();
    void defaultsFromShippedDescription();
    void defaultsFromCustomDescription();
    void defaultsClearPreviousContent();
    void resetKeepsSlotsAndCount();
    void resetLiftHighFollowsSync();
    void wholeValueCopy();
    void changeMaskBits();
    void macroWriteMarkReportedOnce();
    void macroWriteMarkSurvivesEarlierDifference();
    void gunFileButtonSeesItsEditsLikeAMacro();
    void unusedMacroMarkIsLeftAlone();
    void valuesAreBroughtIntoTheModelsRange_data();
    void valuesAreBroughtIntoTheModelsRange();
    void validProfilesAreLeftAsTheyAre();
};

namespace {

// The demo model: six stages on a 3395 sensor (DPI indices 0..519), 1000 Hz
// from the factory, the light's sleep time 1..9.
ModelLimits demoLimits(bool knownSensor = true)
{
    ModelLimits limits;
    limits.stageCount = 6;
    limits.dpiKnown = knownSensor;
    limits.dpiMin = 0;
    limits.dpiMax = knownSensor ? 519 : 0;
    limits.rate = 1;
    limits.sleepMin = 1;
    limits.sleepMax = 9;
    return limits;
}

enum Field {
    Pollrate, ActiveStage, Used, Link, StageX, StageY, LastStageX, MouseSpeed, ScrollSpeed, SleepTime,
    Bright, Breath, Hue, Saturation, Value, LedMode, Sync, LiftHigh, AngleValue, Jitter
};

// Field `f` of slot 0 of the set (stage 2, effect 3; the last stage lies beyond the six).
qint64 cell(const ProfileSet &set, int f)
{
    const ProfileData &p = set.profiles[0];
    qint64 scratch = 0;
    switch (f) {
    case Pollrate: scratch = p.pollrate; break;
    case ActiveStage: scratch = p.dpi; break;
    case Used: scratch = p.stages[2].used; break;
    case Link: scratch = p.stages[2].link; break;
    case StageX: scratch = p.stages[2].x; break;
    case StageY: scratch = p.stages[2].y; break;
    case LastStageX: scratch = p.stages[7].x; break;
    case MouseSpeed: scratch = p.mousespeed; break;
    case ScrollSpeed: scratch = p.scrollspeed; break;
    case SleepTime: scratch = p.LedSleepTime; break;
    case Bright: scratch = p.effects[3].bright; break;
    case Breath: scratch = p.effects[3].breath; break;
    case Hue: scratch = p.effects[3].h; break;
    case Saturation: scratch = p.effects[3].s; break;
    case Value: scratch = p.effects[3].v; break;
    case LedMode: scratch = p.LedMode; break;
    case Sync: scratch = set.Sync; break;
    case LiftHigh: scratch = set.LiftHigh; break;
    case AngleValue: scratch = set.AngleValue; break;
    case Jitter: scratch = set.Jitter; break;
    }
    return scratch;
}

void setCell(ProfileSet &set, int f, qint64 v)
{
    ProfileData &p = set.profiles[0];
    switch (f) {
    case Pollrate: p.pollrate = lowU8(v); break;
    case ActiveStage: p.dpi = lowU8(v); break;
    case Used: p.stages[2].used = lowU8(v); break;
    case Link: p.stages[2].link = lowU8(v); break;
    case StageX: p.stages[2].x = lowU32(v); break;
    case StageY: p.stages[2].y = lowU32(v); break;
    case LastStageX: p.stages[7].x = lowU32(v); break;
    case MouseSpeed: p.mousespeed = lowU8(v); break;
    case ScrollSpeed: p.scrollspeed = lowU8(v); break;
    case SleepTime: p.LedSleepTime = lowU8(v); break;
    case Bright: p.effects[3].bright = lowI32(v); break;
    case Breath: p.effects[3].breath = lowI32(v); break;
    case Hue: p.effects[3].h = lowI32(v); break;
    case Saturation: p.effects[3].s = lowI32(v); break;
    case Value: p.effects[3].v = lowI32(v); break;
    case LedMode: p.LedMode = lowU8(v); break;
    case Sync: set.Sync = lowU8(v); break;
    case LiftHigh: set.LiftHigh = lowU8(v); break;
    case AngleValue: set.AngleValue = lowU8(v); break;
    case Jitter: set.Jitter = lowU8(v); break;
    }
}

} // namespace

// A value a crafted file may hold, and what the model makes of it.
void TestProfileSet::valuesAreBroughtIntoTheModelsRange_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<bool>("knownSensor");
    const auto row = [](const char *name, int f, qint64 stored, qint64 expected, bool known = true) {
        QTest::newRow(name) << f << stored << expected << known;
    };
    row("rate code 3", Pollrate, 3, 1);
    row("rate code 0", Pollrate, 0, 1);
    row("125 Hz kept", Pollrate, 8, 8);
    row("stage 201 of 6", ActiveStage, 201, 5);
    row("last stage kept", ActiveStage, 5, 5);
    row("stage flag 7", Used, 7, 1);
    row("stage off kept", Used, 0, 0);
    row("link flag 2", Link, 2, 1);
    row("DPI index -2147483648", StageX, -2147483648LL, 519);
    row("DPI index 520", StageX, 520, 519);
    row("DPI index 519 kept", StageX, 519, 519);
    row("DPI index 0 kept", StageX, 0, 0);
    row("Y index above", StageY, 100000, 519);
    row("unknown sensor: index kept", StageX, 100000, 100000, false);
    row("beyond the stages: 0 kept", LastStageX, 0, 0);
    row("beyond the stages: held below the maximum", LastStageX, 4000000000LL, 519);
    row("pointer speed 0", MouseSpeed, 0, 1);
    row("pointer speed 21", MouseSpeed, 21, 20);
    row("scroll speed 0", ScrollSpeed, 0, 1);
    row("scroll speed 255", ScrollSpeed, 255, 20);
    row("sleep time 0", SleepTime, 0, 1);
    row("sleep time 10", SleepTime, 10, 9);
    row("brightness 0", Bright, 0, 1);
    row("brightness 4", Bright, 4, 3);
    row("brightness -5", Bright, -5, 1);
    row("speed 6", Breath, 6, 5);
    row("hue 361", Hue, 361, 360);
    row("hue of a grey kept", Hue, -1, -1);
    row("hue -2", Hue, -2, -1);
    row("saturation 256", Saturation, 256, 255);
    row("value -1", Value, -1, 0);
    row("lighting mode 14", LedMode, 14, 0);
    row("motion sync 2", Sync, 2, 1);
    row("lift distance 3", LiftHigh, 3, 2);
    row("lift distance 2 kept", LiftHigh, 2, 2);
    row("angle snapping 255", AngleValue, 255, 1);
    row("ripple control 9", Jitter, 9, 1);
}

void TestProfileSet::valuesAreBroughtIntoTheModelsRange()
{
    QFETCH(int, field);
    QFETCH(qint64, stored);
    QFETCH(qint64, expected);
    QFETCH(bool, knownSensor);
    TempBase base;
    ProfileSet set;
    resetProfileSet(set);
    for (int i = 1; i < SLOT_COUNT; ++i)
        set.profiles[i] = set.profiles[0];
    const ProfileSet factory = set;
    setCell(set, field, stored);
    const ProfileSet crafted = set;
    const int changed = clampProfileSetToModel(set, demoLimits(knownSensor));
    QCOMPARE(cell(set, field), expected);
    QCOMPARE(changed, stored == expected ? 0 : 1);
    // Nothing else moves.
    ProfileSet rest = set;
    setCell(rest, field, cell(factory, field));
    QCOMPARE(setDifference(rest, factory), QString());
    // The profile alone gets the same, and a second pass changes nothing.
    if (field < Sync) {
        ProfileData alone = crafted.profiles[0];
        QCOMPARE(clampProfileToModel(alone, demoLimits(knownSensor)), changed);
        QCOMPARE(profileDifference(alone, set.profiles[0]), QString());
    }
    QCOMPARE(clampProfileSetToModel(set, demoLimits(knownSensor)), 0);
}

// The factory profile (the shipped description's values, or the built-in
// ones without a description), a factory reset and the demo model's limits:
// none of them is touched, so what they send to the mouse is as before.
void TestProfileSet::validProfilesAreLeftAsTheyAre()
{
    TempBase base;
    const ModelLimits shipped = currentModelLimits();
    QCOMPARE(shipped.stageCount, 6);
    QVERIFY(shipped.dpiKnown);
    QCOMPARE(shipped.dpiMin, 0);
    QCOMPARE(shipped.dpiMax, 519);
    QCOMPARE(int(shipped.rate), 1);
    QCOMPARE(shipped.sleepMin, 1);
    QCOMPARE(shipped.sleepMax, 9);

    ProfileSet set;
    resetProfileSet(set);
    for (int i = 1; i < SLOT_COUNT; ++i)
        buildDefaultProfile(set.profiles[i]);
    const ProfileSet factory = set;
    QCOMPARE(clampProfileSetToModel(set, shipped), 0);
    QCOMPARE(setDifference(set, factory), QString());
    for (int s = 0; s < STAGE_COUNT; ++s)   // the described values, beyond the six stages too
        QCOMPARE(set.profiles[0].stages[s].x, quint32(factory.profiles[0].stages[s].x));

    TempAppDir app;   // no description: the built-in factory profile
    ProfileData builtIn;
    buildDefaultProfile(builtIn);
    const ProfileData before = builtIn;
    QCOMPARE(clampProfileToModel(builtIn, currentModelLimits()), 0);
    QCOMPARE(profileDifference(builtIn, before), QString());
}

void TestProfileSet::defaultsWithoutDescription()
{
    TempAppDir app;
    QVERIFY(!descriptionExists());
    ProfileData p;
    buildDefaultProfile(p);
    QCOMPARE(p.pollrate, quint8(1));
    QCOMPARE(p.dpi, quint8(1));
    QCOMPARE(p.LedMode, quint8(9));
    QCOMPARE(p.LedMoveOFF, quint8(1));
    QCOMPARE(p.LedSleepTime, quint8(1));
    QCOMPARE(p.mousespeed, quint8(10));
    QCOMPARE(p.dbclickspeed, quint8(5));
    QCOMPARE(p.scrollispage, quint8(0));
    QCOMPARE(p.scrollspeed, quint8(1));
    QCOMPARE(p.accelenable, quint8(1));
    QCOMPARE(p.acee, quint8(1));
    const quint32 stages[8] = {8, 12, 16, 24, 50, 75, 0, 0};
    for (int i = 0; i < STAGE_COUNT; ++i) {
        QCOMPARE(p.stages[i].used, quint8(1));
        QCOMPARE(p.stages[i].link, quint8(1));
        QCOMPARE(p.stages[i].xy, stages[i]);
        QCOMPARE(p.stages[i].x, stages[i]);
        QCOMPARE(p.stages[i].y, stages[i]);
    }
    const int funs[20] = {1, 2, 3, 4, 5, 4, 5};
    for (int i = 0; i < 20; ++i)
        QCOMPARE(p.buttons[i].Fun, funs[i]);
    for (int i = 20; i < 40; ++i)
        QCOMPARE(p.buttons[i].Fun, 0);
    QCOMPARE(p.buttons[40].Fun, 52);
    QCOMPARE(p.buttons[41].Fun, 53);
    const int breath[14] = {3, 3, 3, 3, 2, 3, 3, 3, 3, 4, 5, 3, 1, 3};
    for (int i = 0; i < EFFECT_COUNT; ++i) {
        QCOMPARE(p.effects[i].colour, i == 10 ? QColor(0, 255, 0) : QColor(255, 0, 0));
        QCOMPARE(p.effects[i].h, 360);
        QCOMPARE(p.effects[i].s, 0);
        QCOMPARE(p.effects[i].v, 0);
        QCOMPARE(p.effects[i].bright, 3);
        QCOMPARE(p.effects[i].breath, breath[i]);
    }
}

void TestProfileSet::defaultsFromShippedDescription()
{
    QVERIFY2(descriptionExists(), qPrintable(descriptionPath()));
    ProfileData p;
    buildDefaultProfile(p);
    DeviceDescription d;
    QVERIFY(readDeviceDescription(d));
    QCOMPARE(p.pollrate, quint8(d.pollrate));
    QCOMPARE(p.dpi, d.dpi);
    QCOMPARE(p.LedMode, d.LedMode);
    QCOMPARE(p.LedMoveOFF, quint8(1));
    QCOMPARE(p.LedSleepTime, quint8(1));
    QCOMPARE(p.mousespeed, quint8(10));
    // The demo model's six stages on a 3395 sensor: 400 .. 12800 DPI.
    const int dpis[6] = {400, 800, 1600, 3200, 6400, 12800};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(sensorDpi(int(p.stages[i].x), 3395), dpis[i]);
    for (int i = 0; i < STAGE_COUNT; ++i) {
        QCOMPARE(p.stages[i].used, quint8(1));
        QCOMPARE(p.stages[i].link, quint8(1));
        QCOMPARE(p.stages[i].xy, quint32(d.xy[i]));
        QCOMPARE(p.stages[i].y, quint32(d.xy[i]));
    }
    const int funs[8] = {1, 2, 3, 5, 4, 47, 48, 49};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(p.buttons[i].Fun, funs[i]);
    for (int i = 8; i < 40; ++i)
        QCOMPARE(p.buttons[i].Fun, 0);
    for (int i = 0; i < BUTTON_COUNT; ++i)
        QCOMPARE(p.buttons[i].ID, 0);   // the description's IDs are not taken
    QCOMPARE(p.buttons[40].Fun, 52);
    QCOMPARE(p.buttons[41].Fun, 53);
    for (int i = 0; i < EFFECT_COUNT; ++i) {
        QVERIFY(p.effects[i].colour.isValid());
        QCOMPARE(p.effects[i].colour, d.effects[i].colour);
        QCOMPARE(p.effects[i].bright, d.effects[i].bright);
        QCOMPARE(p.effects[i].breath, d.effects[i].breath);
        QCOMPARE(p.effects[i].h, 360);
    }
}

void TestProfileSet::defaultsFromCustomDescription()
{
    TempAppDir app;
    writeIni(app.descriptionFile(), {
        {"PROFILE/pollrate", 3}, {"PROFILE/dpi", 2}, {"PROFILE/LedMode", 4},
        {"PROFILE/DPI_INFO_0_xy", 33}, {"PROFILE/DPI_INFO_7_xy", 99},
        {"PROFILE/BUTTON_INFO_0_ID", 77}, {"PROFILE/BUTTON_INFO_0_Fun", 9},
        {"PROFILE/BUTTON_INFO_0_LoopNumber", 4}, {"PROFILE/BUTTON_INFO_0_KeyNumber", 2},
        {"PROFILE/BUTTON_INFO_0_Res1", 11}, {"PROFILE/BUTTON_INFO_0_Res4", 14},
        {"PROFILE/BUTTON_INFO_15_Fun", 21},
        // The file describes 16 buttons: a 17th row is not read.
        {"PROFILE/BUTTON_INFO_16_Fun", 8},
        {"PROFILE/LedMode/LED_MODE_2_RGB", QColor(1, 2, 3)},
        {"PROFILE/LedMode/LED_MODE_2_bright", 4}, {"PROFILE/LedMode/LED_MODE_2_breath", 5},
    });
    ProfileData p;
    buildDefaultProfile(p);
    QCOMPARE(p.pollrate, quint8(3));
    QCOMPARE(p.dpi, quint8(2));
    QCOMPARE(p.LedMode, quint8(4));
    QCOMPARE(p.stages[0].x, 33u);
    QCOMPARE(p.stages[1].x, 0u);
    QCOMPARE(p.stages[7].y, 99u);
    QCOMPARE(p.buttons[0].ID, 0);
    QCOMPARE(p.buttons[0].Fun, 9);
    QCOMPARE(p.buttons[0].LoopNumber, 4);
    QCOMPARE(p.buttons[0].KeyNumber, 2);
    QCOMPARE(p.buttons[0].Res1, quint8(11));
    QCOMPARE(p.buttons[0].Res4, quint8(14));
    QCOMPARE(p.buttons[1].Fun, 0);   // the built-in 2 does not apply with a description
    QCOMPARE(p.buttons[15].Fun, 21);
    for (int i = 16; i < 20; ++i)
        QCOMPARE(p.buttons[i].Fun, 0);
    QCOMPARE(p.buttons[40].Fun, 52);
    QCOMPARE(p.buttons[41].Fun, 53);
    QCOMPARE(p.effects[2].colour, QColor(1, 2, 3));
    QCOMPARE(p.effects[2].bright, 4);
    QCOMPARE(p.effects[2].breath, 5);
    QVERIFY(!p.effects[3].colour.isValid());   // absent in the file
    QCOMPARE(p.effects[3].bright, 0);
}

void TestProfileSet::defaultsClearPreviousContent()
{
    ProfileData p;
    fillProfile(p, 9);
    buildDefaultProfile(p);
    QVERIFY(p.ProfileName.isEmpty());
    QVERIFY(p.ProfilePath.isEmpty());
    QVERIFY(p.buttons[3].macroname.isEmpty());
    for (const ButtonEntry &b : p.buttons) {
        for (const KeyInfo &k : b.KeyInfo)
            QVERIFY(k.map == 0 && k.dataL == 0 && k.dataH == 0);
    }
    QCOMPARE(p.buttons[25].Res3, quint8(0));
}

void TestProfileSet::resetKeepsSlotsAndCount()
{
    TempBase base;
    ProfileSet set;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        fillProfile(set.profiles[i], i + 1);
        set.names[i] = QStringLiteral("mine %1").arg(i);
    }
    set.ProfileID = 3;
    set.AngleValue = 0;
    set.Sync = 1;
    set.Jitter = 7;
    set.Debounce = 4;
    set.Count = 42;
    const ProfileSet before = set;
    resetProfileSet(set);
    QCOMPARE(set.ProfileID, quint8(0));
    QCOMPARE(set.AngleValue, quint8(1));
    QCOMPARE(set.Sync, quint8(0));
    QCOMPARE(set.Jitter, quint8(1));
    QCOMPARE(set.Debounce, quint8(20));
    QCOMPARE(set.Count, quint8(42));
    ProfileData fresh;
    buildDefaultProfile(fresh);
    QCOMPARE(profileDifference(set.profiles[0], fresh), QString());
    for (int i = 1; i < SLOT_COUNT; ++i)
        QCOMPARE(profileDifference(set.profiles[i], before.profiles[i]), QString());
    for (int i = 0; i < SLOT_COUNT; ++i)
        QCOMPARE(set.names[i], QStringLiteral("Profile %1").arg(i + 1));
}

void TestProfileSet::resetLiftHighFollowsSync()
{
    ProfileSet set;
    // The shipped demo model has PROFILE/Sync = 2.
    QCOMPARE(descriptionInt(QStringLiteral("Sync")), 2);
    resetProfileSet(set);
    QCOMPARE(set.LiftHigh, quint8(1));

    TempAppDir app;
    set.LiftHigh = 1;
    resetProfileSet(set);   // no description: Sync reads 0
    QCOMPARE(set.LiftHigh, quint8(0));

    writeIni(app.descriptionFile(), {{"PROFILE/Sync", 1}});
    set.LiftHigh = 1;
    resetProfileSet(set);
    QCOMPARE(set.LiftHigh, quint8(0));

    writeIni(app.descriptionFile(), {{"PROFILE/Sync", 2}});
    set.LiftHigh = 0;
    resetProfileSet(set);
    QCOMPARE(set.LiftHigh, quint8(1));
}

void TestProfileSet::wholeValueCopy()
{
    ProfileSet &working = workingSet();
    ProfileSet &saved = savedSet();
    QVERIFY(&working != &saved);
    QCOMPARE(&workingSet(), &working);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        fillProfile(working.profiles[i], 10 + i);
        working.names[i] = QStringLiteral("n%1").arg(i);
    }
    working.Debounce = 9;
    saved = working;
    QCOMPARE(setDifference(saved, working), QString());
    working.profiles[2].buttons[3].macroname = QStringLiteral("changed");
    working.profiles[4].effects[1].colour = QColor(9, 9, 9);
    working.names[1] = QStringLiteral("other");
    QCOMPARE(saved.profiles[2].buttons[3].macroname, QStringLiteral("宏 12"));
    QVERIFY(saved.profiles[4].effects[1].colour != QColor(9, 9, 9));
    QCOMPARE(saved.names[1], QStringLiteral("n1"));
    working = ProfileSet();
    saved = ProfileSet();
}

void TestProfileSet::changeMaskBits()
{
    TempBase base;
    ProfileSet baseline;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        fillProfile(baseline.profiles[i], i);
        baseline.profiles[i].buttons[3].Fun = 7;   // no macro: no file is read
        baseline.profiles[i].LedMode = quint8(i);
    }
    baseline.ProfileID = 1;   // active slot 1, whose lighting mode is 1

    struct Case {
        const char *what;
        std::function<void(ProfileSet &)> change;
        quint8 expected;
    };
    const Case cases[] = {
        {"nothing", [](ProfileSet &) {}, 0},
        {"report rate of an inactive slot", [](ProfileSet &s) { s.profiles[4].pollrate++; }, CHANGE_GENERAL},
        {"scroll speed", [](ProfileSet &s) { s.profiles[3].scrollspeed++; }, CHANGE_GENERAL},
        {"lift-off", [](ProfileSet &s) { s.LiftHigh++; }, CHANGE_GENERAL},
        // The mouse holds the active slot's tables: another active slot with
        // other stages, buttons and lights needs every group.
        {"active slot", [](ProfileSet &s) { s.ProfileID = 2; }, CHANGE_ALL},
        {"active slot with the same tables",
         [](ProfileSet &s) {
             s.profiles[2] = s.profiles[1];
             s.ProfileID = 2;
         }, CHANGE_GENERAL},
        {"active slot whose lights differ in an effect not chosen",
         [](ProfileSet &s) {
             s.profiles[2] = s.profiles[1];
             s.profiles[2].effects[9].colour = Qt::blue;
             s.ProfileID = 2;
         }, CHANGE_GENERAL | CHANGE_LIGHTING},
        {"active stage of the active slot", [](ProfileSet &s) { s.profiles[1].dpi++; }, CHANGE_GENERAL},
        {"active stage of another slot", [](ProfileSet &s) { s.profiles[0].dpi++; }, 0},
        {"move-off of the active slot", [](ProfileSet &s) { s.profiles[1].LedMoveOFF++; }, CHANGE_GENERAL},
        {"move-off of another slot", [](ProfileSet &s) { s.profiles[2].LedMoveOFF++; }, 0},
        {"sleep time of the active slot", [](ProfileSet &s) { s.profiles[1].LedSleepTime++; }, CHANGE_GENERAL},
        {"lighting mode of the active slot", [](ProfileSet &s) { s.profiles[1].LedMode = 6; },
         CHANGE_GENERAL | CHANGE_LIGHTING},
        {"lighting mode of another slot", [](ProfileSet &s) { s.profiles[4].LedMode = 0; }, 0},
        // The general block carries the device-wide options: each alone must be written.
        {"angle snapping", [](ProfileSet &s) { s.AngleValue ^= 1; }, CHANGE_GENERAL},
        {"motion sync", [](ProfileSet &s) { s.Sync ^= 1; }, CHANGE_GENERAL},
        {"ripple control", [](ProfileSet &s) { s.Jitter ^= 1; }, CHANGE_GENERAL},
        {"button response", [](ProfileSet &s) { s.Debounce++; }, CHANGE_GENERAL},
        {"profile count", [](ProfileSet &s) { s.Count++; }, 0},
        {"pointer options and names",
         [](ProfileSet &s) {
             s.profiles[1].mousespeed++; s.profiles[1].dbclickspeed++; s.profiles[1].scrollispage ^= 1;
             s.profiles[1].accelenable ^= 1; s.profiles[1].acee ^= 1; s.profiles[1].ProfileName = "x";
             s.profiles[1].ProfilePath = "y"; s.names[0] = "z";
         }, 0},
        {"stage used", [](ProfileSet &s) { s.profiles[1].stages[7].used ^= 1; }, CHANGE_DPI},
        {"stage x", [](ProfileSet &s) { s.profiles[1].stages[0].x++; }, CHANGE_DPI},
        {"stage y", [](ProfileSet &s) { s.profiles[1].stages[5].y++; }, CHANGE_DPI},
        {"stage of another slot", [](ProfileSet &s) { s.profiles[4].stages[5].y++; }, 0},
        {"stage link only", [](ProfileSet &s) { s.profiles[0].stages[2].link ^= 1; }, 0},
        {"stage xy only", [](ProfileSet &s) { s.profiles[2].stages[2].xy++; }, 0},
        {"button ID", [](ProfileSet &s) { s.profiles[1].buttons[41].ID++; }, CHANGE_BUTTONS},
        {"button function", [](ProfileSet &s) { s.profiles[1].buttons[0].Fun++; }, CHANGE_BUTTONS},
        {"button loop", [](ProfileSet &s) { s.profiles[1].buttons[20].LoopNumber++; }, CHANGE_BUTTONS},
        {"button of another slot", [](ProfileSet &s) { s.profiles[0].buttons[0].Fun++; }, 0},
        {"button key count", [](ProfileSet &s) { s.profiles[1].buttons[7].KeyNumber++; }, CHANGE_BUTTONS},
        {"button Res1", [](ProfileSet &s) { s.profiles[1].buttons[8].Res1++; }, CHANGE_BUTTONS},
        {"button Res4", [](ProfileSet &s) { s.profiles[1].buttons[9].Res4++; }, CHANGE_BUTTONS},
        {"last key event", [](ProfileSet &s) { s.profiles[1].buttons[30].KeyInfo[62].dataH++; }, CHANGE_BUTTONS},
        {"macro name without a macro function", [](ProfileSet &s) { s.profiles[0].buttons[3].macroname = "m"; }, 0},
        {"effect colour of the active effect", [](ProfileSet &s) { s.profiles[1].effects[1].colour = Qt::blue; },
         CHANGE_LIGHTING},
        {"effect hue of the active effect", [](ProfileSet &s) { s.profiles[1].effects[1].h++; }, CHANGE_LIGHTING},
        {"effect saturation", [](ProfileSet &s) { s.profiles[1].effects[1].s++; }, CHANGE_LIGHTING},
        {"effect value", [](ProfileSet &s) { s.profiles[1].effects[1].v++; }, CHANGE_LIGHTING},
        {"effect brightness", [](ProfileSet &s) { s.profiles[1].effects[1].bright++; }, CHANGE_LIGHTING},
        {"effect breathing", [](ProfileSet &s) { s.profiles[1].effects[1].breath++; }, CHANGE_LIGHTING},
        {"chosen effect of another slot", [](ProfileSet &s) { s.profiles[3].effects[3].bright++; }, 0},
        {"colour of an effect no slot uses", [](ProfileSet &s) { s.profiles[1].effects[9].colour = Qt::blue; }, 0},
        {"colour of an effect another slot uses", [](ProfileSet &s) { s.profiles[0].effects[4].colour = Qt::blue; }, 0},
        {"everything",
         [](ProfileSet &s) {
             s.profiles[0].pollrate++; s.profiles[1].stages[1].used ^= 1; s.profiles[1].buttons[1].Fun++;
             s.profiles[1].effects[1].bright++;
         }, CHANGE_ALL},
    };
    for (const Case &c : cases) {
        ProfileSet working = baseline;
        c.change(working);
        const quint8 mask = compareProfileSets(working, baseline);
        QVERIFY2(mask == c.expected,
                 qPrintable(QStringLiteral("%1: mask %2, expected %3").arg(c.what).arg(mask).arg(c.expected)));
    }
    QVERIFY2(listFiles(base.root.path()).filter(".MSMACRO").isEmpty(), "no macro file may be created");

    // One lighting setting for all profiles ("6132"): the lights are slot 1's
    // whichever slot is active, and so are the mode and options.
    writeCurrentProduct(QStringLiteral("6132"));
    ProfileSet working = baseline;
    working.profiles[1].effects[1].colour = Qt::blue;
    working.profiles[1].LedMoveOFF++;
    QCOMPARE(compareProfileSets(working, baseline), quint8(0));
    working.profiles[0].effects[0].colour = Qt::blue;
    QCOMPARE(compareProfileSets(working, baseline), quint8(CHANGE_LIGHTING));
    working = baseline;
    working.profiles[0].LedSleepTime++;
    QCOMPARE(compareProfileSets(working, baseline), quint8(CHANGE_GENERAL));
    working = baseline;
    working.ProfileID = 3;   // the lights stay slot 1's, only their tables' slots change
    working.profiles[3] = working.profiles[1];
    QCOMPARE(compareProfileSets(working, baseline), quint8(CHANGE_GENERAL));
}

namespace {
ProfileSet setWithMacro(const QString &name, int slot, int button)
{
    ProfileSet set;
    set.ProfileID = quint8(slot);
    ButtonEntry &b = set.profiles[slot].buttons[button];
    b.Fun = 200;
    b.macroname = name;
    b.KeyNumber = 2;
    b.KeyInfo[0] = {132, 4, 0};
    b.KeyInfo[1] = {4, 4, 0};
    return set;
}
}

void TestProfileSet::macroWriteMarkReportedOnce()
{
    TempBase base;
    const QVector<KeyInfo> events{{132, 4, 0}, {4, 4, 0}};
    QVERIFY(saveMacro(QStringLiteral("m1"), MacroSettings(), events));
    QCOMPARE(readWriteSign(QStringLiteral("m1")), 1);

    const ProfileSet working = setWithMacro(QStringLiteral("m1"), 2, 17);
    const ProfileSet saved = working;
    QCOMPARE(compareProfileSets(working, saved), quint8(CHANGE_BUTTONS));
    QCOMPARE(readWriteSign(QStringLiteral("m1")), 0);
    QCOMPARE(compareProfileSets(working, saved), quint8(0));

    // Saving the macro again marks it again.
    QVERIFY(saveMacro(QStringLiteral("m1"), MacroSettings(), events));
    QCOMPARE(compareProfileSets(working, saved), quint8(CHANGE_BUTTONS));
    QCOMPARE(compareProfileSets(working, saved), quint8(0));

    // A macro button whose name differs is a change without touching any file.
    QVERIFY(saveMacro(QStringLiteral("m1"), MacroSettings(), events));
    ProfileSet renamed = working;
    renamed.profiles[2].buttons[17].macroname = QStringLiteral("m2");
    QCOMPARE(compareProfileSets(renamed, saved), quint8(CHANGE_BUTTONS));
    QCOMPARE(readWriteSign(QStringLiteral("m1")), 1);
}

void TestProfileSet::macroWriteMarkSurvivesEarlierDifference()
{
    TempBase base;
    QVERIFY(saveMacro(QStringLiteral("late"), MacroSettings(), {}));
    ProfileSet saved = setWithMacro(QStringLiteral("late"), 1, 5);
    ProfileSet working = saved;
    working.profiles[1].buttons[2].Fun = 9;   // found first: the walk stops there
    QCOMPARE(compareProfileSets(working, saved), quint8(CHANGE_BUTTONS));
    QCOMPARE(readWriteSign(QStringLiteral("late")), 1);
    saved = working;   // after the write attempt
    QCOMPARE(compareProfileSets(working, saved), quint8(CHANGE_BUTTONS));
    QCOMPARE(readWriteSign(QStringLiteral("late")), 0);
    QCOMPARE(compareProfileSets(working, saved), quint8(0));
}

void TestProfileSet::gunFileButtonSeesItsEditsLikeAMacro()
{
    TempBase base;
    QVERIFY(saveMacro(QStringLiteral("gun"), MacroSettings(), {{1, 1, 0}, {0x81, 1, 0}}));
    ProfileSet saved = setWithMacro(QStringLiteral("gun"), 0, 4);
    saved.profiles[0].buttons[4].Fun = 510;
    const ProfileSet working = saved;
    // The edited gun file is sent once, and its mark cleared.
    QCOMPARE(compareProfileSets(working, saved), quint8(CHANGE_BUTTONS));
    QCOMPARE(readWriteSign(QStringLiteral("gun")), 0);
    QCOMPARE(compareProfileSets(working, saved), quint8(0));
    // Another gun file on the same button is a change too.
    ProfileSet other = working;
    other.profiles[0].buttons[4].macroname = QStringLiteral("gun2");
    QCOMPARE(compareProfileSets(other, saved), quint8(CHANGE_BUTTONS));
}

void TestProfileSet::unusedMacroMarkIsLeftAlone()
{
    TempBase base;
    QVERIFY(saveMacro(QStringLiteral("idle"), MacroSettings(), {}));
    ProfileSet set = setWithMacro(QStringLiteral("ghost"), 0, 0);   // no such file
    QCOMPARE(compareProfileSets(set, set), quint8(0));
    QCOMPARE(readWriteSign(QStringLiteral("idle")), 1);
    QVERIFY(!QFile::exists(macroPath(QStringLiteral("ghost"))));
    // An unsafe macro name in a record reads no file and writes none.
    ProfileSet hostile = setWithMacro(QStringLiteral("../idle"), 0, 0);
    QCOMPARE(compareProfileSets(hostile, hostile), quint8(0));
}

QTEST_GUILESS_MAIN(TestProfileSet)
#include "tst_profileset.moc"

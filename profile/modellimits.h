#pragma once
// What the served model takes: the report rate codes, the stage count, the
// DPI index range of its sensor (from the sensor catalogue), and the ranges
// the DPI, sensor and lighting pages offer. A profile read from a file (a slot file, an imported profile or
// configuration) is brought into them before it is saved or sent, so a crafted
// file never reaches the mouse as it is.

#include "records.h"

#include <QString>

// Report rate codes of the general settings block: 8 = 125 Hz, 4 = 250 Hz,
// 2 = 500 Hz, 1 = 1000 Hz. The menu lists them in that order.
enum { RATE_CHOICES = 4 };
int rateCodeOfChoice(int choice);        // 0..3 -> 8, 4, 2, 1; anything else 0
int rateChoiceOfCode(int code);          // 8, 4, 2, 1 -> 0..3; anything else -1

// A described stage count outside 1..8 counts as 8.
int usableStageCount(int described);

struct ModelLimits {
    int stageCount = STAGE_COUNT;   // stages in use, 1..8
    bool dpiKnown = false;          // the sensor is in the table: dpiMin..dpiMax hold
    int dpiMin = 0;
    int dpiMax = 0;
    quint8 rate = 1;                // the factory's report rate, for a code the mouse does not know
    int sleepMin = 1;               // the light's sleep time choices
    int sleepMax = 9;
};
// The served model's as its description gives them: everything but the DPI
// range, which the sensor catalogue adds (currentModelLimits() in
// device/sensors.h).
ModelLimits describedModelLimits();

// Brings every value of the record the mouse or the pages use into the
// model's range: report rate, active stage, the stages' flags and DPI indices
// (a stage beyond the stage count keeps 0 and is only held below the maximum),
// pointer and scroll speed, lighting mode, sleep time, brightness, speed and
// hue, saturation and value of every effect. A record within the ranges (the
// factory profile among them) is left exactly as it is. Returns how many
// values were changed; a change is said once in the trace (mousecfg.profile).
int clampProfileToModel(ProfileData &profile, const ModelLimits &limits);
// The same for the device-wide options (on/off switches, lift distance 0..2)
// and every slot of the set.
int clampProfileSetToModel(ProfileSet &set, const ModelLimits &limits);

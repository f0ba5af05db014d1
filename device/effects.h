#pragma once
// The lighting effects: one row per LedMode value of a profile (0..13), with
// everything the program keys on it. The lighting page reads its name, its
// place in the menu and the controls it shows; the general settings block
// the mode number the mouse runs; the lighting block the record the effect
// fills and how; the simulator's view the name of that mode. Adding an effect
// is one row here and its lines in tests/link/data/effects.txt.

#include "profile/records.h"

#include <QtGlobal>

#include <array>

struct LightingEffect {
    int ledMode;            // the profile's LedMode value
    const char *text;       // the page's name (translated in the context "ZelColorWindow")
    int menuPosition;       // place in the page's menu; -1: never offered, only shown
    bool brightness;        // the controls the page shows for it
    bool speed;
    bool colour;
    bool speedInUpperRow;   // a speed without brightness, shown in the upper row
    // Byte 18 of the general block: 1 + the mouse's lighting mode, which is
    // also the lighting block's record mode - 1.
    quint8 modeCode;
    // The record this effect fills, when it fills one (record modeCode - 1;
    // every record starts with 0x80): bytes 1-3 the colour (else 0), byte 4
    // `recordKind`, byte 5 breath (else 0), byte 6 `recordByte6`, byte 7
    // brightness, or `recordByte7` when that is 0 or more.
    bool fillsRecord;
    bool recordColour;
    quint8 recordKind;
    bool recordBreath;
    quint8 recordByte6;
    int recordByte7;
    // The simulated mouse's name of the mode this effect owns (nullptr for the
    // effects that run another's mode).
    const char *modeName;
};

// Every effect, by LedMode value.
const std::array<LightingEffect, EFFECT_COUNT> &lightingEffects();
// The row of a LedMode value; nullptr outside 0..13.
const LightingEffect *findLightingEffect(int ledMode);

enum { LIGHTING_RECORDS = 10 };
// The mode code the general block sends for a LedMode value (6 for a value
// outside the table, as the mouse's default mode).
quint8 lightingModeCode(int ledMode);
// The simulated mouse's name of a mode code (1..10), empty for another.
const char *lightingModeName(int code);

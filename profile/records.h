#pragma once
// The profile records every page edits and the device link turns into bytes.
// Plain value types: default construction gives zero integers, empty strings
// and invalid colours; copies are whole-value.

#include <QColor>
#include <QString>
#include <QtGlobal>

// One key event of a button assignment or of a macro: map, dataL, dataH.
struct KeyInfo {
    quint8 map = 0;
    quint8 dataL = 0;
    quint8 dataH = 0;
};
static_assert(sizeof(KeyInfo) == 3, "KeyInfo is three bytes, compared as a block");

enum { KEYINFO_COUNT = 63, BUTTON_COUNT = 42, STAGE_COUNT = 8, EFFECT_COUNT = 14, SLOT_COUNT = 5 };

struct DpiStage {
    quint8 used = 0;  // 1 = stage enabled
    quint8 link = 0;  // X/Y link flag of the DPI page
    quint32 xy = 0;   // raw value when X and Y are equal
    quint32 x = 0;
    quint32 y = 0;
};

struct ButtonEntry {
    qint32 ID = 0;
    qint32 Fun = 0;         // function code; 200 and 510 are the macro functions
    qint32 LoopNumber = 0;
    qint32 KeyNumber = 0;   // KeyInfo triples in use (or the fire-key delay)
    ::KeyInfo KeyInfo[KEYINFO_COUNT] = {};
    quint8 Res1 = 0;
    quint8 Res2 = 0;
    quint8 Res3 = 0;
    quint8 Res4 = 0;
    QString macroname;
};

struct LightEffect {
    QColor colour;
    qint32 h = 0;
    qint32 s = 0;
    qint32 v = 0;
    qint32 bright = 0;
    qint32 breath = 0;
};

struct ProfileData {
    quint8 pollrate = 0;
    quint8 dpi = 0;
    quint8 LedMode = 0;
    quint8 LedMoveOFF = 0;
    quint8 LedSleepTime = 0;
    DpiStage stages[STAGE_COUNT];
    quint8 mousespeed = 0;
    quint8 dbclickspeed = 0;
    quint8 scrollispage = 0;
    quint8 scrollspeed = 0;
    quint8 accelenable = 0;
    quint8 acee = 0;
    ButtonEntry buttons[BUTTON_COUNT];
    LightEffect effects[EFFECT_COUNT];
    QString ProfileName;
    QString ProfilePath;
};

struct ProfileSet {
    quint8 ProfileID = 0;   // active slot 0..4
    ProfileData profiles[SLOT_COUNT];
    quint8 AngleValue = 0;
    quint8 LiftHigh = 0;
    quint8 Sync = 0;
    quint8 Count = 0;
    quint8 Jitter = 0;
    quint8 Debounce = 0;
    QString names[SLOT_COUNT];  // base name of the profile file in each slot
};

// Groups of settings that a write sends; 15 sends everything.
enum ChangeMask : quint8 {
    CHANGE_GENERAL = 1,
    CHANGE_DPI = 2,
    CHANGE_BUTTONS = 4,
    CHANGE_LIGHTING = 8,
    CHANGE_ALL = 15,
};

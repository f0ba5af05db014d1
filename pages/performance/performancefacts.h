#pragma once
// Pure conversions of the DPI tab: the report-rate codes and the layout of
// the stage rows.

#include <QString>

// The slider range of each sensor (SensorRange, sensorRange) comes from the
// sensor catalogue, device/sensors.h.

// Report rate codes of the general settings block: 8 = 125 Hz, 4 = 250 Hz,
// 2 = 500 Hz, 1 = 1000 Hz. The menu lists them in that order.
enum { RATE_CHOICES = 4 };
int rateCodeOfChoice(int choice);        // 0..3 -> 8, 4, 2, 1; anything else 0
int rateChoiceOfCode(int code);          // 8, 4, 2, 1 -> 0..3; anything else -1
int rateHertz(int code);                 // 8 -> 125 ... 1 -> 1000; anything else 0
// "125 HZ" ... "1000 HZ", untranslated (the source text); empty for other codes.
const char *rateSourceText(int code);

// Stage rows of the DPI page, in design units: the first row's top, the
// distance from one row to the next and a row's height. Up to six stages the
// rows are 48 high, 50 apart; seven and eight stages take a tighter pitch so
// that every row stays inside the page.
struct StageRowLayout {
    int top = 43;
    int pitch = 50;
    int height = 48;
};
StageRowLayout stageRowLayout(int stageCount);
// A described stage count outside 1..8 counts as 8.
int usableStageCount(int described);

#pragma once
// Pure conversions of the DPI tab: the slider range and labels of each
// sensor, the report-rate codes, and the layout of the stage rows.

#include <QString>

// What a DPI row offers for a sensor: the labels under the slider ends (in
// DPI), the index range of the sliders, and whether X and Y may be unlinked.
struct SensorRange {
    int minLabel = 0;
    int maxLabel = 0;
    int minIndex = 0;
    int maxIndex = 0;
    bool linkShown = false;
};

// The range of a sensor code. `wide3325` is the description's PROFILE/33254
// switch, `product` the current product name (sensor 3327 has a shorter range
// on some products). False for a sensor outside the table: `out` is untouched.
bool sensorRange(int sensor, bool wide3325, const QString &product, SensorRange &out);
// The products whose 3327 sensor stops at index 92 (12400 DPI).
bool isShortRange3327Product(const QString &product);

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

#pragma once
// Pure conversions of the DPI tab: the report-rate codes and the layout of
// the stage rows.

// The sensor ranges, the report rate codes and the usable stage count live
// with the model's limits, which the profile store checks files against.
#include "profile/modellimits.h"

#include <QString>

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

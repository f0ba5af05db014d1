#include "performancefacts.h"

int rateHertz(int code)
{
    return rateChoiceOfCode(code) < 0 ? 0 : 1000 / code;
}

const char *rateSourceText(int code)
{
    switch (code) {
    case 8: return "125 HZ";
    case 4: return "250 HZ";
    case 2: return "500 HZ";
    case 1: return "1000 HZ";
    default: return "";
    }
}

StageRowLayout stageRowLayout(int stageCount)
{
    StageRowLayout layout;
    if (usableStageCount(stageCount) > 6) {
        // Eight rows of 42 between the title and the page's foot (386).
        layout.pitch = 43;
        layout.height = 42;
    }
    return layout;
}

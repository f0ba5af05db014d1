#include "performancefacts.h"

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

int usableStageCount(int described)
{
    return described >= 1 && described <= 8 ? described : 8;
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

#include "sensors.h"

#include "profile/configstore.h"
#include "profile/description.h"

#include <QStringList>

#include <algorithm>
#include <climits>

// ---- Register sequences ----------------------------------------------------

const std::array<quint8, 161> R3335 = {
      0,   0,   2,   3,   4,   5,   6,   7,   9,  10,  11,  12,  13,  15,  16,  17,
     18,  19,  21,  22,  23,  24,  25,  27,  28,  29,  30,  31,  33,  34,  35,  36,
     37,  39,  40,  41,  42,  44,  45,  46,  47,  48,  50,  51,  52,  53,  54,  56,
     57,  58,  59,  60,  62,  63,  64,  65,  66,  68,  69,  70,  71,  72,  74,  75,
     76,  77,  78,  80,  81,  82,  83,  84,  86,  87,  88,  89,  90,  92,  93,  94,
     95,  96,  98,  99, 100, 101, 102, 104, 105, 106, 107, 108, 110, 111, 112, 113,
    115, 116, 117, 118, 119, 121, 122, 123, 124, 125, 127, 128, 129, 130, 131, 133,
    134, 135, 136, 137, 139, 140, 141, 142, 143, 144, 146, 147, 148, 149, 150, 152,
    153, 154, 155, 156, 157, 158, 160, 161, 162, 163, 164, 165, 166, 168, 169, 170,
    171, 172, 173, 174, 176, 177, 178, 179, 180, 181, 182, 184, 185, 186, 187, 188,
    188,
};

const std::array<quint8, 121> R3311 = [] {
    std::array<quint8, 121> seq{};
    std::copy_n(R3335.begin(), seq.size(), seq.begin());
    return seq;
}();

const std::array<quint8, 81> R3333 = {
      0,   2,   4,   6,   9,  11,  14,  16,  18,  21,  23,  26,  28,  30,  33,  35,
     37,  40,  42,  44,  47,  49,  51,  54,  56,  58,  61,  63,  66,  68,  70,  73,
     75,  77,  80,  82,  84,  87,  89,  91,  94,  96,  98, 101, 103, 105, 108, 110,
    112, 115, 117, 119, 122, 124, 126, 129, 131, 133, 136, 138, 140, 143, 145, 148,
    150, 152, 155, 157, 159, 162, 164, 166, 169, 171, 173, 176, 178, 180, 183, 185,
    187,
};

const std::array<quint8, 62> R3327 = {
      0,   4,   6,   9,  11,  13,  15,  18,  20,  23,  25,  27,  29,  32,  34,  36,
     38,  41,  43,  45,  47,  50,  52,  54,  56,  59,  61,  63,  66,  68,  70,  72,
     75,  77,  79,  81,  84,  86,  88,  90,  93,  95,  97, 100, 102, 104, 106, 109,
    111, 113, 115, 118, 120, 122, 124, 127, 129, 131, 133, 136, 138, 140,
};

const std::array<quint8, 51> R3325 = {
      0,   2,   4,   6,   8,  11,  13,  15,  18,  20,  23,  25,  27,  30,  32,  34,
     37,  39,  41,  43,  46,  48,  50,  53,  55,  57,  60,  62,  64,  67,  69,  71,
     74,  76,  78,  81,  83,  85,  88,  90,  92,  94,  97,  99, 101, 104, 106, 108,
    111, 113, 115,
};

namespace {

constexpr int kLast = INT_MAX;
constexpr quint32 kLastIndex = 0xFFFFFFFFu;

using Encoding = Sensor::Encoding;
using Order = Sensor::Order;
using SniperByte = Sensor::SniperByte;

// A row, written one fact at a time.
struct Row {
    Sensor s{};

    explicit Row(int code) { s.code = code; }
    Row &dpi(int upTo, int base, int origin, int step, int quantum = 1)
    {
        s.dpi[size_t(s.dpiSegments++)] = {upTo, base, origin, step, quantum};
        return *this;
    }
    Row &rounds(int from, int to)
    {
        s.roundings[size_t(s.roundingCount++)] = {from, to};
        return *this;
    }
    // The register index, or the entry of `seq` it points at, per segment.
    Row &registers(Order order)
    {
        s.encoding = Encoding::Segments;
        s.order = order;
        return *this;
    }
    template <std::size_t N>
    Row &lookedUpIn(const std::array<quint8, N> &seq)
    {
        s.table = seq.data();
        s.tableSize = N;
        return *this;
    }
    Row &reg(quint32 upTo, quint32 shift, quint8 range)
    {
        s.registers[size_t(s.registerSegments++)] = {upTo, shift, range};
        return *this;
    }
    Row &word(quint32 capInMode8)
    {
        s.encoding = Encoding::Word;
        s.modeCap = capInMode8;
        return *this;
    }
    Row &flaggedWord(quint32 limitX, quint32 limitY, quint32 shift)
    {
        s.encoding = Encoding::FlaggedWord;
        s.limitX = limitX;
        s.limitY = limitY;
        s.wordShift = shift;
        return *this;
    }
    Row &slider(SensorRange r)
    {
        s.range = r;
        return *this;
    }
    Row &wideSlider(SensorRange r)
    {
        s.hasWide = true;
        s.wide = r;
        return *this;
    }
    Row &shortSlider(SensorRange r)
    {
        s.hasShort = true;
        s.short_ = r;
        return *this;
    }
    Row &sniper(int minimum, int maximum, int preset, SniperByte byte)
    {
        s.sniperMin = minimum;
        s.sniperMax = maximum;
        s.sniperPreset = preset;
        s.sniperByte = byte;
        return *this;
    }
    template <std::size_t N>
    Row &sniperLookedUpIn(const std::array<quint8, N> &seq)
    {
        s.sniperByte = SniperByte::Table;
        s.sniperTable = seq.data();
        s.sniperTableSize = N;
        return *this;
    }
    operator Sensor() const { return s; }
};

// Every sensor the program knows. Where a value does not fit its segment's
// rule the sensor has a rounding of its own (3104 at 14, 3212 at five
// indices, 3327 at its top index).
const std::array<Sensor, 17> &catalogue()
{
    static const std::array<Sensor, 17> rows = {
        Row(3104).dpi(106, 0, 0, 40).dpi(kLast, 4240, 106, 80).rounds(560, 500)
            .registers(Order::YX).reg(106, 0, 0).reg(kLastIndex, 53, 1)
            .slider({500, 4200, 14, 105, true}).sniper(14, 26, 14, SniperByte::Step),
        Row(31042).dpi(106, 0, 0, 40).dpi(kLast, 4240, 106, 80).rounds(560, 500)
            .registers(Order::YX).reg(106, 0, 0).reg(kLastIndex, 53, 1)
            .slider({500, 8400, 14, 158, true}),
        Row(3212).dpi(63, 0, 0, 38, 10).dpi(94, 0, 32, 76, 10).dpi(kLast, 0, 63, 152, 10)
            .rounds(790, 800).rounds(1210, 1200).rounds(1630, 1600).rounds(2390, 2400).rounds(7290, 7200)
            .registers(Order::XY).reg(63, 0, 0).reg(94, 32, 1).reg(kLastIndex, 63, 2)
            .slider({600, 7200, 16, 111, false}).sniper(16, 32, 16, SniperByte::Step),
        Row(3311).dpi(120, 0, 0, 100).dpi(kLast, 12000, 120, 200)
            .registers(Order::XY).lookedUpIn(R3311).reg(120, 0, 0).reg(kLastIndex, 60, 1)
            .slider({100, 12000, 1, 120, false}),
        Row(33112).dpi(120, 0, 0, 100).dpi(kLast, 12000, 120, 200)
            .registers(Order::XY).lookedUpIn(R3311).reg(120, 0, 0).reg(kLastIndex, 60, 1)
            .slider({100, 24000, 1, 180, false}),
        Row(3325).dpi(50, 0, 0, 100).dpi(75, 5000, 50, 200).dpi(kLast, 10000, 75, 400)
            .registers(Order::XY).lookedUpIn(R3325).reg(50, 0, 0).reg(75, 25, 1).reg(kLastIndex, 50, 2)
            .slider({100, 5000, 1, 50, false}).wideSlider({100, 16000, 1, 90, false})
            .sniper(1, 10, 3, SniperByte::Table).sniperLookedUpIn(R3325),
        Row(33252).dpi(50, 0, 0, 100).dpi(75, 5000, 50, 200).dpi(kLast, 10000, 75, 400)
            .registers(Order::XY).lookedUpIn(R3325).reg(50, 0, 0).reg(75, 25, 1).reg(kLastIndex, 50, 2)
            .slider({100, 10000, 1, 75, false}).wideSlider({100, 16000, 1, 90, false}),
        Row(3327).dpi(61, 100, 0, 100).dpi(92, 6200, 61, 200).dpi(kLast, 12300, 92, 300).rounds(16500, 16400)
            .registers(Order::XY).lookedUpIn(R3327).reg(61, 0, 0).reg(92, 31, 1).reg(kLastIndex, 52, 4)
            .slider({200, 16400, 1, 106, false}).shortSlider({200, 12400, 1, 92, false})
            .sniper(1, 10, 3, SniperByte::Table).sniperLookedUpIn(R3327),
        // The sniper of 3333 has a range of its own but sends the common byte.
        Row(3333).dpi(80, 0, 0, 100).dpi(kLast, 8000, 80, 200)
            .registers(Order::XY).lookedUpIn(R3333).reg(79, 0, 0).reg(kLastIndex, 40, 1)
            .slider({200, 16000, 2, 120, false}).sniper(2, 10, 3, SniperByte::Four),
        Row(3335).dpi(160, 0, 0, 100).dpi(kLast, 16000, 160, 200)
            .registers(Order::XOnly).lookedUpIn(R3335).reg(160, 0, 0).reg(kLastIndex, 40, 1)
            .slider({100, 16000, 1, 160, false})
            .sniper(1, 10, 3, SniperByte::Table).sniperLookedUpIn(R3335),
        // Indices up to 240; past 200 the lookup holds at R3335's last entry.
        Row(33352).dpi(160, 0, 0, 100).dpi(kLast, 16000, 160, 200)
            .registers(Order::XOnly).lookedUpIn(R3335).reg(160, 0, 0).reg(kLastIndex, 40, 1)
            .slider({100, 32000, 1, 240, false}),
        Row(3360).dpi(120, 0, 0, 100).dpi(kLast, 12000, 120, 200)
            .registers(Order::XY).reg(120, 1, 0).reg(kLastIndex, 61, 1)
            .slider({100, 24000, 1, 180, true}).sniper(1, 10, 3, SniperByte::StepLessOne),
        Row(3370).dpi(200, 0, 0, 50).dpi(kLast, 10000, 200, 100)
            .registers(Order::XY).reg(200, 1, 0).reg(kLastIndex, 101, 1)
            .slider({50, 19000, 1, 290, false}),
        Row(3389).dpi(320, 0, 0, 50).dpi(kLast, 16000, 320, 100)
            .flaggedWord(320, 320, 160)
            .slider({100, 32000, 2, 480, true}).sniper(2, 20, 6, SniperByte::Step),
        Row(3395).dpi(519, 50, 0, 50).dpi(kLast, 26000, 519, 100)
            .word(399)
            .slider({50, 26000, 0, 519, false}),
        Row(33952).dpi(519, 50, 0, 50).dpi(kLast, 26000, 519, 100)
            .flaggedWord(519, 520, 260)
            .slider({50, 52000, 0, 779, false}),
        // Known to the DPI tab; the mouse gets zeros for its stages.
        Row(3399).dpi(399, 50, 0, 50).dpi(kLast, 20000, 399, 100)
            .slider({50, 40000, 0, 599, true}),
    };
    return rows;
}

using Pair = std::array<quint8, 2>;

// (register, range) of one index; false when the sensor sends nothing.
bool encodeIndex(const Sensor &s, quint32 v, quint8 deviceMode, bool isY, Pair &out)
{
    switch (s.encoding) {
    case Encoding::None:
        return false;
    case Encoding::Segments:
        for (int i = 0; i < s.registerSegments; ++i) {
            const Sensor::RegisterSegment &seg = s.registers[size_t(i)];
            if (v > seg.upTo)
                continue;
            const quint32 index = v - seg.shift;
            const quint32 reg = s.table ? s.table[index < s.tableSize ? index : s.tableSize - 1] : index;
            out = {quint8(reg & 0xFF), seg.range};
            return true;
        }
        return false;
    case Encoding::Word: {
        const quint32 w = (s.modeCap && deviceMode == 8) ? std::min(v, s.modeCap) : v;
        out = {quint8(w & 0xFF), quint8((w >> 8) & 0xFF)};
        return true;
    }
    case Encoding::FlaggedWord: {
        if (v <= (isY ? s.limitY : s.limitX)) {
            out = {quint8(v & 0xFF), quint8((v >> 8) & 0xFF)};
            return true;
        }
        const quint32 w = v - s.wordShift;
        out = {quint8(w & 0xFF), quint8(((w >> 8) & 0xFF) | 0x80)};
        return true;
    }
    }
    return false;
}

int clampToInt(qint64 v)
{
    return int(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}

// Integer division rounding down.
qint64 floorDiv(qint64 a, qint64 b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

const Sensor *findSensor(int code)
{
    for (const Sensor &s : catalogue())
        if (s.code == code)
            return &s;
    return nullptr;
}

int sensorDpi(int value, int sensor)
{
    const Sensor *s = findSensor(sensor);
    if (!s || s->dpiSegments == 0)
        return 0;
    // In 64 bits, so no raw value overflows.
    const qint64 v = value;
    const Sensor::DpiSegment *seg = &s->dpi[size_t(s->dpiSegments - 1)];
    for (int i = 0; i < s->dpiSegments; ++i) {
        if (v <= s->dpi[size_t(i)].upTo) {
            seg = &s->dpi[size_t(i)];
            break;
        }
    }
    qint64 dpi = seg->base + qint64(seg->quantum) * floorDiv(qint64(seg->step) * (v - seg->origin), seg->quantum);
    for (int i = 0; i < s->roundingCount; ++i) {
        if (dpi == s->roundings[size_t(i)][0]) {
            dpi = s->roundings[size_t(i)][1];
            break;
        }
    }
    return clampToInt(dpi);
}

std::array<quint8, 4> encodeDpiStage(quint32 x, quint32 y, int sensor, quint8 deviceMode)
{
    const Sensor *s = findSensor(sensor);
    Pair px{}, py{};
    if (!s || !encodeIndex(*s, x, deviceMode, false, px))
        return {0, 0, 0, 0};
    switch (s->order) {
    case Order::XOnly:
        return {px[0], px[1], px[0], px[1]};
    case Order::YX:
        encodeIndex(*s, y, deviceMode, true, py);
        return {py[0], py[1], px[0], px[1]};
    case Order::XY:
        break;
    }
    encodeIndex(*s, y, deviceMode, true, py);
    return {px[0], px[1], py[0], py[1]};
}

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
    const Sensor *s = findSensor(sensor);
    if (!s)
        return false;
    if (s->hasWide && wide3325)
        out = s->wide;
    else if (s->hasShort && isShortRange3327Product(product))
        out = s->short_;
    else
        out = s->range;
    return true;
}

bool sniperRange(int sensor, int *minimum, int *maximum)
{
    const Sensor *s = findSensor(sensor);
    if (!s || s->sniperMax == 0)
        return false;
    *minimum = s->sniperMin;
    *maximum = s->sniperMax;
    return true;
}

quint8 sniperPresetStep(quint8 step, int sensor)
{
    int minimum = 0, maximum = 0;
    if (!sniperRange(sensor, &minimum, &maximum))
        return step;
    return (step < minimum || step > maximum) ? quint8(findSensor(sensor)->sniperPreset) : step;
}

quint8 sniperRegister(quint8 step, int sensor)
{
    const Sensor *s = findSensor(sensor);
    if (!s || s->sniperMax == 0)
        return 4;
    switch (s->sniperByte) {
    case SniperByte::Four:
        return 4;
    case SniperByte::Step:
        return step;
    case SniperByte::StepLessOne:
        return quint8(step - 1);
    case SniperByte::Table:
        return s->sniperTable[step < s->sniperTableSize ? step : s->sniperTableSize - 1];
    }
    return 4;
}

ModelLimits currentModelLimits()
{
    ModelLimits limits = describedModelLimits();
    SensorRange range;
    if (sensorRange(sensorCode(), descriptionInt(QStringLiteral("33254")) == 1, readCurrentProduct(), range)) {
        limits.dpiKnown = true;
        limits.dpiMin = range.minIndex;
        limits.dpiMax = range.maxIndex;
    }
    return limits;
}

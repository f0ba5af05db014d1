#pragma once
// The sensor catalogue: everything the program knows about a mouse's sensor,
// one row per sensor code (MouseSenSor/1 of Config.ini), as the button
// catalogue has one row per button function.
//
// A DPI stage is stored as an index on the sensor's own scale. A row says
//   - what DPI an index stands for (piecewise linear segments, with the few
//     values the sensor rounds differently);
//   - how an index goes to the mouse: the register byte and the range byte
//     of each segment (an index minus the segment's shift, or looked up in
//     one of the register sequences below), a 16-bit word, or a word whose
//     top bit flags the upper segment; and whether the packet carries X then
//     Y, Y then X, or X alone in both places;
//   - the index range the DPI tab's sliders offer, with the labels under
//     them (some products and a description switch narrow or widen it);
//   - the sniper button's step range, its preset step and its register byte.
// Adding a sensor is one row in sensors.cpp and its lines in the recorded
// table of tests/link/data/sensors.txt.

#include "profile/modellimits.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>

// ---- Register sequences ----------------------------------------------------
// Resolution-register values per DPI index of the sensors that need a lookup.
extern const std::array<quint8, 161> R3335;
extern const std::array<quint8, 121> R3311;   // R3335 cut after entry 120
extern const std::array<quint8, 81> R3333;
extern const std::array<quint8, 62> R3327;
extern const std::array<quint8, 51> R3325;

// Entry `index` of a sequence; an index past the end reads the last entry, so
// DPI indices beyond a sequence (sensor 33352 above 200, or a damaged profile
// file) repeat its highest register value instead of reading past it.
template <std::size_t N>
quint8 registerValue(const std::array<quint8, N> &seq, quint32 index)
{
    return seq[index < N ? index : N - 1];
}

// ---- Rows ------------------------------------------------------------------
// What a DPI row of the DPI tab offers: the labels under the slider ends (in
// DPI), the index range of the sliders, and whether X and Y may be unlinked.
struct SensorRange {
    int minLabel = 0;
    int maxLabel = 0;
    int minIndex = 0;
    int maxIndex = 0;
    bool linkShown = false;
};

struct Sensor {
    int code = 0;

    // DPI of index v, in the first segment whose `upTo` is v or more:
    // base + quantum * floor(step * (v - origin) / quantum). Then a DPI
    // equal to a `roundings` entry's first value reads as its second.
    struct DpiSegment {
        int upTo;
        int base;
        int origin;
        int step;
        int quantum;
    };
    std::array<DpiSegment, 3> dpi;
    int dpiSegments;
    std::array<std::array<int, 2>, 6> roundings;
    int roundingCount;

    // The bytes of an index.
    enum class Encoding { None, Segments, Word, FlaggedWord };
    enum class Order { XY, YX, XOnly };
    struct RegisterSegment {
        quint32 upTo;     // indices up to this one (inclusive)
        quint32 shift;    // register index = v - shift
        quint8 range;     // the range byte
    };
    Encoding encoding;
    Order order;
    // Segments: a looked-up register (`table` of `tableSize` entries), else
    // the register index itself.
    const quint8 *table;
    std::size_t tableSize;
    std::array<RegisterSegment, 3> registers;
    int registerSegments;
    // Word: a cap on the index while the mouse reports device mode 8 (0: none).
    // FlaggedWord: above limitX (limitY for Y) the word is index - wordShift,
    // its high byte flagged with 0x80.
    quint32 modeCap;
    quint32 limitX;
    quint32 limitY;
    quint32 wordShift;

    // The DPI tab's range; `wide` replaces it when the description's
    // PROFILE/33254 is 1, `short_` on the short-range products (both only
    // where `hasWide` / `hasShort`).
    SensorRange range;
    bool hasWide;
    SensorRange wide;
    bool hasShort;
    SensorRange short_;

    // The sniper button: step range and preset (0, 0: none, the stored step
    // is kept as it is), and its register byte.
    enum class SniperByte { Four, Step, StepLessOne, Table };
    int sniperMin;
    int sniperMax;
    int sniperPreset;
    SniperByte sniperByte;
    const quint8 *sniperTable;
    std::size_t sniperTableSize;
};

// The row of a sensor code; nullptr for a code the program does not know.
const Sensor *findSensor(int code);

// ---- What the program asks ---------------------------------------------------
// Raw DPI register value to DPI for a sensor code; 0 for unknown sensors.
int sensorDpi(int value, int sensor);

// The four DPI bytes of one stage (register and range byte of X, then of Y,
// in the order the sensor takes them); all zero for an unknown sensor.
// `deviceMode` is the mode byte the battery poller last saw.
std::array<quint8, 4> encodeDpiStage(quint32 x, quint32 y, int sensor, quint8 deviceMode);

// The range of a sensor code. `wide3325` is the description's PROFILE/33254
// switch, `product` the current product name. False for a sensor outside the
// table: `out` is untouched.
bool sensorRange(int sensor, bool wide3325, const QString &product, SensorRange &out);
// The products whose 3327 sensor stops at index 92 (12400 DPI).
bool isShortRange3327Product(const QString &product);

// The sniper slider's range for a sensor; false for a sensor without one.
bool sniperRange(int sensor, int *minimum, int *maximum);
// The step a stored sniper value shows as: outside the sensor's range, its
// preset; unchanged for a sensor without a range.
quint8 sniperPresetStep(quint8 step, int sensor);
// The register byte the sniper button sends for a step (4 where the sensor
// has no rule of its own).
quint8 sniperRegister(quint8 step, int sensor);

// The served model's limits: what its description gives, and the DPI index
// range of its sensor (Config.ini's MouseSenSor/1) as the DPI tab offers it.
ModelLimits currentModelLimits();

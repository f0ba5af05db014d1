#pragma once
// What the demo's "Simulated mouse" panel shows and sends, without any widget:
// a snapshot of the simulated mouse, the decoding of the blocks it holds, the
// status reports its own buttons send, the battery bytes for a level, and the
// place of the panel beside the main window.

#include "sim/simmouse.h"

#include <QByteArray>
#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

namespace simview {

enum {
    PROFILE_COUNT = 5,
    DPI_STAGES = 8,
    KEY_SLOTS = 24,
    LIGHT_RECORDS = 10,
    MACRO_SLOTS = 20,
    MACRO_SLOT_SIZE = 200,
    BLOCK_COUNT = 5,
};

// Everything the panel shows, read from the simulator at one moment.
struct Snapshot {
    bool receiver = false;
    bool cable = false;
    bool mouseOff = false;
    sim::BatteryState battery;
    int activeProfile = 0;
    bool updateOpen = false;
    int updateBegins = 0;
    int updateEnds = 0;
    QVector<quint8> sections;
    QByteArray blocks[BLOCK_COUNT];     // indexed by int(sim::Block) - 1
    int commits[BLOCK_COUNT] = {};
    int writes = 0;
    int reads = 0;
    QVector<sim::FrameRecord> recentFrames;
    sim::PendingFaults faults;

    const QByteArray &block(sim::Block which) const { return blocks[int(which) - 1]; }
    int commitCount(sim::Block which) const { return commits[int(which) - 1]; }
};
Snapshot takeSnapshot(int recentFrameCount = 8);

// ---- Bytes ---------------------------------------------------------------------
// "05 3A FA", upper case, separated by single spaces.
QString hex(const QByteArray &bytes);
QString hexByte(quint8 byte);
// A written frame in a few words: "DPI · next @6 ×5", "UPDATE begin", ...
QString describeFrame(const QByteArray &frame);
// The frame's header (bytes 0 to 7), then " | " and the data bytes its
// length names, dataPerLine of them on the first line and on each line after.
QStringList frameByteLines(const QByteArray &frame, int dataPerLine = 16);

// ---- Report rates and DPI ---------------------------------------------------------
// 8 = 125 Hz, 4 = 250 Hz, 2 = 500 Hz, 1 = 1000 Hz; 0 for any other code.
int reportRateHz(quint8 code);
// "1000 Hz", or "code 0x00" for a code the mouse does not know.
QString reportRateText(quint8 code);
// 125 -> 250 -> 500 -> 1000 -> 125; an unknown code goes to 125 Hz.
quint8 nextReportRate(quint8 code);
// The DPI of a stage index on the demo mouse's sensor (its Config.ini's
// MouseSenSor/1).
enum { kDemoSensor = 3395 };
int dpiOfIndex(quint16 index);

// ---- Blocks ------------------------------------------------------------------------
struct General {
    bool valid = false;                 // exactly 19 bytes
    bool written = false;               // not all zero
    quint8 scroll[PROFILE_COUNT] = {};
    quint8 sensorFlags = 0;
    quint8 profile = 0;
    quint8 moveOff = 0;
    quint8 sleep = 0;
    quint8 debounce = 0;
    quint8 rates[PROFILE_COUNT] = {};
    quint8 dpiStage = 0;
    quint8 lightingMode = 0;
};
General decodeGeneral(const QByteArray &block);

// Lighting mode code (byte 18 of the general block, 1 = record 0) to a name.
QString lightingModeName(int code);

struct DpiStage {
    bool used = false;
    quint16 x = 0;                      // DPI indices, little-endian in the block
    quint16 y = 0;
    QByteArray bytes;                   // the stage's five bytes
};
struct DpiTable {
    bool valid = false;                 // exactly 41 bytes
    bool written = false;
    int stageCount = 0;                 // byte 0 as held
    DpiStage stages[DPI_STAGES];
};
DpiTable decodeDpi(const QByteArray &block);
// "800", or "800/1600" when X and Y differ.
QString stageText(const DpiStage &stage);

// Short name of a key slot's function, from its first byte (and, for keys,
// shortcuts and macros, the bytes after it); "" for a byte we do not know.
QString keyFunctionName(const QByteArray &slotBytes);

struct KeySlot {
    QByteArray bytes;                   // four bytes
    QString name;
};
struct KeyTable {
    bool valid = false;                 // exactly 128 bytes
    bool written = false;
    bool headerOk = false;              // 0A 00
    KeySlot keys[KEY_SLOTS];
};
KeyTable decodeKeys(const QByteArray &block);

struct LightRecord {
    quint8 marker = 0;                  // 0x80 in every record written
    QColor colour;
    quint8 kind = 0;                    // byte 4
    quint8 speed = 0;                   // byte 5 (breath)
    quint8 extra = 0;                   // byte 6
    quint8 brightness = 0;              // byte 7
    QString name;                       // of the lighting mode the record serves
};
struct Lighting {
    bool valid = false;                 // exactly 80 bytes
    bool written = false;
    LightRecord records[LIGHT_RECORDS];
};
Lighting decodeLighting(const QByteArray &block);

struct MacroSlot {
    bool used = false;                  // the first five bytes are not all zero
    int length = 0;                     // up to the last non-zero byte
    QByteArray head;                    // the first bytes, at most 12
};
struct MacroMemory {
    bool valid = false;                 // exactly 4000 bytes
    MacroSlot macros[MACRO_SLOTS];
    int usedCount = 0;
};
MacroMemory decodeMacros(const QByteArray &block);

QString blockName(sim::Block which);
QString blockShortName(sim::Block which);   // "General", "DPI", "Keys", "Lighting", "Macros"

// ---- The mouse's own buttons -------------------------------------------------------------
struct Status {
    quint8 profile = 0;
    quint8 dpi = 0;
    quint8 rate = 0;
    quint8 mode = 0;
};
bool operator==(const Status &a, const Status &b);
// What the mouse reports after its profile button, DPI button or report-rate
// button was pressed, from what it holds: the active profile, the stage and
// the report rates of its general block, the stages its DPI table enables,
// the mode byte of its battery state. A report rate it does not hold yet is
// reported as 1000 Hz.
Status profileButton(const Snapshot &s);
Status dpiButton(const Snapshot &s);
Status rateButton(const Snapshot &s);
void send(const Status &status);       // sim::pushStatus

// ---- Battery -----------------------------------------------------------------------------
// The level the main window shows for a report: 100 at 4200 mV or more, then
// 90 from 4100 mV down to 10 (the program's own reckoning).
int levelOfRaw(quint16 raw);
int millivoltsOfRaw(quint16 raw);
// A raw value well inside the band of a level (10, 20, ... 100; others are
// rounded down to a band, below 10 is 10).
quint16 rawForLevel(int level);
// The battery state for a level, charging or not, keeping status and mode.
sim::BatteryState batteryFor(int level, bool charging, const sim::BatteryState &base);

// ---- Placement -----------------------------------------------------------------------------
// Where the panel goes on a screen's available area beside the main window:
// to its right when both fit side by side (the main window moves left as far
// as needed, never off the area), else below it when the panel fits under it,
// else at the right edge of the area. The panel may be made narrower (down to
// minimum) or shorter to fit. mainMovedTo receives the main window's new
// top-left.
QRect placePanel(const QRect &available, const QRect &mainFrame, const QSize &preferred, const QSize &minimum,
                 QPoint *mainMovedTo);

} // namespace simview

#pragma once
// The mouse's command set: command codes, the segmented block writes of the
// general settings, DPI, lighting and button blocks, the profile switch and
// the update bracket.
//
// Every block is built in two steps: its bytes (pure functions of the profile
// set and the device facts), then its frames, which go to sendFrame in order
// and stop at the first failure. Tests check the bytes and frames without a
// device.

#include "device/effects.h"
#include "device/sensors.h"
#include "device/transport.h"
#include "profile/records.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVector>
#include <array>

enum CommandCode : quint8 {
    CMD_SETTINGS = 0x01,
    CMD_DPI = 0x02,
    CMD_KEYS = 0x03,
    CMD_LIGHTING = 0x04,
    CMD_MACROS = 0x05,
    CMD_APPLY = 0x40,
    CMD_SELECT_PROFILE = 0x44,
    CMD_UPDATE = 0x46,
    CMD_BATTERY = 0x48,
    CMD_STATUS = 0x49,
};

// Section values of CMD_APPLY, in the order applySections sends them.
enum { APPLY_ARG = 0xF3 };
extern const quint8 kApplySections[5];   // 0x04, 0x01, 0x02, 0x08, 0x10

// Terminator of a block: offset 0x7F (macro memory 0x0FFF), SEG_END, 0x1A.
enum { BLOCK_END_OFFSET = 0x7F, MACRO_END_OFFSET = 0x0FFF, BLOCK_END_BYTE = 0x1A };

enum {
    SETTINGS_BLOCK_SIZE = 19,
    DPI_BLOCK_SIZE = 41,        // stage count + 8 stages of 5 bytes
    LIGHTING_BLOCK_SIZE = 80,   // 10 records of 8 bytes
    BUTTON_TABLE_SIZE = 128,
    BUTTON_SLOTS = 24,
};

// ---- Frames ----------------------------------------------------------------
using FrameList = QVector<CommandFrame>;

// One packet of a block: command, 16-bit offset (low byte in wire byte 4,
// high in 5), segment marker and up to 25 data bytes.
CommandFrame blockPacket(quint8 command, quint16 offset, quint8 segment, const quint8 *data, int length);
CommandFrame blockTerminator(quint8 command);   // CMD_MACROS ends at 0x0FFF, the others at 0x7F
CommandFrame applyFrame(quint8 section);        // CMD_APPLY 0xF3, section
CommandFrame selectProfileFrame(quint8 index);  // CMD_SELECT_PROFILE index, 0
CommandFrame updateFrame(bool end);             // CMD_UPDATE 0 (begin) or 1 (end)

// Sends the frames in order; the first non-zero result stops the run and is returned.
quint8 sendFrames(const FrameList &frames);

// ---- General settings block ----------------------------------------------
// (Byte 18, the lighting mode, comes from the effect table: lightingModeCode
// in device/effects.h.)
// Byte 5, by the description's PROFILE/Sync switch.
quint8 sensorOptionFlags(const ProfileSet &set, int syncSwitch);
// The stage (byte 17) is the active slot's; the lighting mode and options
// (bytes 18, 7 and 8) are those of `lightSlot`, the active slot when it is -1.
QByteArray settingsBlockBytes(const ProfileSet &set, int syncSwitch, int lightSlot = -1);
FrameList settingsBlockFrames(const ProfileSet &set);   // reads PROFILE/Sync and the lighting slot

// ---- DPI block ------------------------------------------------------------
// (The four bytes of each stage come from the sensor catalogue:
// encodeDpiStage in device/sensors.h.)
// The description's stage count when 1..8, else 8.
int effectiveStageCount(int described);
QByteArray dpiBlockBytes(const ProfileData &profile, int stageCount, int sensor, quint8 deviceMode);
FrameList dpiBlockFrames(const ProfileSet &set);   // active slot, description and Config.ini

// ---- Lighting block -------------------------------------------------------
QByteArray lightingBlockBytes(const ProfileData &profile);
FrameList lightingBlockFrames(const ProfileSet &set);   // the lighting slot (profileset.h)

// ---- Button block ---------------------------------------------------------
// Device macro slots by name, filled in entry order while the button block is
// encoded and emptied again as the macro memory is written.
class MacroSlotTable {
public:
    void clear() { m_slots.clear(); }
    bool isEmpty() const { return m_slots.isEmpty(); }
    int size() const { return m_slots.size(); }
    // The slot of a name, giving a new name the next free number.
    quint8 slotFor(const QString &name);
    // -1 when the name has no slot.
    int find(const QString &name) const;
    void remove(const QString &name);
    const QMap<quint8, QString> &entries() const { return m_slots; }

private:
    QMap<quint8, QString> m_slots;
};

// The process-wide tables that persist between downloads. Only a download
// touches them (one at a time, on the write thread).
std::array<quint8, BUTTON_TABLE_SIZE> &buttonTable();
MacroSlotTable &macroSlotTable();
// Back to the state at program start: all zero, no macro names.
void resetDeviceTables();

struct ButtonLayout {
    int buttonCount = 0;                 // entries 0..count-1 go through the matrix (at most 16)
    std::array<quint8, 16> matrix = {};  // device slot of each entry
    bool scrollReversed = false;         // PROFILE/ScrollRev 1
    int sensor = 0;                      // sniper rule
};
ButtonLayout currentButtonLayout();      // description, button matrix and Config.ini

// Clears `slotTable`, then writes the device bytes of `profile`'s entries into
// `table` (entries 0..count-1 by the matrix, 40 and 41 into slots 22 and 23),
// filling `slotTable` and each macro entry's Res4 on the way. Slots no entry
// fills keep their bytes; a matrix slot above 23 is skipped.
void fillButtonTable(std::array<quint8, BUTTON_TABLE_SIZE> &table, ProfileData &profile,
                     const ButtonLayout &layout, MacroSlotTable &slotTable);
FrameList buttonBlockFrames(const std::array<quint8, BUTTON_TABLE_SIZE> &table);

// ---- Senders ----------------------------------------------------------------
// Each returns 0 or the first non-zero sendFrame result. The DPI and button
// blocks carry the snapshot's active slot, the lighting block its lighting
// slot. The button block updates the process-wide tables and the Res4 of the
// active slot's macro entries.
quint8 writeSettingsBlock(const ProfileSet &snapshot);
quint8 writeDpiBlock(const ProfileSet &snapshot);
quint8 writeLightingBlock(const ProfileSet &snapshot);
quint8 writeButtonBlock(ProfileSet &snapshot);

// CMD_SELECT_PROFILE index, then CMD_APPLY 0x01; results are ignored.
void selectProfile(quint8 index);
// CMD_APPLY with 0x04, 0x01, 0x02, 0x08, 0x10, stopping at the first failure.
quint8 applySections();
quint8 beginUpdate();
quint8 endUpdate();

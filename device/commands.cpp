#include "commands.h"

#include "buttoncatalogue.h"
#include "device/logging.h"
#include "pollercontrol.h"
#include "profile/description.h"
#include "profile/profileset.h"

#include <QDebug>
#include <algorithm>
#include <cstring>

const quint8 kApplySections[5] = {0x04, 0x01, 0x02, 0x08, 0x10};

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

// Packets of `size` bytes of `block` starting at `from`, SEG_NEXT each.
void appendPackets(FrameList &frames, quint8 command, const quint8 *block, int from, int to, int size)
{
    for (int offset = from; offset < to; offset += size)
        frames.append(blockPacket(command, quint16(offset), SEG_NEXT, block + offset, std::min(size, to - offset)));
}

} // namespace

// ---- Frames ----------------------------------------------------------------

CommandFrame blockPacket(quint8 command, quint16 offset, quint8 segment, const quint8 *data, int length)
{
    Q_ASSERT(length >= 0 && length <= 25);
    return CommandFrame::make(command, quint8(offset & 0xFF), quint8(offset >> 8), quint8(length), segment, data);
}

CommandFrame blockTerminator(quint8 command)
{
    const quint8 end = BLOCK_END_BYTE;
    const quint16 offset = command == CMD_MACROS ? MACRO_END_OFFSET : BLOCK_END_OFFSET;
    return blockPacket(command, offset, SEG_END, &end, 1);
}

CommandFrame applyFrame(quint8 section)
{
    return CommandFrame::make(CMD_APPLY, APPLY_ARG, section, 0, 0);
}

CommandFrame selectProfileFrame(quint8 index)
{
    return CommandFrame::make(CMD_SELECT_PROFILE, index, 0, 0, 0);
}

CommandFrame updateFrame(bool end)
{
    return CommandFrame::make(CMD_UPDATE, end ? 1 : 0, 0, 0, 0);
}

quint8 sendFrames(const FrameList &frames)
{
    for (const CommandFrame &frame : frames) {
        const quint8 result = sendFrame(frame);
        if (result != SEND_OK)
            return result;
    }
    return SEND_OK;
}

// ---- General settings block ----------------------------------------------

quint8 lightingModeCode(int ledMode)
{
    static const quint8 modes[EFFECT_COUNT] = {0, 1, 2, 3, 4, 5, 5, 5, 5, 5, 7, 6, 8, 9};
    if (ledMode < 0 || ledMode >= EFFECT_COUNT)
        return 6;
    return quint8(1 + modes[ledMode]);
}

quint8 sensorOptionFlags(const ProfileSet &set, int syncSwitch)
{
    switch (syncSwitch) {
    case 0:
        return set.LiftHigh;
    case 1:
        return set.Sync ? 1 : 0;
    default: {
        quint8 flags = set.LiftHigh;
        if (set.Sync)
            flags |= 0x80;      // motion sync on
        if (set.AngleValue == 0)
            flags |= 0x40;      // angle snapping on
        if (set.Jitter == 0)
            flags |= 0x20;      // ripple control on
        return flags;
    }
    }
}

QByteArray settingsBlockBytes(const ProfileSet &set, int syncSwitch, int lightSlot)
{
    const ProfileData &current = set.profiles[activeSlot(set)];
    const ProfileData &light = set.profiles[lightSlot >= 0 && lightSlot < SLOT_COUNT ? lightSlot : activeSlot(set)];
    QByteArray b(SETTINGS_BLOCK_SIZE, '\0');
    for (int i = 0; i < SLOT_COUNT; ++i) {
        b[i] = char(set.profiles[i].scrollspeed);
        b[11 + i] = char(set.profiles[i].pollrate);
    }
    b[5] = char(sensorOptionFlags(set, syncSwitch));
    b[6] = char(set.ProfileID);
    b[7] = char(light.LedMoveOFF);
    b[8] = char(light.LedSleepTime);
    b[9] = char(set.Debounce);
    b[10] = 1;
    b[16] = char(0x1F);
    b[17] = char(current.dpi);
    b[18] = char(lightingModeCode(light.LedMode));
    return b;
}

FrameList settingsBlockFrames(const ProfileSet &set)
{
    const QByteArray b = settingsBlockBytes(set, descriptionInt(QStringLiteral("Sync")), lightingSlot(set));
    const auto *data = reinterpret_cast<const quint8 *>(b.constData());
    FrameList frames;
    frames.reserve(2);
    frames.append(blockPacket(CMD_SETTINGS, 0, SEG_FIRST, data, SETTINGS_BLOCK_SIZE));
    frames.append(blockTerminator(CMD_SETTINGS));
    return frames;
}

// ---- DPI block ------------------------------------------------------------

namespace {

using Pair = std::array<quint8, 2>;

Pair pair(quint32 reg, quint8 range)
{
    return {quint8(reg & 0xFF), range};
}

Pair word(quint32 v)
{
    return {quint8(v & 0xFF), quint8((v >> 8) & 0xFF)};
}

// Above `limit` the value is shifted down by `shift` and flagged with 0x80.
Pair flaggedWord(quint32 v, quint32 limit, quint32 shift)
{
    if (v <= limit)
        return word(v);
    const quint32 w = v - shift;
    return {quint8(w & 0xFF), quint8(((w >> 8) & 0xFF) | 0x80)};
}

// (register, range) of one value; `isY` matters only where X and Y differ.
bool encodeValue(quint32 v, int sensor, quint8 deviceMode, bool isY, Pair &out)
{
    switch (sensor) {
    case 3104: case 31042:
        out = v <= 106 ? pair(v, 0) : pair(v - 53, 1);
        return true;
    case 3212:
        out = v <= 63 ? pair(v, 0) : v <= 94 ? pair(v - 32, 1) : pair(v - 63, 2);
        return true;
    case 3311: case 33112:
        out = v <= 120 ? pair(registerValue(R3311, v), 0) : pair(registerValue(R3311, v - 60), 1);
        return true;
    case 3325: case 33252:
        out = v <= 50 ? pair(registerValue(R3325, v), 0)
            : v <= 75 ? pair(registerValue(R3325, v - 25), 1)
                      : pair(registerValue(R3325, v - 50), 2);
        return true;
    case 3327:
        out = v <= 61 ? pair(registerValue(R3327, v), 0)
            : v <= 92 ? pair(registerValue(R3327, v - 31), 1)
                      : pair(registerValue(R3327, v - 52), 4);
        return true;
    case 3333:
        out = v <= 79 ? pair(registerValue(R3333, v), 0) : pair(registerValue(R3333, v - 40), 1);
        return true;
    case 3335: case 33352:
        // 33352 reaches index 240; past 200 the lookup holds at R3335's last entry.
        out = v <= 160 ? pair(registerValue(R3335, v), 0) : pair(registerValue(R3335, v - 40), 1);
        return true;
    case 3360:
        out = v <= 120 ? pair(v - 1, 0) : pair(v - 61, 1);
        return true;
    case 3370:
        out = v <= 200 ? pair(v - 1, 0) : pair(v - 101, 1);
        return true;
    case 3389:
        out = flaggedWord(v, 320, 160);
        return true;
    case 3395:
        out = word(deviceMode == 8 ? std::min<quint32>(v, 399) : v);
        return true;
    case 33952:
        out = flaggedWord(v, isY ? 520 : 519, 260);
        return true;
    default:
        return false;
    }
}

} // namespace

std::array<quint8, 4> encodeDpiStage(quint32 x, quint32 y, int sensor, quint8 deviceMode)
{
    Pair px {}, py {};
    if (!encodeValue(x, sensor, deviceMode, false, px))
        return {0, 0, 0, 0};
    if (sensor == 3335 || sensor == 33352)
        return {px[0], px[1], px[0], px[1]};   // X only, in both pairs
    encodeValue(y, sensor, deviceMode, true, py);
    if (sensor == 3104 || sensor == 31042)
        return {py[0], py[1], px[0], px[1]};   // Y's pair first
    return {px[0], px[1], py[0], py[1]};
}

int effectiveStageCount(int described)
{
    return (described >= 1 && described <= STAGE_COUNT) ? described : STAGE_COUNT;
}

QByteArray dpiBlockBytes(const ProfileData &profile, int stageCount, int sensor, quint8 deviceMode)
{
    const int count = effectiveStageCount(stageCount);
    QByteArray b(DPI_BLOCK_SIZE, '\0');
    b[0] = char(count);
    for (int i = 0; i < STAGE_COUNT; ++i) {
        const DpiStage &stage = profile.stages[i];
        const int at = 1 + 5 * i;
        b[at] = char(i < count ? stage.used : 0);
        const std::array<quint8, 4> value = encodeDpiStage(stage.x, stage.y, sensor, deviceMode);
        for (int k = 0; k < 4; ++k)
            b[at + 1 + k] = char(value[k]);
    }
    return b;
}

FrameList dpiBlockFrames(const ProfileSet &set)
{
    const QByteArray b = dpiBlockBytes(set.profiles[activeSlot(set)], dpiStageCount(), sensorCode(), deviceModeByte());
    const auto *data = reinterpret_cast<const quint8 *>(b.constData());
    FrameList frames{blockPacket(CMD_DPI, 0, SEG_FIRST, data, 1)};
    appendPackets(frames, CMD_DPI, data, 1, DPI_BLOCK_SIZE, 5);
    frames.append(blockTerminator(CMD_DPI));
    return frames;
}

// ---- Lighting block -------------------------------------------------------

QByteArray lightingBlockBytes(const ProfileData &profile)
{
    struct Record {
        int effect;      // -1: none
        bool colour;     // bytes 1-3 carry the effect's colour
        quint8 mode;     // byte 4
        bool breath;     // byte 5 carries breath, else 0
        quint8 byte6;
        int byte7;       // -1: bright of the effect, else this value
    };
    static const Record records[10] = {
        {-1, false, 0, false, 0, 0},
        {1, true, 1, false, 2, -1},
        {2, true, 1, true, 4, 3},
        {3, false, 1, true, 1, 3},
        {4, false, 1, true, 8, -1},
        {9, false, 5, true, 1, -1},
        {11, false, 7, false, 0, -1},
        {10, false, 6, true, 0, -1},
        {12, false, 8, true, 0, -1},
        {13, false, 9, true, 0, -1},
    };
    QByteArray b(LIGHTING_BLOCK_SIZE, '\0');
    for (int r = 0; r < 10; ++r) {
        const Record &rec = records[r];
        char *out = b.data() + 8 * r;
        out[0] = char(0x80);
        if (rec.effect < 0)
            continue;
        const LightEffect &e = profile.effects[rec.effect];
        if (rec.colour) {
            out[1] = char(e.colour.red());
            out[2] = char(e.colour.green());
            out[3] = char(e.colour.blue());
        }
        out[4] = char(rec.mode);
        out[5] = char(rec.breath ? quint8(e.breath) : 0);
        out[6] = char(rec.byte6);
        out[7] = char(rec.byte7 < 0 ? quint8(e.bright) : quint8(rec.byte7));
    }
    return b;
}

FrameList lightingBlockFrames(const ProfileSet &set)
{
    const QByteArray b = lightingBlockBytes(set.profiles[lightingSlot(set)]);
    const auto *data = reinterpret_cast<const quint8 *>(b.constData());
    FrameList frames{blockPacket(CMD_LIGHTING, 0, SEG_FIRST, data, 24)};
    appendPackets(frames, CMD_LIGHTING, data, 24, LIGHTING_BLOCK_SIZE, 24);
    frames.append(blockTerminator(CMD_LIGHTING));
    return frames;
}

// ---- Button block ---------------------------------------------------------

quint8 MacroSlotTable::slotFor(const QString &name)
{
    const int found = find(name);
    if (found >= 0)
        return quint8(found);
    const int next = m_slots.isEmpty() ? 0 : m_slots.lastKey() + 1;
    // A profile holds 42 entries, so the numbers never run out in practice;
    // past 255 every further name shares the last number.
    const quint8 slot = quint8(std::min(next, 255));
    if (!m_slots.contains(slot))
        m_slots.insert(slot, name);
    return slot;
}

int MacroSlotTable::find(const QString &name) const
{
    for (auto it = m_slots.cbegin(); it != m_slots.cend(); ++it)
        if (it.value() == name)
            return it.key();
    return -1;
}

void MacroSlotTable::remove(const QString &name)
{
    const int slot = find(name);
    if (slot >= 0)
        m_slots.remove(quint8(slot));
}

std::array<quint8, BUTTON_TABLE_SIZE> &buttonTable()
{
    static std::array<quint8, BUTTON_TABLE_SIZE> table = {};
    return table;
}

MacroSlotTable &macroSlotTable()
{
    static MacroSlotTable table;
    return table;
}

void resetDeviceTables()
{
    buttonTable().fill(0);
    macroSlotTable().clear();
}

ButtonLayout currentButtonLayout()
{
    ButtonLayout layout;
    layout.buttonCount = std::clamp(buttonCount(), 0, 16);
    layout.matrix = buttonMatrix();
    layout.scrollReversed = descriptionInt(QStringLiteral("ScrollRev")) == 1;
    layout.sensor = sensorCode();
    return layout;
}

void fillButtonTable(std::array<quint8, BUTTON_TABLE_SIZE> &table, ProfileData &profile,
                     const ButtonLayout &layout, MacroSlotTable &slotTable)
{
    table[0] = 0x0A;
    table[1] = 0x00;
    slotTable.clear();
    auto place = [&](int entry, int slot) {
        const std::array<quint8, 4> bytes = buttonDeviceBytes(profile.buttons[entry], layout.sensor, &slotTable);
        if (slot < 0 || slot >= BUTTON_SLOTS) {
            qCDebug(lcDevice, "button %d: device slot %d out of range, skipped", entry, slot);
            return;
        }
        std::copy(bytes.begin(), bytes.end(), table.begin() + 2 + 4 * slot);
    };
    const int count = std::clamp(layout.buttonCount, 0, 16);
    for (int i = 0; i < count; ++i)
        place(i, layout.matrix[i]);
    place(40, layout.scrollReversed ? 23 : 22);
    place(41, layout.scrollReversed ? 22 : 23);
}

FrameList buttonBlockFrames(const std::array<quint8, BUTTON_TABLE_SIZE> &table)
{
    static const quint8 tail[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    FrameList frames{blockPacket(CMD_KEYS, 0, SEG_FIRST, table.data(), 2)};
    appendPackets(frames, CMD_KEYS, table.data(), 2, 2 + 4 * BUTTON_SLOTS, 24);
    frames.append(blockPacket(CMD_KEYS, 2 + 4 * BUTTON_SLOTS, SEG_NEXT, tail, 4));
    frames.append(blockTerminator(CMD_KEYS));
    return frames;
}

// ---- Senders ----------------------------------------------------------------

quint8 writeSettingsBlock(const ProfileSet &snapshot)
{
    return sendFrames(settingsBlockFrames(snapshot));
}

quint8 writeDpiBlock(const ProfileSet &snapshot)
{
    return sendFrames(dpiBlockFrames(snapshot));
}

quint8 writeLightingBlock(const ProfileSet &snapshot)
{
    return sendFrames(lightingBlockFrames(snapshot));
}

quint8 writeButtonBlock(ProfileSet &snapshot)
{
    std::array<quint8, BUTTON_TABLE_SIZE> &table = buttonTable();
    fillButtonTable(table, snapshot.profiles[activeSlot(snapshot)], currentButtonLayout(), macroSlotTable());
    return sendFrames(buttonBlockFrames(table));
}

void selectProfile(quint8 index)
{
    sendFrame(selectProfileFrame(index));
    sendFrame(applyFrame(0x01));
}

quint8 applySections()
{
    FrameList frames;
    for (quint8 section : kApplySections)
        frames.append(applyFrame(section));
    return sendFrames(frames);
}

quint8 beginUpdate()
{
    return sendFrame(updateFrame(false));
}

quint8 endUpdate()
{
    return sendFrame(updateFrame(true));
}

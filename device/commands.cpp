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
    QByteArray b(LIGHTING_BLOCK_SIZE, '\0');
    for (int r = 0; r < LIGHTING_RECORDS; ++r)
        b[8 * r] = char(0x80);
    for (const LightingEffect &effect : lightingEffects()) {
        if (!effect.fillsRecord)
            continue;
        const LightEffect &e = profile.effects[effect.ledMode];
        char *out = b.data() + 8 * (effect.modeCode - 1);
        if (effect.recordColour) {
            out[1] = char(e.colour.red());
            out[2] = char(e.colour.green());
            out[3] = char(e.colour.blue());
        }
        out[4] = char(effect.recordKind);
        out[5] = char(effect.recordBreath ? quint8(e.breath) : 0);
        out[6] = char(effect.recordByte6);
        out[7] = char(effect.recordByte7 < 0 ? quint8(e.bright) : quint8(effect.recordByte7));
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

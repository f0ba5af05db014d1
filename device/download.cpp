#include "download.h"

#include "buttoncatalogue.h"
#include "device/logging.h"
#include "platform/clock.h"
#include "pollercontrol.h"
#include "profile/macrostore.h"
#include "profile/profileset.h"

#include <QDebug>
#include <algorithm>
#include <atomic>

namespace {

std::atomic<PollerControl *> g_pollerControl{nullptr};
std::atomic<int> g_lastPointerSpeed{0};

const quint8 kSeparator[3] = {0x06, 0x01, 0x00};

} // namespace

void setPollerControl(PollerControl *control)
{
    g_pollerControl.store(control);
}

PollerControl *pollerControl()
{
    return g_pollerControl.load();
}

int lastDownloadPointerSpeed()
{
    return g_lastPointerSpeed.load();
}

QByteArray macroBody(const QVector<KeyInfo> &events)
{
    QByteArray body;
    const bool raw = std::any_of(events.cbegin(), events.cend(), [](const KeyInfo &e) { return e.map == 6; });
    auto append = [&body](const quint8 *triple) { body.append(reinterpret_cast<const char *>(triple), 3); };
    for (int i = 0; i < events.size(); ++i) {
        const quint8 e[3] = {events[i].map, events[i].dataL, events[i].dataH};
        append(e);
        if (!raw && i % 4 == 3)
            append(kSeparator);
    }
    if (!raw) {
        static const quint8 zero[3] = {0, 0, 0};
        append(kSeparator);
        append(zero);
    }
    return body;
}

bool buildMacroMemory(const ProfileSet &snapshot, MacroSlotTable &slotTable, QByteArray &memory)
{
    memory = QByteArray(MACRO_MEMORY_SIZE, '\0');
    // The table names the macros the active slot's buttons use.
    {
        const ProfileData &profile = snapshot.profiles[activeSlot(snapshot)];
        for (const ButtonEntry &entry : profile.buttons) {
            if (entry.Fun != FUN_MACRO && entry.Fun != FUN_GUN_FILE)
                continue;
            const int slot = slotTable.find(entry.macroname);
            if (slot < 0)
                continue;   // not in the key table, or already written
            if (slot >= MACRO_SLOTS) {
                qCDebug(lcDevice, "iIndex>=MAX_MACRO_NUMBER_560\n");
                memory.fill('\0');
                return false;
            }
            QVector<KeyInfo> events = loadMacroEvents(entry.macroname);
            if (events.size() > KEYINFO_COUNT)
                events.resize(KEYINFO_COUNT);
            const QByteArray body = macroBody(events);
            std::copy_n(body.constData(), std::min(int(body.size()), int(MACRO_SLOT_SIZE)),
                        memory.data() + slot * MACRO_SLOT_SIZE);
            platform::sleepMs(MACRO_READ_PAUSE_MS);
            slotTable.remove(entry.macroname);
        }
    }
    return true;
}

FrameList macroMemoryFrames(const QByteArray &memory)
{
    Q_ASSERT(memory.size() == MACRO_MEMORY_SIZE);
    FrameList frames;
    const auto *bytes = reinterpret_cast<const quint8 *>(memory.constData());
    for (int k = 0; k < MACRO_SLOTS; ++k) {
        const quint8 *slot = bytes + k * MACRO_SLOT_SIZE;
        if (std::all_of(slot, slot + 5, [](quint8 b) { return b == 0; }))
            continue;
        for (int j = 0; j < MACRO_SLOT_SIZE / MACRO_PACKET_SIZE; ++j) {
            const quint8 segment = (k == 0 && j == 0) ? SEG_FIRST : SEG_NEXT;
            frames.append(blockPacket(CMD_MACROS, quint16(k * MACRO_SLOT_SIZE + j * MACRO_PACKET_SIZE), segment,
                                      slot + j * MACRO_PACKET_SIZE, MACRO_PACKET_SIZE));
        }
    }
    if (!frames.isEmpty())
        frames.append(blockTerminator(CMD_MACROS));
    return frames;
}

quint8 writeMacroMemory(const ProfileSet &snapshot)
{
    QByteArray memory;
    if (!buildMacroMemory(snapshot, macroSlotTable(), memory))
        return SEND_OK;   // more than 20 macros: nothing of the step is sent
    return sendFrames(macroMemoryFrames(memory));
}

namespace {

// The download after the poller has been stopped.
quint8 downloadStopped(const ProfileSet &profileSet, quint8 mask)
{
    ProfileSet snapshot = profileSet;
    g_lastPointerSpeed.store(snapshot.profiles[activeSlot(snapshot)].mousespeed);

    quint8 result = beginUpdate();
    if (result == SEND_OK && (mask & CHANGE_GENERAL))
        result = writeSettingsBlock(snapshot);
    if (result == SEND_OK && (mask & CHANGE_BUTTONS))
        result = writeButtonBlock(snapshot);
    if (result == SEND_OK && (mask & CHANGE_DPI))
        result = writeDpiBlock(snapshot);
    if (result == SEND_OK && (mask & CHANGE_LIGHTING))
        result = writeLightingBlock(snapshot);
    if (result == SEND_OK && mask != 0)
        result = applySections();
    if (result == SEND_OK)
        result = writeMacroMemory(snapshot);
    if (result != SEND_OK)
        return result;

    result = endUpdate();
    if (result == SEND_OK) {
        if (PollerControl *control = pollerControl())
            control->startPoller();
    }
    return result;
}

} // namespace

quint8 downloadProfileSet(const ProfileSet &profileSet, quint8 mask)
{
    if (PollerControl *control = pollerControl())
        control->stopPoller();
    return downloadStopped(profileSet, mask);
}

quint8 downloadSlotSwitch(const ProfileSet &profileSet, quint8 mask, bool select)
{
    if (PollerControl *control = pollerControl())
        control->stopPoller();
    if (select) {
        selectProfile(quint8(activeSlot(profileSet)));
        if (mask == 0) {
            // The mouse holds this slot's settings already.
            const quint8 result = applySections();
            if (result == SEND_OK) {
                if (PollerControl *control = pollerControl())
                    control->startPoller();
            }
            return result;
        }
    }
    return downloadStopped(profileSet, mask);
}

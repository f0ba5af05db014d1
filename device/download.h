#pragma once
// Writing a whole profile set into the mouse: the update bracket, the groups
// a change mask names, and the macro memory the buttons of the active slot use.

#include "device/commands.h"
#include "profile/records.h"

#include <QByteArray>
#include <QVector>

enum { MACRO_SLOTS = 20, MACRO_SLOT_SIZE = 200, MACRO_MEMORY_SIZE = MACRO_SLOTS * MACRO_SLOT_SIZE,
       MACRO_PACKET_SIZE = 20, MACRO_READ_PAUSE_MS = 50 };

// Writes `profileSet` with the groups of `mask` (ChangeMask bits). Reads only
// the set passed in (the caller hands over its own copy) and works on a
// private snapshot of it. Stops the poller first (through the installed
// PollerControl) and starts it again only when the closing frame succeeds.
// Returns 0, or the first non-zero sendFrame result; after a failure nothing
// more is sent and the poller stays stopped.
quint8 downloadProfileSet(const ProfileSet &profileSet, quint8 mask);

// A switch of the active slot: the mouse is told to select the set's active
// slot (when `select`; not when the mouse switched by itself), then the groups
// of `mask` are downloaded as above, so that the mouse's DPI, key and
// lighting tables hold that slot. With an empty mask only the selection and
// the apply of every section are sent. Stops and restarts the poller as the
// download does.
quint8 downloadSlotSwitch(const ProfileSet &profileSet, quint8 mask, bool select);

// The pointer speed of the current profile of the last download's snapshot
// (0 before the first download).
int lastDownloadPointerSpeed();

// The bytes a macro occupies in its slot, before the cut at 200 bytes: the
// events as read when one of them has map byte 6, otherwise the events with
// 06 01 00 after every fourth, then 06 01 00 and 00 00 00.
QByteArray macroBody(const QVector<KeyInfo> &events);

// Fills the 4000-byte image from the macro files of the active slot's macro
// entries that `slotTable` names (removing each name once written, pausing
// 50 ms per macro read). Returns false when a slot above 19 ends the step,
// in which case nothing of it may be sent.
bool buildMacroMemory(const ProfileSet &snapshot, MacroSlotTable &slotTable, QByteArray &memory);
// The packets of every slot whose first five bytes are not all zero, then the
// terminator when at least one slot is sent; no frames for an empty image.
FrameList macroMemoryFrames(const QByteArray &memory);
// Builds and sends the macro memory; 0 or the first failing result.
quint8 writeMacroMemory(const ProfileSet &snapshot);

#pragma once
// The write of the working set to disk and to the mouse, without any window:
// the step the busy dialog's thread runs and the command line runs directly.

#include "profile/records.h"

#include <atomic>

// Result codes of a write: 0 success, 5 mouse not available (nothing sent),
// 6 the files could not be saved (nothing sent), anything else the failing
// transfer's code.
enum : quint8 { WRITE_OK = 0, WRITE_MOUSE_OFF = 5, WRITE_NOT_SAVED = 6 };

// Set while the mouse is known to be off (the window's battery display, or
// the command line's battery query); read by the write step.
extern std::atomic<bool> g_mouseOff;

struct WriteOutcome {
    quint8 result = WRITE_OK;
    quint8 mask = 0;          // what differed between the two sets
    quint8 sentMask = 0;      // what was sent (15 for a full write, 0 when nothing)
    bool downloaded = false;  // a download was attempted: the saved set must become the working set
};

// Saves the working set (slot 1, the active slot, and every other slot that
// differs from the saved set); unless the mouse is off, sends the groups that
// differ from the saved set (every group when Config/Diff is 1 or
// `writeEverything` is set) and records the outcome in Config/Diff. A save
// that fails (a full disk) sends nothing: the mouse never holds what the
// files do not.
WriteOutcome writeProfileSet(const ProfileSet &working, const ProfileSet &saved, bool writeEverything);

// A switch of the active slot (the working set's): unless the mouse is off,
// selects it on the mouse when `select` (not when the mouse switched by
// itself) and sends what differs from the saved set, so that the mouse holds
// the slot's DPI, key and lighting tables; every group when Config/Diff is 1
// or `writeEverything` is set. First saves the slots that differ from the
// saved set (the one left keeps what was edited in it, the new one is on disk
// as the mouse will hold it); a save that fails sends nothing.
WriteOutcome writeSlotSwitch(const ProfileSet &working, const ProfileSet &saved, bool select, bool writeEverything);

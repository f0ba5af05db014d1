#include "app/writestep.h"

#include "device/download.h"
#include "profile/configstore.h"
#include "profile/profileset.h"

std::atomic<bool> g_mouseOff{false};

namespace {

// Saves the working set: WRITE_NOT_SAVED when a file could not be written,
// WRITE_MOUSE_OFF when it is saved but the mouse is off, else WRITE_OK.
quint8 save(const ProfileSet &working, const ProfileSet &saved, bool checkMouse = true)
{
    bool notSaved = false;
    saveProfileSet(working, &notSaved, &saved);
    if (notSaved)
        return WRITE_NOT_SAVED;
    return checkMouse && g_mouseOff.load() ? WRITE_MOUSE_OFF : WRITE_OK;
}

} // namespace

WriteOutcome writeProfileSet(const ProfileSet &working, const ProfileSet &saved, bool writeEverything)
{
    WriteOutcome outcome;
    outcome.result = save(working, saved);
    if (outcome.result != WRITE_OK)
        return outcome;
    outcome.mask = compareProfileSets(working, saved);
    quint8 mask = 0;
    if (readDiff() == 1 || writeEverything)
        mask = CHANGE_ALL;
    else if (outcome.mask != 0)
        mask = outcome.mask;
    if (mask != 0) {
        outcome.result = save(working, saved, false);
        if (outcome.result != WRITE_OK)
            return outcome;
        // Pending until the mouse has taken everything: a crash or a kill in
        // the middle of the download leaves the mouse half written, and the
        // next write must then send every group.
        writeDiff(1);
        outcome.result = downloadProfileSet(working, mask);
        outcome.sentMask = mask;
        outcome.downloaded = true;
        writeDiff(outcome.result != WRITE_OK ? 1 : 0);
    }
    return outcome;
}

WriteOutcome writeSlotSwitch(const ProfileSet &working, const ProfileSet &saved, bool select, bool writeEverything)
{
    WriteOutcome outcome;
    // The slot left behind keeps what was edited in it, and the files hold
    // what the mouse is about to hold.
    outcome.result = save(working, saved);
    if (outcome.result != WRITE_OK)
        return outcome;
    outcome.mask = compareProfileSets(working, saved);
    const quint8 mask = (readDiff() == 1 || writeEverything) ? quint8(CHANGE_ALL) : outcome.mask;
    if (mask == 0 && !select)
        return outcome;
    if (mask != 0)
        writeDiff(1);
    outcome.result = downloadSlotSwitch(working, mask, select);
    outcome.sentMask = mask;
    outcome.downloaded = mask != 0;
    if (mask != 0)
        writeDiff(outcome.result != WRITE_OK ? 1 : 0);
    return outcome;
}

#pragma once
// Defaults, factory reset, change detection and the two process-wide sets.

#include "records.h"

// Clears the record and fills the factory defaults (from the device
// description when it exists, else the built-in ones).
void buildDefaultProfile(ProfileData &profile);
// Factory reset: options, slot 0 rebuilt, default names; slots 1-4 and Count kept.
void resetProfileSet(ProfileSet &set);
// Every field a profile file holds is the same.
bool sameProfile(const ProfileData &a, const ProfileData &b);
// Which groups differ between the working and the saved set. The mouse holds
// one DPI table, one key table and one lighting table: those of the saved
// set's active slot. DPI, buttons and lighting are marked when the working
// set's active slot differs from it there; the general group when any value
// of the general block differs. Clears the edited mark of a macro file that
// it reports as changed.
quint8 compareProfileSets(const ProfileSet &working, const ProfileSet &saved);

// The slot the mouse's DPI and key tables hold: the active one (slot 0 for an
// id outside 0..4).
int activeSlot(const ProfileSet &set);
// The slot the mouse's lighting comes from and the lighting page edits: slot
// 0 on a product whose lighting is one setting for all profiles ("6132"),
// the active slot otherwise.
int lightingSlotOf(const QString &product, int activeSlot);
int lightingSlot(const ProfileSet &set);   // of the current product

// The set the pages edit, and the set as it stood after the last write.
// Both live on the GUI thread; a write thread works on its own copy.
ProfileSet &workingSet();
ProfileSet &savedSet();

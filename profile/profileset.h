#pragma once
// Defaults, factory reset, change detection and the two process-wide sets.

#include "records.h"

// Clears the record and fills the factory defaults (from the device
// description when it exists, else the built-in ones).
void buildDefaultProfile(ProfileData &profile);
// Factory reset: options, slot 0 rebuilt, default names; slots 1-4 and Count kept.
void resetProfileSet(ProfileSet &set);
// Which groups differ between the working and the saved set. Clears the edited
// mark of a macro file that it reports as changed.
quint8 compareProfileSets(const ProfileSet &working, const ProfileSet &saved);

// The set the pages edit, and the set as it stood after the last write.
// Both live on the GUI thread; a write thread works on its own copy.
ProfileSet &workingSet();
ProfileSet &savedSet();

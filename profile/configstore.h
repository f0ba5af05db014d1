#pragma once
// Config.ini: slot state and device-wide options (the product's file), and the
// program-wide keys (battery, accent colour, current product, model).
// paths.h lists which file holds which key.

#include "records.h"
#include <QStringList>

// Product Config.ini + the five slot files + the button matrix of the device
// description. An active slot beyond 4 reads as 0.
void loadProfileSet(ProfileSet &set);
// Options, the five slot names, slot 0's file and the active slot's file;
// false when one of those files was refused (an unsafe name) or could not be
// written; the options and the names are written all the same. `writeFailed`
// tells the second case apart: a file that had to be written was not (a full
// disk; each file is then the old one).
// With `onDisk`, the set as the files last held it, every other slot whose
// profile or name differs from it is written too: an edit of a slot that is
// not active is kept and waits for its slot to become active.
bool saveProfileSet(const ProfileSet &set, bool *writeFailed = nullptr, const ProfileSet *onDisk = nullptr);
void saveSlotNames(const ProfileSet &set);   // ProfileID, Count, Profile1..5
void setActiveSlot(int slot);

int readDiff();
void writeDiff(int diff);
int readBattery();
void writeBattery(int percent);
int readBatteryFull();          // 4200 when absent
int readAccentIndex();          // Config/GColorID
QString readCurrentProduct();
void writeCurrentProduct(const QString &name);
QString readModel();

// Library list of the current product: PROFILE_LIST/Count and PROFILE_LIST/1..n
// (empty entries are skipped, at most LIBRARY_LIST_MAX are read).
enum { LIBRARY_LIST_MAX = 1000 };
QStringList readLibraryList();
void writeLibraryList(const QStringList &names);
// The library list and the slot names (ProfileID, Count, Profile1..5) in one
// write of the product's Config.ini, so they never disagree on disk.
void saveLibraryState(const QStringList &names, const ProfileSet &set);

#pragma once
// Config.ini: slot state and device-wide options (the product's file), and the
// program-wide keys (battery, accent colour, current product, model).

#include "records.h"
#include <QStringList>

void loadProfileSet(ProfileSet &set);   // product Config.ini + the five slot files + button matrix
void saveProfileSet(const ProfileSet &set);  // options, Profile1 and slot 0's file
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

// Library list of the current product: PROFILE_LIST/Count and PROFILE_LIST/1..n.
QStringList readLibraryList();
void writeLibraryList(const QStringList &names);

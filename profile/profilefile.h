#pragma once
// Profile files (.prof, group PROFILE) and configuration exports (.conf).

#include "records.h"
#include <QString>

void writeProfileFile(const ProfileData &profile, const QString &path);
void readProfileFile(ProfileData &profile, const QString &path);

QString slotFilePath(const QString &name);   // <profileDir>/<name>.prof
// Refused (false, nothing touched) when the name would leave the folder.
bool writeSlotFile(const ProfileData &profile, const QString &name);
bool readSlotFile(ProfileData &profile, const QString &name);
bool writeActiveStage(const QString &name, int stage);   // only PROFILE/dpi

QString defaultProfileFilePath();            // <profileDir>/DefaultProfile.prof
void writeDefaultProfileFile();

void exportConfig(const ProfileSet &set, const QString &path);
enum class ImportResult { Ok, WrongModel };
// Refuses a file whose MouseName/Name differs from the current product.
ImportResult importConfig(ProfileSet &set, const QString &path);

void writeModelTag(const QString &model, const QString &path);
QString readModelTag(const QString &path);

#pragma once
// Profile files (.prof, group PROFILE) and configuration exports (.conf).

#include "records.h"
#include <QPair>
#include <QString>
#include <QVector>
#include <functional>

// Every key is written; a missing file reads as all zero with LedMoveOFF 255
// and LedSleepTime 1. A LedMode beyond the 14 effects reads as 0.
// The writers return false when the file could not be written (a full disk,
// a folder that refuses it); the old file is then left as it was.
bool writeProfileFile(const ProfileData &profile, const QString &path);
// Written only where no file is yet (another process may have written one
// meanwhile, which is kept); a file written is parsed again for the slot cache.
void writeProfileFileIfMissing(const ProfileData &profile, const QString &path);
// The same file through QSettings, merging into what the file holds. The
// writer above gives the same bytes at once when the file holds nothing else.
bool writeProfileFileThroughSettings(const ProfileData &profile, const QString &path);
void readProfileFile(ProfileData &profile, const QString &path);
// Profile files written on another thread, each only where no file is yet (a
// first start's slot files, once its window is on the screen); `done` runs on
// that thread after the last. Every read or write of a profile file above and
// below waits for them first.
void writeProfileFilesInBackground(const QVector<QPair<QString, ProfileData>> &files,
                                   std::function<void()> done = {});
// Returns once the files handed over so far are written.
void waitForBackgroundProfileFiles();

// <profileDir>/<name>.prof; empty for an unsafe name and for the factory
// profile's own name, "DefaultProfile" (in any letter case).
QString slotFilePath(const QString &name);
bool isReservedProfileName(const QString &name);
// Refused (false, nothing touched) when the name would leave the folder; a
// refused read leaves the record as a missing file would. A write is also
// false when the file could not be written.
bool writeSlotFile(const ProfileData &profile, const QString &name);
bool readSlotFile(ProfileData &profile, const QString &name);
bool writeActiveStage(const QString &name, int stage);   // only PROFILE/dpi

QString defaultProfileFilePath();            // <profileDir>/DefaultProfile.prof
bool writeDefaultProfileFile();
// Writes it only when it is missing or older than the device description;
// true when it was written.
bool refreshDefaultProfileFile();

// Tag, device-wide keys and PROFILE_0..4 (without LedMoveOFF/LedSleepTime).
// The destination's previous content is replaced whole, or kept as it was:
// false when it was not written (a folder, a fifo or a device, a full disk).
bool exportConfig(const ProfileSet &set, const QString &path);
enum class ImportResult { Ok, WrongModel, Unreadable, TooLarge };
// Refuses a file larger than maxIniFileSize(), a file whose MouseName/Name
// differs from the current product, and a file that does not exist or cannot
// be read; the set is then untouched.
// LedMoveOFF and LedSleepTime of every slot keep their values.
ImportResult importConfig(ProfileSet &set, const QString &path);

bool writeModelTag(const QString &model, const QString &path);   // false: not written
QString readModelTag(const QString &path);

// Single-profile export: tags the slot file with the current product and copies
// it to path (replacing it whole, or not at all). False when the name is
// unsafe, the path is not a regular file, or the tag or the copy fails.
bool exportProfile(const QString &name, const QString &path);
enum class ProfileImportResult { Ok, WrongModel, Exists, BadName, Unreadable, CopyFailed, TooLarge };
// Single-profile import: size check (nothing larger than maxIniFileSize() is
// copied), model check, then refuses a base name that is unsafe
// or already in the Profile folder, copies the file there (with the mode of a
// file the program writes, not the source's) and reads it into `profile`.
// `name` receives the base name. Only a regular file is read.
ProfileImportResult importProfile(const QString &path, ProfileData &profile, QString *name = nullptr);

#pragma once
// Slot files as last parsed, kept in one binary file beside them
// (Profile/.slotcache), so that a start does not parse five files of eight
// thousand keys when none of them changed. The INI files stay the truth: an
// entry is used only while its file still has the size, modification time,
// change time and inode it had when it was parsed; anything else (a file
// written since, by us or by hand, a cache from another format, a torn or
// altered cache file) falls back to parsing the file.
//
// Times alone cannot tell an edit made within the file system's timestamp
// granularity of the parse (one or two seconds on some file systems) from no
// edit at all. Such an entry ("racily clean") is used only while the file's
// content still has the digest it had when it was parsed; once it is checked
// well after that granularity, its times are enough again.

#include "records.h"

#include <QString>

// The state of a file (size, times, inode); `valid` false when it is missing.
// `takenNs` is the clock when it was taken; `digest`, when asked for, that of
// the content read right after.
struct SlotFileStamp {
    qint64 size = -1;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    quint64 inode = 0;
    bool valid = false;
    qint64 takenNs = 0;
    QByteArray digest;
};
SlotFileStamp stampSlotFile(const QString &path);
// The stamp of a file about to be parsed, with the digest of its content.
SlotFileStamp stampSlotFileForParse(const QString &path);
// True when a later edit could leave the file's times as `stamp` has them:
// the stamp was taken within the timestamp granularity of the file's times.
bool racilyClean(const SlotFileStamp &stamp);
// Same size, times and inode (a missing file equals a missing file).
bool operator==(const SlotFileStamp &a, const SlotFileStamp &b);
inline bool operator!=(const SlotFileStamp &a, const SlotFileStamp &b) { return !(a == b); }

// A copy of what parsing `path` gave when the file was last parsed, if the
// file has not changed since. False (and `profile` untouched) otherwise.
bool cachedSlotFile(const QString &path, ProfileData &profile);
// What parsing `path` gave, the file stamped (stampSlotFileForParse) just
// before it was read; kept only when the file is still as stamped.
void rememberSlotFile(const QString &path, const SlotFileStamp &before, const ProfileData &profile);
// Writes the cache file of the folder when it changed.
void saveSlotCache();

// A slot file just written is parsed again on a worker thread, so that the
// next start finds it in the cache instead of parsing it. Off until the
// program turns it on; turning it off waits for the worker to finish.
void setSlotCacheRefresh(bool on);
void refreshSlotFileLater(const QString &path);
// Returns once every file handed over so far is parsed and kept.
void waitForSlotCacheRefresh();

// For tests and benchmarks: with the cache off every read parses, nothing is
// remembered or written. Also forgets what the process holds.
void setSlotCacheEnabled(bool enabled);
void forgetSlotCache();
// Reads served from the cache since the process started.
int slotCacheHits();

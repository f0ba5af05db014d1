#pragma once
// Where every file of the program lives.
//
//   application directory      DefaultProfile.bin, skin/, lang/, ConfigTemplate/Config.ini (read-only)
//   Configs base               Config.ini (program-wide keys), LangConfig.ini, MacroDB/
//   product folder             <base>/<product>/Config.ini (slot state, library list)
//                              <base>/<product>/Profile/*.prof (slot and library files)
// The product folder is the base itself when the current product name is empty.
//
// Which Config.ini holds which key:
//   <base>/Config.ini (program-wide): Config/Battery, Config/BatteryFull,
//     Config/GColorID, Config/CurrentProductName, Config/Model, MACRO_LIST/%d,
//     FONT_LIST/*, MouseSenSor/1, MouseLEDMode/*, Mouse_List/0.
//   <productDir>/Config.ini (the product being served): Config/ProfileID,
//     AngleValue, Sync, LiftHigh, Jitter, Debounce, Count, Profile1..5,
//     Config/Diff and the library list PROFILE_LIST/Count, PROFILE_LIST/1..n.
//   Slot files, library files and DefaultProfile.prof: <productDir>/Profile/.
//   Macro files: <base>/MacroDB/ for every caller. LangConfig.ini: <base>.
//
// The product folder is named by Config/CurrentProductName, read each time a
// path is built; a name that fails checkFileName falls back to the base.
//
// The first time a base is used in a process, every key of the shipped
// template (<appdir>/ConfigTemplate/Config.ini, or the copy built into the
// program) that its Config.ini lacks is added; values already there are kept.

#include <QString>

// Where the read-only data is found, without any environment variable: beside
// the executable when DefaultProfile.bin is there (the build folder, a portable
// copy), else the installed layout relative to the executable
// (<prefix>/bin/mousecfg -> <prefix>/share/mousecfg). The on-screen display
// likewise: beside the executable, else <prefix>/libexec/mousecfg/OSD.
struct InstallLayout {
    QString dataDir;
    bool installed = false;   // dataDir is the installed share folder
    QString osdProgram;
};
InstallLayout installLayoutFor(const QString &executableDir);

// The data folder: MOUSECFG_APPDIR when set, else as installLayoutFor finds it
// for this executable; the override (tests) comes first.
QString applicationDir();
// The on-screen display program: <appdir>/OSD when there, else the one the
// install layout names.
QString osdProgramPath();
void setApplicationDir(const QString &dir);  // tests; empty restores the default

// <appdir>/Configs when writable and the data is not the installed share
// folder, else the per-user config location seeded
// once from the shipped template. Tests point it at a temporary directory.
QString configsBase();
void setConfigsBase(const QString &dir);     // empty restores the default
// The same folder, made when missing but not seeded: where the user's
// single-instance lock lies, taken before anything is written.
QString configsFolder();

// Removes the lock files of QSettings below the folder (all of Configs) that
// no running process holds: empty ones (a kill while the lock was being
// created, which would stall the next write of that file for 30 s) and those
// of a process that is gone. Only while holding the single-instance lock.
// Returns how many were removed.
int removeStaleLockFiles(const QString &dir);
int removeStaleConfigLocks();   // the Configs base, before anything seeds it

QString descriptionPath();      // <appdir>/DefaultProfile.bin
QString templateConfigPath();   // <appdir>/ConfigTemplate/Config.ini, else ":/templates/Config.ini"
QString globalConfigPath();     // <base>/Config.ini
QString languageConfigPath();   // <base>/LangConfig.ini
QString productDir();           // <base>/<current product>, or <base>
QString productConfigPath();    // <productDir>/Config.ini
QString profileDir();           // <productDir>/Profile
QString macroDir();             // <base>/MacroDB

// The extension of a file dialog filter ("Profile File(*.prof)" -> "prof"),
// empty when it names none; and `path` with that extension added when its file
// name has none (an empty path stays empty).
QString filterSuffix(const QString &filter);
QString withFilterSuffix(const QString &path, const QString &filter);

// A name typed by the user that becomes a file name (profile, macro, gun file)
// must stay inside its folder: not empty, no '/' or '\\', not "." or "..",
// no control characters, no half of a UTF-16 surrogate pair (it would be
// encoded as the same bytes as any other half), at most 200 characters and at most
// FILE_NAME_BYTES_MAX bytes once encoded as a file name (255 bytes, less
// ".MSMACRO" and the ".XXXXXX" of the temporary file saved beside it).
enum { FILE_NAME_BYTES_MAX = 240 };
enum class NameCheck { Ok, Empty, Separator, DotDot, ControlChar, TooLong, LoneSurrogate };
NameCheck checkFileName(const QString &name);
inline bool isSafeFileName(const QString &name) { return checkFileName(name) == NameCheck::Ok; }

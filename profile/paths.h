#pragma once
// Where every file of the program lives.
//
//   application directory      DefaultProfile.bin, skin/, lang/ (read-only)
//   Configs base               Config.ini (program-wide keys), LangConfig.ini, MacroDB/
//   product folder             <base>/<product>/Config.ini (slot state, library list)
//                              <base>/<product>/Profile/*.prof (slot and library files)
// The product folder is the base itself when the current product name is empty.

#include <QString>

// The executable's directory, or MOUSECFG_APPDIR when set, or the override.
QString applicationDir();
void setApplicationDir(const QString &dir);  // tests; empty restores the default

// <appdir>/Configs when writable, else the per-user config location seeded
// once from the shipped template. Tests point it at a temporary directory.
QString configsBase();
void setConfigsBase(const QString &dir);     // empty restores the default

QString descriptionPath();      // <appdir>/DefaultProfile.bin
QString globalConfigPath();     // <base>/Config.ini
QString languageConfigPath();   // <base>/LangConfig.ini
QString productDir();           // <base>/<current product>, or <base>
QString productConfigPath();    // <productDir>/Config.ini
QString profileDir();           // <productDir>/Profile
QString macroDir();             // <base>/MacroDB

// A name typed by the user that becomes a file name (profile, macro, gun file)
// must stay inside its folder: not empty, no '/' or '\\', not "." or "..",
// no ".." component, no control characters, at most 200 characters.
enum class NameCheck { Ok, Empty, Separator, DotDot, ControlChar, TooLong };
NameCheck checkFileName(const QString &name);
inline bool isSafeFileName(const QString &name) { return checkFileName(name) == NameCheck::Ok; }

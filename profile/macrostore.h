#pragma once
// Macro files <base>/MacroDB/<name>.MSMACRO (group Setting) and the 50-slot
// macro list MACRO_LIST/0..49 of the program-wide Config.ini.

#include "records.h"
#include <QString>
#include <QStringList>
#include <QVector>

enum { MACRO_LIST_SIZE = 50, MACRO_EVENT_MAX = KEYINFO_COUNT };

struct MacroSettings {
    int DefaultDelay = 10;
    int DelayType = 0;
    int LoopType = 0;
    int LoopTime = 1;
};

// Empty for a name that fails checkFileName: such a name never reaches the disk.
QString macroPath(const QString &name);
// Writes every key in order and WriteSign = 1; false (nothing written) for an
// unsafe name. At most 63 events are written.
bool saveMacro(const QString &name, const MacroSettings &settings, const QVector<KeyInfo> &events);
// At most 63 events, whatever Setting/Count says (a negative count reads as 0);
// a missing file or an unsafe name gives none.
QVector<KeyInfo> loadMacroEvents(const QString &name);
MacroSettings loadMacroSettings(const QString &name);   // the defaults above when absent

QStringList listMacros();
int countMacros();
// false when all 50 slots are taken or the name is unsafe; a name already in
// the list is not added twice (true).
bool addMacroName(const QString &name);
void removeMacroName(const QString &name);
int readWriteSign(const QString &name);     // 0 when absent
void clearWriteSign(const QString &name);   // only an existing file is touched
// "name_%d" with the smallest number whose file does not exist yet.
QString nextMacroName();

// Puts newName into the slot that holds oldName (the list keeps its order);
// false when oldName is not listed or newName is unsafe.
bool renameMacroName(const QString &oldName, const QString &newName);
// Copies the macro file of `name` to `target` (an export), replacing it whole
// or not at all: false when the name is unsafe, its file is missing, the
// target is not a regular file, or the write fails.
bool exportMacroFile(const QString &name, const QString &target);
// Reads a macro file anywhere (an import): the settings and at most 63 events,
// whatever Setting/Count says. False when the file does not exist or holds no
// Setting group at all.
bool readMacroFile(const QString &path, MacroSettings *settings, QVector<KeyInfo> *events);

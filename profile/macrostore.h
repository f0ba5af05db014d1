#pragma once
// Macro files <base>/MacroDB/<name>.MSMACRO (group Setting) and the 50-slot
// macro list MACRO_LIST/0..49 of Config.ini.

#include "records.h"
#include <QString>
#include <QStringList>
#include <QVector>

enum { MACRO_LIST_SIZE = 50 };

struct MacroSettings {
    int DefaultDelay = 10;
    int DelayType = 0;
    int LoopType = 0;
    int LoopTime = 1;
};

QString macroPath(const QString &name);
// Writes every key in order and WriteSign = 1; false (nothing written) for an
// unsafe name. At most 63 events are written.
bool saveMacro(const QString &name, const MacroSettings &settings, const QVector<KeyInfo> &events);
// At most 63 events, whatever Setting/Count says; a missing file gives none.
QVector<KeyInfo> loadMacroEvents(const QString &name);
MacroSettings loadMacroSettings(const QString &name);

QStringList listMacros();
int countMacros();
bool addMacroName(const QString &name);      // false when all 50 slots are taken
void removeMacroName(const QString &name);
int readWriteSign(const QString &name);
void clearWriteSign(const QString &name);
// "name_%d" with the smallest number whose file does not exist yet.
QString nextMacroName();

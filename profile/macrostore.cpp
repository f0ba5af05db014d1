#include "macrostore.h"

#include "inifile.h"
#include "paths.h"
#include "profile/logging.h"
#include "wholefile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

namespace {

QString listKey(int slot)
{
    return QStringLiteral("MACRO_LIST/%1").arg(slot);
}

// All 50 entries, empty strings for free ones.
QStringList readList(const QSettings &config)
{
    QStringList entries;
    entries.reserve(MACRO_LIST_SIZE);
    for (int i = 0; i < MACRO_LIST_SIZE; ++i)
        entries.append(config.value(listKey(i)).toString());
    return entries;
}

} // namespace

QString macroPath(const QString &name)
{
    const NameCheck check = checkFileName(name);
    if (check != NameCheck::Ok) {
        qCDebug(lcProfile, "Refused macro name \"%s\" (%d)", qPrintable(name), static_cast<int>(check));
        return QString();
    }
    return macroDir() + QLatin1Char('/') + name + QStringLiteral(".MSMACRO");
}

bool saveMacro(const QString &name, const MacroSettings &settings, const QVector<KeyInfo> &events)
{
    const QString path = macroPath(name);
    if (path.isEmpty())
        return false;
    ensureParentDir(path);
    const int count = qMin(events.size(), static_cast<int>(MACRO_EVENT_MAX));
    IniFile file(path);
    file.remove(QStringLiteral("Setting"));   // no stale events past the new count
    file.beginGroup(QStringLiteral("Setting"));
    file.setValue(QStringLiteral("MacroFilePath"), path);
    file.setValue(QStringLiteral("DefaultDelay"), settings.DefaultDelay);
    file.setValue(QStringLiteral("DelayType"), settings.DelayType);
    file.setValue(QStringLiteral("LoopType"), settings.LoopType);
    file.setValue(QStringLiteral("LoopTime"), settings.LoopTime);
    file.setValue(QStringLiteral("Count"), count);
    for (int i = 0; i < count; ++i) {
        const QString n = QString::number(i);
        file.setValue(QStringLiteral("Map_") + n, QString::number(events[i].map));
        file.setValue(QStringLiteral("DataH_") + n, QString::number(events[i].dataH));
        file.setValue(QStringLiteral("DataL_") + n, QString::number(events[i].dataL));
    }
    file.setValue(QStringLiteral("WriteSign"), 1);
    file.endGroup();
    file.sync();
    return file.status() == QSettings::NoError;
}

QVector<KeyInfo> loadMacroEvents(const QString &name)
{
    QVector<KeyInfo> events;
    const QString path = macroPath(name);
    if (path.isEmpty() || !QFile::exists(path))
        return events;
    IniFile file(path);
    file.beginGroup(QStringLiteral("Setting"));
    const int count = qBound(0, lowI32(iniInt(file, QStringLiteral("Count"))), static_cast<int>(MACRO_EVENT_MAX));
    events.resize(count);
    for (int i = 0; i < events.size(); ++i) {
        const QString n = QString::number(i);
        events[i].map = lowU8(iniInt(file, QStringLiteral("Map_") + n));
        events[i].dataH = lowU8(iniInt(file, QStringLiteral("DataH_") + n));
        events[i].dataL = lowU8(iniInt(file, QStringLiteral("DataL_") + n));
    }
    return events;
}

MacroSettings loadMacroSettings(const QString &name)
{
    MacroSettings settings;
    const QString path = macroPath(name);
    if (path.isEmpty() || !QFile::exists(path))
        return settings;
    IniFile file(path);
    file.beginGroup(QStringLiteral("Setting"));
    settings.DefaultDelay = lowI32(iniInt(file, QStringLiteral("DefaultDelay"), settings.DefaultDelay));
    settings.DelayType = lowI32(iniInt(file, QStringLiteral("DelayType"), settings.DelayType));
    settings.LoopType = lowI32(iniInt(file, QStringLiteral("LoopType"), settings.LoopType));
    settings.LoopTime = lowI32(iniInt(file, QStringLiteral("LoopTime"), settings.LoopTime));
    return settings;
}

QStringList listMacros()
{
    QStringList names = readList(IniFile(globalConfigPath()));
    names.removeAll(QString());
    return names;
}

int countMacros()
{
    return listMacros().size();
}

bool addMacroName(const QString &name)
{
    if (!isSafeFileName(name))
        return false;
    IniFile config(globalConfigPath());
    const QStringList entries = readList(config);
    if (entries.contains(name))
        return true;
    const int free = entries.indexOf(QString());
    if (free < 0)
        return false;
    config.setValue(listKey(free), name);
    return true;
}

void removeMacroName(const QString &name)
{
    if (name.isEmpty())
        return;
    IniFile config(globalConfigPath());
    const QStringList entries = readList(config);
    for (int i = 0; i < entries.size(); ++i)
        if (entries[i] == name)
            config.setValue(listKey(i), QString());
}

int readWriteSign(const QString &name)
{
    const QString path = macroPath(name);
    if (path.isEmpty() || !QFile::exists(path))
        return 0;
    return lowI32(iniInt(IniFile(path), QStringLiteral("Setting/WriteSign")));
}

void clearWriteSign(const QString &name)
{
    const QString path = macroPath(name);
    if (path.isEmpty() || !QFile::exists(path))
        return;
    IniFile(path).setValue(QStringLiteral("Setting/WriteSign"), 0);
}

QString nextMacroName()
{
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("name_%1").arg(n);
        if (!QFile::exists(macroPath(name)))
            return name;
    }
}

bool renameMacroName(const QString &oldName, const QString &newName)
{
    if (oldName.isEmpty() || !isSafeFileName(newName))
        return false;
    IniFile config(globalConfigPath());
    const int slot = readList(config).indexOf(oldName);
    if (slot < 0)
        return false;
    config.setValue(listKey(slot), newName);
    return true;
}

bool readMacroFile(const QString &path, MacroSettings *settings, QVector<KeyInfo> *events)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    IniFile file(path);
    if (!file.childGroups().contains(QStringLiteral("Setting")))
        return false;
    file.beginGroup(QStringLiteral("Setting"));
    MacroSettings read;
    read.DefaultDelay = lowI32(iniInt(file, QStringLiteral("DefaultDelay"), read.DefaultDelay));
    read.DelayType = lowI32(iniInt(file, QStringLiteral("DelayType"), read.DelayType));
    read.LoopType = lowI32(iniInt(file, QStringLiteral("LoopType"), read.LoopType));
    read.LoopTime = lowI32(iniInt(file, QStringLiteral("LoopTime"), read.LoopTime));
    const int count = qBound(0, lowI32(iniInt(file, QStringLiteral("Count"))), static_cast<int>(MACRO_EVENT_MAX));
    QVector<KeyInfo> list(count);
    for (int i = 0; i < count; ++i) {
        const QString n = QString::number(i);
        list[i].map = lowU8(iniInt(file, QStringLiteral("Map_") + n));
        list[i].dataH = lowU8(iniInt(file, QStringLiteral("DataH_") + n));
        list[i].dataL = lowU8(iniInt(file, QStringLiteral("DataL_") + n));
    }
    if (settings)
        *settings = read;
    if (events)
        *events = list;
    return true;
}

bool exportMacroFile(const QString &name, const QString &target)
{
    const QString source = macroPath(name);
    if (source.isEmpty() || !QFileInfo(source).isFile())
        return false;
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(source).absoluteFilePath())
        return true;
    return copyWholeFile(source, target);
}

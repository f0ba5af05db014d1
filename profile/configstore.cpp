#include "configstore.h"
#include "slotcache.h"

#include "description.h"
#include "inifile.h"
#include "paths.h"
#include "profilefile.h"
#include "profileset.h"

#include <QDebug>

// Two Config.ini files: the slot state, device-wide options, Config/Diff and
// the library list belong to the product being served (<base>/<product>/),
// so each model keeps its own slots; battery, accent colour, current product,
// model, macro list, fonts and the read-only device keys are program-wide
// (<base>/Config.ini). With no current product both are the same file.

namespace {

QString key(const char *name)
{
    return QStringLiteral("Config/") + QLatin1String(name);
}

int globalInt(const char *name, qint64 fallback = 0)
{
    return lowI32(iniInt(IniFile(globalConfigPath()), key(name), fallback));
}

// A number or text the file already holds is not written again: the battery
// and the current product are stored on every start and every poll, the slot
// names on every save, and rewriting a file to say the same costs a write
// (and a flush to disk) for nothing.
void setIfDifferent(QSettings &file, const QString &k, const QVariant &value)
{
    const auto scalar = [](const QVariant &v) {
        switch (v.userType()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::UChar:
        case QMetaType::UShort:
        case QMetaType::Short:
        case QMetaType::QString:
            return true;
        default:
            return false;
        }
    };
    // Read from the file it is text; as this process wrote it, the value set.
    const QVariant held = file.value(k);
    if (held.isValid() && scalar(held) && scalar(value) && held.toString() == value.toString())
        return;
    file.setValue(k, value);
}

void setValueOf(const QString &path, const char *name, const QVariant &value)
{
    ensureParentDir(path);
    IniFile file(path);
    setIfDifferent(file, key(name), value);
}

void setGlobal(const char *name, const QVariant &value)
{
    setValueOf(globalConfigPath(), name, value);
}

void setProduct(const char *name, const QVariant &value)
{
    setValueOf(productConfigPath(), name, value);
}

} // namespace

void loadProfileSet(ProfileSet &set)
{
    {
        IniFile config(productConfigPath());
        readDeviceWideKeys(config, set);
    }
    for (int i = 0; i < SLOT_COUNT; ++i)
        readSlotFile(set.profiles[i], set.names[i]);
    saveSlotCache();
    readButtonMatrix(buttonMatrix().data());
}

bool saveProfileSet(const ProfileSet &set, bool *writeFailed, const ProfileSet *onDisk)
{
    bool failed = false;
    {
        const QString path = productConfigPath();
        ensureParentDir(path);
        IniFile config(path);
        setIfDifferent(config, key("ProfileID"), set.ProfileID);
        setIfDifferent(config, key("AngleValue"), set.AngleValue);
        setIfDifferent(config, key("Sync"), set.Sync);
        setIfDifferent(config, key("LiftHigh"), set.LiftHigh);
        setIfDifferent(config, key("Jitter"), set.Jitter);
        setIfDifferent(config, key("Debounce"), set.Debounce);
        setIfDifferent(config, key("Count"), set.Count);
        // Every slot's name, so that the names on disk always match the
        // profiles that the slot files hold.
        for (int i = 0; i < SLOT_COUNT; ++i)
            setIfDifferent(config, QStringLiteral("Config/Profile%1").arg(i + 1), set.names[i]);
        config.sync();
        failed = config.status() == QSettings::AccessError;
    }
    bool ok = !failed;
    const auto save = [&](int slot) {
        if (slotFilePath(set.names[slot]).isEmpty()) {
            ok = false;   // refused: no file for such a name
        } else if (!writeSlotFile(set.profiles[slot], set.names[slot])) {
            ok = false;
            failed = true;
        }
    };
    save(0);
    // The active slot is the one the pages edit: its file is written as well,
    // or edits made to a slot other than the first would be lost on restart.
    const int active = set.ProfileID < SLOT_COUNT ? set.ProfileID : 0;
    if (active != 0 && set.names[active] != set.names[0])
        save(active);
    for (int i = 1; onDisk && i < SLOT_COUNT; ++i) {
        if (i == active || set.names[i] == set.names[0] || (set.names[i] == set.names[active]))
            continue;
        if (set.names[i] != onDisk->names[i] || !sameProfile(set.profiles[i], onDisk->profiles[i]))
            save(i);
    }
    if (writeFailed)
        *writeFailed = failed;
    return ok;
}

namespace {

void setSlotNames(QSettings &config, const ProfileSet &set)
{
    setIfDifferent(config, key("ProfileID"), set.ProfileID);
    setIfDifferent(config, key("Count"), set.Count);
    for (int i = 0; i < SLOT_COUNT; ++i)
        setIfDifferent(config, QStringLiteral("Config/Profile%1").arg(i + 1), set.names[i]);
}

void setLibraryList(QSettings &config, const QStringList &names)
{
    config.remove(QStringLiteral("PROFILE_LIST"));   // no stale entries past the new count
    config.beginGroup(QStringLiteral("PROFILE_LIST"));
    config.setValue(QStringLiteral("Count"), names.size());
    for (int i = 0; i < names.size(); ++i)
        config.setValue(QString::number(i + 1), names[i]);
    config.endGroup();
}

} // namespace

void saveSlotNames(const ProfileSet &set)
{
    const QString path = productConfigPath();
    ensureParentDir(path);
    IniFile config(path);
    setSlotNames(config, set);
}

void saveLibraryState(const QStringList &names, const ProfileSet &set)
{
    const QString path = productConfigPath();
    ensureParentDir(path);
    IniFile config(path);
    setLibraryList(config, names);
    setSlotNames(config, set);
}

void setActiveSlot(int slot)
{
    setProduct("ProfileID", slot);
}

int readDiff()
{
    return lowI32(iniInt(IniFile(productConfigPath()), key("Diff")));
}

void writeDiff(int diff)
{
    setProduct("Diff", diff);
}

int readBattery()
{
    return globalInt("Battery");
}

void writeBattery(int percent)
{
    setGlobal("Battery", percent);
}

int readBatteryFull()
{
    return globalInt("BatteryFull", 4200);
}

int readAccentIndex()
{
    return globalInt("GColorID");
}

QString readCurrentProduct()
{
    // Asked for by nearly every path and picture: read from the file once per change.
    return cachedIniValue(globalConfigPath(), key("CurrentProductName")).toString();
}

void writeCurrentProduct(const QString &name)
{
    setGlobal("CurrentProductName", name);
}

QString readModel()
{
    return IniFile(globalConfigPath()).value(key("Model")).toString();
}

QStringList readLibraryList()
{
    IniFile config(productConfigPath());
    config.beginGroup(QStringLiteral("PROFILE_LIST"));
    const int count = qBound(0, lowI32(iniInt(config, QStringLiteral("Count"))), static_cast<int>(LIBRARY_LIST_MAX));
    QStringList names;
    for (int i = 1; i <= count; ++i) {
        const QString name = config.value(QString::number(i)).toString();
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

void writeLibraryList(const QStringList &names)
{
    const QString path = productConfigPath();
    ensureParentDir(path);
    IniFile config(path);
    setLibraryList(config, names);
}

#pragma once
// Shared fixtures of the profile store suites: a temporary Configs base, a
// temporary application directory, deterministic profile contents and a
// field-by-field comparison that names the first difference.

#include "profile/paths.h"
#include "profile/records.h"

#include <QDir>
#include <QDirIterator>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

// A Configs base under a private temporary folder (its parent is ours too, so
// a name escaping the base would be seen).
struct TempBase {
    QTemporaryDir root;
    QString base;
    TempBase()
    {
        base = root.path() + QStringLiteral("/Configs");
        setConfigsBase(base);
    }
    ~TempBase() { setConfigsBase(QString()); }
};

// An application directory without DefaultProfile.bin (or with one that the
// test writes).
struct TempAppDir {
    QTemporaryDir dir;
    TempAppDir() { setApplicationDir(dir.path()); }
    ~TempAppDir() { setApplicationDir(QString()); }
    QString descriptionFile() const { return dir.path() + QStringLiteral("/DefaultProfile.bin"); }
};

inline void writeIni(const QString &path, const QVariantMap &values)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings s(path, QSettings::IniFormat);
    s.setIniCodec("UTF-8");
    for (auto it = values.begin(); it != values.end(); ++it)
        s.setValue(it.key(), it.value());
}

inline QVariant readIni(const QString &path, const QString &key)
{
    QSettings s(path, QSettings::IniFormat);
    s.setIniCodec("UTF-8");
    return s.value(key);
}

// Every file below dir (relative paths), sorted.
inline QStringList listFiles(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(dir).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// Distinct values in every field, different for each seed.
inline void fillProfile(ProfileData &p, int seed)
{
    p = ProfileData();
    p.pollrate = quint8(seed + 1);
    p.dpi = quint8(seed + 2);
    p.LedMode = quint8((seed + 3) % EFFECT_COUNT);
    p.LedMoveOFF = quint8(seed + 4);
    p.LedSleepTime = quint8(seed + 5);
    for (int i = 0; i < STAGE_COUNT; ++i) {
        p.stages[i].used = quint8((seed + i) & 1);
        p.stages[i].link = quint8((seed + i + 1) & 1);
        p.stages[i].xy = quint32(1000 * seed + i);
        p.stages[i].x = quint32(0xFFFFFFF0u + quint32(i));   // above 2^31: unsigned keys
        p.stages[i].y = quint32(7 * seed + 3 * i);
    }
    p.mousespeed = quint8(seed + 6);
    p.dbclickspeed = quint8(seed + 7);
    p.scrollispage = quint8(seed & 1);
    p.scrollspeed = quint8(seed + 8);
    p.accelenable = quint8((seed + 1) & 1);
    p.acee = quint8(seed & 1);
    for (int b = 0; b < BUTTON_COUNT; ++b) {
        ButtonEntry &e = p.buttons[b];
        e.ID = b + seed;
        e.Fun = b == 3 ? 200 : (b * 7 + seed) % 60;
        e.LoopNumber = -b - seed;
        e.KeyNumber = (b + seed) % 64;
        for (int k = 0; k < KEYINFO_COUNT; ++k) {
            e.KeyInfo[k].map = quint8(b + k + seed);
            e.KeyInfo[k].dataL = quint8(b * 3 + k + 100 + seed);
            e.KeyInfo[k].dataH = quint8(b * 5 + k + 200 + seed);
        }
        e.Res1 = quint8(b + 1);
        e.Res2 = quint8(b + 2 + seed);
        e.Res3 = quint8(255 - b);
        e.Res4 = quint8(seed);
        e.macroname = b == 3 ? QStringLiteral("宏 %1").arg(seed) : QString();
    }
    for (int i = 0; i < EFFECT_COUNT; ++i) {
        LightEffect &e = p.effects[i];
        e.colour = i == 13 ? QColor() : QColor(i * 18, 255 - i * 10, (i * 40 + seed) % 256);
        e.h = i == 0 ? -1 : 20 * i + seed;   // an achromatic hue is -1
        e.s = 255 - i;
        e.v = i * 9;
        e.bright = i % 5;
        e.breath = (i + seed) % 6;
    }
    p.ProfileName = QStringLiteral("Profil é %1").arg(seed);
    p.ProfilePath = QStringLiteral("/x/y/%1.prof").arg(seed);
}

// Empty when equal, else the first field that differs.
inline QString profileDifference(const ProfileData &a, const ProfileData &b, bool withLedTimers = true)
{
#define DIFF(expr, what) \
    if (!(expr)) return QString(what)
    DIFF(a.pollrate == b.pollrate, "pollrate");
    DIFF(a.dpi == b.dpi, "dpi");
    DIFF(a.LedMode == b.LedMode, "LedMode");
    if (withLedTimers) {
        DIFF(a.LedMoveOFF == b.LedMoveOFF, "LedMoveOFF");
        DIFF(a.LedSleepTime == b.LedSleepTime, "LedSleepTime");
    }
    for (int i = 0; i < STAGE_COUNT; ++i) {
        const DpiStage &x = a.stages[i], &y = b.stages[i];
        DIFF(x.used == y.used && x.link == y.link && x.xy == y.xy && x.x == y.x && x.y == y.y,
             QStringLiteral("stage %1").arg(i));
    }
    DIFF(a.mousespeed == b.mousespeed && a.dbclickspeed == b.dbclickspeed && a.scrollispage == b.scrollispage
             && a.scrollspeed == b.scrollspeed && a.accelenable == b.accelenable && a.acee == b.acee,
         "pointer options");
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const ButtonEntry &x = a.buttons[i], &y = b.buttons[i];
        DIFF(x.ID == y.ID && x.Fun == y.Fun && x.LoopNumber == y.LoopNumber && x.KeyNumber == y.KeyNumber
                 && x.Res1 == y.Res1 && x.Res2 == y.Res2 && x.Res3 == y.Res3 && x.Res4 == y.Res4
                 && x.macroname == y.macroname,
             QStringLiteral("button %1").arg(i));
        for (int k = 0; k < KEYINFO_COUNT; ++k)
            DIFF(x.KeyInfo[k].map == y.KeyInfo[k].map && x.KeyInfo[k].dataL == y.KeyInfo[k].dataL
                     && x.KeyInfo[k].dataH == y.KeyInfo[k].dataH,
                 QStringLiteral("button %1 event %2").arg(i).arg(k));
    }
    for (int i = 0; i < EFFECT_COUNT; ++i) {
        const LightEffect &x = a.effects[i], &y = b.effects[i];
        DIFF(x.colour == y.colour && x.h == y.h && x.s == y.s && x.v == y.v && x.bright == y.bright
                 && x.breath == y.breath,
             QStringLiteral("effect %1").arg(i));
    }
    DIFF(a.ProfileName == b.ProfileName, "ProfileName");
    DIFF(a.ProfilePath == b.ProfilePath, "ProfilePath");
#undef DIFF
    return QString();
}

inline QString setDifference(const ProfileSet &a, const ProfileSet &b, bool withLedTimers = true)
{
    if (a.ProfileID != b.ProfileID || a.AngleValue != b.AngleValue || a.LiftHigh != b.LiftHigh || a.Sync != b.Sync
        || a.Count != b.Count || a.Jitter != b.Jitter || a.Debounce != b.Debounce)
        return QStringLiteral("device-wide options");
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (a.names[i] != b.names[i])
            return QStringLiteral("name %1").arg(i);
        const QString d = profileDifference(a.profiles[i], b.profiles[i], withLedTimers);
        if (!d.isEmpty())
            return QStringLiteral("slot %1: %2").arg(i).arg(d);
    }
    return QString();
}

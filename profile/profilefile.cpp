#include "profilefile.h"
#include "slotcache.h"

#include "configstore.h"
#include "inifile.h"
#include "paths.h"
#include "profile/logging.h"
#include "profileset.h"
#include "wholefile.h"

#include <QDebug>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>
#include <QVector>

#include <algorithm>
#include <future>
#include <mutex>

namespace {

const QString kTagKey = QStringLiteral("MouseName/Name");

// Key names are built once: a profile has 8 316 button keys.
struct ProfileKeys {
    struct Stage { QString used, link, xy, x, y; } stages[STAGE_COUNT];
    struct Button {
        QString ID, Fun, LoopNumber, KeyNumber, Res1, Res2, Res3, Res4, macroname;
        QString map[KEYINFO_COUNT], dataL[KEYINFO_COUNT], dataH[KEYINFO_COUNT];
    } buttons[BUTTON_COUNT];
    struct Effect { QString RGB, h, s, v, bright, breath; } effects[EFFECT_COUNT];

    ProfileKeys()
    {
        for (int i = 0; i < STAGE_COUNT; ++i) {
            const QString p = QStringLiteral("DPI_INFO_%1_").arg(i);
            stages[i] = {p + QStringLiteral("used"), p + QStringLiteral("link"), p + QStringLiteral("xy"),
                         p + QStringLiteral("x"), p + QStringLiteral("y")};
        }
        for (int i = 0; i < BUTTON_COUNT; ++i) {
            const QString p = QStringLiteral("BUTTON_INFO_%1_").arg(i);
            Button &b = buttons[i];
            b.ID = p + QStringLiteral("ID");
            b.Fun = p + QStringLiteral("Fun");
            b.LoopNumber = p + QStringLiteral("LoopNumber");
            b.KeyNumber = p + QStringLiteral("KeyNumber");
            b.Res1 = p + QStringLiteral("Res1");
            b.Res2 = p + QStringLiteral("Res2");
            b.Res3 = p + QStringLiteral("Res3");
            b.Res4 = p + QStringLiteral("Res4");
            b.macroname = p + QStringLiteral("macroname");
            for (int j = 0; j < KEYINFO_COUNT; ++j) {
                // dataL's key ends with the bare underscore.
                const QString k = p + QStringLiteral("KeyInfo_%1_").arg(j);
                b.map[j] = k + QStringLiteral("map");
                b.dataL[j] = k;
                b.dataH[j] = k + QStringLiteral("H");
            }
        }
        for (int i = 0; i < EFFECT_COUNT; ++i) {
            // "LedMode" is also a key of the group; QSettings keeps both.
            const QString p = QStringLiteral("LedMode/LED_MODE_%1_").arg(i);
            effects[i] = {p + QStringLiteral("RGB"), p + QStringLiteral("h"), p + QStringLiteral("s"),
                          p + QStringLiteral("v"), p + QStringLiteral("bright"), p + QStringLiteral("breath")};
        }
    }
};

const ProfileKeys &keys()
{
    static const ProfileKeys k;
    return k;
}

// The profile keys under the settings' current group. LedMoveOFF and
// LedSleepTime belong to .prof files only.
template <class Settings>
void writeProfileKeys(Settings &s, const ProfileData &p, bool withLedTimers)
{
    const ProfileKeys &k = keys();
    s.setValue(QStringLiteral("pollrate"), p.pollrate);
    s.setValue(QStringLiteral("dpi"), p.dpi);
    for (int i = 0; i < STAGE_COUNT; ++i) {
        const DpiStage &st = p.stages[i];
        s.setValue(k.stages[i].used, st.used);
        s.setValue(k.stages[i].link, st.link);
        s.setValue(k.stages[i].xy, st.xy);
        s.setValue(k.stages[i].x, st.x);
        s.setValue(k.stages[i].y, st.y);
    }
    s.setValue(QStringLiteral("mousespeed"), p.mousespeed);
    s.setValue(QStringLiteral("dbclickspeed"), p.dbclickspeed);
    s.setValue(QStringLiteral("scrollispage"), p.scrollispage);
    s.setValue(QStringLiteral("scrollspeed"), p.scrollspeed);
    s.setValue(QStringLiteral("accelenable"), p.accelenable);
    s.setValue(QStringLiteral("acee"), p.acee);
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const ButtonEntry &b = p.buttons[i];
        const ProfileKeys::Button &bk = k.buttons[i];
        s.setValue(bk.ID, b.ID);
        s.setValue(bk.Fun, b.Fun);
        s.setValue(bk.LoopNumber, b.LoopNumber);
        s.setValue(bk.KeyNumber, b.KeyNumber);
        s.setValue(bk.Res1, b.Res1);
        s.setValue(bk.Res2, b.Res2);
        s.setValue(bk.Res3, b.Res3);
        s.setValue(bk.Res4, b.Res4);
        s.setValue(bk.macroname, b.macroname);
        for (int j = 0; j < KEYINFO_COUNT; ++j) {
            s.setValue(bk.map[j], b.KeyInfo[j].map);
            s.setValue(bk.dataL[j], b.KeyInfo[j].dataL);
            s.setValue(bk.dataH[j], b.KeyInfo[j].dataH);
        }
    }
    s.setValue(QStringLiteral("ProfileName"), p.ProfileName);
    s.setValue(QStringLiteral("ProfilePath"), p.ProfilePath);
    s.setValue(QStringLiteral("LedMode"), p.LedMode);
    if (withLedTimers) {
        s.setValue(QStringLiteral("LedMoveOFF"), p.LedMoveOFF);
        s.setValue(QStringLiteral("LedSleepTime"), p.LedSleepTime);
    }
    for (int i = 0; i < EFFECT_COUNT; ++i) {
        const LightEffect &e = p.effects[i];
        const ProfileKeys::Effect &ek = k.effects[i];
        s.setValue(ek.RGB, QVariant::fromValue(e.colour));
        s.setValue(ek.h, static_cast<quint32>(e.h));
        s.setValue(ek.s, static_cast<quint32>(e.s));
        s.setValue(ek.v, static_cast<quint32>(e.v));
        s.setValue(ek.bright, static_cast<quint32>(e.bright));
        s.setValue(ek.breath, static_cast<quint32>(e.breath));
    }
}

// Fills the record from the settings' current group; absent keys give 0,
// LedMoveOFF 255 and LedSleepTime 1, or keep the record's own LedMoveOFF and
// LedSleepTime when the file does not carry them by design (.conf).
void readProfileKeys(const QSettings &s, ProfileData &p, bool withLedTimers)
{
    const ProfileKeys &k = keys();
    const quint8 moveOff = p.LedMoveOFF;
    const quint8 sleepTime = p.LedSleepTime;
    p = ProfileData();
    p.pollrate = lowU8(iniInt(s, QStringLiteral("pollrate")));
    p.dpi = lowU8(iniInt(s, QStringLiteral("dpi")));
    for (int i = 0; i < STAGE_COUNT; ++i) {
        DpiStage &st = p.stages[i];
        st.used = lowU8(iniInt(s, k.stages[i].used));
        st.link = lowU8(iniInt(s, k.stages[i].link));
        st.xy = lowU32(iniInt(s, k.stages[i].xy));
        st.x = lowU32(iniInt(s, k.stages[i].x));
        st.y = lowU32(iniInt(s, k.stages[i].y));
    }
    p.mousespeed = lowU8(iniInt(s, QStringLiteral("mousespeed")));
    p.dbclickspeed = lowU8(iniInt(s, QStringLiteral("dbclickspeed")));
    p.scrollispage = lowU8(iniInt(s, QStringLiteral("scrollispage")));
    p.scrollspeed = lowU8(iniInt(s, QStringLiteral("scrollspeed")));
    p.accelenable = lowU8(iniInt(s, QStringLiteral("accelenable")));
    p.acee = lowU8(iniInt(s, QStringLiteral("acee")));
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        ButtonEntry &b = p.buttons[i];
        const ProfileKeys::Button &bk = k.buttons[i];
        b.ID = lowI32(iniInt(s, bk.ID));
        b.Fun = lowI32(iniInt(s, bk.Fun));
        b.LoopNumber = lowI32(iniInt(s, bk.LoopNumber));
        b.KeyNumber = lowI32(iniInt(s, bk.KeyNumber));
        b.Res1 = lowU8(iniInt(s, bk.Res1));
        b.Res2 = lowU8(iniInt(s, bk.Res2));
        b.Res3 = lowU8(iniInt(s, bk.Res3));
        b.Res4 = lowU8(iniInt(s, bk.Res4));
        b.macroname = s.value(bk.macroname).toString();
        for (int j = 0; j < KEYINFO_COUNT; ++j) {
            b.KeyInfo[j].map = lowU8(iniInt(s, bk.map[j]));
            b.KeyInfo[j].dataL = lowU8(iniInt(s, bk.dataL[j]));
            b.KeyInfo[j].dataH = lowU8(iniInt(s, bk.dataH[j]));
        }
    }
    p.ProfileName = s.value(QStringLiteral("ProfileName")).toString();
    p.ProfilePath = s.value(QStringLiteral("ProfilePath")).toString();
    p.LedMode = lowU8(iniInt(s, QStringLiteral("LedMode")));
    if (p.LedMode >= EFFECT_COUNT) {
        qCDebug(lcProfile, "Lighting mode %d out of range, using 0", p.LedMode);
        p.LedMode = 0;
    }
    if (withLedTimers) {
        p.LedMoveOFF = lowU8(iniInt(s, QStringLiteral("LedMoveOFF"), 255));
        p.LedSleepTime = lowU8(iniInt(s, QStringLiteral("LedSleepTime"), 1));
    } else {
        p.LedMoveOFF = moveOff;
        p.LedSleepTime = sleepTime;
    }
    for (int i = 0; i < EFFECT_COUNT; ++i) {
        LightEffect &e = p.effects[i];
        const ProfileKeys::Effect &ek = k.effects[i];
        const QVariant colour = s.value(ek.RGB);
        e.colour = colour.isValid() ? colour.value<QColor>() : QColor();
        e.h = lowI32(iniInt(s, ek.h));
        e.s = lowI32(iniInt(s, ek.s));
        e.v = lowI32(iniInt(s, ek.v));
        e.bright = lowI32(iniInt(s, ek.bright));
        e.breath = lowI32(iniInt(s, ek.breath));
    }
}

// Config/* of a .conf: the device-wide options and the five slot names.
template <class Settings>
void writeDeviceWideKeys(Settings &s, const ProfileSet &set)
{
    s.setValue(QStringLiteral("Config/ProfileID"), set.ProfileID);
    s.setValue(QStringLiteral("Config/AngleValue"), set.AngleValue);
    s.setValue(QStringLiteral("Config/LiftHigh"), set.LiftHigh);
    s.setValue(QStringLiteral("Config/Sync"), set.Sync);
    s.setValue(QStringLiteral("Config/Jitter"), set.Jitter);
    s.setValue(QStringLiteral("Config/Debounce"), set.Debounce);
    s.setValue(QStringLiteral("Config/Count"), set.Count);
    for (int i = 0; i < SLOT_COUNT; ++i)
        s.setValue(QStringLiteral("Config/Profile%1").arg(i + 1), set.names[i]);
}

ProfileData missingFileProfile()
{
    ProfileData p;
    p.LedMoveOFF = 255;
    p.LedSleepTime = 1;
    return p;
}

// A regular file that can be opened (a fifo is never opened: that would wait
// for a writer).
bool readable(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile f(path);
    return f.open(QIODevice::ReadOnly);
}

// What a settings object would hold after the writes, keyed as QSettings keys
// them (group, '/', key), for a file written whole.
struct SettingsMapWriter {
    QSettings::SettingsMap map;
    QString group;
    void beginGroup(const QString &name) { group = name + QLatin1Char('/'); }
    void endGroup() { group.clear(); }
    void setValue(const QString &key, const QVariant &value) { map.insert(group + key, value); }
};

// Whether a settings object's changes reached the file.
bool synced(QSettings &file)
{
    file.sync();
    if (file.status() == QSettings::AccessError) {
        qCWarning(lcProfile, "Cannot write %s", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

} // namespace

namespace {

// What writeProfileKeys sets, in the order it sets it.
struct RecordedKeys {
    QVector<QString> keys;
    QVector<QVariant> values;
    void setValue(const QString &key, const QVariant &value)
    {
        keys.append(key);
        values.append(value);
    }
};

// The lines of a profile file in the order the file lists them (QSettings'
// order: the keys sorted), each line's "key=" text, and every key as the
// file spells it. Worked out once from the keys a profile writes.
struct ProfileFileLayout {
    QVector<QString> keys;        // as writeProfileKeys sets them
    QVector<int> order;           // indices into keys, in file order
    QVector<QByteArray> heads;    // "key=" per index
    QSet<QByteArray> spelled;     // the keys as written in the file
    bool usable = false;          // false: two keys alike, never expected
};

const ProfileFileLayout &profileFileLayout(const QVector<QString> &keys)
{
    static std::mutex mutex;
    static ProfileFileLayout layout;
    std::lock_guard<std::mutex> lock(mutex);
    if (layout.keys == keys)
        return layout;
    layout = ProfileFileLayout();
    layout.keys = keys;
    layout.order.resize(keys.size());
    for (int i = 0; i < keys.size(); ++i)
        layout.order[i] = i;
    std::sort(layout.order.begin(), layout.order.end(), [&keys](int a, int b) { return keys[a] < keys[b]; });
    layout.usable = true;
    for (int i = 1; i < keys.size(); ++i) {
        if (keys[layout.order[i - 1]] == keys[layout.order[i]])
            layout.usable = false;
    }
    layout.heads.resize(keys.size());
    for (int i = 0; i < keys.size(); ++i) {
        QByteArray head;
        appendIniKey(keys[i], head);
        layout.spelled.insert(head);
        head += '=';
        layout.heads[i] = head;
    }
    return layout;
}

// True when the file is missing or holds nothing but a [PROFILE] section of
// the keys a profile writes: writing every key then gives the same file as
// QSettings merging them into it would. Anything else (another section, a
// key of somebody else's, a line the check does not follow) is false.
bool onlyProfileKeys(const QString &path, const ProfileFileLayout &layout)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxIniFileSize())
        return false;
    const QByteArray text = file.readAll();
    int start = 0;
    while (start < text.size()) {
        int end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        const QByteArray line = text.mid(start, end - start).trimmed();
        start = end + 1;
        if (line.isEmpty() || line == "[PROFILE]")
            continue;
        const int equals = line.indexOf('=');
        if (equals <= 0 || line.endsWith('\\') || !layout.spelled.contains(line.left(equals).trimmed()))
            return false;
    }
    return true;
}

enum class WholeWrite { Written, NotWhole, Failed };

// Writes the whole file at once in the text QSettings would give it, under
// QSettings' own lock file. NotWhole when the file holds more than a profile's
// keys (then QSettings merges into it); Failed when the write or the rename
// failed (the old file is left as it was).
WholeWrite writeProfileText(const ProfileData &profile, const QString &path)
{
    RecordedKeys recorded;
    recorded.keys.reserve(9000);
    recorded.values.reserve(9000);
    writeProfileKeys(recorded, profile, true);
    const ProfileFileLayout &layout = profileFileLayout(recorded.keys);
    if (!layout.usable)
        return WholeWrite::NotWhole;

    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.lock())
        return WholeWrite::NotWhole;
    if (!onlyProfileKeys(path, layout))
        return WholeWrite::NotWhole;
    QByteArray text;
    text.reserve(300 * 1024);
    text += "[PROFILE]\n";
    for (const int i : layout.order) {
        text += layout.heads[i];
        appendIniValue(recorded.values[i], text);
        text += '\n';
    }
    // QSettings would fail the same way: no second try through it.
    return writeWholeFile(path, text) ? WholeWrite::Written : WholeWrite::Failed;
}

bool writeThroughSettings(const ProfileData &profile, const QString &path)
{
    ensureParentDir(path);
    IniFile file(path);
    file.beginGroup(QStringLiteral("PROFILE"));
    writeProfileKeys(file, profile, true);
    file.endGroup();
    return synced(file);
}

bool writeHere(const ProfileData &profile, const QString &path)
{
    ensureParentDir(path);
    switch (writeProfileText(profile, path)) {
    case WholeWrite::Written:
        return true;
    case WholeWrite::Failed:
        return false;
    case WholeWrite::NotWhole:
        break;
    }
    return writeThroughSettings(profile, path);
}

// A file that is there already (written by another process meanwhile) is
// kept; one written is parsed again for the slot cache.
void writeHereIfMissing(const ProfileData &profile, const QString &path)
{
    if (!QFileInfo::exists(path) && writeHere(profile, path))
        refreshSlotFileLater(path);
}

// The files being written on another thread: every other read or write of a
// profile file waits for them, so none is read half-way or written over by
// the files of a first start.
struct BackgroundFiles {
    std::mutex mutex;
    std::shared_future<void> job;
};

BackgroundFiles &backgroundFiles()
{
    static BackgroundFiles b;
    return b;
}

} // namespace

void writeProfileFilesInBackground(const QVector<QPair<QString, ProfileData>> &files, std::function<void()> done)
{
    waitForBackgroundProfileFiles();
    BackgroundFiles &b = backgroundFiles();
    std::lock_guard<std::mutex> lock(b.mutex);
    b.job = std::async(std::launch::async, [files, done] {
        for (const auto &f : files)
            writeHereIfMissing(f.second, f.first);
        if (done)
            done();
    }).share();
}

void waitForBackgroundProfileFiles()
{
    std::shared_future<void> job;
    {
        BackgroundFiles &b = backgroundFiles();
        std::lock_guard<std::mutex> lock(b.mutex);
        job = b.job;
    }
    if (job.valid())
        job.wait();
}

bool writeProfileFile(const ProfileData &profile, const QString &path)
{
    waitForBackgroundProfileFiles();
    return writeHere(profile, path);
}

void writeProfileFileIfMissing(const ProfileData &profile, const QString &path)
{
    waitForBackgroundProfileFiles();
    writeHereIfMissing(profile, path);
}

bool writeProfileFileThroughSettings(const ProfileData &profile, const QString &path)
{
    waitForBackgroundProfileFiles();
    return writeThroughSettings(profile, path);
}

void readProfileFile(ProfileData &profile, const QString &path)
{
    waitForBackgroundProfileFiles();
    if (!QFile::exists(path)) {
        profile = missingFileProfile();
        return;
    }
    IniFile file(path);
    file.beginGroup(QStringLiteral("PROFILE"));
    readProfileKeys(file, profile, true);
}

bool isReservedProfileName(const QString &name)
{
    return name.compare(QLatin1String("DefaultProfile"), Qt::CaseInsensitive) == 0;
}

QString slotFilePath(const QString &name)
{
    const NameCheck check = checkFileName(name);
    if (check != NameCheck::Ok) {
        qCDebug(lcProfile, "Refused profile name \"%s\" (%d)", qPrintable(name), static_cast<int>(check));
        return QString();
    }
    if (isReservedProfileName(name)) {
        qCDebug(lcProfile, "Refused profile name \"%s\": the factory profile's file", qPrintable(name));
        return QString();
    }
    return profileDir() + QLatin1Char('/') + name + QStringLiteral(".prof");
}

bool writeSlotFile(const ProfileData &profile, const QString &name)
{
    const QString path = slotFilePath(name);
    if (path.isEmpty())
        return false;
    if (!writeProfileFile(profile, path))
        return false;
    refreshSlotFileLater(path);
    return true;
}

bool readSlotFile(ProfileData &profile, const QString &name)
{
    waitForBackgroundProfileFiles();
    const QString path = slotFilePath(name);
    if (path.isEmpty()) {
        profile = missingFileProfile();
        return false;
    }
    // A slot file unchanged since it was last parsed comes from the cache.
    if (cachedSlotFile(path, profile))
        return true;
    const SlotFileStamp before = stampSlotFileForParse(path);
    readProfileFile(profile, path);
    rememberSlotFile(path, before, profile);
    return true;
}

bool writeActiveStage(const QString &name, int stage)
{
    waitForBackgroundProfileFiles();
    const QString path = slotFilePath(name);
    if (path.isEmpty())
        return false;
    ensureParentDir(path);
    IniFile file(path);
    file.setValue(QStringLiteral("PROFILE/dpi"), stage);
    return synced(file);
}

QString defaultProfileFilePath()
{
    return profileDir() + QStringLiteral("/DefaultProfile.prof");
}

bool writeDefaultProfileFile()
{
    ProfileData profile;
    buildDefaultProfile(profile);
    return writeProfileFile(profile, defaultProfileFilePath());
}

bool refreshDefaultProfileFile()
{
    // The file holds what the device description says; it only needs writing
    // when it is missing or the description changed since it was written.
    const QFileInfo file(defaultProfileFilePath());
    const QFileInfo description(descriptionPath());
    if (file.exists() && (!description.exists() || description.lastModified() <= file.lastModified()))
        return false;
    writeDefaultProfileFile();
    return true;
}

bool exportConfig(const ProfileSet &set, const QString &path)
{
    if (!isRegularFileOrAbsent(path)) {
        qCWarning(lcProfile, "Not exported: %s is not a regular file", qPrintable(path));
        return false;
    }
    SettingsMapWriter file;
    file.setValue(kTagKey, readCurrentProduct());
    writeDeviceWideKeys(file, set);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        file.beginGroup(QStringLiteral("PROFILE_%1").arg(i));
        writeProfileKeys(file, set.profiles[i], false);
        file.endGroup();
    }
    // The text QSettings would write, the whole file at once: whatever the
    // destination held before is replaced, or kept when the write fails.
    ensureParentDir(path);
    return writeWholeFile(path, formatIniText(file.map));
}

ImportResult importConfig(ProfileSet &set, const QString &path)
{
    if (!readable(path))
        return ImportResult::Unreadable;
    if (iniFileTooLarge(path))
        return ImportResult::TooLarge;
    if (readModelTag(path) != readCurrentProduct())
        return ImportResult::WrongModel;
    IniFile file(path);
    if (file.status() != QSettings::NoError)
        return ImportResult::Unreadable;
    readDeviceWideKeys(file, set);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        file.beginGroup(QStringLiteral("PROFILE_%1").arg(i));
        readProfileKeys(file, set.profiles[i], false);
        file.endGroup();
    }
    return ImportResult::Ok;
}

bool writeModelTag(const QString &model, const QString &path)
{
    ensureParentDir(path);
    IniFile file(path);
    file.setValue(kTagKey, model);
    return synced(file);
}

QString readModelTag(const QString &path)
{
    if (!QFile::exists(path))
        return QString();
    return IniFile(path).value(kTagKey).toString();
}

bool exportProfile(const QString &name, const QString &path)
{
    const QString source = slotFilePath(name);
    if (source.isEmpty() || !QFile::exists(source))
        return false;
    if (!isRegularFileOrAbsent(path)) {
        qCWarning(lcProfile, "Not exported: %s is not a regular file", qPrintable(path));
        return false;
    }
    const QString model = readCurrentProduct();
    if (readModelTag(source) != model && !writeModelTag(model, source))
        return false;
    if (QFileInfo(source).absoluteFilePath() == QFileInfo(path).absoluteFilePath())
        return true;
    // The old file stays until the new one is whole beside it.
    ensureParentDir(path);
    return copyWholeFile(source, path);
}

ProfileImportResult importProfile(const QString &path, ProfileData &profile, QString *name)
{
    if (!readable(path))
        return ProfileImportResult::Unreadable;
    if (iniFileTooLarge(path))
        return ProfileImportResult::TooLarge;
    if (readModelTag(path) != readCurrentProduct())
        return ProfileImportResult::WrongModel;
    const QString base = QFileInfo(path).completeBaseName();
    if (name)
        *name = base;
    const QString target = slotFilePath(base);
    if (target.isEmpty())
        return ProfileImportResult::BadName;
    if (QFile::exists(target))
        return ProfileImportResult::Exists;
    ensureParentDir(target);
    if (!copyWholeFile(path, target))
        return ProfileImportResult::CopyFailed;
    readProfileFile(profile, target);
    return ProfileImportResult::Ok;
}

#include "slotcache.h"
#include "paths.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include "profilefile.h"

#include <QStringList>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <time.h>

namespace {

const char kMagic[8] = {'M', 'C', 'S', 'L', 'O', 'T', 'C', '1'};
const quint32 kFormat = 2;   // raise whenever ProfileData, the parsing or the entry changes
const int kMaxEntries = 64;
const qint64 kMaxCacheSize = 16 * 1024 * 1024;
// The coarsest timestamps a file system here may keep (FAT's two seconds; one
// second on ext2/ext3 with small inodes, many network file systems).
const qint64 kTimeGranularityNs = 2000000000;

using FileState = SlotFileStamp;

bool stateOf(const QString &path, FileState *state)
{
    *state = stampSlotFile(path);
    return state->valid;
}

struct Entry {
    FileState state;
    ProfileData profile;
};

struct Cache {
    std::mutex mutex;
    QString folder;                 // the Profile folder the entries belong to
    QHash<QString, Entry> entries;  // file name inside the folder -> entry
    bool loaded = false;
    bool dirty = false;
};

Cache &cache()
{
    static Cache c;
    return c;
}

std::atomic<bool> g_enabled{true};
std::atomic<int> g_hits{0};

QString cacheFilePath(const QString &folder)
{
    return folder + QStringLiteral("/.slotcache");
}

// ---- the records as bytes --------------------------------------------------

void put(QDataStream &s, const ProfileData &p)
{
    s << p.pollrate << p.dpi << p.LedMode << p.LedMoveOFF << p.LedSleepTime;
    for (const DpiStage &d : p.stages)
        s << d.used << d.link << d.xy << d.x << d.y;
    s << p.mousespeed << p.dbclickspeed << p.scrollispage << p.scrollspeed << p.accelenable << p.acee;
    for (const ButtonEntry &b : p.buttons) {
        s << b.ID << b.Fun << b.LoopNumber << b.KeyNumber;
        for (const KeyInfo &k : b.KeyInfo)
            s << k.map << k.dataL << k.dataH;
        s << b.Res1 << b.Res2 << b.Res3 << b.Res4 << b.macroname;
    }
    for (const LightEffect &e : p.effects)
        s << e.colour << e.h << e.s << e.v << e.bright << e.breath;
    s << p.ProfileName << p.ProfilePath;
}

void get(QDataStream &s, ProfileData &p)
{
    s >> p.pollrate >> p.dpi >> p.LedMode >> p.LedMoveOFF >> p.LedSleepTime;
    for (DpiStage &d : p.stages)
        s >> d.used >> d.link >> d.xy >> d.x >> d.y;
    s >> p.mousespeed >> p.dbclickspeed >> p.scrollispage >> p.scrollspeed >> p.accelenable >> p.acee;
    for (ButtonEntry &b : p.buttons) {
        s >> b.ID >> b.Fun >> b.LoopNumber >> b.KeyNumber;
        for (KeyInfo &k : b.KeyInfo)
            s >> k.map >> k.dataL >> k.dataH;
        s >> b.Res1 >> b.Res2 >> b.Res3 >> b.Res4 >> b.macroname;
    }
    for (LightEffect &e : p.effects)
        s >> e.colour >> e.h >> e.s >> e.v >> e.bright >> e.breath;
    s >> p.ProfileName >> p.ProfilePath;
}

// Reads the folder's cache file; an unreadable, altered or foreign one reads
// as empty.
void loadLocked(Cache &c, const QString &folder)
{
    c.folder = folder;
    c.entries.clear();
    c.loaded = true;
    c.dirty = false;
    QFile file(cacheFilePath(folder));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxCacheSize || file.size() < 8 + 20)
        return;
    const QByteArray all = file.readAll();
    const QByteArray body = all.left(all.size() - 20);
    if (QCryptographicHash::hash(body, QCryptographicHash::Sha1) != all.right(20)
        || !body.startsWith(QByteArray(kMagic, 8)))
        return;
    QDataStream s(body);
    s.setVersion(QDataStream::Qt_5_15);
    s.skipRawData(8);
    quint32 format = 0;
    quint32 count = 0;
    s >> format >> count;
    if (format != kFormat || count > kMaxEntries)
        return;
    QHash<QString, Entry> entries;
    for (quint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        QString name;
        Entry e;
        s >> name >> e.state.size >> e.state.mtimeNs >> e.state.ctimeNs >> e.state.inode >> e.state.takenNs
            >> e.state.digest;
        e.state.valid = true;   // only files that were there are kept
        get(s, e.profile);
        entries.insert(name, e);
    }
    if (s.status() == QDataStream::Ok && s.atEnd())
        c.entries = entries;
}

// The folder and the file name of a slot file, or false when it is not
// directly inside the Profile folder.
bool split(const QString &path, QString *folder, QString *name)
{
    const QFileInfo info(path);
    *folder = info.absolutePath();
    *name = info.fileName();
    return *folder == QFileInfo(profileDir()).absoluteFilePath() && !name->isEmpty();
}

} // namespace

bool operator==(const SlotFileStamp &a, const SlotFileStamp &o)
{
    return a.valid == o.valid && a.size == o.size && a.mtimeNs == o.mtimeNs && a.ctimeNs == o.ctimeNs
        && a.inode == o.inode;
}

namespace {

qint64 clockNs()
{
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The digest of a file's content; empty when it cannot be read whole.
QByteArray digestOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxCacheSize)
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&file) || file.error() != QFileDevice::NoError)
        return QByteArray();
    return hash.result();
}

} // namespace

bool racilyClean(const SlotFileStamp &stamp)
{
    return stamp.takenNs < std::max(stamp.mtimeNs, stamp.ctimeNs) + kTimeGranularityNs;
}

SlotFileStamp stampSlotFileForParse(const QString &path)
{
    SlotFileStamp stamp = stampSlotFile(path);
    if (stamp.valid)
        stamp.digest = digestOf(path);
    return stamp;
}

SlotFileStamp stampSlotFile(const QString &path)
{
    SlotFileStamp stamp;
    // Taken before the file is looked at: an edit after this moment may be
    // one the times do not show.
    stamp.takenNs = clockNs();
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return stamp;
    stamp.size = qint64(st.st_size);
    stamp.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.ctimeNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    stamp.inode = quint64(st.st_ino);
    stamp.valid = true;
    return stamp;
}

bool cachedSlotFile(const QString &path, ProfileData &profile)
{
    if (!g_enabled)
        return false;
    QString folder;
    QString name;
    FileState now;
    if (!split(path, &folder, &name) || !stateOf(path, &now))
        return false;
    Cache &c = cache();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (!c.loaded || c.folder != folder)
        loadLocked(c, folder);
    const auto it = c.entries.find(name);
    if (it == c.entries.end() || !(it->state == now))
        return false;
    if (racilyClean(it->state)) {
        // The times cannot vouch for the entry: the content must.
        const SlotFileStamp checked = stampSlotFileForParse(path);
        if (checked != now || checked.digest.isEmpty() || checked.digest != it->state.digest)
            return false;
        if (!racilyClean(checked)) {
            // Well after the file's last change: from now on its times are enough.
            it->state.takenNs = checked.takenNs;
            c.dirty = true;
        }
    }
    profile = it->profile;
    ++g_hits;
    return true;
}

void rememberSlotFile(const QString &path, const SlotFileStamp &before, const ProfileData &profile)
{
    if (!g_enabled || !before.valid)
        return;
    QString folder;
    QString name;
    FileState now;
    if (!split(path, &folder, &name) || !stateOf(path, &now) || !(now == before))
        return;
    // An entry the times cannot vouch for is kept only with its content's digest.
    if (racilyClean(before) && before.digest.isEmpty())
        return;
    now.takenNs = before.takenNs;
    now.digest = before.digest;
    Cache &c = cache();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (!c.loaded || c.folder != folder)
        loadLocked(c, folder);
    if (c.entries.size() >= kMaxEntries && !c.entries.contains(name))
        c.entries.clear();
    c.entries.insert(name, {now, profile});
    c.dirty = true;
}

void saveSlotCache()
{
    if (!g_enabled)
        return;
    Cache &c = cache();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (!c.loaded || !c.dirty)
        return;
    // Entries whose file changed or went are dropped on the way out.
    QByteArray body;
    {
        QDataStream s(&body, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_5_15);
        s.writeRawData(kMagic, 8);
        QVector<QString> names;
        for (auto it = c.entries.cbegin(); it != c.entries.cend(); ++it) {
            FileState now;
            if (stateOf(c.folder + QLatin1Char('/') + it.key(), &now) && now == it->state)
                names.append(it.key());
        }
        s << kFormat << quint32(names.size());
        for (const QString &name : names) {
            const Entry &e = c.entries[name];
            s << name << e.state.size << e.state.mtimeNs << e.state.ctimeNs << e.state.inode << e.state.takenNs
              << e.state.digest;
            put(s, e.profile);
        }
    }
    QSaveFile file(cacheFilePath(c.folder));
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(body);
    file.write(QCryptographicHash::hash(body, QCryptographicHash::Sha1));
    if (file.commit())
        c.dirty = false;
}

namespace {

struct Refresher {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    QStringList queue;
    bool busy = false;
    bool running = false;
    std::thread worker;

    void run()
    {
        pthread_setname_np(pthread_self(), "SlotCache");   // at most 15 characters
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return !queue.isEmpty() || !running; });
            if (queue.isEmpty())
                return;
            const QString path = queue.takeFirst();
            busy = true;
            lock.unlock();
            const SlotFileStamp before = stampSlotFileForParse(path);
            ProfileData profile;
            readProfileFile(profile, path);
            rememberSlotFile(path, before, profile);
            saveSlotCache();
            lock.lock();
            busy = false;
            if (queue.isEmpty())
                idle.notify_all();
        }
    }
};

Refresher &refresher()
{
    static Refresher r;
    return r;
}

} // namespace

void setSlotCacheRefresh(bool on)
{
    Refresher &r = refresher();
    std::unique_lock<std::mutex> lock(r.mutex);
    if (on == r.running)
        return;
    r.running = on;
    if (on) {
        r.worker = std::thread([&r] { r.run(); });
        return;
    }
    // What was handed over is still done, then the worker ends.
    lock.unlock();
    r.wake.notify_all();
    r.worker.join();
}

void refreshSlotFileLater(const QString &path)
{
    if (!g_enabled)
        return;
    Refresher &r = refresher();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (!r.running)
            return;
        if (!r.queue.contains(path))
            r.queue.append(path);
    }
    r.wake.notify_all();
}

void waitForSlotCacheRefresh()
{
    Refresher &r = refresher();
    std::unique_lock<std::mutex> lock(r.mutex);
    r.idle.wait(lock, [&r] { return r.queue.isEmpty() && !r.busy; });
}

void setSlotCacheEnabled(bool enabled)
{
    g_enabled = enabled;
    forgetSlotCache();
}

void forgetSlotCache()
{
    Cache &c = cache();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.entries.clear();
    c.folder.clear();
    c.loaded = false;
    c.dirty = false;
}

int slotCacheHits()
{
    return g_hits;
}

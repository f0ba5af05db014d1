#include "app/profilelibrary.h"

#include "device/sensors.h"
#include "profile/configstore.h"
#include "profile/modellimits.h"
#include "profile/logging.h"
#include "profile/paths.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"
#include "profile/slotcache.h"
#include "profile/wholefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtDebug>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace {

bool fileExists(const QString &name)
{
    const QString path = slotFilePath(name);
    return !path.isEmpty() && QFileInfo::exists(path);
}

const QString kProfileSuffix = QStringLiteral(".prof");

// The profile files of a folder by name, without ".prof": one pass over the
// folder's entries as the system lists them (no sort, no file information
// made per entry), no file opened or asked for its times. Links count when
// they lead to a file, as in a listing of files.
QSet<QString> profileFilesIn(const QString &dir)
{
    QSet<QString> names;
    const QByteArray path = QFile::encodeName(dir);
    DIR *folder = ::opendir(path.constData());
    if (!folder)
        return names;
    while (const dirent *entry = ::readdir(folder)) {
        const char *name = entry->d_name;
        const size_t length = std::strlen(name);
        // The suffix in any case, as a name filter would take it.
        if (length <= 5 || ::strcasecmp(name + length - 5, ".prof") != 0)
            continue;
        if (entry->d_type != DT_REG) {
            struct stat st;
            if ((entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
                || ::stat((path + '/' + name).constData(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
        }
        names.insert(QFile::decodeName(QByteArray(name, int(length) - 5)));
    }
    ::closedir(folder);
    return names;
}

// The file's modification time as the file system keeps it (no conversion
// to local time), or 0 when it cannot be read.
qint64 modifiedNs(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

} // namespace

ProfileLibrary::ProfileLibrary(ProfileSet &working)
    : m_set(working)
{
}

bool ProfileLibrary::isDefaultName(const QString &name)
{
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (name == defaultName(i))
            return true;
    }
    return false;
}

QString ProfileLibrary::defaultName(int slot)
{
    return QStringLiteral("Profile %1").arg(slot + 1);
}

int ProfileLibrary::currentSlot() const
{
    return m_set.ProfileID < SLOT_COUNT ? m_set.ProfileID : 0;
}

QString ProfileLibrary::currentName() const
{
    return m_set.names[currentSlot()];
}

void ProfileLibrary::load(Files files)
{
    // Profile files left by a load() of another product (or being written
    // for it) go where they were meant to; its list is not written over this
    // product's (its next load finds the files under the slots' default names).
    writePendingProfileFiles();
    // Every operation below writes the new profile file first, then the list
    // and the slot names in one write, and removes an old file last. A kill
    // in between leaves at most a profile file that is not listed yet (or no
    // longer): it is adopted here, never lost, and a slot whose file is
    // missing takes such a file rather than factory defaults.
    const QStringList listed = readLibraryList();
    // The folder is listed once; whether a profile's file is there is looked
    // up in that listing, not asked of the file system name by name.
    const QString folder = profileDir();
    QSet<QString> onDisk = profileFilesIn(folder);
    const auto present = [&onDisk](const QString &name) {
        return isSafeFileName(name) && !isReservedProfileName(name) && onDisk.contains(name);
    };
    bool changed = false;
    m_names.clear();
    QSet<QString> taken;
    for (const QString &name : listed) {
        if (present(name) && !taken.contains(name)) {
            m_names.append(name);
            taken.insert(name);
        } else {
            changed = true;
        }
    }
    QStringList orphans = unlistedProfileFiles(folder, onDisk);
    for (const QString &name : orphans) {
        qCDebug(lcProfile, "Adopting the unlisted profile file %s", qPrintable(slotFilePath(name)));
        m_names.append(name);
        changed = true;
    }

    // Every slot names a safe file that exists and is listed; a product seen
    // for the first time gets "Profile 1" to "Profile 5" with factory content.
    bool created = false;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        QString name = usableSlotName(i);
        if (!present(name)) {
            QString adopted;
            for (const QString &orphan : orphans) {
                bool used = false;
                for (int j = 0; j < SLOT_COUNT; ++j)
                    used = used || (j != i && m_set.names[j] == orphan);
                if (!used) {
                    adopted = orphan;
                    break;
                }
            }
            if (!adopted.isEmpty()) {
                qCDebug(lcProfile, "Slot %d names the missing file of \"%s\": it takes \"%s\"", i + 1, qPrintable(name),
                       qPrintable(adopted));
                orphans.removeAll(adopted);
                name = adopted;
                readSlotFile(m_set.profiles[i], name);
            } else {
                buildDefaultProfile(m_set.profiles[i]);
                if (files == Files::Later && !slotFilePath(name).isEmpty()) {
                    m_pending.append({slotFilePath(name), m_set.profiles[i]});
                    onDisk.insert(name);
                } else if (writeSlotFile(m_set.profiles[i], name)) {
                    onDisk.insert(name);
                }
                created = true;
            }
        }
        if (name != m_set.names[i]) {
            m_set.names[i] = name;
            changed = true;
        }
        m_set.profiles[i].ProfileName = name;
        if (!m_names.contains(name)) {
            m_names.append(name);
            changed = true;
        }
    }
    // Whatever the files hold, the working set holds what the model takes.
    clampProfileSetToModel(m_set, currentModelLimits());
    if (!m_pending.isEmpty()) {
        // What the mouse holds is not known for the profiles made now: the
        // next write sends everything, whenever the files come.
        writeDiff(1);
        m_pendingList = changed;
        return;
    }
    if (changed)
        persist();
    // What the mouse holds is not known for profiles made just now: the next
    // write sends everything.
    if (created)
        writeDiff(1);
}

bool ProfileLibrary::writePendingFiles(Writer writer)
{
    if (!hasPendingFiles())
        return false;
    if (writer == Writer::Here || m_pending.isEmpty()) {
        settleFiles();
        return true;
    }
    QVector<QPair<QString, ProfileData>> files;
    for (const PendingFile &f : qAsConst(m_pending))
        files.append({f.path, f.profile});
    m_pending.clear();
    m_writing = true;
    // The list once the files are there, on this thread. The library waits
    // for the writer before it goes, so the context outlives the call.
    QObject *context = &m_context;
    writeProfileFilesInBackground(files, [context, this] {
        QMetaObject::invokeMethod(context, [this] { settleFiles(); }, Qt::QueuedConnection);
    });
    return true;
}

ProfileLibrary::~ProfileLibrary()
{
    settleFiles();
}

void ProfileLibrary::writePendingProfileFiles() const
{
    if (m_writing) {
        waitForBackgroundProfileFiles();
        m_writing = false;
    }
    for (const PendingFile &f : qAsConst(m_pending))
        writeProfileFileIfMissing(f.profile, f.path);
    m_pending.clear();
}

void ProfileLibrary::settleFiles() const
{
    writePendingProfileFiles();
    if (m_pendingList)
        persist();
    m_pendingList = false;
}

QStringList ProfileLibrary::unlistedProfileFiles(const QString &folder, const QSet<QString> &onDisk) const
{
    // Profile files the list does not name (a kill between writing a file and
    // the list, or files copied in by hand).
    struct Orphan {
        QString name;
        qint64 modified;
    };
    QVector<Orphan> orphans;
    const QSet<QString> listed(m_names.cbegin(), m_names.cend());
    for (const QString &name : onDisk) {
        if (!name.startsWith(QLatin1Char('.')) && isSafeFileName(name) && !isReservedProfileName(name)
            && !listed.contains(name))
            orphans.append({name, modifiedNs(folder + QLatin1Char('/') + name + kProfileSuffix)});
    }
    // Newest first: the file a slot most likely meant; files of the same time
    // by name.
    std::sort(orphans.begin(), orphans.end(), [](const Orphan &a, const Orphan &b) {
        return a.modified != b.modified ? a.modified > b.modified : a.name < b.name;
    });
    QStringList names;
    for (const Orphan &orphan : orphans)
        names.append(orphan.name);
    return names;
}

QString ProfileLibrary::importedSlotName(int slot, const ProfileSet &before) const
{
    // Free for the import: no file yet, or a profile a slot held (the
    // import replaces those).
    const auto replaceable = [&](const QString &name) {
        for (const QString &held : before.names) {
            if (held == name)
                return true;
        }
        return !fileExists(name);
    };
    const QString name = usableSlotName(slot);
    if (replaceable(name))
        return name;
    // A profile of the library that no slot holds keeps its file; the slot
    // takes the name with the first free number after it.
    for (int k = 2;; ++k) {
        QString candidate = QStringLiteral("%1 (%2)").arg(name).arg(k);
        if (!isSafeFileName(candidate))
            candidate = QStringLiteral("%1 (%2)").arg(defaultName(slot)).arg(k);
        if (replaceable(candidate) && !usedByOtherSlotThan(slot, candidate)) {
            qCDebug(lcProfile, "The configuration's profile \"%s\" takes the name \"%s\": the library has one of "
                               "that name", qPrintable(name), qPrintable(candidate));
            return candidate;
        }
    }
}

QString ProfileLibrary::usableSlotName(int slot) const
{
    // A slot's name must be a safe file name that no other slot uses; where
    // it is not, the slot takes its default name, or the first free one.
    const QString &name = m_set.names[slot];
    if (isSafeFileName(name) && !isReservedProfileName(name) && !usedByOtherSlotThan(slot, name))
        return name;
    QString fallback = defaultName(slot);
    for (int k = 1; usedByOtherSlotThan(slot, fallback); ++k)
        fallback = QStringLiteral("Profile %1").arg(k);
    return fallback;
}

bool ProfileLibrary::usedByOtherSlotThan(int slot, const QString &name) const
{
    for (int j = 0; j < SLOT_COUNT; ++j) {
        if (j != slot && m_set.names[j] == name)
            return true;
    }
    return false;
}

bool ProfileLibrary::usedByOtherSlot(const QString &name) const
{
    return usedByOtherSlotThan(currentSlot(), name);
}

void ProfileLibrary::setCurrentName(const QString &name)
{
    setSlotName(currentSlot(), name);
}

void ProfileLibrary::setSlotName(int slot, const QString &name)
{
    m_set.names[slot] = name;
    m_set.profiles[slot].ProfileName = name;
}

int ProfileLibrary::slotOrCurrent(int slot) const
{
    return slot >= 0 && slot < SLOT_COUNT ? slot : currentSlot();
}

void ProfileLibrary::persist() const
{
    saveLibraryState(m_names, m_set);
}

void ProfileLibrary::selectSlot(int slot)
{
    settleFiles();
    if (slot < 0 || slot >= SLOT_COUNT)
        return;
    m_set.ProfileID = quint8(slot);
    setActiveSlot(slot);
}

ProfileLibrary::Result ProfileLibrary::assign(const QString &name)
{
    settleFiles();
    if (usedByOtherSlot(name))
        return Result::AlreadyUsed;
    if (!isSafeFileName(name) || isReservedProfileName(name))
        return Result::BadName;
    setCurrentName(name);
    readCurrent(name);
    saveSlotNames(m_set);
    return Result::Ok;
}

ProfileLibrary::Result ProfileLibrary::rename(const QString &typed)
{
    settleFiles();
    const QString oldName = currentName();
    const QString newName = typed.trimmed();
    if (isDefaultName(oldName))
        return Result::DefaultName;
    if (!isSafeFileName(newName) || isReservedProfileName(newName))
        return Result::BadName;
    if (fileExists(newName))
        return Result::Exists;

    // New file, then list and slot names, then the old file goes.
    const QString oldPath = slotFilePath(oldName);
    const QString newPath = slotFilePath(newName);
    const bool hadFile = !oldPath.isEmpty() && QFileInfo::exists(oldPath);
    if (!hadFile) {
        // Never saved under its old name: the record itself becomes the file.
        if (!writeSlotFile(m_set.profiles[currentSlot()], newName))
            return Result::Failed;
    } else if (!copyWholeFile(oldPath, newPath)) {
        qCDebug(lcProfile, "Copying %s to %s failed", qPrintable(oldPath), qPrintable(newPath));
        return Result::Failed;
    }

    const int index = m_names.indexOf(oldName);
    if (index >= 0)
        m_names[index] = newName;
    else
        m_names.append(newName);
    setCurrentName(newName);
    persist();
    if (hadFile && !QFile::remove(oldPath))
        qCDebug(lcProfile, "Removing %s failed", qPrintable(oldPath));
    return Result::Ok;
}

ProfileLibrary::Result ProfileLibrary::add(QString *created)
{
    settleFiles();
    QString name;
    for (int k = 1;; ++k) {
        name = QStringLiteral("Profile %1").arg(k);
        if (!fileExists(name))
            break;
    }
    if (!QFileInfo::exists(defaultProfileFilePath()))
        writeDefaultProfileFile();
    if (!copyWholeFile(defaultProfileFilePath(), slotFilePath(name))) {
        qCDebug(lcProfile, "Creating %s failed", qPrintable(slotFilePath(name)));
        return Result::Failed;
    }
    m_names.append(name);
    setCurrentName(name);
    readCurrent(name);
    persist();
    if (created)
        *created = name;
    return Result::Ok;
}

ProfileLibrary::Result ProfileLibrary::canRemove() const
{
    if (m_names.size() <= 1)
        return Result::AtLeastOne;
    if (isDefaultName(currentName()))
        return Result::DefaultName;
    return Result::Ok;
}

ProfileLibrary::Result ProfileLibrary::remove(QString *replacement)
{
    settleFiles();
    const Result check = canRemove();
    if (check != Result::Ok)
        return check;

    const QString name = currentName();
    const int count = m_names.size();
    const int position = m_names.indexOf(name);
    auto usable = [&](int i) {
        return i >= 0 && i < count && m_names.at(i) != name && !usedByOtherSlot(m_names.at(i));
    };
    // The profile after the deleted one (the one before when it is the last),
    // stepping back past profiles that other slots use. Where that walk runs
    // out, the profiles further on are tried, so the replacement is never the
    // deleted profile itself nor outside the list.
    const int start = (position < 0 || position == count - 1) ? count - 2 : position + 1;
    int chosen = -1;
    for (int i = start; i >= 0 && chosen < 0; --i) {
        if (usable(i))
            chosen = i;
    }
    for (int i = start + 1; i < count && chosen < 0; ++i) {
        if (usable(i))
            chosen = i;
    }
    if (chosen < 0)
        return Result::AtLeastOne;

    // List and slot names first; the file goes once nothing names it.
    const QString next = m_names.at(chosen);
    m_names.removeAll(name);
    setCurrentName(next);
    persist();
    const QString path = slotFilePath(name);
    if (!path.isEmpty() && QFileInfo::exists(path) && !QFile::remove(path))
        qCDebug(lcProfile, "Deleting %s failed", qPrintable(path));
    readCurrent(next);
    if (replacement)
        *replacement = next;
    return Result::Ok;
}

ProfileLibrary::Result ProfileLibrary::copy(QString *created)
{
    settleFiles();
    const QString name = currentName();
    QString candidate = name + QStringLiteral(" copy");
    for (int k = 2; fileExists(candidate); ++k)
        candidate = name + QStringLiteral(" copy ") + QString::number(k);
    if (!isSafeFileName(candidate))
        return Result::BadName;

    const QString source = slotFilePath(name);
    if (!source.isEmpty() && QFileInfo::exists(source)) {
        if (!copyWholeFile(source, slotFilePath(candidate))) {
            qCDebug(lcProfile, "Copying %s failed", qPrintable(source));
            return Result::Failed;
        }
    } else if (!writeSlotFile(m_set.profiles[currentSlot()], candidate)) {
        return Result::Failed;
    }
    m_names.append(candidate);
    setCurrentName(candidate);
    persist();
    if (created)
        *created = candidate;
    return Result::Ok;
}

void ProfileLibrary::readCurrent(const QString &name)
{
    settleFiles();
    ProfileData &profile = m_set.profiles[currentSlot()];
    readSlotFile(profile, name);
    profile.ProfileName = name;
    clampProfileToModel(profile, currentModelLimits());
}

void ProfileLibrary::reloadCurrent()
{
    settleFiles();
    const QString name = currentName();
    readCurrent(name);
}

void ProfileLibrary::resetCurrent()
{
    settleFiles();
    const QString name = currentName();
    buildDefaultProfile(m_set.profiles[currentSlot()]);
    m_set.profiles[currentSlot()].ProfileName = name;
}

void ProfileLibrary::resetAll()
{
    settleFiles();
    // Every slot, not only the first, takes the factory profile, and so does
    // its file: a restart finds what the reset made.
    resetProfileSet(m_set);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (i != 0)
            buildDefaultProfile(m_set.profiles[i]);
        const QString &name = m_set.names[i];
        m_set.profiles[i].ProfileName = name;
        if (!m_names.contains(name))
            m_names.append(name);
        writeSlotFile(m_set.profiles[i], name);
    }
    persist();
}

ProfileLibrary::Result ProfileLibrary::exportProfile(const QString &path, int slot) const
{
    settleFiles();
    return ::exportProfile(m_set.names[slotOrCurrent(slot)], path) ? Result::Ok : Result::Failed;
}

ProfileLibrary::Result ProfileLibrary::importProfile(const QString &path, QString *imported, int slot)
{
    settleFiles();
    const int target = slotOrCurrent(slot);
    QString name;
    ProfileData record;
    switch (::importProfile(path, record, &name)) {
    case ProfileImportResult::Ok:
        break;
    case ProfileImportResult::WrongModel:
    case ProfileImportResult::TooLarge:
        return Result::WrongModel;
    case ProfileImportResult::Exists:
        return Result::Exists;
    case ProfileImportResult::BadName:
        return Result::BadName;
    case ProfileImportResult::Unreadable:
    case ProfileImportResult::CopyFailed:
        return Result::Failed;
    }
    m_names.append(name);
    clampProfileToModel(record, currentModelLimits());
    m_set.profiles[target] = record;
    setSlotName(target, name);
    persist();
    if (imported)
        *imported = name;
    return Result::Ok;
}

ProfileLibrary::Result ProfileLibrary::exportConfiguration(const QString &path) const
{
    settleFiles();
    return exportConfig(m_set, path) ? Result::Ok : Result::Failed;
}

ProfileLibrary::Result ProfileLibrary::importConfiguration(const QString &path)
{
    settleFiles();
    ProfileSet imported = m_set;
    const ImportResult read = importConfig(imported, path);
    if (read == ImportResult::Ok)
        clampProfileSetToModel(imported, currentModelLimits());
    switch (read) {
    case ImportResult::Ok:
        break;
    case ImportResult::WrongModel:
    case ImportResult::TooLarge:
        return Result::WrongModel;
    case ImportResult::Unreadable:
        return Result::Failed;
    }
    const ProfileSet before = m_set;
    const QStringList namesBefore = m_names;
    m_set = imported;
    // The five profiles came with the file: they become the slots' library
    // files, so a restart or a Cancel finds what was imported. They replace
    // the slots' profiles, never a library profile that no slot holds.
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const QString name = importedSlotName(i, before);
        m_set.names[i] = name;
        m_set.profiles[i].ProfileName = name;
        if (!writeSlotFile(m_set.profiles[i], name)) {
            // A full disk: the slots and the list stay as they were.
            m_set = before;
            m_names = namesBefore;
            return Result::Failed;
        }
        if (!m_names.contains(name))
            m_names.append(name);
    }
    if (m_set.ProfileID >= SLOT_COUNT)
        m_set.ProfileID = 0;
    persist();
    return Result::Ok;
}

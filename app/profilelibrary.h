#pragma once
// The library of named profile files beside the five onboard slots: which
// library profile each slot uses, and the add, delete, copy, rename, reset,
// import and export operations. It works on the working set and on the files
// of the current product; the main window asks the questions, shows the
// answers and refreshes the pages.

#include "profile/records.h"

#include <QSet>
#include <QString>
#include <QObject>
#include <QStringList>
#include <QVector>

class ProfileLibrary {
public:
    enum class Result {
        Ok,
        AlreadyUsed,   // "Profile is Already Used!"
        DefaultName,   // "The default Profile cannot be deleted or renamed."
        Exists,        // "Profile Exist!"
        AtLeastOne,    // "AT LEAST ONE PROFILE TO BE RETAINED."
        WrongModel,    // "The file is not match current mouse!" (also a file too large to be one)
        BadName,       // the name cannot be a file name, or is "DefaultProfile"
        Failed,        // the file could not be read or written
    };

    explicit ProfileLibrary(ProfileSet &working);
    // A background write of its files is waited for, and the list written.
    ~ProfileLibrary();

    // Reads the library list of the current product. A product seen for the
    // first time gets the five default profiles, so every slot names a file:
    // written at once, or with Files::Later by writePendingFiles() (the
    // window writes them once its first frame is on the screen).
    enum class Files { Now, Later };
    void load(Files files = Files::Now);
    // The files load(Files::Later) left: the profile files first, then the
    // list naming them, so a kill in between leaves complete files that the
    // next load() finds. Here: written before it returns (and a background
    // write started earlier finished). InBackground: the profile files on
    // another thread, the list on this one once they are written (through
    // the event loop, or by the next operation, whichever comes first).
    // False when there was nothing to write.
    enum class Writer { Here, InBackground };
    bool writePendingFiles(Writer writer = Writer::Here);
    bool hasPendingFiles() const { return !m_pending.isEmpty() || m_writing || m_pendingList; }
    const QStringList &names() const { return m_names; }

    static bool isDefaultName(const QString &name);
    static QString defaultName(int slot);   // "Profile %d", untranslated

    int currentSlot() const;
    QString currentName() const;

    // Makes slot i current and stores it; the caller refreshes and switches the mouse.
    void selectSlot(int slot);
    // Gives the current slot library profile n, loaded from its file.
    Result assign(const QString &name);
    Result rename(const QString &newName);
    Result add(QString *created = nullptr);
    // Checks that come before the question "Are you sure you want delete this profile?".
    Result canRemove() const;
    Result remove(QString *replacement = nullptr);
    Result copy(QString *created = nullptr);
    // Reloads the current slot from its file (Cancel).
    void reloadCurrent();
    // Rebuilds the current slot with the factory defaults, keeping its name.
    void resetCurrent();
    // Factory reset of the whole set: the five slots and their files, the
    // device-wide options; the slots take the default names.
    void resetAll();

    // The current slot's profile, or slot `slot` (0..4) when it is given.
    Result exportProfile(const QString &path, int slot = -1) const;
    Result importProfile(const QString &path, QString *imported = nullptr, int slot = -1);
    Result exportConfiguration(const QString &path) const;
    Result importConfiguration(const QString &path);

private:
    bool usedByOtherSlot(const QString &name) const;
    bool usedByOtherSlotThan(int slot, const QString &name) const;
    QString usableSlotName(int slot) const;
    // usableSlotName(), or a new name where that would overwrite a library
    // profile no slot held before an import.
    QString importedSlotName(int slot, const ProfileSet &before) const;
    void setCurrentName(const QString &name);
    // Loads library profile `name` into the current slot, within the model's ranges.
    void readCurrent(const QString &name);
    void setSlotName(int slot, const QString &name);
    int slotOrCurrent(int slot) const;
    void persist() const;   // list and slot names, one write
    // The profile files of `onDisk` (names in `folder`) that the list does not
    // name, newest first.
    QStringList unlistedProfileFiles(const QString &folder, const QSet<QString> &onDisk) const;

    ProfileSet &m_set;
    QStringList m_names;
    struct PendingFile {
        QString path;   // kept from load(): the product may change meanwhile
        ProfileData profile;
    };
    // Every operation on the files writes what a first start left pending
    // first, so none of them finds a slot's file missing.
    mutable QVector<PendingFile> m_pending;
    mutable bool m_pendingList = false;   // the list and slot names to write after them
    mutable bool m_writing = false;       // profile files handed to the background writer
    // Receives the background writer's "done" on this thread; going with the
    // library, it takes a late "done" with it.
    QObject m_context;
    // The profile files of the last load, then (settleFiles) the list.
    void writePendingProfileFiles() const;
    void settleFiles() const;
};

// Profile management against real files in a temporary Configs folder.

#include "app/profilelibrary.h"
#include "app/writestep.h"
#include "device/devicetable.h"
#include "sim/simmouse.h"
#include "tests/common/smalldisk.h"
#include "profile/configstore.h"
#include "profile/paths.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

using R = ProfileLibrary::Result;

class TestProfileLibrary : public QObject {
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    ProfileSet m_set;

    bool exists(const QString &name) const { return QFile::exists(slotFilePath(name)); }

    // A product as a fresh install leaves it: five default profiles.
    void freshProduct(ProfileLibrary &lib)
    {
        loadProfileSet(m_set);
        lib.load();
    }

    void addLibraryFiles(ProfileLibrary &lib, const QStringList &names)
    {
        QStringList list = lib.names();
        for (const QString &n : names) {
            ProfileData p;
            buildDefaultProfile(p);
            p.scrollspeed = 7;
            QVERIFY(writeSlotFile(p, n));
            list << n;
        }
        writeLibraryList(list);
        lib.load();
    }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
        setConfigsBase(m_dir->path());
        writeCurrentProduct(QStringLiteral("VELKOR"));
        m_set = ProfileSet();
    }
    void cleanup()
    {
        setConfigsBase(QString());
        delete m_dir;
        m_dir = nullptr;
    }

    void firstStartCreatesFiveDefaultProfiles()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        QCOMPARE(lib.names(), (QStringList{"Profile 1", "Profile 2", "Profile 3", "Profile 4", "Profile 5"}));
        for (int i = 0; i < SLOT_COUNT; ++i) {
            QCOMPARE(m_set.names[i], QStringLiteral("Profile %1").arg(i + 1));
            QCOMPARE(m_set.profiles[i].ProfileName, m_set.names[i]);
            QVERIFY(exists(m_set.names[i]));
        }
        // Nothing is known of what the mouse holds: the next write sends all.
        QCOMPARE(readDiff(), 1);
        // Persisted: a second start reads the same slots and list.
        ProfileSet again;
        loadProfileSet(again);
        QCOMPARE(again.names[3], QStringLiteral("Profile 4"));
        QCOMPARE(readLibraryList().size(), 5);
        QCOMPARE(again.profiles[2].LedMoveOFF, m_set.profiles[2].LedMoveOFF);
    }

    // A first start writes its files after the window is on the screen; an
    // operation asked for before that finds them written first: an export
    // has a file to copy, a new profile does not take a slot's name.
    void operationsBeforeTheFirstStartFilesAreWrittenFindThem()
    {
        ProfileLibrary lib(m_set);
        loadProfileSet(m_set);
        lib.load(ProfileLibrary::Files::Later);
        QVERIFY(lib.hasPendingFiles());
        QVERIFY(!exists(QStringLiteral("Profile 1")));
        const QString exported = m_dir->path() + QStringLiteral("/out.prof");
        QCOMPARE(lib.exportProfile(exported, 0), R::Ok);
        QVERIFY(QFile::exists(exported));
        QVERIFY(!lib.hasPendingFiles());
        for (int i = 0; i < SLOT_COUNT; ++i)
            QVERIFY(exists(m_set.names[i]));
        QCOMPARE(readLibraryList().size(), 5);

        ProfileLibrary other(m_set);
        QDir(m_dir->path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir->path()));
        writeCurrentProduct(QStringLiteral("VELKOR"));
        m_set = ProfileSet();
        loadProfileSet(m_set);
        other.load(ProfileLibrary::Files::Later);
        QString created;
        QCOMPARE(other.add(&created), R::Ok);
        QCOMPARE(created, QStringLiteral("Profile 6"));
        QCOMPARE(other.names().size(), 6);
    }

    // The window hands a first start's files to another thread: the list
    // follows through the event loop once they are there, and a slot saved
    // meanwhile keeps what was saved, not the factory profile.
    void firstStartFilesWrittenInTheBackground()
    {
        ProfileLibrary lib(m_set);
        loadProfileSet(m_set);
        lib.load(ProfileLibrary::Files::Later);
        QVERIFY(lib.writePendingFiles(ProfileLibrary::Writer::InBackground));
        ProfileData mine = m_set.profiles[1];
        mine.scrollspeed = 9;
        QVERIFY(writeSlotFile(mine, m_set.names[1]));   // waits for the writer, then saves
        QTRY_COMPARE(readLibraryList().size(), 5);
        QVERIFY(!lib.hasPendingFiles());
        for (int i = 0; i < SLOT_COUNT; ++i)
            QVERIFY(exists(m_set.names[i]));
        ProfileData again;
        QVERIFY(readSlotFile(again, m_set.names[1]));
        QCOMPARE(again.scrollspeed, quint8(9));
    }

    void assignRefusesAProfileOfAnotherSlot()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        QCOMPARE(lib.assign(QStringLiteral("Profile 2")), R::AlreadyUsed);
        QCOMPARE(m_set.names[0], QStringLiteral("Profile 1"));
        addLibraryFiles(lib, {"FPS"});
        QCOMPARE(lib.assign(QStringLiteral("FPS")), R::Ok);
        QCOMPARE(m_set.names[0], QStringLiteral("FPS"));
        QCOMPARE(m_set.profiles[0].scrollspeed, quint8(7));   // loaded from its file
        QCOMPARE(m_set.profiles[0].ProfileName, QStringLiteral("FPS"));
    }

    void renameRules()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        // A default profile keeps its name.
        QCOMPARE(lib.rename(QStringLiteral("Mine")), R::DefaultName);
        QVERIFY(!exists("Mine"));

        addLibraryFiles(lib, {"FPS", "MOBA"});
        QCOMPARE(lib.assign(QStringLiteral("FPS")), R::Ok);
        QCOMPARE(lib.rename(QStringLiteral("MOBA")), R::Exists);
        QVERIFY(exists("FPS"));
        QCOMPARE(lib.rename(QStringLiteral("../escape")), R::BadName);
        QCOMPARE(lib.rename(QStringLiteral("a/b")), R::BadName);
        // Half a surrogate pair: the same file as every other half.
        QCOMPARE(lib.rename(QStringLiteral("FPS") + QChar(0xDC00)), R::BadName);
        QVERIFY(!QFile::exists(m_dir->path() + "/VELKOR/escape.prof"));
        QVERIFY(!QFile::exists(m_dir->path() + "/escape.prof"));

        QCOMPARE(lib.rename(QStringLiteral("Sniper")), R::Ok);
        QVERIFY(!exists("FPS"));
        QVERIFY(exists("Sniper"));
        QCOMPARE(lib.names().indexOf("Sniper"), 5);   // same place as FPS had
        QVERIFY(!lib.names().contains("FPS"));
        QCOMPARE(readLibraryList(), lib.names());
        ProfileSet again;
        loadProfileSet(again);
        QCOMPARE(again.names[0], QStringLiteral("Sniper"));
    }

    void addTakesTheFirstFreeNumber()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        addLibraryFiles(lib, {"Profile 6", "Profile 7"});
        QString created;
        QCOMPARE(lib.add(&created), R::Ok);
        QCOMPARE(created, QStringLiteral("Profile 8"));
        QVERIFY(exists(created));
        QCOMPARE(m_set.names[0], created);
        QCOMPARE(lib.names().last(), created);
        QVERIFY(QFile::exists(defaultProfileFilePath()));
    }

    void deleteRefusesDefaultNames()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        QCOMPARE(lib.canRemove(), R::DefaultName);
        QCOMPARE(lib.remove(), R::DefaultName);
        QVERIFY(exists("Profile 1"));
    }

    void deletingTheLastNamePicksTheOneBeforeSkippingUsedOnes()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        addLibraryFiles(lib, {"A", "B", "C"});
        // Slot 1 uses B; slot 0 uses C, the last of the list.
        m_set.ProfileID = 1;
        QCOMPARE(lib.assign(QStringLiteral("B")), R::Ok);
        m_set.ProfileID = 0;
        QCOMPARE(lib.assign(QStringLiteral("C")), R::Ok);
        QString replacement;
        QCOMPARE(lib.remove(&replacement), R::Ok);
        QCOMPARE(replacement, QStringLiteral("A"));   // B is taken by slot 1
        QVERIFY(!exists("C"));
        QVERIFY(!lib.names().contains("C"));
        QCOMPARE(m_set.names[0], QStringLiteral("A"));
        QCOMPARE(readLibraryList(), lib.names());
    }

    void deleteInTheMiddleTakesTheNext()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        addLibraryFiles(lib, {"A", "B", "C"});
        QCOMPARE(lib.assign(QStringLiteral("A")), R::Ok);
        QString replacement;
        QCOMPARE(lib.remove(&replacement), R::Ok);
        QCOMPARE(replacement, QStringLiteral("B"));
    }

    void deleteNeverPicksItselfNorRunsOffTheList()
    {
        // Every other listed profile belongs to another slot: nothing can
        // take the deleted one's place, so nothing is deleted.
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        addLibraryFiles(lib, {"X"});
        QCOMPARE(lib.assign(QStringLiteral("X")), R::Ok);
        writeLibraryList({"Profile 2", "Profile 3", "Profile 4", "Profile 5", "X"});
        // (An unlisted file would be adopted back into the list at load.)
        QVERIFY(QFile::remove(slotFilePath(QStringLiteral("Profile 1"))));
        lib.load();
        QCOMPARE(lib.names().size(), 5);
        QCOMPARE(lib.remove(), R::AtLeastOne);
        QVERIFY(exists("X"));
        QCOMPARE(m_set.names[0], QStringLiteral("X"));
        QCOMPARE(readLibraryList().size(), 5);
    }

    void copyNamesCopyThenCopy2()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        addLibraryFiles(lib, {"FPS"});
        QCOMPARE(lib.assign(QStringLiteral("FPS")), R::Ok);
        QString first, second;
        QCOMPARE(lib.copy(&first), R::Ok);
        QCOMPARE(first, QStringLiteral("FPS copy"));
        QCOMPARE(m_set.names[0], first);
        QCOMPARE(lib.assign(QStringLiteral("FPS")), R::Ok);
        QCOMPARE(lib.copy(&second), R::Ok);
        QCOMPARE(second, QStringLiteral("FPS copy 2"));
        ProfileData copied;
        QVERIFY(readSlotFile(copied, second));
        QCOMPARE(copied.scrollspeed, quint8(7));
    }

    void resetCurrentKeepsTheNameAndOtherSlots()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        m_set.profiles[0].scrollspeed = 9;
        m_set.profiles[2].scrollspeed = 9;
        lib.resetCurrent();
        ProfileData def;
        buildDefaultProfile(def);
        QCOMPARE(m_set.profiles[0].scrollspeed, def.scrollspeed);
        QCOMPARE(m_set.profiles[0].ProfileName, QStringLiteral("Profile 1"));
        QCOMPARE(m_set.profiles[2].scrollspeed, quint8(9));
    }

    void resetAllGivesDefaultNames()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        addLibraryFiles(lib, {"FPS"});
        m_set.ProfileID = 3;
        QCOMPARE(lib.assign(QStringLiteral("FPS")), R::Ok);
        // Slot 2 with stages, a rate and a file of its own.
        m_set.profiles[1].stages[0].x = 99;
        m_set.profiles[1].pollrate = 2;
        QVERIFY(writeSlotFile(m_set.profiles[1], m_set.names[1]));
        lib.resetAll();
        QCOMPARE(m_set.ProfileID, quint8(0));
        ProfileData factory;
        buildDefaultProfile(factory);
        for (int i = 0; i < SLOT_COUNT; ++i) {
            QCOMPARE(m_set.names[i], QStringLiteral("Profile %1").arg(i + 1));
            QCOMPARE(m_set.profiles[i].stages[0].x, factory.stages[0].x);
            QCOMPARE(m_set.profiles[i].pollrate, factory.pollrate);
        }
        QVERIFY(lib.names().contains("FPS"));   // the library keeps its files
        ProfileSet again;
        loadProfileSet(again);
        QCOMPARE(again.names[3], QStringLiteral("Profile 4"));
        ProfileData slot2;
        QVERIFY(readSlotFile(slot2, QStringLiteral("Profile 2")));
        QCOMPARE(slot2.stages[0].x, factory.stages[0].x);
        QCOMPARE(slot2.pollrate, factory.pollrate);
    }

    void importProfileChecksModelAndName()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        const QString other = m_dir->path() + "/Other.prof";
        ProfileData p;
        buildDefaultProfile(p);
        p.scrollspeed = 3;
        writeProfileFile(p, other);
        writeModelTag(QStringLiteral("SOMETHING ELSE"), other);
        QCOMPARE(lib.importProfile(other), R::WrongModel);
        QVERIFY(!exists("Other"));

        writeModelTag(QStringLiteral("VELKOR"), other);
        QString name;
        QCOMPARE(lib.importProfile(other, &name), R::Ok);
        QCOMPARE(name, QStringLiteral("Other"));
        QVERIFY(exists("Other"));
        QCOMPARE(m_set.names[0], QStringLiteral("Other"));
        QCOMPARE(m_set.profiles[0].scrollspeed, quint8(3));
        QVERIFY(lib.names().contains("Other"));
        QCOMPARE(lib.importProfile(other), R::Exists);
    }

    void importAndExportOfAGivenSlotLeaveTheActiveSlotAlone()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        lib.selectSlot(1);
        const QString other = m_dir->path() + "/Sniping.prof";
        ProfileData p;
        buildDefaultProfile(p);
        p.scrollspeed = 9;
        writeProfileFile(p, other);
        writeModelTag(QStringLiteral("VELKOR"), other);

        QString name;
        QCOMPARE(lib.importProfile(other, &name, 3), R::Ok);
        QCOMPARE(m_set.names[3], QStringLiteral("Sniping"));
        QCOMPARE(m_set.profiles[3].scrollspeed, quint8(9));
        QCOMPARE(m_set.names[1], QStringLiteral("Profile 2"));
        QCOMPARE(lib.currentSlot(), 1);
        QCOMPARE(QSettings(productConfigPath(), QSettings::IniFormat).value("Config/Profile4").toString(),
                 QStringLiteral("Sniping"));
        QCOMPARE(QSettings(productConfigPath(), QSettings::IniFormat).value("Config/ProfileID").toInt(), 1);

        const QString out = m_dir->path() + "/out/Slot4.prof";
        QCOMPARE(lib.exportProfile(out, 3), R::Ok);
        ProfileData back;
        readProfileFile(back, out);
        QCOMPARE(back.scrollspeed, quint8(9));
        QCOMPARE(readModelTag(out), QStringLiteral("VELKOR"));
    }

    void exportThenImportConfigurationRestoresAllSlots()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        for (int i = 0; i < SLOT_COUNT; ++i)
            m_set.profiles[i].pollrate = quint8(1 << (i % 4));
        m_set.Debounce = 12;
        const QString conf = m_dir->path() + "/all.conf";
        QCOMPARE(lib.exportConfiguration(conf), R::Ok);

        ProfileSet other;
        ProfileLibrary lib2(other);
        loadProfileSet(other);
        lib2.load();
        QCOMPARE(lib2.importConfiguration(conf), R::Ok);
        QCOMPARE(other.Debounce, quint8(12));
        QCOMPARE(other.profiles[3].pollrate, quint8(8));
        // The imported profiles are the slots' files now.
        ProfileData fromFile;
        QVERIFY(readSlotFile(fromFile, other.names[3]));
        QCOMPARE(fromFile.pollrate, quint8(8));

        writeCurrentProduct(QStringLiteral("ANOTHER"));
        QCOMPARE(lib2.importConfiguration(conf), R::WrongModel);
    }

    // A configuration's profile named like a library profile that no slot
    // holds does not overwrite it (a profile import refuses that case with
    // "Profile Exist!"): the slot takes the name with a number after it. A
    // name a slot held is the slot's own profile, which the import replaces.
    void configurationImportKeepsUnassignedLibraryProfiles()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        addLibraryFiles(lib, {"FPS"});
        ProfileSet other = m_set;
        other.names[2] = QStringLiteral("FPS");
        other.profiles[2].scrollspeed = 3;
        other.profiles[0].scrollspeed = 4;
        const QString conf = m_dir->path() + "/other.conf";
        QVERIFY(exportConfig(other, conf));

        QCOMPARE(lib.importConfiguration(conf), R::Ok);
        ProfileData fps;
        QVERIFY(readSlotFile(fps, QStringLiteral("FPS")));
        QCOMPARE(fps.scrollspeed, quint8(7));
        QCOMPARE(m_set.names[2], QStringLiteral("FPS (2)"));
        QCOMPARE(m_set.profiles[2].scrollspeed, quint8(3));
        ProfileData imported;
        QVERIFY(readSlotFile(imported, QStringLiteral("FPS (2)")));
        QCOMPARE(imported.scrollspeed, quint8(3));
        QVERIFY(lib.names().contains(QStringLiteral("FPS")));
        QVERIFY(lib.names().contains(QStringLiteral("FPS (2)")));
        // Slot 1's own profile is replaced.
        QCOMPARE(m_set.names[0], QStringLiteral("Profile 1"));
        ProfileData first;
        QVERIFY(readSlotFile(first, QStringLiteral("Profile 1")));
        QCOMPARE(first.scrollspeed, quint8(4));
        // Again: "FPS (2)" is a slot's now, "FPS" still nobody's.
        QCOMPARE(lib.importConfiguration(conf), R::Ok);
        QCOMPARE(m_set.names[2], QStringLiteral("FPS (2)"));
        QVERIFY(readSlotFile(fps, QStringLiteral("FPS")));
        QCOMPARE(fps.scrollspeed, quint8(7));
    }

    // A kill between the steps of the former rename (file renamed, list and
    // slot names not yet written) left a slot naming a missing file: the next
    // start finds the renamed file and gives it to the slot, never defaults.
    void missingSlotFileTakesTheUnlistedProfile()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        addLibraryFiles(lib, {"Aim"});
        QCOMPARE(lib.assign(QStringLiteral("Aim")), R::Ok);
        QVERIFY(QFile::rename(slotFilePath(QStringLiteral("Aim")), slotFilePath(QStringLiteral("Sniper"))));

        ProfileSet next;
        loadProfileSet(next);
        ProfileLibrary again(next);
        again.load();
        QCOMPARE(next.names[0], QStringLiteral("Sniper"));
        QCOMPARE(next.profiles[0].scrollspeed, quint8(7));
        QVERIFY(again.names().contains(QStringLiteral("Sniper")));
        QVERIFY(!again.names().contains(QStringLiteral("Aim")));
        QCOMPARE(readLibraryList(), again.names());
        ProfileSet stored;
        loadProfileSet(stored);
        QCOMPARE(stored.names[0], QStringLiteral("Sniper"));
    }

    // A profile file nobody lists (a kill after its file was written and
    // before the list was) joins the library; listed names without a file
    // leave it.
    void unlistedFilesJoinAndMissingFilesLeaveTheList()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        ProfileData p;
        buildDefaultProfile(p);
        QVERIFY(writeSlotFile(p, QStringLiteral("Orphan \U0001F47B")));
        // Put there by hand: a link to a profile file is one; a folder and a
        // link that leads nowhere are not.
        const QString dir = profileDir() + QLatin1Char('/');
        QVERIFY(QFile::link(slotFilePath(m_set.names[0]), dir + QStringLiteral("Linked.prof")));
        QVERIFY(QDir(dir).mkdir(QStringLiteral("Folder.prof")));
        QVERIFY(QFile::link(dir + QStringLiteral("nowhere"), dir + QStringLiteral("Dangling.prof")));
        writeLibraryList(lib.names() + QStringList{QStringLiteral("Gone")});
        lib.load();
        QVERIFY(lib.names().contains(QStringLiteral("Orphan \U0001F47B")));
        QVERIFY(lib.names().contains(QStringLiteral("Linked")));
        QVERIFY(!lib.names().contains(QStringLiteral("Folder")));
        QVERIFY(!lib.names().contains(QStringLiteral("Dangling")));
        QVERIFY(!lib.names().contains(QStringLiteral("Gone")));
        QVERIFY(!lib.names().contains(QStringLiteral("DefaultProfile")));
        QCOMPARE(readLibraryList(), lib.names());
    }

    // Unlisted files join in the order of their modification times, newest
    // first, files of the same time by name; a slot whose file is missing
    // takes the newest. Times a second apart and a nanosecond apart alike.
    void unlistedFilesJoinNewestFirst()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        struct File { const char *name; qint64 sec; long nsec; };
        const File files[] = {{"Middle", 1700000100, 0}, {"Oldest", 1600000000, 0}, {"Newest", 1800000000, 5},
                              {"Newest but one", 1800000000, 4}, {"Same b", 1700000000, 0},
                              {"Same a", 1700000000, 0}};
        for (const File &f : files) {
            ProfileData p;
            buildDefaultProfile(p);
            QVERIFY(writeSlotFile(p, QString::fromUtf8(f.name)));
            const timespec times[2] = {{f.sec, f.nsec}, {f.sec, f.nsec}};
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(slotFilePath(QString::fromUtf8(f.name))).constData(),
                                 times, 0), 0);
        }
        // Slot 3's file is gone: it takes the newest unlisted file.
        QVERIFY(QFile::remove(slotFilePath(m_set.names[2])));
        writeLibraryList({m_set.names[0], m_set.names[1], m_set.names[3], m_set.names[4]});
        lib.load();
        const QStringList expected{m_set.names[0], m_set.names[1], m_set.names[3], m_set.names[4],
                                   QStringLiteral("Newest"), QStringLiteral("Newest but one"),
                                   QStringLiteral("Middle"), QStringLiteral("Same a"), QStringLiteral("Same b"),
                                   QStringLiteral("Oldest")};
        QCOMPARE(lib.names(), expected);
        QCOMPARE(m_set.names[2], QStringLiteral("Newest"));
        QCOMPARE(readLibraryList(), expected);
    }

    // Apply on a full disk: the files keep the last save, nothing reaches
    // the mouse, and the write says it failed (the window then shows "Send
    // data failed, please try again."). With room again the same write goes
    // through.
    void aSaveThatFailsSendsNothing()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        SmallDisk disk(profileDir(), 2048);
        SMALL_DISK_OR_SKIP(disk);
        lib.load();   // the five slot files again, on the small disk
        const ProfileSet saved = m_set;
        QVERIFY(saveProfileSet(saved));
        const QString file = slotFilePath(m_set.names[0]);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();

        sim::reset();
        sim::plug(sim::Side::Receiver);
        loadDeviceTable();
        enumerateDevices();
        openDevice("VELKOR");
        sim::resetCounters();
        writeDiff(0);

        ProfileSet other = m_set;
        other.names[2] = QStringLiteral("Imported");
        other.profiles[2].pollrate = 4;
        const QString conf = m_dir->path() + "/other.conf";
        QVERIFY(exportConfig(other, conf));

        QVERIFY(disk.fill());
        // An import that cannot store its profiles changes nothing.
        QCOMPARE(lib.importConfiguration(conf), R::Failed);
        QCOMPARE(m_set.names[2], saved.names[2]);
        QVERIFY(!lib.names().contains(QStringLiteral("Imported")));
        QVERIFY(!exists("Imported"));

        m_set.profiles[0].pollrate = 2;
        const WriteOutcome failed = writeProfileSet(m_set, saved, false);
        QCOMPARE(failed.result, quint8(WRITE_NOT_SAVED));
        QVERIFY(!failed.downloaded);
        QCOMPARE(sim::writeCount(), 0);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        f.close();

        disk.release();
        const WriteOutcome written = writeProfileSet(m_set, saved, false);
        QCOMPARE(written.result, quint8(WRITE_OK));
        QCOMPARE(written.sentMask, quint8(CHANGE_GENERAL));
        QVERIFY(sim::writeCount() > 0);
        ProfileData back;
        readProfileFile(back, file);
        QCOMPARE(back.pollrate, quint8(2));
        closeDevice();
        sim::reset();
    }

    // A configuration export that cannot be written is a failure the window
    // reports, not "Exported"; the file that was there stays.
    void aConfigurationExportThatFailsSaysSo()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        const QString out = m_dir->path() + "/out";
        QVERIFY(QDir().mkpath(out + "/folder.conf"));
        QCOMPARE(lib.exportConfiguration(out + "/folder.conf"), R::Failed);
        QVERIFY(QFileInfo(out + "/folder.conf").isDir());

        SmallDisk disk(out, 2048);
        SMALL_DISK_OR_SKIP(disk);
        QFile old(out + "/all.conf");
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("[MouseName]\nName=VELKOR\n");
        old.close();
        QVERIFY(disk.fill());
        QCOMPARE(lib.exportConfiguration(out + "/all.conf"), R::Failed);
        QCOMPARE(readModelTag(out + "/all.conf"), QStringLiteral("VELKOR"));
        QCOMPARE(QFileInfo(out + "/all.conf").size(), qint64(24));
        disk.release();
        QCOMPARE(lib.exportConfiguration(out + "/all.conf"), R::Ok);
        ProfileSet back;
        QCOMPARE(importConfig(back, out + "/all.conf"), ImportResult::Ok);
        QCOMPARE(back.names[4], m_set.names[4]);
    }

    void defaultProfileIsNoProfileName()
    {
        ProfileLibrary lib(m_set);
        freshProduct(lib);
        writeDefaultProfileFile();
        addLibraryFiles(lib, {"Mine"});
        QCOMPARE(lib.assign(QStringLiteral("Mine")), R::Ok);
        QCOMPARE(lib.rename(QStringLiteral("DefaultProfile")), R::BadName);
        QCOMPARE(lib.rename(QStringLiteral(" defaultprofile ")), R::BadName);
        QCOMPARE(lib.assign(QStringLiteral("DefaultProfile")), R::BadName);
        QCOMPARE(m_set.names[0], QStringLiteral("Mine"));
        // A Config.ini naming it for a slot: the slot gets its own name back.
        ProfileSet stored = m_set;
        stored.names[1] = QStringLiteral("DefaultProfile");
        saveSlotNames(stored);
        ProfileSet next;
        loadProfileSet(next);
        ProfileLibrary again(next);
        again.load();
        QCOMPARE(next.names[1], QStringLiteral("Profile 2"));
        QVERIFY(!again.names().contains(QStringLiteral("DefaultProfile")));
    }
};

QTEST_GUILESS_MAIN(TestProfileLibrary)
#include "tst_profilelibrary.moc"

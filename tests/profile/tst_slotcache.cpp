// The parsed slot files kept beside them: a start that finds them unchanged
// gets exactly what parsing gives; a file written since, or a damaged cache,
// is parsed again.

#include "profile/configstore.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"
#include "profile/slotcache.h"
#include "tests/common/smalldisk.h"
#include "tests/common/threadtest.h"
#include "tests/profile/profiletest.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <QtTest>

#include <time.h>

class SlotCacheTest : public QObject {
    Q_OBJECT

    TempBase *m_base = nullptr;
    ProfileSet m_written;

    QString cacheFile() const { return profileDir() + QStringLiteral("/.slotcache"); }

    ProfileSet load()
    {
        ProfileSet set;
        loadProfileSet(set);
        return set;
    }

private slots:
    void init()
    {
        m_base = new TempBase;
        setSlotCacheEnabled(true);
        m_written = ProfileSet();
        for (int s = 0; s < SLOT_COUNT; ++s) {
            fillProfile(m_written.profiles[s], 10 * s + 3);
            m_written.profiles[s].buttons[4].macroname = QStringLiteral("连发 %1 🎯").arg(s);
            m_written.names[s] = QStringLiteral("Slot %1 é").arg(s + 1);
        }
        m_written.ProfileID = 2;
        saveSlotNames(m_written);
        for (int s = 0; s < SLOT_COUNT; ++s)
            QVERIFY(writeSlotFile(m_written.profiles[s], m_written.names[s]));
    }
    void cleanup()
    {
        delete m_base;
        m_base = nullptr;
        setSlotCacheEnabled(true);
    }

    void cachedLoadIsWhatParsingGives()
    {
        setSlotCacheEnabled(false);
        const ProfileSet parsed = load();
        QVERIFY(!QFile::exists(cacheFile()));

        setSlotCacheEnabled(true);
        const int hits = slotCacheHits();
        const ProfileSet first = load();   // parses every file, keeps them
        QCOMPARE(slotCacheHits(), hits);
        QVERIFY(QFile::exists(cacheFile()));

        forgetSlotCache();                 // as a new process: only the file is left
        const ProfileSet second = load();
        QCOMPARE(slotCacheHits(), hits + SLOT_COUNT);
        QCOMPARE(setDifference(parsed, first), QString());
        QCOMPARE(setDifference(parsed, second), QString());
        for (int s = 0; s < SLOT_COUNT; ++s)
            QCOMPARE(second.profiles[s].buttons[4].macroname, m_written.profiles[s].buttons[4].macroname);
    }

    void aFileWrittenSinceIsParsedAgain()
    {
        load();
        ProfileData changed = m_written.profiles[3];
        changed.buttons[7].Fun = 77;
        changed.effects[2].colour = QColor(1, 2, 3);
        QVERIFY(writeSlotFile(changed, m_written.names[3]));
        // The stage the mouse reported, written into another slot file.
        QVERIFY(writeActiveStage(m_written.names[1], 5));

        forgetSlotCache();
        const int hits = slotCacheHits();
        const ProfileSet after = load();
        QCOMPARE(slotCacheHits(), hits + SLOT_COUNT - 2);
        QCOMPARE(after.profiles[3].buttons[7].Fun, 77);
        QCOMPARE(after.profiles[3].effects[2].colour, QColor(1, 2, 3));
        QCOMPARE(int(after.profiles[1].dpi), 5);
        // And the cache now holds the new contents.
        forgetSlotCache();
        QCOMPARE(load().profiles[3].buttons[7].Fun, 77);
        QCOMPARE(slotCacheHits(), hits + 2 * SLOT_COUNT - 2);
    }

    // With the refresh on (as the program runs), a file the program writes is
    // parsed again in the background: the next start parses nothing, and
    // gets what parsing gives.
    void aWrittenFileIsReadyForTheNextStart()
    {
        load();
        setSlotCacheRefresh(true);
        ProfileData changed = m_written.profiles[2];
        changed.buttons[6].Fun = 55;
        changed.buttons[6].macroname = QStringLiteral("新 🎯");
        QVERIFY(writeSlotFile(changed, m_written.names[2]));
        waitForSlotCacheRefresh();
        setSlotCacheRefresh(false);

        forgetSlotCache();   // as a new process: only the cache file is left
        const int hits = slotCacheHits();
        const ProfileSet next = load();
        QCOMPARE(slotCacheHits(), hits + SLOT_COUNT);
        QCOMPARE(int(next.profiles[2].buttons[6].Fun), 55);
        QCOMPARE(next.profiles[2].buttons[6].macroname, changed.buttons[6].macroname);
        setSlotCacheEnabled(false);
        QCOMPARE(setDifference(load(), next), QString());
    }

    // On a file system whose times keep whole seconds, an edit in place of
    // the same size, made in the second the file was parsed, leaves size,
    // times and inode as they were: the next start still sees it.
    void anEditInTheSecondOfTheParseIsSeen()
    {
        CoarseTimeDisk disk(profileDir(), m_base->root.path() + QStringLiteral("/seconds.img"), 8);
        COARSE_TIME_DISK_OR_SKIP(disk);
        const QString name = m_written.names[1];
        const QString path = slotFilePath(name);
        ProfileData p = m_written.profiles[1];
        bool sameSecond = false;
        for (int attempt = 0; attempt < 20 && !sameSecond; ++attempt) {
            // Just after a second begins, so the write (as the program's
            // background parse follows a save), the parse and the edit share it.
            timespec now;
            do {
                QThread::msleep(5);
                clock_gettime(CLOCK_REALTIME, &now);
            } while (now.tv_nsec > 50000000);
            p.scrollspeed = 11;
            QVERIFY(writeSlotFile(p, name));
            forgetSlotCache();
            QFile::remove(cacheFile());
            ProfileData parsed;
            QVERIFY(readSlotFile(parsed, name));
            QCOMPARE(parsed.scrollspeed, quint8(11));
            saveSlotCache();
            const SlotFileStamp stamp = stampSlotFile(path);
            QCOMPARE(stamp.mtimeNs % 1000000000, qint64(0));   // whole seconds indeed

            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            const QByteArray text = file.readAll();
            const int at = text.indexOf("\nscrollspeed=11\n");
            QVERIFY(at > 0);
            QVERIFY(file.seek(at + 14));   // the second digit
            QCOMPARE(file.write("2"), qint64(1));
            file.close();
            sameSecond = stampSlotFile(path) == stamp;   // else the second was over: again

            forgetSlotCache();   // as a new process: only the cache file is left
            ProfileData next;
            QVERIFY(readSlotFile(next, name));
            QCOMPARE(next.scrollspeed, quint8(12));
        }
        QVERIFY(sameSecond);
    }

    // Slot files as odd as the fuzzers' inputs: what the cache gives back is
    // what parsing gives.
    void oddFilesComeBackAsParsed()
    {
        QStringList inputs;
        for (const char *folder : {"corpus/prof", "corpus/ini", "regressions/prof", "regressions/ini"}) {
            const QDir dir(QStringLiteral(FUZZ_INPUTS_DIR "/") + QLatin1String(folder));
            for (const QString &name : dir.entryList(QDir::Files))
                inputs << dir.filePath(name);
        }
        QVERIFY(inputs.size() >= 4);
        const QString slot = slotFilePath(m_written.names[0]);
        for (const QString &input : inputs) {
            QFile::remove(slot);
            QVERIFY(QFile::copy(input, slot));
            setSlotCacheEnabled(false);
            const ProfileSet parsed = load();
            setSlotCacheEnabled(true);
            load();
            forgetSlotCache();
            const int hits = slotCacheHits();
            const ProfileSet cached = load();
            QCOMPARE(slotCacheHits(), hits + SLOT_COUNT);
            QVERIFY2(setDifference(parsed, cached).isEmpty(), qPrintable(input));
        }
    }

    void aDamagedCacheIsIgnored_data()
    {
        QTest::addColumn<int>("damage");
        QTest::newRow("byte flipped") << 0;
        QTest::newRow("cut short") << 1;
        QTest::newRow("empty") << 2;
        QTest::newRow("another format") << 3;
    }
    void aDamagedCacheIsIgnored()
    {
        QFETCH(int, damage);
        setSlotCacheEnabled(false);
        const ProfileSet parsed = load();
        setSlotCacheEnabled(true);
        load();
        QFile file(cacheFile());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        if (damage == 0)
            bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x40);
        else if (damage == 1)
            bytes.chop(bytes.size() / 3);
        else if (damage == 2)
            bytes.clear();
        else
            bytes[7] = 'X';
        file.resize(0);
        file.write(bytes);
        file.close();

        forgetSlotCache();
        const int hits = slotCacheHits();
        QCOMPARE(setDifference(parsed, load()), QString());
        QCOMPARE(slotCacheHits(), hits);
        // Rewritten whole on the way.
        forgetSlotCache();
        QCOMPARE(setDifference(parsed, load()), QString());
        QCOMPARE(slotCacheHits(), hits + SLOT_COUNT);
    }
};

QTEST_GUILESS_MAIN(SlotCacheTest)
#include "tst_slotcache.moc"

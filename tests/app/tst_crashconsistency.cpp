// Kills during profile operations. A child process repeats save, rename,
// copy, delete, assign and both imports on the profile library; it is killed
// (SIGKILL) at moments drawn from a seeded generator. After each kill a new process starts as the
// program does (stale locks removed, profile set and library loaded) and
// checks that every profile is one that was written whole: none reset to
// factory values, none torn, none unlisted, no slot naming a missing file.
// That process then goes on working until it is killed in turn.
//
// MOUSECFG_KILLS sets the number of kills (100 by default), MOUSECFG_KILL_SEED
// the generator's seed (1 by default), for a longer or a different run.

#include "app/profilelibrary.h"
#include "device/sensors.h"
#include "profile/configstore.h"
#include "profile/inifile.h"
#include "profile/modellimits.h"
#include "profile/paths.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"
#include "../profile/profiletest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <sys/types.h>
#include <unistd.h>

namespace {

const QString kModel = QStringLiteral("VELKOR");

// Every profile written carries its seed in stage 0's xy; all other fields
// follow from the seed, so a torn or reset profile never matches. Each is
// within the model's ranges, as the library makes every profile it loads.
ProfileData seeded(quint32 seed)
{
    ProfileData p;
    fillProfile(p, int(seed % 200));
    p.stages[0].xy = seed * 1000u;
    p.LedMoveOFF = 7;   // a configuration import keeps a slot's own timers
    p.LedSleepTime = 3;
    clampProfileToModel(p, currentModelLimits());
    return p;
}

QString whole(const ProfileData &p)
{
    ProfileData expected = seeded(p.stages[0].xy / 1000u);
    if (p.stages[0].xy == 0 || p.stages[0].xy % 1000u != 0)
        return QStringLiteral("no seed");
    expected.ProfileName = p.ProfileName;
    expected.ProfilePath = p.ProfilePath;
    return profileDifference(p, expected);
}

QString randomName(QRandomGenerator &rng)
{
    static const QString pieces[] = {QStringLiteral("Aim"), QStringLiteral("狙击"), QStringLiteral("\U0001F3AF"),
                                     QStringLiteral("Ünï"), QStringLiteral("x")};
    QString name = pieces[rng.bounded(5)] + QStringLiteral(" %1").arg(rng.bounded(100000));
    return name;
}

quint32 newSeed(QRandomGenerator &rng)
{
    return 1 + rng.bounded(4000000u);
}

// The child: profile operations, as fast as it can, until it is killed.
void work(const QString &base, ProfileLibrary &lib, quint32 rngSeed)
{
    QRandomGenerator rng(rngSeed);
    ProfileSet &set = workingSet();
    const QString scratch = base + QStringLiteral("/../scratch");
    QDir().mkpath(scratch);
    printf("ready\n");
    fflush(stdout);
    for (;;) {
        switch (rng.bounded(9)) {
        case 0:
            lib.selectSlot(int(rng.bounded(SLOT_COUNT)));
            break;
        case 1:
        case 2: {   // Apply: the current slot's profile changes and is saved
            const int slot = lib.currentSlot();
            set.profiles[slot] = seeded(newSeed(rng));
            set.profiles[slot].ProfileName = set.names[slot];
            saveProfileSet(set);
            break;
        }
        case 3:
            lib.rename(randomName(rng));
            break;
        case 4:
            if (lib.currentName().size() < 40)
                lib.copy();
            break;
        case 5:
            if (lib.names().size() > 7 && lib.canRemove() == ProfileLibrary::Result::Ok)
                lib.remove();
            break;
        case 6: {
            const QString name = lib.names().at(int(rng.bounded(lib.names().size())));
            lib.assign(name);
            break;
        }
        case 7: {   // a profile file from elsewhere
            const QString path = scratch + QLatin1Char('/') + randomName(rng) + QStringLiteral(".prof");
            writeProfileFile(seeded(newSeed(rng)), path);
            writeModelTag(kModel, path);
            lib.importProfile(path);
            QFile::remove(path);
            break;
        }
        case 8: {   // a whole configuration
            ProfileSet exported = set;
            for (ProfileData &p : exported.profiles)
                p = seeded(newSeed(rng));
            const QString path = scratch + QStringLiteral("/all.conf");
            exportConfig(exported, path);
            lib.importConfiguration(path);
            break;
        }
        }
    }
}

// A new process after a kill: starts as the program does and checks what it
// finds; then, unless only asked to check, it goes on working.
int checkThenWork(const QString &base, bool thenWork, quint32 rngSeed)
{
    setConfigsBase(base);
    removeStaleConfigLocks();
    ProfileSet &set = workingSet();
    loadProfileSet(set);
    ProfileLibrary lib(set);
    lib.load();
    QStringList problems;
    QStringList listed = readLibraryList();
    if (listed != lib.names())
        problems << QStringLiteral("stored list differs from the loaded one");
    if (QStringList(listed).removeDuplicates() != 0)
        problems << QStringLiteral("duplicate list entries");
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const QString &name = set.names[i];
        if (!listed.contains(name))
            problems << QStringLiteral("slot %1 (%2) unlisted").arg(i).arg(name);
        const QString why = whole(set.profiles[i]);
        if (!why.isEmpty())
            problems << QStringLiteral("slot %1 (%2) is not a profile written whole: %3").arg(i).arg(name, why);
        for (int j = 0; j < i; ++j)
            if (set.names[j] == name)
                problems << QStringLiteral("slots %1 and %2 share %3").arg(j).arg(i).arg(name);
    }
    for (const QString &name : listed) {
        if (!QFile::exists(slotFilePath(name))) {
            problems << QStringLiteral("%1 listed without a file").arg(name);
            continue;
        }
        bool inSlot = false;
        for (const QString &slotName : set.names)
            inSlot = inSlot || slotName == name;
        if (inSlot)
            continue;   // checked above, as loaded
        ProfileData p;
        readSlotFile(p, name);
        const QString why = whole(p);
        if (!why.isEmpty())
            problems << QStringLiteral("%1 is not a profile written whole: %2").arg(name, why);
    }
    const QStringList files = QDir(profileDir()).entryList({QStringLiteral("*.prof")}, QDir::Files);
    for (const QString &file : files) {
        const QString name = file.chopped(5);
        if (name != QLatin1String("DefaultProfile") && !listed.contains(name))
            problems << QStringLiteral("%1 unlisted").arg(name);
    }
    for (const QString &p : problems)
        printf("%s\n", p.toUtf8().constData());
    printf("%d profiles\n", int(listed.size()));
    fflush(stdout);
    if (!problems.isEmpty())
        return 1;
    if (thenWork)
        work(base, lib, rngSeed);
    return 0;
}

// A first start of a product: the library made with its files left for
// later, then those files written, as the window does once it shows. It
// says "ready" before the first write and "done" after the last, then waits
// to be killed.
int firstStart(const QString &base)
{
    setConfigsBase(base);
    removeStaleConfigLocks();
    ProfileSet &set = workingSet();
    loadProfileSet(set);
    ProfileLibrary lib(set);
    lib.load(ProfileLibrary::Files::Later);
    printf("ready\n");
    fflush(stdout);
    // As the window writes them: the profile files on another thread, the
    // list once they are there.
    refreshDefaultProfileFile();
    lib.writePendingFiles(ProfileLibrary::Writer::InBackground);
    lib.writePendingFiles();
    printf("done\n");
    fflush(stdout);
    for (;;)
        pause();
}

// The start after a first start was killed: every slot names a listed file
// holding the factory profile, whole; the default profile file is whole.
int checkFirstStart(const QString &base)
{
    setConfigsBase(base);
    removeStaleConfigLocks();
    ProfileSet &set = workingSet();
    loadProfileSet(set);
    ProfileLibrary lib(set);
    lib.load(ProfileLibrary::Files::Later);
    lib.writePendingFiles();
    refreshDefaultProfileFile();
    ProfileData factory;
    buildDefaultProfile(factory);
    clampProfileToModel(factory, currentModelLimits());
    QStringList problems;
    const QStringList listed = readLibraryList();
    if (listed != lib.names())
        problems << QStringLiteral("stored list differs from the loaded one");
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const QString &name = set.names[i];
        if (name != ProfileLibrary::defaultName(i))
            problems << QStringLiteral("slot %1 is named %2").arg(i).arg(name);
        if (!listed.contains(name))
            problems << QStringLiteral("slot %1 (%2) unlisted").arg(i).arg(name);
        // Read again from the file, not the slot cache or the working set.
        ProfileData p;
        readProfileFile(p, slotFilePath(name));
        p.ProfileName = factory.ProfileName;
        p.ProfilePath = factory.ProfilePath;
        clampProfileToModel(p, currentModelLimits());
        const QString why = profileDifference(p, factory);
        if (!why.isEmpty())
            problems << QStringLiteral("%1's file is not the factory profile: %2").arg(name, why);
    }
    ProfileData fromDefault;
    readProfileFile(fromDefault, defaultProfileFilePath());
    fromDefault.ProfileName = factory.ProfileName;
    fromDefault.ProfilePath = factory.ProfilePath;
    clampProfileToModel(fromDefault, currentModelLimits());
    const QString why = profileDifference(fromDefault, factory);
    if (!why.isEmpty())
        problems << QStringLiteral("the default profile file is not whole: %1").arg(why);
    for (const QString &p : problems)
        printf("%s\n", p.toUtf8().constData());
    fflush(stdout);
    return problems.isEmpty() ? 0 : 1;
}

} // namespace

class TestCrashConsistency : public QObject
{
    Q_OBJECT

private slots:
    void killsNeverLoseAProfile();
    void firstStartKilledAtAnyMoment();
};

void TestCrashConsistency::firstStartKilledAtAnyMoment()
{
    const QString self = QCoreApplication::applicationFilePath();
    // How long the writes take here, from an undisturbed first start; then
    // kills spread over that time (the first before any write, the last
    // after all of them). Wherever a kill falls, the next start finds
    // consistent files.
    const int kills = 12;
    qint64 span = 0;
    for (int round = -1; round <= kills; ++round) {
        QTemporaryDir root;
        const QString base = root.path() + QStringLiteral("/Configs");
        setConfigsBase(base);
        writeCurrentProduct(kModel);
        setConfigsBase(QString());
        QProcess child;
        child.start(self, {QStringLiteral("--first"), base, QStringLiteral("0")});
        QVERIFY2(child.waitForStarted(), "child did not start");
        QByteArray report;
        while (!report.contains("ready\n") && child.state() == QProcess::Running) {
            child.waitForReadyRead(1000);
            report += child.readAllStandardOutput();
        }
        QElapsedTimer clock;
        clock.start();
        if (round < 0) {
            while (!report.contains("done\n") && child.state() == QProcess::Running) {
                child.waitForReadyRead(1000);
                report += child.readAllStandardOutput();
            }
            span = clock.nsecsElapsed() / 1000;
        } else {
            const qint64 at = span * round / kills;
            while (clock.nsecsElapsed() / 1000 < at)
                QThread::usleep(50);
        }
        QVERIFY2(child.state() == QProcess::Running, child.readAllStandardError().constData());
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(30000));

        QProcess check;
        check.start(self, {QStringLiteral("--first-check"), base, QStringLiteral("0")});
        QVERIFY(check.waitForFinished(120000));
        QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0,
                 qPrintable(QStringLiteral("killed at %1 of %2 us:\n").arg(span * std::max(round, 0) / kills).arg(span)
                            + QString::fromUtf8(check.readAllStandardOutput())
                            + QString::fromUtf8(check.readAllStandardError())));
    }
}

void TestCrashConsistency::killsNeverLoseAProfile()
{
    QTemporaryDir root;
    const QString base = root.path() + QStringLiteral("/Configs");
    setConfigsBase(base);
    writeCurrentProduct(kModel);
    ProfileSet initial;
    QStringList names;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        initial.names[i] = QStringLiteral("S%1").arg(i);
        initial.profiles[i] = seeded(quint32(i + 1));
        QVERIFY(writeSlotFile(initial.profiles[i], initial.names[i]));
        names << initial.names[i];
    }
    saveLibraryState(names, initial);
    setConfigsBase(QString());

    const int kills = qEnvironmentVariableIsSet("MOUSECFG_KILLS") ? qEnvironmentVariableIntValue("MOUSECFG_KILLS") : 100;
    // The same kills (names, profiles, moments) on every run unless another
    // seed is asked for.
    const quint32 seed = qEnvironmentVariableIsSet("MOUSECFG_KILL_SEED")
        ? quint32(qEnvironmentVariableIntValue("MOUSECFG_KILL_SEED"))
        : 1u;
    qInfo("%d kills, seed %u", kills, seed);
    QRandomGenerator rng(seed);
    const QString self = QCoreApplication::applicationFilePath();
    int killed = 0;
    // Each process checks what the one before it left, then works until it
    // is killed; a last one only checks.
    for (int round = 0; round <= kills; ++round) {
        const bool last = round == kills;
        QProcess child;
        child.start(self, {last ? QStringLiteral("--check") : QStringLiteral("--work"), base,
                           QString::number(rng.generate())});
        QVERIFY2(child.waitForStarted(), "child did not start");
        QByteArray report;
        while (!report.contains("ready\n") && child.state() == QProcess::Running) {
            child.waitForReadyRead(1000);
            report += child.readAllStandardOutput();
        }
        const QString context = QStringLiteral("after kill %1 (seed %2):\n").arg(round).arg(seed);
        if (last || !report.contains("ready\n")) {
            if (child.state() != QProcess::NotRunning)
                QVERIFY(child.waitForFinished(120000));
            report += child.readAllStandardOutput();
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                     qPrintable(context + QString::fromUtf8(report) + QString::fromUtf8(child.readAllStandardError())));
            QVERIFY2(last, qPrintable(context + QStringLiteral("checked, but did not go on working")));
            break;
        }
        QThread::usleep(rng.bounded(1000u, 150000u));
        QVERIFY2(child.state() == QProcess::Running,
                 qPrintable(context + QStringLiteral("ended on its own: ") + child.readAllStandardError()));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(30000));
        ++killed;
    }
    qInfo("%d kills, every profile whole and listed after each", killed);
    QCOMPARE(killed, kills);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--first") == 0)
        return firstStart(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && qstrcmp(argv[1], "--first-check") == 0)
        return checkFirstStart(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && (qstrcmp(argv[1], "--work") == 0 || qstrcmp(argv[1], "--check") == 0))
        return checkThenWork(QString::fromLocal8Bit(argv[2]), qstrcmp(argv[1], "--work") == 0,
                             quint32(QByteArray(argv[3]).toUInt()));
    // A hundred kills take longer than QtTest's five minutes per function on
    // a busy machine; ctest's own limit still applies.
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "3600000");
    TestCrashConsistency test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashconsistency.moc"

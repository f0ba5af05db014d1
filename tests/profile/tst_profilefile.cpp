// Profile files (.prof), configuration exports (.conf), model tags, slot files
// in the product folder, and names that would leave their folder.

#include "profiletest.h"
#include "tests/common/smalldisk.h"

#include "profile/configstore.h"
#include "profile/inifile.h"
#include "profile/macrostore.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"

#include <QFile>
#include <QtTest>

#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

class TestProfileFile : public QObject
{
    Q_OBJECT

private slots:
    void profileRoundTrip();
    void keyLayout();
    void missingFileAndAbsentKeys();
    void garbageAndOutOfRangeNumbers();
    void rewriteKeepsTagAndReplacesValues();
    void wholeFileWriteGivesTheBytesQSettingsGives();
    void keysOfOthersSurviveAWrite();
    void aRewriteAlwaysTakesALaterTime();
    void slotFilesLiveInTheProductFolder();
    void unsafeProductNameFallsBackToBase();
    void activeStageOnly();
    void defaultProfileFile();
    void configRoundTrip();
    void configExportReplacesDestination();
    void modelTagRefusals();
    void singleProfileExportImport();
    void hostileNamesTouchNothing();
    void exportsReplaceWholeOrNotAtAll_data();
    void exportsReplaceWholeOrNotAtAll();
    void aFullDiskKeepsTheOldSlotFile();
    void anImportTakesOurModeNotTheSources();
};

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The type bits of what the path names (links not followed), 0 when nothing.
mode_t typeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

} // namespace

void TestProfileFile::profileRoundTrip()
{
    TempBase base;
    for (int seed = 0; seed < 3; ++seed) {
        ProfileData out, in;
        fillProfile(out, seed);
        const QString path = base.root.path() + QStringLiteral("/p%1.prof").arg(seed);
        writeProfileFile(out, path);
        fillProfile(in, 77);   // every field must be replaced
        readProfileFile(in, path);
        QCOMPARE(profileDifference(in, out), QString());
    }
}

void TestProfileFile::keyLayout()
{
    TempBase base;
    ProfileData p;
    p.buttons[5].KeyInfo[7] = {11, 22, 33};   // map, dataL, dataH
    p.LedMode = 6;
    p.effects[3].colour = QColor(10, 20, 30);
    p.stages[2].x = 4000000000u;
    const QString path = base.root.path() + QStringLiteral("/layout.prof");
    writeProfileFile(p, path);

    QSettings raw(path, QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("PROFILE"));
    QCOMPARE(raw.value("BUTTON_INFO_5_KeyInfo_7_map").toInt(), 11);
    QCOMPARE(raw.value("BUTTON_INFO_5_KeyInfo_7_").toInt(), 22);
    QCOMPARE(raw.value("BUTTON_INFO_5_KeyInfo_7_H").toInt(), 33);
    QCOMPARE(raw.value("LedMode").toInt(), 6);
    QCOMPARE(raw.value("LedMode/LED_MODE_3_RGB").value<QColor>(), QColor(10, 20, 30));
    QCOMPARE(raw.value("DPI_INFO_2_x").toString(), QStringLiteral("4000000000"));
    QCOMPARE(raw.value("LedMoveOFF").toInt(), 0);
    QVERIFY(raw.contains("LedSleepTime"));
    int buttonKeys = 0;
    const QStringList all = raw.allKeys();
    for (const QString &k : all)
        buttonKeys += k.startsWith(QLatin1String("BUTTON_INFO_"));
    QCOMPARE(buttonKeys, 42 * (9 + 63 * 3));
    QCOMPARE(all.size(), 8316 + 2 + 8 * 5 + 6 + 2 + 3 + 14 * 6);
    raw.endGroup();

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("\nLedMode=6\n"));
    QVERIFY(text.contains("\nLedMode\\LED_MODE_3_RGB=@Variant("));   // QSettings' own colour form
}

void TestProfileFile::missingFileAndAbsentKeys()
{
    TempBase base;
    ProfileData p;
    fillProfile(p, 4);
    readProfileFile(p, base.root.path() + QStringLiteral("/none.prof"));
    ProfileData expected;
    expected.LedMoveOFF = 255;
    expected.LedSleepTime = 1;
    QCOMPARE(profileDifference(p, expected), QString());
    QVERIFY(!QFile::exists(base.root.path() + QStringLiteral("/none.prof")));

    // A file without the two lighting timers.
    const QString path = base.root.path() + QStringLiteral("/old.prof");
    writeIni(path, {{"PROFILE/pollrate", 3}});
    fillProfile(p, 4);
    readProfileFile(p, path);
    QCOMPARE(p.pollrate, quint8(3));
    QCOMPARE(p.LedMoveOFF, quint8(255));
    QCOMPARE(p.LedSleepTime, quint8(1));
    QCOMPARE(p.buttons[3].Fun, 0);
    QVERIFY(!p.effects[0].colour.isValid());
}

void TestProfileFile::garbageAndOutOfRangeNumbers()
{
    TempBase base;
    const QString path = base.root.path() + QStringLiteral("/junk.prof");
    writeIni(path, {
        {"PROFILE/pollrate", "abc"}, {"PROFILE/dpi", "300"}, {"PROFILE/DPI_INFO_0_x", "-1"},
        {"PROFILE/DPI_INFO_0_y", "8589934593"}, {"PROFILE/BUTTON_INFO_1_Fun", "4294967297"},
        {"PROFILE/BUTTON_INFO_1_Res1", "-1"}, {"PROFILE/BUTTON_INFO_1_KeyInfo_0_", "1e3"},
        {"PROFILE/BUTTON_INFO_1_KeyInfo_0_map", "99999999999999999999"},
        {"PROFILE/LedMode", "99"}, {"PROFILE/LedMoveOFF", "2.5"}, {"PROFILE/mousespeed", " 7 "},
        {"PROFILE/LedMode/LED_MODE_0_bright", "4294967295"}, {"PROFILE/LedMode/LED_MODE_0_RGB", "not a colour"},
    });
    ProfileData p;
    readProfileFile(p, path);
    QCOMPARE(p.pollrate, quint8(0));
    QCOMPARE(p.dpi, quint8(44));
    QCOMPARE(p.stages[0].x, 0xFFFFFFFFu);
    QCOMPARE(p.stages[0].y, 1u);
    QCOMPARE(p.buttons[1].Fun, 1);
    QCOMPARE(p.buttons[1].Res1, quint8(255));
    QCOMPARE(p.buttons[1].KeyInfo[0].dataL, quint8(0));
    QCOMPARE(p.buttons[1].KeyInfo[0].map, quint8(0));
    QCOMPARE(p.LedMode, quint8(0));   // beyond the 14 effects
    QCOMPARE(p.LedMoveOFF, quint8(0));
    QCOMPARE(p.mousespeed, quint8(7));
    QCOMPARE(p.effects[0].bright, -1);
    QVERIFY(!p.effects[0].colour.isValid());
}

void TestProfileFile::rewriteKeepsTagAndReplacesValues()
{
    TempBase base;
    ProfileData p;
    fillProfile(p, 1);
    QVERIFY(writeSlotFile(p, QStringLiteral("A")));
    writeModelTag(QStringLiteral("VELKOR"), slotFilePath(QStringLiteral("A")));
    fillProfile(p, 2);
    QVERIFY(writeSlotFile(p, QStringLiteral("A")));
    QCOMPARE(readModelTag(slotFilePath(QStringLiteral("A"))), QStringLiteral("VELKOR"));
    ProfileData in;
    QVERIFY(readSlotFile(in, QStringLiteral("A")));
    QCOMPARE(profileDifference(in, p), QString());
}

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Texts that the INI escaping treats specially.
void fillAwkwardTexts(ProfileData &p)
{
    const QString texts[] = {QStringLiteral("a;b,c=d\"e\\f"), QStringLiteral("  lead"), QStringLiteral("trail  "),
                             QStringLiteral("@at"), QStringLiteral("连发 🎯"), QStringLiteral("tab\there"),
                             QStringLiteral("[PROFILE]"), QStringLiteral("x=1\ny=2"), QString()};
    const int count = int(sizeof(texts) / sizeof(texts[0]));
    for (int b = 0; b < BUTTON_COUNT; ++b)
        p.buttons[b].macroname = texts[b % count];
    p.ProfileName = texts[0];
    p.ProfilePath = texts[4];
}

} // namespace

void TestProfileFile::wholeFileWriteGivesTheBytesQSettingsGives()
{
    TempBase base;
    const QString fast = base.root.path() + QStringLiteral("/fast.prof");
    const QString merged = base.root.path() + QStringLiteral("/merged.prof");
    for (int seed = 0; seed < 4; ++seed) {
        ProfileData p;
        fillProfile(p, seed);
        if (seed % 2)
            fillAwkwardTexts(p);
        // New files the first time, files holding the previous profile after.
        writeProfileFile(p, fast);
        writeProfileFileThroughSettings(p, merged);
        const QByteArray bytes = fileBytes(fast);
        QVERIFY(bytes.startsWith("[PROFILE]\n"));
        QVERIFY2(bytes == fileBytes(merged), qPrintable(QStringLiteral("seed %1").arg(seed)));
        ProfileData in;
        readProfileFile(in, fast);
        if (seed % 2 == 0)
            QCOMPARE(profileDifference(in, p), QString());
        else
            QCOMPARE(in.buttons[4].macroname, p.buttons[4].macroname);
    }
}

void TestProfileFile::keysOfOthersSurviveAWrite()
{
    TempBase base;
    const QString path = base.root.path() + QStringLiteral("/other.prof");
    ProfileData p;
    fillProfile(p, 1);
    writeProfileFile(p, path);
    {
        // A key of the user's own in the profile's section, and a section of its own.
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write("MyNote=keep me\n\n[Other]\nx=1\n");
    }
    fillProfile(p, 2);
    writeProfileFile(p, path);
    const QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.contains("MyNote=keep me"));
    QVERIFY(bytes.contains("[Other]\nx=1"));
    ProfileData in;
    readProfileFile(in, path);
    QCOMPARE(profileDifference(in, p), QString());
}

void TestProfileFile::aRewriteAlwaysTakesALaterTime()
{
    // QSettings takes a file as unchanged while its size and its time in
    // milliseconds are: each write must move the time on, however quick.
    TempBase base;
    const QString path = base.root.path() + QStringLiteral("/quick.prof");
    ProfileData p;
    fillProfile(p, 1);
    writeProfileFile(p, path);
    for (int i = 0; i < 4; ++i) {
        // The file's time is ahead of the clock (or the write falls within
        // its millisecond): the write still takes a later time.
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(i % 2 ? 5 : 0),
                                     QFileDevice::FileModificationTime));
        }
        const qint64 before = QFileInfo(path).lastModified().toMSecsSinceEpoch();
        p.pollrate = quint8(1 + i % 2);   // the same size every time
        writeProfileFile(p, path);
        const qint64 after = QFileInfo(path).lastModified().toMSecsSinceEpoch();
        QVERIFY2(after > before, qPrintable(QStringLiteral("write %1: %2 then %3").arg(i).arg(before).arg(after)));
    }

    // A writer that read the file before the quick write merges into the new file.
    IniFile early(path);
    QCOMPARE(early.value(QStringLiteral("PROFILE/pollrate")).toString(), QStringLiteral("2"));
    p.pollrate = 1;
    writeProfileFile(p, path);
    early.setValue(QStringLiteral("PROFILE/dpi"), 5);
    early.sync();
    ProfileData in;
    readProfileFile(in, path);
    QCOMPARE(int(in.pollrate), 1);
    QCOMPARE(int(in.dpi), 5);
}

void TestProfileFile::slotFilesLiveInTheProductFolder()
{
    TempBase base;
    QCOMPARE(readCurrentProduct(), QStringLiteral("VELKOR"));   // from the template
    QCOMPARE(profileDir(), base.base + QStringLiteral("/VELKOR/Profile"));
    QCOMPARE(slotFilePath(QStringLiteral("Game")), base.base + QStringLiteral("/VELKOR/Profile/Game.prof"));
    QCOMPARE(defaultProfileFilePath(), base.base + QStringLiteral("/VELKOR/Profile/DefaultProfile.prof"));
    ProfileData p;
    fillProfile(p, 3);
    QVERIFY(writeSlotFile(p, QStringLiteral("Game")));
    QVERIFY(QFile::exists(base.base + QStringLiteral("/VELKOR/Profile/Game.prof")));

    writeCurrentProduct(QStringLiteral("ZEPHYR"));
    QCOMPARE(slotFilePath(QStringLiteral("Game")), base.base + QStringLiteral("/ZEPHYR/Profile/Game.prof"));
    ProfileData other;
    QVERIFY(readSlotFile(other, QStringLiteral("Game")));
    QCOMPARE(other.LedMoveOFF, quint8(255));   // another model's folder: not there

    writeCurrentProduct(QString());
    QCOMPARE(productDir(), base.base);
    QCOMPARE(slotFilePath(QStringLiteral("Game")), base.base + QStringLiteral("/Profile/Game.prof"));
}

void TestProfileFile::unsafeProductNameFallsBackToBase()
{
    TempBase base;
    for (const QString &bad : {QStringLiteral("../escape"), QStringLiteral(".."), QStringLiteral("a/b"),
                               QStringLiteral("x\ny")}) {
        writeCurrentProduct(bad);
        QCOMPARE(productDir(), base.base);
        QCOMPARE(profileDir(), base.base + QStringLiteral("/Profile"));
    }
}

void TestProfileFile::activeStageOnly()
{
    TempBase base;
    ProfileData p;
    fillProfile(p, 5);
    QVERIFY(writeSlotFile(p, QStringLiteral("S")));
    QVERIFY(writeActiveStage(QStringLiteral("S"), 4));
    ProfileData in;
    QVERIFY(readSlotFile(in, QStringLiteral("S")));
    QCOMPARE(in.dpi, quint8(4));
    in.dpi = p.dpi;
    QCOMPARE(profileDifference(in, p), QString());
}

void TestProfileFile::defaultProfileFile()
{
    TempBase base;
    writeDefaultProfileFile();
    ProfileData expected, in;
    buildDefaultProfile(expected);
    readProfileFile(in, defaultProfileFilePath());
    QCOMPARE(profileDifference(in, expected), QString());
    QCOMPARE(in.LedMoveOFF, quint8(1));
}

namespace {
ProfileSet richSet()
{
    ProfileSet set;
    set.ProfileID = 3;
    set.AngleValue = 1;
    set.LiftHigh = 2;
    set.Sync = 1;
    set.Count = 5;
    set.Jitter = 6;
    set.Debounce = 12;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        fillProfile(set.profiles[i], 20 + i);
        set.names[i] = QStringLiteral("配置 %1").arg(i);
    }
    return set;
}
}

void TestProfileFile::configRoundTrip()
{
    TempBase base;
    const ProfileSet out = richSet();
    const QString path = base.root.path() + QStringLiteral("/all.conf");
    exportConfig(out, path);

    QSettings raw(path, QSettings::IniFormat);
    raw.setIniCodec("UTF-8");
    QCOMPARE(raw.value("MouseName/Name").toString(), QStringLiteral("VELKOR"));
    QCOMPARE(raw.value("Config/Profile4").toString(), QStringLiteral("配置 3"));
    QCOMPARE(raw.value("Config/Debounce").toInt(), 12);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        raw.beginGroup(QStringLiteral("PROFILE_%1").arg(i));
        QVERIFY(!raw.contains("LedMoveOFF"));
        QVERIFY(!raw.contains("LedSleepTime"));
        QCOMPARE(raw.value("pollrate").toInt(), 21 + i);
        raw.endGroup();
    }
    QVERIFY(!raw.childGroups().contains("PROFILE"));

    ProfileSet in;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        fillProfile(in.profiles[i], 90 + i);
        in.profiles[i].LedMoveOFF = quint8(60 + i);
        in.profiles[i].LedSleepTime = quint8(70 + i);
    }
    QCOMPARE(importConfig(in, path), ImportResult::Ok);
    QCOMPARE(setDifference(in, out, false), QString());
    for (int i = 0; i < SLOT_COUNT; ++i) {
        QCOMPARE(in.profiles[i].LedMoveOFF, quint8(60 + i));
        QCOMPARE(in.profiles[i].LedSleepTime, quint8(70 + i));
    }

    // Absent device-wide keys give 0 and empty names; an active slot out of range gives 0.
    const QString sparse = base.root.path() + QStringLiteral("/sparse.conf");
    writeIni(sparse, {{"MouseName/Name", "VELKOR"}, {"Config/ProfileID", 9}, {"PROFILE_2/dpi", 3}});
    in = out;
    QCOMPARE(importConfig(in, sparse), ImportResult::Ok);
    QCOMPARE(in.ProfileID, quint8(0));
    QCOMPARE(in.Debounce, quint8(0));
    QVERIFY(in.names[0].isEmpty());
    QCOMPARE(in.profiles[2].dpi, quint8(3));
    QCOMPARE(in.profiles[2].LedMoveOFF, out.profiles[2].LedMoveOFF);
    QCOMPARE(in.profiles[2].buttons[3].Fun, 0);
}

void TestProfileFile::configExportReplacesDestination()
{
    TempBase base;
    const QString path = base.root.path() + QStringLiteral("/old.conf");
    writeIni(path, {{"Stale/Key", 1}, {"PROFILE_7/dpi", 2}});
    exportConfig(richSet(), path);
    QVERIFY(!readIni(path, "Stale/Key").isValid());
    QVERIFY(!readIni(path, "PROFILE_7/dpi").isValid());
}

void TestProfileFile::modelTagRefusals()
{
    TempBase base;
    const ProfileSet original = richSet();
    const QString tagged = base.root.path() + QStringLiteral("/tagged.conf");
    exportConfig(original, tagged);
    const QString untagged = base.root.path() + QStringLiteral("/untagged.conf");
    exportConfig(original, untagged);
    {
        QSettings s(untagged, QSettings::IniFormat);
        s.remove("MouseName");
    }
    QCOMPARE(readModelTag(untagged), QString());
    QCOMPARE(readModelTag(base.root.path() + QStringLiteral("/missing.conf")), QString());

    ProfileSet set;
    set.Debounce = 99;
    writeCurrentProduct(QStringLiteral("ZEPHYR"));
    QCOMPARE(importConfig(set, tagged), ImportResult::WrongModel);
    QCOMPARE(set.Debounce, quint8(99));
    writeCurrentProduct(QStringLiteral("VELKOR"));
    QCOMPARE(importConfig(set, untagged), ImportResult::WrongModel);   // absent tag, named product
    QCOMPARE(set.Debounce, quint8(99));
    QCOMPARE(importConfig(set, base.root.path() + QStringLiteral("/missing.conf")), ImportResult::Unreadable);
    QCOMPARE(set.Debounce, quint8(99));

    writeCurrentProduct(QString());
    QCOMPARE(importConfig(set, tagged), ImportResult::WrongModel);   // tag VELKOR, no product
    QCOMPARE(importConfig(set, untagged), ImportResult::Ok);          // both empty
    QCOMPARE(set.Debounce, original.Debounce);

    writeModelTag(QStringLiteral("ZEPHYR"), tagged);
    QCOMPARE(readModelTag(tagged), QStringLiteral("ZEPHYR"));
    writeCurrentProduct(QStringLiteral("ZEPHYR"));
    QCOMPARE(importConfig(set, tagged), ImportResult::Ok);
}

void TestProfileFile::singleProfileExportImport()
{
    TempBase base;
    ProfileData p;
    fillProfile(p, 8);
    QVERIFY(writeSlotFile(p, QStringLiteral("Shooter")));
    const QString exported = base.root.path() + QStringLiteral("/out/Shooter.prof");
    QVERIFY(exportProfile(QStringLiteral("Shooter"), exported));
    QCOMPARE(readModelTag(exported), QStringLiteral("VELKOR"));
    QCOMPARE(readModelTag(slotFilePath(QStringLiteral("Shooter"))), QStringLiteral("VELKOR"));
    QVERIFY(!exportProfile(QStringLiteral("Nobody"), base.root.path() + QStringLiteral("/out/n.prof")));

    ProfileData in;
    QString name;
    QCOMPARE(importProfile(exported, in, &name), ProfileImportResult::Exists);
    QCOMPARE(name, QStringLiteral("Shooter"));
    QVERIFY(QFile::remove(slotFilePath(QStringLiteral("Shooter"))));
    writeCurrentProduct(QStringLiteral("ZEPHYR"));
    QCOMPARE(importProfile(exported, in, &name), ProfileImportResult::WrongModel);
    writeCurrentProduct(QStringLiteral("VELKOR"));
    QCOMPARE(importProfile(exported, in, &name), ProfileImportResult::Ok);
    QCOMPARE(profileDifference(in, p), QString());
    QVERIFY(QFile::exists(slotFilePath(QStringLiteral("Shooter"))));
    QCOMPARE(importProfile(base.root.path() + QStringLiteral("/none.prof"), in), ProfileImportResult::Unreadable);
}

void TestProfileFile::hostileNamesTouchNothing()
{
    TempBase base;
    writeDefaultProfileFile();   // the base exists and has been seeded
    saveSlotNames(ProfileSet());  // and so does the product's Config.ini
    const QStringList before = listFiles(base.root.path());
    const struct { QString name; NameCheck check; } hostile[] = {
        {QString(), NameCheck::Empty},
        {QStringLiteral("../evil"), NameCheck::Separator},
        {QStringLiteral("../../evil"), NameCheck::Separator},
        {QStringLiteral("a/b"), NameCheck::Separator},
        {QStringLiteral("a\\b"), NameCheck::Separator},
        {QStringLiteral("/abs"), NameCheck::Separator},
        {QStringLiteral(".."), NameCheck::DotDot},
        {QStringLiteral("."), NameCheck::DotDot},
        {QStringLiteral("bad\nname"), NameCheck::ControlChar},
        {QStringLiteral("tab\tname"), NameCheck::ControlChar},
        {QString(QChar(0x7F)), NameCheck::ControlChar},
        {QString(201, QLatin1Char('x')), NameCheck::TooLong},
        // Half of a UTF-16 pair is encoded as the same replacement bytes
        // whichever half it is: two names, one file.
        {QStringLiteral("A") + QChar(0xD83C), NameCheck::LoneSurrogate},
        {QStringLiteral("A") + QChar(0xDFAF), NameCheck::LoneSurrogate},
        {QString(QChar(0xDFAF)) + QChar(0xD83C), NameCheck::LoneSurrogate},   // the pair reversed
        {QString(QChar(0xD83C)) + QStringLiteral("x"), NameCheck::LoneSurrogate},
    };
    ProfileData p;
    fillProfile(p, 1);
    for (const auto &h : hostile) {
        QCOMPARE(checkFileName(h.name), h.check);
        QVERIFY(!isSafeFileName(h.name));
        QVERIFY(slotFilePath(h.name).isEmpty());
        QVERIFY(!writeSlotFile(p, h.name));
        QVERIFY(!writeActiveStage(h.name, 2));
        ProfileData in;
        QVERIFY(!readSlotFile(in, h.name));
        QCOMPARE(in.LedMoveOFF, quint8(255));
        QVERIFY(macroPath(h.name).isEmpty());
        QVERIFY(!saveMacro(h.name, MacroSettings(), {{1, 2, 3}}));
        QVERIFY(!addMacroName(h.name));
        clearWriteSign(h.name);
        QVERIFY(loadMacroEvents(h.name).isEmpty());
        ProfileSet set;
        set.names[0] = h.name;
        QVERIFY(!saveProfileSet(set));
    }
    // saveProfileSet still records the options, but no file of a refused name appears.
    QCOMPARE(listFiles(base.root.path()), before);
    QVERIFY(listMacros().isEmpty());
    // Odd but harmless names are accepted.
    for (const QString &ok : {QStringLiteral("a..b"), QStringLiteral("..."), QStringLiteral(".hidden"),
                              QStringLiteral("名前 (2)"), QString(200, QLatin1Char('y')),
                              QStringLiteral("A \U0001F3AF")})
        QCOMPARE(checkFileName(ok), NameCheck::Ok);
}

// What the three exports (profile, configuration, macro) do with a
// destination they cannot replace: report failure, leave it as it was and
// leave no half-written file beside it, and never wait on a fifo.
void TestProfileFile::exportsReplaceWholeOrNotAtAll_data()
{
    QTest::addColumn<int>("exporter");   // 0 .prof, 1 .conf, 2 .MSMACRO
    QTest::addColumn<int>("target");     // 0 full disk, 1 folder, 2 fifo, 3 device, 4 link to a device
    const char *exporters[] = {"profile", "configuration", "macro"};
    const char *targets[] = {"full disk", "folder", "fifo", "device", "link to a device"};
    for (int e = 0; e < 3; ++e)
        for (int t = 0; t < 5; ++t)
            QTest::addRow("%s to a %s", exporters[e], targets[t]) << e << t;
}

void TestProfileFile::exportsReplaceWholeOrNotAtAll()
{
    QFETCH(int, exporter);
    QFETCH(int, target);
    TempBase base;
    ProfileData p;
    fillProfile(p, 6);
    QVERIFY(writeSlotFile(p, QStringLiteral("Shooter")));
    QVERIFY(saveMacro(QStringLiteral("combo"), MacroSettings(), {{132, 4, 0}, {4, 4, 0}}));
    ProfileSet set = richSet();

    const QString out = base.root.path() + QStringLiteral("/out");
    QVERIFY(QDir().mkpath(out));
    const QString path = out + QStringLiteral("/export");
    const QByteArray old("[kept]\nold=1\n");
    std::unique_ptr<SmallDisk> disk;
    switch (target) {
    case 0: {
        disk.reset(new SmallDisk(out, 64));
        SMALL_DISK_OR_SKIP(*disk);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(old), qint64(old.size()));
        f.close();
        QVERIFY(disk->fill());
        break;
    }
    case 1:
        QVERIFY(QDir().mkpath(path));
        break;
    case 2:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        break;
    case 3:
    case 4: {
        // A node of our own with /dev/full's numbers: writes to it fail.
        const QString node = target == 3 ? path : out + QStringLiteral("/full");
        if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            QSKIP("No device node can be made here");
        if (target == 4)
            QCOMPARE(::symlink("full", QFile::encodeName(path).constData()), 0);
        break;
    }
    }
    const mode_t typeBefore = typeOf(path);
    const QStringList filesBefore = QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);

    bool exported = true;
    if (exporter == 0)
        exported = exportProfile(QStringLiteral("Shooter"), path);
    else if (exporter == 1)
        exported = exportConfig(set, path);
    else
        exported = exportMacroFile(QStringLiteral("combo"), path);
    QVERIFY(!exported);

    QCOMPARE(typeOf(path), typeBefore);
    QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), filesBefore);
    if (target == 0)
        QCOMPARE(bytesOf(path), old);
    if (target == 1)
        QVERIFY(QDir(path).isEmpty());
    // The profile export tagged the library file all the same; it is whole.
    ProfileData back;
    QVERIFY(readSlotFile(back, QStringLiteral("Shooter")));
    QCOMPARE(profileDifference(back, p), QString());
}

// A save that meets a full disk says so, and the file holds what it held.
void TestProfileFile::aFullDiskKeepsTheOldSlotFile()
{
    TempBase base;
    ProfileSet set = richSet();
    set.ProfileID = 2;
    saveSlotNames(set);   // the product folder's Config.ini lies outside the small disk
    SmallDisk disk(profileDir(), 1024);
    SMALL_DISK_OR_SKIP(disk);
    QVERIFY(saveProfileSet(set));
    const QByteArray first = bytesOf(slotFilePath(set.names[0]));
    const QByteArray active = bytesOf(slotFilePath(set.names[2]));
    QVERIFY(first.contains("[PROFILE]"));
    QVERIFY(disk.fill());
    const QStringList files = QDir(profileDir()).entryList(QDir::Files | QDir::Hidden);

    ProfileSet edited = set;
    edited.profiles[0].scrollspeed = 3;
    edited.profiles[2].pollrate = 2;
    QVERIFY(!writeSlotFile(edited.profiles[0], set.names[0]));
    QVERIFY(!writeProfileFileThroughSettings(edited.profiles[0], slotFilePath(set.names[0])));
    QVERIFY(!writeActiveStage(set.names[2], 1));
    QVERIFY(!saveProfileSet(edited));
    QCOMPARE(bytesOf(slotFilePath(set.names[0])), first);
    QCOMPARE(bytesOf(slotFilePath(set.names[2])), active);
    QCOMPARE(QDir(profileDir()).entryList(QDir::Files | QDir::Hidden), files);   // no temporary file left

    // Room again: the same save goes through.
    disk.release();
    QVERIFY(saveProfileSet(edited));
    ProfileData back;
    readProfileFile(back, slotFilePath(set.names[2]));
    QCOMPARE(back.pollrate, quint8(2));
}

// A read-only file imported stays ours to write: the library file gets the
// mode of any file the program makes, so later saves of that slot succeed.
// Root writes any file whatever its mode, so as root the import and the save
// run in a child process as an ordinary user.
void TestProfileFile::anImportTakesOurModeNotTheSources()
{
    TempBase base;
    ProfileData p;
    fillProfile(p, 2);
    const QString source = base.root.path() + QStringLiteral("/ReadOnly.prof");
    QVERIFY(writeProfileFile(p, source));
    QVERIFY(writeModelTag(QStringLiteral("VELKOR"), source));
    QVERIFY(QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    QVERIFY(QDir().mkpath(profileDir()));
    QVERIFY(QFile::setPermissions(profileDir(), QFileDevice::Permissions(0x7777)));
    QVERIFY(QFile::setPermissions(base.root.path(), QFileDevice::Permissions(0x7755)));
    QVERIFY(QFile::setPermissions(base.base, QFileDevice::Permissions(0x7755)));
    QVERIFY(QFile::setPermissions(productDir(), QFileDevice::Permissions(0x7755)));

    const auto importThenSave = [&]() -> int {
        ProfileData in;
        if (importProfile(source, in) != ProfileImportResult::Ok)
            return 2;
        in.scrollspeed = 17;
        if (!writeSlotFile(in, QStringLiteral("ReadOnly")))
            return 3;
        ProfileData back;
        readProfileFile(back, slotFilePath(QStringLiteral("ReadOnly")));
        return back.scrollspeed == 17 ? 0 : 4;
    };
    int result = -1;
    if (::geteuid() != 0) {
        result = importThenSave();
    } else {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(5);
            ::_exit(importThenSave());
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        result = WEXITSTATUS(status);
    }
    QCOMPARE(result, 0);

    // The mode of a new file (the umask's), whatever the source's.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(slotFilePath(QStringLiteral("ReadOnly"))).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), int(0666 & ~mask));
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"

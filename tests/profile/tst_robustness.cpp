// Hostile and unusual files: crafted values, oversized files, text outside the
// Basic Multilingual Plane (read back by a new process), name lengths in
// bytes, the factory profile's reserved name and stale lock files.

#include "profiletest.h"

#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/inifile.h"
#include "profile/language.h"
#include "profile/macrostore.h"
#include "profile/profilefile.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QtTest>

namespace {

const QString kModel = QStringLiteral("VELKOR");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

// What a new process finds: every text the tests below write, one per line,
// as hexadecimal UTF-8 so nothing is lost on the way.
int dumpTexts(const QString &base)
{
    setConfigsBase(base);
    QStringList out;
    ProfileSet set;
    loadProfileSet(set);
    for (const QString &n : set.names)
        out << n;
    out << set.profiles[0].ProfileName << set.profiles[0].buttons[3].macroname;
    out << readLibraryList();
    out << listMacros();
    LanguageList languages;
    readLanguageList(languages);
    out << languages.names[0];
    for (const QString &line : out)
        printf("%s\n", line.toUtf8().toHex().constData());
    return 0;
}

} // namespace

class TestRobustness : public QObject
{
    Q_OBJECT

private slots:
    void craftedValuesReadAsText_data();
    void craftedValuesReadAsText();
    void oversizedFilesAreRefused();
    void textOutsideTheBmpSurvivesANewProcess();
    void filesOfPeersReadTheSame();
    void nameLengthCountsBytes_data();
    void nameLengthCountsBytes();
    void defaultProfileIsNotAUserName();
    void staleLockFilesAreRemoved();
    void byteOrderMarkBeforeTheFirstSection_data();
    void byteOrderMarkBeforeTheFirstSection();
};

void TestRobustness::craftedValuesReadAsText_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("colourKept");
    // A list announcing 2^31-1 entries, a byte array of 2 GB, lists nested
    // thousands deep, a string list: none may reach QDataStream.
    QTest::newRow("huge list") << QByteArray("@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)") << false;
    QTest::newRow("huge byte array") << QByteArray("@Variant(\\0\\0\\0\\f\\x7f\\xff\\xff\\xf0)") << false;
    QByteArray nested("@Variant(");
    for (int i = 0; i < 20000; ++i)
        nested += "\\0\\0\\0\\t\\0\\0\\0\\x1";
    nested += ')';
    QTest::newRow("nested lists") << nested << false;
    QTest::newRow("quoted") << QByteArray("\"@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\"") << false;
    QTest::newRow("colour too long") << QByteArray("@Variant(\\0\\0\\0\\x43\\x1\\xff\\xff\\n\\n\\x14\\x14\\x1e\\x1e\\0\\0\\0)")
                                     << false;
    QTest::newRow("a colour") << QByteArray("@Variant(\\0\\0\\0\\x43\\x1\\xff\\xff\\n\\n\\x14\\x14\\x1e\\x1e\\0\\0)") << true;
    // A colour whose spec byte names no spec (33), or the extended spec
    // whose components are half floats: no colour.
    QTest::newRow("colour of spec 33") << QByteArray("@Variant(\\0\\0\\0\\x43!\\xff\\xff\\n\\n\\x14\\x14\\x1e\\x1e\\0\\0)")
                                       << false;
    QTest::newRow("colour of spec -1") << QByteArray("@Variant(\\0\\0\\0\\x43\\xff\\xff\\xff\\n\\n\\x14\\x14\\x1e\\x1e\\0\\0)")
                                       << false;
    QTest::newRow("extended colour") << QByteArray("@Variant(\\0\\0\\0\\x43\\x5\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\0\\0)")
                                     << false;
}

void TestRobustness::craftedValuesReadAsText()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, colourKept);
    TempBase base;
    TempAppDir app;
    writeCurrentProduct(kModel);

    // A profile: the value in a number key, a text key and a colour key.
    const QByteArray prof = "[MouseName]\nName=" + kModel.toUtf8() + "\n[PROFILE]\npollrate=" + value
        + "\ndpi=3\nProfileName=" + value + "\nLedMode\\LED_MODE_2_RGB=" + value + "\n";
    const QString source = base.root.path() + QStringLiteral("/crafted.prof");
    writeRaw(source, prof);
    ProfileData p;
    readProfileFile(p, source);
    QCOMPARE(p.pollrate, quint8(0));
    QCOMPARE(p.dpi, quint8(3));
    QCOMPARE(p.effects[2].colour, colourKept ? QColor(10, 20, 30) : QColor());
    QCOMPARE(importProfile(source, p), ProfileImportResult::Ok);

    // A configuration export, the device description, Config.ini, a macro.
    const QString conf = base.root.path() + QStringLiteral("/crafted.conf");
    writeRaw(conf, "[MouseName]\nName=" + kModel.toUtf8() + "\n[Config]\nProfileID=" + value + "\nProfile1=" + value
                       + "\n[PROFILE_0]\nLedMode\\LED_MODE_0_RGB=" + value + "\nBUTTON_INFO_0_Fun=" + value + "\n");
    ProfileSet set;
    QCOMPARE(importConfig(set, conf), ImportResult::Ok);
    QCOMPARE(set.ProfileID, quint8(0));
    writeRaw(app.descriptionFile(), "[PROFILE]\nProductName=" + value + "\nFont_RGB=" + value
                                        + "\nLedMode\\LED_MODE_0_RGB=" + value + "\nButtonCount=" + value + "\n");
    DeviceDescription d;
    QVERIFY(readDeviceDescription(d));
    QCOMPARE(d.ButtonCount, quint8(0));
    QCOMPARE(d.effects[0].colour, colourKept ? QColor(10, 20, 30) : QColor());
    writeRaw(productConfigPath(), "[PROFILE_LIST]\nCount=" + value + "\n1=" + value + "\n");
    QVERIFY(readLibraryList().size() <= 1);
    writeRaw(macroDir() + QStringLiteral("/m.MSMACRO"), "[Setting]\nCount=" + value + "\nMap_0=" + value + "\n");
    QCOMPARE(loadMacroEvents(QStringLiteral("m")).size(), 0);
    writeRaw(languageConfigPath(), "[Config]\nLangID=" + value + "\n");
    QCOMPARE(readLanguageId(), 0);
}

void TestRobustness::oversizedFilesAreRefused()
{
    TempBase base;
    writeCurrentProduct(kModel);
    // Correctly tagged, but far larger than any file the program writes.
    QByteArray big = "[MouseName]\nName=" + kModel.toUtf8() + "\n[PROFILE]\npollrate=2\n";
    QByteArray filler(1024, 'x');
    int k = 0;
    while (big.size() <= maxIniFileSize())
        big += "pad" + QByteArray::number(k++) + '=' + filler + '\n';
    const QString prof = base.root.path() + QStringLiteral("/big.prof");
    writeRaw(prof, big);
    ProfileData p;
    QCOMPARE(importProfile(prof, p), ProfileImportResult::TooLarge);
    QVERIFY(!QFile::exists(slotFilePath(QStringLiteral("big"))));
    QVERIFY(!QDir(profileDir()).exists() || QDir(profileDir()).entryList(QDir::Files).isEmpty());

    const QString conf = base.root.path() + QStringLiteral("/big.conf");
    writeRaw(conf, big.replace("[PROFILE]", "[PROFILE_0]"));
    ProfileSet set;
    set.names[0] = QStringLiteral("kept");
    QCOMPARE(importConfig(set, conf), ImportResult::TooLarge);
    QCOMPARE(set.names[0], QStringLiteral("kept"));

    // Any reader: an oversized file reads as empty, whatever it holds.
    readProfileFile(p, prof);
    QCOMPARE(p.pollrate, quint8(0));
}

void TestRobustness::textOutsideTheBmpSurvivesANewProcess()
{
    TempBase base;
    writeCurrentProduct(kModel);
    const QString emoji = QStringLiteral("Sniper \U0001F3AF");
    const QString mixed = QStringLiteral("中文 \U0001F600, \"é\" ; 1");
    const QString macro = QStringLiteral("宏 \U0001F3B9");

    // The template's language list as the installer leaves it (raw UTF-8).
    writeIni(globalConfigPath(), {{"FONT_LIST/LANGNUM", 1}, {"FONT_LIST/LangName_0", "简体中文"}});
    ProfileSet set;
    set.names[0] = emoji;
    set.names[1] = mixed;
    for (int i = 2; i < SLOT_COUNT; ++i)
        set.names[i] = QStringLiteral("P%1").arg(i);
    fillProfile(set.profiles[0], 3);
    set.profiles[0].ProfileName = emoji;
    set.profiles[0].buttons[3].macroname = macro;
    QVERIFY(saveProfileSet(set));
    writeLibraryList({emoji, mixed, QStringLiteral("\U0001F47E")});
    QVERIFY(saveMacro(macro, MacroSettings(), {{132, 4, 0}}));
    QVERIFY(addMacroName(macro));

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--dump"), base.base});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
    QStringList got;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            got << QString::fromUtf8(QByteArray::fromHex(line));
    const QStringList expected{emoji, mixed, QStringLiteral("P2"), QStringLiteral("P3"), QStringLiteral("P4"),
                               emoji, macro, emoji, mixed, QStringLiteral("\U0001F47E"), macro,
                               QStringLiteral("简体中文")};
    QCOMPARE(got, expected);
}

void TestRobustness::filesOfPeersReadTheSame()
{
    // Files written by QSettings without a codec (every non-ASCII character
    // as \x escapes, as the Windows program writes them) and with the UTF-8
    // codec read the same; each is read from a copy, so no cache of this
    // process holds it.
    TempBase base;
    const QString dir = base.root.path();
    for (const char *codec : {static_cast<const char *>(nullptr), "UTF-8"}) {
        // (Qt's UTF-8 codec itself writes nothing for characters outside the BMP.)
        const QString name = codec ? QStringLiteral("Ünïcødé 中 1a") : QStringLiteral("Ünïcødé 中 \U0001F600 1a");
        const QString written = dir + QStringLiteral("/w.prof");
        QFile::remove(written);
        {
            QSettings s(written, QSettings::IniFormat);
            if (codec)
                s.setIniCodec(codec);
            s.setValue(QStringLiteral("PROFILE/ProfileName"), name);
            s.setValue(QStringLiteral("PROFILE/pollrate"), 3);
            s.setValue(QStringLiteral("PROFILE/LedMode/LED_MODE_1_RGB"), QColor(1, 2, 3));
        }
        const QString copy = dir + QStringLiteral("/copy%1.prof").arg(codec ? 1 : 0);
        QVERIFY(QFile::copy(written, copy));
        ProfileData p;
        readProfileFile(p, copy);
        QCOMPARE(p.ProfileName, name);
        QCOMPARE(p.pollrate, quint8(3));
        QCOMPARE(p.effects[1].colour, QColor(1, 2, 3));
    }
    // What we write reads the same through QSettings, with or without a codec.
    const QString name = QStringLiteral("Ünïcødé 中 \U0001F600 1a");
    const QString ours = dir + QStringLiteral("/ours.prof");
    ProfileData p;
    p.ProfileName = name;
    p.effects[4].colour = QColor(200, 100, 50);
    writeProfileFile(p, ours);
    QVERIFY(!readAll(ours).contains("\xF0"));   // no raw bytes outside ASCII
    for (int withCodec = 0; withCodec < 2; ++withCodec) {
        const QString copy = dir + QStringLiteral("/ours%1.ini").arg(withCodec);
        QVERIFY(QFile::copy(ours, copy));
        QSettings s(copy, QSettings::IniFormat);
        if (withCodec)
            s.setIniCodec("UTF-8");
        QCOMPARE(s.value(QStringLiteral("PROFILE/ProfileName")).toString(), name);
        QCOMPARE(s.value(QStringLiteral("PROFILE/LedMode/LED_MODE_4_RGB")).value<QColor>(), QColor(200, 100, 50));
    }
}

void TestRobustness::nameLengthCountsBytes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("expected");
    const int ok = int(NameCheck::Ok);
    const int tooLong = int(NameCheck::TooLong);
    QTest::newRow("200 ASCII") << QString(200, QLatin1Char('a')) << ok;
    QTest::newRow("201 ASCII") << QString(201, QLatin1Char('a')) << tooLong;
    QTest::newRow("80 x 3-byte") << QString(80, QChar(0x4E2D)) << ok;         // 240 bytes
    QTest::newRow("81 x 3-byte") << QString(81, QChar(0x4E2D)) << tooLong;    // 243 bytes
    QTest::newRow("100 x 3-byte") << QString(100, QChar(0x4E2D)) << tooLong;  // 300 bytes, 100 units
    QString emoji;
    for (int i = 0; i < 61; ++i)
        emoji += QStringLiteral("\U0001F600");                                // 244 bytes, 122 units
    QTest::newRow("61 emoji") << emoji << tooLong;
    emoji.chop(2);
    QTest::newRow("60 emoji") << emoji << ok;
}

void TestRobustness::nameLengthCountsBytes()
{
    QFETCH(QString, name);
    QFETCH(int, expected);
    QCOMPARE(int(checkFileName(name)), expected);
    if (expected != int(NameCheck::Ok))
        return;
    // What passes can be saved, as a macro (the longest extension) and a profile.
    TempBase base;
    QVERIFY(saveMacro(name, MacroSettings(), {{132, 4, 0}}));
    QCOMPARE(loadMacroEvents(name).size(), 1);
    ProfileData p;
    p.pollrate = 4;
    QVERIFY(writeSlotFile(p, name));
    ProfileData back;
    QVERIFY(readSlotFile(back, name));
    QCOMPARE(back.pollrate, quint8(4));
}

void TestRobustness::defaultProfileIsNotAUserName()
{
    TempBase base;
    writeCurrentProduct(kModel);
    writeDefaultProfileFile();
    for (const char *name : {"DefaultProfile", "defaultprofile", "DEFAULTPROFILE"}) {
        QVERIFY(slotFilePath(QLatin1String(name)).isEmpty());
        QVERIFY(!writeSlotFile(ProfileData(), QLatin1String(name)));
    }
    QVERIFY(!slotFilePath(QStringLiteral("DefaultProfile 2")).isEmpty());
    // An import of a file of that name never replaces the factory profile.
    const QString source = base.root.path() + QStringLiteral("/DefaultProfile.prof");
    ProfileData p;
    p.pollrate = 9;
    writeProfileFile(p, source);
    writeModelTag(kModel, source);
    const QByteArray factory = readAll(defaultProfileFilePath());
    QVERIFY(importProfile(source, p) != ProfileImportResult::Ok);
    QCOMPARE(readAll(defaultProfileFilePath()), factory);
}

void TestRobustness::staleLockFilesAreRemoved()
{
    TempBase base;
    writeCurrentProduct(kModel);
    const QString product = productConfigPath();
    saveSlotNames(ProfileSet());
    // An empty lock (killed while creating it), a lock of a process that is
    // gone, a lock held right now, and a file that is no lock at all.
    writeRaw(globalConfigPath() + QStringLiteral(".lock"), QByteArray());
    QProcess gone;
    gone.start(QStringLiteral("true"), QStringList());
    QVERIFY(gone.waitForFinished());
    const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
    writeRaw(product + QStringLiteral(".lock"),
             QByteArray::number(deadPid) + "\nmousecfg\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    QLockFile held(profileDir() + QStringLiteral("/held.prof.lock"));
    QDir().mkpath(profileDir());
    QVERIFY(held.tryLock(0));
    writeRaw(profileDir() + QStringLiteral("/notes.txt"), "keep");

    QCOMPARE(removeStaleLockFiles(base.base), 2);
    QVERIFY(!QFile::exists(globalConfigPath() + QStringLiteral(".lock")));
    QVERIFY(!QFile::exists(product + QStringLiteral(".lock")));
    QVERIFY(QFile::exists(profileDir() + QStringLiteral("/held.prof.lock")));
    QVERIFY(QFile::exists(profileDir() + QStringLiteral("/notes.txt")));
    held.unlock();
}

// Windows editors save a UTF-8 file with a byte-order mark before the first
// section; every reader sees that section as plain QSettings does.
void TestRobustness::byteOrderMarkBeforeTheFirstSection_data()
{
    QTest::addColumn<int>("file");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("key");        // what plain QSettings reads
    QTest::addColumn<QString>("expected");
    QTest::newRow("Config.ini") << 0 << QByteArray("[Config]\r\nCurrentProductName=VELKOR\r\n")
                                << QStringLiteral("Config/CurrentProductName") << kModel;
    QTest::newRow(".prof") << 1 << QByteArray("[PROFILE]\npollrate=2\ndpi=4\n") << QStringLiteral("PROFILE/pollrate")
                           << QStringLiteral("2");
    QTest::newRow(".conf tag") << 2 << QByteArray("[MouseName]\nName=VELKOR\n[Config]\nDebounce=9\n")
                               << QStringLiteral("MouseName/Name") << kModel;
    QTest::newRow("macro") << 3 << QByteArray("[Setting]\nCount=1\nMap_0=132\nDataL_0=4\n")
                           << QStringLiteral("Setting/Count") << QStringLiteral("1");
    QTest::newRow("LangConfig.ini") << 4 << QByteArray("[Config]\nLangID=2\n") << QStringLiteral("Config/LangID")
                                    << QStringLiteral("2");
    QTest::newRow("description") << 5 << QByteArray("[PROFILE]\nProductName=VELKOR\nButtonCount=13\n")
                                 << QStringLiteral("PROFILE/ProductName") << kModel;
}

void TestRobustness::byteOrderMarkBeforeTheFirstSection()
{
    QFETCH(int, file);
    QFETCH(QByteArray, text);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TempBase base;
    TempAppDir app;
    const QString paths[] = {globalConfigPath(), base.root.path() + QStringLiteral("/bom.prof"),
                             base.root.path() + QStringLiteral("/bom.conf"), macroDir() + QStringLiteral("/bom.MSMACRO"),
                             languageConfigPath(), app.descriptionFile()};
    const QString path = paths[file];
    writeRaw(path, "\xEF\xBB\xBF" + text);
    // Plain QSettings, on a copy no cache of this process knows.
    const QString copy = base.root.path() + QStringLiteral("/plain.ini");
    QVERIFY(QFile::copy(path, copy));
    QCOMPARE(QSettings(copy, QSettings::IniFormat).value(key).toString(), expected);

    switch (file) {
    case 0:
        QCOMPARE(readCurrentProduct(), expected);
        break;
    case 1: {
        ProfileData p;
        readProfileFile(p, path);
        QCOMPARE(p.pollrate, quint8(2));
        QCOMPARE(p.dpi, quint8(4));
        break;
    }
    case 2:
        QCOMPARE(readModelTag(path), expected);
        break;
    case 3: {
        const QVector<KeyInfo> events = loadMacroEvents(QStringLiteral("bom"));
        QCOMPARE(events.size(), 1);
        QCOMPARE(events[0].map, quint8(132));
        QCOMPARE(events[0].dataL, quint8(4));
        break;
    }
    case 4:
        QCOMPARE(readLanguageId(), 2);
        break;
    case 5: {
        DeviceDescription d;
        QVERIFY(readDeviceDescription(d));
        QCOMPARE(d.ProductName, expected);
        QCOMPARE(d.ButtonCount, quint8(13));
        break;
    }
    }
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--dump") == 0) {
        QCoreApplication app(argc, argv);
        return dumpTexts(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestRobustness test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_robustness.moc"

// Config.ini state (which file holds which key), the profile set load and
// save, the library list, template seeding, paths and the language settings.

#include "profiletest.h"

#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/language.h"
#include "profile/profilefile.h"
#include "profile/slotcache.h"

#include <QFile>
#include <QtTest>

class TestConfig : public QObject
{
    Q_OBJECT

private slots:
    void applicationDirectory();
    void portableBaseAndFallback();
    void seedingAddsMissingKeysOnly();
    void seedingWithoutShippedTemplate();
    void freshInstallLoadsDefaults();
    void saveWritesSlotZeroAndTheActiveSlot();
    void keysLiveInTheirFiles();
    void outOfRangeActiveSlot();
    void programWideKeys();
    void sameValueLeavesTheFileAlone();
    void libraryList();
    void buttonMatrixFilledByLoad();
    void languageIdAndList();
    void languageListBounds();
    void pageFontOfCurrentLanguage();
};

void TestConfig::applicationDirectory()
{
    const QString env = QDir::cleanPath(QString::fromLocal8Bit(qgetenv("MOUSECFG_APPDIR")));
    QVERIFY(!env.isEmpty());
    QCOMPARE(applicationDir(), env);
    QCOMPARE(descriptionPath(), env + QStringLiteral("/DefaultProfile.bin"));
    QCOMPARE(templateConfigPath(), env + QStringLiteral("/ConfigTemplate/Config.ini"));
    {
        TempAppDir app;
        QCOMPARE(applicationDir(), app.dir.path());
        QCOMPARE(templateConfigPath(), QStringLiteral(":/templates/Config.ini"));
    }
    QCOMPARE(applicationDir(), env);
    QCOMPARE(languageCatalogPath(QStringLiteral("sc")), env + QStringLiteral("/lang/sc.qm"));
}

void TestConfig::portableBaseAndFallback()
{
    QTemporaryDir xdg;
    qputenv("XDG_CONFIG_HOME", xdg.path().toLocal8Bit());
    {
        TempAppDir app;
        setConfigsBase(QString());
        QCOMPARE(configsBase(), app.dir.path() + QStringLiteral("/Configs"));
        QVERIFY(QFile::exists(app.dir.path() + QStringLiteral("/Configs/Config.ini")));   // seeded
    }
    {
        // An application directory that cannot hold a Configs folder.
        QTemporaryDir root;
        QFile blocker(root.path() + QStringLiteral("/file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        setApplicationDir(root.path() + QStringLiteral("/file"));
        setConfigsBase(QString());
        const QString base = configsBase();
        QVERIFY2(base.startsWith(xdg.path()) && base.endsWith(QLatin1String("/Configs")), qPrintable(base));
        QCOMPARE(readIni(base + QStringLiteral("/Config.ini"), "MouseSenSor/1").toInt(), 3395);
        setApplicationDir(QString());
    }
    setConfigsBase(QString());
    qunsetenv("XDG_CONFIG_HOME");
}

void TestConfig::seedingAddsMissingKeysOnly()
{
    QTemporaryDir root;
    const QString base = root.path() + QStringLiteral("/Configs");
    writeIni(base + QStringLiteral("/Config.ini"), {
        {"Config/GColorID", 2}, {"Config/CurrentProductName", "MINE"}, {"User/Key", "kept"},
        {"FONT_LIST/FONT_0", "Liberation Sans"},
    });
    setConfigsBase(base);
    QCOMPARE(readAccentIndex(), 2);
    QCOMPARE(readCurrentProduct(), QStringLiteral("MINE"));
    QCOMPARE(readIni(globalConfigPath(), "User/Key").toString(), QStringLiteral("kept"));
    QCOMPARE(readIni(globalConfigPath(), "FONT_LIST/FONT_0").toString(), QStringLiteral("Liberation Sans"));
    QCOMPARE(readIni(globalConfigPath(), "FONT_LIST/FONT_1").toString(), QStringLiteral("WenQuanYi Micro Hei"));
    QCOMPARE(readBatteryFull(), 4200);
    QCOMPARE(sensorCode(), 3395);

    // Once per base and process: a key removed afterwards stays removed.
    {
        QSettings s(globalConfigPath(), QSettings::IniFormat);
        s.remove("MouseSenSor");
    }
    QCOMPARE(sensorCode(), 0);
    // Pointing at the base again seeds again.
    setConfigsBase(base);
    QCOMPARE(sensorCode(), 3395);
    setConfigsBase(QString());
}

void TestConfig::seedingWithoutShippedTemplate()
{
    TempAppDir app;   // no ConfigTemplate folder: the copy built into the program
    TempBase base;
    LanguageList list;
    readLanguageList(list);
    QCOMPARE(list.count, 3);
    QCOMPARE(list.names[1], QStringLiteral("简体中文"));
    QCOMPARE(list.names[2], QStringLiteral("繁體中文"));
    QCOMPARE(readCurrentProduct(), QStringLiteral("VELKOR"));
    // The accent index names one of the seven theme colours.
    QVERIFY(readAccentIndex() >= 0 && readAccentIndex() < 7);
}

void TestConfig::freshInstallLoadsDefaults()
{
    TempBase base;
    ProfileSet set;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        fillProfile(set.profiles[i], i);
        set.names[i] = QStringLiteral("x");
    }
    set.Debounce = 5;
    loadProfileSet(set);
    QCOMPARE(set.ProfileID, quint8(0));
    QCOMPARE(set.AngleValue + set.LiftHigh + set.Sync + set.Jitter + set.Debounce + set.Count, 0);
    ProfileData missing;
    missing.LedMoveOFF = 255;
    missing.LedSleepTime = 1;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        QVERIFY(set.names[i].isEmpty());
        QCOMPARE(profileDifference(set.profiles[i], missing), QString());
    }
    QCOMPARE(readDiff(), 0);
    QCOMPARE(readBattery(), 0);
}

void TestConfig::saveWritesSlotZeroAndTheActiveSlot()
{
    TempBase base;
    ProfileSet set;
    set.ProfileID = 2;
    set.AngleValue = 1;
    set.LiftHigh = 1;
    set.Sync = 1;
    set.Jitter = 3;
    set.Debounce = 8;
    set.Count = 5;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        fillProfile(set.profiles[i], 30 + i);
        set.names[i] = QStringLiteral("Slot %1").arg(i);
    }
    QVERIFY(saveProfileSet(set));
    // Slot 0 and the active slot (2) reach their files; the others do not.
    QVERIFY(QFile::exists(slotFilePath(QStringLiteral("Slot 0"))));
    QVERIFY(QFile::exists(slotFilePath(QStringLiteral("Slot 2"))));
    for (int i : {1, 3, 4})
        QVERIFY(!QFile::exists(slotFilePath(QStringLiteral("Slot %1").arg(i))));

    ProfileSet loaded;
    loadProfileSet(loaded);
    QCOMPARE(loaded.ProfileID, quint8(2));
    QCOMPARE(loaded.Debounce, quint8(8));
    QCOMPARE(loaded.Count, quint8(5));
    for (int i = 0; i < SLOT_COUNT; ++i)
        QCOMPARE(loaded.names[i], QStringLiteral("Slot %1").arg(i));
    QCOMPARE(profileDifference(loaded.profiles[0], set.profiles[0]), QString());
    // Edits of the active slot survive a restart.
    QCOMPARE(profileDifference(loaded.profiles[2], set.profiles[2]), QString());

    saveSlotNames(set);
    for (int i = 1; i < SLOT_COUNT; ++i)
        QVERIFY(writeSlotFile(set.profiles[i], set.names[i]));
    loadProfileSet(loaded);
    QCOMPARE(setDifference(loaded, set), QString());

    setActiveSlot(4);
    loadProfileSet(loaded);
    QCOMPARE(loaded.ProfileID, quint8(4));
}

void TestConfig::keysLiveInTheirFiles()
{
    TempBase base;
    const QString global = globalConfigPath();
    const QString product = productConfigPath();
    QCOMPARE(product, base.base + QStringLiteral("/VELKOR/Config.ini"));
    ProfileSet set;
    set.names[0] = QStringLiteral("P");
    set.Jitter = 4;
    QVERIFY(saveProfileSet(set));
    saveSlotNames(set);
    writeDiff(1);
    writeLibraryList({QStringLiteral("P")});
    writeBattery(70);
    for (const char *key : {"Config/ProfileID", "Config/Jitter", "Config/Profile1", "Config/Diff", "PROFILE_LIST/Count"}) {
        QVERIFY2(readIni(product, key).isValid(), key);
        QVERIFY2(!readIni(global, key).isValid(), key);
    }
    QCOMPARE(readIni(global, "Config/Battery").toInt(), 70);
    QVERIFY(!readIni(product, "Config/Battery").isValid());
    QCOMPARE(readDiff(), 1);

    // Another model has its own slot state.
    writeCurrentProduct(QStringLiteral("ZEPHYR"));
    QCOMPARE(readDiff(), 0);
    QVERIFY(readLibraryList().isEmpty());
    ProfileSet other;
    loadProfileSet(other);
    QCOMPARE(other.Jitter, quint8(0));
    writeCurrentProduct(QStringLiteral("VELKOR"));
    loadProfileSet(other);
    QCOMPARE(other.Jitter, quint8(4));
}

void TestConfig::outOfRangeActiveSlot()
{
    TempBase base;
    writeIni(productConfigPath(), {{"Config/ProfileID", 7}, {"Config/Debounce", "junk"}, {"Config/Count", 300}});
    ProfileSet set;
    loadProfileSet(set);
    QCOMPARE(set.ProfileID, quint8(0));
    QCOMPARE(set.Debounce, quint8(0));
    QCOMPARE(set.Count, quint8(44));
}

void TestConfig::programWideKeys()
{
    TempBase base;
    QCOMPARE(readBatteryFull(), 4200);
    {
        QSettings s(globalConfigPath(), QSettings::IniFormat);
        s.remove("Config/BatteryFull");
    }
    QCOMPARE(readBatteryFull(), 4200);   // absent
    writeIni(globalConfigPath(), {{"Config/BatteryFull", 4100}, {"Config/Model", "M-1"}});
    QCOMPARE(readBatteryFull(), 4100);
    QCOMPARE(readModel(), QStringLiteral("M-1"));
    QCOMPARE(readAccentIndex(), 6);
    writeBattery(55);
    QCOMPARE(readBattery(), 55);
    writeDiff(1);
    QCOMPARE(readDiff(), 1);
    writeDiff(0);
    QCOMPARE(readDiff(), 0);
    writeCurrentProduct(QStringLiteral("Ünïcode"));
    QCOMPARE(readCurrentProduct(), QStringLiteral("Ünïcode"));
}

void TestConfig::sameValueLeavesTheFileAlone()
{
    TempBase base;
    writeBattery(55);
    writeCurrentProduct(QStringLiteral("VELKOR"));
    const SlotFileStamp before = stampSlotFile(globalConfigPath());
    QVERIFY(before.valid);
    writeBattery(55);
    writeCurrentProduct(QStringLiteral("VELKOR"));
    const SlotFileStamp after = stampSlotFile(globalConfigPath());
    QCOMPARE(after.inode, before.inode);
    QCOMPARE(after.mtimeNs, before.mtimeNs);

    writeBattery(56);
    QVERIFY(stampSlotFile(globalConfigPath()).inode != before.inode);
    QFile file(globalConfigPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("Battery=56"));
    QVERIFY(text.contains("CurrentProductName=VELKOR"));
    file.close();

    // A key the file lacks is written, whatever it would read as.
    {
        QSettings s(globalConfigPath(), QSettings::IniFormat);
        s.remove("Config/Battery");
    }
    writeBattery(0);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("Battery=0"));
    file.close();

    // Saving a set whose slot names and options the file already holds.
    ProfileSet set;
    loadProfileSet(set);
    set.names[1] = QStringLiteral("Renamed");
    saveProfileSet(set);
    const SlotFileStamp saved = stampSlotFile(productConfigPath());
    saveProfileSet(set);
    saveSlotNames(set);
    QCOMPARE(stampSlotFile(productConfigPath()).inode, saved.inode);
    set.Debounce = quint8(set.Debounce + 1);
    saveProfileSet(set);
    QVERIFY(stampSlotFile(productConfigPath()).inode != saved.inode);
    QFile product(productConfigPath());
    QVERIFY(product.open(QIODevice::ReadOnly));
    const QByteArray productText = product.readAll();
    QVERIFY(productText.contains("Profile2=Renamed"));
    QVERIFY(productText.contains("Debounce=" + QByteArray::number(set.Debounce)));
}

void TestConfig::libraryList()
{
    TempBase base;
    QVERIFY(readLibraryList().isEmpty());
    writeLibraryList({QStringLiteral("One"), QStringLiteral("二"), QStringLiteral("Three")});
    QCOMPARE(readLibraryList(), QStringList({"One", "二", "Three"}));
    writeLibraryList({QStringLiteral("Only")});
    QCOMPARE(readLibraryList(), QStringList({"Only"}));
    QVERIFY(!readIni(productConfigPath(), "PROFILE_LIST/2").isValid());   // no stale entries
    writeIni(productConfigPath(), {{"PROFILE_LIST/Count", -3}});
    QVERIFY(readLibraryList().isEmpty());
    writeIni(productConfigPath(), {{"PROFILE_LIST/Count", "2000000000"}, {"PROFILE_LIST/1", "A"}, {"PROFILE_LIST/3", "C"}});
    QCOMPARE(readLibraryList(), QStringList({"A", "C"}));
}

void TestConfig::buttonMatrixFilledByLoad()
{
    TempBase base;
    buttonMatrix().fill(0x11);
    ProfileSet set;
    loadProfileSet(set);
    quint8 expected[16];
    QCOMPARE(readButtonMatrix(expected), 0);
    for (int i = 0; i < 16; ++i)
        QCOMPARE(buttonMatrix()[i], expected[i]);
    QCOMPARE(buttonMatrix()[15], quint8(0xFF));

    TempAppDir app;   // without a description the table is left as it is
    buttonMatrix().fill(0x22);
    loadProfileSet(set);
    QCOMPARE(buttonMatrix()[0], quint8(0x22));
}

void TestConfig::languageIdAndList()
{
    TempBase base;
    QCOMPARE(readLanguageId(), 0);
    QVERIFY(!QFile::exists(languageConfigPath()));
    writeLanguageId(2);
    QCOMPARE(readLanguageId(), 2);
    QCOMPARE(languageConfigPath(), base.base + QStringLiteral("/LangConfig.ini"));
    QVERIFY(!readIni(globalConfigPath(), "Config/LangID").isValid());

    LanguageList list;
    list.names[7] = "stale";
    readLanguageList(list);
    QCOMPARE(list.count, 3);
    QCOMPARE(list.names[0], QStringLiteral("English"));
    QCOMPARE(list.files[0], QStringLiteral("en"));
    QCOMPARE(list.files[1], QStringLiteral("sc"));
    QCOMPARE(list.files[2], QStringLiteral("tc"));
    for (int i = 3; i < LANGUAGE_LIST_SIZE; ++i)
        QVERIFY(list.names[i].isEmpty() && list.files[i].isEmpty());
}

void TestConfig::languageListBounds()
{
    TempBase base;
    writeIni(globalConfigPath(), {{"FONT_LIST/LANGNUM", 1}});
    LanguageList list;
    readLanguageList(list);
    QCOMPARE(list.count, 1);
    QCOMPARE(list.files[0], QStringLiteral("en"));
    QVERIFY(list.files[1].isEmpty());   // beyond the count

    QVariantMap many{{"FONT_LIST/LANGNUM", 50}};
    for (int i = 0; i < 12; ++i)
        many.insert(QStringLiteral("FONT_LIST/LangFile_%1").arg(i), QStringLiteral("f%1").arg(i));
    writeIni(globalConfigPath(), many);
    readLanguageList(list);
    QCOMPARE(list.count, 10);
    QCOMPARE(list.files[9], QStringLiteral("f9"));
    writeIni(globalConfigPath(), {{"FONT_LIST/LANGNUM", -2}});
    readLanguageList(list);
    QCOMPARE(list.count, 0);
    QVERIFY(list.files[0].isEmpty());
}

void TestConfig::pageFontOfCurrentLanguage()
{
    TempBase base;
    setCurrentLanguageIndex(0);
    QCOMPARE(pageFontFamily(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(pageFontPixelSize(), 12);
    QFont font = pageFont();
    QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(font.pixelSize(), 12);
    setCurrentLanguageIndex(2);
    QCOMPARE(currentLanguageIndex(), 2);
    QCOMPARE(pageFont().family(), QStringLiteral("WenQuanYi Micro Hei"));

    // A language without font keys keeps Qt's defaults.
    setCurrentLanguageIndex(7);
    QVERIFY(pageFontFamily().isEmpty());
    QCOMPARE(pageFontPixelSize(), 0);
    QCOMPARE(pageFont().family(), QFont().family());
    QCOMPARE(pageFont().pixelSize(), QFont().pixelSize());
    writeIni(globalConfigPath(), {{"FONT_LIST/FONT_SIZE_7", "-4"}, {"FONT_LIST/FONT_7", "Serif"}});
    QCOMPARE(pageFontPixelSize(), 0);
    QCOMPARE(pageFont().family(), QStringLiteral("Serif"));
    setCurrentLanguageIndex(0);
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"

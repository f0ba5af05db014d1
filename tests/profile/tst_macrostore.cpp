// Macro files and the 50-slot macro list.

#include "profiletest.h"

#include "profile/macrostore.h"

#include <QFile>
#include <QtTest>

class TestMacroStore : public QObject
{
    Q_OBJECT

private slots:
    void saveAndLoad();
    void fileLayout();
    void resaveDropsStaleEvents();
    void atMost63Events();
    void oddCountsAndValues();
    void missingMacro();
    void writeMarkOnlyOnExistingFiles();
    void listFillsFirstFreeSlot();
    void listRefusesFiftyFirst();
    void removeFromList();
    void nextNameFillsGaps();
    void renameKeepsTheSlot();
    void foreignFilesReadBounded();
};

void TestMacroStore::saveAndLoad()
{
    TempBase base;
    MacroSettings settings;
    settings.DefaultDelay = 35;
    settings.DelayType = 1;
    settings.LoopType = 3;
    settings.LoopTime = 255;
    const QVector<KeyInfo> events{{132, 0x04, 0}, {6, 0x2C, 0x01}, {4, 0x04, 0}, {0x81, 0xFF, 0xFE}};
    QVERIFY(saveMacro(QStringLiteral("Combo é"), settings, events));
    QCOMPARE(macroPath(QStringLiteral("Combo é")), base.base + QStringLiteral("/MacroDB/Combo é.MSMACRO"));
    const QVector<KeyInfo> loaded = loadMacroEvents(QStringLiteral("Combo é"));
    QCOMPARE(loaded.size(), events.size());
    for (int i = 0; i < events.size(); ++i)
        QVERIFY(loaded[i].map == events[i].map && loaded[i].dataL == events[i].dataL
                && loaded[i].dataH == events[i].dataH);
    const MacroSettings back = loadMacroSettings(QStringLiteral("Combo é"));
    QCOMPARE(back.DefaultDelay, 35);
    QCOMPARE(back.DelayType, 1);
    QCOMPARE(back.LoopType, 3);
    QCOMPARE(back.LoopTime, 255);
    QCOMPARE(readWriteSign(QStringLiteral("Combo é")), 1);
}

void TestMacroStore::fileLayout()
{
    TempBase base;
    QVERIFY(saveMacro(QStringLiteral("m"), MacroSettings(), {{132, 30, 2}}));
    const QString path = macroPath(QStringLiteral("m"));
    QSettings raw(path, QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("Setting"));
    QCOMPARE(raw.value("MacroFilePath").toString(), path);
    QCOMPARE(raw.value("DefaultDelay").toString(), QStringLiteral("10"));
    QCOMPARE(raw.value("LoopTime").toString(), QStringLiteral("1"));
    QCOMPARE(raw.value("Count").toString(), QStringLiteral("1"));
    QCOMPARE(raw.value("Map_0").toString(), QStringLiteral("132"));
    QCOMPARE(raw.value("DataL_0").toString(), QStringLiteral("30"));
    QCOMPARE(raw.value("DataH_0").toString(), QStringLiteral("2"));
    QCOMPARE(raw.value("WriteSign").toString(), QStringLiteral("1"));
    QCOMPARE(raw.allKeys().size(), 10);
}

void TestMacroStore::resaveDropsStaleEvents()
{
    TempBase base;
    QVERIFY(saveMacro(QStringLiteral("m"), MacroSettings(), QVector<KeyInfo>(10, KeyInfo{1, 2, 3})));
    QVERIFY(saveMacro(QStringLiteral("m"), MacroSettings(), {{7, 8, 9}}));
    QVERIFY(!readIni(macroPath(QStringLiteral("m")), "Setting/Map_5").isValid());
    QCOMPARE(loadMacroEvents(QStringLiteral("m")).size(), 1);
}

void TestMacroStore::atMost63Events()
{
    TempBase base;
    QVector<KeyInfo> many;
    for (int i = 0; i < 70; ++i)
        many.append({quint8(i), quint8(i + 1), quint8(i + 2)});
    QVERIFY(saveMacro(QStringLiteral("long"), MacroSettings(), many));
    QCOMPARE(readIni(macroPath(QStringLiteral("long")), "Setting/Count").toInt(), 63);
    QVERIFY(!readIni(macroPath(QStringLiteral("long")), "Setting/Map_63").isValid());
    const QVector<KeyInfo> loaded = loadMacroEvents(QStringLiteral("long"));
    QCOMPARE(loaded.size(), 63);
    QCOMPARE(loaded[62].map, quint8(62));

    // A file claiming more events (hand-made or from elsewhere) still gives 63.
    QVariantMap keys{{"Setting/Count", 100}};
    for (int i = 0; i < 100; ++i)
        keys.insert(QStringLiteral("Setting/Map_%1").arg(i), i);
    writeIni(macroPath(QStringLiteral("huge")), keys);
    const QVector<KeyInfo> huge = loadMacroEvents(QStringLiteral("huge"));
    QCOMPARE(huge.size(), 63);
    QCOMPARE(huge[62].map, quint8(62));
}

void TestMacroStore::oddCountsAndValues()
{
    TempBase base;
    writeIni(macroPath(QStringLiteral("neg")), {{"Setting/Count", -5}, {"Setting/Map_0", 1}});
    QVERIFY(loadMacroEvents(QStringLiteral("neg")).isEmpty());
    writeIni(macroPath(QStringLiteral("word")), {{"Setting/Count", "many"}});
    QVERIFY(loadMacroEvents(QStringLiteral("word")).isEmpty());
    writeIni(macroPath(QStringLiteral("wide")), {{"Setting/Count", "4294967298"}});   // low 32 bits: 2
    QCOMPARE(loadMacroEvents(QStringLiteral("wide")).size(), 2);
    writeIni(macroPath(QStringLiteral("vals")), {
        {"Setting/Count", 2}, {"Setting/Map_0", "300"}, {"Setting/DataL_0", "-1"}, {"Setting/DataH_0", "x"},
        {"Setting/LoopTime", "junk"}, {"Setting/DefaultDelay", "25"},
    });
    const QVector<KeyInfo> v = loadMacroEvents(QStringLiteral("vals"));
    QCOMPARE(v.size(), 2);
    QCOMPARE(v[0].map, quint8(44));
    QCOMPARE(v[0].dataL, quint8(255));
    QCOMPARE(v[0].dataH, quint8(0));
    QCOMPARE(v[1].map, quint8(0));   // missing triple reads as zero
    QCOMPARE(loadMacroSettings(QStringLiteral("vals")).LoopTime, 0);
    QCOMPARE(loadMacroSettings(QStringLiteral("vals")).DefaultDelay, 25);
}

void TestMacroStore::missingMacro()
{
    TempBase base;
    QVERIFY(loadMacroEvents(QStringLiteral("nothing")).isEmpty());
    const MacroSettings s = loadMacroSettings(QStringLiteral("nothing"));
    QCOMPARE(s.DefaultDelay, 10);
    QCOMPARE(s.LoopTime, 1);
    QCOMPARE(readWriteSign(QStringLiteral("nothing")), 0);
    QVERIFY(!QFile::exists(macroPath(QStringLiteral("nothing"))));
}

void TestMacroStore::writeMarkOnlyOnExistingFiles()
{
    TempBase base;
    clearWriteSign(QStringLiteral("absent"));
    QVERIFY(!QFile::exists(macroPath(QStringLiteral("absent"))));
    QVERIFY(saveMacro(QStringLiteral("here"), MacroSettings(), {}));
    clearWriteSign(QStringLiteral("here"));
    QCOMPARE(readWriteSign(QStringLiteral("here")), 0);
    QCOMPARE(loadMacroEvents(QStringLiteral("here")).size(), 0);
}

void TestMacroStore::listFillsFirstFreeSlot()
{
    TempBase base;
    QVERIFY(listMacros().isEmpty());
    QVERIFY(addMacroName(QStringLiteral("a")));
    QVERIFY(addMacroName(QStringLiteral("b")));
    QVERIFY(addMacroName(QStringLiteral("c")));
    removeMacroName(QStringLiteral("b"));
    QCOMPARE(readIni(globalConfigPath(), "MACRO_LIST/1").toString(), QString());
    QCOMPARE(listMacros(), QStringList({"a", "c"}));
    QCOMPARE(countMacros(), 2);
    QVERIFY(addMacroName(QStringLiteral("d")));
    QCOMPARE(readIni(globalConfigPath(), "MACRO_LIST/1").toString(), QStringLiteral("d"));
    QCOMPARE(listMacros(), QStringList({"a", "d", "c"}));
    QVERIFY(addMacroName(QStringLiteral("a")));   // already listed: not twice
    QCOMPARE(countMacros(), 3);
}

void TestMacroStore::listRefusesFiftyFirst()
{
    TempBase base;
    for (int i = 0; i < MACRO_LIST_SIZE; ++i)
        QVERIFY(addMacroName(QStringLiteral("m%1").arg(i)));
    QCOMPARE(countMacros(), 50);
    QVERIFY(!addMacroName(QStringLiteral("one too many")));
    QCOMPARE(countMacros(), 50);
    QVERIFY(!listMacros().contains(QStringLiteral("one too many")));
    QVERIFY(!readIni(globalConfigPath(), "MACRO_LIST/50").isValid());
    QCOMPARE(listMacros().last(), QStringLiteral("m49"));
}

void TestMacroStore::removeFromList()
{
    TempBase base;
    QVERIFY(addMacroName(QStringLiteral("x")));
    const QStringList before = listMacros();
    removeMacroName(QStringLiteral("not there"));
    removeMacroName(QString());
    QCOMPARE(listMacros(), before);
    removeMacroName(QStringLiteral("x"));
    QVERIFY(listMacros().isEmpty());
}

void TestMacroStore::nextNameFillsGaps()
{
    TempBase base;
    QCOMPARE(nextMacroName(), QStringLiteral("name_1"));
    QVERIFY(saveMacro(QStringLiteral("name_1"), MacroSettings(), {}));
    QVERIFY(saveMacro(QStringLiteral("name_3"), MacroSettings(), {}));
    QCOMPARE(nextMacroName(), QStringLiteral("name_2"));
    QVERIFY(saveMacro(QStringLiteral("name_2"), MacroSettings(), {}));
    QCOMPARE(nextMacroName(), QStringLiteral("name_4"));
    // Only files count, not the list.
    QVERIFY(addMacroName(QStringLiteral("name_4")));
    QCOMPARE(nextMacroName(), QStringLiteral("name_4"));
}

void TestMacroStore::renameKeepsTheSlot()
{
    TempBase base;
    QVERIFY(addMacroName(QStringLiteral("a")));
    QVERIFY(addMacroName(QStringLiteral("b")));
    QVERIFY(addMacroName(QStringLiteral("c")));
    QVERIFY(renameMacroName(QStringLiteral("b"), QStringLiteral("bee")));
    QCOMPARE(listMacros(), (QStringList{"a", "bee", "c"}));
    QVERIFY(!renameMacroName(QStringLiteral("zz"), QStringLiteral("y")));
    QVERIFY(!renameMacroName(QStringLiteral("a"), QStringLiteral("../a")));
    QCOMPARE(listMacros(), (QStringList{"a", "bee", "c"}));
}

void TestMacroStore::foreignFilesReadBounded()
{
    TempBase base;
    const QString path = base.root.path() + QStringLiteral("/elsewhere.MSMACRO");
    MacroSettings settings;
    QVector<KeyInfo> events;
    QVERIFY(!readMacroFile(path, &settings, &events));   // missing
    {
        QSettings s(path, QSettings::IniFormat);
        s.setValue("Setting/Count", 500);
        s.setValue("Setting/LoopTime", 9);
        s.setValue("Setting/Map_62", 6);
        s.setValue("Setting/DataL_62", 300);   // low byte kept
    }
    QVERIFY(readMacroFile(path, &settings, &events));
    QCOMPARE(events.size(), 63);
    QCOMPARE(int(events[62].map), 6);
    QCOMPARE(int(events[62].dataL), 300 & 0xFF);
    QCOMPARE(settings.LoopTime, 9);
    const QString junk = base.root.path() + QStringLiteral("/junk.MSMACRO");
    {
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Other]\nx=1\n");
    }
    QVERIFY(!readMacroFile(junk, &settings, &events));
}

QTEST_GUILESS_MAIN(TestMacroStore)
#include "tst_macrostore.moc"

// What the key dialogs make of hook events and what they write into a button
// entry: private key codes, nested combo events, fire-key and sniper values.

#include "device/buttoncatalogue.h"
#include "device/sensors.h"
#include "pages/buttons/keycapture.h"
#include "profile/keys.h"

#include <QtTest>

class TestKeyCapture : public QObject {
    Q_OBJECT
private slots:
    void privateCodes_data()
    {
        QTest::addColumn<quint32>("scan");
        QTest::addColumn<quint32>("flags");
        QTest::addColumn<int>("code");
        // keypad keys (no extended flag) take private codes, the navigation
        // block (extended) keeps the scan code
        QTest::newRow("keypad 7") << 71u << 0x00u << 235;
        QTest::newRow("keypad 7 up") << 71u << 0x80u << 235;
        QTest::newRow("Home") << 71u << 0x01u << 71;
        QTest::newRow("keypad 8") << 72u << 0x00u << 236;
        QTest::newRow("Up arrow") << 72u << 0x01u << 72;
        QTest::newRow("keypad 9") << 73u << 0x00u << 228;
        QTest::newRow("keypad 4") << 75u << 0x00u << 233;
        QTest::newRow("keypad 6") << 77u << 0x00u << 234;
        QTest::newRow("keypad 1") << 79u << 0x00u << 230;
        QTest::newRow("keypad 2") << 80u << 0x00u << 231;
        QTest::newRow("keypad 3") << 81u << 0x00u << 232;
        QTest::newRow("keypad 0") << 82u << 0x00u << 237;
        QTest::newRow("Insert") << 82u << 0x01u << 82;
        QTest::newRow("keypad .") << 83u << 0x00u << 224;
        QTest::newRow("Delete") << 83u << 0x01u << 83;
        QTest::newRow("keypad 7 with Alt") << 71u << 0x20u << 71;
        QTest::newRow("keypad *") << 55u << 0x00u << 227;
        QTest::newRow("Print Screen") << 55u << 0x01u << 55;
        QTest::newRow("left Ctrl") << 29u << 0x00u << 29;
        QTest::newRow("right Ctrl") << 29u << 0x01u << 238;
        QTest::newRow("right Ctrl up") << 29u << 0x81u << 238;
        QTest::newRow("right Ctrl, Alt held") << 29u << 0x21u << 238;
        QTest::newRow("right Ctrl up, Alt held") << 29u << 0xA1u << 238;
        QTest::newRow("left Ctrl, Alt held") << 29u << 0x20u << 29;
        QTest::newRow("left Alt") << 56u << 0x20u << 56;
        QTest::newRow("right Alt") << 56u << 0x01u << 239;
        QTest::newRow("right Alt held") << 56u << 0x21u << 239;
        QTest::newRow("right Alt up") << 56u << 0x81u << 239;
        QTest::newRow("left Alt up") << 56u << 0x80u << 56;
        QTest::newRow("keypad Enter, Alt held") << 28u << 0x21u << 229;
        QTest::newRow("Enter") << 28u << 0x00u << 28;
        QTest::newRow("keypad Enter") << 28u << 0x01u << 229;
        QTest::newRow("keypad /") << 53u << 0x01u << 226;
        QTest::newRow("slash") << 53u << 0x00u << 53;
        QTest::newRow("Num Lock") << 69u << 0x01u << 225;
        QTest::newRow("Pause") << 69u << 0x00u << 69;
        QTest::newRow("A") << 30u << 0x00u << 30;
        QTest::newRow("F5") << 63u << 0x80u << 63;
    }
    void privateCodes()
    {
        QFETCH(quint32, scan);
        QFETCH(quint32, flags);
        QFETCH(int, code);
        QCOMPARE(int(hookKeyCode(scan, flags)), code);
    }

    void pressOrRelease()
    {
        QVERIFY(hookIsPress(0x00));
        QVERIFY(hookIsPress(0x01));
        QVERIFY(hookIsPress(0x20));
        QVERIFY(hookIsPress(0x21));   // Delete or right Alt pressed while Alt is held
        QVERIFY(!hookIsPress(0xA1));
        QVERIFY(!hookIsPress(0x80));
        QVERIFY(!hookIsPress(0x81));
    }

    // Slots are nested in the fixed order whatever order the keys came in.
    void comboEvents()
    {
        ComboKeys combo;
        combo.flags[COMBO_KEY] = 1;
        combo.otherKey = 30;   // A
        combo.flags[COMBO_CTRL] = 1;
        combo.flags[COMBO_SHIFT] = 1;
        ButtonEntry entry;
        for (KeyInfo &event : entry.KeyInfo)
            event = KeyInfo{0x55, 0x55, 0x55};
        writeComboEvents(entry, combo);
        const quint8 expected[6][3] = {{0xE1, 5, 0x80}, {0xE0, 5, 0x80}, {0x04, 5, 0x80},
                                       {0x04, 5, 0x00}, {0xE0, 5, 0x00}, {0xE1, 5, 0x00}};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(int(entry.KeyInfo[i].map), int(expected[i][0]));
            QCOMPARE(int(entry.KeyInfo[i].dataL), int(expected[i][1]));
            QCOMPARE(int(entry.KeyInfo[i].dataH), int(expected[i][2]));
        }
        for (int i = 6; i < KEYINFO_COUNT; ++i)
            QCOMPARE(int(entry.KeyInfo[i].map), 0);
        QCOMPARE(comboText(combo), keyName(42) + " + " + keyName(29) + " + " + keyName(30));

        // Read back from the entry, the same combo.
        QVERIFY(comboFromEvents(entry) == combo);
    }

    void comboCtrlAltDeleteEncodes()
    {
        ComboKeys combo;
        combo.flags[COMBO_CTRL] = 1;
        combo.flags[COMBO_ALT] = 1;
        combo.flags[COMBO_KEY] = 1;
        combo.otherKey = 83;
        ButtonEntry entry;
        entry.Fun = FUN_COMBO_KEY;
        writeComboEvents(entry, combo);
        const std::array<quint8, 4> bytes = comboKeyBytes(entry);
        QCOMPARE(bytes, (std::array<quint8, 4>{0x8F, 0x05, 0x4C, 0x00}));
    }

    void rightHandModifiers()
    {
        ComboKeys combo;
        combo.flags[COMBO_CTRL] = 3;   // both held: named as the right-hand key
        combo.flags[COMBO_ALT] = 2;
        ButtonEntry entry;
        writeComboEvents(entry, combo);
        QCOMPARE(int(entry.KeyInfo[0].map), 0xE4);   // right Ctrl
        QCOMPARE(int(entry.KeyInfo[1].map), 0xE6);   // right Alt stays right Alt
        ComboKeys back = comboFromEvents(entry);
        QCOMPARE(int(back.flags[COMBO_CTRL]), 2);
        QCOMPARE(int(back.flags[COMBO_ALT]), 2);
        QCOMPARE(comboText(back), keyName(238) + " + " + keyName(239));
    }

    // Inserting shifts later events and drops those beyond the 63rd.
    void insertShifts()
    {
        ButtonEntry entry;
        for (int i = 0; i < KEYINFO_COUNT; ++i)
            entry.KeyInfo[i] = KeyInfo{quint8(i + 1), 0, 0};
        insertComboKey(entry, 1, 30);
        QCOMPARE(int(entry.KeyInfo[0].map), 1);
        QCOMPARE(int(entry.KeyInfo[1].map), 0x04);
        QCOMPARE(int(entry.KeyInfo[1].dataH), 0x80);
        QCOMPARE(int(entry.KeyInfo[2].map), 0x04);
        QCOMPARE(int(entry.KeyInfo[2].dataH), 0x00);
        QCOMPARE(int(entry.KeyInfo[3].map), 2);
        QCOMPARE(int(entry.KeyInfo[62].map), 61);
        insertComboKey(entry, 62, 30);   // the last place: only the press fits
        QCOMPARE(int(entry.KeyInfo[62].dataH), 0x80);
    }

    void fireRes1_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("res1");
        QTest::newRow("left") << int(FIRE_LEFT) << 63 << 0x81;
        QTest::newRow("right") << int(FIRE_RIGHT) << 0 << 0x82;
        QTest::newRow("middle is the button mask") << int(FIRE_MIDDLE) << 0 << 0x84;
        QTest::newRow("F5") << int(FIRE_KEYBOARD) << 63 << 0x3E;
        QTest::newRow("keypad 7") << int(FIRE_KEYBOARD) << 235 << 0x5F;
        QTest::newRow("no key") << int(FIRE_KEYBOARD) << 0 << 0;
    }
    void fireRes1()
    {
        QFETCH(int, mode);
        QFETCH(int, key);
        QFETCH(int, res1);
        QCOMPARE(int(fireKeyRes1(quint8(mode), quint8(key))), res1);
        if (res1 == 0)
            return;
        quint8 back = 0;
        QCOMPARE(int(fireModeFromRes1(quint8(res1), &back)), mode);
        if (mode == FIRE_KEYBOARD)
            QCOMPARE(int(back), key);
    }

    void fireModeOfStoredValues()
    {
        quint8 key = 1;
        QCOMPARE(int(fireModeFromRes1(0, &key)), int(FIRE_LEFT));
        QCOMPARE(int(key), 0);
        QCOMPARE(int(fireModeFromRes1(0x83, &key)), int(FIRE_KEYBOARD));
    }

    void sniperSteps_data()
    {
        QTest::addColumn<int>("sensor");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("3389 step 1") << 3389 << 1 << 6;
        QTest::newRow("3389 step 21") << 3389 << 21 << 6;
        QTest::newRow("3389 step 2") << 3389 << 2 << 2;
        QTest::newRow("3104 step 20") << 3104 << 20 << 20;
        QTest::newRow("3104 step 14") << 3104 << 14 << 14;
        QTest::newRow("3104 step 27") << 3104 << 27 << 14;
        QTest::newRow("3212 step 16") << 3212 << 16 << 16;
        QTest::newRow("3212 step 33") << 3212 << 33 << 16;
        QTest::newRow("3212 step 32") << 3212 << 32 << 32;
        QTest::newRow("3325 step 0") << 3325 << 0 << 3;
        QTest::newRow("3327 step 11") << 3327 << 11 << 3;
        QTest::newRow("3360 step 10") << 3360 << 10 << 10;
        QTest::newRow("3335 step 0") << 3335 << 0 << 3;
        QTest::newRow("3333 step 1 (below the slider)") << 3333 << 1 << 3;
        QTest::newRow("3333 step 2") << 3333 << 2 << 2;
        QTest::newRow("unknown sensor keeps 0") << 1234 << 0 << 0;
    }
    void sniperSteps()
    {
        QFETCH(int, sensor);
        QFETCH(int, stored);
        QFETCH(int, shown);
        QCOMPARE(int(sniperPresetStep(quint8(stored), sensor)), shown);
        int lo = 0;
        int hi = 0;
        if (sniperRange(sensor, &lo, &hi)) {
            QVERIFY2(shown >= lo && shown <= hi, "the preset step lies inside the slider's range");
        }
    }
};

QTEST_APPLESS_MAIN(TestKeyCapture)
#include "tst_keycapture.moc"

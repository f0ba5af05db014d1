// The button function catalogue: fixed device bytes, labels and menus, and
// the single-key, combo, fire-key, sniper and macro rules.

#include "device/buttoncatalogue.h"
#include "device/commands.h"
#include "tests/link/linktest.h"

#include <QtTest>

namespace {

ButtonEntry entryWith(int fun, quint8 res1 = 0, qint32 loop = 0, qint32 keys = 0)
{
    ButtonEntry e;
    e.Fun = fun;
    e.Res1 = res1;
    e.LoopNumber = loop;
    e.KeyNumber = keys;
    return e;
}

QByteArray deviceBytes(ButtonEntry e, int sensor = 0)
{
    return bytes(buttonDeviceBytes(e, sensor, nullptr));
}

// Press and release events of a combo as the button page stores them.
void setCombo(ButtonEntry &e, std::initializer_list<int> usages)
{
    int p = 0;
    QVector<int> order(usages);
    for (int u : order)
        e.KeyInfo[p++] = {quint8(u), 5, 0x80};
    for (int i = order.size() - 1; i >= 0; --i)
        e.KeyInfo[p++] = {quint8(order[i]), 5, 0x00};
}

} // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

private slots:
    // One code of each family of fixed bytes, and codes outside the catalogue.
    void fixedBytes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("Left") << 1 << bytes({0x81, 0, 0, 0});
        QTest::newRow("Right") << 2 << bytes({0x82, 0, 0, 0});
        QTest::newRow("Back") << 5 << bytes({0x84, 0, 0, 0});
        QTest::newRow("13") << 13 << bytes({0x30, 0, 0, 0});
        QTest::newRow("Button Off") << 16 << bytes({0, 0, 0, 0});
        QTest::newRow("Cut") << 17 << bytes({0x8F, 0x01, 0x1B, 0});
        QTest::newRow("Switch Window") << 25 << bytes({0x8F, 0x04, 0x2B, 0});
        QTest::newRow("Browser Home") << 31 << bytes({0x8E, 0x01, 0x23, 0x02});
        QTest::newRow("Mail") << 38 << bytes({0x8E, 0x01, 0x8A, 0x01});
        QTest::newRow("Play/Pause") << 39 << bytes({0x8E, 0x01, 0xCD, 0});
        QTest::newRow("Media Player") << 46 << bytes({0x8E, 0x01, 0x83, 0x01});
        QTest::newRow("DPI Switch") << 47 << bytes({0x88, 0, 0, 0});
        QTest::newRow("Rate +") << 50 << bytes({0x97, 0, 0, 0});
        QTest::newRow("Scroll Up") << 52 << bytes({0x8B, 0, 0, 0});
        QTest::newRow("Led Switch") << 54 << bytes({0x9B, 0x08, 0, 0});
        QTest::newRow("Profile +") << 57 << bytes({0x94, 0, 0, 0});
        QTest::newRow("60") << 60 << bytes({0x9F, 0, 0, 0});
        QTest::newRow("Boss Key") << 62 << bytes({0x8F, 0x08, 0x10, 0});
        QTest::newRow("Rate Switch") << 63 << bytes({0x97, 0x01, 0, 0});
        QTest::newRow("8 (unknown)") << 8 << bytes({0, 0, 0, 0});
        QTest::newRow("56 (unknown)") << 56 << bytes({0, 0, 0, 0});
        QTest::newRow("-1 (unknown)") << -1 << bytes({0, 0, 0, 0});
        QTest::newRow("1000 (unknown)") << 1000 << bytes({0, 0, 0, 0});
    }
    void fixedBytes()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, expected);
        QCOMPARE(deviceBytes(entryWith(code, 7, 300, 40)), expected);
    }

    void catalogueIsOrderedAndComplete()
    {
        const ButtonFunction *all = buttonFunctions();
        QCOMPARE(buttonFunctionCount(), 58);
        for (int i = 1; i < buttonFunctionCount(); ++i)
            QVERIFY(all[i - 1].code < all[i].code);
        for (int code : {8, 9, 10, 11, 14, 15, 56, 64, 199, 201, 509})
            QVERIFY(!findButtonFunction(code));
    }

    void labelsAndMenus()
    {
        QCOMPARE(buttonFunctionLabel(1), QStringLiteral("Left"));
        QCOMPARE(buttonFunctionLabel(62), QStringLiteral("Boss Key"));
        QCOMPARE(buttonFunctionLabel(55), QStringLiteral("SNIPER"));
        QCOMPARE(buttonFunctionLabel(13), QString());
        QCOMPARE(buttonFunctionLabel(8), QString());
        QCOMPARE(QString(buttonFunctionActionText(200)), QStringLiteral("Macro Manager"));
        QCOMPARE(QString(buttonFunctionActionText(510)), QStringLiteral("GunFile Manager"));
        QCOMPARE(QString(buttonMenuTitle(MENU_POLLING_RATE)), QStringLiteral("Polling Rate"));
        QCOMPARE(QString(buttonMenuTitle(MENU_PROFILE)), QStringLiteral("Profile Menu"));

        // The wheel menu offers exactly its eleven functions.
        QList<int> wheel;
        for (int i = 0; i < buttonFunctionCount(); ++i)
            if (buttonFunctions()[i].menus & MENU_WHEEL)
                wheel.append(buttonFunctions()[i].code);
        QCOMPARE(wheel, (QList<int>{1, 2, 3, 4, 5, 6, 7, 43, 44, 52, 53}));
        QCOMPARE(findButtonFunction(12)->menus, quint16(MENU_ADVANCE));
        QCOMPARE(findButtonFunction(55)->menus, quint16(MENU_NONE));
        QCOMPARE(findButtonFunction(16)->menus, quint16(MENU_TOP));
    }

    void entryLabels()
    {
        ButtonEntry macro = entryWith(200);
        macro.macroname = QStringLiteral("reload");
        QCOMPARE(buttonEntryLabel(macro, 4), QStringLiteral("reload"));
        macro.Fun = 510;
        QCOMPARE(buttonEntryLabel(macro, 4), QStringLiteral("reload"));
        // Scroll codes are labelled on the wheel entries only, but still encode.
        const ButtonEntry scroll = entryWith(52);
        QCOMPARE(buttonEntryLabel(scroll, 3), QString());
        QCOMPARE(buttonEntryLabel(scroll, 40), QStringLiteral("Scroll Up"));
        QCOMPARE(buttonEntryLabel(entryWith(53), 41), QStringLiteral("Scroll Down"));
        QCOMPARE(deviceBytes(scroll), bytes({0x8B, 0, 0, 0}));
        QCOMPARE(buttonEntryLabel(entryWith(8), 0), QString());
    }

    void singleKey()
    {
        QCOMPARE(deviceBytes(entryWith(6, 30)), bytes({0x90, 0, 0x04, 0}));    // A
        QCOMPARE(deviceBytes(entryWith(6, 83)), bytes({0x90, 0, 0x4C, 0}));    // Delete
        QCOMPARE(deviceBytes(entryWith(6, 0)), bytes({0x90, 0, 0, 0}));        // no usage
    }

    void combo()
    {
        ButtonEntry e = entryWith(7);
        setCombo(e, {0xE0, 0xE2, 0x4C});   // Ctrl + Alt + Delete, six events
        QCOMPARE(deviceBytes(e), bytes({0x8F, 0x05, 0x4C, 0x00}));

        ButtonEntry all = entryWith(7);
        setCombo(all, {0xE1, 0xE0, 0xE3, 0xE2, 0x04});   // Shift Ctrl Win Alt A: exactly ten events
        QCOMPARE(deviceBytes(all), bytes({0x8F, 0x0F, 0x04, 0x00}));

        // Right-hand modifiers count like the left ones; no key gives 0.
        ButtonEntry right = entryWith(7);
        setCombo(right, {0xE4, 0xE5, 0xE6, 0xE7});
        QCOMPARE(deviceBytes(right), bytes({0x8F, 0x0F, 0x00, 0x00}));

        // Only the first ten events count, and empty ones are skipped.
        ButtonEntry longer = entryWith(7);
        setCombo(longer, {0xE0, 0x04});
        longer.KeyInfo[10] = {0xE2, 5, 0x80};
        longer.KeyInfo[11] = {0x05, 5, 0x80};
        QCOMPARE(deviceBytes(longer), bytes({0x8F, 0x01, 0x04, 0x00}));

        // The last non-modifier wins.
        ButtonEntry two = entryWith(7);
        two.KeyInfo[0] = {0x04, 5, 0x80};
        two.KeyInfo[2] = {0x05, 5, 0x80};
        QCOMPARE(deviceBytes(two), bytes({0x8F, 0x00, 0x05, 0x00}));
    }

    void fireKey()
    {
        QCOMPARE(deviceBytes(entryWith(12, 0, 9, 500)), bytes({0x99, 0x81, 0x03, 0x00}));
        QCOMPARE(deviceBytes(entryWith(12, 0x82, 5, 120)), bytes({0x99, 0x82, 0x05, 0x0C}));
        QCOMPARE(deviceBytes(entryWith(12, 0x04, 0x1FF, 2559)), bytes({0x99, 0x04, 0xFF, 0xFF}));
        QCOMPARE(deviceBytes(entryWith(12, 0x84, 1, 9)), bytes({0x99, 0x84, 0x01, 0x00}));
    }

    void sniper_data()
    {
        QTest::addColumn<int>("sensor");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("value");
        QTest::newRow("3104") << 3104 << 14 << 14;
        QTest::newRow("3212") << 3212 << 20 << 20;
        QTest::newRow("3389") << 3389 << 6 << 6;
        QTest::newRow("3360") << 3360 << 3 << 2;
        QTest::newRow("3325 step 3") << 3325 << 3 << 6;
        QTest::newRow("3325 step 10") << 3325 << 10 << 23;
        QTest::newRow("3327 step 3") << 3327 << 3 << 9;
        QTest::newRow("3327 step 1") << 3327 << 1 << 4;
        QTest::newRow("3335 step 3") << 3335 << 3 << 3;
        QTest::newRow("3335 step 8") << 3335 << 8 << 9;
        QTest::newRow("3335 past the table") << 3335 << 255 << 188;
        QTest::newRow("3395 other") << 3395 << 3 << 4;
        QTest::newRow("33352 other") << 33352 << 3 << 4;
        QTest::newRow("no sensor") << 0 << 7 << 4;
    }
    void sniper()
    {
        QFETCH(int, sensor);
        QFETCH(int, step);
        QFETCH(int, value);
        QCOMPARE(deviceBytes(entryWith(55, quint8(step)), sensor), bytes({0x9A, 0x01, value, value}));
    }

    void macroLoopModes()
    {
        QCOMPARE(bytes(macroBytes(false, 2, 0, 0x0103)), bytes({0x91, 0x02, 0x03, 0x01}));
        QCOMPARE(bytes(macroBytes(false, 2, 1, 7)), bytes({0x91, 0x82, 0xFF, 0xFF}));
        QCOMPARE(bytes(macroBytes(false, 2, 2, 7)), bytes({0x91, 0x42, 0xFF, 0xFF}));
        QCOMPARE(bytes(macroBytes(true, 1, 0, 5)), bytes({0x9D, 0x01, 0x05, 0x00}));
        // A mode the selection cannot produce plays like mode 0.
        QCOMPARE(bytes(macroBytes(false, 3, 7, 4)), bytes({0x91, 0x03, 0x04, 0x00}));
    }

    // Names get slots in entry order; a name met again keeps its slot; the
    // slot goes to Res4.
    void macroSlotsShared()
    {
        MacroSlotTable table;
        ButtonEntry a = entryWith(200, 0, 1);
        a.macroname = QStringLiteral("alpha");
        ButtonEntry b = entryWith(510, 1);
        b.macroname = QStringLiteral("beta");
        ButtonEntry a2 = entryWith(200, 2);
        a2.macroname = QStringLiteral("alpha");
        a.Res4 = b.Res4 = a2.Res4 = 99;
        QCOMPARE(bytes(buttonDeviceBytes(a, 0, &table)), bytes({0x91, 0x00, 0x01, 0x00}));
        QCOMPARE(bytes(buttonDeviceBytes(b, 0, &table)), bytes({0x9D, 0x81, 0xFF, 0xFF}));
        QCOMPARE(bytes(buttonDeviceBytes(a2, 0, &table)), bytes({0x91, 0x40, 0xFF, 0xFF}));
        QCOMPARE(int(a.Res4), 0);
        QCOMPARE(int(b.Res4), 1);
        QCOMPARE(int(a2.Res4), 0);
        QCOMPARE(table.size(), 2);
        QCOMPARE(table.find(QStringLiteral("beta")), 1);
        QCOMPARE(table.find(QStringLiteral("gamma")), -1);
        table.remove(QStringLiteral("alpha"));
        QCOMPARE(table.find(QStringLiteral("alpha")), -1);
        // After a removal a new name still gets a number no other name holds.
        QCOMPARE(int(table.slotFor(QStringLiteral("gamma"))), 2);
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"

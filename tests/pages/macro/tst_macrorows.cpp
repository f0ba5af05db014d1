// The pure rules under the macro page: key remapping, delay units, rows and
// their balance, and the gun set's events.

#include "pages/macro/macrorows.h"
#include "profile/keys.h"

#include <QtTest>

using namespace macro;

Q_DECLARE_METATYPE(QVector<KeyInfo>)

namespace {
KeyInfo k(int map, int dataL, int dataH = 0)
{
    KeyInfo info;
    info.map = quint8(map);
    info.dataL = quint8(dataL);
    info.dataH = quint8(dataH);
    return info;
}
QString dump(const QVector<KeyInfo> &rows)
{
    QStringList parts;
    for (const KeyInfo &r : rows)
        parts << QStringLiteral("%1/%2/%3").arg(r.map).arg(r.dataH).arg(r.dataL);
    return parts.join(QLatin1Char(' '));
}
} // namespace

class TestMacroRows : public QObject {
    Q_OBJECT
private slots:
    void remap_data()
    {
        QTest::addColumn<uint>("scan");
        QTest::addColumn<uint>("flags");
        QTest::addColumn<uint>("vk");
        QTest::addColumn<uint>("outScan");
        QTest::addColumn<uint>("outFlags");
        QTest::newRow("keypad 7") << 0x47u << 0x00u << 0u << 0xEBu << 0x00u;
        QTest::newRow("Home") << 0x47u << 0x01u << 0u << 0x47u << 0x01u;
        QTest::newRow("keypad 7 up") << 0x47u << 0x80u << 0u << 0xEBu << 0x80u;
        QTest::newRow("Home up") << 0x47u << 0x81u << 0u << 0x47u << 0x81u;
        QTest::newRow("left Ctrl") << 0x1Du << 0x00u << 0xA2u << 0x1Du << 0x00u;
        QTest::newRow("right Ctrl") << 0x1Du << 0x01u << 0xA3u << 0xEEu << 0x01u;
        QTest::newRow("right Ctrl up") << 0x1Du << 0x81u << 0xA3u << 0xEEu << 0x81u;
        QTest::newRow("left Ctrl up") << 0x1Du << 0x80u << 0xA2u << 0x1Du << 0x80u;
        QTest::newRow("Num Lock") << 0x45u << 0x01u << 0u << 0xE1u << 0x01u;
        QTest::newRow("keypad Enter") << 0x1Cu << 0x01u << 0u << 0xE5u << 0x01u;
        QTest::newRow("Enter") << 0x1Cu << 0x00u << 0u << 0x1Cu << 0x00u;
        QTest::newRow("keypad / up") << 0x35u << 0x81u << 0u << 0xE2u << 0x81u;
        QTest::newRow("keypad . ") << 0x53u << 0x00u << 0u << 0xE0u << 0x00u;
        QTest::newRow("Delete") << 0x53u << 0x01u << 0u << 0x53u << 0x01u;
        QTest::newRow("keypad * ") << 0x37u << 0x00u << 0u << 0xE3u << 0x00u;
        QTest::newRow("A with Alt held") << 0x1Eu << 0x20u << 0u << 0x1Eu << 0x00u;
        QTest::newRow("keypad 4 with Alt held") << 0x4Bu << 0x20u << 0u << 0xE9u << 0x00u;
        QTest::newRow("right Alt") << 0x38u << 0x21u << 0xA5u << 0xEFu << 0x00u;
        QTest::newRow("right Alt up") << 0x38u << 0x81u << 0xA5u << 0xEFu << 0x81u;
        QTest::newRow("left Alt") << 0x38u << 0x00u << 0xA4u << 0x38u << 0x00u;
    }
    void remap()
    {
        QFETCH(uint, scan);
        QFETCH(uint, flags);
        QFETCH(uint, vk);
        QFETCH(uint, outScan);
        QFETCH(uint, outFlags);
        const HookedKey key = remapHookedKey(scan, flags, vk);
        QCOMPARE(key.scanCode, quint32(outScan));
        QCOMPARE(key.flags, quint32(outFlags));
    }

    void delayUnits_data()
    {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("units");
        QTest::newRow("same tick") << qint64(0) << 10 << 1;
        QTest::newRow("below a unit") << qint64(4) << 10 << 1;
        QTest::newRow("250 ms") << qint64(250) << 10 << 25;
        QTest::newRow("259 ms") << qint64(259) << 10 << 25;
        QTest::newRow("unit 20") << qint64(250) << 20 << 12;
        QTest::newRow("a long pause stops at the largest delay") << qint64(10000000) << 10 << 65535;
    }
    void delayUnits()
    {
        QFETCH(qint64, elapsed);
        QFETCH(int, unit);
        QFETCH(int, units);
        QCOMPARE(measuredDelayUnits(elapsed, unit), units);
        const KeyInfo row = delayRow(units);
        QCOMPARE(row.map, quint8(6));
        QCOMPARE(row.dataH * 256 + row.dataL, units);
    }

    void keyRowsCarryUsages()
    {
        // The file holds HID usages; the editor shows key codes.
        QCOMPARE(int(keyRow(30, true).map), 132);
        QCOMPARE(int(keyRow(30, true).dataL), 0x04);
        QCOMPARE(int(keyRow(30, false).map), 4);
        QCOMPARE(int(keyRow(0xEB, true).dataL), 0x5F);   // keypad 7
        QCOMPARE(int(keyRow(0x47, true).dataL), 0x4A);   // Home
        QCOMPARE(keyRowCode(keyRow(0xEE, true)), 0xEE);
        QCOMPARE(keyName(keyRowCode(keyRow(0xEE, true)), false), QStringLiteral("RCtr"));
        // A key without a usage keeps its scan code.
        QCOMPARE(int(keyRow(0x54, true).dataL), 0x54);
    }

    void moves()
    {
        QCOMPARE(moveRowX(moveRow(-3, 0)), -3);
        QCOMPARE(int(moveRow(-3, 0).dataH), 253);
        QCOMPARE(moveRowY(moveRow(0, 5)), 5);
        QCOMPARE(rowCommand(commandMoveRow(CMD_MOVE_UP, 7)), int(CMD_MOVE_UP));
        QCOMPARE(moveRowY(commandMoveRow(CMD_MOVE_UP, 7)), -7);
        QCOMPARE(rowCommand(mouseButtonRow(MOUSE_BACK, true)), int(CMD_BACKWARD));
        QCOMPARE(rowCommand(k(132, 4)), -1);
    }

    void balance_data()
    {
        QTest::addColumn<QVector<KeyInfo>>("rows");
        QTest::addColumn<bool>("balanced");
        QTest::newRow("empty") << QVector<KeyInfo>{} << true;
        QTest::newRow("press release") << QVector<KeyInfo>{k(132, 4), k(6, 5), k(4, 4)} << true;
        QTest::newRow("held") << QVector<KeyInfo>{k(132, 4), k(132, 5), k(4, 5)} << false;
        QTest::newRow("released first, pressed after") << QVector<KeyInfo>{k(4, 4), k(132, 4)} << false;
        QTest::newRow("two presses, one release") << QVector<KeyInfo>{k(132, 4), k(132, 4), k(4, 4)} << false;
        QTest::newRow("a key and a button of the same number")
            << QVector<KeyInfo>{k(132, 1), k(129, 1)} << false;
        QTest::newRow("button click") << QVector<KeyInfo>{k(1, 1), k(129, 1), k(2, 0, 5)} << true;
        QTest::newRow("button held") << QVector<KeyInfo>{k(1, 2)} << false;
    }
    void balance()
    {
        QFETCH(QVector<KeyInfo>, rows);
        QFETCH(bool, balanced);
        QCOMPARE(rowsBalanced(rows), balanced);
    }

    void gunSetShots()
    {
        // Two shots, delay 100, x -3, y 5: ten events.
        const QVector<KeyInfo> two = gunSetEvents({{100, -3, 5}, {100, -3, 5}});
        const QVector<KeyInfo> shot{k(0x01, 0x01), k(0x81, 0x01), k(0x02, 0, 253), k(0x02, 5, 0), k(0x06, 10, 0)};
        QCOMPARE(dump(two), dump(shot + shot));
        // No movement: press, release, delay. 5 ms: a delay of 0 units.
        QCOMPARE(dump(gunSetEvents({{5, 0, 0}})), dump({k(1, 1), k(0x81, 1), k(6, 0, 0)}));
    }
};

QTEST_GUILESS_MAIN(TestMacroRows)
#include "tst_macrorows.moc"

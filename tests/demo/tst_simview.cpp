// What the demo's mouse panel reads out of the simulated mouse and sends to
// it, without widgets: block decoding, frame text, the status reports of the
// mouse's own buttons, battery bytes per level, and the panel's place.

#include "app/batterylevel.h"
#include "app/demo/simview.h"

#include <QtTest>

using namespace simview;

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

QByteArray frame(quint8 command, quint8 b4, quint8 b5, quint8 segment, const QByteArray &data = QByteArray())
{
    QByteArray f(33, '\0');
    f[0] = 0x05;
    f[1] = 0x11;   // not checked here
    f[2] = char(0xFA);
    f[3] = char(command);
    f[4] = char(b4);
    f[5] = char(b5);
    f[6] = char(data.size());
    f[7] = char(segment);
    f.replace(8, data.size(), data);
    return f;
}

// A general block as the download builds it.
QByteArray general(int profile, int stage, std::initializer_list<int> rates)
{
    QByteArray g(19, '\0');
    for (int p = 0; p < 5; ++p)
        g[p] = char(3 + p);   // scroll speeds
    g[5] = char(0x60);
    g[6] = char(profile);
    g[7] = char(0xFF);
    g[8] = 5;
    g[9] = 2;
    g[10] = 1;
    int i = 11;
    for (int r : rates)
        g[i++] = char(r);
    g[16] = 0x1F;
    g[17] = char(stage);
    g[18] = 3;
    return g;
}

// A DPI block: count, then (used, x, y) per stage, values as DPI indices.
QByteArray dpi(int count, const QVector<std::array<int, 3>> &stages)
{
    QByteArray d(41, '\0');
    d[0] = char(count);
    for (int i = 0; i < stages.size(); ++i) {
        const int base = 1 + 5 * i;
        d[base] = char(stages[i][0]);
        d[base + 1] = char(stages[i][1] & 0xFF);
        d[base + 2] = char(stages[i][1] >> 8);
        d[base + 3] = char(stages[i][2] & 0xFF);
        d[base + 4] = char(stages[i][2] >> 8);
    }
    return d;
}

Snapshot snapshot(const QByteArray &g, const QByteArray &d, int active, quint8 mode = 0)
{
    Snapshot s;
    s.blocks[int(sim::Block::Settings) - 1] = g;
    s.blocks[int(sim::Block::Dpi) - 1] = d;
    s.activeProfile = active;
    s.battery.mode = mode;
    return s;
}

} // namespace

class SimViewTest : public QObject {
    Q_OBJECT

private slots:
    // Each level's bytes land well inside the band the main window shows,
    // by the program's own reckoning: the neighbours show the same level.
    void batteryBytesPerLevel()
    {
        for (int level = 10; level <= 100; level += 10) {
            const quint16 raw = rawForLevel(level);
            const int shown = batteryLevel(batteryMillivolts(quint8(raw & 0xFF), quint8(raw >> 8)), 4200);
            QCOMPARE(shown, level);
            QCOMPARE(levelOfRaw(quint16(raw - 3)), level);
            QCOMPARE(levelOfRaw(quint16(raw + 3)), level);
        }
        QCOMPARE(rawForLevel(90), quint16(0x03EE));
        QCOMPARE(millivoltsOfRaw(0x03F2), 4166);   // the demo's start value
        QCOMPARE(rawForLevel(95), rawForLevel(90));
        QCOMPARE(rawForLevel(0), rawForLevel(10));
        QCOMPARE(rawForLevel(250), rawForLevel(100));

        sim::BatteryState base;
        base.status = 1;
        base.mode = 8;
        const sim::BatteryState b = batteryFor(30, true, base);
        QCOMPARE(levelOfRaw(quint16(b.high << 8 | b.low)), 30);
        QCOMPARE(int(b.charge), 1);
        QCOMPARE(int(b.status), 1);
        QCOMPARE(int(b.mode), 8);
        QCOMPARE(int(batteryFor(30, false, base).charge), 0);
    }

    void generalBlock()
    {
        const General g = decodeGeneral(general(2, 4, {8, 4, 2, 1, 0x20}));
        QVERIFY(g.valid && g.written);
        QCOMPARE(int(g.scroll[0]), 3);
        QCOMPARE(int(g.scroll[4]), 7);
        QCOMPARE(int(g.sensorFlags), 0x60);
        QCOMPARE(int(g.profile), 2);
        QCOMPARE(int(g.moveOff), 0xFF);
        QCOMPARE(int(g.sleep), 5);
        QCOMPARE(int(g.debounce), 2);
        QCOMPARE(int(g.dpiStage), 4);
        QCOMPARE(int(g.lightingMode), 3);
        QCOMPARE(reportRateText(g.rates[0]), QStringLiteral("125 Hz"));
        QCOMPARE(reportRateText(g.rates[1]), QStringLiteral("250 Hz"));
        QCOMPARE(reportRateText(g.rates[2]), QStringLiteral("500 Hz"));
        QCOMPARE(reportRateText(g.rates[3]), QStringLiteral("1000 Hz"));
        QCOMPARE(reportRateText(g.rates[4]), QStringLiteral("code 20"));
        QCOMPARE(lightingModeName(g.lightingMode), QStringLiteral("Breathing"));
        QCOMPARE(lightingModeName(1), QStringLiteral("Off"));
        QCOMPARE(lightingModeName(10), QStringLiteral("Marbles"));
        QCOMPARE(lightingModeName(0), QStringLiteral("mode 0?"));

        QVERIFY(!decodeGeneral(QByteArray(19, '\0')).written);
        QVERIFY(!decodeGeneral(QByteArray(18, '\1')).valid);
    }

    // Values are little-endian DPI indices; 50 DPI per step from index 0.
    void dpiTable()
    {
        const DpiTable t = decodeDpi(dpi(4, {{1, 15, 15}, {1, 31, 63}, {0, 0, 0}, {1, 399, 399}}));
        QVERIFY(t.valid && t.written);
        QCOMPARE(t.stageCount, 4);
        QVERIFY(t.stages[0].used && !t.stages[2].used);
        QCOMPARE(dpiOfIndex(t.stages[0].x), 800);
        QCOMPARE(stageText(t.stages[0]), QStringLiteral("800"));
        QCOMPARE(stageText(t.stages[1]), QStringLiteral("1600/3200"));
        QCOMPARE(t.stages[3].bytes, bytes({1, 0x8F, 0x01, 0x8F, 0x01}));
        QCOMPARE(dpiOfIndex(t.stages[3].x), 20000);
        QVERIFY(!decodeDpi(QByteArray(40, '\0')).valid);
    }

    void keyNames_data()
    {
        QTest::addColumn<QByteArray>("slot");
        QTest::addColumn<QString>("name");
        QTest::newRow("off") << bytes({0, 0, 0, 0}) << "Off";
        QTest::newRow("left") << bytes({0x81, 0, 0, 0}) << "Left";
        QTest::newRow("right") << bytes({0x82, 0, 0, 0}) << "Right";
        QTest::newRow("middle") << bytes({0x83, 0, 0, 0}) << "Middle";
        QTest::newRow("back") << bytes({0x84, 0, 0, 0}) << "Back";
        QTest::newRow("forward") << bytes({0x85, 0, 0, 0}) << "Forward";
        QTest::newRow("dpi switch") << bytes({0x88, 0, 0, 0}) << "DPI Switch";
        QTest::newRow("dpi minus") << bytes({0x89, 0, 0, 0}) << "DPI -";
        QTest::newRow("dpi plus") << bytes({0x8A, 0, 0, 0}) << "DPI +";
        QTest::newRow("scroll up") << bytes({0x8B, 0, 0, 0}) << "Scroll up";
        QTest::newRow("scroll down") << bytes({0x8C, 0, 0, 0}) << "Scroll down";
        QTest::newRow("key") << bytes({0x90, 0, 0x04, 0}) << "Key 04";
        QTest::newRow("shortcut") << bytes({0x8F, 0x05, 0x4C, 0}) << "Shortcut Ctrl+Alt+key 4C";
        QTest::newRow("consumer") << bytes({0x8E, 0x01, 0x23, 0x02}) << "Consumer 0223";
        QTest::newRow("macro held") << bytes({0x91, 0x81, 0xFF, 0xFF}) << "Macro 1";
        QTest::newRow("fire") << bytes({0x99, 0x81, 0x03, 0}) << "Fire";
        QTest::newRow("sniper") << bytes({0x9A, 0x01, 4, 4}) << "Sniper";
        QTest::newRow("rate switch") << bytes({0x97, 0x01, 0, 0}) << "Rate switch";
        QTest::newRow("unknown") << bytes({0x30, 0, 0, 0}) << "";
        QTest::newRow("short") << bytes({0x81}) << "";
    }
    void keyNames()
    {
        QFETCH(QByteArray, slot);
        QFETCH(QString, name);
        QCOMPARE(keyFunctionName(slot), name);
    }

    // Slot s sits at bytes 2 + 4s, after the header 0A 00.
    void keyTable()
    {
        QByteArray block(128, '\0');
        block[0] = 0x0A;
        block.replace(2, 4, bytes({0x81, 0, 0, 0}));
        block.replace(2 + 4 * 22, 4, bytes({0x8B, 0, 0, 0}));
        block.replace(98, 4, bytes({0xFF, 0xFF, 0xFF, 0xFF}));
        KeyTable t = decodeKeys(block);
        QVERIFY(t.valid && t.written && t.headerOk);
        QCOMPARE(t.keys[0].name, QStringLiteral("Left"));
        QCOMPARE(t.keys[1].name, QStringLiteral("Off"));
        QCOMPARE(t.keys[22].bytes, bytes({0x8B, 0, 0, 0}));
        QCOMPARE(t.keys[22].name, QStringLiteral("Scroll up"));
        QCOMPARE(t.keys[23].bytes, QByteArray(4, '\0'));   // the trailer is not a slot
        block[0] = 0x0B;
        QVERIFY(!decodeKeys(block).headerOk);
        QVERIFY(!decodeKeys(QByteArray(128, '\0')).written);
    }

    void lightingRecords()
    {
        QByteArray block(80, '\0');
        block.replace(8, 8, bytes({0x80, 255, 96, 0, 1, 0, 2, 3}));
        block.replace(16, 8, bytes({0x80, 10, 20, 30, 1, 4, 4, 3}));
        const Lighting l = decodeLighting(block);
        QVERIFY(l.valid && l.written);
        QCOMPARE(l.records[1].colour, QColor(255, 96, 0));
        QCOMPARE(int(l.records[1].marker), 0x80);
        QCOMPARE(int(l.records[1].brightness), 3);
        QCOMPARE(l.records[1].name, QStringLiteral("Full lighted"));
        QCOMPARE(l.records[2].colour, QColor(10, 20, 30));
        QCOMPARE(int(l.records[2].speed), 4);
        QCOMPARE(int(l.records[2].kind), 1);
        QCOMPARE(l.records[9].name, QStringLiteral("Marbles"));
        QVERIFY(!decodeLighting(QByteArray(81, '\0')).valid);
    }

    // A slot counts as used by its first five bytes, as the download sends it.
    void macroMemory()
    {
        QByteArray block(4000, '\0');
        block.replace(0, 6, bytes({6, 1, 0, 0, 0, 0}));
        block.replace(606, 15, QByteArray(15, char(0x22)));   // starts with two zero events
        block.replace(800, 14, bytes({4, 0, 0x80, 4, 0, 0, 6, 1, 0, 6, 1, 0, 0, 0}));
        block[999] = 7;                                        // slot 4 runs to its end
        const MacroMemory m = decodeMacros(block);
        QVERIFY(m.valid);
        QCOMPARE(m.usedCount, 2);
        QVERIFY(m.macros[0].used);
        QCOMPARE(m.macros[0].length, 2);
        QCOMPARE(m.macros[0].head, bytes({6, 1}));
        QVERIFY(!m.macros[3].used);
        QVERIFY(m.macros[4].used);
        QCOMPARE(m.macros[4].length, 200);
        QCOMPARE(m.macros[4].head.size(), 12);
        QVERIFY(!m.macros[19].used);
        QVERIFY(!decodeMacros(QByteArray(3999, '\0')).valid);
    }

    void frameText()
    {
        QCOMPARE(describeFrame(frame(0x46, 0, 0, 0)), QStringLiteral("UPDATE begin"));
        QCOMPARE(describeFrame(frame(0x46, 1, 0, 0)), QStringLiteral("UPDATE end"));
        QCOMPARE(describeFrame(frame(0x01, 0, 0, 0xD1, QByteArray(19, '\1'))),
                 QStringLiteral("General settings · first @0 ×19"));
        QCOMPARE(describeFrame(frame(0x02, 6, 0, 0xD2, QByteArray(5, '\1'))),
                 QStringLiteral("DPI table · next @6 ×5"));
        QCOMPARE(describeFrame(frame(0x05, 0x58, 0x02, 0xD2, QByteArray(20, '\1'))),
                 QStringLiteral("Macro memory · next @600 ×20"));
        QCOMPARE(describeFrame(frame(0x03, 0x7F, 0, 0xD3, bytes({0x1A}))), QStringLiteral("Key table · end"));
        QCOMPARE(describeFrame(frame(0x40, 0xF3, 0x08, 0)), QStringLiteral("APPLY section 08"));
        QCOMPARE(describeFrame(frame(0x44, 2, 0, 0)), QStringLiteral("SELECT profile 3"));
        QCOMPARE(describeFrame(frame(0x48, 0, 0, 0)), QStringLiteral("BATTERY query"));
        QCOMPARE(describeFrame(frame(0x77, 0, 0, 0)), QStringLiteral("command 77"));
        QCOMPARE(describeFrame(bytes({5, 0, 0xFA})), QStringLiteral("not a command frame"));

        const QByteArray f = frame(0x04, 0, 0, 0xD1, QByteArray(24, char(0xAB)));
        const QStringList lines = frameByteLines(f, 12);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("05 11 FA 04 00 00 18 D1 | ") + hex(QByteArray(12, char(0xAB))));
        QCOMPARE(lines[1], hex(QByteArray(12, char(0xAB))));
        QCOMPARE(frameByteLines(frame(0x46, 0, 0, 0)), QStringList{QStringLiteral("05 11 FA 46 00 00 00 00")});
        QByteArray tooLong = frame(0x02, 0, 0, 0xD2, QByteArray(25, '\1'));
        tooLong[6] = char(40);   // a length past the frame shows what is there
        QCOMPARE(frameByteLines(tooLong, 100).join(QString()).count(QStringLiteral("01")), 25);
    }

    // The DPI button steps to the next stage the table enables, wrapping,
    // and keeps profile and rate; while the table enables none, all eight.
    void dpiButtonSteps()
    {
        const QByteArray g = general(1, 1, {1, 2, 4, 8, 1});
        const QByteArray d = dpi(5, {{1, 7, 7}, {1, 15, 15}, {0, 31, 31}, {1, 63, 63}, {1, 127, 127}, {1, 1, 1}});
        Status st = dpiButton(snapshot(g, d, 1, 8));
        QCOMPARE(int(st.profile), 1);
        QCOMPARE(int(st.dpi), 3);   // stage 2 is off
        QCOMPARE(int(st.rate), 2);
        QCOMPARE(int(st.mode), 8);
        QByteArray last = g;
        last[17] = 4;               // the last stage within the count: back to the first
        QCOMPARE(int(dpiButton(snapshot(last, d, 1)).dpi), 0);
        QByteArray none(41, '\0');
        QByteArray at7 = g;
        at7[17] = 7;
        QCOMPARE(int(dpiButton(snapshot(g, none, 1)).dpi), 2);
        QCOMPARE(int(dpiButton(snapshot(at7, none, 1)).dpi), 0);
    }

    void profileAndRateButtons()
    {
        const QByteArray g = general(4, 2, {8, 4, 2, 1, 2});
        const QByteArray d = dpi(4, {{1, 1, 1}, {1, 2, 2}, {1, 3, 3}, {1, 4, 4}});
        // Profile 5 wraps to profile 1 and reports that profile's rate.
        Status st = profileButton(snapshot(g, d, 4));
        QCOMPARE(int(st.profile), 0);
        QCOMPARE(int(st.dpi), 2);
        QCOMPARE(int(st.rate), 8);
        QCOMPARE(int(profileButton(snapshot(g, d, 1)).rate), 2);

        // 125 -> 250 -> 500 -> 1000 -> 125.
        QCOMPARE(int(rateButton(snapshot(g, d, 0)).rate), 4);
        QCOMPARE(int(rateButton(snapshot(g, d, 1)).rate), 2);
        QCOMPARE(int(rateButton(snapshot(g, d, 2)).rate), 1);
        QCOMPARE(int(rateButton(snapshot(g, d, 3)).rate), 8);
        QCOMPARE(int(rateButton(snapshot(g, d, 3)).profile), 3);

        // Nothing written yet: the mouse holds 1000 Hz for every profile.
        const QByteArray empty(19, '\0');
        QCOMPARE(int(profileButton(snapshot(empty, d, 0)).rate), 1);
        QCOMPARE(int(rateButton(snapshot(empty, d, 0)).rate), 8);
        QCOMPARE(nextReportRate(0x20), quint8(8));
    }

    void placement()
    {
        const QSize preferred(600, 864), minimum(480, 360);
        QPoint moved;
        // 1600 x 900 with the main window in the middle: it moves to the left
        // edge and the panel takes the rest of the width beside it.
        QRect p = placePanel(QRect(0, 0, 1600, 900), QRect(300, 130, 999, 640), preferred, minimum, &moved);
        QCOMPARE(moved, QPoint(0, 130));
        QCOMPARE(p, QRect(1007, 36, 593, 864));

        // Wider: the main window moves only as far as needed.
        p = placePanel(QRect(0, 0, 1920, 1080), QRect(460, 220, 999, 640), preferred, minimum, &moved);
        QCOMPARE(moved, QPoint(313, 220));
        QCOMPARE(p, QRect(1320, 216, 600, 864));
        p = placePanel(QRect(0, 0, 2560, 1440), QRect(100, 100, 999, 640), preferred, minimum, &moved);
        QCOMPARE(moved, QPoint(100, 100));
        QCOMPARE(p.topLeft(), QPoint(1107, 100));

        // A second screen to the right of the first.
        p = placePanel(QRect(1600, 0, 1600, 900), QRect(1900, 130, 999, 640), preferred, minimum, &moved);
        QCOMPARE(moved, QPoint(1600, 130));
        QCOMPARE(p.left(), 2607);

        // Narrow and tall: below, the main window moving up to make room.
        p = placePanel(QRect(0, 0, 1280, 1024), QRect(140, 192, 999, 640), preferred, minimum, &moved);
        QCOMPARE(moved, QPoint(140, 0));
        QCOMPARE(p, QRect(140, 648, 600, 376));
        QVERIFY(!p.intersects(QRect(moved, QSize(999, 640))));

        // No room anywhere: along the right edge.
        p = placePanel(QRect(0, 0, 1024, 768), QRect(12, 64, 999, 640), preferred, minimum, &moved);
        QCOMPARE(moved, QPoint(12, 64));
        QCOMPARE(p, QRect(424, 0, 600, 768));
    }
};

QTEST_GUILESS_MAIN(SimViewTest)
#include "tst_simview.moc"

// The command set: register sequences, DPI encodings of every sensor at its
// segment boundaries, the general settings, DPI, lighting and button blocks
// byte for byte, their packet runs, and the profile switch, against the
// simulated mouse on the virtual clock.

#include "device/commands.h"
#include "device/pollercontrol.h"
#include "tests/link/linktest.h"

#include <QtTest>

namespace {

template <std::size_t N>
bool nonDecreasing(const std::array<quint8, N> &seq)
{
    for (std::size_t i = 1; i < N; ++i)
        if (seq[i] < seq[i - 1])
            return false;
    return true;
}

template <std::size_t N>
QByteArray slice(const std::array<quint8, N> &seq, int from, int count)
{
    return QByteArray(reinterpret_cast<const char *>(seq.data()) + from, count);
}

ProfileSet sampleSet()
{
    ProfileSet set;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        set.profiles[i].scrollspeed = quint8(i + 1);
        set.profiles[i].pollrate = quint8(QVector<int>{8, 4, 2, 1, 8}[i]);
        set.profiles[i].dpi = quint8(10 + i);
        set.profiles[i].LedMode = quint8(i);
    }
    set.ProfileID = 2;
    set.profiles[2].dpi = 3;
    set.profiles[2].LedMode = 7;
    set.profiles[2].LedMoveOFF = 1;
    set.profiles[2].LedSleepTime = 5;
    set.profiles[0].LedMoveOFF = 9;    // only the active slot's lighting options go out
    set.profiles[0].LedSleepTime = 8;
    set.Debounce = 4;
    set.LiftHigh = 2;
    set.Sync = 1;
    set.AngleValue = 0;
    set.Jitter = 0;
    return set;
}

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT

    LinkFixture m_fixture;

private slots:
    void init()
    {
        LinkFixture::fresh();
        resetDeviceTables();
        setDeviceModeByte(0);
    }

    void registerSequences()
    {
        QCOMPARE(R3335.size(), std::size_t(161));
        QCOMPARE(R3311.size(), std::size_t(121));
        QCOMPARE(R3333.size(), std::size_t(81));
        QCOMPARE(R3327.size(), std::size_t(62));
        QCOMPARE(R3325.size(), std::size_t(51));
        QVERIFY(nonDecreasing(R3335));
        QVERIFY(nonDecreasing(R3311));
        QVERIFY(nonDecreasing(R3333));
        QVERIFY(nonDecreasing(R3327));
        QVERIFY(nonDecreasing(R3325));

        QCOMPARE(slice(R3335, 1, 10), bytes({0, 2, 3, 4, 5, 6, 7, 9, 10, 11}));
        QCOMPARE(slice(R3335, 118, 6), bytes({141, 142, 143, 144, 146, 147}));
        QCOMPARE(slice(R3335, 158, 3), bytes({187, 188, 188}));
        QCOMPARE(slice(R3311, 0, 121), slice(R3335, 0, 121));
        QCOMPARE(slice(R3333, 2, 8), bytes({4, 6, 9, 11, 14, 16, 18, 21}));
        QCOMPARE(slice(R3333, 79, 2), bytes({185, 187}));
        QCOMPARE(slice(R3327, 0, 8), bytes({0, 4, 6, 9, 11, 13, 15, 18}));
        QCOMPARE(slice(R3327, 60, 2), bytes({138, 140}));
        QCOMPARE(slice(R3325, 0, 9), bytes({0, 2, 4, 6, 8, 11, 13, 15, 18}));
        QCOMPARE(slice(R3325, 49, 2), bytes({113, 115}));

        // Indices past the end hold at the last entry.
        QCOMPARE(registerValue(R3335, 161), quint8(188));
        QCOMPARE(registerValue(R3325, 0xFFFFFFFFu), quint8(115));
    }

    void dpiEncoding_data()
    {
        QTest::addColumn<int>("sensor");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QByteArray>("expected");
        // 3104: Y's pair comes first.
        QTest::newRow("3104 106/107") << 3104 << 0 << 106 << 107 << bytes({54, 1, 106, 0});
        QTest::newRow("31042 14/158") << 31042 << 0 << 14 << 158 << bytes({105, 1, 14, 0});
        QTest::newRow("3212 63/64") << 3212 << 0 << 63 << 64 << bytes({63, 0, 32, 1});
        QTest::newRow("3212 94/95") << 3212 << 0 << 94 << 95 << bytes({62, 1, 32, 2});
        QTest::newRow("3212 111/16") << 3212 << 0 << 111 << 16 << bytes({48, 2, 16, 0});
        QTest::newRow("3311 120/121") << 3311 << 0 << 120 << 121 << bytes({143, 0, 72, 1});
        QTest::newRow("33112 1/180") << 33112 << 0 << 1 << 180 << bytes({0, 0, 143, 1});
        QTest::newRow("3325 50/51") << 3325 << 0 << 50 << 51 << bytes({115, 0, 60, 1});
        QTest::newRow("3325 75/76") << 3325 << 0 << 75 << 76 << bytes({115, 1, 60, 2});
        QTest::newRow("3325 90/1") << 3325 << 0 << 90 << 1 << bytes({92, 2, 2, 0});
        QTest::newRow("33252 1/75") << 33252 << 0 << 1 << 75 << bytes({2, 0, 115, 1});
        QTest::newRow("3327 61/62") << 3327 << 0 << 61 << 62 << bytes({140, 0, 72, 1});
        QTest::newRow("3327 92/93") << 3327 << 0 << 92 << 93 << bytes({140, 1, 95, 4});
        QTest::newRow("3327 106/0") << 3327 << 0 << 106 << 0 << bytes({124, 4, 0, 0});
        QTest::newRow("3333 79/80") << 3333 << 0 << 79 << 80 << bytes({185, 0, 94, 1});
        QTest::newRow("3333 2/120") << 3333 << 0 << 2 << 120 << bytes({4, 0, 187, 1});
        // 3335: X only, in both pairs.
        QTest::newRow("3335 160/5") << 3335 << 0 << 160 << 5 << bytes({188, 0, 188, 0});
        QTest::newRow("3335 161/1") << 3335 << 0 << 161 << 1 << bytes({144, 1, 144, 1});
        QTest::newRow("3335 1/99") << 3335 << 0 << 1 << 99 << bytes({0, 0, 0, 0});
        QTest::newRow("33352 180") << 33352 << 0 << 180 << 0 << bytes({166, 1, 166, 1});
        QTest::newRow("33352 200") << 33352 << 0 << 200 << 0 << bytes({188, 1, 188, 1});
        QTest::newRow("33352 201 holds") << 33352 << 0 << 201 << 0 << bytes({188, 1, 188, 1});
        QTest::newRow("33352 240 holds") << 33352 << 0 << 240 << 0 << bytes({188, 1, 188, 1});
        QTest::newRow("3360 120/121") << 3360 << 0 << 120 << 121 << bytes({119, 0, 60, 1});
        QTest::newRow("3360 180/1") << 3360 << 0 << 180 << 1 << bytes({119, 1, 0, 0});
        QTest::newRow("3370 200/201") << 3370 << 0 << 200 << 201 << bytes({199, 0, 100, 1});
        QTest::newRow("3370 290/1") << 3370 << 0 << 290 << 1 << bytes({189, 1, 0, 0});
        QTest::newRow("3389 320/321") << 3389 << 0 << 320 << 321 << bytes({0x40, 0x01, 0xA1, 0x80});
        QTest::newRow("3389 480/2") << 3389 << 0 << 480 << 2 << bytes({0x40, 0x81, 2, 0});
        QTest::newRow("3395 450/519") << 3395 << 0 << 450 << 519 << bytes({0xC2, 0x01, 0x07, 0x02});
        QTest::newRow("3395 mode 8") << 3395 << 8 << 450 << 100 << bytes({0x8F, 0x01, 0x64, 0x00});
        QTest::newRow("3395 mode 8 399") << 3395 << 8 << 399 << 400 << bytes({0x8F, 0x01, 0x8F, 0x01});
        QTest::newRow("3395 mode 7") << 3395 << 7 << 450 << 0 << bytes({0xC2, 0x01, 0, 0});
        QTest::newRow("33952 519/520") << 33952 << 0 << 519 << 520 << bytes({0x07, 0x02, 0x08, 0x02});
        QTest::newRow("33952 520/521") << 33952 << 0 << 520 << 521 << bytes({0x04, 0x81, 0x05, 0x81});
        QTest::newRow("33952 779/779") << 33952 << 0 << 779 << 779 << bytes({0x07, 0x82, 0x07, 0x82});
        QTest::newRow("3399 other") << 3399 << 0 << 100 << 100 << bytes({0, 0, 0, 0});
        QTest::newRow("no sensor") << 0 << 0 << 100 << 100 << bytes({0, 0, 0, 0});
        // A damaged value never reads past a sequence.
        QTest::newRow("3311 huge") << 3311 << 0 << 100000 << 0 << bytes({143, 1, 0, 0});
        QTest::newRow("3327 huge") << 3327 << 0 << 5000 << 5000 << bytes({140, 4, 140, 4});
    }
    void dpiEncoding()
    {
        QFETCH(int, sensor);
        QFETCH(int, mode);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QByteArray, expected);
        QCOMPARE(bytes(encodeDpiStage(quint32(x), quint32(y), sensor, quint8(mode))), expected);
    }

    void settingsBlock()
    {
        const ProfileSet set = sampleSet();
        const QByteArray common = bytes({1, 2, 3, 4, 5});
        const QByteArray tail = bytes({2, 1, 5, 4, 1, 8, 4, 2, 1, 8, 0x1F, 3, 6});
        QCOMPARE(settingsBlockBytes(set, 0), common + bytes({2}) + tail);
        QCOMPARE(settingsBlockBytes(set, 1), common + bytes({1}) + tail);
        QCOMPARE(settingsBlockBytes(set, 2), common + bytes({0xE2}) + tail);
        // Lighting shared by all slots: its mode and options come from slot 1,
        // the stage from the active slot.
        QCOMPARE(settingsBlockBytes(set, 0, 0),
                 common + bytes({2, 2, 9, 8, 4, 1, 8, 4, 2, 1, 8, 0x1F, 3, 1}));

        ProfileSet off = set;
        off.Sync = 0;
        off.AngleValue = 1;
        off.Jitter = 1;
        off.LiftHigh = 1;
        QCOMPARE(sensorOptionFlags(off, 1), quint8(0));
        QCOMPARE(sensorOptionFlags(off, 2), quint8(0x01));
        QCOMPARE(sensorOptionFlags(off, 7), quint8(0x01));
    }

    void lightingModeCodes()
    {
        const int expected[] = {1, 2, 3, 4, 5, 6, 6, 6, 6, 6, 8, 7, 9, 10};
        for (int mode = 0; mode < 14; ++mode)
            QCOMPARE(int(lightingModeCode(mode)), expected[mode]);
        QCOMPARE(int(lightingModeCode(14)), 6);
        QCOMPARE(int(lightingModeCode(255)), 6);
    }

    // Written to the simulated mouse with the Sync switch of the description.
    void settingsBlockOnTheWire()
    {
        writeDeviceFacts({4, 4, 2, 0, {0, 1, 2, 3}});
        LinkFixture::connect(true, false);
        QCOMPARE(writeSettingsBlock(sampleSet()), quint8(SEND_OK));
        const QByteArray expected = bytes({1, 2, 3, 4, 5, 0xE2, 2, 1, 5, 4, 1, 8, 4, 2, 1, 8, 0x1F, 3, 6});
        QCOMPARE(sim::block(sim::Block::Settings), expected);
        QCOMPARE(sim::activeProfile(), 2);
        QCOMPARE(sim::writtenFrames(), (QVector<QByteArray>{wireFrame(0x01, 0, 0, 0xD1, expected),
                                                             wireFrame(0x01, 0x7F, 0, 0xD3, bytes({0x1A}))}));
    }

    void dpiStageCount_data()
    {
        QTest::addColumn<int>("described");
        QTest::addColumn<int>("sent");
        QTest::newRow("0") << 0 << 8;
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("3") << 3 << 3;
        QTest::newRow("8") << 8 << 8;
        QTest::newRow("9") << 9 << 8;
    }
    void dpiStageCount()
    {
        QFETCH(int, described);
        QFETCH(int, sent);
        ProfileData p;
        for (int i = 0; i < STAGE_COUNT; ++i) {
            p.stages[i].used = 1;
            p.stages[i].x = quint32(10 * (i + 1));
            p.stages[i].y = quint32(10 * (i + 1) + 1);
        }
        const QByteArray b = dpiBlockBytes(p, described, 3370, 0);
        QCOMPARE(b.size(), 41);
        QCOMPARE(int(b[0]), sent);
        for (int i = 0; i < STAGE_COUNT; ++i) {
            const int v = 10 * (i + 1);
            // 3370 below 200: the index minus one, range 0.
            QCOMPARE(b.mid(1 + 5 * i, 5), bytes({i < sent ? 1 : 0, v - 1, 0, v, 0}));
        }
    }

    // An unknown sensor still sends the used flags; the values are zero.
    void dpiBlockOnTheWire()
    {
        writeDeviceFacts({4, 2, 0, 0, {0, 1, 2, 3}});
        writeSensor(4242);
        LinkFixture::connect(true, false);
        ProfileSet set;
        set.profiles[0].stages[0] = {1, 0, 0, 50, 60};
        set.profiles[0].stages[1] = {1, 0, 0, 70, 80};
        set.profiles[0].stages[2] = {1, 0, 0, 90, 90};
        set.profiles[1].stages[0] = {0, 0, 0, 1, 1};
        QCOMPARE(writeDpiBlock(set), quint8(SEND_OK));
        QByteArray expected = bytes({2, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0});
        expected.append(QByteArray(30, '\0'));
        QCOMPARE(sim::block(sim::Block::Dpi), expected);

        const QVector<QByteArray> frames = sim::writtenFrames();
        QCOMPARE(frames.size(), 10);
        QCOMPARE(frames[0], wireFrame(0x02, 0, 0, 0xD1, bytes({2})));
        for (int i = 0; i < 8; ++i)
            QCOMPARE(frames[1 + i], wireFrame(0x02, 1 + 5 * i, 0, 0xD2, expected.mid(1 + 5 * i, 5)));
        QCOMPARE(frames[9], wireFrame(0x02, 0x7F, 0, 0xD3, bytes({0x1A})));
    }

    // The 3395 cap follows the mode byte the poller reported last.
    void dpiBlockReadsTheModeByte()
    {
        writeDeviceFacts({4, 1, 0, 0, {0, 1, 2, 3}});
        writeSensor(3395);
        ProfileSet set;
        set.profiles[0].stages[0] = {1, 0, 0, 450, 500};
        QCOMPARE(frameWire(dpiBlockFrames(set)[1]).mid(8, 5), bytes({1, 0xC2, 0x01, 0xF4, 0x01}));
        setDeviceModeByte(8);
        QCOMPARE(frameWire(dpiBlockFrames(set)[1]).mid(8, 5), bytes({1, 0x8F, 0x01, 0x8F, 0x01}));
    }

    void lightingBlock()
    {
        writeDeviceFacts({4, 4, 0, 0, {0, 1, 2, 3}});
        LinkFixture::connect(true, false);
        ProfileSet set;
        for (int i = 0; i < EFFECT_COUNT; ++i) {
            LightEffect &e = set.profiles[0].effects[i];
            e.colour = QColor(0x10 + i, 0x20 + i, 0x30 + i);
            e.bright = 0x40 + i;
            e.breath = 0x50 + i;
        }
        set.profiles[0].effects[4].bright = 0x1234;   // only the low byte goes out
        set.profiles[1].effects[1].colour = Qt::white;
        const QByteArray expected = bytes({
            0x80, 0, 0, 0, 0, 0, 0, 0,
            0x80, 0x11, 0x21, 0x31, 1, 0, 2, 0x41,
            0x80, 0x12, 0x22, 0x32, 1, 0x52, 4, 3,
            0x80, 0, 0, 0, 1, 0x53, 1, 3,
            0x80, 0, 0, 0, 1, 0x54, 8, 0x34,
            0x80, 0, 0, 0, 5, 0x59, 1, 0x49,
            0x80, 0, 0, 0, 7, 0, 0, 0x4B,
            0x80, 0, 0, 0, 6, 0x5A, 0, 0x4A,
            0x80, 0, 0, 0, 8, 0x5C, 0, 0x4C,
            0x80, 0, 0, 0, 9, 0x5D, 0, 0x4D,
        });
        QCOMPARE(lightingBlockBytes(set.profiles[0]), expected);
        QCOMPARE(writeLightingBlock(set), quint8(SEND_OK));
        QCOMPARE(sim::block(sim::Block::Lighting), expected);
        QCOMPARE(headers(sim::writtenFrames()),
                 (QStringList{"04:00:00:18:d1", "04:18:00:18:d2", "04:30:00:18:d2", "04:48:00:08:d2", "04:7f:00:01:d3"}));
        // An invalid colour sends zeros.
        QCOMPARE(lightingBlockBytes(ProfileData()).mid(8, 4), bytes({0x80, 0, 0, 0}));
    }

    // Three buttons through the matrix 2, 0, 1, the wheel into slots 22/23.
    void buttonBlockPlacement()
    {
        writeDeviceFacts({3, 4, 0, 0, {2, 0, 1}});
        LinkFixture::connect(true, false);
        ProfileSet set;
        ButtonEntry *b = set.profiles[0].buttons;
        b[0].Fun = 1;
        b[1].Fun = 2;
        b[2].Fun = 47;
        b[3].Fun = 3;        // beyond the button count: never written
        b[40].Fun = 52;
        b[41].Fun = 53;
        set.profiles[1].buttons[0].Fun = 2;   // other profiles never go out
        QCOMPARE(writeButtonBlock(set), quint8(SEND_OK));

        QByteArray expected(128, '\0');
        expected.replace(0, 2, bytes({0x0A, 0x00}));
        expected.replace(2, 4, bytes({0x82, 0, 0, 0}));     // slot 0: entry 1
        expected.replace(6, 4, bytes({0x88, 0, 0, 0}));     // slot 1: entry 2
        expected.replace(10, 4, bytes({0x81, 0, 0, 0}));    // slot 2: entry 0
        expected.replace(90, 4, bytes({0x8B, 0, 0, 0}));    // slot 22: entry 40
        expected.replace(94, 4, bytes({0x8C, 0, 0, 0}));    // slot 23: entry 41
        QCOMPARE(bytes(buttonTable()), expected);
        QByteArray image = expected;
        image.replace(98, 4, bytes({0xFF, 0xFF, 0xFF, 0xFF}));
        QCOMPARE(sim::block(sim::Block::Keys), image);
        QCOMPARE(headers(sim::writtenFrames()),
                 (QStringList{"03:00:00:02:d1", "03:02:00:18:d2", "03:1a:00:18:d2", "03:32:00:18:d2",
                              "03:4a:00:18:d2", "03:62:00:04:d2", "03:7f:00:01:d3"}));
        QCOMPARE(sim::writtenFrames()[5], wireFrame(0x03, 98, 0, 0xD2, bytes({0xFF, 0xFF, 0xFF, 0xFF})));

        // ScrollRev swaps the wheel table.
        writeDeviceFacts({3, 4, 0, 1, {2, 0, 1}});
        QCOMPARE(writeButtonBlock(set), quint8(SEND_OK));
        QCOMPARE(bytes(buttonTable()).mid(90, 8), bytes({0x8C, 0, 0, 0, 0x8B, 0, 0, 0}));
    }

    // Slots no entry fills keep what the previous download put there; a
    // matrix slot past the table is skipped.
    void buttonTablePersists()
    {
        ProfileData p;
        p.buttons[0].Fun = 1;
        p.buttons[1].Fun = 2;
        p.buttons[40].Fun = 43;
        p.buttons[41].Fun = 44;
        ButtonLayout layout;
        layout.buttonCount = 2;
        layout.matrix = {{0, 1}};
        std::array<quint8, BUTTON_TABLE_SIZE> table{};
        MacroSlotTable macros;
        fillButtonTable(table, p, layout, macros);
        QCOMPARE(bytes(table).mid(2, 8), bytes({0x81, 0, 0, 0, 0x82, 0, 0, 0}));

        p.buttons[0].Fun = 5;
        p.buttons[1].Fun = 16;
        layout.buttonCount = 2;
        layout.matrix = {{1, 200}};
        fillButtonTable(table, p, layout, macros);
        QCOMPARE(bytes(table).mid(2, 8), bytes({0x81, 0, 0, 0, 0x84, 0, 0, 0}));
        QCOMPARE(bytes(table).mid(90, 8), bytes({0x8E, 0x01, 0xE9, 0, 0x8E, 0x01, 0xEA, 0}));
        QCOMPARE(bytes(table).mid(98), QByteArray(30, '\0'));

        // The button count never exceeds the 16 matrix entries.
        layout.buttonCount = 40;
        layout.matrix.fill(0);
        for (ButtonEntry &e : p.buttons)
            e.Fun = 3;
        fillButtonTable(table, p, layout, macros);
        QCOMPARE(bytes(table).mid(2, 4), bytes({0x83, 0, 0, 0}));
    }

    // Macro entries of profile 0 get slots in entry order (wheel last) and
    // their Res4 in the snapshot.
    void buttonBlockFillsTheMacroTable()
    {
        writeDeviceFacts({3, 4, 0, 0, {0, 1, 2}});
        LinkFixture::connect(true, false);
        ProfileSet set;
        ButtonEntry *b = set.profiles[0].buttons;
        b[0].Fun = 1;
        b[1] = ButtonEntry();
        b[1].Fun = 200;
        b[1].macroname = QStringLiteral("second");
        b[1].LoopNumber = 2;
        b[2].Fun = 200;
        b[2].macroname = QStringLiteral("first");
        b[2].Res1 = 1;
        b[40].Fun = 510;
        b[40].macroname = QStringLiteral("second");
        b[40].Res1 = 2;
        macroSlotTable().slotFor(QStringLiteral("stale"));
        QCOMPARE(writeButtonBlock(set), quint8(SEND_OK));
        QCOMPARE(bytes(buttonTable()).mid(2, 12), bytes({0x81, 0, 0, 0, 0x91, 0, 2, 0, 0x91, 0x81, 0xFF, 0xFF}));
        QCOMPARE(bytes(buttonTable()).mid(90, 4), bytes({0x9D, 0x40, 0xFF, 0xFF}));
        QCOMPARE(macroSlotTable().entries(),
                 (QMap<quint8, QString>{{0, QStringLiteral("second")}, {1, QStringLiteral("first")}}));
        QCOMPARE(int(b[1].Res4), 0);
        QCOMPARE(int(b[2].Res4), 1);
        QCOMPARE(int(b[40].Res4), 0);
    }

    void profileSwitch()
    {
        LinkFixture::connect(true, false);
        selectProfile(3);
        QCOMPARE(sim::activeProfile(), 3);
        QCOMPARE(sim::appliedSections(), (QVector<quint8>{0x01}));
        QCOMPARE(applySections(), quint8(SEND_OK));
        QCOMPARE(sim::appliedSections(), (QVector<quint8>{0x01, 0x04, 0x01, 0x02, 0x08, 0x10}));
        QCOMPARE(sim::writtenFrames().first(), wireFrame(0x44, 3, 0, 0));
        QCOMPARE(sim::writtenFrames()[1], wireFrame(0x40, 0xF3, 0x01, 0));

        // applySections stops at the first failure.
        sim::clearAppliedSections();
        sim::resetCounters();
        sim::unplugAfterFrames(sim::Side::Receiver, 2);
        QCOMPARE(applySections(), quint8(SEND_WRITE_FAILED));
        QCOMPARE(sim::appliedSections(), (QVector<quint8>{0x04, 0x01}));
        QCOMPARE(sim::writeCount(), 3);

        // Without a device nothing is written and nothing fails loudly.
        closeDevice();
        sim::resetCounters();
        selectProfile(1);
        QCOMPARE(sim::writeCount(), 0);
        QCOMPARE(applySections(), quint8(SEND_NO_DEVICE));
    }

    void updateBracket()
    {
        LinkFixture::connect(true, false);
        QCOMPARE(beginUpdate(), quint8(SEND_OK));
        QVERIFY(sim::updateOpen());
        QCOMPARE(endUpdate(), quint8(SEND_OK));
        QVERIFY(!sim::updateOpen());
        QCOMPARE(sim::writtenFrames(), (QVector<QByteArray>{wireFrame(0x46, 0, 0, 0), wireFrame(0x46, 1, 0, 0)}));
    }
};

QTEST_GUILESS_MAIN(CommandsTest)
#include "tst_commands.moc"

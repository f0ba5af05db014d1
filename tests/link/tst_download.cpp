// The download of a profile set: the order of the groups for each mask, the
// update bracket, the poller hand-over, the macro memory (bodies, slots,
// segment markers, the terminator, the 21st macro) and the stop at the first
// failure, against the simulated mouse on the virtual clock.

#include "device/download.h"
#include "device/pollercontrol.h"
#include "profile/macrostore.h"
#include "tests/link/linktest.h"

#include <QCryptographicHash>
#include <QtTest>

namespace {

// Records when the download asks for the poller, in frames written so far.
struct RecordingPoller : PollerControl {
    QVector<int> stops;
    QVector<int> starts;
    void stopPoller() override { stops.append(sim::writeCount()); }
    void startPoller() override { starts.append(sim::writeCount()); }
};

KeyInfo ev(int map, int low, int high)
{
    return {quint8(map), quint8(low), quint8(high)};
}

// Key events without map byte 6, so their bodies get separators.
QVector<KeyInfo> events(int n, int first = 0x10)
{
    QVector<KeyInfo> list;
    for (int i = 0; i < n; ++i)
        list.append(ev(first + i, 5, (i % 2) ? 0x00 : 0x80));
    return list;
}

QByteArray triples(const QVector<KeyInfo> &list)
{
    QByteArray b;
    for (const KeyInfo &e : list)
        b.append(bytes({e.map, e.dataL, e.dataH}));
    return b;
}

void assignMacro(ButtonEntry &e, const QString &name, int fun = 200)
{
    e = ButtonEntry();
    e.Fun = fun;
    e.macroname = name;
    e.LoopNumber = 1;
}

// Overwrites `data.size()` bytes of `image` at `offset`.
void place(QByteArray &image, int offset, const QByteArray &data)
{
    image.replace(offset, data.size(), data);
}

// Five slots that differ in everything the blocks carry: stages, buttons
// (keys, a combo, a fire key, two macros, the wheel), lighting effects, the
// lighting options and the general values.
ProfileSet distinctSlots()
{
    ProfileSet set;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        ProfileData &p = set.profiles[i];
        p.pollrate = quint8(1 << (i % 4));
        p.scrollspeed = quint8(3 + i);
        p.dpi = quint8(i % 4);
        p.LedMode = quint8(1 + 2 * i);
        p.LedMoveOFF = quint8(i % 2);
        p.LedSleepTime = quint8(2 + i);
        p.mousespeed = quint8(8 + i);
        for (int s = 0; s < STAGE_COUNT; ++s)
            p.stages[s] = {quint8((s + i) % 3 != 0), 1, 0, quint32(20 + 30 * s + 7 * i), quint32(25 + 30 * s + 7 * i)};
        ButtonEntry *b = p.buttons;
        b[0].Fun = 1;
        b[1].Fun = 2 + i;
        b[2].Fun = 6;
        b[2].Res1 = quint8(30 + i);
        b[3].Fun = 12;
        b[3].Res1 = quint8(0x04 + i);
        b[3].KeyNumber = 10 + i;
        b[3].LoopNumber = 3 + i;
        assignMacro(b[20], QStringLiteral("second layer"));
        b[40].Fun = i == 2 ? 43 : 52;
        b[41].Fun = 53;
        if (i != 3)
            assignMacro(b[1 + i % 3], i % 2 ? QStringLiteral("burst") : QStringLiteral("hold"));
        b[1 + i % 3].LoopNumber = 2 + i;
        for (int e = 0; e < EFFECT_COUNT; ++e) {
            LightEffect &l = p.effects[e];
            l.colour = QColor(10 * e + i, 200 - 10 * e, 40 * i);
            l.bright = 1 + (e + i) % 3;
            l.breath = 1 + (e + 2 * i) % 5;
        }
    }
    set.AngleValue = 0;
    set.Sync = 1;
    set.LiftHigh = 2;
    set.Jitter = 1;
    set.Debounce = 12;
    return set;
}

const QByteArray kSep = bytes({6, 1, 0});
const QByteArray kZero = bytes({0, 0, 0});

QStringList applyHeaders()
{
    return {"40:f3:04:00:00", "40:f3:01:00:00", "40:f3:02:00:00", "40:f3:08:00:00", "40:f3:10:00:00"};
}

QStringList dpiHeaders()
{
    QStringList list{"02:00:00:01:d1"};
    for (int i = 0; i < 8; ++i)
        list.append(QString::asprintf("02:%02x:00:05:d2", 1 + 5 * i));
    list.append("02:7f:00:01:d3");
    return list;
}

QStringList macroSlotHeaders(int slot)
{
    QStringList list;
    for (int j = 0; j < 10; ++j) {
        const int offset = slot * 200 + j * 20;
        list.append(QString::asprintf("05:%02x:%02x:14:%s", offset & 0xFF, offset >> 8,
                                      (slot == 0 && j == 0) ? "d1" : "d2"));
    }
    return list;
}

} // namespace

class DownloadTest : public QObject {
    Q_OBJECT

    LinkFixture m_fixture;
    RecordingPoller m_poller;

private slots:
    void init()
    {
        LinkFixture::fresh();
        resetDeviceTables();
        m_poller = RecordingPoller();
        setPollerControl(&m_poller);
        writeDeviceFacts({4, 4, 2, 0, {0, 1, 2, 3}});
        writeSensor(3370);
    }
    void cleanup() { setPollerControl(nullptr); }

    void macroBodies()
    {
        QCOMPARE(macroBody({}), bytes({6, 1, 0, 0, 0, 0}));
        const QVector<KeyInfo> four = events(4);
        QCOMPARE(macroBody(four), triples(four) + kSep + kSep + kZero);
        const QVector<KeyInfo> five = events(5);
        QCOMPARE(macroBody(five), triples(five.mid(0, 4)) + kSep + triples(five.mid(4)) + kSep + kZero);
        const QVector<KeyInfo> all = events(63);
        const QByteArray body = macroBody(all);
        QCOMPARE(body.size(), 3 * (63 + 15 + 2));
        QCOMPARE(body.mid(3 * 4 * 5, 15), triples(all.mid(16, 4)) + kSep);
        QCOMPARE(body.right(6), kSep + kZero);
        // One event with map byte 6: the events exactly as read.
        QVector<KeyInfo> raw = events(5);
        raw[2].map = 6;
        QCOMPARE(macroBody(raw), triples(raw));
    }

    void maskZero()
    {
        LinkFixture::connect(true, false);
        QCOMPARE(downloadProfileSet(ProfileSet(), 0), quint8(SEND_OK));
        QCOMPARE(headers(sim::writtenFrames()), (QStringList{"46:00:00:00:00", "46:01:00:00:00"}));
        QVERIFY(sim::appliedSections().isEmpty());
        QCOMPARE(m_poller.stops, (QVector<int>{0}));
        QCOMPARE(m_poller.starts, (QVector<int>{2}));
    }

    void maskDpiAlone()
    {
        LinkFixture::connect(true, false);
        ProfileSet set;
        set.profiles[0].stages[0] = {1, 0, 0, 201, 16};
        QCOMPARE(downloadProfileSet(set, CHANGE_DPI), quint8(SEND_OK));
        const QStringList expected = QStringList{"46:00:00:00:00"} + dpiHeaders() + applyHeaders()
                                   + QStringList{"46:01:00:00:00"};
        QCOMPARE(headers(sim::writtenFrames()), expected);
        QCOMPARE(sim::block(sim::Block::Dpi).left(6), bytes({4, 1, 100, 1, 15, 0}));
        QCOMPARE(sim::block(sim::Block::Settings), QByteArray(19, '\0'));
        QCOMPARE(sim::appliedSections(), (QVector<quint8>{4, 1, 2, 8, 16}));
    }

    // Everything, with two buttons of the active slot sharing one macro and a
    // third naming another: each body is read and sent once. Slot 1's buttons
    // and macros stay off the mouse.
    void fullDownload()
    {
        QVERIFY(saveMacro(QStringLiteral("burst"), MacroSettings(), events(5)));
        QVERIFY(saveMacro(QStringLiteral("hold"), MacroSettings(), {}));
        LinkFixture::connect(true, false);
        ProfileSet set;
        set.ProfileID = 1;
        set.profiles[1].mousespeed = 13;
        set.profiles[0].buttons[0].Fun = 2;
        assignMacro(set.profiles[0].buttons[3], QStringLiteral("other"));
        ButtonEntry *b = set.profiles[1].buttons;
        b[0].Fun = 1;
        assignMacro(b[1], QStringLiteral("burst"));
        assignMacro(b[2], QStringLiteral("hold"));
        assignMacro(b[3], QStringLiteral("burst"));
        b[3].Res1 = 1;
        const ProfileSet before = set;

        QCOMPARE(downloadProfileSet(set, CHANGE_ALL), quint8(SEND_OK));

        QStringList expected{"46:00:00:00:00", "01:00:00:13:d1", "01:7f:00:01:d3",
                             "03:00:00:02:d1", "03:02:00:18:d2", "03:1a:00:18:d2", "03:32:00:18:d2",
                             "03:4a:00:18:d2", "03:62:00:04:d2", "03:7f:00:01:d3"};
        expected += dpiHeaders();
        expected += QStringList{"04:00:00:18:d1", "04:18:00:18:d2", "04:30:00:18:d2", "04:48:00:08:d2",
                                "04:7f:00:01:d3"};
        expected += applyHeaders();
        expected += macroSlotHeaders(0) + macroSlotHeaders(1);
        expected += QStringList{"05:ff:0f:01:d3", "46:01:00:00:00"};
        QCOMPARE(headers(sim::writtenFrames()), expected);

        QCOMPARE(bytes(buttonTable()).mid(2, 16),
                 bytes({0x81, 0, 0, 0, 0x91, 0, 1, 0, 0x91, 1, 1, 0, 0x91, 0x80, 0xFF, 0xFF}));
        QByteArray memory(4000, '\0');
        const QVector<KeyInfo> five = events(5);
        place(memory, 0, triples(five.mid(0, 4)) + kSep + triples(five.mid(4)) + kSep + kZero);
        place(memory, 200, bytes({6, 1, 0, 0, 0, 0}));
        QCOMPARE(sim::block(sim::Block::Macros), memory);
        QVERIFY(!sim::updateOpen());
        QCOMPARE(sim::updateEnds(), 1);

        // The set passed in is only read; the slot numbers went to the snapshot.
        QCOMPARE(set.profiles[1].buttons[3].Res4, before.profiles[1].buttons[3].Res4);
        QVERIFY(macroSlotTable().isEmpty());
        QCOMPARE(lastDownloadPointerSpeed(), 13);

        // 10 ms after every frame, 50 ms per macro read; nothing else waits.
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(expected.size() * 10 + 2 * 50));
        QCOMPARE(m_poller.stops, (QVector<int>{0}));
        QCOMPARE(m_poller.starts, (QVector<int>{expected.size()}));
    }

    // A download without the button group finds the table emptied by the last
    // one and sends no macro.
    void macrosNeedTheButtonGroup()
    {
        QVERIFY(saveMacro(QStringLiteral("burst"), MacroSettings(), events(5)));
        LinkFixture::connect(true, false);
        ProfileSet set;
        assignMacro(set.profiles[0].buttons[1], QStringLiteral("burst"));
        QCOMPARE(downloadProfileSet(set, CHANGE_BUTTONS), quint8(SEND_OK));
        sim::resetCounters();
        QCOMPARE(downloadProfileSet(set, CHANGE_GENERAL), quint8(SEND_OK));
        QCOMPARE(headers(sim::writtenFrames()),
                 (QStringList{"46:00:00:00:00", "01:00:00:13:d1", "01:7f:00:01:d3"} + applyHeaders()
                  + QStringList{"46:01:00:00:00"}));
    }

    // A macro used in profile 1 only never reaches the mouse; one that
    // profile 1 shares with profile 0 is sent once.
    void onlyProfileZeroMacros()
    {
        QVERIFY(saveMacro(QStringLiteral("zero"), MacroSettings(), events(2)));
        QVERIFY(saveMacro(QStringLiteral("one"), MacroSettings(), events(3)));
        LinkFixture::connect(true, false);
        ProfileSet set;
        assignMacro(set.profiles[1].buttons[0], QStringLiteral("one"));
        assignMacro(set.profiles[1].buttons[1], QStringLiteral("zero"));
        assignMacro(set.profiles[0].buttons[2], QStringLiteral("zero"));
        QCOMPARE(downloadProfileSet(set, CHANGE_BUTTONS), quint8(SEND_OK));
        QByteArray memory(4000, '\0');
        place(memory, 0, triples(events(2)) + kSep + kZero);
        QCOMPARE(sim::block(sim::Block::Macros), memory);
        QCOMPARE(platform::VirtualClock::elapsedMs() % 10, qint64(0));
        int macroFrames = 0;
        for (const QByteArray &f : sim::writtenFrames())
            macroFrames += f[3] == 0x05;
        QCOMPARE(macroFrames, 11);
    }

    // Slots 0-2 hold bodies starting with two zero events, so only slot 3 is
    // sent, and none of its packets carries SEG_FIRST.
    void slotThreeAlone()
    {
        const QVector<KeyInfo> silent{ev(0, 0, 0), ev(0, 0, 0), ev(4, 5, 0x80)};
        for (const char *name : {"m0", "m1", "m2"})
            QVERIFY(saveMacro(QString::fromLatin1(name), MacroSettings(), silent));
        QVERIFY(saveMacro(QStringLiteral("m3"), MacroSettings(), events(1)));
        LinkFixture::connect(true, false);
        ProfileSet set;
        for (int i = 0; i < 4; ++i)
            assignMacro(set.profiles[0].buttons[i], QStringLiteral("m%1").arg(i));
        QCOMPARE(downloadProfileSet(set, CHANGE_BUTTONS), quint8(SEND_OK));

        QStringList macroHeaders;
        QVector<QByteArray> macroFrames;
        for (const QByteArray &f : sim::writtenFrames()) {
            if (f[3] == 0x05) {
                macroHeaders.append(frameHeader(f));
                macroFrames.append(f);
            }
        }
        QCOMPARE(macroHeaders, macroSlotHeaders(3) + QStringList{"05:ff:0f:01:d3"});
        QCOMPARE(macroFrames.first(), wireFrame(0x05, 0x58, 0x02, 0xD2, triples(events(1)) + kSep + kZero + QByteArray(11, '\0')));
        QCOMPARE(macroFrames.last(), wireFrame(0x05, 0xFF, 0x0F, 0xD3, bytes({0x1A})));
        QCOMPARE(sim::block(sim::Block::Macros).mid(600, 9), triples(events(1)) + kSep + kZero);
        // Every macro file was read, with its pause.
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(sim::writtenFrames().size() * 10 + 4 * 50));
    }

    // 63 events fill 240 bytes, cut at the slot's 200; a file claiming more
    // than 63 events gives 63.
    void longMacros()
    {
        QVERIFY(saveMacro(QStringLiteral("long"), MacroSettings(), events(63)));
        {
            QVector<KeyInfo> raw = events(63, 0x10);
            raw[0].map = 6;
            QSettings file(macroPath(QStringLiteral("raw")), QSettings::IniFormat);
            file.setValue(QStringLiteral("Setting/Count"), 70);
            for (int i = 0; i < 70; ++i) {
                file.setValue(QStringLiteral("Setting/Map_%1").arg(i), i ? 0x10 + (i % 0x40) : 6);
                file.setValue(QStringLiteral("Setting/DataL_%1").arg(i), 5);
                file.setValue(QStringLiteral("Setting/DataH_%1").arg(i), 0x80);
            }
        }
        LinkFixture::connect(true, false);
        ProfileSet set;
        assignMacro(set.profiles[0].buttons[0], QStringLiteral("long"));
        assignMacro(set.profiles[0].buttons[1], QStringLiteral("raw"));
        QCOMPARE(downloadProfileSet(set, CHANGE_BUTTONS), quint8(SEND_OK));
        const QByteArray memory = sim::block(sim::Block::Macros);
        QCOMPARE(memory.left(200), macroBody(events(63)).left(200));
        QCOMPARE(memory.mid(200, 3), bytes({6, 5, 0x80}));
        QCOMPARE(memory.mid(200 + 186, 3), bytes({0x10 + 62, 5, 0x80}));
        QCOMPARE(memory.mid(200 + 189, 11), QByteArray(11, '\0'));   // event 64 and on not read
        QCOMPARE(memory.mid(400), QByteArray(3600, '\0'));
    }

    // A slot number past 19 ends the macro step: nothing of it is sent and
    // the download still succeeds.
    void twentyFirstMacro()
    {
        QVERIFY(saveMacro(QStringLiteral("m0"), MacroSettings(), events(2)));
        LinkFixture::connect(true, false);
        for (int i = 0; i <= 20; ++i)
            macroSlotTable().slotFor(QStringLiteral("m%1").arg(i));
        ProfileSet set;
        assignMacro(set.profiles[0].buttons[0], QStringLiteral("m0"));
        assignMacro(set.profiles[0].buttons[1], QStringLiteral("m20"));
        QTest::ignoreMessage(QtDebugMsg, "iIndex>=MAX_MACRO_NUMBER_560\n");
        QCOMPARE(downloadProfileSet(set, 0), quint8(SEND_OK));
        QCOMPARE(headers(sim::writtenFrames()), (QStringList{"46:00:00:00:00", "46:01:00:00:00"}));
        QCOMPARE(sim::block(sim::Block::Macros), QByteArray(4000, '\0'));
        QCOMPARE(m_poller.starts.size(), 1);
    }

    // What slot 1 sends, frame for frame, while the other slots hold settings
    // of their own: fingerprints of every frame a download writes.
    void slotOneBytes_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QByteArray>("sha1");
        QTest::newRow("everything") << int(CHANGE_ALL) << 42 << QByteArray("c97d420dafd0f428e8ddb9cd0ce5549c05a59780");
        QTest::newRow("general") << int(CHANGE_GENERAL) << 9 << QByteArray("32f1ea862d2b97743caac08e921ed6a66879fe41");
        QTest::newRow("DPI") << int(CHANGE_DPI) << 17 << QByteArray("6bf332b3886dca7e1978f505bb5b1deed428d5a7");
        QTest::newRow("buttons and macros") << int(CHANGE_BUTTONS) << 25 << QByteArray("8cf961559679ce9551fbdc6dbf0d29d010b568c5");
        QTest::newRow("lighting") << int(CHANGE_LIGHTING) << 12 << QByteArray("f8d85413e3803c845641491b37cdf2c7853948a6");
    }
    void slotOneBytes()
    {
        QFETCH(int, mask);
        QFETCH(int, frames);
        QFETCH(QByteArray, sha1);
        QVERIFY(saveMacro(QStringLiteral("burst"), MacroSettings(), events(5)));
        QVERIFY(saveMacro(QStringLiteral("hold"), MacroSettings(), events(3, 0x30)));
        LinkFixture::connect(true, false);
        const ProfileSet set = distinctSlots();
        QCOMPARE(downloadProfileSet(set, quint8(mask)), quint8(SEND_OK));
        const QVector<QByteArray> written = sim::writtenFrames();
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const QByteArray &f : written)
            hash.addData(f);
        QCOMPARE(written.size(), frames);
        QCOMPARE(hash.result().toHex(), sha1);
    }

    // The DPI, key and lighting tables carry the active slot, and the macro
    // memory the macros its buttons use; a product whose lighting is one
    // setting for all profiles sends slot 1's lighting whatever is active.
    void blocksOfTheActiveSlot_data()
    {
        QTest::addColumn<int>("active");
        QTest::addColumn<QString>("product");
        QTest::addColumn<int>("lightFrom");
        for (int slot = 0; slot < SLOT_COUNT; ++slot)
            QTest::addRow("slot %d", slot + 1) << slot << QStringLiteral("VELKOR") << slot;
        QTest::newRow("6132, slot 4") << 3 << QStringLiteral("6132") << 0;
    }
    void blocksOfTheActiveSlot()
    {
        QFETCH(int, active);
        QFETCH(QString, product);
        QFETCH(int, lightFrom);
        writeIniKeys(globalConfigPath(), {{QStringLiteral("Config/CurrentProductName"), product}});
        QVERIFY(saveMacro(QStringLiteral("burst"), MacroSettings(), events(5)));
        QVERIFY(saveMacro(QStringLiteral("hold"), MacroSettings(), events(3, 0x30)));
        LinkFixture::connect(true, false);
        ProfileSet set = distinctSlots();
        set.ProfileID = quint8(active);
        QCOMPARE(downloadProfileSet(set, CHANGE_ALL), quint8(SEND_OK));

        const ProfileData &p = set.profiles[active];
        QCOMPARE(sim::block(sim::Block::Dpi), dpiBlockBytes(p, dpiStageCount(), sensorCode(), 0));
        QCOMPARE(sim::block(sim::Block::Lighting), lightingBlockBytes(set.profiles[lightFrom]));
        const QByteArray general = sim::block(sim::Block::Settings);
        QCOMPARE(int(general.at(6)), active);
        QCOMPARE(int(general.at(7)), int(set.profiles[lightFrom].LedMoveOFF));
        QCOMPARE(int(general.at(8)), int(set.profiles[lightFrom].LedSleepTime));
        QCOMPARE(int(general.at(17)), int(p.dpi));
        QCOMPARE(quint8(general.at(18)), lightingModeCode(set.profiles[lightFrom].LedMode));

        ProfileData copy = p;
        std::array<quint8, BUTTON_TABLE_SIZE> table = {};
        MacroSlotTable names;
        fillButtonTable(table, copy, currentButtonLayout(), names);
        QCOMPARE(sim::block(sim::Block::Keys).left(98), bytes(table).left(98));
        // The one macro of the slot's primary buttons, in device slot 0; slot
        // 4 uses none.
        QByteArray memory(4000, '\0');
        if (active != 3)
            place(memory, 0, macroBody(active % 2 ? events(5) : events(3, 0x30)));
        QCOMPARE(sim::block(sim::Block::Macros), memory);
        QCOMPARE(lastDownloadPointerSpeed(), int(p.mousespeed));
    }

    // A switch of the active slot: the selection (unless the mouse switched by
    // itself), then the groups that differ, inside the update bracket; with
    // nothing to send, the selection and the apply of every section alone.
    void slotSwitch_data()
    {
        QTest::addColumn<bool>("select");
        QTest::addColumn<int>("mask");
        QTest::addColumn<QStringList>("expected");
        const QStringList select{"44:02:00:00:00", "40:f3:01:00:00"};
        const QStringList lighting{"04:00:00:18:d1", "04:18:00:18:d2", "04:30:00:18:d2", "04:48:00:08:d2",
                                   "04:7f:00:01:d3"};
        const QStringList general{"01:00:00:13:d1", "01:7f:00:01:d3"};
        QTest::newRow("from the window, nothing differs") << true << 0 << select + applyHeaders();
        QTest::newRow("from the window, DPI and lighting")
            << true << int(CHANGE_GENERAL | CHANGE_DPI | CHANGE_LIGHTING)
            << select + QStringList{"46:00:00:00:00"} + general + dpiHeaders() + lighting + applyHeaders()
                   + QStringList{"46:01:00:00:00"};
        QTest::newRow("by the mouse's button")
            << false << int(CHANGE_GENERAL | CHANGE_DPI)
            << QStringList{"46:00:00:00:00"} + general + dpiHeaders() + applyHeaders() + QStringList{"46:01:00:00:00"};
    }
    void slotSwitch()
    {
        QFETCH(bool, select);
        QFETCH(int, mask);
        QFETCH(QStringList, expected);
        LinkFixture::connect(true, false);
        ProfileSet set = distinctSlots();
        set.ProfileID = 2;
        QCOMPARE(downloadSlotSwitch(set, quint8(mask), select), quint8(SEND_OK));
        QCOMPARE(headers(sim::writtenFrames()), expected);
        QCOMPARE(sim::activeProfile(), 2);
        QVERIFY(!sim::updateOpen());
        QCOMPARE(m_poller.stops, (QVector<int>{0}));
        QCOMPARE(m_poller.starts, (QVector<int>{expected.size()}));
        if (mask & CHANGE_DPI)
            QCOMPARE(sim::block(sim::Block::Dpi), dpiBlockBytes(set.profiles[2], dpiStageCount(), sensorCode(), 0));
    }

    // A failure in the middle: nothing more is sent, no update end, and the
    // poller stays stopped.
    void failureInTheMiddle()
    {
        LinkFixture::connect(true, false);
        ProfileSet set;
        set.profiles[0].buttons[0].Fun = 1;
        sim::unplugAfterFrames(sim::Side::Receiver, 5);   // update begin, settings (2), two button packets
        QCOMPARE(downloadProfileSet(set, CHANGE_ALL), quint8(SEND_WRITE_FAILED));
        QCOMPARE(headers(sim::writtenFrames()),
                 (QStringList{"46:00:00:00:00", "01:00:00:13:d1", "01:7f:00:01:d3", "03:00:00:02:d1",
                              "03:02:00:18:d2"}));
        QCOMPARE(sim::writeCount(), 6);   // the third button packet failed, nothing after it
        QCOMPARE(sim::updateEnds(), 0);
        QVERIFY(sim::updateOpen());
        QCOMPARE(m_poller.stops.size(), 1);
        QVERIFY(m_poller.starts.isEmpty());
    }

    void noDevice()
    {
        LinkFixture::connect(false, false);
        QCOMPARE(downloadProfileSet(ProfileSet(), CHANGE_ALL), quint8(SEND_NO_DEVICE));
        QCOMPARE(sim::writeCount(), 0);
        QCOMPARE(m_poller.stops.size(), 1);
        QVERIFY(m_poller.starts.isEmpty());
    }

    // A failed macro packet ends the step with its result.
    void failureInTheMacroMemory()
    {
        QVERIFY(saveMacro(QStringLiteral("burst"), MacroSettings(), events(5)));
        LinkFixture::connect(true, false);
        ProfileSet set;
        assignMacro(set.profiles[0].buttons[0], QStringLiteral("burst"));
        // begin, 7 button packets, 5 applies, then two macro packets
        sim::unplugAfterFrames(sim::Side::Receiver, 1 + 7 + 5 + 2);
        QCOMPARE(downloadProfileSet(set, CHANGE_BUTTONS), quint8(SEND_WRITE_FAILED));
        const QVector<QByteArray> frames = sim::writtenFrames();
        QCOMPARE(frameHeader(frames.last()), QStringLiteral("05:14:00:14:d2"));
        QCOMPARE(sim::writeCount(), 1 + 7 + 5 + 3);
        QCOMPARE(sim::updateEnds(), 0);
    }
};

QTEST_GUILESS_MAIN(DownloadTest)
#include "tst_download.moc"

// The device link as the real program runs it: Debian's hidapi (hidraw) over
// mocked kernel devices, the simulated mouse behind the nodes. Discovery and
// the interface names of every collection, opening and closing, a full
// download frame by frame, and the poller's battery query and status reports,
// all through real file descriptors.

#include "device/download.h"
#include "device/poller.h"
#include "device/pollercontrol.h"
#include "profile/macrostore.h"
#include "tests/link/linktest.h"
#include "tests/realstack/mockkernel.h"

#include <hidapi/hidapi.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct NoPoller : PollerControl {
    void stopPoller() override {}
    void startPoller() override {}
};

QString entryPath(DeviceSlot slot)
{
    return QString::fromLatin1(deviceTable().entries[0].path[slot]);
}

} // namespace

class RealStackLinkTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<MockKernel> m_kernel;
    NoPoller m_noPoller;

private slots:
    void initTestCase()
    {
        QVERIFY2(MockKernel::available(), "run under umockdev-wrapper");
        setApplicationDir(m_dir.path());
        setConfigsBase(m_dir.path() + QStringLiteral("/Configs"));
        m_kernel.reset(new MockKernel);
    }
    void cleanupTestCase()
    {
        closeDevice();
        m_kernel.reset();
        shutdownDeviceLink();
        setConfigsBase(QString());
        setApplicationDir(QString());
    }
    void init()
    {
        closeDevice();
        m_kernel->unplug(sim::Side::Receiver);
        m_kernel->unplug(sim::Side::Cable);
        sim::reset();
        writeDeviceFacts({4, 4, 2, 0, {0, 1, 2, 3}});
        writeSensor(3370);
        setPollerControl(&m_noPoller);
    }
    void cleanup() { setPollerControl(nullptr); }

    // Debian's enumeration lists every collection with a usage, the mouse's
    // nested one included; the names must still number the top-level
    // collections, so the receiver's control collection is the fourth.
    void discoversEachCollection()
    {
        sim::setReleaseNumber(sim::Side::Receiver, 0x0105);
        m_kernel->plug(sim::Side::Receiver);
        m_kernel->plug(sim::Side::Cable);

        hid_device_info *list = hid_enumerate(0x248A, 0);
        QStringList seen;
        for (hid_device_info *i = list; i; i = i->next)
            seen << QString::asprintf("%s %04x:%04x %x/%x rel %x if %d", i->path, i->vendor_id, i->product_id,
                                      i->usage_page, i->usage, i->release_number, i->interface_number);
        hid_free_enumeration(list);
        const QString receiver = QString::fromLatin1(m_kernel->node(sim::Side::Receiver));
        const QString cable = QString::fromLatin1(m_kernel->node(sim::Side::Cable));
        QCOMPARE(seen.size(), 10);
        QVERIFY2(seen.contains(receiver + QStringLiteral(" 248a:fa02 1/0 rel 105 if 0")), qPrintable(seen.join('\n')));
        QVERIFY(seen.contains(receiver + QStringLiteral(" 248a:fa02 1/1 rel 105 if 0")));   // the nested one

        loadDeviceTable();
        QCOMPARE(enumerateDevices(), 0);
        const DeviceEntry &e = deviceTable().entries[0];
        const QString head = QStringLiteral("\\\\?\\HID#VID_248A&PID_");
        QCOMPARE(entryPath(ReceiverMouse), head + QStringLiteral("FA02&MI_00&Col01#") + receiver);
        QCOMPARE(entryPath(ReceiverControl), head + QStringLiteral("FA02&MI_00&Col04#") + receiver);
        QCOMPARE(entryPath(WiredMouse), head + QStringLiteral("FB01&MI_00&Col01#") + cable);
        QCOMPARE(entryPath(WiredControl), head + QStringLiteral("FB01&MI_00&Col04#") + cable);
        for (DeviceSlot slot : {ReceiverMouse, ReceiverControl, WiredMouse, WiredControl})
            QCOMPARE(e.present[slot], 1u);
        QCOMPARE(releaseNumberOfPath(e.path[ReceiverControl]), 0x0105u);

        // The names the device link stored are what the classifier reads.
        QCOMPARE(classifyInterface(entryPath(ReceiverControl).mid(4)).kind, InterfaceKind::Control);
        QCOMPARE(classifyInterface(entryPath(ReceiverMouse).mid(4)).kind, InterfaceKind::Mouse);
    }

    void opensAndClosesTheNodes()
    {
        m_kernel->plug(sim::Side::Receiver);
        loadDeviceTable();
        enumerateDevices();
        openDevice("VELKOR");
        QVERIFY(deviceHandle(ReceiverMouse));
        QVERIFY(receiverControlHandle());
        QVERIFY(!wiredControlHandle());
        closeDevice();
        QVERIFY(!receiverControlHandle());
        QVERIFY(!deviceHandle(ReceiverMouse));
    }

    // The same frames as against the linked simulator, each through the node;
    // while the mouse moves, its motion reports reach the node between the
    // replies and the download sends exactly the frames it sends when the
    // mouse lies still. (So many ahead of each reply rather than so many a
    // second: a busy machine reads a node fed in real time late, and the
    // frames would then depend on the load.)
    void fullDownloadFrameByFrame_data()
    {
        QTest::addColumn<int>("motionAhead");
        QTest::newRow("still") << 0;
        QTest::newRow("moving: 4 motion reports ahead of each reply") << 4;
        QTest::newRow("moving: a full node ahead of each reply") << 63;
    }
    void fullDownloadFrameByFrame()
    {
        QFETCH(int, motionAhead);
        QVERIFY(saveMacro(QStringLiteral("burst"), MacroSettings(),
                          {{0x10, 5, 0x80}, {0x11, 5, 0}, {0x12, 5, 0x80}, {0x13, 5, 0}, {0x14, 5, 0x80}}));
        m_kernel->plug(sim::Side::Receiver);
        loadDeviceTable();
        enumerateDevices();
        openDevice("VELKOR");
        m_kernel->setMotionAheadOfReplies(motionAhead);
        const int motionBefore = m_kernel->motionOut();
        const int framesBefore = m_kernel->framesOut();
        sim::resetCounters();

        ProfileSet set;
        set.ProfileID = 1;
        ButtonEntry *b = set.profiles[1].buttons;   // the active slot's buttons go out
        b[0].Fun = 1;
        b[1].Fun = 200;
        b[1].macroname = QStringLiteral("burst");
        b[1].LoopNumber = 1;
        QCOMPARE(downloadProfileSet(set, CHANGE_ALL), quint8(SEND_OK));

        QStringList expected{"46:00:00:00:00", "01:00:00:13:d1", "01:7f:00:01:d3",
                             "03:00:00:02:d1", "03:02:00:18:d2", "03:1a:00:18:d2", "03:32:00:18:d2",
                             "03:4a:00:18:d2", "03:62:00:04:d2", "03:7f:00:01:d3", "02:00:00:01:d1"};
        for (int i = 0; i < 8; ++i)
            expected.append(QString::asprintf("02:%02x:00:05:d2", 1 + 5 * i));
        expected += QStringList{"02:7f:00:01:d3", "04:00:00:18:d1", "04:18:00:18:d2", "04:30:00:18:d2",
                                "04:48:00:08:d2", "04:7f:00:01:d3", "40:f3:04:00:00", "40:f3:01:00:00",
                                "40:f3:02:00:00", "40:f3:08:00:00", "40:f3:10:00:00"};
        for (int j = 0; j < 10; ++j)
            expected.append(QString::asprintf("05:%02x:00:14:%s", j * 20, j == 0 ? "d1" : "d2"));
        expected += QStringList{"05:ff:0f:01:d3", "46:01:00:00:00"};
        QCOMPARE(headers(sim::writtenFrames()), expected);
        QCOMPARE(sim::commitCount(sim::Block::Macros), 1);
        // The mouse holds what was sent: left click, then the macro in slot 0.
        QCOMPARE(sim::block(sim::Block::Keys).mid(2, 8), bytes({0x81, 0, 0, 0, 0x91, 0, 1, 0}));
        QVERIFY(!sim::updateOpen());
        QTRY_VERIFY(m_kernel->framesOut() - framesBefore >= expected.size());   // every echo came back through the node
        // and the motion ahead of each of them
        QCOMPARE(m_kernel->motionOut() - motionBefore, motionAhead * (m_kernel->framesOut() - framesBefore));
        m_kernel->setMotionAheadOfReplies(0);
        closeDevice();
    }

    // The poller hears the battery reply and a status report through the
    // motion reports of a moving mouse too.
    void pollerHearsBatteryAndStatus_data()
    {
        QTest::addColumn<int>("motionHz");
        QTest::newRow("still") << 0;
        QTest::newRow("moving, 1000 Hz") << 1000;
    }
    void pollerHearsBatteryAndStatus()
    {
        QFETCH(int, motionHz);
        m_kernel->plug(sim::Side::Receiver);
        loadDeviceTable();
        enumerateDevices();
        openDevice("VELKOR");
        m_kernel->setMotion(motionHz);
        if (motionHz)
            QTRY_VERIFY(m_kernel->motionOut() >= 4);
        sim::BatteryState battery;
        battery.low = 0x34;
        battery.high = 0x10;
        battery.charge = 1;
        sim::setBattery(battery);

        BatteryPoller poller;
        QVector<QVector<int>> batteries;
        QVector<QVector<int>> statuses;
        poller.setConnector([&](ZelGetBatteryThread *t) {
            connect(t, &ZelGetBatteryThread::RefreshBatteryStatus, this,
                    [&](quint8 c, quint8 l, quint8 h) { batteries.append({c, l, h}); });
            connect(t, &ZelGetBatteryThread::RefreshStatus, this,
                    [&](quint8 p, quint8 d, quint8 r, quint8 m) { statuses.append({p, d, r, m}); });
        });
        poller.start();
        QTRY_VERIFY_WITH_TIMEOUT(!batteries.isEmpty(), 5000);
        QCOMPARE(batteries.first(), (QVector<int>{1, 0x34, 0x10}));

        sim::pushStatus(2, 3, 1, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!statuses.isEmpty(), 5000);
        QCOMPARE(statuses.last().mid(0, 3), (QVector<int>{2, 3, 1}));
        poller.stop();
        closeDevice();
    }
};

QTEST_GUILESS_MAIN(RealStackLinkTest)
#include "tst_realstack_link.moc"

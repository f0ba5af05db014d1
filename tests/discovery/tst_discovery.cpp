// Finding, opening and following the mouse's collections: classification of
// interface names, the device table, enumeration, open/close, hot-plug
// presence and the reconnection decision, against the simulated mouse.

#include "device/transport.h"
#include "profile/configstore.h"
#include "tests/sim/simtest.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>
#include <cstring>
#include <memory>

Q_DECLARE_METATYPE(InterfaceKind)

namespace {

const QByteArray kProduct = QByteArrayLiteral("VELKOR");

const DeviceEntry &entry0()
{
    return deviceTable().entries[0];
}

QByteArray pathIn(DeviceSlot slot)
{
    return QByteArray(entry0().path[slot]);
}

QVector<quint32> presence()
{
    const DeviceEntry &e = entry0();
    return {e.present[ReceiverMouse], e.present[WiredMouse], e.present[ReceiverControl], e.present[WiredControl]};
}

int openHandles()
{
    int n = 0;
    for (DeviceSlot s : {ReceiverMouse, WiredMouse, ReceiverControl, WiredControl})
        n += deviceHandle(s) ? 1 : 0;
    return n;
}

sim::ExtraCollection collection(quint16 vid, quint16 pid, quint16 usage, const QByteArray &path,
                                quint16 release = 0)
{
    sim::ExtraCollection c;
    c.vid = vid;
    c.pid = pid;
    c.usagePage = 1;
    c.usage = usage;
    c.path = path;
    c.release = release;
    return c;
}

} // namespace

class DiscoveryTest : public QObject {
    Q_OBJECT

private slots:
    void init() { LinkFixture::fresh(); }

    // ---- classification -------------------------------------------------------
    void classify_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<InterfaceKind>("kind");
        QTest::newRow("col01") << "HID#VID_248A&PID_FA02&Col01#7&1&0&0000#{x}" << 0x248A << 0xFA02
                               << InterfaceKind::Mouse;
        QTest::newRow("col04") << "HID#VID_248A&PID_FB01&Col04#7&1&0&0003#{x}" << 0x248A << 0xFB01
                               << InterfaceKind::Control;
        QTest::newRow("mi_00 col04 is pattern 4")
            << "HID#VID_1234&PID_5678&MI_00&Col04#7&1a2b&0&0003#{x}" << 0x1234 << 0x5678 << InterfaceKind::Control;
        QTest::newRow("mi_00 col01") << "HID#VID_1234&PID_5678&MI_00&Col01#x" << 0x1234 << 0x5678
                                     << InterfaceKind::Mouse;
        QTest::newRow("letter case") << "hid#vid_abcd&pid_ef01&mi_00&COL04#x" << 0xABCD << 0xEF01
                                     << InterfaceKind::Control;
        QTest::newRow("hidraw name") << "HID#VID_248A&PID_FA02&MI_00&Col04#/dev/hidraw3" << 0x248A << 0xFA02
                                     << InterfaceKind::Control;
        // Pattern 1 is tried before pattern 4 even when 4 matches earlier in the name.
        QTest::newRow("order decides") << "HID#VID_1111&PID_2222&MI_00&Col04#HID#VID_3333&PID_4444&Col01" << 0x3333
                                       << 0x4444 << InterfaceKind::Mouse;
        QTest::newRow("other interface") << "HID#VID_248A&PID_FA02&MI_01&Col04#x" << 0 << 0 << InterfaceKind::None;
        QTest::newRow("other collection") << "HID#VID_248A&PID_FA02&Col02#x" << 0 << 0 << InterfaceKind::None;
        QTest::newRow("usb name") << "USB#VID_248A&PID_FA02#x" << 0 << 0 << InterfaceKind::None;
        QTest::newRow("short id") << "HID#VID_248&PID_FA02&Col01#x" << 0 << 0 << InterfaceKind::None;
        QTest::newRow("empty") << "" << 0 << 0 << InterfaceKind::None;
    }
    void classify()
    {
        QFETCH(QString, name);
        QFETCH(int, vid);
        QFETCH(int, pid);
        QFETCH(InterfaceKind, kind);
        const InterfaceClass c = classifyInterface(name);
        QCOMPARE(int(c.vid), vid);
        QCOMPARE(int(c.pid), pid);
        QCOMPARE(c.kind, kind);
    }

    // ---- the table ---------------------------------------------------------------
    void loadFillsEntryZero()
    {
        std::memset(&deviceTable(), 0x5A, sizeof(DeviceTable));
        QTest::ignoreMessage(QtDebugMsg, "VELKOR\n");
        loadDeviceTable();
        const DeviceTable &t = deviceTable();
        QCOMPARE(t.count, 1u);
        const DeviceEntry &e = entry0();
        QCOMPARE(e.vid1, 0x248Au);
        QCOMPARE(e.pid1, 0xFA02u);
        QCOMPARE(e.vid2, 0x248Au);
        QCOMPARE(e.pid2, 0xFB01u);
        QCOMPARE(e.relMin1 | e.relMin2 | e.relMax1 | e.relMax2, 0u);
        QCOMPARE(e.filter[ReceiverMouse].usage, 2u);
        QCOMPARE(e.filter[WiredMouse].usage, 2u);
        QCOMPARE(e.filter[ReceiverControl].usage, 0u);
        QCOMPARE(e.filter[WiredControl].usage, 0u);
        for (int s = 0; s < DEVICE_SLOT_COUNT; ++s) {
            QCOMPARE(e.filter[s].usagePage, 1u);
            QCOMPARE(e.present[s], 0u);
            QCOMPARE(e.path[s][0], '\0');
        }
        QCOMPARE(QByteArray(e.name), kProduct);
        // Every other entry is cleared too.
        const DeviceEntry &last = t.entries[DEVICE_TABLE_CAPACITY - 1];
        QCOMPARE(last.vid1, 0u);
        QCOMPARE(last.name[0], '\0');
    }

    void loadReadsTheDescription()
    {
        QSettings d(m_fixture.dir() + QStringLiteral("/DefaultProfile.bin"), QSettings::IniFormat);
        d.setValue(QStringLiteral("PROFILE/vid1"), 0x1234);
        d.setValue(QStringLiteral("PROFILE/pid1"), 0x5678);
        d.setValue(QStringLiteral("PROFILE/vid2"), 0x9ABC);
        d.setValue(QStringLiteral("PROFILE/pid2"), 0xDEF0);
        d.sync();
        loadDeviceTable();
        QFile::remove(d.fileName());
        QCOMPARE(entry0().vid1, 0x1234u);
        QCOMPARE(entry0().pid1, 0x5678u);
        QCOMPARE(entry0().vid2, 0x9ABCu);
        QCOMPARE(entry0().pid2, 0xDEF0u);
    }

    void overlongNameRefused()
    {
        QSettings c(globalConfigPath(), QSettings::IniFormat);
        c.setValue(QStringLiteral("Mouse_List/0"), QString(300, QLatin1Char('M')));
        c.sync();
        loadDeviceTable();
        c.setValue(QStringLiteral("Mouse_List/0"), QStringLiteral("VELKOR"));
        c.sync();
        QCOMPARE(entry0().name[0], '\0');
        QCOMPARE(deviceTable().count, 1u);
        // A 255-byte name still fits with its NUL.
        c.setValue(QStringLiteral("Mouse_List/0"), QString(255, QLatin1Char('M')));
        c.sync();
        loadDeviceTable();
        c.setValue(QStringLiteral("Mouse_List/0"), QStringLiteral("VELKOR"));
        c.sync();
        QCOMPARE(qstrlen(entry0().name), 255u);
    }

    // ---- enumeration -------------------------------------------------------------
    void receiverOnly()
    {
        sim::plug(sim::Side::Receiver);
        loadDeviceTable();
        QCOMPARE(enumerateDevices(), 0);
        QCOMPARE(presence(), QVector<quint32>({1, 0, 1, 0}));
        QCOMPARE(pathIn(ReceiverMouse), sim::interfacePath(sim::Side::Receiver, sim::Collection::Mouse));
        QCOMPARE(pathIn(ReceiverControl), sim::interfacePath(sim::Side::Receiver, sim::Collection::Control));
        QCOMPARE(wiredFirmwareRelease(), 0u);

        openDevice(kProduct.constData());
        QCOMPARE(sim::openHandleCount(sim::Side::Receiver, sim::Collection::Mouse), 1);
        QCOMPARE(sim::openHandleCount(sim::Side::Receiver, sim::Collection::Control), 1);
        QVERIFY(receiverControlHandle());
        QVERIFY(!wiredControlHandle());
        QVERIFY(!deviceHandle(WiredMouse));
    }

    void bothSides()
    {
        sim::plug(sim::Side::Receiver);
        sim::plug(sim::Side::Cable);
        sim::setReleaseNumber(sim::Side::Cable, 0x0107);
        loadDeviceTable();
        QCOMPARE(enumerateDevices(), 0);
        QCOMPARE(presence(), QVector<quint32>({1, 1, 1, 1}));
        QCOMPARE(pathIn(WiredControl), sim::interfacePath(sim::Side::Cable, sim::Collection::Control));
        QCOMPARE(wiredFirmwareRelease(), 0x0107u);
        openDevice(kProduct.constData());
        QCOMPARE(openHandles(), 4);

        // Names are compared byte for byte.
        closeDevice();
        openDevice("velkor");
        QCOMPARE(openHandles(), 0);
        openDevice("VELKOR ");
        QCOMPARE(openHandles(), 0);
    }

    void enumerationLogsVendor04D9()
    {
        sim::ExtraCollection kb = collection(0x04D9, 0xA0F8, 6, "\\\\?\\HID#VID_04D9&PID_A0F8#kbd");
        kb.usagePage = 1;
        kb.serial = QStringLiteral("SN42");
        sim::addExtraCollection(kb);
        loadDeviceTable();
        QTest::ignoreMessage(QtDebugMsg, "Device Found\n  type: 4d9 a0f8\n  path: \\\\?\\HID#VID_04D9&PID_A0F8#kbd\n"
                                         "  serial_number: SN42\n usge 6 uu 1");
        QCOMPARE(enumerateDevices(), 0);
        QCOMPARE(presence(), QVector<quint32>({0, 0, 0, 0}));
    }

    // The receiver's control collection must have "col04" in its path; the
    // cable's has no such condition.
    void controlCollectionConditions()
    {
        sim::addExtraCollection(collection(0x248A, 0xFA02, 0, "\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col02#r"));
        sim::addExtraCollection(collection(0x248A, 0xFB01, 0, "\\\\?\\HID#VID_248A&PID_FB01&MI_00&Col02#c"));
        loadDeviceTable();
        enumerateDevices();
        QCOMPARE(presence(), QVector<quint32>({0, 0, 0, 1}));
        QCOMPARE(pathIn(WiredControl), QByteArray("\\\\?\\HID#VID_248A&PID_FB01&MI_00&Col02#c"));

        sim::addExtraCollection(collection(0x248A, 0xFA02, 0, "\\\\?\\hid#vid_248a&pid_fa02&mi_00&COL04#r"));
        enumerateDevices();
        QCOMPARE(presence(), QVector<quint32>({0, 0, 1, 1}));
    }

    void laterCollectionOverwritesAndFlagsStay()
    {
        sim::plug(sim::Side::Cable);
        sim::addExtraCollection(collection(0x248A, 0xFB01, 0, "\\\\?\\HID#VID_248A&PID_FB01&Col04#second"));
        loadDeviceTable();
        enumerateDevices();
        QCOMPARE(pathIn(WiredControl), QByteArray("\\\\?\\HID#VID_248A&PID_FB01&Col04#second"));

        // Enumeration only sets flags; hot-plug clears them.
        sim::reset();
        QCOMPARE(enumerateDevices(), 0);
        QCOMPARE(presence(), QVector<quint32>({0, 1, 0, 1}));
    }

    void releaseFilter()
    {
        sim::plug(sim::Side::Receiver);
        sim::plug(sim::Side::Cable);
        sim::setReleaseNumber(sim::Side::Receiver, 0x0105);
        sim::setReleaseNumber(sim::Side::Cable, 0x0300);
        loadDeviceTable();
        DeviceEntry &e = deviceTable().entries[0];
        e.relMin1 = 0x0200;
        e.relMax1 = 0x0300;
        e.relMin2 = 0x0200;
        e.relMax2 = 0x0300;
        enumerateDevices();
        QCOMPARE(presence(), QVector<quint32>({0, 1, 0, 1}));

        QVERIFY(releaseFilterPasses(e, SIDE_CABLE, 0x0200));
        QVERIFY(releaseFilterPasses(e, SIDE_CABLE, 0x0300));
        QVERIFY(!releaseFilterPasses(e, SIDE_CABLE, 0x0301));
        QVERIFY(!releaseFilterPasses(e, SIDE_CABLE, 0x01FF));
        e.relMax1 = 0;
        QVERIFY(releaseFilterPasses(e, SIDE_RECEIVER, 0xFFFF));
    }

    // A path that does not fit its 255-byte field is not stored and does not
    // mark the slot present; the neighbouring fields are intact.
    void overlongPathRefused()
    {
        const QByteArray longPath = "\\\\?\\HID#VID_248A&PID_FB01&Col04#" + QByteArray(240, 'x');
        QVERIFY(longPath.size() >= DEVICE_PATH_SIZE);
        sim::addExtraCollection(collection(0x248A, 0xFB01, 0, longPath));
        loadDeviceTable();
        enumerateDevices();
        QCOMPARE(presence(), QVector<quint32>({0, 0, 0, 0}));
        QCOMPARE(entry0().path[WiredControl][0], '\0');
        QCOMPARE(QByteArray(entry0().name), kProduct);

        // 254 characters fit.
        const QByteArray fits = longPath.left(DEVICE_PATH_SIZE - 1);
        sim::addExtraCollection(collection(0x248A, 0xFB01, 0, fits));
        enumerateDevices();
        QCOMPARE(pathIn(WiredControl), fits);
    }

    void libraryUnavailable()
    {
        sim::plug(sim::Side::Receiver);
        loadDeviceTable();
        sim::setInitFails(true);
        QCOMPARE(enumerateDevices(), -1);
        QCOMPARE(presence(), QVector<quint32>({0, 0, 0, 0}));
        sim::setInitFails(false);
        enumerateDevices();
        sim::setInitFails(true);
        openDevice(kProduct.constData());
        QCOMPARE(openHandles(), 0);
    }

    // ---- open and close ------------------------------------------------------------
    void closeOrderAndReopen()
    {
        LinkFixture::connect(true, true);
        QCOMPARE(openHandles(), 4);
        sim::resetCounters();
        closeDevice();
        QCOMPARE(openHandles(), 0);
        const QVector<sim::HandleEvent> log = sim::handleLog();
        QCOMPARE(log.size(), 4);
        const QVector<QPair<sim::Side, sim::Collection>> order = {
            {sim::Side::Receiver, sim::Collection::Mouse},
            {sim::Side::Receiver, sim::Collection::Control},
            {sim::Side::Cable, sim::Collection::Mouse},
            {sim::Side::Cable, sim::Collection::Control}};
        for (int i = 0; i < 4; ++i) {
            QVERIFY(!log[i].opened);
            QCOMPARE(log[i].side, order[i].first);
            QCOMPARE(log[i].collection, order[i].second);
        }
        closeDevice();   // nothing open: nothing happens
        QCOMPARE(sim::handleLog().size(), 4);

        // Opening again over open handles closes them first: no handle leaks.
        openDevice(kProduct.constData());
        openDevice(kProduct.constData());
        QCOMPARE(sim::openHandleCount(sim::Side::Receiver, sim::Collection::Control), 1);
        QCOMPARE(sim::openHandleCount(sim::Side::Cable, sim::Collection::Mouse), 1);
        QCOMPARE(openHandles(), 4);
    }

    void failedOpenLeavesNull()
    {
        LinkFixture::connect(true, false);
        closeDevice();
        sim::unplug(sim::Side::Receiver);   // paths and flags stay in the table
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Unable to open ")));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Unable to open ")));
        openDevice(kProduct.constData());
        QCOMPARE(openHandles(), 0);
    }

    // closeDevice() waits for a running lease before the handle goes.
    void closeWaitsForLease()
    {
        LinkFixture::connect(true, false);
        auto *lease = new DeviceLease(ReceiverControl);
        QVERIFY(*lease);
        std::atomic<bool> closed{false};
        QThread *closer = QThread::create([&] {
            closeDevice();
            closed = true;
        });
        closer->start();
        QTRY_VERIFY(!receiverControlHandle());   // the slot is emptied at once ...
        QVERIFY(!closed);                        // ... but the handle waits for the lease
        QCOMPARE(sim::openHandleCount(sim::Side::Receiver, sim::Collection::Control), 1);
        QCOMPARE(hid_write(lease->handle(), CommandFrame::make(0x48, 0, 0, 0, 0).buf + 1, 33), 33);
        delete lease;
        QVERIFY(closer->wait(10000));
        delete closer;
        QVERIFY(closed);
        QCOMPARE(sim::openHandleCount(sim::Side::Receiver, sim::Collection::Control), 0);
    }

    // ---- hot-plug ----------------------------------------------------------------------
    void arrivalCompletesASide()
    {
        loadDeviceTable();
        writeDiff(0);
        sim::plug(sim::Side::Receiver);
        const QString mouse = sim::interfaceName(sim::Side::Receiver, sim::Collection::Mouse);
        const QString control = sim::interfaceName(sim::Side::Receiver, sim::Collection::Control);

        QVector<PresenceChange> r = updatePresence(mouse, true, kProduct);
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0].entry, 0);
        QCOMPARE(r[0].side, int(SIDE_RECEIVER));
        QCOMPARE(r[0].slot, ReceiverMouse);
        QVERIFY(r[0].changed && r[0].newAttachment);
        QVERIFY(!r[0].sideComplete);
        QVERIFY(r[0].reconnectWanted);
        QCOMPARE(pathIn(ReceiverMouse), "\\\\?\\" + mouse.toLatin1());
        QCOMPARE(readDiff(), 1);

        writeDiff(0);
        r = updatePresence(control, true, kProduct);
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0].slot, ReceiverControl);
        QVERIFY(r[0].sideComplete);
        QCOMPARE(readDiff(), 1);

        // The same arrival again: nothing new, the side is still complete.
        writeDiff(0);
        r = updatePresence(control, true, kProduct);
        QCOMPARE(r.size(), 1);
        QVERIFY(!r[0].changed && !r[0].newAttachment);
        QVERIFY(r[0].sideComplete);
        QCOMPARE(readDiff(), 0);

        // Opened with what hot-plug stored.
        openDevice(kProduct.constData());
        QCOMPARE(openHandles(), 2);
    }

    void removalAndDeviceGone()
    {
        LinkFixture::connect(true, true);
        const QString rMouse = sim::interfaceName(sim::Side::Receiver, sim::Collection::Mouse);
        const QString rControl = sim::interfaceName(sim::Side::Receiver, sim::Collection::Control);
        const QString cMouse = sim::interfaceName(sim::Side::Cable, sim::Collection::Mouse);
        const QString cControl = sim::interfaceName(sim::Side::Cable, sim::Collection::Control);

        QVector<PresenceChange> r = updatePresence(cControl, false, kProduct);
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0].slot, WiredControl);
        QVERIFY(r[0].changed && !r[0].deviceGone);
        QVERIFY(r[0].reconnectWanted);   // the cable's mouse collection is still there
        QCOMPARE(QByteArray(entry0().path[WiredControl]), sim::interfacePath(sim::Side::Cable, sim::Collection::Control));

        r = updatePresence(cMouse, false, kProduct);
        QVERIFY(r[0].changed && !r[0].deviceGone);
        QVERIFY(!r[0].reconnectWanted);  // nothing left on the cable side

        // Already absent: left alone, no record, no reconnection.
        QVERIFY(updatePresence(cMouse, false, kProduct).isEmpty());

        updatePresence(rMouse, false, kProduct);
        r = updatePresence(rControl, false, kProduct);
        QVERIFY(r[0].deviceGone);
        QVERIFY(!r[0].reconnectWanted);
        QCOMPARE(presence(), QVector<quint32>({0, 0, 0, 0}));
    }

    void reconnectOnlyForTheCurrentProduct()
    {
        LinkFixture::connect(true, false);
        const QString name = sim::interfaceName(sim::Side::Receiver, sim::Collection::Mouse);
        QVERIFY(!updatePresence(name, false, "OTHER").value(0).reconnectWanted);
        QVERIFY(!updatePresence(name, true, "OTHER").value(0).reconnectWanted);
        writeCurrentProduct(QStringLiteral("VELKOR"));
        QVERIFY(updatePresence(name, true).value(0).reconnectWanted);
        writeCurrentProduct(QStringLiteral("Someone else"));
        QVERIFY(!updatePresence(name, true).value(0).reconnectWanted);
        writeCurrentProduct(QStringLiteral("VELKOR"));
    }

    void foreignAndRefusedArrivals()
    {
        loadDeviceTable();
        writeDiff(0);
        QVERIFY(updatePresence(QStringLiteral("HID#VID_1234&PID_5678&MI_00&Col04#x"), true, kProduct).isEmpty());
        QVERIFY(updatePresence(QStringLiteral("HID#VID_248A&PID_FA02&MI_00&Col02#x"), true, kProduct).isEmpty());
        QCOMPARE(readDiff(), 0);

        // Too long for the path field: refused, the slot stays absent.
        const QString longName = QStringLiteral("HID#VID_248A&PID_FB01&MI_00&Col04#") + QString(250, QLatin1Char('x'));
        QVector<PresenceChange> r = updatePresence(longName, true, kProduct);
        QCOMPARE(r.size(), 1);
        QVERIFY(!r[0].changed);
        QCOMPARE(entry0().present[WiredControl], 0u);
        QCOMPARE(entry0().path[WiredControl][0], '\0');
        QCOMPARE(readDiff(), 0);

        // Release outside the cable's range: nothing recorded.
        sim::plug(sim::Side::Cable);
        sim::setReleaseNumber(sim::Side::Cable, 0x0100);
        deviceTable().entries[0].relMin2 = 0x0200;
        deviceTable().entries[0].relMax2 = 0x0300;
        r = updatePresence(sim::interfaceName(sim::Side::Cable, sim::Collection::Control), true, kProduct);
        QVERIFY(!r.value(0).changed);
        QCOMPARE(entry0().present[WiredControl], 0u);
        sim::setReleaseNumber(sim::Side::Cable, 0x0250);
        r = updatePresence(sim::interfaceName(sim::Side::Cable, sim::Collection::Control), true, kProduct);
        QVERIFY(r.value(0).changed);
        QCOMPARE(entry0().present[WiredControl], 1u);
    }

    // With the same pair on both sides, the receiver's is tried first.
    void receiverPairFirst()
    {
        QSettings d(m_fixture.dir() + QStringLiteral("/DefaultProfile.bin"), QSettings::IniFormat);
        d.setValue(QStringLiteral("PROFILE/pid2"), 0xFA02);
        d.sync();
        loadDeviceTable();
        QFile::remove(d.fileName());
        const QVector<PresenceChange> r =
            updatePresence(QStringLiteral("HID#VID_248A&PID_FA02&MI_00&Col04#x"), true, kProduct);
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0].side, int(SIDE_RECEIVER));
        QCOMPARE(r[0].slot, ReceiverControl);
    }

    // The simulator's notifier feeds the presence update as the system's would.
    void notifierDrivesPresence()
    {
        loadDeviceTable();
        sim::Notifier notifier;
        QVERIFY(notifier.start());
        QSignalSpy spy(&notifier, &platform::DeviceNotifier::deviceChanged);
        sim::plug(sim::Side::Cable);
        QCOMPARE(spy.count(), 0);   // reports come through the event loop
        QTRY_COMPARE(spy.count(), 2);
        for (const QList<QVariant> &args : qAsConst(spy))
            updatePresence(args[0].toString(), args[1].toBool(), kProduct);
        QCOMPARE(spy[0][0].toString(), sim::interfaceName(sim::Side::Cable, sim::Collection::Mouse));
        QCOMPARE(presence(), QVector<quint32>({0, 1, 0, 1}));
        openDevice(kProduct.constData());
        QCOMPARE(openHandles(), 2);

        spy.clear();
        closeDevice();
        sim::unplug(sim::Side::Cable);
        QTRY_COMPARE(spy.count(), 2);
        QVector<PresenceChange> last;
        for (const QList<QVariant> &args : qAsConst(spy)) {
            QVERIFY(!args[1].toBool());
            last = updatePresence(args[0].toString(), args[1].toBool(), kProduct);
        }
        QVERIFY(last.value(0).deviceGone);
    }

    void notifierFactory()
    {
        sim::installNotifier();
        std::unique_ptr<platform::DeviceNotifier> n(platform::createDeviceNotifier());
        QVERIFY(qobject_cast<sim::Notifier *>(n.get()));
        platform::setDeviceNotifierFactory(nullptr);
    }

private:
    LinkFixture m_fixture;
};

QTEST_GUILESS_MAIN(DiscoveryTest)
#include "tst_discovery.moc"

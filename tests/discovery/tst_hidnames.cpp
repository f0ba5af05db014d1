// Interface names for hidraw collections: naming an enumeration list, mapping
// names back to nodes, counting a node's top-level collections.

#include "device/devicetable.h"
#include "platform/hidnames.h"
#include "platform/udevnotifier.h"

#include <QtTest>
#include <memory>
#include <vector>

namespace {

// A list as hidapi's hidraw backend returns it: one entry per top-level
// collection, the entries of one node sharing its path.
struct FakeList {
    std::vector<QByteArray> paths;
    std::vector<hid_device_info> infos;

    void add(const char *path, quint16 vid, quint16 pid, int interfaceNumber, quint16 usagePage = 0,
             quint16 usage = 0)
    {
        paths.emplace_back(path);
        hid_device_info info = {};
        info.vendor_id = vid;
        info.product_id = pid;
        info.interface_number = interfaceNumber;
        info.usage_page = usagePage;
        info.usage = usage;
        infos.push_back(info);
    }
    const hid_device_info *head()
    {
        for (size_t i = 0; i < infos.size(); ++i) {
            infos[i].path = paths[i].data();
            infos[i].next = i + 1 < infos.size() ? &infos[i + 1] : nullptr;
        }
        return infos.empty() ? nullptr : &infos[0];
    }
};

// Mouse (with a nested physical collection), consumer control, vendor
// control: three top-level collections.
const unsigned char kDescriptor[] = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,             // Usage Page 1, Usage 2, Collection (Application)
    0x85, 0x01, 0x09, 0x01, 0xA1, 0x00,             //   Report Id 1, Usage 1, Collection (Physical)
    0x05, 0x09, 0x19, 0x01, 0x29, 0x05,             //     buttons
    0x15, 0x00, 0x25, 0x01, 0x95, 0x05, 0x75, 0x01,
    0x81, 0x02, 0xC0,                               //     Input, End Collection
    0xC0,                                           // End Collection
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01,             // Consumer control
    0x85, 0x03, 0x19, 0x00, 0x2A, 0x3C, 0x02,
    0x15, 0x00, 0x26, 0x3C, 0x02, 0x95, 0x01, 0x75, 0x10, 0x81, 0x00, 0xC0,
    0x06, 0x00, 0xFF, 0x09, 0x00, 0xA1, 0x01,       // Vendor collection
    0x85, 0x05, 0x09, 0x01, 0x95, 0x20, 0x75, 0x08, 0x91, 0x02,
    0xFE, 0x02, 0x10, 0xAA, 0xBB,                   //   a long item
    0xC0,
};

QByteArray fakeDescriptor(const QByteArray &node)
{
    if (node == "/dev/hidraw7")
        return QByteArray(reinterpret_cast<const char *>(kDescriptor), sizeof kDescriptor);
    return QByteArray();
}

} // namespace

class HidNamesTest : public QObject {
    Q_OBJECT

private slots:
    void namesAList()
    {
        FakeList list;
        list.add("/dev/hidraw3", 0x248A, 0xFA02, 0);
        list.add("/dev/hidraw3", 0x248A, 0xFA02, 0);
        list.add("/dev/hidraw4", 0x248A, 0xFA02, 1);
        list.add("/dev/hidraw3", 0x248A, 0xFA02, 0);
        list.add("/dev/hidraw3", 0x248A, 0xFA02, 0);
        list.add("\\\\?\\HID#VID_248A&PID_FB01&MI_00&Col04#7&2b&0&0003#{g}", 0x248A, 0xFB01, 0);
        list.add("/dev/hidraw9", 0x0a5c, 0x4503, -1);   // not USB: no interface number
        const QVector<QByteArray> names = platform::hidInterfaceNames(list.head());
        QCOMPARE(names.size(), 7);
        QCOMPARE(names[0], QByteArray("\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col01#/dev/hidraw3"));
        QCOMPARE(names[1], QByteArray("\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col02#/dev/hidraw3"));
        QCOMPARE(names[2], QByteArray("\\\\?\\HID#VID_248A&PID_FA02&MI_01&Col01#/dev/hidraw4"));
        QCOMPARE(names[3], QByteArray("\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col03#/dev/hidraw3"));
        QCOMPARE(names[4], QByteArray("\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col04#/dev/hidraw3"));
        QCOMPARE(names[5], QByteArray("\\\\?\\HID#VID_248A&PID_FB01&MI_00&Col04#7&2b&0&0003#{g}"));
        QCOMPARE(names[6], QByteArray("\\\\?\\HID#VID_0A5C&PID_4503&Col01#/dev/hidraw9"));
        QVERIFY(platform::hidInterfaceNames(nullptr).isEmpty());

        // The device link's matching reads them as it reads Windows names.
        const InterfaceClass c = classifyInterface(QString::fromLatin1(names[4].mid(4)));
        QCOMPARE(c.kind, InterfaceKind::Control);
        QCOMPARE(c.pid, quint16(0xFA02));
        QCOMPARE(classifyInterface(QString::fromLatin1(names[0].mid(4))).kind, InterfaceKind::Mouse);
        QCOMPARE(classifyInterface(QString::fromLatin1(names[2].mid(4))).kind, InterfaceKind::None);
    }

    // The enumeration lists a nested collection with a usage as an entry of
    // its own: it must not push the collections after it to higher numbers,
    // or the control collection of a real receiver is never found.
    void nestedCollectionsKeepTheirParentsNumber()
    {
        FakeList list;
        list.add("/dev/hidraw7", 0x248A, 0xFA02, 0, 0x01, 0x02);
        list.add("/dev/hidraw7", 0x248A, 0xFA02, 0, 0x01, 0x01);
        list.add("/dev/hidraw7", 0x248A, 0xFA02, 0, 0x0C, 0x01);
        list.add("/dev/hidraw7", 0x248A, 0xFA02, 0, 0xFF00, 0x00);
        const QVector<QByteArray> names = platform::hidInterfaceNames(list.head(), fakeDescriptor);
        QCOMPARE(names, QVector<QByteArray>({"\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col01#/dev/hidraw7",
                                             "\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col01#/dev/hidraw7",
                                             "\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col02#/dev/hidraw7",
                                             "\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col03#/dev/hidraw7"}));

        const QVector<platform::DescriptorUsage> usages =
            platform::descriptorUsages(fakeDescriptor("/dev/hidraw7"));
        QCOMPARE(usages.size(), 4);
        QCOMPARE(usages[1].usagePage, quint16(0x01));
        QCOMPARE(usages[1].usage, quint16(0x01));
        QCOMPARE(usages[1].topLevel, 1);
        QCOMPARE(usages[3].usagePage, quint16(0xFF00));
        QCOMPARE(usages[3].topLevel, 3);

        // A list that does not agree with the descriptor: numbered by position.
        FakeList other;
        other.add("/dev/hidraw7", 0x248A, 0xFA02, 0, 0x01, 0x02);
        other.add("/dev/hidraw7", 0x248A, 0xFA02, 0, 0x0C, 0x01);
        const QVector<QByteArray> byPosition = platform::hidInterfaceNames(other.head(), fakeDescriptor);
        QVERIFY(byPosition[1].contains("&Col02#"));
    }

    void mapsBackToTheNode()
    {
        QCOMPARE(platform::realHidPath("\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col04#/dev/hidraw3"),
                 QByteArray("/dev/hidraw3"));
        QCOMPARE(platform::realHidPath("hid#VID_248A&PID_FA02&Col01#/dev/hidraw12"), QByteArray("/dev/hidraw12"));
        const QByteArray windows = "\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col04#7&1a2b3c4d&0&0003#{4d1e55b2}";
        QCOMPARE(platform::realHidPath(windows), windows);
        QCOMPARE(platform::realHidPath("/dev/hidraw3"), QByteArray("/dev/hidraw3"));
        QCOMPARE(platform::realHidPath("HID#VID_248A"), QByteArray("HID#VID_248A"));
        QVERIFY(platform::isNodeInterfaceName("HID#VID_1&PID_2&Col01#/dev/hidraw0"));
        QVERIFY(!platform::isNodeInterfaceName(windows));
    }

    void countsTopLevelCollections()
    {
        const QByteArray d(reinterpret_cast<const char *>(kDescriptor), sizeof kDescriptor);
        QCOMPARE(platform::topLevelCollectionCount(d), 3);
        QCOMPARE(platform::topLevelCollectionCount(QByteArray()), 0);
        // Cut inside the third collection's first item: the first two count.
        QCOMPARE(platform::topLevelCollectionCount(d.left(d.indexOf(char(0xFF)) + 0)), 2);
        // A long item whose size runs past the end stops the count.
        QCOMPARE(platform::topLevelCollectionCount(QByteArray("\xA1\x01\xC0\xFE\x40\x10", 6)), 1);

        const QVector<QByteArray> names = platform::nodeInterfaceNames(0x248A, 0xFA02, 0, d, "/dev/hidraw5");
        QCOMPARE(names, QVector<QByteArray>({"HID#VID_248A&PID_FA02&MI_00&Col01#/dev/hidraw5",
                                             "HID#VID_248A&PID_FA02&MI_00&Col02#/dev/hidraw5",
                                             "HID#VID_248A&PID_FA02&MI_00&Col03#/dev/hidraw5"}));
    }

    void parsesHidId()
    {
        quint16 vid = 0;
        quint16 pid = 0;
        QVERIFY(platform::parseHidId("0003:0000248A:0000FA02", &vid, &pid));
        QCOMPARE(vid, quint16(0x248A));
        QCOMPARE(pid, quint16(0xFA02));
        QVERIFY(!platform::parseHidId("0003:0001248A:0000FA02", &vid, &pid));
        QVERIFY(!platform::parseHidId("garbage", &vid, &pid));
        QVERIFY(!platform::parseHidId(QByteArray(), &vid, &pid));
    }

    // Without a factory the system's notifier is made: udev here. Whether the
    // monitor can start depends on the machine (containers often have no
    // udev); either way it must start or refuse cleanly and go away cleanly.
    void systemNotifier()
    {
        platform::setDeviceNotifierFactory(nullptr);
        std::unique_ptr<platform::DeviceNotifier> n(platform::createDeviceNotifier());
        QVERIFY(qobject_cast<platform::UdevNotifier *>(n.get()));
        const bool started = n->start();
        QCOMPARE(n->start(), started);
        QCoreApplication::processEvents();
    }

    void permissionHint()
    {
        QVERIFY(platform::openFailureHint("\\\\?\\HID#VID_248A&PID_FA02&Col04#7&1").isEmpty());
        QVERIFY(platform::openFailureHint("/dev/hidraw-that-does-not-exist").isEmpty());
    }
};

QTEST_GUILESS_MAIN(HidNamesTest)
#include "tst_hidnames.moc"

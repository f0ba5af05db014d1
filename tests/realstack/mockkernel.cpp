// glib's headers use "signals" as a name: before Qt's.
#include <umockdev.h>

#include "tests/realstack/mockkernel.h"
#include "tests/realstack/simhid.h"

#include <hidapi/hidapi.h>

#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>

#include <QtGlobal>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

const unsigned char kDescriptor[] = {
    // 1: mouse, with the physical collection inside it
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x01, 0x09, 0x01, 0xA1, 0x00,
    0x05, 0x09, 0x19, 0x01, 0x29, 0x05, 0x15, 0x00, 0x25, 0x01, 0x95, 0x05, 0x75, 0x01, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x03, 0x81, 0x01,
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x16, 0x01, 0x80, 0x26, 0xFF, 0x7F, 0x75, 0x10, 0x95, 0x02, 0x81, 0x06,
    0xC0, 0xC0,
    // 2: keyboard
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x02, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0xC0,
    // 3: consumer control
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x19, 0x00, 0x2A, 0x3C, 0x02, 0x15, 0x00, 0x26, 0x3C, 0x02,
    0x95, 0x01, 0x75, 0x10, 0x81, 0x00, 0xC0,
    // 4: the control collection, report id 5, 32 bytes in and out
    0x05, 0x01, 0x09, 0x00, 0xA1, 0x01, 0x85, 0x05, 0x09, 0x00, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x95, 0x20, 0x81, 0x02, 0x09, 0x00, 0x91, 0x02, 0xC0,
};

enum { kReportLength = 33, kNodeBuffer = 64 };   // hidraw keeps up to 64 unread reports

int sideIndex(sim::Side side)
{
    return side == sim::Side::Receiver ? 0 : 1;
}

gboolean answerIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer)
{
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    if (request == HIDIOCGRDESCSIZE) {
        UMockdevIoctlData *size = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr);
        const int n = int(sizeof kDescriptor);
        std::memcpy(size->data, &n, sizeof n);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    if (request == HIDIOCGRDESC) {
        UMockdevIoctlData *desc =
            umockdev_ioctl_data_resolve(arg, 0, sizeof(struct hidraw_report_descriptor), nullptr);
        auto *out = reinterpret_cast<struct hidraw_report_descriptor *>(desc->data);
        out->size = sizeof kDescriptor;
        std::memcpy(out->value, kDescriptor, sizeof kDescriptor);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    if (request == HIDIOCGRAWINFO) {
        UMockdevIoctlData *info = umockdev_ioctl_data_resolve(arg, 0, sizeof(struct hidraw_devinfo), nullptr);
        auto *out = reinterpret_cast<struct hidraw_devinfo *>(info->data);
        out->bustype = 3;   // USB
        out->vendor = qint16(0x248A);
        out->product = qint16(0xFA02);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    umockdev_ioctl_client_complete(client, -1, ENOTTY);
    return TRUE;
}

} // namespace

struct MockKernel::Private {
    UMockdevTestbed *testbed = nullptr;
    UMockdevIoctlBase *ioctls = nullptr;

    // What the pump works on; guarded by the mutex.
    std::mutex mutex;
    int master[2] = {-1, -1};           // the node's far side
    int slave[2] = {-1, -1};            // the node's own side, to count what waits there
    hid_device_ *control[2] = {};       // the model's control collection
    QByteArray partial[2];              // bytes of a report not yet complete
    QByteArray usbPath[2];
    QByteArray hidrawPath[2];
    QByteArray node[2];
    int plugs = 0;

    std::atomic<bool> running{true};
    std::atomic<int> in{0};
    std::atomic<int> out{0};
    std::atomic<int> motionOut{0};
    std::atomic<int> motionDropped{0};
    std::atomic<int> motionAhead{0};
    std::thread pump;

    void pumpLoop();
    void moveInto(int side);
    void moveOut(int side);
    int unreadReports(int side) const;
};

// Reports waiting in the node for the reader. The ioctl goes to the kernel
// directly: umockdev's own ioctl() answers only the emulated requests.
int MockKernel::Private::unreadReports(int side) const
{
    int bytes = 0;
    if (slave[side] < 0 || ::syscall(SYS_ioctl, slave[side], FIONREAD, &bytes) != 0)
        return 0;
    return (bytes + kReportLength - 1) / kReportLength;
}

void MockKernel::Private::moveOut(int side)
{
    unsigned char report[64];
    int n;
    while ((n = mousecfg_simhid_read_timeout(control[side], report, sizeof report, 0)) > 0) {
        const bool motion = report[0] == sim::MOUSE_REPORT_ID;
        if (motion) {
            if (unreadReports(side) >= kNodeBuffer) {
                ++motionDropped;
                continue;
            }
            std::memset(report + n, 0, size_t(kReportLength - qMin(n, int(kReportLength))));
            n = qMax(n, int(kReportLength));
        } else {
            unsigned char still[kReportLength] = {sim::MOUSE_REPORT_ID, 0, 1};
            for (int i = motionAhead; i > 0; --i) {
                if (::write(master[side], still, sizeof still) == int(sizeof still))
                    ++motionOut;
            }
        }
        if (::write(master[side], report, size_t(n)) == n) {
            ++out;
            if (motion)
                ++motionOut;
        }
    }
}

void MockKernel::Private::moveInto(int side)
{
    unsigned char buffer[256];
    const ssize_t n = ::read(master[side], buffer, sizeof buffer);
    if (n <= 0)
        return;
    partial[side].append(reinterpret_cast<const char *>(buffer), int(n));
    while (partial[side].size() >= kReportLength) {
        const QByteArray report = partial[side].left(kReportLength);
        partial[side].remove(0, kReportLength);
        if (control[side])
            mousecfg_simhid_write(control[side], reinterpret_cast<const unsigned char *>(report.constData()),
                                  size_t(report.size()));
        ++in;
    }
}

void MockKernel::Private::pumpLoop()
{
    while (running) {
        pollfd fds[2];
        int count = 0;
        int sideOf[2];
        {
            std::lock_guard<std::mutex> lock(mutex);
            for (int s = 0; s < 2; ++s) {
                if (master[s] >= 0) {
                    fds[count] = {master[s], POLLIN, 0};
                    sideOf[count++] = s;
                }
            }
        }
        if (count == 0) {
            ::usleep(1000);
            continue;
        }
        ::poll(fds, nfds_t(count), 1);
        std::lock_guard<std::mutex> lock(mutex);
        for (int i = 0; i < count; ++i) {
            if ((fds[i].revents & POLLIN) && master[sideOf[i]] == fds[i].fd)
                moveInto(sideOf[i]);
        }
        // Whatever the mouse has to say goes out one report at a time.
        for (int s = 0; s < 2; ++s) {
            if (control[s] && master[s] >= 0)
                moveOut(s);
        }
    }
}

MockKernel::MockKernel() : d(new Private)
{
    d->testbed = umockdev_testbed_new();
    d->ioctls = umockdev_ioctl_base_new();
    g_signal_connect(d->ioctls, "handle-ioctl", G_CALLBACK(answerIoctl), nullptr);
    mousecfg_simhid_init();
    d->pump = std::thread([this] { d->pumpLoop(); });
}

MockKernel::~MockKernel()
{
    for (sim::Side side : {sim::Side::Receiver, sim::Side::Cable})
        unplug(side);
    d->running = false;
    d->pump.join();
    g_object_unref(d->ioctls);
    g_object_unref(d->testbed);
}

bool MockKernel::available()
{
    return qEnvironmentVariable("LD_PRELOAD").contains(QStringLiteral("umockdev"));
}

QByteArray MockKernel::node(sim::Side side) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->node[sideIndex(side)];
}

QByteArray MockKernel::reportDescriptor()
{
    return QByteArray(reinterpret_cast<const char *>(kDescriptor), int(sizeof kDescriptor));
}

int MockKernel::framesIn() const
{
    return d->in;
}

int MockKernel::framesOut() const
{
    return d->out;
}

void MockKernel::setMotion(int hz)
{
    sim::setMotionOnControl(true);
    sim::setMotion(hz);
}

void MockKernel::setMotionAheadOfReplies(int count)
{
    d->motionAhead = qBound(0, count, kNodeBuffer - 1);
}

int MockKernel::motionOut() const
{
    return d->motionOut;
}

int MockKernel::motionDropped() const
{
    return d->motionDropped;
}

void MockKernel::plug(sim::Side side)
{
    const int s = sideIndex(side);
    if (!d->usbPath[s].isEmpty())
        return;
    sim::plug(side);
    const sim::Identity ids = sim::identity();
    const quint16 vid = side == sim::Side::Receiver ? ids.vid1 : ids.vid2;
    const quint16 pid = side == sim::Side::Receiver ? ids.pid1 : ids.pid2;
    const int number = d->plugs++;
    const QByteArray bus = "1-" + QByteArray::number(number + 1);
    const QByteArray nodePath = "/dev/hidraw" + QByteArray::number(number);
    const QByteArray hex = [](quint16 v) { return QByteArray::number(v, 16).rightJustified(4, '0'); }(vid);
    const QByteArray pidHex = QByteArray::number(pid, 16).rightJustified(4, '0');
    const QByteArray release = QByteArray::number(sim::releaseNumber(side), 16).rightJustified(4, '0');
    const QByteArray product = side == sim::Side::Receiver ? "Wireless Receiver" : "Gaming Mouse";

    gchar *usb = umockdev_testbed_add_device(
        d->testbed, "usb", bus.constData(), nullptr, "idVendor", hex.constData(), "idProduct", pidHex.constData(),
        "bcdDevice", release.constData(), "manufacturer", "Simulated", "product", product.constData(), nullptr,
        "DEVTYPE", "usb_device", nullptr);
    gchar *intf = umockdev_testbed_add_device(d->testbed, "usb", (bus + ":1.0").constData(), usb,
                                              "bInterfaceNumber", "00", nullptr, "DEVTYPE", "usb_interface",
                                              nullptr);
    const QByteArray hidName = QByteArray("0003:") + hex.toUpper() + ':' + pidHex.toUpper() + '.'
                               + QByteArray::number(number + 1, 16).toUpper().rightJustified(4, '0');
    const QByteArray hidId = QByteArray("0003:0000") + hex.toUpper() + ":0000" + pidHex.toUpper();
    gchar *hid = umockdev_testbed_add_device(d->testbed, "hid", hidName.constData(), intf, nullptr, "HID_ID",
                                             hidId.constData(), "HID_NAME", product.constData(), "HID_UNIQ", "",
                                             nullptr);
    umockdev_testbed_set_attribute_binary(d->testbed, hid, "report_descriptor",
                                          const_cast<guint8 *>(kDescriptor), gint(sizeof kDescriptor));

    // The node: a description with an N: line gets a device file.
    const QByteArray nodeName = nodePath.mid(5);
    const QByteArray hidraw = QByteArray(hid) + "/hidraw/" + nodeName;
    const QByteArray description = "P: " + hidraw.mid(4) + "\nN: " + nodeName + "\nE: DEVNAME=" + nodePath
                                   + "\nE: SUBSYSTEM=hidraw\nE: MAJOR=245\nE: MINOR=" + QByteArray::number(number)
                                   + "\n";
    GError *error = nullptr;
    if (!umockdev_testbed_add_from_string(d->testbed, description.constData(), &error)) {
        qWarning("Mock kernel: cannot add %s: %s", hidraw.constData(), error ? error->message : "?");
        g_clear_error(&error);
    }
    umockdev_testbed_set_attribute_link(d->testbed, hidraw.constData(), "device", ("../../../" + hidName).constData());
    if (!umockdev_testbed_attach_ioctl(d->testbed, nodePath.constData(), d->ioctls, &error)) {
        qWarning("Mock kernel: cannot serve ioctls of %s: %s", nodePath.constData(),
                 error ? error->message : "?");
        g_clear_error(&error);
    }

    // The far side of the node, raw: no echo, no line editing, no
    // translation of any byte.
    const int master = umockdev_testbed_get_dev_fd(d->testbed, nodePath.constData());
    int slave = -1;
    if (master >= 0) {
        termios raw;
        if (::tcgetattr(master, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(master, TCSANOW, &raw);
        }
        char name[64];
        if (::ptsname_r(master, name, sizeof name) == 0)
            slave = ::open(name, O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    }

    // The model's control collection of this side, opened as the kernel's
    // driver would hold the device.
    hid_device_ *control = nullptr;
    hid_device_info *list = mousecfg_simhid_enumerate(vid, pid);
    for (hid_device_info *info = list; info; info = info->next) {
        if (info->usage_page == 1 && info->usage == 0 && info->path) {
            control = mousecfg_simhid_open_path(info->path);
            break;
        }
    }
    mousecfg_simhid_free_enumeration(list);

    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->master[s] = master;
        d->slave[s] = slave;
        d->control[s] = control;
        d->partial[s].clear();
        d->usbPath[s] = usb;
        d->hidrawPath[s] = hidraw;
        d->node[s] = nodePath;
    }
    umockdev_testbed_uevent(d->testbed, hidraw.constData(), "add");
    g_free(hid);
    g_free(intf);
    g_free(usb);
}

void MockKernel::unplug(sim::Side side)
{
    const int s = sideIndex(side);
    QByteArray usb;
    QByteArray hidraw;
    QByteArray nodePath;
    hid_device_ *control = nullptr;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        if (d->usbPath[s].isEmpty())
            return;
        if (d->slave[s] >= 0)
            ::close(d->slave[s]);
        d->slave[s] = -1;
        usb = d->usbPath[s];
        hidraw = d->hidrawPath[s];
        nodePath = d->node[s];
        control = d->control[s];
        d->node[s].clear();
        d->usbPath[s].clear();
        d->hidrawPath[s].clear();
        d->control[s] = nullptr;
        d->master[s] = -1;
    }
    umockdev_testbed_uevent(d->testbed, hidraw.constData(), "remove");
    umockdev_testbed_detach_ioctl(d->testbed, nodePath.constData(), nullptr);
    umockdev_testbed_remove_device(d->testbed, usb.constData());
    if (control)
        mousecfg_simhid_close(control);
    sim::unplug(side);
}

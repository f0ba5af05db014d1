#include "platform/udevnotifier.h"
#include "platform/hidnames.h"
#include "platform/logging.h"

#include <QDebug>
#include <QFile>
#include <QSocketNotifier>
#include <libudev.h>

namespace platform {

UdevNotifier::UdevNotifier(QObject *parent) : DeviceNotifier(parent) {}

UdevNotifier::~UdevNotifier()
{
    delete m_socket;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

bool UdevNotifier::start()
{
    if (m_monitor)
        return true;
    m_udev = udev_new();
    if (!m_udev) {
        qCWarning(lcHotplug, "udev is not available: no hot-plug notifications.\n");
        return false;
    }
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0
        || udev_monitor_enable_receiving(m_monitor) < 0) {
        qCWarning(lcHotplug, "Cannot watch the hidraw subsystem: no hot-plug notifications.\n");
        if (m_monitor)
            udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
        return false;
    }

    // Remember the nodes that are already there, so that their removal can
    // be reported with the names they have.
    if (udev_enumerate *e = udev_enumerate_new(m_udev)) {
        udev_enumerate_add_match_subsystem(e, "hidraw");
        udev_enumerate_scan_devices(e);
        udev_list_entry *entry;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e))
        {
            udev_device *dev = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
            if (!dev)
                continue;
            if (const char *node = udev_device_get_devnode(dev))
                m_names.insert(QByteArray(node), namesOf(dev));
            udev_device_unref(dev);
        }
        udev_enumerate_unref(e);
    }

    m_socket = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read);
    connect(m_socket, &QSocketNotifier::activated, this, [this] { onReadable(); });
    return true;
}

void UdevNotifier::onReadable()
{
    while (udev_device *dev = udev_monitor_receive_device(m_monitor)) {
        const QByteArray action = udev_device_get_action(dev);
        const char *nodeText = udev_device_get_devnode(dev);
        const QByteArray node = nodeText ? QByteArray(nodeText) : QByteArray();
        QVector<QByteArray> names;
        bool arrival = false;
        if (!node.isEmpty() && action == "add") {
            names = namesOf(dev);
            m_names.insert(node, names);
            arrival = true;
        } else if (!node.isEmpty() && action == "remove") {
            names = m_names.take(node);
        }
        udev_device_unref(dev);
        for (const QByteArray &name : qAsConst(names))
            emit deviceChanged(QString::fromUtf8(name), arrival);
    }
}

QVector<QByteArray> UdevNotifier::namesOf(udev_device *device)
{
    const char *node = udev_device_get_devnode(device);
    udev_device *hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr);
    if (!node || !hid)
        return {};
    quint16 vid = 0;
    quint16 pid = 0;
    if (!parseHidId(udev_device_get_property_value(hid, "HID_ID"), &vid, &pid))
        return {};

    int interfaceNumber = -1;
    if (udev_device *intf = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_interface")) {
        bool ok = false;
        const int n = QByteArray(udev_device_get_sysattr_value(intf, "bInterfaceNumber")).toInt(&ok, 16);
        if (ok)
            interfaceNumber = n;
    }

    QFile descriptor(QString::fromUtf8(udev_device_get_syspath(hid)) + QStringLiteral("/report_descriptor"));
    if (!descriptor.open(QIODevice::ReadOnly))
        return {};
    return nodeInterfaceNames(vid, pid, interfaceNumber, descriptor.readAll(), QByteArray(node));
}

} // namespace platform

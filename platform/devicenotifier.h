#pragma once
// Hot-plug of HID interfaces. A notifier reports each top-level collection
// that arrives or leaves under its interface name, without the leading "\\?\":
//   HID#VID_248A&PID_FA02&MI_00&Col04#<instance>
// which is the form the device link's classification reads. On Linux the
// instance part is the hidraw node (/dev/hidraw3) and the collection number is
// the collection's position among the node's top-level collections.

#include <QObject>
#include <QString>

namespace platform {

class DeviceNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~DeviceNotifier() override;

    // Starts watching; false when the system offers no notifications (a debug
    // line says why). Reports arrive through the owner thread's event loop.
    virtual bool start() = 0;

signals:
    void deviceChanged(const QString &interfaceName, bool arrival);
};

using DeviceNotifierFactory = DeviceNotifier *(*)(QObject *parent);

// A new notifier of this system (udev on Linux), or the product of the
// installed factory. Not started yet.
DeviceNotifier *createDeviceNotifier(QObject *parent = nullptr);
// nullptr restores the system's notifier. Install before the first create.
void setDeviceNotifierFactory(DeviceNotifierFactory factory);

} // namespace platform

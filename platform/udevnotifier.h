#pragma once
// Hot-plug on Linux: a libudev monitor on the "hidraw" subsystem, read through
// a QSocketNotifier on the owner thread's event loop. An arriving node is
// reported once per top-level collection of its report descriptor (read from
// sysfs); a leaving node with the names it arrived with, which are
// remembered per node (nodes present at start() included).

#include "platform/devicenotifier.h"

#include <QByteArray>
#include <QHash>
#include <QVector>

struct udev;
struct udev_device;
struct udev_monitor;
class QSocketNotifier;

namespace platform {

class UdevNotifier : public DeviceNotifier {
    Q_OBJECT
public:
    explicit UdevNotifier(QObject *parent = nullptr);
    ~UdevNotifier() override;
    bool start() override;

private:
    void onReadable();
    static QVector<QByteArray> namesOf(udev_device *device);

    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_socket = nullptr;
    QHash<QByteArray, QVector<QByteArray>> m_names;   // node -> interface names
};

} // namespace platform

#include "device/devicetable.h"

#include "device/logging.h"
#include "platform/hidnames.h"
#include "profile/configstore.h"
#include "profile/description.h"

#include <QDebug>
#include <QRegularExpression>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace {

DeviceTable g_table;
quint32 g_wiredRelease = 0;

// The four handles, each with the number of leases running on it. Opening
// numbers tell one opening of a slot from the next.
struct Handles {
    std::mutex mutex;
    std::condition_variable idle;
    hid_device *handle[DEVICE_SLOT_COUNT] = {};
    quint64 opening[DEVICE_SLOT_COUNT] = {};
    int leases[DEVICE_SLOT_COUNT] = {};
    quint64 lastOpening = 0;
};

Handles &handles()
{
    static Handles h;
    return h;
}

// Empties a slot, waits until no lease uses its handle, closes it.
void closeSlot(DeviceSlot slot)
{
    Handles &h = handles();
    hid_device *old;
    {
        std::unique_lock<std::mutex> lock(h.mutex);
        old = h.handle[slot];
        h.handle[slot] = nullptr;
        h.opening[slot] = 0;
        h.idle.wait(lock, [&] { return h.leases[slot] == 0; });
    }
    if (old)
        hid_close(old);
}

void openSlot(DeviceSlot slot, const char *path)
{
    closeSlot(slot);
    const QByteArray real = platform::realHidPath(QByteArray(path));
    hid_device *dev = hid_open_path(real.constData());
    if (!dev) {
        qCDebug(lcDevice, "Unable to open %s\n", path);
        const QByteArray hint = platform::openFailureHint(real);
        if (!hint.isEmpty())
            qCDebug(lcDevice, "%s\n", hint.constData());
        return;
    }
    Handles &h = handles();
    std::lock_guard<std::mutex> lock(h.mutex);
    h.handle[slot] = dev;
    h.opening[slot] = ++h.lastOpening;
}

// Copies a path into its slot; refuses one that does not fit the field.
bool storePath(DeviceEntry &entry, DeviceSlot slot, const QByteArray &path)
{
    if (path.size() >= DEVICE_PATH_SIZE || path.contains('\0')) {
        qCDebug(lcDevice, "Device path too long for the device table, ignored: %s\n", path.constData());
        return false;
    }
    std::memset(entry.path[slot], 0, DEVICE_PATH_SIZE);
    std::memcpy(entry.path[slot], path.constData(), size_t(path.size()));
    return true;
}

bool filterMatches(const DeviceEntry &e, DeviceSlot slot, const hid_device_info *info)
{
    return info->usage == e.filter[slot].usage && info->usage_page == e.filter[slot].usagePage;
}

bool pairIs(const hid_device_info *info, quint32 vid, quint32 pid)
{
    return info->vendor_id == vid && info->product_id == pid;
}

bool sidePresent(const DeviceEntry &e, int side)
{
    return e.present[mouseSlot(side)] || e.present[controlSlot(side)];
}

} // namespace

DeviceTable &deviceTable()
{
    return g_table;
}

bool releaseFilterPasses(const DeviceEntry &entry, int side, quint32 release)
{
    const quint32 lo = side == SIDE_CABLE ? entry.relMin2 : entry.relMin1;
    const quint32 hi = side == SIDE_CABLE ? entry.relMax2 : entry.relMax1;
    return hi == 0 || (lo <= release && release <= hi);
}

void loadDeviceTable()
{
    // Only the entries in use are cleared: the rest of the table was never
    // written, and clearing all of it would make every page of it resident.
    for (quint32 i = 0; i < g_table.count && i < quint32(DEVICE_TABLE_CAPACITY); ++i)
        std::memset(&g_table.entries[i], 0, sizeof g_table.entries[i]);
    g_table.count = 1;
    std::memset(&g_table.entries[0], 0, sizeof g_table.entries[0]);
    DeviceEntry &e = g_table.entries[0];
    const DescribedIds ids = describedIds();
    e.vid1 = ids.vid1;
    e.pid1 = ids.pid1;
    e.vid2 = ids.vid2;
    e.pid2 = ids.pid2;
    e.filter[ReceiverMouse] = {2, 1};
    e.filter[ReceiverControl] = {0, 1};
    e.filter[WiredMouse] = {2, 1};
    e.filter[WiredControl] = {0, 1};

    const QByteArray name = mouseListName().toLatin1();
    if (name.size() >= DEVICE_NAME_SIZE || name.contains('\0')) {
        qCDebug(lcDevice, "Device name too long for the device table, ignored: %s\n", name.constData());
        return;
    }
    std::memcpy(e.name, name.constData(), size_t(name.size()));
    qCDebug(lcDevice, "%s\n", e.name);
}

int enumerateDevices()
{
    if (hid_init() != 0)
        return -1;
    hid_device_info *list = hid_enumerate(0, 0);
    const QVector<QByteArray> names = platform::hidInterfaceNames(list);
    int index = 0;
    for (const hid_device_info *info = list; info; info = info->next, ++index) {
        const QByteArray &path = names.at(index);
        if (info->vendor_id == 0x04D9) {
            const QByteArray serial =
                info->serial_number ? QString::fromWCharArray(info->serial_number).toLocal8Bit() : QByteArray();
            qCDebug(lcDevice, "Device Found\n  type: %x %x\n  path: %s\n  serial_number: %s\n usge %x uu %x", info->vendor_id,
                   info->product_id, path.constData(), serial.constData(), info->usage, info->usage_page);
        }
        for (quint32 i = 0; i < g_table.count; ++i) {
            DeviceEntry &e = g_table.entries[i];
            const quint32 release = info->release_number;
            if (pairIs(info, e.vid1, e.pid1) && filterMatches(e, ReceiverMouse, info)
                && releaseFilterPasses(e, SIDE_RECEIVER, release) && storePath(e, ReceiverMouse, path)) {
                qCDebug(lcDevice, "1 %s\n", path.constData());
                e.present[ReceiverMouse] = 1;
            }
            if (pairIs(info, e.vid1, e.pid1) && filterMatches(e, ReceiverControl, info)
                && releaseFilterPasses(e, SIDE_RECEIVER, release) && path.toLower().contains("col04")
                && storePath(e, ReceiverControl, path)) {
                qCDebug(lcDevice, "2 %s\n", path.constData());
                e.present[ReceiverControl] = 1;
            }
            if (pairIs(info, e.vid2, e.pid2) && filterMatches(e, WiredMouse, info)
                && releaseFilterPasses(e, SIDE_CABLE, release) && storePath(e, WiredMouse, path)) {
                qCDebug(lcDevice, "3 %s\n", path.constData());
                e.present[WiredMouse] = 1;
            }
            if (pairIs(info, e.vid2, e.pid2) && filterMatches(e, WiredControl, info)
                && releaseFilterPasses(e, SIDE_CABLE, release) && storePath(e, WiredControl, path)) {
                qCDebug(lcDevice, "4 %s\n", path.constData());
                e.present[WiredControl] = 1;
                g_wiredRelease = release;
            }
        }
    }
    hid_free_enumeration(list);
    return 0;
}

void openDevice(const char *name)
{
    if (!name || hid_init() != 0)
        return;
    for (quint32 i = 0; i < g_table.count; ++i) {
        const DeviceEntry &e = g_table.entries[i];
        if (std::strcmp(e.name, name) != 0)
            continue;
        if (e.present[ReceiverMouse] && e.present[ReceiverControl]) {
            openSlot(ReceiverMouse, e.path[ReceiverMouse]);
            openSlot(ReceiverControl, e.path[ReceiverControl]);
        }
        if (e.present[WiredMouse] && e.present[WiredControl]) {
            openSlot(WiredMouse, e.path[WiredMouse]);
            openSlot(WiredControl, e.path[WiredControl]);
        }
    }
}

void closeDevice()
{
    for (DeviceSlot slot : {ReceiverMouse, ReceiverControl, WiredMouse, WiredControl})
        closeSlot(slot);
}

void shutdownDeviceLink()
{
    hid_exit();
}

quint32 wiredFirmwareRelease()
{
    return g_wiredRelease;
}

quint32 releaseNumberOfPath(const char *path)
{
    if (!path)
        return 0;
    const QByteArray real = platform::realHidPath(QByteArray(path));
    hid_device_info *list = hid_enumerate(0, 0);
    quint32 release = 0;
    for (const hid_device_info *info = list; info; info = info->next) {
        if (info->path && real == info->path) {
            release = info->release_number;
            break;
        }
    }
    hid_free_enumeration(list);
    return release;
}

hid_device *deviceHandle(DeviceSlot slot)
{
    Handles &h = handles();
    std::lock_guard<std::mutex> lock(h.mutex);
    return h.handle[slot];
}

DeviceLease::DeviceLease(DeviceSlot slot) : m_slot(slot)
{
    Handles &h = handles();
    std::lock_guard<std::mutex> lock(h.mutex);
    m_handle = h.handle[slot];
    if (m_handle) {
        ++h.leases[slot];
        m_opening = h.opening[slot];
    }
}

DeviceLease::DeviceLease(DeviceSlot slot, quint64 opening) : m_slot(slot)
{
    Handles &h = handles();
    std::lock_guard<std::mutex> lock(h.mutex);
    if (h.handle[slot] && opening != 0 && h.opening[slot] == opening) {
        m_handle = h.handle[slot];
        m_opening = opening;
        ++h.leases[slot];
    }
}

DeviceLease::~DeviceLease()
{
    if (!m_handle)
        return;
    Handles &h = handles();
    std::lock_guard<std::mutex> lock(h.mutex);
    if (--h.leases[m_slot] == 0)
        h.idle.notify_all();
}

InterfaceClass classifyInterface(const QString &interfaceName)
{
    static const QRegularExpression patterns[4] = {
        QRegularExpression(QStringLiteral("HID#VID_(?<vid>\\w{4})&PID_(?<pid>\\w{4})&col01"),
                           QRegularExpression::CaseInsensitiveOption),
        QRegularExpression(QStringLiteral("HID#VID_(?<vid>\\w{4})&PID_(?<pid>\\w{4})&col04"),
                           QRegularExpression::CaseInsensitiveOption),
        QRegularExpression(QStringLiteral("HID#VID_(?<vid>\\w{4})&PID_(?<pid>\\w{4})&MI_00&col01"),
                           QRegularExpression::CaseInsensitiveOption),
        QRegularExpression(QStringLiteral("HID#VID_(?<vid>\\w{4})&PID_(?<pid>\\w{4})&MI_00&col04"),
                           QRegularExpression::CaseInsensitiveOption),
    };
    static const InterfaceKind kinds[4] = {InterfaceKind::Mouse, InterfaceKind::Control, InterfaceKind::Mouse,
                                           InterfaceKind::Control};
    for (int i = 0; i < 4; ++i) {
        const QRegularExpressionMatch m = patterns[i].match(interfaceName);
        if (!m.hasMatch())
            continue;
        InterfaceClass c;
        c.vid = quint16(m.captured(QStringLiteral("vid")).toUInt(nullptr, 16));
        c.pid = quint16(m.captured(QStringLiteral("pid")).toUInt(nullptr, 16));
        c.kind = kinds[i];
        return c;
    }
    return InterfaceClass();
}

QVector<PresenceChange> updatePresence(const QString &interfaceName, bool arrival,
                                       const QByteArray &currentProduct)
{
    QVector<PresenceChange> changes;
    const InterfaceClass ic = classifyInterface(interfaceName);
    if (ic.kind == InterfaceKind::None)
        return changes;
    const QByteArray fullPath = QByteArray("\\\\?\\") + interfaceName.toUtf8();

    bool attached = false;
    for (quint32 i = 0; i < g_table.count; ++i) {
        DeviceEntry &e = g_table.entries[i];
        int side;
        if (e.vid1 == ic.vid && e.pid1 == ic.pid)
            side = SIDE_RECEIVER;
        else if (e.vid2 == ic.vid && e.pid2 == ic.pid)
            side = SIDE_CABLE;
        else
            continue;

        PresenceChange c;
        c.entry = int(i);
        c.side = side;
        c.slot = ic.kind == InterfaceKind::Mouse ? mouseSlot(side) : controlSlot(side);
        if (arrival) {
            const quint32 release = releaseNumberOfPath(fullPath.constData());
            if (releaseFilterPasses(e, side, release) && storePath(e, c.slot, fullPath)) {
                if (!e.present[c.slot])
                    c.changed = c.newAttachment = true;
                e.present[c.slot] = 1;
            }
            c.sideComplete = e.present[mouseSlot(side)] && e.present[controlSlot(side)];
        } else {
            if (!e.present[c.slot])
                continue;   // already absent: nothing to do for this entry
            e.present[c.slot] = 0;
            c.changed = true;
            c.deviceGone = !sidePresent(e, SIDE_RECEIVER) && !sidePresent(e, SIDE_CABLE);
        }
        c.reconnectWanted = currentProduct == QByteArray(e.name) && sidePresent(e, side);
        attached = attached || c.newAttachment;
        changes.append(c);
    }
    if (attached)
        writeDiff(1);
    return changes;
}

QVector<PresenceChange> updatePresence(const QString &interfaceName, bool arrival)
{
    return updatePresence(interfaceName, arrival, readCurrentProduct().toLatin1());
}

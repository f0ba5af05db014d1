// The hidapi C functions the device link uses, served by the simulated mouse.

#include "sim/model_p.h"
#include "platform/clock.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace sim;
using namespace sim::detail;

namespace {

enum { kWaitSlice = 10 };   // longest single pause of a waiting read, ms

wchar_t *wideCopy(const QString &s)
{
    auto *w = static_cast<wchar_t *>(std::calloc(size_t(s.size()) + 1, sizeof(wchar_t)));
    if (w)
        s.toWCharArray(w);
    return w;
}

hid_device_info *makeInfo(const QByteArray &path, quint16 vid, quint16 pid, quint16 release, quint16 usagePage,
                          quint16 usage, int interfaceNumber, const QString &serial, const QString &product)
{
    auto *info = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
    if (!info)
        return nullptr;
    info->path = strdup(path.constData());
    info->vendor_id = vid;
    info->product_id = pid;
    info->serial_number = wideCopy(serial);
    info->release_number = release;
    info->manufacturer_string = wideCopy(QStringLiteral("Simulated"));
    info->product_string = wideCopy(product);
    info->usage_page = usagePage;
    info->usage = usage;
    info->interface_number = interfaceNumber;
    info->next = nullptr;
    info->bus_type = HID_API_BUS_USB;
    return info;
}

bool stillOpen(const Model &m, const hid_device_ *dev)
{
    return std::find(m.handles.begin(), m.handles.end(), dev) != m.handles.end();
}

HandleEvent eventOf(const hid_device_ *dev, bool opened)
{
    HandleEvent e;
    e.opened = opened;
    e.side = dev->side;
    e.collection = dev->collection;
    e.extra = dev->extra;
    e.handle = dev->id;
    return e;
}

FrameRecord recordOf(const hid_device_ *dev, FrameRecord::Direction direction, bool accepted, QByteArray bytes)
{
    FrameRecord r;
    r.direction = direction;
    r.side = dev->side;
    r.collection = dev->collection;
    r.extra = dev->extra;
    r.handle = dev->id;
    r.accepted = accepted;
    r.bytes = std::move(bytes);
    return r;
}

} // namespace

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void)
{
    Model &m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    return m.initFails ? -1 : 0;
}

int HID_API_EXPORT HID_API_CALL hid_exit(void)
{
    return 0;
}

struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    Model &m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (m.initFails)
        return nullptr;
    hid_device_info *head = nullptr;
    hid_device_info **tail = &head;
    auto add = [&](hid_device_info *info) {
        if (!info)
            return;
        if ((vendor_id && info->vendor_id != vendor_id) || (product_id && info->product_id != product_id)) {
            hid_free_enumeration(info);
            return;
        }
        *tail = info;
        tail = &info->next;
    };
    for (Side side : {Side::Receiver, Side::Cable}) {
        if (!m.plugged[sideIndex(side)])
            continue;
        const QString product = side == Side::Cable ? QStringLiteral("Simulated gaming mouse")
                                                    : QStringLiteral("Simulated wireless receiver");
        const quint16 rel = m.release[sideIndex(side)];
        add(makeInfo(pathOf(m, side, Collection::Mouse), vidOf(m, side), pidOf(m, side), rel, 1, 2, 0,
                     QString(), product));
        add(makeInfo(pathOf(m, side, Collection::Control), vidOf(m, side), pidOf(m, side), rel, 1, 0, 0,
                     QString(), product));
    }
    for (const ExtraCollection &x : m.extras)
        add(makeInfo(x.path, x.vid, x.pid, x.release, x.usagePage, x.usage, x.interfaceNumber, x.serial,
                     QStringLiteral("Other device")));
    return head;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info *devs)
{
    while (devs) {
        hid_device_info *next = devs->next;
        std::free(devs->path);
        std::free(devs->serial_number);
        std::free(devs->manufacturer_string);
        std::free(devs->product_string);
        std::free(devs);
        devs = next;
    }
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open_path(const char *path)
{
    if (!path)
        return nullptr;
    Model &m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (m.initFails)
        return nullptr;
    const QByteArray wanted(path);
    auto open = [&](hid_device_ *dev) {
        dev->id = m.nextHandleId++;
        m.handles.push_back(dev);
        m.handleLog.append(eventOf(dev, true));
        return dev;
    };
    for (Side side : {Side::Receiver, Side::Cable}) {
        if (!m.plugged[sideIndex(side)])
            continue;
        for (Collection c : {Collection::Mouse, Collection::Control}) {
            if (qstricmp(pathOf(m, side, c).constData(), path) == 0) {
                auto *dev = new hid_device_;
                dev->side = side;
                dev->collection = c;
                return open(dev);
            }
        }
    }
    for (size_t i = 0; i < m.extras.size(); ++i) {
        if (m.extras[i].path == wanted) {
            auto *dev = new hid_device_;
            dev->extra = true;
            dev->extraIndex = int(i);
            return open(dev);
        }
    }
    return nullptr;
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device *dev)
{
    if (!dev)
        return;
    Model &m = model();
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        m.handles.erase(std::remove(m.handles.begin(), m.handles.end(), dev), m.handles.end());
        m.handleLog.append(eventOf(dev, false));
    }
    delete dev;
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    Model &m = model();
    Aftermath after;
    int result = -1;
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        ++m.writes;
        catchUpMotion(m);   // what the mouse sent before this frame comes before its answer
        if (m.failWrites != 0) {
            if (m.failWrites > 0) {
                --m.failWrites;
                after.changed = true;
            }
        } else if (dev && data && length > 0 && stillOpen(m, dev) && !dev->dead
                   && (dev->extra || dev->collection == Collection::Control)) {
            result = int(std::min<size_t>(length, 1024));
            const QByteArray bytes(reinterpret_cast<const char *>(data), result);
            const bool good = !dev->extra && frameIsGood(data, length);
            m.log.append(recordOf(dev, FrameRecord::Written, good, bytes));
            after.changed = true;
            if (good) {
                const Side side = dev->side;
                processFrame(m, side, bytes, after);
                int &countdown = m.unplugCountdown[sideIndex(side)];
                if (countdown > 0 && --countdown == 0)
                    unplugLocked(m, side, after);
            }
        }
    }
    finish(after);
    return result;
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device *dev, unsigned char *data, size_t length,
                                                 int milliseconds)
{
    Model &m = model();
    std::unique_lock<std::mutex> lock(m.mutex);
    ++m.reads;
    if (m.failReads != 0) {
        Aftermath after;
        if (m.failReads > 0) {
            --m.failReads;
            after.changed = true;
        }
        lock.unlock();
        finish(after);
        return -1;
    }
    int remaining = milliseconds;
    for (;;) {
        // The handle may have been closed by another thread while this read waited.
        if (!dev || !data || !stillOpen(m, dev) || dev->dead)
            return -1;
        catchUpMotion(m);
        if (!dev->queue.empty()) {
            QByteArray report = dev->queue.front();
            dev->queue.pop_front();
            const int n = int(std::min<size_t>(length, size_t(report.size())));
            std::memcpy(data, report.constData(), size_t(n));
            m.log.append(recordOf(dev, FrameRecord::Read, true, report.left(n)));
            return n;
        }
        if (remaining == 0)
            return 0;
        const int slice = remaining < 0 ? int(kWaitSlice) : std::min<int>(remaining, kWaitSlice);
        lock.unlock();
        platform::sleepMs(slice);
        lock.lock();
        if (remaining > 0)
            remaining -= slice;
    }
}

} // extern "C"

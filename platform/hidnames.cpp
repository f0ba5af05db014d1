#include "platform/hidnames.h"

#include <hidapi/hidapi.h>

#include <QList>
#include <cerrno>
#include <unistd.h>

namespace platform {
namespace {

const QByteArray kPrefix = QByteArrayLiteral("\\\\?\\");

bool startsWithNoCase(const QByteArray &s, const char *head)
{
    const int n = int(qstrlen(head));
    return s.size() >= n && qstrnicmp(s.constData(), head, uint(n)) == 0;
}

QByteArray withoutPrefix(const QByteArray &name)
{
    return name.startsWith(kPrefix) ? name.mid(kPrefix.size()) : name;
}

// The instance part of "HID#<ids>#<instance>", or a null array when the name
// does not have that form.
QByteArray instanceOf(const QByteArray &name)
{
    const QByteArray bare = withoutPrefix(name);
    if (!startsWithNoCase(bare, "HID#"))
        return QByteArray();
    const int hash = bare.indexOf('#', 4);
    if (hash < 0)
        return QByteArray();
    return bare.mid(hash + 1);
}

} // namespace

QByteArray hidInterfaceName(quint16 vid, quint16 pid, int interfaceNumber, int collection,
                            const QByteArray &node)
{
    QByteArray name = kPrefix + QByteArray("HID#VID_") + QByteArray::number(vid, 16).rightJustified(4, '0').toUpper()
                      + "&PID_" + QByteArray::number(pid, 16).rightJustified(4, '0').toUpper();
    if (interfaceNumber >= 0)
        name += "&MI_" + QByteArray::number(interfaceNumber, 16).rightJustified(2, '0').toUpper();
    name += "&Col" + QByteArray::number(collection).rightJustified(2, '0');
    name += '#';
    name += node;
    return name;
}

QVector<QByteArray> hidInterfaceNames(const hid_device_info *list)
{
    QVector<QByteArray> names;
    QList<QByteArray> seen;   // node path of every entry so far
    for (const hid_device_info *info = list; info; info = info->next) {
        const QByteArray path = info->path ? QByteArray(info->path) : QByteArray();
        seen.append(path);
        if (path.isEmpty() || path.startsWith(kPrefix)) {
            names.append(path);
            continue;
        }
        const int collection = int(seen.count(path));
        names.append(hidInterfaceName(info->vendor_id, info->product_id, info->interface_number,
                                      collection, path));
    }
    return names;
}

bool isNodeInterfaceName(const QByteArray &name)
{
    return instanceOf(name).startsWith('/');
}

QByteArray realHidPath(const QByteArray &name)
{
    const QByteArray instance = instanceOf(name);
    return instance.startsWith('/') ? instance : name;
}

QByteArray openFailureHint(const QByteArray &realPath)
{
    if (!realPath.startsWith("/dev/"))
        return QByteArray();
    if (::access(realPath.constData(), R_OK | W_OK) == 0 || errno != EACCES)
        return QByteArray();
    return "No permission to open " + realPath
           + ": install udev/70-mousecfg.rules (beside the program) into /etc/udev/rules.d, then"
             " run 'udevadm control --reload' and plug the mouse in again.";
}

int topLevelCollectionCount(const QByteArray &descriptor)
{
    const auto *d = reinterpret_cast<const unsigned char *>(descriptor.constData());
    const int size = descriptor.size();
    int pos = 0;
    int depth = 0;
    int count = 0;
    while (pos < size) {
        const unsigned char prefix = d[pos];
        static const int dataBytes[4] = {0, 1, 2, 4};
        int itemSize = 1 + dataBytes[prefix & 0x03];
        if (prefix == 0xFE)                   // long item: size byte, tag byte, data
            itemSize = pos + 1 < size ? 3 + d[pos + 1] : size + 1;
        if (pos + itemSize > size)
            break;
        if (prefix != 0xFE) {
            if ((prefix & 0xFC) == 0xA0) {           // Collection
                if (depth == 0)
                    ++count;
                ++depth;
            } else if ((prefix & 0xFC) == 0xC0) {    // End Collection
                if (depth > 0)
                    --depth;
            }
        }
        pos += itemSize;
    }
    return count;
}

QVector<QByteArray> nodeInterfaceNames(quint16 vid, quint16 pid, int interfaceNumber,
                                       const QByteArray &reportDescriptor, const QByteArray &node)
{
    QVector<QByteArray> names;
    const int count = topLevelCollectionCount(reportDescriptor);
    for (int c = 1; c <= count; ++c)
        names.append(withoutPrefix(hidInterfaceName(vid, pid, interfaceNumber, c, node)));
    return names;
}

bool parseHidId(const QByteArray &hidId, quint16 *vid, quint16 *pid)
{
    const QList<QByteArray> parts = hidId.trimmed().split(':');
    if (parts.size() != 3)
        return false;
    bool okVid = false;
    bool okPid = false;
    const uint v = parts[1].toUInt(&okVid, 16);
    const uint p = parts[2].toUInt(&okPid, 16);
    if (!okVid || !okPid || v > 0xFFFF || p > 0xFFFF)
        return false;
    *vid = quint16(v);
    *pid = quint16(p);
    return true;
}

} // namespace platform

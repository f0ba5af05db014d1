#include "platform/hidnames.h"

#include "platform/logging.h"

#include <hidapi/hidapi.h>

#include <QFile>
#include <QHash>
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

QByteArray nodeReportDescriptor(const QByteArray &nodePath)
{
    if (!nodePath.startsWith("/dev/"))
        return QByteArray();
    const QByteArray node = nodePath.mid(nodePath.lastIndexOf('/') + 1);
    if (node.isEmpty() || node == ".." || node == ".")
        return QByteArray();
    QFile file(QStringLiteral("/sys/class/hidraw/%1/device/report_descriptor").arg(QString::fromLocal8Bit(node)));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(4096);   // HID_MAX_DESCRIPTOR_SIZE
}

QVector<DescriptorUsage> descriptorUsages(const QByteArray &descriptor)
{
    // A collection counts when a usage came before it since the last main
    // item; nested ones too, each under the top-level collection it lies in.
    QVector<DescriptorUsage> usages;
    const auto *d = reinterpret_cast<const unsigned char *>(descriptor.constData());
    const int size = descriptor.size();
    int pos = 0;
    int depth = 0;
    int topLevel = 0;
    quint16 usagePage = 0;
    quint16 usage = 0;
    bool usageFound = false;
    while (pos < size) {
        const unsigned char prefix = d[pos];
        static const int dataBytes[4] = {0, 1, 2, 4};
        int dataLength = dataBytes[prefix & 0x03];
        int keySize = 1;
        if (prefix == 0xFE) {   // long item: size byte, tag byte, data
            if (pos + 1 >= size)
                break;
            dataLength = d[pos + 1];
            keySize = 3;
        }
        if (pos + keySize + dataLength > size)
            break;
        if (prefix != 0xFE) {
            quint32 value = 0;
            for (int i = dataLength - 1; i >= 0; --i)
                value = (value << 8) | d[pos + 1 + i];
            switch (prefix & 0xFC) {
            case 0x04:   // Usage Page
                usagePage = quint16(value);
                break;
            case 0x08:   // Usage
                usage = quint16(value);
                usageFound = true;
                break;
            case 0xA0:   // Collection
                if (depth == 0)
                    ++topLevel;
                ++depth;
                if (usageFound)
                    usages.append({usagePage, usage, topLevel});
                usageFound = false;
                break;
            case 0xC0:   // End Collection
                if (depth > 0)
                    --depth;
                usageFound = false;
                break;
            case 0x80:   // Input
            case 0x90:   // Output
            case 0xB0:   // Feature
                usageFound = false;
                break;
            default:
                break;
            }
        }
        pos += keySize + dataLength;
    }
    return usages;
}

QVector<QByteArray> hidInterfaceNames(const hid_device_info *list, DescriptorReader readDescriptor)
{
    // The entries of each node, in list order.
    QHash<QByteArray, QVector<const hid_device_info *>> byNode;
    for (const hid_device_info *info = list; info; info = info->next) {
        const QByteArray path = info->path ? QByteArray(info->path) : QByteArray();
        if (!path.isEmpty() && !path.startsWith(kPrefix))
            byNode[path].append(info);
    }
    // Each node's entries matched against its descriptor: the collection
    // numbers when every entry agrees, none otherwise.
    QHash<QByteArray, QVector<int>> numbers;
    for (auto it = byNode.cbegin(); it != byNode.cend(); ++it) {
        const QVector<DescriptorUsage> usages =
            readDescriptor ? descriptorUsages(readDescriptor(it.key())) : QVector<DescriptorUsage>();
        const QVector<const hid_device_info *> &entries = it.value();
        bool agree = usages.size() == entries.size();
        for (int i = 0; agree && i < entries.size(); ++i)
            agree = usages[i].usagePage == entries[i]->usage_page && usages[i].usage == entries[i]->usage;
        if (!agree) {
            if (!usages.isEmpty())
                qCDebug(lcHotplug, "Report descriptor of %s does not match its enumeration; collections numbered by position",
                       it.key().constData());
            continue;
        }
        QVector<int> n;
        for (const DescriptorUsage &u : usages)
            n.append(u.topLevel);
        numbers.insert(it.key(), n);
    }

    QVector<QByteArray> names;
    QHash<QByteArray, int> seen;   // entries of each node so far
    for (const hid_device_info *info = list; info; info = info->next) {
        const QByteArray path = info->path ? QByteArray(info->path) : QByteArray();
        if (path.isEmpty() || path.startsWith(kPrefix)) {
            names.append(path);
            continue;
        }
        const int position = ++seen[path];
        const auto found = numbers.constFind(path);
        const int collection = found != numbers.cend() ? found.value().at(position - 1) : position;
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

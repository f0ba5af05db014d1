#pragma once
// HID interface names in the Windows form that the device link's matching
// reads:
//   \\?\HID#VID_248A&PID_FA02&MI_00&Col04#<instance>
//
// Linux hidraw gives one enumeration entry per collection that carries a
// usage, all with the same node path (/dev/hidraw3): one per top-level
// collection, and one more for every nested collection with a usage (a
// mouse's physical collection inside its application collection). Here each
// entry gets a name of that form whose instance part is the node path; the
// collection number is the number of the top-level collection the entry
// belongs to, counted from 1, found by reading the node's report descriptor
// the way the enumeration does (so a nested collection's entry carries its
// parent's number); without a readable descriptor that agrees with the list,
// the entry's position among the entries of its node. MI_xx is the USB
// interface number (left out when there is none). Paths already in the Windows form (the simulated mouse's) are kept
// unchanged. realHidPath() maps a name back to what hid_open_path takes.

#include <QByteArray>
#include <QVector>

struct hid_device_info;

namespace platform {

// "\\?\HID#VID_%04X&PID_%04X[&MI_%02X]&Col%02d#<node>"
QByteArray hidInterfaceName(quint16 vid, quint16 pid, int interfaceNumber, int collection,
                            const QByteArray &node);

// The report descriptor of a hidraw node ("/dev/hidraw3"), from sysfs; empty
// when it cannot be read.
QByteArray nodeReportDescriptor(const QByteArray &nodePath);
using DescriptorReader = QByteArray (*)(const QByteArray &nodePath);

// The interface name of every entry of an enumeration list, in list order.
QVector<QByteArray> hidInterfaceNames(const hid_device_info *list,
                                      DescriptorReader readDescriptor = nodeReportDescriptor);

// One enumeration entry as the hidraw enumeration derives it from a report
// descriptor: a collection preceded by a usage, and the top-level collection
// (counted from 1) it lies in.
struct DescriptorUsage {
    quint16 usagePage = 0;
    quint16 usage = 0;
    int topLevel = 0;
};
QVector<DescriptorUsage> descriptorUsages(const QByteArray &reportDescriptor);

// True for names that carry a node path of ours ("...#/dev/hidraw3").
bool isNodeInterfaceName(const QByteArray &name);

// The path to open for an interface name (with or without "\\?\"): the node
// path for names of ours, anything else unchanged.
QByteArray realHidPath(const QByteArray &name);

// A debug text when a node could not be opened for lack of permission (names
// the udev rule to install), else empty.
QByteArray openFailureHint(const QByteArray &realPath);

// Number of top-level collections in a HID report descriptor; counting stops
// at an item that runs past the end.
int topLevelCollectionCount(const QByteArray &reportDescriptor);

// The interface names (without "\\?\") of every top-level collection of a
// hidraw node, as the notifier reports them.
QVector<QByteArray> nodeInterfaceNames(quint16 vid, quint16 pid, int interfaceNumber,
                                       const QByteArray &reportDescriptor, const QByteArray &node);

// Vendor and product of a HID_ID property ("0003:0000248A:0000FA02").
bool parseHidId(const QByteArray &hidId, quint16 *vid, quint16 *pid);

} // namespace platform

#pragma once
// Finding and opening the mouse's HID collections.
//
// The served product is entry 0 of the device table: the receiver's pair
// (vid1/pid1, side 1) and the cabled mouse's pair (vid2/pid2, side 2) from the
// device description, four collection slots with their paths and presence
// flags, and the product name from Config.ini (Mouse_List/0). Each side shows
// a mouse collection (usage page 1, usage 2) and a control collection (usage
// page 1, usage 0; on the receiver its path must contain "col04"). Frames go
// only to the control collections; a side's two handles open and close
// together, and only when both of its slots are present.
//
// Paths are HID interface names of the form
//   \\?\HID#VID_248A&PID_FA02&MI_00&Col04#<instance>
// (on Linux the instance is the hidraw node; see platform/hidnames.h).
//
// Calling order (GUI thread): loadDeviceTable(), enumerateDevices(),
// openDevice(current product name), start the poller ... at exit
// closeDevice(), shutdownDeviceLink(). Hot-plug goes through updatePresence().
//
// Other threads (the transport, the poller) use the control handles only
// through a DeviceLease, which keeps the handle open for the duration of one
// HID call: closeDevice() waits for running leases before it closes a handle.

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <hidapi/hidapi.h>

enum DeviceSlot : int { ReceiverMouse = 0, WiredMouse = 1, ReceiverControl = 2, WiredControl = 3 };

enum : int {
    DEVICE_TABLE_CAPACITY = 200,
    DEVICE_SLOT_COUNT = 4,
    DEVICE_PATH_SIZE = 255,     // bytes, NUL included
    DEVICE_NAME_SIZE = 256,     // bytes, NUL included
    SIDE_RECEIVER = 1,
    SIDE_CABLE = 2,
};

struct DeviceEntry {
    quint32 vid1, vid2;
    quint32 pid1, pid2;
    quint32 relMin1, relMin2;
    quint32 relMax1, relMax2;          // 0: no release filter on that side
    struct SlotFilter {
        quint32 usage;
        quint32 usagePage;
    } filter[DEVICE_SLOT_COUNT];       // indexed by DeviceSlot
    char path[DEVICE_SLOT_COUNT][DEVICE_PATH_SIZE];
    quint32 present[DEVICE_SLOT_COUNT];
    char name[DEVICE_NAME_SIZE];
};

struct DeviceTable {
    DeviceEntry entries[DEVICE_TABLE_CAPACITY];
    quint32 count;
};

// The process-wide table (GUI thread only).
DeviceTable &deviceTable();

inline DeviceSlot mouseSlot(int side) { return side == SIDE_CABLE ? WiredMouse : ReceiverMouse; }
inline DeviceSlot controlSlot(int side) { return side == SIDE_CABLE ? WiredControl : ReceiverControl; }

// Passes when the side's relMax is 0 or relMin <= release <= relMax.
bool releaseFilterPasses(const DeviceEntry &entry, int side, quint32 release);

// Clears the table and fills entry 0 from the device description and
// Config.ini. A name longer than 255 bytes (Latin-1) is refused: the entry
// keeps an empty name and a debug line says so.
void loadDeviceTable();

// One pass over every HID collection: fills paths and sets presence flags of
// matching slots (never clears them), records the wired control collection's
// release number. 0, or -1 when the HID library cannot be initialised.
// A path that does not fit its 255-byte field is refused (debug line).
int enumerateDevices();

// Opens the two handles of each side whose two slots are present, for every
// entry whose name equals `name` byte for byte. A handle already open in a
// slot is closed first. A failed open leaves the slot's handle null (with a
// debug line naming the udev rule when permission was denied).
void openDevice(const char *name);
void closeDevice();           // receiver mouse, receiver control, wired mouse, wired control
void shutdownDeviceLink();    // hid_exit(); once, at exit, after closeDevice()

// Release number of the collection that last filled WiredControl during
// enumeration; 0 when no cabled mouse was seen.
quint32 wiredFirmwareRelease();

// Release number (bcdDevice) of the device at an interface path, looked up
// through hid_enumerate; 0 when no such device is attached.
quint32 releaseNumberOfPath(const char *path);

// ---- Handles -------------------------------------------------------------------
// The slot's handle as it is right now (null when not open). Only for "is it
// open" decisions: a handle used for I/O from another thread than the one
// that closes it must be held by a DeviceLease.
hid_device *deviceHandle(DeviceSlot slot);
inline hid_device *receiverControlHandle() { return deviceHandle(ReceiverControl); }
inline hid_device *wiredControlHandle() { return deviceHandle(WiredControl); }

// Holds a slot's handle open while it lives (keep it to one HID call, or a
// few: closeDevice() waits for it). Empty (null handle) when the slot is not
// open, or when `opening` is given and the slot has been closed or reopened
// since that opening, so a caller never writes to a handle opened for a
// different connection.
class DeviceLease {
public:
    explicit DeviceLease(DeviceSlot slot);
    DeviceLease(DeviceSlot slot, quint64 opening);
    ~DeviceLease();
    DeviceLease(const DeviceLease &) = delete;
    DeviceLease &operator=(const DeviceLease &) = delete;

    hid_device *handle() const { return m_handle; }
    quint64 opening() const { return m_opening; }   // 0 when empty
    explicit operator bool() const { return m_handle != nullptr; }

private:
    int m_slot;
    hid_device *m_handle = nullptr;
    quint64 m_opening = 0;
};

// ---- Hot-plug ------------------------------------------------------------------
enum class InterfaceKind : quint8 { None = 0, Mouse = 1, Control = 2 };

struct InterfaceClass {
    quint16 vid = 0;
    quint16 pid = 0;
    InterfaceKind kind = InterfaceKind::None;
};

// Matches an interface name (without "\\?\") against, in this order and
// ignoring letter case:
//   HID#VID_xxxx&PID_xxxx&col01          mouse
//   HID#VID_xxxx&PID_xxxx&col04          control
//   HID#VID_xxxx&PID_xxxx&MI_00&col01    mouse
//   HID#VID_xxxx&PID_xxxx&MI_00&col04    control
// Ids are read as hexadecimal; no match gives all zero.
InterfaceClass classifyInterface(const QString &interfaceName);

// What one hot-plug event did to one table entry.
struct PresenceChange {
    int entry = -1;                // index into the table
    int side = 0;                  // SIDE_RECEIVER or SIDE_CABLE
    DeviceSlot slot = ReceiverMouse;
    bool changed = false;          // the slot's presence flag flipped
    bool newAttachment = false;    // arrival into an absent slot; Config/Diff has been set to 1
    bool sideComplete = false;     // arrival, and both slots of the side are present now
    bool deviceGone = false;       // removal, and all four flags of the entry are clear now
    bool reconnectWanted = false;  // the entry is the current product and a slot of the side is present
};

// Applies a device arrival or removal to the table and says what happened,
// one record per entry whose receiver pair (tried first) or cable pair equals
// the interface's ids. Names that do not classify, and removals of a slot that
// was already absent, change nothing and give no record.
//
// Arrival: when the release number of "\\?\" + name passes the side's filter,
// the path is stored and the slot marked present (a path too long for its
// field is refused). Removal: the slot is marked absent; its path stays.
//
// The caller (the main window) acts on the records:
//   sideComplete     rebuild the model list, open the device (or warn)
//   deviceGone       stop the poller, closeDevice(), react to the loss
//   reconnectWanted  unless it already reopened the device for this event:
//                    stop the poller, closeDevice(), pause 500 ms,
//                    openDevice(name), start the poller
// A new attachment already wrote Config/Diff = 1 (the next write sends all).
QVector<PresenceChange> updatePresence(const QString &interfaceName, bool arrival,
                                       const QByteArray &currentProduct);
// Same, with the current product read from Config.ini (Config/CurrentProductName).
QVector<PresenceChange> updatePresence(const QString &interfaceName, bool arrival);

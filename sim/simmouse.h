#pragma once
// The simulated mouse: a model of the receiver and the cabled mouse behind the
// hidapi C API (hid_init, hid_exit, hid_enumerate, hid_free_enumeration,
// hid_open_path, hid_close, hid_write, hid_read_timeout), which this library
// implements. Executables that link mousecfg_sim instead of Debian's hidapi
// talk to this model through the very same device-link code.
//
// The model
// - Two sides: the receiver (vid1/pid1) and the cable (vid2/pid2). Each side,
//   while plugged, shows two collections in enumeration order: the mouse
//   collection (usage page 1, usage 2, path with "Col01") and the control
//   collection (usage page 1, usage 0, path with "Col04"). Paths have the
//   Windows interface form
//     \\?\HID#VID_248A&PID_FA02&MI_00&Col04#7&1a2b3c4d&0&0003#{4d1e55b2-f16f-11cf-88cb-001111000030}
//   (the cable's instance part is 7&2b3c4d5e&...).
// - Every open handle has its own bounded input queue (64 reports; when full,
//   new reports are dropped, as hidraw does).
// - A frame written to a control collection is checked: report id 5, marker
//   0xFA and the checksum of wire bytes 2..7 (sum XOR 0x66). A bad frame is
//   ignored and gets no echo. A good frame is acted on and echoed, unchanged,
//   into the queue of every open handle of that collection, whether or not the
//   sender reads it back. CMD_BATTERY (0x48) is answered by a battery reply
//   instead of an echo. Writes to a mouse collection fail (-1).
// - Blocks (CMD_SETTINGS 0x01 .. CMD_MACROS 0x05): SEG_FIRST and SEG_NEXT
//   packets write their data at their offset (wire byte 4; CMD_MACROS: the
//   16-bit offset in wire bytes 4 and 5) into a pending copy of the block,
//   which starts as the committed image; SEG_FIRST restarts that copy. The
//   terminator (SEG_END, offset 0x7F / 0x0FFF, data 0x1A) commits it. Bytes
//   beyond a block's size are dropped and counted in outOfRangeBytes().
//   Committing the general settings block also sets the active profile from
//   its byte 6 (when 0..4).
// - The mouse may be asleep (setMouseOff): the receiver stays awake and
//   answers the battery query on its behalf with a reply that carries no
//   level and no charge (wire bytes 4, 5, 6 = 0) and write status 5 (wire
//   byte 7); every other frame written to the receiver is neither acted on
//   nor echoed. The cable is not affected.
// - CMD_UPDATE (0x46) 0 opens and 1 closes the update bracket; CMD_APPLY
//   (0x40, 0xF3, section) records the section; CMD_SELECT_PROFILE (0x44,
//   index) sets the active profile (0..4; other values are ignored).
// - One mouse behind both sides: blocks, battery and active profile are shared.
// - The mouse may be moved (setMotion): motion reports on the mouse
//   collection at a fixed rate. The control handles see them too only when
//   asked (setMotionOnControl), as a Linux hidraw node shows every collection
//   of the interface; by default each collection has its own handle.
//
// Time: hid_read_timeout on an empty queue waits up to its timeout in slices
// of at most 10 ms through platform::sleepMs, so it behaves like a device on
// the real clock and costs no real time on platform::VirtualClock. A negative
// timeout waits until a report arrives or the handle dies (never use it on
// the virtual clock without another thread to answer).
//
// Threads: every function here and every hid_* function may be called from any
// thread at once. Observers and notifiers are told after the model's lock is
// released.

#include "platform/devicenotifier.h"

#include <QByteArray>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVector>

namespace sim {

enum class Side { Receiver = 1, Cable = 2 };
enum class Collection { Mouse = 1, Control = 4 };   // the number is the "ColNN"
enum class Block { Settings = 1, Dpi = 2, Keys = 3, Lighting = 4, Macros = 5 };  // = command code

enum {
    SETTINGS_IMAGE_SIZE = 19,
    DPI_IMAGE_SIZE = 41,
    KEYS_IMAGE_SIZE = 128,
    LIGHTING_IMAGE_SIZE = 80,
    MACRO_IMAGE_SIZE = 4000,
    QUEUE_LIMIT = 64,
    REPORT_SIZE = 33,
    MOUSE_REPORT_ID = 1,      // the mouse collection's reports start with it
    MOTION_REPORT_SIZE = 6,   // report id, buttons, 16-bit x, 16-bit y
};

// Vendor and product ids of the two sides; the defaults are those of the
// shipped device description.
struct Identity {
    quint16 vid1 = 0x248A;
    quint16 pid1 = 0xFA02;
    quint16 vid2 = 0x248A;
    quint16 pid2 = 0xFB01;
};

// How the next echoes are spoiled (one per written frame, whatever the
// number of handles that receive it).
enum class EchoFault {
    HeaderMismatch,   // wire byte 4 (offset low) changed
    DataMismatch,     // wire byte 8 (first data byte) changed
    AllZero,          // 33 zero bytes
    ChecksumByte,     // wire byte 1 changed (not compared by the transport)
    SegmentByte,      // wire byte 7 changed (not compared by the transport)
    Truncated,        // only wire bytes 0..7 arrive: the read returns 8 bytes
};

// A collection of some other device on the system: it enumerates and opens,
// swallows writes and never answers.
struct ExtraCollection {
    quint16 vid = 0;
    quint16 pid = 0;
    quint16 release = 0;
    quint16 usagePage = 0;
    quint16 usage = 0;
    int interfaceNumber = 0;
    QByteArray path;
    QString serial;
};

struct FrameRecord {
    enum Direction { Written, Read };
    Direction direction = Written;
    Side side = Side::Receiver;        // meaningless for extra collections
    Collection collection = Collection::Control;
    bool extra = false;                // written to / read from an extra collection
    int handle = 0;                    // id of the handle, counted from 1 since reset()
    bool accepted = false;             // written: a good control frame; read: always true
    QByteArray bytes;                  // the 33 (or fewer) bytes as written / returned
};

struct HandleEvent {
    bool opened = false;               // hid_open_path succeeded, or hid_close
    Side side = Side::Receiver;
    Collection collection = Collection::Control;
    bool extra = false;
    int handle = 0;
};

struct BatteryState {
    quint8 low = 0;       // wire byte 4 of the reply
    quint8 high = 0;      // wire byte 5
    quint8 charge = 0;    // wire byte 6
    quint8 status = 0;    // wire byte 7, the write status
    quint8 mode = 0;      // wire byte 10, the device mode byte
};

// ---- Lifecycle ---------------------------------------------------------------
// Back to the start: nothing plugged (no notification), default identity,
// releases 0, blocks all zero, active profile 0, no bracket, no faults, mouse
// on and still (motion off, not on the control handles), battery all zero, counters and log cleared, extra collections removed,
// hid_init succeeding. Handles still open stay valid objects (hid_close them)
// but are dead: their reads and writes fail.
void reset();

void setIdentity(const Identity &ids);
Identity identity();

// Plugging or unplugging tells every notifier (see Notifier) of both
// collections, mouse first, then control. Plugging a plugged side or
// unplugging an unplugged one does nothing. Unplugging kills the side's open
// handles: from then on their reads and writes fail (-1).
void plug(Side side);
void unplug(Side side);
bool isPlugged(Side side);

void setReleaseNumber(Side side, quint16 release);
quint16 releaseNumber(Side side);

// "\\?\HID#VID_...#{...}", as hid_enumerate reports it.
QByteArray interfacePath(Side side, Collection collection);
// The same without the leading "\\?\", as the notifier reports it.
QString interfaceName(Side side, Collection collection);

void addExtraCollection(const ExtraCollection &collection);
void setInitFails(bool fails);        // hid_init (and so hid_enumerate) fails

// Open handles of a side's collection (dead ones not counted).
int openHandleCount(Side side, Collection collection);

// ---- Mouse state ---------------------------------------------------------------
// Queues a CMD_STATUS report (05 cs FA 49 profile dpi rate mode ...) into every
// open control handle of the cable when it is plugged, else of the receiver;
// nothing when neither is plugged. This is what the mouse sends after one of
// its own buttons was pressed, and it keeps what it reports: the general
// settings image takes dpi as its stage (byte 17) and, when profile is 0..4,
// the profile (byte 6, also the active profile) and that profile's report
// rate (byte 11 + profile).
void pushStatus(quint8 profile, quint8 dpi, quint8 rate, quint8 mode);

// The mouse is moved: `hz` motion reports a second (0: it lies still),
// counted from this call on the clock of the pauses (platform::monotonicMs,
// virtual under platform::VirtualClock). Each is 01 00 01 00 00 00: the mouse
// collection's report id, no button, one count right. They go into every open
// mouse-collection handle of the cable when it is plugged, else of the
// receiver (a full queue drops them), and are produced when the model is next
// used (a read, a write, a status report), in the order they fell due, ahead
// of whatever that call queues. They are no change for the observer.
void setMotion(int hz);
int motion();
// The control handles see the motion reports too, between the replies, as
// on Linux, where every collection of an interface shares one hidraw node.
// Off until set (each collection its own handle, as on Windows); reset()
// turns it off. For tests.
void setMotionOnControl(bool shared);

void setBattery(const BatteryState &state);
BatteryState battery();

// The mouse is asleep or switched off. Writes still succeed; the receiver
// answers only the battery query, with 05 cs FA 48 00 00 00 05 (mode byte in
// wire byte 10 as set), and drops every other frame unanswered without
// acting on it. The cable is not affected.
void setMouseOff(bool off);
bool mouseOff();

// ---- What the mouse keeps ---------------------------------------------------------
// A real mouse keeps its settings while it is unpowered: the committed blocks
// (macro memory included), the active profile and, for the simulator, the
// battery it was given. Plugs, faults, the sleep state, counters and logs are
// not kept.
//
// saveState writes them to an INI file (through a temporary file and a
// rename); loadState reads such a file into the model, and refuses (false,
// model untouched) a file that is missing, unreadable or has a block of the
// wrong size. Both tell the observer like any other change.
bool saveState(const QString &path);
bool loadState(const QString &path);
// The mouse as it leaves the factory: blocks all zero, active profile 0,
// nothing pending. The battery, plugs and faults stay.
void clearMemory();

// ---- Faults ---------------------------------------------------------------------
enum { ALWAYS = -1 };
// The next n hid_write calls fail (-1); ALWAYS until reset() or failWrites(0).
void failWrites(int n);
// The next n hid_read_timeout calls fail (-1) at once; ALWAYS as above.
void failReads(int n);
// Nothing is answered: reads time out empty. Written frames are still acted on.
void setSilent(bool silent);
// Every answer (echo, battery reply) is 33 zero bytes.
void setAllZeroReplies(bool on);
// The next n echoes are spoiled as given (replaces any faults still pending).
void injectEchoFault(EchoFault fault, int n);
// Then, once the pending ones are used up, the n echoes after them.
void appendEchoFault(EchoFault fault, int n);
// After n more good frames written on the side's control collection (the n-th
// one is acted on and echoed), the side is unplugged, notifiers included.
void unplugAfterFrames(Side side, int n);
// Every fault above cleared at once: no failing writes or reads, not silent,
// real replies, no spoiled echoes, no unplug countdown.
void clearFaults();

// The faults still to come.
struct PendingFaults {
    int failWrites = 0;                          // ALWAYS, 0 or the writes left to fail
    int failReads = 0;                           // the same for reads
    bool silent = false;
    bool allZeroReplies = false;
    QVector<QPair<EchoFault, int>> echoFaults;   // in the order they will strike
    int unplugAfterFrames[2] = {0, 0};           // receiver, cable; 0 = none
};
PendingFaults pendingFaults();

// ---- Observation ------------------------------------------------------------------
int writeCount();        // hid_write calls, failed ones included
int readCount();         // hid_read_timeout calls, failed and empty ones included
void resetCounters();    // both counters, the frame log and the handle log
// Every frame that reached the device (writes that failed are only counted)
// and every report a read returned, in order.
QVector<FrameRecord> frameLog();
// Every hid_open_path that gave a handle and every hid_close, in order.
QVector<HandleEvent> handleLog();
// Only the frames written to control collections (bytes only), in order.
QVector<QByteArray> writtenFrames();
// The last count of those, as records, oldest first.
QVector<FrameRecord> recentWrittenFrames(int count);

QByteArray block(Block which);           // the committed image
int commitCount(Block which);             // terminators that committed the block
int outOfRangeBytes();
int activeProfile();
bool updateOpen();                        // between CMD_UPDATE 0 and CMD_UPDATE 1
int updateBegins();
int updateEnds();
QVector<quint8> appliedSections();        // CMD_APPLY section values, in order
void clearAppliedSections();

// ---- Listeners --------------------------------------------------------------------
// changed() is emitted, from whichever thread caused it, after every change of
// the model (frame written to a control collection, plug, unplug, setter,
// fault used up). Reads that only take a report from a queue are not changes.
// Connect with a queued or automatic connection from a GUI panel.
class Observer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
signals:
    void changed();
};
Observer *observer();

// The simulator's hot-plug source: every live Notifier reports plug and unplug
// of the collections, with names without "\\?\". Reports reach the notifier's
// thread through its event loop (queued), as the system's do: run
// QCoreApplication::processEvents() or wait on a QSignalSpy to receive them.
class Notifier : public platform::DeviceNotifier {
    Q_OBJECT
public:
    explicit Notifier(QObject *parent = nullptr);
    ~Notifier() override;
    bool start() override;       // always succeeds
};

// Makes platform::createDeviceNotifier() hand out sim::Notifier objects.
void installNotifier();

} // namespace sim

#pragma once
// Inside of the simulated mouse, shared by the control API (simmouse.cpp) and
// the hidapi functions (hidapi.cpp). Everything is guarded by Model::mutex.

#include "sim/simmouse.h"

#include <deque>
#include <utility>
#include <mutex>
#include <vector>

struct hid_device_ {
    int id = 0;
    bool extra = false;                    // a collection of another device
    int extraIndex = -1;
    sim::Side side = sim::Side::Receiver;
    sim::Collection collection = sim::Collection::Control;
    bool dead = false;                     // unplugged or reset: I/O fails
    std::deque<QByteArray> queue;          // input reports, oldest first
};

namespace sim {
namespace detail {

struct Notice {
    QString name;
    bool arrival;
};

// What a locked operation leaves to do once the lock is released.
struct Aftermath {
    std::vector<Notice> notices;
    bool changed = false;
};

struct Model {
    std::mutex mutex;

    Identity ids;
    bool plugged[2] = {false, false};
    quint16 release[2] = {0, 0};
    std::vector<ExtraCollection> extras;
    bool initFails = false;
    std::vector<hid_device_ *> handles;    // every handle not yet closed
    int nextHandleId = 1;

    QByteArray committed[5];
    QByteArray pending[5];
    bool pendingOpen[5] = {};
    int commits[5] = {};
    int outOfRange = 0;
    int activeProfile = 0;
    bool updateOpen = false;
    int updateBegins = 0;
    int updateEnds = 0;
    QVector<quint8> sections;
    BatteryState battery;
    bool mouseOff = false;
    int motionHz = 0;
    bool motionOnControl = false;
    qint64 motionStart = 0;                // ms on platform::monotonicMs
    qint64 motionDue = 0;                  // reports produced since motionStart

    int failWrites = 0;
    int failReads = 0;
    bool silent = false;
    bool allZero = false;
    std::deque<std::pair<EchoFault, int>> faults;   // spoils still to apply, in order
    int unplugCountdown[2] = {0, 0};

    int writes = 0;
    int reads = 0;
    QVector<FrameRecord> log;
    QVector<HandleEvent> handleLog;

    Model();
    void resetLocked();
};

Model &model();

inline int sideIndex(Side side) { return side == Side::Cable ? 1 : 0; }
quint16 vidOf(const Model &m, Side side);
quint16 pidOf(const Model &m, Side side);
QByteArray pathOf(const Model &m, Side side, Collection collection);

// Locked helpers.
void plugLocked(Model &m, Side side, Aftermath &after);
void unplugLocked(Model &m, Side side, Aftermath &after);
void queueReport(Model &m, Side side, const QByteArray &report);
// Queues the motion reports that fell due since the last call.
void catchUpMotion(Model &m);
// Acts on a good control frame written on a side and queues the answer.
void processFrame(Model &m, Side side, const QByteArray &frame, Aftermath &after);
bool frameIsGood(const unsigned char *data, size_t length);

// Tells notifiers and observers; call without the lock.
void finish(const Aftermath &after);

} // namespace detail
} // namespace sim

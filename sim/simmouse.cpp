#include "sim/model_p.h"

#include "platform/clock.h"

#include <QMetaObject>
#include <algorithm>

namespace sim {
namespace detail {

namespace {

const int kBlockSize[5] = {SETTINGS_IMAGE_SIZE, DPI_IMAGE_SIZE, KEYS_IMAGE_SIZE, LIGHTING_IMAGE_SIZE,
                           MACRO_IMAGE_SIZE};

enum : quint8 {
    kMarker = 0xFA,
    kSegFirst = 0xD1,
    kSegNext = 0xD2,
    kSegEnd = 0xD3,
    kEndByte = 0x1A,
    kApply = 0x40,
    kApplyArg = 0xF3,
    kSelectProfile = 0x44,
    kUpdate = 0x46,
    kBattery = 0x48,
    kStatus = 0x49,
    kAsleepStatus = 5,
};

// Places in the general settings image that the mouse's own buttons change.
enum { kGeneralProfile = 6, kGeneralRates = 11, kGeneralStage = 17 };

quint8 checksumOf(const unsigned char *wire)
{
    unsigned sum = 0;
    for (int k = 2; k <= 7; ++k)
        sum += wire[k];
    return quint8((sum & 0xFF) ^ 0x66);
}

// A 33-byte report 05 cs FA <command> <b4..b7>, other bytes zero.
QByteArray makeReport(quint8 command, quint8 b4, quint8 b5, quint8 b6, quint8 b7)
{
    QByteArray r(REPORT_SIZE, '\0');
    auto *w = reinterpret_cast<unsigned char *>(r.data());
    w[0] = 0x05;
    w[2] = kMarker;
    w[3] = command;
    w[4] = b4;
    w[5] = b5;
    w[6] = b6;
    w[7] = b7;
    w[1] = checksumOf(w);
    return r;
}

std::mutex &notifierMutex()
{
    static std::mutex m;
    return m;
}

std::vector<Notifier *> &notifiers()
{
    static std::vector<Notifier *> list;
    return list;
}

void writeBlock(Model &m, int b, int offset, const unsigned char *data, int n)
{
    QByteArray &img = m.pending[b];
    for (int i = 0; i < n; ++i) {
        const int pos = offset + i;
        if (pos < img.size())
            img[pos] = char(data[i]);
        else
            ++m.outOfRange;
    }
}

void blockFrame(Model &m, const unsigned char *w)
{
    const int b = w[3] - 1;
    const bool macros = w[3] == quint8(Block::Macros);
    const int offset = macros ? (w[4] | (w[5] << 8)) : w[4];
    const int n = std::min<int>(w[6], REPORT_SIZE - 8);
    switch (w[7]) {
    case kSegFirst:
        m.pending[b] = m.committed[b];
        m.pendingOpen[b] = true;
        writeBlock(m, b, offset, w + 8, n);
        break;
    case kSegNext:
        if (!m.pendingOpen[b]) {
            m.pending[b] = m.committed[b];
            m.pendingOpen[b] = true;
        }
        writeBlock(m, b, offset, w + 8, n);
        break;
    case kSegEnd:
        if (m.pendingOpen[b] && offset == (macros ? 0x0FFF : 0x7F) && n >= 1 && w[8] == kEndByte) {
            m.committed[b] = m.pending[b];
            m.pendingOpen[b] = false;
            ++m.commits[b];
            if (b == int(Block::Settings) - 1 && quint8(m.committed[b][6]) <= 4)
                m.activeProfile = quint8(m.committed[b][6]);
        }
        break;
    default:
        break;
    }
}

void spoil(QByteArray &answer, EchoFault fault)
{
    switch (fault) {
    case EchoFault::HeaderMismatch:
        answer[4] = char(answer[4] ^ 0x5A);
        break;
    case EchoFault::DataMismatch:
        answer[8] = char(answer[8] ^ 0x5A);
        break;
    case EchoFault::AllZero:
        answer.fill('\0');
        break;
    case EchoFault::ChecksumByte:
        answer[1] = char(answer[1] ^ 0x5A);
        break;
    case EchoFault::SegmentByte:
        answer[7] = char(answer[7] ^ 0x5A);
        break;
    case EchoFault::Truncated:
        answer.truncate(8);
        break;
    }
}

} // namespace

Model::Model()
{
    resetLocked();
}

void Model::resetLocked()
{
    for (hid_device_ *h : handles) {
        h->dead = true;
        h->queue.clear();
    }
    ids = Identity();
    plugged[0] = plugged[1] = false;
    release[0] = release[1] = 0;
    extras.clear();
    initFails = false;
    nextHandleId = 1;
    for (int b = 0; b < 5; ++b) {
        committed[b] = QByteArray(kBlockSize[b], '\0');
        pending[b] = committed[b];
        pendingOpen[b] = false;
        commits[b] = 0;
    }
    outOfRange = 0;
    activeProfile = 0;
    updateOpen = false;
    updateBegins = updateEnds = 0;
    sections.clear();
    battery = BatteryState();
    mouseOff = false;
    motionHz = 0;
    motionOnControl = false;
    motionStart = motionDue = 0;
    failWrites = failReads = 0;
    silent = allZero = false;
    faults.clear();
    unplugCountdown[0] = unplugCountdown[1] = 0;
    writes = reads = 0;
    log.clear();
    handleLog.clear();
}

Model &model()
{
    static Model m;
    return m;
}

quint16 vidOf(const Model &m, Side side)
{
    return side == Side::Cable ? m.ids.vid2 : m.ids.vid1;
}

quint16 pidOf(const Model &m, Side side)
{
    return side == Side::Cable ? m.ids.pid2 : m.ids.pid1;
}

QByteArray pathOf(const Model &m, Side side, Collection collection)
{
    const int col = int(collection);
    return QByteArray("\\\\?\\HID#VID_") + QByteArray::number(vidOf(m, side), 16).rightJustified(4, '0').toUpper()
           + "&PID_" + QByteArray::number(pidOf(m, side), 16).rightJustified(4, '0').toUpper() + "&MI_00&Col"
           + QByteArray::number(col).rightJustified(2, '0') + "#7&"
           + (side == Side::Cable ? "2b3c4d5e" : "1a2b3c4d") + "&0&"
           + QByteArray::number(col - 1).rightJustified(4, '0') + "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

void plugLocked(Model &m, Side side, Aftermath &after)
{
    bool &p = m.plugged[sideIndex(side)];
    if (p)
        return;
    p = true;
    for (Collection c : {Collection::Mouse, Collection::Control})
        after.notices.push_back({QString::fromLatin1(pathOf(m, side, c).mid(4)), true});
    after.changed = true;
}

void unplugLocked(Model &m, Side side, Aftermath &after)
{
    bool &p = m.plugged[sideIndex(side)];
    if (!p)
        return;
    p = false;
    m.unplugCountdown[sideIndex(side)] = 0;
    for (hid_device_ *h : m.handles) {
        if (!h->extra && h->side == side) {
            h->dead = true;
            h->queue.clear();
        }
    }
    for (Collection c : {Collection::Mouse, Collection::Control})
        after.notices.push_back({QString::fromLatin1(pathOf(m, side, c).mid(4)), false});
    after.changed = true;
}

void queueReport(Model &m, Side side, const QByteArray &report)
{
    for (hid_device_ *h : m.handles) {
        if (h->extra || h->dead || h->side != side || h->collection != Collection::Control)
            continue;
        if (int(h->queue.size()) < QUEUE_LIMIT)
            h->queue.push_back(report);
    }
}

void catchUpMotion(Model &m)
{
    if (m.motionHz <= 0)
        return;
    const qint64 now = platform::monotonicMs();
    if (now < m.motionStart) {   // the virtual clock was set back
        m.motionStart = now;
        m.motionDue = 0;
    }
    const qint64 due = (now - m.motionStart) * m.motionHz / 1000;
    const qint64 count = due - m.motionDue;
    m.motionDue = due;
    const Side side = m.plugged[1] ? Side::Cable : Side::Receiver;
    if (count <= 0 || !m.plugged[sideIndex(side)])
        return;
    static const QByteArray report("\x01\x00\x01\x00\x00\x00", MOTION_REPORT_SIZE);
    for (hid_device_ *h : m.handles) {
        if (h->extra || h->dead || h->side != side)
            continue;
        if (h->collection == Collection::Control && !m.motionOnControl)
            continue;
        for (qint64 i = 0; i < count && int(h->queue.size()) < QUEUE_LIMIT; ++i)
            h->queue.push_back(report);
    }
}

bool frameIsGood(const unsigned char *data, size_t length)
{
    return length >= size_t(REPORT_SIZE) && data[0] == 0x05 && data[2] == kMarker && data[1] == checksumOf(data);
}

void processFrame(Model &m, Side side, const QByteArray &frame, Aftermath &after)
{
    const auto *w = reinterpret_cast<const unsigned char *>(frame.constData());
    const quint8 command = w[3];
    // While the mouse sleeps, the receiver takes nothing to it and echoes
    // nothing; it only answers the battery query on its behalf.
    const bool asleep = m.mouseOff && side == Side::Receiver;
    after.changed = true;   // the frame log grew, if nothing else
    if (asleep) {
        if (command != kBattery)
            return;
    } else if (command >= quint8(Block::Settings) && command <= quint8(Block::Macros)) {
        blockFrame(m, w);
    } else if (command == kApply) {
        if (w[4] == kApplyArg)
            m.sections.append(w[5]);
    } else if (command == kSelectProfile) {
        if (w[4] <= 4)
            m.activeProfile = w[4];
    } else if (command == kUpdate) {
        if (w[4] == 0) {
            m.updateOpen = true;
            ++m.updateBegins;
        } else if (w[4] == 1) {
            m.updateOpen = false;
            ++m.updateEnds;
        }
    }
    if (m.silent)
        return;
    QByteArray answer = frame.left(REPORT_SIZE);
    if (command == kBattery) {
        if (asleep)   // the receiver itself answers: no level, no charge, status 5
            answer = makeReport(kBattery, 0, 0, 0, kAsleepStatus);
        else
            answer = makeReport(kBattery, m.battery.low, m.battery.high, m.battery.charge, m.battery.status);
        answer[10] = char(m.battery.mode);
    }
    if (m.allZero) {
        answer.fill('\0');
    } else if (!m.faults.empty()) {
        spoil(answer, m.faults.front().first);
        if (--m.faults.front().second <= 0)
            m.faults.pop_front();
    }
    queueReport(m, side, answer);
}

void finish(const Aftermath &after)
{
    if (!after.notices.empty()) {
        std::lock_guard<std::mutex> lock(notifierMutex());
        for (Notifier *n : notifiers()) {
            for (const Notice &notice : after.notices) {
                const QString name = notice.name;
                const bool arrival = notice.arrival;
                // Posted to the notifier's thread; dropped if it is gone by then.
                QMetaObject::invokeMethod(
                    n, [n, name, arrival] { emit n->deviceChanged(name, arrival); }, Qt::QueuedConnection);
            }
        }
    }
    if (after.changed)
        emit observer()->changed();
}

} // namespace detail

using namespace detail;

namespace {

// Runs f(model, aftermath) under the lock, then tells the listeners.
template <typename F>
void mutate(F f)
{
    Model &m = model();
    Aftermath after;
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        f(m, after);
    }
    finish(after);
}

template <typename F>
auto inspect(F f)
{
    Model &m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    return f(m);
}

} // namespace

void reset()
{
    mutate([](Model &m, Aftermath &after) {
        m.resetLocked();
        after.changed = true;
    });
}

void setIdentity(const Identity &ids)
{
    mutate([&](Model &m, Aftermath &after) {
        m.ids = ids;
        after.changed = true;
    });
}

Identity identity()
{
    return inspect([](Model &m) { return m.ids; });
}

void plug(Side side)
{
    mutate([side](Model &m, Aftermath &after) { plugLocked(m, side, after); });
}

void unplug(Side side)
{
    mutate([side](Model &m, Aftermath &after) { unplugLocked(m, side, after); });
}

bool isPlugged(Side side)
{
    return inspect([side](Model &m) { return m.plugged[sideIndex(side)]; });
}

void setReleaseNumber(Side side, quint16 release)
{
    mutate([=](Model &m, Aftermath &after) {
        m.release[sideIndex(side)] = release;
        after.changed = true;
    });
}

quint16 releaseNumber(Side side)
{
    return inspect([side](Model &m) { return m.release[sideIndex(side)]; });
}

QByteArray interfacePath(Side side, Collection collection)
{
    return inspect([=](Model &m) { return pathOf(m, side, collection); });
}

QString interfaceName(Side side, Collection collection)
{
    return QString::fromLatin1(interfacePath(side, collection).mid(4));
}

void addExtraCollection(const ExtraCollection &collection)
{
    mutate([&](Model &m, Aftermath &after) {
        m.extras.push_back(collection);
        after.changed = true;
    });
}

void setInitFails(bool fails)
{
    mutate([=](Model &m, Aftermath &) { m.initFails = fails; });
}

int openHandleCount(Side side, Collection collection)
{
    return inspect([=](Model &m) {
        return int(std::count_if(m.handles.begin(), m.handles.end(), [&](const hid_device_ *h) {
            return !h->extra && !h->dead && h->side == side && h->collection == collection;
        }));
    });
}

void pushStatus(quint8 profile, quint8 dpi, quint8 rate, quint8 mode)
{
    mutate([=](Model &m, Aftermath &after) {
        const Side side = m.plugged[1] ? Side::Cable : Side::Receiver;
        if (!m.plugged[sideIndex(side)])
            return;
        catchUpMotion(m);
        queueReport(m, side, makeReport(kStatus, profile, dpi, rate, mode));
        // The mouse keeps what its own buttons chose.
        QByteArray &general = m.committed[int(Block::Settings) - 1];
        general[kGeneralStage] = char(dpi);
        if (profile <= 4) {
            m.activeProfile = profile;
            general[kGeneralProfile] = char(profile);
            general[kGeneralRates + profile] = char(rate);
        }
        after.changed = true;
    });
}

void setMotion(int hz)
{
    mutate([=](Model &m, Aftermath &after) {
        catchUpMotion(m);   // what fell due at the old rate
        m.motionHz = std::max(hz, 0);
        m.motionStart = platform::monotonicMs();
        m.motionDue = 0;
        after.changed = true;
    });
}

int motion()
{
    return inspect([](Model &m) { return m.motionHz; });
}

void setMotionOnControl(bool shared)
{
    mutate([=](Model &m, Aftermath &after) {
        catchUpMotion(m);
        m.motionOnControl = shared;
        after.changed = true;
    });
}

void setBattery(const BatteryState &state)
{
    mutate([&](Model &m, Aftermath &after) {
        m.battery = state;
        after.changed = true;
    });
}

BatteryState battery()
{
    return inspect([](Model &m) { return m.battery; });
}

void setMouseOff(bool off)
{
    mutate([=](Model &m, Aftermath &after) {
        m.mouseOff = off;
        after.changed = true;
    });
}

bool mouseOff()
{
    return inspect([](Model &m) { return m.mouseOff; });
}

void failWrites(int n)
{
    mutate([=](Model &m, Aftermath &after) {
        m.failWrites = n;
        after.changed = true;
    });
}

void failReads(int n)
{
    mutate([=](Model &m, Aftermath &after) {
        m.failReads = n;
        after.changed = true;
    });
}

void setSilent(bool silent)
{
    mutate([=](Model &m, Aftermath &after) {
        m.silent = silent;
        after.changed = true;
    });
}

void setAllZeroReplies(bool on)
{
    mutate([=](Model &m, Aftermath &after) {
        m.allZero = on;
        after.changed = true;
    });
}

void injectEchoFault(EchoFault fault, int n)
{
    mutate([=](Model &m, Aftermath &after) {
        m.faults.clear();
        if (n > 0)
            m.faults.emplace_back(fault, n);
        after.changed = true;
    });
}

void appendEchoFault(EchoFault fault, int n)
{
    mutate([=](Model &m, Aftermath &after) {
        if (n > 0)
            m.faults.emplace_back(fault, n);
        after.changed = true;
    });
}

void unplugAfterFrames(Side side, int n)
{
    mutate([=](Model &m, Aftermath &after) {
        if (n <= 0)
            unplugLocked(m, side, after);
        else
            m.unplugCountdown[sideIndex(side)] = n;
        after.changed = true;
    });
}

void clearFaults()
{
    mutate([](Model &m, Aftermath &after) {
        m.failWrites = m.failReads = 0;
        m.silent = m.allZero = false;
        m.faults.clear();
        m.unplugCountdown[0] = m.unplugCountdown[1] = 0;
        after.changed = true;
    });
}

PendingFaults pendingFaults()
{
    return inspect([](Model &m) {
        PendingFaults f;
        f.failWrites = m.failWrites;
        f.failReads = m.failReads;
        f.silent = m.silent;
        f.allZeroReplies = m.allZero;
        for (const auto &spoil : m.faults)
            f.echoFaults.append(qMakePair(spoil.first, spoil.second));
        f.unplugAfterFrames[0] = m.unplugCountdown[0];
        f.unplugAfterFrames[1] = m.unplugCountdown[1];
        return f;
    });
}

int writeCount()
{
    return inspect([](Model &m) { return m.writes; });
}

int readCount()
{
    return inspect([](Model &m) { return m.reads; });
}

void resetCounters()
{
    mutate([](Model &m, Aftermath &after) {
        m.writes = m.reads = 0;
        m.log.clear();
        m.handleLog.clear();
        after.changed = true;
    });
}

QVector<FrameRecord> frameLog()
{
    return inspect([](Model &m) { return m.log; });
}

QVector<HandleEvent> handleLog()
{
    return inspect([](Model &m) { return m.handleLog; });
}

QVector<QByteArray> writtenFrames()
{
    return inspect([](Model &m) {
        QVector<QByteArray> frames;
        for (const FrameRecord &r : qAsConst(m.log)) {
            if (r.direction == FrameRecord::Written && !r.extra && r.collection == Collection::Control)
                frames.append(r.bytes);
        }
        return frames;
    });
}

QVector<FrameRecord> recentWrittenFrames(int count)
{
    return inspect([count](Model &m) {
        QVector<FrameRecord> frames;
        for (int i = m.log.size() - 1; i >= 0 && frames.size() < count; --i) {
            const FrameRecord &r = m.log.at(i);
            if (r.direction == FrameRecord::Written && !r.extra && r.collection == Collection::Control)
                frames.prepend(r);
        }
        return frames;
    });
}

QByteArray block(Block which)
{
    return inspect([which](Model &m) { return m.committed[int(which) - 1]; });
}

int commitCount(Block which)
{
    return inspect([which](Model &m) { return m.commits[int(which) - 1]; });
}

int outOfRangeBytes()
{
    return inspect([](Model &m) { return m.outOfRange; });
}

int activeProfile()
{
    return inspect([](Model &m) { return m.activeProfile; });
}

bool updateOpen()
{
    return inspect([](Model &m) { return m.updateOpen; });
}

int updateBegins()
{
    return inspect([](Model &m) { return m.updateBegins; });
}

int updateEnds()
{
    return inspect([](Model &m) { return m.updateEnds; });
}

QVector<quint8> appliedSections()
{
    return inspect([](Model &m) { return m.sections; });
}

void clearAppliedSections()
{
    mutate([](Model &m, Aftermath &after) {
        m.sections.clear();
        after.changed = true;
    });
}

Observer *observer()
{
    static Observer *o = new Observer;
    return o;
}

Notifier::Notifier(QObject *parent) : platform::DeviceNotifier(parent) {}

Notifier::~Notifier()
{
    std::lock_guard<std::mutex> lock(notifierMutex());
    auto &list = notifiers();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool Notifier::start()
{
    std::lock_guard<std::mutex> lock(notifierMutex());
    auto &list = notifiers();
    if (std::find(list.begin(), list.end(), this) == list.end())
        list.push_back(this);
    return true;
}

void installNotifier()
{
    platform::setDeviceNotifierFactory([](QObject *parent) -> platform::DeviceNotifier * {
        return new Notifier(parent);
    });
}

} // namespace sim

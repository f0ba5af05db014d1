#include "poller.h"

#include "commands.h"
#include "device/logging.h"
#include "devicetable.h"
#include "platform/clock.h"
#include "transport.h"

#include <QDebug>
#include <algorithm>
#include <cstring>

namespace {

std::atomic<quint8> g_deviceMode{0};

// The control handle a turn talks through: the cable's when open, else the
// receiver's. Each HID call holds a lease on that very opening, so a handle
// closed (or reopened) meanwhile is never used.
struct TurnHandle {
    DeviceSlot slot = WiredControl;
    quint64 opening = 0;

    bool choose()
    {
        for (DeviceSlot s : {WiredControl, ReceiverControl}) {
            DeviceLease lease(s);
            if (lease) {
                slot = s;
                opening = lease.opening();
                return true;
            }
        }
        return false;
    }
    // -2 when the opening is gone, else what the HID call returned.
    int write(const quint8 *data, int length) const
    {
        DeviceLease lease(slot, opening);
        return lease ? hid_write(lease.handle(), data, size_t(length)) : -2;
    }
    int read(quint8 *data, int length, int timeoutMs) const
    {
        DeviceLease lease(slot, opening);
        return lease ? hid_read_timeout(lease.handle(), data, size_t(length), timeoutMs) : -2;
    }
    // The control collection's next report: motion reports of the mouse
    // collection that share the handle are read past within the same time.
    int readControl(quint8 *reply, int length, int timeoutMs) const
    {
        return readControlReport([this](quint8 *data, int n, int ms) { return read(data, n, ms); }, reply, length,
                                 timeoutMs);
    }
};

enum { HANDLE_GONE = -2 };

} // namespace

quint8 deviceModeByte()
{
    return g_deviceMode.load();
}

void setDeviceModeByte(quint8 mode)
{
    g_deviceMode.store(mode);
}

// ---- ZelGetBatteryThread ------------------------------------------------------

ZelGetBatteryThread::ZelGetBatteryThread(QObject *parent) : QThread(parent) {}

ZelGetBatteryThread::~ZelGetBatteryThread()
{
    stop();
    waitForRun();
}

void ZelGetBatteryThread::pause(int ms)
{
    m_Stop.sleepMs(ms);
}

void ZelGetBatteryThread::handleBatteryReply(const quint8 *reply)
{
    setDeviceModeByte(reply[10]);
    emit RefreshBatteryStatus(reply[6], reply[4], reply[5]);
    if (reply[4] || reply[5] || reply[6])
        emit RefreshWriteStatus(reply[7]);
}

bool ZelGetBatteryThread::waitForRun(unsigned long timeoutMs)
{
    if (!wait(timeoutMs))
        return false;
    m_runEnded.load(std::memory_order_acquire);
    return true;
}

void ZelGetBatteryThread::run()
{
    struct EndOfRun {
        std::atomic<bool> &ended;
        ~EndOfRun() { ended.store(true, std::memory_order_release); }
    } endOfRun{m_runEnded};
    m_runEnded.store(false, std::memory_order_relaxed);

    qCDebug(lcPoller, "ZelGetBatteryThread.\n");
    // The query: report id 5, checksum 0x24, marker 0xFA, CMD_BATTERY.
    const CommandFrame query = [] {
        CommandFrame f = CommandFrame::make(CMD_BATTERY, 0, 0, 0, 0);
        f.wire(1) = frameChecksum(f.buf + 1);
        return f;
    }();

    // A pause that keeps the handle read. On Linux the mouse collection's
    // motion reports share the control collection's hidraw node, which holds
    // 64 reports: left unread through a pause it fills up (in 64 ms at
    // 1000 Hz) and drops what the mouse says next, a status report after one
    // of its buttons was pressed among them. So every DRAIN_MS what arrived
    // is read out: motion is passed over, status reports and battery replies
    // are handed on at once. False when the handle has gone.
    const auto listenDuring = [this](const TurnHandle &handle, int ms) {
        while (ms > 0 && !stopRequested()) {
            const int step = ms < DRAIN_MS ? ms : DRAIN_MS;
            pause(step);
            ms -= step;
            for (;;) {
                quint8 report[FRAME_BUFFER] = {};
                const int got = handle.read(report, FRAME_LENGTH, 0);
                if (got == HANDLE_GONE)
                    return false;
                if (got < 0)
                    qCDebug(lcPoller, "Unable to read a feature report 1.\n");
                if (got <= 0)
                    break;
                if (isForeignReport(report, got))
                    continue;
                if (report[3] == CMD_STATUS)
                    emit RefreshStatus(report[4], report[5], report[6], report[7]);
                else if (report[3] == CMD_BATTERY)
                    handleBatteryReply(report);
            }
        }
        return true;
    };

    int turn = 0;
    while (!stopRequested()) {
        TurnHandle handle;
        if (!handle.choose())
            return;   // no control handle open: end silently
        quint8 reply[FRAME_BUFFER] = {};

        if (turn != 0) {
            ++turn;
        } else {
            if (handle.write(query.buf + 1, FRAME_LENGTH) < 0)
                qCDebug(lcPoller, "Unable to send a feature report.\n");
            pause(10);
            const int got = handle.readControl(reply, FRAME_LENGTH, QUERY_READ_MS);
            if (got == HANDLE_GONE)
                return;
            if (got < 0) {
                emit RefreshBatteryStatus(0, 0, 0);
            } else {
                qCDebug(lcPoller, "Threadread bat - %x %x %x %x %x %x %x %x\n", reply[0], reply[1], reply[2], reply[3],
                       reply[4], reply[5], reply[6], reply[7]);
                if (reply[3] == CMD_BATTERY)
                    handleBatteryReply(reply);
            }
            turn = 2;
            if (!listenDuring(handle, QUERY_PAUSE_MS))
                return;
            if (stopRequested())
                break;
        }

        // Listen. The reply buffer keeps the query's reply when this read
        // times out empty, which hands that reply on once more.
        reply[0] = 0x04;
        const int got = handle.readControl(reply, FRAME_LENGTH, LISTEN_READ_MS);
        if (got == HANDLE_GONE)
            return;
        int pauseMs = LISTEN_PAUSE_MS;
        if (got < 0) {
            qCDebug(lcPoller, "Unable to read a feature report 1.\n");
            pauseMs = FAILED_LISTEN_PAUSE_MS;
        } else if (reply[3] == CMD_STATUS) {
            emit RefreshStatus(reply[4], reply[5], reply[6], reply[7]);
        } else if (reply[3] == CMD_BATTERY) {
            handleBatteryReply(reply);
        }
        // (A failed read means a handle that cannot be read: no draining.)
        if (got < 0)
            pause(pauseMs);
        else if (!listenDuring(handle, pauseMs))
            return;

        if (turn == LAST_TURN)
            turn = 0;
    }
    qCDebug(lcPoller, "ZelGetBatteryThread Stop.\n");
}

// ---- BatteryPoller --------------------------------------------------------------

BatteryPoller::BatteryPoller(QObject *parent) : QObject(parent) {}

BatteryPoller::~BatteryPoller()
{
    if (pollerControl() == this)
        setPollerControl(nullptr);
    stop();
}

void BatteryPoller::start()
{
    stop();
    QMutexLocker lock(&m_mutex);
    m_thread = new ZelGetBatteryThread;
    if (m_connect)
        m_connect(m_thread);
    m_thread->start(QThread::InheritPriority);
}

bool BatteryPoller::haltThread()
{
    if (!m_thread)
        return false;
    m_thread->stop();
    platform::sleepMs(10);
    m_thread->stop();
    // The running turn ends within one HID read (50 ms); a pause ends at once.
    m_thread->waitForRun();
    return true;
}

void BatteryPoller::stop()
{
    QMutexLocker lock(&m_mutex);
    if (!haltThread())
        return;
    delete m_thread;
    m_thread = nullptr;
}

bool BatteryPoller::isRunning() const
{
    QMutexLocker lock(&m_mutex);
    return m_thread && m_thread->isRunning();
}

void BatteryPoller::stopPoller()
{
    if (QThread::currentThread() == thread()) {
        stop();
        return;
    }
    // The same stop sequence, without the owner's thread: the poller's turn
    // needs nothing from it, so this cannot wait on a thread that waits here.
    QMutexLocker lock(&m_mutex);
    haltThread();
}

void BatteryPoller::startPoller()
{
    if (QThread::currentThread() == thread())
        start();
    else
        QMetaObject::invokeMethod(this, [this] { start(); }, Qt::QueuedConnection);
}

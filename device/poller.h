#pragma once
// The battery and status poller: a thread that asks the mouse for its battery
// state about every 25 seconds, listens for the status reports the mouse
// sends on its own in between, and passes both on as signals.
//
// BatteryPoller owns the thread. Its stop() returns only once the thread has
// left the control handle alone, so the caller may close the handles right
// after it.

#include "device/pollercontrol.h"
#include "platform/clock.h"

#include <QMutex>
#include <QObject>
#include <QThread>
#include <atomic>
#include <climits>
#include <functional>
#include <utility>

class ZelGetBatteryThread : public QThread {
    Q_OBJECT
public:
    // A query turn (counter 0 -> 2), then listen-only turns up to LAST_TURN.
    // During its pauses it reads out what arrived every DRAIN_MS, before a
    // moving mouse's reports fill the node (64 of them at 1000 Hz).
    enum { LAST_TURN = 57, QUERY_READ_MS = 50, LISTEN_READ_MS = 50,
           QUERY_PAUSE_MS = 450, LISTEN_PAUSE_MS = 400, FAILED_LISTEN_PAUSE_MS = 450, DRAIN_MS = 50 };

    explicit ZelGetBatteryThread(QObject *parent = nullptr);
    ~ZelGetBatteryThread() override;

    // Asks the loop to end; takes effect at the next check, and cuts the
    // current pause short.
    void stop() { m_Stop.request(); }
    bool stopRequested() const { return m_Stop.requested(); }

    // QThread::wait, then takes over everything the run wrote (the end of a
    // run is published through an atomic, so thread checkers see the
    // hand-over that Qt's own wait hides from them). False on timeout.
    bool waitForRun(unsigned long timeoutMs = ULONG_MAX);

signals:
    void RefreshBatteryStatus(quint8 iCharge, quint8 iLowByte, quint8 iHiByte);
    void RefreshStatus(quint8 iProfile, quint8 iDPI, quint8 iRate, quint8 iMode);
    void RefreshWriteStatus(quint8 iStatus);

protected:
    void run() override;

private:
    void handleBatteryReply(const quint8 *reply);
    // Sleeps `ms`, returning early once a stop is asked for.
    void pause(int ms);

    platform::StopSignal m_Stop;
    std::atomic<bool> m_runEnded{false};
};

// Starts and stops the poller for the main window (and, through
// PollerControl, for the download).
class BatteryPoller : public QObject, public PollerControl {
    Q_OBJECT
public:
    // `receiver` provides the slots slotRefreshBatteryStatus(quint8, quint8,
    // quint8), slotRefreshStatus(quint8, quint8, quint8, quint8) and
    // slotRefreshWriteStatus(quint8); every new thread's signals are
    // connected to them (automatic connections, so queued across threads).
    template <class Receiver>
    explicit BatteryPoller(Receiver *receiver, QObject *parent = nullptr)
        : BatteryPoller(parent)
    {
        m_connect = [receiver](ZelGetBatteryThread *thread) {
            connect(thread, &ZelGetBatteryThread::RefreshBatteryStatus, receiver, &Receiver::slotRefreshBatteryStatus);
            connect(thread, &ZelGetBatteryThread::RefreshStatus, receiver, &Receiver::slotRefreshStatus);
            connect(thread, &ZelGetBatteryThread::RefreshWriteStatus, receiver, &Receiver::slotRefreshWriteStatus);
        };
    }
    explicit BatteryPoller(QObject *parent = nullptr);
    ~BatteryPoller() override;   // stops the thread

    // Called with every new thread before it starts, to connect its signals
    // (replaces the receiver's connections of the constructor above).
    using Connector = std::function<void(ZelGetBatteryThread *)>;
    void setConnector(Connector connector) { m_connect = std::move(connector); }

    // A new thread, connected, started with the inherited priority. A thread
    // still running is stopped first.
    void start();
    // Sets the stop flag, pauses 10 ms, sets it again, then waits for the
    // running turn to end and deletes the thread.
    void stop();
    void restart() { stop(); start(); }
    bool isRunning() const;
    // The current thread (nullptr when none).
    ZelGetBatteryThread *pollerThread() const { return m_thread; }

    // PollerControl, callable from any thread. Stopping from another thread
    // (the write thread) ends the running poller thread there and then: it
    // waits for the poller's turn, never for the owner's thread, which may
    // itself be waiting for the caller. The finished thread object is
    // reclaimed by the owner's next start() or stop(). Starting from another
    // thread is queued to the owner's thread.
    void stopPoller() override;
    void startPoller() override;

private:
    // The stop sequence on the running thread (m_mutex held): true when there
    // was one, which has then left the control handle alone.
    bool haltThread();

    Connector m_connect;
    // Guards m_thread against a stop from another thread while the owner
    // replaces it; held only while a poller turn ends, never while waiting
    // for the owner's thread.
    mutable QMutex m_mutex;
    ZelGetBatteryThread *m_thread = nullptr;
};

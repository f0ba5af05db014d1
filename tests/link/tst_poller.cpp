// The battery and status poller against the simulated mouse: what each reply
// and report turns into (signals, their order and arguments, the mode byte),
// the query cadence, and the owner's start and stop: a stopped poller never
// touches the control handle again, so the handles may be closed right after.

#include "device/poller.h"
#include "tests/link/linktest.h"

#include <QMutex>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

namespace {

// The main window's three slots, recording the calls in arrival order.
class Receiver : public QObject {
    Q_OBJECT
public:
    QStringList calls;
    int count(const QString &prefix) const
    {
        int n = 0;
        for (const QString &c : calls)
            n += c.startsWith(prefix);
        return n;
    }
public slots:
    void slotRefreshBatteryStatus(quint8 iCharge, quint8 iLowByte, quint8 iHiByte)
    {
        calls.append(QString::asprintf("battery %d %d %d", iCharge, iLowByte, iHiByte));
    }
    void slotRefreshStatus(quint8 iProfile, quint8 iDPI, quint8 iRate, quint8 iMode)
    {
        calls.append(QString::asprintf("status %d %d %d %d", iProfile, iDPI, iRate, iMode));
    }
    void slotRefreshWriteStatus(quint8 iStatus) { calls.append(QString::asprintf("write %d", iStatus)); }
};

// Debug lines from every thread.
QMutex g_logMutex;
QStringList g_log;
void captureLog(QtMsgType, const QMessageLogContext &, const QString &text)
{
    QMutexLocker lock(&g_logMutex);
    g_log.append(text);
}
QStringList logLines()
{
    QMutexLocker lock(&g_logMutex);
    return g_log;
}

// A virtual clock that asks the poller to stop once `limit` ms have passed.
std::atomic<qint64> g_elapsed{0};
std::atomic<qint64> g_limit{0};
std::atomic<ZelGetBatteryThread *> g_stopAtLimit{nullptr};
void limitedSleep(int ms)
{
    const qint64 now = g_elapsed.fetch_add(ms) + ms;
    if (now >= g_limit.load())
        if (ZelGetBatteryThread *t = g_stopAtLimit.load())
            t->stop();
}

constexpr int kQueryTurnMs = 10 + 450 + 50 + 400;   // the reply is there at once; the listen read times out
constexpr int kListenTurnMs = 50 + 400;
constexpr int kCycleMs = kQueryTurnMs + 55 * kListenTurnMs;
constexpr int kPauseMsPerCycle = 450 + 56 * 400;

} // namespace

class PollerTest : public QObject {
    Q_OBJECT

    LinkFixture m_fixture;
    std::unique_ptr<platform::VirtualClock> m_clock;

    // Plugs and opens, then forgets the lines the device link logged meanwhile.
    static void plugAndOpen(bool receiver, bool cable)
    {
        LinkFixture::connect(receiver, cable);
        QMutexLocker lock(&g_logMutex);
        g_log.clear();
    }

    // Rows for a mouse that lies still and one that moves while the poller
    // runs: its motion reports come through the control handle between the
    // replies (as on a Linux hidraw node), and change nothing the poller
    // passes on. At 125 Hz the queue never fills between two reads.
    static void motionRows()
    {
        QTest::addColumn<int>("motionHz");
        QTest::newRow("still") << 0;
        QTest::newRow("moving, 125 Hz") << 125;
    }
    static void startMotion()
    {
        QFETCH(int, motionHz);
        sim::setMotionOnControl(true);
        sim::setMotion(motionHz);
    }

private slots:
    void initTestCase() { qInstallMessageHandler(captureLog); }
    void cleanupTestCase() { qInstallMessageHandler(nullptr); }
    void init()
    {
        LinkFixture::fresh();
        setDeviceModeByte(0);
        QMutexLocker lock(&g_logMutex);
        g_log.clear();
    }

    // Bytes 4-7 = 00 00 00 05: the battery signal with zeros, no write status.
    void batteryReplyWithoutLevel()
    {
        plugAndOpen(true, false);
        sim::setBattery({0, 0, 0, 5, 3});
        Receiver receiver;
        BatteryPoller poller(&receiver);
        poller.start();
        QTRY_VERIFY(receiver.count("battery") >= 2);
        poller.stop();
        QCoreApplication::processEvents();
        for (const QString &c : receiver.calls)
            QCOMPARE(c, QStringLiteral("battery 0 0 0"));
        QCOMPARE(int(deviceModeByte()), 3);
        bool logged = false;
        for (const QString &line : logLines())
            logged |= line.startsWith(QStringLiteral("Threadread bat - 5 ")) && line.endsWith(QStringLiteral(" fa 48 0 0 0 5\n"));
        QVERIFY(logged);
    }

    // Charge 80, status 0: the battery signal, then the write status; the
    // query's reply is handed on again by the listen read that follows it.
    void batteryReplyWithLevel_data() { motionRows(); }
    void batteryReplyWithLevel()
    {
        plugAndOpen(false, true);
        startMotion();
        sim::setBattery({0xF2, 0x03, 80, 0, 8});
        Receiver receiver;
        BatteryPoller poller(&receiver);
        poller.start();
        QTRY_VERIFY(receiver.calls.size() >= 4);
        poller.stop();
        QCOMPARE(receiver.calls.mid(0, 4), (QStringList{"battery 80 242 3", "write 0", "battery 80 242 3", "write 0"}));
        QCOMPARE(int(deviceModeByte()), 8);
        const QStringList log = logLines();
        QCOMPARE(log.first(), QStringLiteral("ZelGetBatteryThread.\n"));
        QVERIFY(log.contains(QStringLiteral("ZelGetBatteryThread Stop.\n")));
        // The query went to the cable as 05 24 FA 48 and zeros.
        QCOMPARE(sim::writtenFrames().value(0), wireFrame(0x48, 0, 0, 0));
        QCOMPARE(quint8(sim::writtenFrames().value(0)[1]), quint8(0x24));
    }

    // An unsolicited status report between queries.
    void statusReport_data() { motionRows(); }
    void statusReport()
    {
        plugAndOpen(true, false);
        startMotion();
        sim::setBattery({0x10, 0x04, 0, 1, 0});
        Receiver receiver;
        BatteryPoller poller(&receiver);
        poller.start();
        QTRY_VERIFY(receiver.count("write") >= 1);
        sim::pushStatus(2, 3, 1, 0);
        QTRY_VERIFY(receiver.count("status") == 1);
        poller.stop();
        QVERIFY(receiver.calls.contains(QStringLiteral("status 2 3 1 0")));
        QVERIFY(receiver.calls.contains(QStringLiteral("battery 0 16 4")));
        QVERIFY(receiver.calls.contains(QStringLiteral("write 1")));
        // Nothing else: a motion report is no status and no battery reply.
        for (const QString &c : receiver.calls) {
            QVERIFY2(c == QStringLiteral("status 2 3 1 0") || c == QStringLiteral("battery 0 16 4")
                         || c == QStringLiteral("write 1"),
                     qPrintable(c));
        }
    }

    // A moving mouse fills the node with motion reports while the poller
    // pauses (64 of them, 64 ms at 1000 Hz). A status report the mouse sends
    // late in a pause still gets through: the pause reads the node out as it
    // goes, instead of leaving it full so that the report is dropped.
    void aStatusLateInAPauseIsHeardWhileTheMouseMoves()
    {
        plugAndOpen(true, false);
        sim::setMotionOnControl(true);
        sim::setMotion(1000);
        sim::setBattery({0x10, 0x04, 0, 1, 0});
        std::unique_ptr<platform::VirtualClock> clock;
        if (!m_clock)
            clock = std::make_unique<platform::VirtualClock>();
        platform::VirtualClock::reset();
        // 400 ms in: late in the query turn's 450 ms pause.
        platform::VirtualClock::callAt(400, [] { sim::pushStatus(2, 3, 1, 0); });
        Receiver receiver;
        BatteryPoller poller(&receiver);
        poller.start();
        QTRY_VERIFY(receiver.count("status") >= 1);
        poller.stop();
        QCOMPARE(receiver.calls.filter(QStringLiteral("status")), QStringList{QStringLiteral("status 2 3 1 0")});
    }

    // A failed query read reports the mouse as off; failed listen reads only log.
    void failedReads()
    {
        plugAndOpen(true, false);
        sim::failReads(2);
        Receiver receiver;
        BatteryPoller poller(&receiver);
        poller.start();
        QTRY_VERIFY(!receiver.calls.isEmpty());
        QTRY_VERIFY(logLines().contains(QStringLiteral("Unable to read a feature report 1.\n")));
        poller.stop();
        QCOMPARE(receiver.calls.first(), QStringLiteral("battery 0 0 0"));
        QCOMPARE(receiver.count("write"), 0);
    }

    // One query turn, then 55 listen-only turns: 57 reads per query, a query
    // about every 25.7 seconds. A stop cuts the pause in progress short.
    void cadence_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("queries");
        QTest::newRow("inside the first listen pause") << kQueryTurnMs + 50 + 200 << 1;
        QTest::newRow("inside the second cycle") << 2 * kCycleMs - 200 << 2;
        QTest::newRow("into the third cycle") << 2 * kCycleMs + 200 << 3;
    }
    void cadence()
    {
        QFETCH(int, limit);
        QFETCH(int, queries);
        plugAndOpen(true, false);
        sim::setBattery({1, 2, 3, 4, 5});
        g_elapsed = 0;
        g_limit = limit;
        ZelGetBatteryThread thread;
        g_stopAtLimit = &thread;
        platform::setSleepHook(&limitedSleep);
        thread.start();
        QVERIFY(thread.waitForRun(60000));
        g_stopAtLimit = nullptr;
        m_clock.reset();
        m_clock = std::make_unique<platform::VirtualClock>();   // back on the virtual clock
        QCOMPARE(sim::writeCount(), queries);
        // The stop came in the middle of a pause, which ended right there.
        QCOMPARE(g_elapsed.load(), qint64(limit));
        // 57 reads a cycle, and the pauses read the node out every 50 ms
        // (one read each when nothing is there); the stop cut the last
        // pause 200 ms short.
        if (queries == 2)
            QCOMPARE(sim::readCount(), 2 * 57 + (2 * kPauseMsPerCycle - 200) / ZelGetBatteryThread::DRAIN_MS);
        QVERIFY(logLines().contains(QStringLiteral("ZelGetBatteryThread Stop.\n")));
    }

    // No control handle: the thread ends at once, silently.
    void noHandle()
    {
        plugAndOpen(false, false);
        ZelGetBatteryThread thread;
        QSignalSpy spy(&thread, &ZelGetBatteryThread::RefreshBatteryStatus);
        thread.start();
        QVERIFY(thread.waitForRun(10000));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(sim::writeCount(), 0);
        QCOMPARE(logLines(), QStringList{QStringLiteral("ZelGetBatteryThread.\n")});
    }

    // Closing the handles under a running poller: closing waits for the HID
    // call in progress, and the poller then returns without the stop line.
    void closeUnderARunningPoller()
    {
        plugAndOpen(true, true);
        sim::setBattery({1, 2, 3, 4, 5});
        ZelGetBatteryThread thread;
        QSignalSpy spy(&thread, &ZelGetBatteryThread::RefreshBatteryStatus);
        thread.start();
        QTRY_VERIFY(spy.count() >= 1);
        closeDevice();
        const int reads = sim::readCount();
        QVERIFY(thread.waitForRun(10000));
        QCOMPARE(sim::readCount(), reads);
        QVERIFY(!logLines().contains(QStringLiteral("ZelGetBatteryThread Stop.\n")));
    }

    // On the real clock a pause is one sleep that a stop ends at once: the
    // poller does not wake up every few milliseconds to look for a stop.
    void aStopEndsAPauseAtOnce()
    {
        platform::setSleepHook(nullptr);
        platform::StopSignal signal;
        QElapsedTimer timer;
        timer.start();
        std::thread stopper([&signal] {
            QThread::msleep(50);
            signal.request();
        });
        QVERIFY(!signal.sleepMs(600000));
        stopper.join();
        QVERIFY(timer.elapsed() < 60000);
        QVERIFY(!signal.sleepMs(600000));   // a stop stays asked for
        platform::StopSignal quiet;
        QVERIFY(quiet.sleepMs(5));
    }

    // The owner's stop returns once the poller has left the handle alone:
    // no read after it, the thread object reclaimed, the handles closable.
    void ownerStopThenClose()
    {
        plugAndOpen(true, false);
        Receiver receiver;
        BatteryPoller poller(&receiver);
        for (int round = 0; round < 5; ++round) {
            poller.start();
            QVERIFY(poller.isRunning());
            QTRY_VERIFY(sim::readCount() > 2 * round + 1);
            poller.stop();
            QVERIFY(!poller.isRunning());
            QCOMPARE(poller.pollerThread(), nullptr);
            const int reads = sim::readCount();
            QTest::qWait(20);
            QCOMPARE(sim::readCount(), reads);
        }
        poller.restart();
        QVERIFY(poller.isRunning());
        poller.stop();
        closeDevice();
        QCOMPARE(logLines().filter(QStringLiteral("ZelGetBatteryThread Stop.\n")).size(), 6);
    }

    // The download's hand-over from another thread: the stop blocks until the
    // poller is stopped, the start is queued to the owner's thread.
    void pollerControlFromAnotherThread()
    {
        plugAndOpen(true, false);
        Receiver receiver;
        BatteryPoller poller(&receiver);
        poller.start();
        std::atomic<bool> stopped{false};
        std::atomic<bool> stillRunning{true};
        QThread *worker = QThread::create([&] {
            poller.stopPoller();
            stillRunning = poller.isRunning();
            stopped = true;
        });
        worker->start();
        QTRY_VERIFY(stopped.load());
        QVERIFY(worker->wait(10000));
        delete worker;
        QVERIFY(!stillRunning.load());

        std::atomic<bool> started{false};
        worker = QThread::create([&] {
            poller.startPoller();
            started = true;
        });
        worker->start();
        QVERIFY(worker->wait(10000));
        delete worker;
        QVERIFY(started.load());
        QTRY_VERIFY(poller.isRunning());
        poller.stop();
    }

    // The write thread stops the poller while the owner's thread is busy
    // waiting for that very write thread (the busy dialog's caller joins
    // it): the stop must not need the owner's thread at all.
    void stopFromAnotherThreadWhileTheOwnerWaits()
    {
        plugAndOpen(true, false);
        Receiver receiver;
        BatteryPoller poller(&receiver);
        poller.start();
        QTRY_VERIFY(sim::readCount() > 1);
        std::atomic<bool> stillRunning{true};
        QThread *worker = QThread::create([&] {
            poller.stopPoller();
            stillRunning = poller.isRunning();
        });
        worker->start();
        // No event loop runs here while waiting.
        const bool joined = worker->wait(10000);
        QVERIFY2(joined, "the poller's stop waited for the owner's thread");
        delete worker;
        QVERIFY(!stillRunning.load());
        const int reads = sim::readCount();
        QTest::qWait(20);
        QCOMPARE(sim::readCount(), reads);
        // The owner starts a new one later and reclaims the stopped thread.
        poller.start();
        QVERIFY(poller.isRunning());
        poller.stop();
        QCOMPARE(poller.pollerThread(), nullptr);
    }
};

QTEST_GUILESS_MAIN(PollerTest)
#include "tst_poller.moc"

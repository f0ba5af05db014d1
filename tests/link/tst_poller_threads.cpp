// The battery poller beside other threads, meant for ThreadSanitizer: the
// poller reads and writes the control handle while the owner stops and
// restarts it, while another thread sends frames, and while the device is
// closed, reopened, unplugged and plugged under it.

#include "device/commands.h"
#include "device/poller.h"
#include "tests/common/threadtest.h"
#include "tests/link/linktest.h"

#include <QtTest>
#include <atomic>
#include <thread>

namespace {

// Counts the poller's signals on the poller's own thread (no event loop).
struct Counts {
    std::atomic<int> battery{0};
    std::atomic<int> status{0};
    std::atomic<int> writeStatus{0};
};

void countSignals(ZelGetBatteryThread *thread, Counts &counts)
{
    QObject::connect(thread, &ZelGetBatteryThread::RefreshBatteryStatus, thread,
                     [&counts](quint8, quint8, quint8) { ++counts.battery; }, Qt::DirectConnection);
    QObject::connect(thread, &ZelGetBatteryThread::RefreshStatus, thread,
                     [&counts](quint8, quint8, quint8, quint8) { ++counts.status; }, Qt::DirectConnection);
    QObject::connect(thread, &ZelGetBatteryThread::RefreshWriteStatus, thread,
                     [&counts](quint8) { ++counts.writeStatus; }, Qt::DirectConnection);
}

bool waitFor(const std::atomic<int> &value, int atLeast)
{
    for (int i = 0; i < 20000 && value.load() < atLeast; ++i)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    return value.load() >= atLeast;
}

} // namespace

class PollerThreadsTest : public QObject {
    Q_OBJECT

    LinkFixture m_fixture;

private slots:
    void initTestCase() { threadtest::quietDebug(); }
    void cleanupTestCase() { threadtest::restoreDebug(); }
    void init()
    {
        LinkFixture::fresh();
        resetDeviceTables();
    }

    // The owner stops the poller (waiting for its turn), closes and reopens
    // the device and starts a new poller, over and over, while the mouse
    // reports status on its own.
    void stopCloseReopen()
    {
        LinkFixture::connect(true, true);
        sim::setBattery({0x10, 0x04, 50, 1, 8});
        Counts counts;
        std::atomic<bool> done{false};
        std::thread mouse([&] {
            for (int i = 0; !done; ++i) {
                sim::pushStatus(quint8(i % 5), 1, 1, 0);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        BatteryPoller poller;
        poller.setConnector([&counts](ZelGetBatteryThread *thread) { countSignals(thread, counts); });
        for (int round = 0; round < 40; ++round) {
            poller.start();
            // Let it take at least one turn that reports something.
            const int seen = counts.battery + counts.status;
            for (int i = 0; i < 20000 && counts.battery + counts.status == seen; ++i)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            poller.stop();
            closeDevice();
            openDevice("VELKOR");
        }
        done = true;
        mouse.join();
        QVERIFY(counts.battery > 0);
        QVERIFY(counts.status > 0);
        QCOMPARE(int(deviceModeByte()), 8);
    }

    // Handles closed and the cable pulled under a running poller: it ends by
    // itself, and never touches a handle after it was closed.
    void closeUnderThePoller()
    {
        for (int round = 0; round < 20; ++round) {
            LinkFixture::fresh();
            LinkFixture::connect(true, true);
            Counts counts;
            ZelGetBatteryThread thread;
            countSignals(&thread, counts);
            thread.start();
            QVERIFY(waitFor(counts.battery, 1));
            if (round % 2)
                sim::unplug(sim::Side::Cable);
            closeDevice();
            const int reads = sim::readCount();
            QVERIFY(thread.waitForRun(10000));
            QCOMPARE(sim::readCount(), reads);
        }
    }

    // A menu profile switch does not stop the poller: frames go out on the
    // GUI thread while the poller shares the handle.
    void profileSwitchBesideThePoller()
    {
        LinkFixture::connect(true, false);
        sim::setBattery({1, 2, 3, 4, 5});
        BatteryPoller poller;
        poller.start();
        for (int i = 0; i < 30; ++i) {
            selectProfile(quint8(i % 5));
            applySections();
        }
        poller.stop();
        QVERIFY(sim::appliedSections().size() >= 30);
    }
};

QTEST_GUILESS_MAIN(PollerThreadsTest)
#include "tst_poller_threads.moc"

// Threads on the device link, meant for ThreadSanitizer: the transport and a
// poller-like reader exchange frames on the control handles while a third
// thread unplugs and plugs the cable and closes and reopens the device.

#include "device/transport.h"
#include "tests/common/threadtest.h"
#include "tests/sim/simtest.h"

#include <QtTest>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>


class LinkThreadsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { threadtest::quietDebug(); }
    void cleanupTestCase() { threadtest::restoreDebug(); }
    void init() { LinkFixture::fresh(); }

    void sendWhilePlugging()
    {
        LinkFixture::connect(true, true);
        std::atomic<bool> done{false};
        std::atomic<int> sent{0};
        std::atomic<int> answered{0};
        std::atomic<int> cycles{0};
        std::vector<int> results;   // written by the sender only

        std::thread sender([&] {
            quint8 data[20];
            // At least 300 frames, and on until the plugger has been round 50 times.
            for (int i = 0; i < 300 || cycles < 50; ++i) {
                for (int k = 0; k < 20; ++k)
                    data[k] = quint8(i + k);
                const CommandFrame f =
                    CommandFrame::make(0x05, quint8(i * 20), quint8(i / 13), 20, SEG_NEXT, data);
                results.push_back(sendFrame(f));
                ++sent;
            }
            done = true;
        });

        std::thread poller([&] {
            const CommandFrame query = CommandFrame::make(0x48, 0, 0, 0, 0);
            quint8 sealed[FRAME_LENGTH];
            std::memcpy(sealed, query.buf + 1, FRAME_LENGTH);
            sealed[1] = frameChecksum(sealed);
            while (!done) {
                DeviceSlot slot = wiredControlHandle() ? WiredControl : ReceiverControl;
                DeviceLease lease(slot);
                if (!lease)
                    continue;
                hid_write(lease.handle(), sealed, FRAME_LENGTH);
                unsigned char reply[64] = {};
                if (hid_read_timeout(lease.handle(), reply, FRAME_LENGTH, 50) > 0)
                    ++answered;
            }
        });

        std::thread plugger([&] {
            for (int i = 0; !done; ++i) {
                sim::unplug(sim::Side::Cable);
                if (i % 3 == 0)
                    sim::unplug(sim::Side::Receiver);
                closeDevice();
                sim::plug(sim::Side::Cable);
                sim::plug(sim::Side::Receiver);
                openDevice("VELKOR");
                ++cycles;
                std::this_thread::yield();
            }
        });

        sender.join();
        poller.join();
        plugger.join();

        QVERIFY(sent >= 300);
        QVERIFY(cycles >= 50);
        QCOMPARE(int(results.size()), sent.load());
        for (int r : results)
            QVERIFY2(r == SEND_OK || r == SEND_NO_DEVICE || r == SEND_VERIFY_FAILED || r == SEND_WRITE_FAILED,
                     qPrintable(QString::number(r)));

        // Afterwards the link is whole again: frames go through.
        openDevice("VELKOR");
        QCOMPARE(sendFrame(CommandFrame::make(0x46, 0, 0, 0, 0)), quint8(SEND_OK));
        closeDevice();
        for (sim::Side side : {sim::Side::Receiver, sim::Side::Cable}) {
            QCOMPARE(sim::openHandleCount(side, sim::Collection::Mouse), 0);
            QCOMPARE(sim::openHandleCount(side, sim::Collection::Control), 0);
        }
    }

private:
    LinkFixture m_fixture;
};

QTEST_GUILESS_MAIN(LinkThreadsTest)
#include "tst_link_threads.moc"

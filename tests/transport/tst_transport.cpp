// The verified frame transport against the simulated mouse, on the virtual
// clock: checksums, handle choice, read-back rule, echo comparison and every
// retry budget with its exact count of writes, reads and paused time.

#include "device/transport.h"
#include "tests/sim/simtest.h"

#include <QtTest>

namespace {

QStringList g_trace;
void captureTrace(const char *text)
{
    g_trace.append(QString::fromUtf8(text));
}

CommandFrame dataFrame(quint8 command, int length = 5)
{
    quint8 data[25];
    for (int i = 0; i < 25; ++i)
        data[i] = quint8(0x10 + i);
    return CommandFrame::make(command, 0x06, 0x00, quint8(length), SEG_NEXT, data);
}

// What the device does with the frames of a case.
enum Setup { Echo, Silent, AllZero, HeaderOnce, DataAlways, ReadFailures, StaleStatus };

sim::Side sideOfLastWrite()
{
    const QVector<sim::FrameRecord> log = sim::frameLog();
    for (int i = log.size() - 1; i >= 0; --i) {
        if (log[i].direction == sim::FrameRecord::Written)
            return log[i].side;
    }
    return sim::Side::Receiver;
}

} // namespace

class TransportTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        LinkFixture::fresh();
        g_trace.clear();
    }
    void cleanup() { setTransportTraceSink(nullptr); }

    void frameLayoutAndChecksum()
    {
        const quint8 data[3] = {0xAA, 0xBB, 0xCC};
        const CommandFrame f = CommandFrame::make(0x05, 0x34, 0x12, 3, SEG_FIRST, data);
        QCOMPARE(f.buf[0], quint8(0));   // spare byte, never sent
        const quint8 expected[] = {0x05, 0x00, 0xFA, 0x05, 0x34, 0x12, 0x03, 0xD1, 0xAA, 0xBB, 0xCC, 0x00};
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(f.buf + 1), 12),
                 QByteArray(reinterpret_cast<const char *>(expected), 12));

        // The battery query and the update begin of the command set.
        const CommandFrame battery = CommandFrame::make(0x48, 0, 0, 0, 0);
        const CommandFrame update = CommandFrame::make(0x46, 0, 0, 0, 0);
        QCOMPARE(frameChecksum(&battery.buf[1]), quint8(0x24));
        QCOMPARE(frameChecksum(&update.buf[1]), quint8(0x26));
        // Data bytes are not covered.
        QCOMPARE(frameChecksum(&f.buf[1]), quint8(((0xFA + 0x05 + 0x34 + 0x12 + 0x03 + 0xD1) & 0xFF) ^ 0x66));

        // A frame never carries more than the 25 data bytes that fit in it.
        quint8 big[40] = {};
        const CommandFrame clipped = CommandFrame::make(0x05, 0, 0, 40, SEG_NEXT, big);
        QCOMPARE(clipped.wire(6), quint8(25));
    }

    void sealsAPrivateCopy()
    {
        LinkFixture::connect(true, false);
        const CommandFrame f = dataFrame(0x01);
        const CommandFrame before = f;
        QCOMPARE(sendFrame(f), quint8(SEND_OK));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(f.buf), FRAME_BUFFER),
                 QByteArray(reinterpret_cast<const char *>(before.buf), FRAME_BUFFER));
        const QByteArray wire = sim::writtenFrames().value(0);
        QCOMPARE(wire.size(), int(FRAME_LENGTH));
        QCOMPARE(quint8(wire[1]), frameChecksum(&f.buf[1]));
        QCOMPARE(wire.mid(2), QByteArray(reinterpret_cast<const char *>(f.buf + 3), FRAME_LENGTH - 2));
        QCOMPARE(sim::writeCount(), 1);
        QCOMPARE(sim::readCount(), 1);
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(10));
    }

    void noDevice()
    {
        LinkFixture::connect(false, false);
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_NO_DEVICE));
        QCOMPARE(sim::writeCount(), 0);
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(0));
    }

    void cablePreferred()
    {
        LinkFixture::connect(true, true);
        QVERIFY(receiverControlHandle());
        QVERIFY(wiredControlHandle());
        QCOMPARE(sendFrame(dataFrame(0x02)), quint8(SEND_OK));
        QCOMPARE(sideOfLastWrite(), sim::Side::Cable);

        LinkFixture::fresh();
        LinkFixture::connect(true, false);
        QCOMPARE(sendFrame(dataFrame(0x02)), quint8(SEND_OK));
        QCOMPARE(sideOfLastWrite(), sim::Side::Receiver);
    }

    void readBackRule_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("readBack");
        QTest::newRow("0x00") << 0x00 << true;
        QTest::newRow("0x0A") << 0x0A << true;
        QTest::newRow("0x0B") << 0x0B << false;
        QTest::newRow("0x40") << 0x40 << true;
        QTest::newRow("0x42") << 0x42 << false;
        QTest::newRow("0x44") << 0x44 << false;
        QTest::newRow("0x46") << 0x46 << true;
        QTest::newRow("0x48") << 0x48 << false;
    }
    void readBackRule()
    {
        QFETCH(int, command);
        QFETCH(bool, readBack);
        LinkFixture::connect(true, false);
        // A silent device shows whether the transport waits for an echo.
        sim::setSilent(true);
        const quint8 result = sendFrame(CommandFrame::make(quint8(command), 0, 0, 0, 0));
        if (readBack) {
            QCOMPARE(result, quint8(SEND_VERIFY_FAILED));
            QVERIFY(sim::readCount() > 0);
        } else {
            QCOMPARE(result, quint8(SEND_OK));
            QCOMPARE(sim::writeCount(), 1);
            QCOMPARE(sim::readCount(), 0);
            QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(10));
        }
    }

    // Bytes 1 and 7 of the echo are not compared; for 0x40 and 0x46 only the
    // header is; for commands up to 0x0A the data too.
    void echoComparison_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("writes");
        QTest::newRow("checksum byte") << 0x03 << int(sim::EchoFault::ChecksumByte) << int(SEND_OK) << 1;
        QTest::newRow("segment byte") << 0x03 << int(sim::EchoFault::SegmentByte) << int(SEND_OK) << 1;
        QTest::newRow("0x40 data") << 0x40 << int(sim::EchoFault::DataMismatch) << int(SEND_OK) << 1;
        QTest::newRow("0x46 data") << 0x46 << int(sim::EchoFault::DataMismatch) << int(SEND_OK) << 1;
        QTest::newRow("0x02 data") << 0x02 << int(sim::EchoFault::DataMismatch) << int(SEND_VERIFY_FAILED) << 3;
        QTest::newRow("0x0A data") << 0x0A << int(sim::EchoFault::DataMismatch) << int(SEND_VERIFY_FAILED) << 3;
    }
    void echoComparison()
    {
        QFETCH(int, command);
        QFETCH(int, fault);
        QFETCH(int, result);
        QFETCH(int, writes);
        LinkFixture::connect(true, false);
        sim::injectEchoFault(sim::EchoFault(fault), 100);
        QCOMPARE(sendFrame(dataFrame(quint8(command))), quint8(result));
        QCOMPARE(sim::writeCount(), writes);
    }

    void dataMismatchOnceIsRewritten()
    {
        LinkFixture::connect(true, false);
        sim::injectEchoFault(sim::EchoFault::DataMismatch, 1);
        QCOMPARE(sendFrame(dataFrame(0x02)), quint8(SEND_OK));
        QCOMPARE(sim::writeCount(), 2);
        QCOMPARE(sim::readCount(), 2);
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(20));
        // A frame without data is never judged on data.
        sim::injectEchoFault(sim::EchoFault::DataMismatch, 1);
        sim::resetCounters();
        QCOMPARE(sendFrame(dataFrame(0x02, 0)), quint8(SEND_OK));
        QCOMPARE(sim::writeCount(), 1);
    }

    // 30 failed reads after the first write (a 50 ms pause after each of the
    // first 29), then two rewrites each followed by one failed read.
    void readFailuresExhausted()
    {
        LinkFixture::connect(true, false);
        sim::failReads(sim::ALWAYS);
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_VERIFY_FAILED));
        QCOMPARE(sim::writeCount(), 3);
        QCOMPARE(sim::readCount(), 32);
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(10 + 29 * 50 + 10 + 10));
    }

    void readFailuresThenEcho()
    {
        LinkFixture::connect(true, false);
        sim::failReads(29);
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_OK));
        QCOMPARE(sim::writeCount(), 1);
        QCOMPARE(sim::readCount(), 30);
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(10 + 29 * 50));
    }

    // A device that never answers (every read times out empty) or answers
    // only zeros: one write and five rewrites, each with one read, and the
    // frame counts as not taken.
    void silentDevice()
    {
        LinkFixture::connect(true, false);
        sim::setSilent(true);
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_VERIFY_FAILED));
        QCOMPARE(sim::writeCount(), 6);
        QCOMPARE(sim::readCount(), 6);
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(6 * (10 + 150)));
    }

    void allZeroReplies()
    {
        LinkFixture::connect(true, false);
        sim::setAllZeroReplies(true);
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_VERIFY_FAILED));
        QCOMPARE(sim::writeCount(), 6);
        QCOMPARE(sim::readCount(), 6);
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(6 * 10));

        // Five zero replies are within budget: the sixth write's echo counts.
        sim::setAllZeroReplies(false);
        sim::injectEchoFault(sim::EchoFault::AllZero, 5);
        sim::resetCounters();
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_OK));
        QCOMPARE(sim::writeCount(), 6);
    }

    // After a data mismatch, zero replies beyond their budget are judged as
    // that mismatch again, which spends the rewrites: 1 write with the
    // mismatch, then twice (five zero replies within budget + the sixth).
    void allZeroAfterMismatch()
    {
        LinkFixture::connect(true, false);
        sim::injectEchoFault(sim::EchoFault::DataMismatch, 1);
        sim::appendEchoFault(sim::EchoFault::AllZero, 1000);
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_VERIFY_FAILED));
        QCOMPARE(sim::writeCount(), 1 + 6 + 6);
        QCOMPARE(sim::readCount(), 13);
    }

    // A report meant for someone else (a status report the poller would
    // read) is skipped: re-read after 50 ms, the echo is then found.
    void staleReportIsReadPast()
    {
        LinkFixture::connect(true, false);
        sim::pushStatus(1, 2, 3, 0);
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_OK));
        QCOMPARE(sim::writeCount(), 1);
        QCOMPARE(sim::readCount(), 2);
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(10 + 50));
    }

    // The mouse moving while frames go out: on Linux its motion reports (the
    // mouse collection's report id 1) come through the control handle
    // between the replies. They are read past at once, count for none of the
    // budgets and bring no pause: each case writes as often and takes as long
    // as with the mouse lying still. `aheadMs` of motion is waiting before
    // the first write; 64 reports fill the queue, which then drops the echo.
    void foreignReports_data()
    {
        QTest::addColumn<int>("setup");
        QTest::addColumn<int>("motionHz");
        QTest::addColumn<int>("aheadMs");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("writes");
        QTest::addColumn<int>("elapsedMs");
        QTest::addColumn<int>("reads");   // -1: not counted
        const int ok = SEND_OK;
        const int failed = SEND_VERIFY_FAILED;
        QTest::newRow("echo, still") << int(Echo) << 0 << 20 << ok << 1 << 10 << 1;
        QTest::newRow("echo behind motion, 125 Hz") << int(Echo) << 125 << 40 << ok << 1 << 10 << 6;
        QTest::newRow("echo behind motion, 1000 Hz") << int(Echo) << 1000 << 20 << ok << 1 << 10 << 21;
        QTest::newRow("echo dropped by a full queue, 1000 Hz") << int(Echo) << 1000 << 100 << ok << 2 << 170 << -1;
        QTest::newRow("status ahead of the echo, 1000 Hz") << int(StaleStatus) << 1000 << 5 << ok << 1 << 60 << 7;
        QTest::newRow("silent, still") << int(Silent) << 0 << 0 << failed << 6 << 6 * (10 + 150) << 6;
        QTest::newRow("silent, 125 Hz") << int(Silent) << 125 << 0 << failed << 6 << 6 * (10 + 150) << -1;
        QTest::newRow("silent, 1000 Hz") << int(Silent) << 1000 << 0 << failed << 6 << 6 * (10 + 150) << -1;
        QTest::newRow("zeros, 1000 Hz") << int(AllZero) << 1000 << 5 << failed << 6 << 6 * 10 << -1;
        QTest::newRow("header garbled once, 1000 Hz")
            << int(HeaderOnce) << 1000 << 5 << ok << 2 << 10 + 19 * (50 + 150) + 10 << -1;
        QTest::newRow("data differs always, 1000 Hz") << int(DataAlways) << 1000 << 5 << failed << 3 << 3 * 10 << -1;
        QTest::newRow("reads fail, 1000 Hz")
            << int(ReadFailures) << 1000 << 5 << failed << 3 << 10 + 29 * 50 + 10 + 10 << 32;
    }
    void foreignReports()
    {
        QFETCH(int, setup);
        QFETCH(int, motionHz);
        QFETCH(int, aheadMs);
        QFETCH(int, result);
        QFETCH(int, writes);
        QFETCH(int, elapsedMs);
        QFETCH(int, reads);
        LinkFixture::connect(true, false);
        sim::setMotionOnControl(true);
        sim::setMotion(motionHz);
        switch (Setup(setup)) {
        case Echo:
            break;
        case Silent:
            sim::setSilent(true);
            break;
        case AllZero:
            sim::setAllZeroReplies(true);
            break;
        case HeaderOnce:
            sim::injectEchoFault(sim::EchoFault::HeaderMismatch, 1);
            break;
        case DataAlways:
            sim::injectEchoFault(sim::EchoFault::DataMismatch, 100);
            break;
        case ReadFailures:
            sim::failReads(sim::ALWAYS);
            break;
        case StaleStatus:
            sim::pushStatus(1, 2, 3, 0);
            break;
        }
        platform::VirtualClock::advance(aheadMs);
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(result));
        QCOMPARE(sim::writeCount(), writes);
        QCOMPARE(platform::VirtualClock::elapsedMs() - aheadMs, qint64(elapsedMs));
        if (reads >= 0)
            QCOMPARE(sim::readCount(), reads);
        // Every report the transport took was the control collection's or
        // a motion report, never anything spoiled on the way.
        for (const sim::FrameRecord &r : sim::frameLog()) {
            if (r.direction == sim::FrameRecord::Read && !r.bytes.isEmpty() && r.bytes[0] != 0x05 && r.bytes[0] != 0)
                QCOMPARE(r.bytes, QByteArray("\x01\x00\x01\x00\x00\x00", 6));
        }
        if (motionHz && setup != ReadFailures) {
            const auto log = sim::frameLog();
            QVERIFY(std::any_of(log.begin(), log.end(), [](const sim::FrameRecord &r) {
                return r.direction == sim::FrameRecord::Read && r.bytes.startsWith('\x01');
            }));
        }
    }

    // A garbled header that stays in the reply buffer (later reads time out)
    // is judged 20 times, then the frame is written again.
    void headerMismatchRereadThenRewrite()
    {
        LinkFixture::connect(true, false);
        sim::injectEchoFault(sim::EchoFault::HeaderMismatch, 1);
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_OK));
        QCOMPARE(sim::writeCount(), 2);
        QCOMPARE(sim::readCount(), 21);
        // 19 re-reads, each after 50 ms and timing out after 150 ms.
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(10 + 19 * (50 + 150) + 10));
    }

    void headerMismatchExhausted()
    {
        LinkFixture::connect(true, false);
        sim::injectEchoFault(sim::EchoFault::HeaderMismatch, 100);
        QCOMPARE(sendFrame(dataFrame(0x40, 0)), quint8(SEND_VERIFY_FAILED));
        QCOMPARE(sim::writeCount(), 3);
        // 20 reads for the first write; from then on each mismatch rewrites at once.
        QCOMPARE(sim::readCount(), 22);
    }

    void writeFailure()
    {
        LinkFixture::connect(true, false);
        sim::failWrites(1);
        QTest::ignoreMessage(QtDebugMsg, "Unable to send a feature report.\n");
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_WRITE_FAILED));
        QCOMPARE(sim::writeCount(), 1);
        QCOMPARE(sim::readCount(), 0);
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(0));
    }

    // A short report is not an echo, even when the bytes it did not fill
    // still hold a good earlier reply: the first echo's header is garbled
    // (its data intact), the rewrite's echo arrives cut after its header.
    // Only the third write's full echo may complete the frame.
    void shortReportCompletesNoStaleEcho()
    {
        LinkFixture::connect(true, false);
        sim::injectEchoFault(sim::EchoFault::HeaderMismatch, 1);
        sim::appendEchoFault(sim::EchoFault::Truncated, 1);
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_OK));
        QCOMPARE(sim::writeCount(), 3);
        const QVector<sim::FrameRecord> log = sim::frameLog();
        QCOMPARE(log.last().direction, sim::FrameRecord::Read);
        QCOMPARE(log.last().bytes.size(), 33);

        // A command judged on its header alone is complete with the header.
        sim::injectEchoFault(sim::EchoFault::Truncated, 1);
        sim::resetCounters();
        QCOMPARE(sendFrame(dataFrame(0x40, 0)), quint8(SEND_OK));
        QCOMPARE(sim::writeCount(), 1);
    }

    // The echo check on its own: only the bytes the read returned count.
    void echoCheck_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("compareData");
        QTest::addColumn<int>("outcome");
        const CommandFrame f = dataFrame(0x02, 5);
        QByteArray echo(reinterpret_cast<const char *>(f.buf + 1), 33);
        echo[1] = char(frameChecksum(f.buf + 1));
        QByteArray header = echo;
        header[4] = char(header[4] ^ 1);
        QByteArray data = echo;
        data[12] = char(data[12] ^ 1);
        QByteArray ignored = echo;
        ignored[1] = 0;
        ignored[7] = 0;
        ignored[13] = char(0x77);   // past the five data bytes
        QTest::newRow("full echo") << echo << 33 << true << int(ECHO_MATCH);
        QTest::newRow("checksum, segment and tail ignored") << ignored << 33 << true << int(ECHO_MATCH);
        QTest::newRow("header differs") << header << 33 << true << int(ECHO_HEADER_MISMATCH);
        QTest::newRow("data differs") << data << 33 << true << int(ECHO_DATA_MISMATCH);
        QTest::newRow("data differs, header only") << data << 33 << false << int(ECHO_MATCH);
        QTest::newRow("data bytes exactly") << echo << 13 << true << int(ECHO_MATCH);
        QTest::newRow("last data byte missing") << echo << 12 << true << int(ECHO_SHORT);
        QTest::newRow("header only, data wanted") << echo << 8 << true << int(ECHO_SHORT);
        QTest::newRow("header only, header wanted") << echo << 8 << false << int(ECHO_MATCH);
        QTest::newRow("length byte read") << echo << 7 << false << int(ECHO_MATCH);
        QTest::newRow("length byte missing") << echo << 6 << false << int(ECHO_SHORT);
        QTest::newRow("nothing read") << echo << 0 << false << int(ECHO_SHORT);
        QTest::newRow("failed read") << echo << -1 << false << int(ECHO_SHORT);
    }
    void echoCheck()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, length);
        QFETCH(bool, compareData);
        QFETCH(int, outcome);
        const CommandFrame f = dataFrame(0x02, 5);
        // Only `length` bytes are handed over: a read past them would show
        // up under the address sanitizer.
        const QByteArray got = reply.left(std::max(length, 0));
        QCOMPARE(int(checkEcho(f.buf + 1, reinterpret_cast<const quint8 *>(got.constData()), length, compareData)),
                 outcome);
    }

    // The cable goes away right after the device took the frame: the reads
    // fail, the rewrite fails, and the result says the write failed.
    void deviceVanishesMidFrame()
    {
        LinkFixture::connect(false, true);
        sim::unplugAfterFrames(sim::Side::Cable, 1);
        QTest::ignoreMessage(QtDebugMsg, "Unable to send a feature report.\n");
        QCOMPARE(sendFrame(dataFrame(0x01)), quint8(SEND_WRITE_FAILED));
        QCOMPARE(sim::writeCount(), 2);
        QCOMPARE(sim::readCount(), 30);
    }

    // After the device was closed and opened again, a lease taken for the
    // old opening stays empty: a frame never goes to a connection it was
    // not started on.
    void leaseFollowsOneOpening()
    {
        LinkFixture::connect(true, false);
        quint64 opening;
        {
            DeviceLease lease(ReceiverControl);
            QVERIFY(lease);
            opening = lease.opening();
            QVERIFY(DeviceLease(ReceiverControl, opening));
        }
        closeDevice();
        QVERIFY(!DeviceLease(ReceiverControl));
        openDevice("VELKOR");
        QVERIFY(DeviceLease(ReceiverControl));
        QVERIFY(!DeviceLease(ReceiverControl, opening));
        QVERIFY(!DeviceLease(WiredControl));
    }

    void traceTexts()
    {
        setTransportTraceSink(&captureTrace);
        LinkFixture::connect(true, false);
        QCOMPARE(sendFrame(CommandFrame::make(0x48, 0, 0, 0, 0)), quint8(SEND_OK));
        QCOMPARE(g_trace.size(), 5);
        QCOMPARE(g_trace[0], QStringLiteral("开始发送--------------------------------------"));
        QCOMPARE(g_trace[1], QStringLiteral("hid_write length=33 data=05 24 fa 48") + QStringLiteral(" 00").repeated(29));
        QCOMPARE(g_trace[2], QStringLiteral("发送成功--------------------------------------"));
        QCOMPARE(g_trace[3], QStringLiteral(" "));
        QCOMPARE(g_trace[4], QStringLiteral(" "));

        g_trace.clear();
        sim::failReads(1);
        QCOMPARE(sendFrame(CommandFrame::make(0x46, 1, 0, 0, 0)), quint8(SEND_OK));
        QVERIFY(g_trace.contains(QStringLiteral("hid_read开始读失败 0")));
        QVERIFY(g_trace.contains(QStringLiteral("重新读")));
        QVERIFY(g_trace.contains(QStringLiteral("hid_read length=33 data=05 27 fa 46 01") + QStringLiteral(" 00").repeated(28)));

        g_trace.clear();
        closeDevice();
        QCOMPARE(sendFrame(CommandFrame::make(0x46, 1, 0, 0, 0)), quint8(SEND_NO_DEVICE));
        QCOMPARE(g_trace, QStringList({QStringLiteral("开始发送--------------------------------------"),
                                       QStringLiteral("没找到设备，失败返回--------------------------------------"),
                                       QStringLiteral(" "), QStringLiteral(" ")}));
    }

private:
    LinkFixture m_fixture;
};

QTEST_GUILESS_MAIN(TransportTest)
#include "tst_transport.moc"

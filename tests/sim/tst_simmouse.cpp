// The simulated mouse through the hidapi C API: what it enumerates, how it
// checks and echoes frames, its memory images, battery and status reports,
// hot-plug and faults.

#include "platform/clock.h"
#include "sim/simmouse.h"

#include <hidapi/hidapi.h>

#include <QSignalSpy>
#include <QtTest>

using sim::Collection;
using sim::Side;

namespace {

quint8 checksum(const QByteArray &f)
{
    unsigned sum = 0;
    for (int k = 2; k <= 7; ++k)
        sum += quint8(f[k]);
    return quint8((sum & 0xFF) ^ 0x66);
}

// A sealed 33-byte frame.
QByteArray frame(quint8 command, quint8 b4, quint8 b5, quint8 segment, const QByteArray &data = QByteArray())
{
    QByteArray f(33, '\0');
    f[0] = 0x05;
    f[2] = char(0xFA);
    f[3] = char(command);
    f[4] = char(b4);
    f[5] = char(b5);
    f[6] = char(data.size());
    f[7] = char(segment);
    f.replace(8, data.size(), data);
    f[1] = char(checksum(f));
    return f;
}

int write(hid_device *h, const QByteArray &f)
{
    return hid_write(h, reinterpret_cast<const unsigned char *>(f.constData()), size_t(f.size()));
}

// One report; a null array when the read timed out or failed.
QByteArray read(hid_device *h, int timeout = 0)
{
    unsigned char buf[64] = {};
    const int n = hid_read_timeout(h, buf, 33, timeout);
    return n > 0 ? QByteArray(reinterpret_cast<const char *>(buf), n) : QByteArray();
}

int readResult(hid_device *h)
{
    unsigned char buf[64] = {};
    return hid_read_timeout(h, buf, 33, 0);
}

hid_device *open(Side side, Collection c)
{
    return hid_open_path(sim::interfacePath(side, c).constData());
}

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

} // namespace

class SimMouseTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        sim::reset();
        platform::VirtualClock::reset();
    }

    void enumeratesBothSides()
    {
        QCOMPARE(hid_init(), 0);
        QVERIFY(!hid_enumerate(0, 0));
        sim::plug(Side::Receiver);
        sim::plug(Side::Cable);
        sim::setReleaseNumber(Side::Cable, 0x0123);
        hid_device_info *list = hid_enumerate(0, 0);
        QStringList seen;
        for (hid_device_info *i = list; i; i = i->next)
            seen << QStringLiteral("%1 %2:%3 %4/%5 rel %6")
                        .arg(QString::fromLatin1(i->path))
                        .arg(i->vendor_id, 4, 16, QLatin1Char('0'))
                        .arg(i->product_id, 4, 16, QLatin1Char('0'))
                        .arg(i->usage_page)
                        .arg(i->usage)
                        .arg(i->release_number, 0, 16);
        hid_free_enumeration(list);
        const QString guid = QStringLiteral("#{4d1e55b2-f16f-11cf-88cb-001111000030}");
        QCOMPARE(seen, QStringList({
            "\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col01#7&1a2b3c4d&0&0000" + guid + " 248a:fa02 1/2 rel 0",
            "\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col04#7&1a2b3c4d&0&0003" + guid + " 248a:fa02 1/0 rel 0",
            "\\\\?\\HID#VID_248A&PID_FB01&MI_00&Col01#7&2b3c4d5e&0&0000" + guid + " 248a:fb01 1/2 rel 123",
            "\\\\?\\HID#VID_248A&PID_FB01&MI_00&Col04#7&2b3c4d5e&0&0003" + guid + " 248a:fb01 1/0 rel 123",
        }));
        // A product filter.
        list = hid_enumerate(0x248A, 0xFB01);
        QVERIFY(list && list->next && !list->next->next);
        hid_free_enumeration(list);

        sim::Identity ids;
        ids.pid1 = 0x1234;
        sim::setIdentity(ids);
        QCOMPARE(sim::interfaceName(Side::Receiver, Collection::Control),
                 "HID#VID_248A&PID_1234&MI_00&Col04#7&1a2b3c4d&0&0003" + guid);

        sim::setInitFails(true);
        QCOMPARE(hid_init(), -1);
        QVERIFY(!hid_enumerate(0, 0));
    }

    void opensOnlyWhatIsPlugged()
    {
        QVERIFY(!open(Side::Receiver, Collection::Control));
        sim::plug(Side::Receiver);
        QVERIFY(!hid_open_path("\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col02#nothing"));
        hid_device *h = hid_open_path(sim::interfacePath(Side::Receiver, Collection::Control).toLower().constData());
        QVERIFY(h);   // paths compare as Windows compares them
        QCOMPARE(sim::openHandleCount(Side::Receiver, Collection::Control), 1);
        hid_close(h);
        QCOMPARE(sim::openHandleCount(Side::Receiver, Collection::Control), 0);

        // The mouse collection takes no output reports.
        hid_device *m = open(Side::Receiver, Collection::Mouse);
        QCOMPARE(write(m, frame(0x46, 0, 0, 0)), -1);
        hid_close(m);
    }

    // Good frames are echoed to every open handle of the control collection
    // of that side; a bad checksum gets nothing.
    void checksAndEchoes()
    {
        sim::plug(Side::Receiver);
        sim::plug(Side::Cable);
        hid_device *a = open(Side::Receiver, Collection::Control);
        hid_device *b = open(Side::Receiver, Collection::Control);
        hid_device *c = open(Side::Cable, Collection::Control);
        const QByteArray f = frame(0x02, 6, 0, 0xD2, bytes({1, 2, 3}));
        QCOMPARE(write(a, f), 33);
        QCOMPARE(read(a), f);
        QCOMPARE(read(b), f);
        QVERIFY(read(c).isNull());
        QVERIFY(read(a).isNull());

        QByteArray bad = f;
        bad[1] = char(bad[1] ^ 1);
        QCOMPARE(write(a, bad), 33);   // the write itself succeeds
        QVERIFY(read(a).isNull());
        QByteArray noMarker = frame(0x02, 6, 0, 0xD2);
        noMarker[2] = 0x00;
        noMarker[1] = char(checksum(noMarker));
        write(a, noMarker);
        QVERIFY(read(a).isNull());

        const QVector<sim::FrameRecord> log = sim::frameLog();
        QCOMPARE(log.size(), 5);   // 3 writes, 2 reads
        QVERIFY(log[0].accepted);
        QCOMPARE(log[1].direction, sim::FrameRecord::Read);
        QVERIFY(!log[3].accepted);
        QCOMPARE(sim::writtenFrames().size(), 3);
        QCOMPARE(sim::writeCount(), 3);
        QCOMPARE(sim::readCount(), 6);

        // Bounded queue: the 65th report is dropped.
        for (int i = 0; i < 70; ++i)
            write(c, frame(0x46, 0, 0, 0));
        int queued = 0;
        while (!read(c).isNull())
            ++queued;
        QCOMPARE(queued, int(sim::QUEUE_LIMIT));
        hid_close(a);
        hid_close(b);
        hid_close(c);
    }

    void blocksCommitOnTheTerminator()
    {
        sim::plug(Side::Cable);
        hid_device *h = open(Side::Cable, Collection::Control);
        QByteArray settings(19, '\0');
        for (int i = 0; i < 19; ++i)
            settings[i] = char(i + 1);
        settings[6] = 3;   // active profile
        write(h, frame(0x01, 0, 0, 0xD1, settings));
        QCOMPARE(sim::block(sim::Block::Settings), QByteArray(19, '\0'));   // not yet
        write(h, frame(0x01, 0x7F, 0, 0xD3, bytes({0x1A})));
        QCOMPARE(sim::block(sim::Block::Settings), settings);
        QCOMPARE(sim::activeProfile(), 3);

        // A terminator with a wrong end byte commits nothing.
        write(h, frame(0x04, 0, 0, 0xD1, QByteArray(24, char(0x80))));
        write(h, frame(0x04, 0x7F, 0, 0xD3, bytes({0x1B})));
        QCOMPARE(sim::block(sim::Block::Lighting), QByteArray(80, '\0'));
        QCOMPARE(sim::commitCount(sim::Block::Lighting), 0);
        QCOMPARE(sim::commitCount(sim::Block::Settings), 1);
        write(h, frame(0x04, 72, 0, 0xD2, QByteArray(8, char(0x81))));
        write(h, frame(0x04, 0x7F, 0, 0xD3, bytes({0x1A})));
        const QByteArray lighting = sim::block(sim::Block::Lighting);
        QCOMPARE(lighting.left(24), QByteArray(24, char(0x80)));
        QCOMPARE(lighting.mid(72), QByteArray(8, char(0x81)));
        QCOMPARE(sim::commitCount(sim::Block::Lighting), 1);
        write(h, frame(0x04, 0x7F, 0, 0xD3, bytes({0x1A})));   // nothing pending: no commit
        QCOMPARE(sim::commitCount(sim::Block::Lighting), 1);

        // Macro memory: 16-bit offsets; a block may start with SEG_NEXT.
        write(h, frame(0x05, 0x58, 0x02, 0xD2, QByteArray(20, char(0x33))));   // offset 600 = slot 3
        write(h, frame(0x05, 0xFF, 0x0F, 0xD3, bytes({0x1A})));
        const QByteArray macros = sim::block(sim::Block::Macros);
        QCOMPARE(macros.size(), 4000);
        QCOMPARE(macros.mid(600, 20), QByteArray(20, char(0x33)));
        QCOMPARE(macros.left(600), QByteArray(600, '\0'));

        // Bytes past the end of a block are dropped and counted.
        write(h, frame(0x02, 40, 0, 0xD2, bytes({9, 9, 9})));
        write(h, frame(0x02, 0x7F, 0, 0xD3, bytes({0x1A})));
        QCOMPARE(sim::block(sim::Block::Dpi).at(40), char(9));
        QCOMPARE(sim::outOfRangeBytes(), 2);
        hid_close(h);
    }

    void bracketSectionsAndProfile()
    {
        sim::plug(Side::Receiver);
        hid_device *h = open(Side::Receiver, Collection::Control);
        write(h, frame(0x46, 0, 0, 0));
        QVERIFY(sim::updateOpen());
        for (int s : {0x04, 0x01, 0x02})
            write(h, frame(0x40, 0xF3, quint8(s), 0));
        write(h, frame(0x40, 0x00, 0x08, 0));   // not an apply
        write(h, frame(0x44, 4, 0, 0));
        write(h, frame(0x44, 5, 0, 0));         // no such profile
        write(h, frame(0x46, 1, 0, 0));
        QVERIFY(!sim::updateOpen());
        QCOMPARE(sim::updateBegins(), 1);
        QCOMPARE(sim::updateEnds(), 1);
        QCOMPARE(sim::appliedSections(), QVector<quint8>({0x04, 0x01, 0x02}));
        QCOMPARE(sim::activeProfile(), 4);
        sim::clearAppliedSections();
        QVERIFY(sim::appliedSections().isEmpty());
        hid_close(h);
    }

    void batteryAndStatus()
    {
        sim::plug(Side::Receiver);
        hid_device *h = open(Side::Receiver, Collection::Control);
        sim::BatteryState b;
        b.low = 0x10;
        b.high = 0x04;
        b.charge = 80;
        b.status = 2;
        b.mode = 8;
        sim::setBattery(b);
        write(h, frame(0x48, 0, 0, 0));
        const QByteArray reply = read(h);
        QCOMPARE(reply.size(), 33);
        QByteArray expected = bytes({0x05, 0, 0xFA, 0x48, 0x10, 0x04, 80, 2, 0, 0, 8});
        expected[1] = char(checksum(expected));
        QCOMPARE(reply.left(11), expected);
        QVERIFY(read(h).isNull());   // the reply replaces the echo

        // A status report; the mouse keeps the stage, the profile and that
        // profile's report rate it reported.
        sim::pushStatus(2, 3, 1, 0);
        const QByteArray status = read(h);
        QCOMPARE(status.mid(2, 6), bytes({0xFA, 0x49, 2, 3, 1, 0}));
        QCOMPARE(quint8(status[1]), checksum(status));
        QCOMPARE(sim::activeProfile(), 2);
        QByteArray general(19, '\0');
        general[6] = 2;
        general[13] = 1;
        general[17] = 3;
        QCOMPARE(sim::block(sim::Block::Settings), general);
        sim::pushStatus(7, 1, 4, 0);   // no such profile: only the stage is kept
        QCOMPARE(read(h).mid(3, 4), bytes({0x49, 7, 1, 4}));
        general[17] = 1;
        QCOMPARE(sim::block(sim::Block::Settings), general);
        QCOMPARE(sim::activeProfile(), 2);

        // Mouse off: the receiver answers the battery query with no level,
        // no charge and status 5, and takes no other frame to the mouse.
        sim::setMouseOff(true);
        write(h, frame(0x48, 0, 0, 0));
        QByteArray off = bytes({0x05, 0, 0xFA, 0x48, 0, 0, 0, 5, 0, 0, 8});
        off[1] = char(checksum(off));
        const QByteArray offReply = read(h);
        QCOMPARE(offReply.size(), 33);
        QCOMPARE(offReply.left(11), off);
        QCOMPARE(offReply.mid(11), QByteArray(22, '\0'));
        write(h, frame(0x46, 0, 0, 0));
        write(h, frame(0x44, 4, 0, 0));
        write(h, frame(0x01, 0, 0, 0xD1, QByteArray(19, char(1))));
        write(h, frame(0x01, 0x7F, 0, 0xD3, bytes({0x1A})));
        QVERIFY(read(h).isNull());
        QCOMPARE(sim::updateBegins(), 0);
        QCOMPARE(sim::activeProfile(), 2);
        QCOMPARE(sim::block(sim::Block::Settings), general);
        QCOMPARE(sim::writeCount(), 6);   // the writes themselves succeed
        sim::setSilent(true);             // a silent receiver does not answer even that
        write(h, frame(0x48, 0, 0, 0));
        QVERIFY(read(h).isNull());
        sim::setSilent(false);
        sim::plug(Side::Cable);
        hid_device *c = open(Side::Cable, Collection::Control);
        write(c, frame(0x48, 0, 0, 0));
        QCOMPARE(read(c).mid(3, 5), bytes({0x48, 0x10, 0x04, 80, 2}));
        write(c, frame(0x44, 4, 0, 0));
        QCOMPARE(read(c).at(3), char(0x44));
        QCOMPARE(sim::activeProfile(), 4);
        // Awake again: the receiver carries frames to the mouse.
        sim::unplug(Side::Cable);
        hid_close(c);
        sim::setMouseOff(false);
        write(h, frame(0x44, 1, 0, 0));
        QCOMPARE(read(h).at(3), char(0x44));
        QCOMPARE(sim::activeProfile(), 1);
        sim::plug(Side::Cable);
        c = open(Side::Cable, Collection::Control);
        // With the cable in, status reports come over the cable.
        sim::pushStatus(1, 0, 0, 0);
        QVERIFY(read(h).isNull());
        QCOMPARE(read(c).at(3), char(0x49));
        hid_close(h);
        hid_close(c);
    }

    void readsWaitOnTheClock()
    {
        sim::plug(Side::Receiver);
        hid_device *h = open(Side::Receiver, Collection::Control);
        {
            platform::VirtualClock clock;
            QVERIFY(read(h, 150).isNull());
            QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(150));
            QVERIFY(read(h, 0).isNull());
            QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(150));
        }
        // On the real clock a read comes back as soon as a report is there.
        std::atomic<bool> pushed{false};
        QThread *pusher = QThread::create([&] {
            QThread::msleep(20);
            sim::pushStatus(0, 0, 0, 0);
            pushed = true;
        });
        pusher->start();
        const QByteArray got = read(h, 60000);
        QVERIFY(pushed);
        QCOMPARE(got.at(3), char(0x49));
        pusher->wait();
        delete pusher;
        hid_close(h);
    }

    // A moving mouse: motion reports at the rate set, on the clock of the
    // pauses, into the mouse collection; into the control collection too
    // only when it stands for a shared hidraw node, and then in the order
    // they fell due around the answers.
    void motionReports()
    {
        platform::VirtualClock clock;
        sim::plug(Side::Receiver);
        hid_device *mouse = open(Side::Receiver, Collection::Mouse);
        hid_device *control = open(Side::Receiver, Collection::Control);
        QSignalSpy changed(sim::observer(), &sim::Observer::changed);
        sim::setMotion(125);
        QCOMPARE(sim::motion(), 125);
        QCOMPARE(changed.count(), 1);
        const QByteArray motion = bytes({0x01, 0x00, 0x01, 0x00, 0x00, 0x00});
        QVERIFY(read(mouse).isNull());
        platform::VirtualClock::advance(20);   // two reports due, at 8 and 16 ms
        QCOMPARE(read(mouse), motion);
        QCOMPARE(read(mouse), motion);
        QVERIFY(read(mouse).isNull());
        QCOMPARE(read(mouse, 50), motion);     // due at 24 ms: the read waited for it
        QCOMPARE(platform::VirtualClock::elapsedMs(), qint64(30));
        QCOMPARE(changed.count(), 1);          // producing them is no change

        // Each collection its own handle: the control handle sees only the echo.
        write(control, frame(0x46, 0, 0, 0));
        QCOMPARE(read(control).at(3), char(0x46));
        QVERIFY(read(control).isNull());

        // A shared node: what fell due before a write comes before its echo.
        sim::setMotionOnControl(true);
        platform::VirtualClock::advance(16);
        write(control, frame(0x46, 1, 0, 0));
        QCOMPARE(read(control), motion);
        QCOMPARE(read(control), motion);
        QCOMPARE(read(control).at(3), char(0x46));
        platform::VirtualClock::advance(8);
        sim::pushStatus(1, 0, 0, 0);
        QCOMPARE(read(control), motion);
        QCOMPARE(read(control).at(3), char(0x49));
        QVERIFY(read(control).isNull());

        // A full queue drops what comes next, the echo included.
        platform::VirtualClock::advance(1000);
        write(control, frame(0x46, 0, 0, 0));
        int motions = 0;
        QByteArray r;
        while (!(r = read(control)).isNull()) {
            QCOMPARE(r, motion);
            ++motions;
        }
        QCOMPARE(motions, int(sim::QUEUE_LIMIT));
        while (!read(mouse).isNull()) {}

        // Still again; then the cable, when plugged, carries the motion.
        sim::setMotion(0);
        platform::VirtualClock::advance(100);
        QVERIFY(read(mouse).isNull() && read(control).isNull());
        sim::plug(Side::Cable);
        hid_device *cableMouse = open(Side::Cable, Collection::Mouse);
        sim::setMotion(1000);
        platform::VirtualClock::advance(3);
        QVERIFY(read(mouse).isNull());
        QCOMPARE(read(cableMouse), motion);

        sim::reset();
        QCOMPARE(sim::motion(), 0);
        hid_close(cableMouse);
        hid_close(control);
        hid_close(mouse);
    }

    void faults()
    {
        sim::plug(Side::Receiver);
        hid_device *h = open(Side::Receiver, Collection::Control);
        sim::failWrites(2);
        QCOMPARE(write(h, frame(0x46, 0, 0, 0)), -1);
        QCOMPARE(write(h, frame(0x46, 0, 0, 0)), -1);
        QCOMPARE(write(h, frame(0x46, 0, 0, 0)), 33);
        QCOMPARE(sim::updateBegins(), 1);   // failed writes never reach the mouse
        sim::failReads(1);
        QCOMPARE(readResult(h), -1);
        QCOMPARE(read(h).at(3), char(0x46));
        QCOMPARE(readResult(h), 0);

        sim::setSilent(true);
        write(h, frame(0x46, 1, 0, 0));
        QVERIFY(read(h).isNull());
        QCOMPARE(sim::updateEnds(), 1);      // acted on all the same
        sim::setSilent(false);

        sim::setAllZeroReplies(true);
        write(h, frame(0x48, 0, 0, 0));
        QCOMPARE(read(h), QByteArray(33, '\0'));
        sim::setAllZeroReplies(false);

        const QByteArray f = frame(0x03, 2, 0, 0xD2, bytes({7, 7}));
        sim::injectEchoFault(sim::EchoFault::HeaderMismatch, 1);
        sim::appendEchoFault(sim::EchoFault::DataMismatch, 1);
        write(h, f);
        write(h, f);
        write(h, f);
        const QByteArray e1 = read(h), e2 = read(h), e3 = read(h);
        QCOMPARE(e1.at(4), char(2 ^ 0x5A));
        QCOMPARE(e2.at(8), char(7 ^ 0x5A));
        QCOMPARE(e3, f);
        hid_close(h);
    }

    // What a panel reads back: the faults still to come, each change told
    // once, the last frames written.
    void pendingFaultsAndChanges()
    {
        sim::plug(Side::Receiver);
        hid_device *h = open(Side::Receiver, Collection::Control);
        QSignalSpy changed(sim::observer(), &sim::Observer::changed);
        sim::failWrites(2);
        sim::failReads(sim::ALWAYS);
        sim::setSilent(true);
        sim::setAllZeroReplies(true);
        sim::injectEchoFault(sim::EchoFault::HeaderMismatch, 3);
        sim::appendEchoFault(sim::EchoFault::DataMismatch, 1);
        sim::appendEchoFault(sim::EchoFault::AllZero, 0);   // nothing to add
        sim::unplugAfterFrames(Side::Receiver, 5);
        QCOMPARE(changed.count(), 8);
        sim::PendingFaults f = sim::pendingFaults();
        QCOMPARE(f.failWrites, 2);
        QCOMPARE(f.failReads, int(sim::ALWAYS));
        QVERIFY(f.silent && f.allZeroReplies);
        QCOMPARE(f.echoFaults.size(), 2);
        QCOMPARE(f.echoFaults[0].first, sim::EchoFault::HeaderMismatch);
        QCOMPARE(f.echoFaults[0].second, 3);
        QCOMPARE(f.echoFaults[1].second, 1);
        QCOMPARE(f.unplugAfterFrames[0], 5);
        QCOMPARE(f.unplugAfterFrames[1], 0);

        // Faults used up are changes too; an endless one is not used up.
        changed.clear();
        QCOMPARE(write(h, frame(0x46, 0, 0, 0)), -1);
        QCOMPARE(readResult(h), -1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(sim::pendingFaults().failWrites, 1);
        QCOMPARE(sim::pendingFaults().failReads, int(sim::ALWAYS));

        sim::clearFaults();
        f = sim::pendingFaults();
        QVERIFY(!f.failWrites && !f.failReads && !f.silent && !f.allZeroReplies && f.echoFaults.isEmpty());
        QCOMPARE(f.unplugAfterFrames[0], 0);
        const QByteArray g = frame(0x46, 1, 0, 0);
        QCOMPARE(write(h, g), 33);
        QCOMPARE(read(h), g);   // a clean echo
        for (int i = 0; i < 5; ++i)
            write(h, frame(0x44, quint8(i), 0, 0));
        QVERIFY(sim::isPlugged(Side::Receiver));   // the countdown was cleared

        const QVector<sim::FrameRecord> recent = sim::recentWrittenFrames(3);
        QCOMPARE(recent.size(), 3);
        QCOMPARE(recent[0].bytes, frame(0x44, 2, 0, 0));
        QCOMPARE(recent[2].bytes, frame(0x44, 4, 0, 0));
        QCOMPARE(recent[2].side, Side::Receiver);
        QCOMPARE(sim::recentWrittenFrames(100).size(), 6);   // the failed write never reached the mouse
        hid_close(h);
    }

    // Unplugging kills the side's handles and tells the notifiers; the
    // countdown unplugs after a given frame.
    void hotPlug()
    {
        sim::Notifier notifier;
        QSignalSpy spy(&notifier, &platform::DeviceNotifier::deviceChanged);
        sim::plug(Side::Cable);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);   // not started
        QVERIFY(notifier.start());
        QSignalSpy changed(sim::observer(), &sim::Observer::changed);

        hid_device *h = open(Side::Cable, Collection::Control);
        sim::unplugAfterFrames(Side::Cable, 2);
        QCOMPARE(write(h, frame(0x46, 0, 0, 0)), 33);
        QVERIFY(sim::isPlugged(Side::Cable));
        QCOMPARE(write(h, frame(0x46, 1, 0, 0)), 33);
        QVERIFY(!sim::isPlugged(Side::Cable));
        QCOMPARE(sim::updateEnds(), 1);     // the last frame was taken
        QCOMPARE(write(h, frame(0x46, 0, 0, 0)), -1);
        QCOMPARE(readResult(h), -1);
        QCOMPARE(changed.count(), 3);   // the countdown, then one per frame taken (the unplug with the second)

        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy[0][0].toString(), sim::interfaceName(Side::Cable, Collection::Mouse));
        QCOMPARE(spy[1][0].toString(), sim::interfaceName(Side::Cable, Collection::Control));
        QVERIFY(!spy[0][1].toBool() && !spy[1][1].toBool());
        QVERIFY(!spy[0][0].toString().startsWith(QLatin1String("\\\\?\\")));

        spy.clear();
        sim::plug(Side::Cable);
        sim::plug(Side::Cable);   // already in: nothing more
        QTRY_COMPARE(spy.count(), 2);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 2);
        QVERIFY(spy[0][1].toBool());
        hid_device *fresh = open(Side::Cable, Collection::Control);
        QCOMPARE(write(fresh, frame(0x46, 0, 0, 0)), 33);
        QVERIFY(!read(fresh).isNull());
        hid_close(fresh);
        hid_close(h);   // a dead handle still closes

        const QVector<sim::HandleEvent> handles = sim::handleLog();
        QCOMPARE(handles.size(), 4);
        QVERIFY(handles[0].opened && !handles.last().opened);
        QCOMPARE(handles.last().handle, handles[0].handle);
    }

    void extraCollections()
    {
        sim::ExtraCollection x;
        x.vid = 0x04D9;
        x.pid = 0x1702;
        x.usagePage = 1;
        x.usage = 6;
        x.path = "/dev/hidraw7";
        x.serial = QStringLiteral("K1");
        sim::addExtraCollection(x);
        hid_device_info *list = hid_enumerate(0x04D9, 0);
        QVERIFY(list && !list->next);
        QCOMPARE(QString::fromWCharArray(list->serial_number), QStringLiteral("K1"));
        hid_free_enumeration(list);
        hid_device *h = hid_open_path("/dev/hidraw7");
        QVERIFY(h);
        QCOMPARE(write(h, frame(0x46, 0, 0, 0)), 33);
        QVERIFY(read(h).isNull());
        QCOMPARE(sim::updateBegins(), 0);
        QVERIFY(sim::writtenFrames().isEmpty());
        hid_close(h);
    }
};

QTEST_GUILESS_MAIN(SimMouseTest)
#include "tst_simmouse.moc"

// The desktop pointer speed: the 1-20 scale and its X11 acceleration
// mapping, the refusal of speeds outside 1-20, and which profile's speed a
// profile switch applies.

#include "device/download.h"
#include "device/pointerspeed.h"
#include "platform/pointerspeed.h"
#include "tests/link/linktest.h"

#include <QtTest>

namespace {

// Reads a fixed value and fails every apply.
struct BrokenPointerSpeed : platform::PointerSpeed {
    int value = 0;
    int read() override { return value; }
    int apply(int) override { return 5; }
};

ProfileSet speeds(int current)
{
    ProfileSet set;
    for (int i = 0; i < SLOT_COUNT; ++i)
        set.profiles[i].mousespeed = quint8(4 + 3 * i);   // 4, 7, 10, 13, 16
    set.ProfileID = quint8(current);
    return set;
}

} // namespace

class PointerSpeedTest : public QObject {
    Q_OBJECT

    LinkFixture m_fixture;
    platform::RecordingPointerSpeed m_speed;

private slots:
    void init()
    {
        m_speed = platform::RecordingPointerSpeed();
        platform::setPointerSpeedBackend(&m_speed);
    }
    void cleanup() { platform::setPointerSpeedBackend(nullptr); }

    void accelerationMapping()
    {
        const int numerators[20] = {1, 2, 4, 8, 12, 16, 20, 24, 28, 32, 40, 48, 56, 64, 72, 80, 88, 96, 104, 112};
        for (int s = 1; s <= 20; ++s) {
            QCOMPARE(platform::pointerSpeedNumerator(s), numerators[s - 1]);
            QCOMPARE(platform::pointerSpeedFromFactor(numerators[s - 1], 32), s);
        }
        QCOMPARE(platform::pointerSpeedFromFactor(2, 1), 14);     // the X server's default
        QCOMPARE(platform::pointerSpeedFromFactor(1, 1), 10);
        QCOMPARE(platform::pointerSpeedFromFactor(10, 1), 20);
        QCOMPARE(platform::pointerSpeedFromFactor(1, 100), 1);
        QCOMPARE(platform::pointerSpeedFromFactor(0, 0), 10);
        QCOMPARE(platform::pointerSpeedFromFactor(-3, 1), 10);
    }

    void refusesSpeedsOutsideTheRange()
    {
        for (int bad : {0, 21, -1, 255}) {
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Pointer speed %1 is outside 1-20, not applied").arg(bad)));
            QVERIFY(!applyPointerSpeed(bad));
        }
        QVERIFY(m_speed.applied.isEmpty());
        QVERIFY(applyPointerSpeed(1));
        QVERIFY(applyPointerSpeed(20));
        QCOMPARE(m_speed.applied, (QVector<int>{1, 20}));
        QCOMPARE(readSystemPointerSpeed(), 20);
    }

    // After a profile switch the working set's newly current slot decides.
    void appliesTheCurrentSlot()
    {
        QVERIFY(applySystemPointerSpeed(speeds(3)));
        QVERIFY(applySystemPointerSpeed(speeds(0)));
        QVERIFY(applyPointerSpeedOfSlot(speeds(0), 4));
        QCOMPARE(m_speed.applied, (QVector<int>{13, 4, 16}));

        ProfileSet unset = speeds(2);
        unset.profiles[2].mousespeed = 0;
        QTest::ignoreMessage(QtDebugMsg, "Pointer speed 0 is outside 1-20, not applied");
        QVERIFY(!applySystemPointerSpeed(unset));
        QTest::ignoreMessage(QtDebugMsg, "Profile slot 7 does not exist, pointer speed not applied");
        QVERIFY(!applySystemPointerSpeed(speeds(7)));
        QCOMPARE(m_speed.applied.size(), 3);
    }

    // The last download's snapshot: nothing before the first download, then
    // the speed of the profile that was current in it.
    void lastDownloadSnapshot()
    {
        LinkFixture::fresh();
        QTest::ignoreMessage(QtDebugMsg, "Pointer speed 0 is outside 1-20, not applied");
        QVERIFY(!applySystemPointerSpeed());
        QVERIFY(m_speed.applied.isEmpty());
        QCOMPARE(downloadProfileSet(speeds(1), 0), quint8(SEND_NO_DEVICE));   // the snapshot is still taken
        QVERIFY(applySystemPointerSpeed());
        QCOMPARE(m_speed.applied, (QVector<int>{7}));
    }

    void failuresAreLogged()
    {
        BrokenPointerSpeed broken;
        platform::setPointerSpeedBackend(&broken);
        QTest::ignoreMessage(QtDebugMsg, "Error in SystemParametersInfo :5");
        QVERIFY(!applyPointerSpeed(10));
        // A reading outside the scale is brought into it.
        broken.value = 0;
        QCOMPARE(readSystemPointerSpeed(), 1);
        broken.value = 40;
        QCOMPARE(readSystemPointerSpeed(), 20);
    }

    void memoryBackend()
    {
        platform::MemoryPointerSpeed memory;
        QCOMPARE(memory.read(), 10);
        QCOMPARE(memory.apply(17), 0);
        QCOMPARE(memory.read(), 17);
    }

    // Without a Qt GUI the session is X11 only when DISPLAY names a display
    // that can be opened.
    void sessionDetection()
    {
        const QByteArray saved = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        QVERIFY(!platform::isX11Session());
        qputenv("DISPLAY", "unix:4711");
        QVERIFY(!platform::isX11Session());
        if (saved.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", saved);
    }
};

QTEST_GUILESS_MAIN(PointerSpeedTest)
#include "tst_pointerspeed.moc"

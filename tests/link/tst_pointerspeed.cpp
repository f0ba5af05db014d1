// The desktop pointer speed: the 1-20 scale and its X11 acceleration
// mapping, the refusal of speeds outside 1-20, and which profile's speed a
// profile switch applies.

#include "device/download.h"
#include "device/pointerspeed.h"
#include "platform/pointerspeed.h"
#include "tests/link/linktest.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <cmath>

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

    void waylandSessionsKeepTheSpeed_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("session type") << QByteArray("XDG_SESSION_TYPE") << QByteArray("wayland");
        QTest::newRow("compositor socket") << QByteArray("WAYLAND_DISPLAY") << QByteArray("wayland-0");
    }

    // Even with an X server at hand (Xwayland), a Wayland session is not X11.
    void waylandSessionsKeepTheSpeed()
    {
        QFETCH(QByteArray, variable);
        QFETCH(QByteArray, value);
        const QByteArray saved = qgetenv(variable.constData());
        qputenv(variable.constData(), value);
        const bool x11 = platform::isX11Session();
        if (saved.isEmpty())
            qunsetenv(variable.constData());
        else
            qputenv(variable.constData(), saved);
        QVERIFY(!x11);
    }

    void libinputAcceleration_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<double>("accel");
        QTest::newRow("slowest") << 1 << -1.0;
        QTest::newRow("5") << 5 << -5.0 / 9;
        QTest::newRow("9") << 9 << -1.0 / 9;
        QTest::newRow("unscaled") << 10 << 0.0;
        QTest::newRow("11") << 11 << 0.1;
        QTest::newRow("15") << 15 << 0.5;
        QTest::newRow("fastest") << 20 << 1.0;
    }

    void libinputAcceleration()
    {
        QFETCH(int, speed);
        QFETCH(double, accel);
        QVERIFY(qAbs(platform::libinputAccelFromSpeed(speed) - accel) < 1e-9);
        QCOMPARE(platform::speedFromLibinputAccel(accel), speed);
        // As the driver stores it: a float.
        QCOMPARE(platform::speedFromLibinputAccel(double(float(accel))), speed);
    }

    void libinputValuesSetElsewhereReadAsTheNearestSpeed_data()
    {
        QTest::addColumn<double>("accel");
        QTest::addColumn<int>("speed");
        QTest::newRow("a little slower") << -0.05 << 10;
        QTest::newRow("a third slower") << -0.33 << 7;
        QTest::newRow("a quarter faster") << 0.26 << 13;
        QTest::newRow("beyond the range") << 3.0 << 20;
        QTest::newRow("below the range") << -7.5 << 1;
        QTest::newRow("not a number") << std::nan("") << 10;
    }

    void libinputValuesSetElsewhereReadAsTheNearestSpeed()
    {
        QFETCH(double, accel);
        QFETCH(int, speed);
        QCOMPARE(platform::speedFromLibinputAccel(accel), speed);
    }

    // On an X server without libinput devices (Xvfb) the core pointer
    // control carries the speed, and reading gives it back.
    void withoutLibinputTheCorePointerControl()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            QSKIP("Xvfb is not installed");
        int number = 100 + int(QCoreApplication::applicationPid() % 400);
        while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
            ++number;
        QProcess server;
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // -noreset: each call below is the only client, and a reset would restore
        // the defaults between them.
        server.start(xvfb, {QStringLiteral(":%1").arg(number), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                            QStringLiteral("-noreset")});
        QVERIFY(server.waitForStarted());
        const QByteArray saved = qgetenv("DISPLAY");
        qputenv("DISPLAY", QByteArray(":") + QByteArray::number(number));
        const bool up = QTest::qWaitFor([] { return platform::isX11Session(); }, 10000);

        platform::X11PointerSpeed x11;
        int after15 = 0, after3 = 0;
        if (up) {
            QCOMPARE(x11.apply(15), 0);
            after15 = x11.read();
            QCOMPARE(x11.apply(3), 0);
            after3 = x11.read();
        }
        qputenv("DISPLAY", saved);
        server.terminate();
        server.waitForFinished();
        QVERIFY2(up, "Xvfb did not start");
        QCOMPARE(x11.libinputDevices(), 0);
        QCOMPARE(after15, 15);
        QCOMPARE(after3, 3);
    }
};

QTEST_GUILESS_MAIN(PointerSpeedTest)
#include "tst_pointerspeed.moc"

// The desktop pointer speed: the 1-20 scale and its X11 acceleration
// mapping, the refusal of speeds outside 1-20, which profile's speed a
// profile switch applies, and the desktops that own the speed: which one a
// session gets, GNOME's setting and KWin's input devices.

#include "device/download.h"
#include "device/pointerspeed.h"
#include "platform/desktoppointerspeed.h"
#include "platform/pointerspeed.h"
#include "tests/common/privatebus.h"
#include "tests/link/linktest.h"

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cmath>

namespace {

// Reads a fixed value and fails every apply.
struct BrokenPointerSpeed : platform::PointerSpeed {
    int value = 0;
    int read() override { return value; }
    int apply(int) override { return 5; }
};

// A KWin input device as KWin offers it on the bus.
class FakeKwinDevice : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDevice")
    Q_PROPERTY(QString sysName MEMBER sysName)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(uint vendor MEMBER vendor)
    Q_PROPERTY(uint product MEMBER product)
    Q_PROPERTY(bool pointer MEMBER pointer)
    Q_PROPERTY(bool keyboard MEMBER keyboard)
    Q_PROPERTY(double pointerAcceleration MEMBER pointerAcceleration)
public:
    QString sysName;
    QString name;
    uint vendor = 0;
    uint product = 0;
    bool pointer = false;
    bool keyboard = false;
    double pointerAcceleration = 0;
};

class FakeKwinManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDeviceManager")
    Q_PROPERTY(QStringList devicesSysNames MEMBER devicesSysNames)
public:
    QStringList devicesSysNames;
};

// KWin's input devices on a private bus: a mouse, a keyboard, a touchpad and
// a mouse whose name holds brackets. The service answers from a thread of its
// own, as KWin answers from its process, while the caller waits.
class FakeKwin {
public:
    explicit FakeKwin(PrivateBus &bus) : m_bus(bus.connect(QStringLiteral("fake-kwin")))
    {
        add(QStringLiteral("event3"), QStringLiteral("Logitech USB Optical Mouse"), 1133, 49271, true, false);
        add(QStringLiteral("event4"), QStringLiteral("AT Translated Set 2 keyboard"), 1, 1, false, true);
        add(QStringLiteral("event5"), QStringLiteral("ELAN0001:00 04F3:3140 Touchpad"), 1267, 12608, true, false);
        add(QStringLiteral("event7"), QStringLiteral("Gaming [Mouse]"), 9354, 64258, true, false);
        m_devices.at(1)->pointerAcceleration = 0.7;   // must stay
        m_thread.start();
        m_manager.moveToThread(&m_thread);
        m_bus.registerObject(QStringLiteral("/org/kde/KWin/InputDevice"), &m_manager,
                             QDBusConnection::ExportAllProperties);
        for (FakeKwinDevice *d : qAsConst(m_devices)) {
            d->moveToThread(&m_thread);
            m_bus.registerObject(QStringLiteral("/org/kde/KWin/InputDevice/") + d->sysName, d,
                                 QDBusConnection::ExportAllProperties);
        }
        m_registered = m_bus.registerService(QStringLiteral("org.kde.KWin"));
    }
    ~FakeKwin()
    {
        m_bus.unregisterService(QStringLiteral("org.kde.KWin"));
        m_bus.unregisterObject(QStringLiteral("/org/kde/KWin/InputDevice"), QDBusConnection::UnregisterTree);
        m_thread.quit();
        m_thread.wait();
        qDeleteAll(m_devices);
    }
    bool registered() const { return m_registered; }
    FakeKwinDevice *device(int i) const { return m_devices.at(i); }

private:
    void add(const QString &sysName, const QString &name, uint vendor, uint product, bool pointer, bool keyboard)
    {
        auto *d = new FakeKwinDevice;
        d->sysName = sysName;
        d->name = name;
        d->vendor = vendor;
        d->product = product;
        d->pointer = pointer;
        d->keyboard = keyboard;
        m_devices.append(d);
        m_manager.devicesSysNames << sysName;
    }

    QDBusConnection m_bus;
    QThread m_thread;
    FakeKwinManager m_manager;
    QList<FakeKwinDevice *> m_devices;
    bool m_registered = false;
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Sets environment variables for the life of the object.
class ScopedEnv {
public:
    void set(const char *name, const QByteArray &value)
    {
        m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
            if (it->wasSet)
                qputenv(it->name, it->value);
            else
                qunsetenv(it->name);
        }
    }

private:
    struct Saved {
        const char *name;
        QByteArray value;
        bool wasSet;
    };
    QVector<Saved> m_saved;
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

    void desktopChoosesTheWay_data()
    {
        using platform::PointerSpeedWay;
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<bool>("x11");
        QTest::addColumn<int>("way");
        QTest::newRow("GNOME on Wayland") << "GNOME" << true << false << int(PointerSpeedWay::Gnome);
        QTest::newRow("GNOME on Wayland with Xwayland") << "GNOME" << true << true << int(PointerSpeedWay::Gnome);
        QTest::newRow("Ubuntu's GNOME on X11") << "ubuntu:GNOME" << false << true << int(PointerSpeedWay::Gnome);
        QTest::newRow("GNOME Classic") << "GNOME-Classic:GNOME" << false << true << int(PointerSpeedWay::Gnome);
        QTest::newRow("GNOME Flashback alone") << "GNOME-Flashback" << false << true << int(PointerSpeedWay::Gnome);
        QTest::newRow("Budgie on GNOME") << "Budgie:GNOME" << false << true << int(PointerSpeedWay::Gnome);
        QTest::newRow("lower case") << "gnome" << true << false << int(PointerSpeedWay::Gnome);
        QTest::newRow("Plasma on Wayland") << "KDE" << true << false << int(PointerSpeedWay::Plasma);
        QTest::newRow("Plasma on Wayland, program on Xwayland") << "KDE" << true << true << int(PointerSpeedWay::Plasma);
        QTest::newRow("Plasma on X11") << "KDE" << false << true << int(PointerSpeedWay::X11);
        QTest::newRow("Plasma without a display") << "KDE" << false << false << int(PointerSpeedWay::Memory);
        QTest::newRow("Xfce on X11") << "XFCE" << false << true << int(PointerSpeedWay::X11);
        QTest::newRow("no desktop named, X11") << "" << false << true << int(PointerSpeedWay::X11);
        QTest::newRow("a name holding GNOME") << "NotGNOME" << false << true << int(PointerSpeedWay::X11);
        QTest::newRow("sway") << "sway" << true << false << int(PointerSpeedWay::Memory);
        QTest::newRow("sway with Xwayland") << "sway" << true << true << int(PointerSpeedWay::Memory);
        QTest::newRow("nothing at all") << "" << false << false << int(PointerSpeedWay::Memory);
    }

    void desktopChoosesTheWay()
    {
        QFETCH(QString, desktop);
        QFETCH(bool, wayland);
        QFETCH(bool, x11);
        QFETCH(int, way);
        QCOMPARE(int(platform::choosePointerSpeedWay(desktop, wayland, x11)), way);
    }

    // The running session's way is read from its environment.
    void sessionWayFromTheEnvironment()
    {
        ScopedEnv env;
        env.set("XDG_SESSION_TYPE", "wayland");
        env.set("XDG_CURRENT_DESKTOP", "KDE");
        QCOMPARE(platform::sessionPointerSpeedWay(), platform::PointerSpeedWay::Plasma);
        env.set("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        QCOMPARE(platform::sessionPointerSpeedWay(), platform::PointerSpeedWay::Gnome);
        env.set("XDG_CURRENT_DESKTOP", "sway");
        QCOMPARE(platform::sessionPointerSpeedWay(), platform::PointerSpeedWay::Memory);
    }

    void gnomeKeepsTheSpeedInItsSettings_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<double>("stored");
        QTest::newRow("slowest") << 1 << -1.0;
        QTest::newRow("unscaled") << 10 << 0.0;
        QTest::newRow("fastest") << 20 << 1.0;
        QTest::newRow("15") << 15 << 0.5;
        QTest::newRow("4") << 4 << -6.0 / 9;
    }

    // GNOME's setting in the keyfile back end of a temporary home: what the
    // file holds, and what a new gsettings reads back.
    void gnomeKeepsTheSpeedInItsSettings()
    {
        QFETCH(int, speed);
        QFETCH(double, stored);
        if (QStandardPaths::findExecutable(QStringLiteral("gsettings")).isEmpty())
            QSKIP("gsettings is not installed (libglib2.0-bin)");
        QProcess schema;
        schema.start(QStringLiteral("gsettings"), {QStringLiteral("list-keys"),
                                                  QStringLiteral("org.gnome.desktop.peripherals.mouse")});
        if (!schema.waitForFinished(10000) || schema.exitCode() != 0)
            QSKIP("GNOME's schemas are not installed (gsettings-desktop-schemas)");
        QTemporaryDir home;
        ScopedEnv env;
        env.set("GSETTINGS_BACKEND", "keyfile");
        env.set("XDG_CONFIG_HOME", QFile::encodeName(home.path()));

        platform::GnomePointerSpeed gnome;
        QCOMPARE(gnome.apply(speed), 0);
        const QByteArray keyfile = readFile(home.filePath(QStringLiteral("glib-2.0/settings/keyfile")));
        const QList<QByteArray> lines = keyfile.split('\n');
        const int group = lines.indexOf("[org/gnome/desktop/peripherals/mouse]");
        QVERIFY2(group >= 0, keyfile.constData());
        bool found = false;
        for (int i = group + 1; i < lines.size() && !lines.at(i).startsWith('['); ++i) {
            if (lines.at(i).startsWith("speed=")) {
                bool ok = false;
                const double value = lines.at(i).mid(6).toDouble(&ok);
                QVERIFY2(ok && qAbs(value - stored) < 1e-6, lines.at(i).constData());
                found = true;
            }
        }
        QVERIFY2(found, keyfile.constData());
        QCOMPARE(platform::GnomePointerSpeed().read(), speed);
    }

    // Without the tool the speed is kept in memory, and the apply fails.
    void gnomeWithoutGsettings()
    {
        platform::GnomePointerSpeed gnome(QStringLiteral("/nonexistent/gsettings"));
        QCOMPARE(gnome.apply(16), 1);
        QCOMPARE(gnome.read(), 16);
    }

    // Against KWin's input-device service on a private bus: every pointer
    // device takes the acceleration, nothing else does, and kcminputrc keeps
    // it beside every group and entry it had.
    void plasmaSetsEveryPointerAndKeepsItInKcminputrc()
    {
        PrivateBus bus;
        if (!bus.isUp())
            QSKIP("dbus-daemon is not installed");
        FakeKwin kwin(bus);
        QVERIFY(kwin.registered());
        QVERIFY(bus.connect(QStringLiteral("kwin-client")).isConnected());
        QTemporaryDir home;
        ScopedEnv env;
        env.set("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        const QString rc = home.filePath(QStringLiteral("kcminputrc"));
        writeFile(rc, "[Keyboard]\nNumLock=0\n\n"
                      "[Libinput][1133][49271][Logitech USB Optical Mouse]\n"
                      "NaturalScroll=true\nPointerAcceleration=0.200\n\n"
                      "[Mouse]\ncursorTheme=breeze_cursors\n");

        platform::PlasmaPointerSpeed plasma(QStringLiteral("kwin-client"));
        QCOMPARE(plasma.settingsFile(), rc);
        QCOMPARE(plasma.apply(15), 0);
        QCOMPARE(plasma.pointerDevices(), 3);
        QCOMPARE(kwin.device(0)->pointerAcceleration, 0.5);
        QCOMPARE(kwin.device(1)->pointerAcceleration, 0.7);   // the keyboard
        QCOMPARE(kwin.device(2)->pointerAcceleration, 0.5);
        QCOMPARE(kwin.device(3)->pointerAcceleration, 0.5);
        QCOMPARE(readFile(rc), QByteArray("[Keyboard]\nNumLock=0\n\n"
                                          "[Libinput][1133][49271][Logitech USB Optical Mouse]\n"
                                          "NaturalScroll=true\nPointerAcceleration=0.500\n\n"
                                          "[Mouse]\ncursorTheme=breeze_cursors\n\n"
                                          "[Libinput][1267][12608][ELAN0001:00 04F3:3140 Touchpad]\n"
                                          "PointerAcceleration=0.500\n\n"
                                          "[Libinput][9354][64258][Gaming \\x5bMouse\\x5d]\n"
                                          "PointerAcceleration=0.500\n"));
        QCOMPARE(plasma.read(), 15);

        QCOMPARE(plasma.apply(1), 0);
        QCOMPARE(kwin.device(2)->pointerAcceleration, -1.0);
        const QByteArray slowest = readFile(rc);
        QCOMPARE(slowest.count("PointerAcceleration=-1.000\n"), 3);
        QCOMPARE(slowest.count("PointerAcceleration="), 3);
        QCOMPARE(platform::PlasmaPointerSpeed(QStringLiteral("kwin-client")).read(), 1);
    }

    // No KWin on the bus: the apply fails, the file stays as it was.
    void plasmaWithoutKwin()
    {
        PrivateBus bus;
        if (!bus.isUp())
            QSKIP("dbus-daemon is not installed");
        bus.connect(QStringLiteral("kwin-client"));
        QTemporaryDir home;
        const QString rc = home.filePath(QStringLiteral("kcminputrc"));
        platform::PlasmaPointerSpeed plasma(QStringLiteral("kwin-client"), rc);
        QCOMPARE(plasma.apply(12), 1);
        QVERIFY(!QFile::exists(rc));
        QCOMPARE(plasma.read(), 12);
    }

    void iniEntries_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("empty file") << QByteArray() << QByteArray("[Libinput][1][2][Mouse]\nPointerAcceleration=0.5\n");
        QTest::newRow("other groups kept, group added after a blank line")
            << QByteArray("[Mouse]\nX=1\n") << QByteArray("[Mouse]\nX=1\n\n[Libinput][1][2][Mouse]\nPointerAcceleration=0.5\n");
        QTest::newRow("no final line break") << QByteArray("[Mouse]\nX=1")
                                             << QByteArray("[Mouse]\nX=1\n\n[Libinput][1][2][Mouse]\nPointerAcceleration=0.5\n");
        QTest::newRow("replaced in place")
            << QByteArray("[Libinput][1][2][Mouse]\nA=1\nPointerAcceleration = -0.2\nB=2\n\n[Next]\nPointerAcceleration=9\n")
            << QByteArray("[Libinput][1][2][Mouse]\nA=1\nPointerAcceleration=0.5\nB=2\n\n[Next]\nPointerAcceleration=9\n");
        QTest::newRow("added after the group's last entry")
            << QByteArray("# kept\n[Libinput][1][2][Mouse]\nA=1\n\n[Next]\nC=3\n")
            << QByteArray("# kept\n[Libinput][1][2][Mouse]\nA=1\nPointerAcceleration=0.5\n\n[Next]\nC=3\n");
        QTest::newRow("a key that only starts alike")
            << QByteArray("[Libinput][1][2][Mouse]\nPointerAccelerationProfile=2\n")
            << QByteArray("[Libinput][1][2][Mouse]\nPointerAccelerationProfile=2\nPointerAcceleration=0.5\n");
        QTest::newRow("a group of another device")
            << QByteArray("[Libinput][1][2][Mouse 2]\nPointerAcceleration=1\n")
            << QByteArray("[Libinput][1][2][Mouse 2]\nPointerAcceleration=1\n\n[Libinput][1][2][Mouse]\nPointerAcceleration=0.5\n");
        QTest::newRow("empty group at the end")
            << QByteArray("[Libinput][1][2][Mouse]\n") << QByteArray("[Libinput][1][2][Mouse]\nPointerAcceleration=0.5\n");
    }

    void iniEntries()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QCOMPARE(platform::setIniEntry(before, "[Libinput][1][2][Mouse]", "PointerAcceleration", "0.5"), after);
    }

    void kcminputrcGroupNames()
    {
        QCOMPARE(platform::kcminputrcGroup(1133, 49271, QStringLiteral("Logitech USB Optical Mouse")),
                 QByteArray("[Libinput][1133][49271][Logitech USB Optical Mouse]"));
        QCOMPARE(platform::kcminputrcGroup(0x248A, 0xFA02, QStringLiteral("Mouse [2.4G] \\ Receiver")),
                 QByteArray("[Libinput][9354][64002][Mouse \\x5b2.4G\\x5d \\\\ Receiver]"));
        QCOMPARE(platform::kcminputrcGroup(1, 2, QStringLiteral("Tab\there\x01")),
                 QByteArray("[Libinput][1][2][Tab\\there\\x01]"));
        QCOMPARE(platform::kcminputrcGroup(1, 2, QStringLiteral("Souris é")), QByteArray("[Libinput][1][2][Souris é]"));
    }
};

QTEST_GUILESS_MAIN(PointerSpeedTest)
#include "tst_pointerspeed.moc"

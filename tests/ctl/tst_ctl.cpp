// mousecfgctl-demo run as a process against the demo's simulated mouse, which
// it keeps in the Configs folder: what each command leaves in the mouse is read
// back from that file afterwards.

#include "platform/singleinstance.h"
#include "sim/simmouse.h"
#include "tests/common/privatebus.h"
#include "tests/common/smalldisk.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <unistd.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Everything the kept file says about the mouse.
struct Mouse {
    QByteArray blocks[5];
    int activeProfile = -1;
    sim::BatteryState battery;
};

const sim::Block kBlocks[] = {sim::Block::Settings, sim::Block::Dpi, sim::Block::Keys, sim::Block::Lighting,
                              sim::Block::Macros};

} // namespace

class TestCtl : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PrivateBus> m_bus;
    QDBusConnection m_watch{QString()};
    QString m_tmp;   // TMPDIR and XDG_RUNTIME_DIR of the next command; empty: tempDir()

    QString appDir() const { return m_dir->path(); }
    QString configs() const { return appDir() + QStringLiteral("/Configs"); }
    QString keptPath() const { return configs() + QStringLiteral("/SimulatedMouse.ini"); }
    QString tempDir() const { return appDir() + QStringLiteral("/tmp"); }
    QString productConfig() const { return configs() + QStringLiteral("/VELKOR/Config.ini"); }

    QProcessEnvironment environment(bool bus = true) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MOUSECFG_APPDIR"), appDir());
        const QString tmp = m_tmp.isEmpty() ? tempDir() : m_tmp;
        env.insert(QStringLiteral("TMPDIR"), tmp);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), tmp);
        env.insert(QStringLiteral("HOME"), appDir());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), appDir() + QStringLiteral("/xdg"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
        if (bus && m_bus && m_bus->isUp())
            env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus->address());
        else
            env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        return env;
    }

    QProcess *startCtl(const QStringList &args, bool bus = true)
    {
        auto *process = new QProcess(this);
        process->setProcessEnvironment(environment(bus));
        process->start(qEnvironmentVariable("MOUSECFG_APPDIR") + QStringLiteral("/mousecfgctl-demo"), args);
        return process;
    }

    // The demo's window on the test's bus, with this test's Configs.
    QProcess *startWindow()
    {
        auto *process = new QProcess(this);
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("MOUSECFG_NO_PANEL"), QStringLiteral("1"));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(qEnvironmentVariable("MOUSECFG_APPDIR") + QStringLiteral("/mousecfg-demo"), QStringList());
        return process;
    }

    bool windowOnTheBus() const
    {
        return m_watch.isConnected()
               && m_watch.interface()->isServiceRegistered(QStringLiteral("org.example.mousecfg.Demo")).value();
    }

    static void end(QProcess *p)
    {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(10000)) {
                p->kill();
                p->waitForFinished(10000);
            }
        }
        delete p;
    }

    Outcome ctl(const QStringList &args, bool bus = true)
    {
        QProcess process;
        process.setProcessEnvironment(environment(bus));
        process.start(qEnvironmentVariable("MOUSECFG_APPDIR") + QStringLiteral("/mousecfgctl-demo"), args);
        Outcome o;
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return o;
        }
        o.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        o.out = process.readAllStandardOutput();
        o.err = process.readAllStandardError();
        return o;
    }

    // The kept file as the next run of a demo reads it, through a copy so no
    // settings cache of this process stands in for the file.
    Mouse kept()
    {
        static int copies = 0;
        Mouse m;
        const QString copy = appDir() + QStringLiteral("/kept-copy-%1.ini").arg(++copies);
        if (!QFile::copy(keptPath(), copy))
            return m;
        sim::reset();
        if (!sim::loadState(copy))
            return m;
        for (int b = 0; b < 5; ++b)
            m.blocks[b] = sim::block(kBlocks[b]);
        m.activeProfile = sim::activeProfile();
        m.battery = sim::battery();
        return m;
    }

    // A mouse the demo would keep: blank memory and the battery given.
    void keepMouse(const sim::BatteryState &battery)
    {
        sim::reset();
        sim::setBattery(battery);
        QVERIFY(QDir().mkpath(configs()));
        QVERIFY(sim::saveState(keptPath()));
    }

    static sim::BatteryState demoBattery()
    {
        sim::BatteryState b;
        b.low = 0xF2;
        b.high = 0x03;
        b.status = 1;
        return b;
    }

    static QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Every file under Configs, by path, with its bytes.
    QMap<QString, QByteArray> configFiles() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(configs(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files.insert(path, fileBytes(path));
        }
        return files;
    }

private slots:
    void initTestCase()
    {
        m_bus.reset(new PrivateBus);
        if (m_bus->isUp())
            m_watch = m_bus->connect(QStringLiteral("watch"));
    }

    void init()
    {
        m_tmp.clear();
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        const QString built = qEnvironmentVariable("MOUSECFG_APPDIR");
        QVERIFY(QFile::copy(built + QStringLiteral("/DefaultProfile.bin"), appDir() + QStringLiteral("/DefaultProfile.bin")));
        QVERIFY(QDir().mkpath(appDir() + QStringLiteral("/ConfigTemplate")));
        QVERIFY(QFile::copy(built + QStringLiteral("/ConfigTemplate/Config.ini"),
                            appDir() + QStringLiteral("/ConfigTemplate/Config.ini")));
        QVERIFY(QDir().mkpath(tempDir()));
    }

    void cleanup()
    {
        sim::reset();
        m_dir.reset();
    }

    void statusReportsTheBatteryTheMouseWasGiven()
    {
        sim::BatteryState battery;
        battery.low = 0xE8;   // 0x3E8 = 1000: 4125 mV
        battery.high = 0x03;
        battery.charge = 1;
        battery.status = 1;
        keepMouse(battery);

        const Outcome o = ctl({QStringLiteral("status"), QStringLiteral("--json")});
        QCOMPARE(o.exitCode, 0);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(o.out, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonObject status = doc.object();
        QCOMPARE(status.value(QStringLiteral("product")).toString(), QStringLiteral("VELKOR"));
        QCOMPARE(status.value(QStringLiteral("connection")).toString(), QStringLiteral("receiver"));
        QCOMPARE(status.value(QStringLiteral("mouseOff")).toBool(), false);
        const QJsonObject b = status.value(QStringLiteral("battery")).toObject();
        QCOMPARE(b.value(QStringLiteral("millivolts")).toInt(), 4125);
        QCOMPARE(b.value(QStringLiteral("level")).toInt(), 90);
        QCOMPARE(b.value(QStringLiteral("charging")).toBool(), true);
        QCOMPARE(status.value(QStringLiteral("activeSlot")).toInt(), 1);
        QVERIFY(o.err.isEmpty());

        // A mouse that sleeps: the receiver answers without a level.
        sim::BatteryState asleep;
        asleep.status = 5;
        keepMouse(asleep);
        const Outcome off = ctl({QStringLiteral("status")});
        QCOMPARE(off.exitCode, 0);
        QVERIFY2(off.out.contains("asleep or switched off"), off.out.constData());
        QVERIFY(!off.out.contains("Battery:"));
    }

    void slotMakesTheSlotActiveOnTheMouseAndInTheConfiguration()
    {
        keepMouse(demoBattery());
        const Outcome o = ctl({QStringLiteral("slot"), QStringLiteral("3")});
        QCOMPARE(o.exitCode, 0);
        QCOMPARE(o.out, QByteArray("Slot 3 (Profile 3) is active.\n"));
        QCOMPARE(kept().activeProfile, 2);
        QCOMPARE(QSettings(productConfig(), QSettings::IniFormat).value(QStringLiteral("Config/ProfileID")).toInt(), 2);

        const Outcome profiles = ctl({QStringLiteral("profiles"), QStringLiteral("--json")});
        QCOMPARE(profiles.exitCode, 0);
        const QJsonObject p = QJsonDocument::fromJson(profiles.out).object();
        QCOMPARE(p.value(QStringLiteral("activeSlot")).toInt(), 3);
        const QJsonArray slotList = p.value(QStringLiteral("slots")).toArray();
        QCOMPARE(slotList.size(), 5);
        QCOMPARE(slotList.at(2).toObject().value(QStringLiteral("active")).toBool(), true);
        QCOMPARE(slotList.at(0).toObject().value(QStringLiteral("active")).toBool(), false);
    }

    // A slot's DPI stages reach the mouse when the slot is active: at once
    // when it is, with `slot N` when it was not.
    void dpiOfASlotReachesTheMouseWhenItIsActive()
    {
        keepMouse(demoBattery());
        QCOMPARE(ctl({QStringLiteral("apply"), QStringLiteral("--all")}).exitCode, 0);
        const QByteArray factoryStage2 = kept().blocks[1].mid(6, 5);

        const Outcome waiting = ctl({QStringLiteral("dpi"), QStringLiteral("--slot"), QStringLiteral("3"),
                                     QStringLiteral("--stage"), QStringLiteral("2"), QStringLiteral("2250")});
        QCOMPARE(waiting.exitCode, 0);
        QCOMPARE(waiting.out, QByteArray("DPI stage 2 of slot 3 at 2250 DPI is saved.\n"
                                         "Slot 3 is not active: the mouse takes its DPI stages when it is.\n"));
        QCOMPARE(kept().blocks[1].mid(6, 5), factoryStage2);

        const Outcome slot = ctl({QStringLiteral("slot"), QStringLiteral("3")});
        QCOMPARE(slot.exitCode, 0);
        QCOMPARE(slot.out, QByteArray("Slot 3 (Profile 3) is active.\n"));
        Mouse m = kept();
        QCOMPARE(m.activeProfile, 2);
        QCOMPARE(m.blocks[1].mid(6, 5).toHex(), QByteArray("012c002c00"));   // 2250 DPI: index 44
        QCOMPARE(int(m.blocks[0].at(6)), 2);

        const Outcome active = ctl({QStringLiteral("dpi"), QStringLiteral("--slot"), QStringLiteral("3"),
                                    QStringLiteral("--stage"), QStringLiteral("3"), QStringLiteral("2250")});
        QCOMPARE(active.exitCode, 0);
        QCOMPARE(active.out, QByteArray("DPI stage 3 of slot 3 at 2250 DPI is saved.\nWritten to the mouse: DPI.\n"));
        QCOMPARE(kept().blocks[1].mid(11, 5).toHex(), QByteArray("012c002c00"));

        // Back to slot 1: its own table again.
        QCOMPARE(ctl({QStringLiteral("slot"), QStringLiteral("1")}).exitCode, 0);
        m = kept();
        QCOMPARE(m.activeProfile, 0);
        QCOMPARE(m.blocks[1].mid(6, 5), factoryStage2);
    }

    void dpiThenApplyChangesOnlyThatStageOfTheDpiTable()
    {
        keepMouse(demoBattery());
        // A first write gives the mouse the whole saved set.
        const Outcome all = ctl({QStringLiteral("apply"), QStringLiteral("--all")});
        QCOMPARE(all.exitCode, 0);
        QCOMPARE(all.out, QByteArray("Written to the mouse: general settings, DPI, buttons, lighting.\n"));
        const Mouse before = kept();
        QCOMPARE(before.blocks[1].size(), 41);
        // Stage 2 of the factory profile: 800 DPI (index 15).
        QCOMPARE(before.blocks[1].mid(6, 5), QByteArray::fromHex("010f000f00"));

        const Outcome dpi = ctl({QStringLiteral("dpi"), QStringLiteral("--slot"), QStringLiteral("1"),
                                 QStringLiteral("--stage"), QStringLiteral("2"), QStringLiteral("2250")});
        QCOMPARE(dpi.exitCode, 0);
        QCOMPARE(dpi.out, QByteArray("DPI stage 2 of slot 1 at 2250 DPI is saved.\nWritten to the mouse: DPI.\n"));
        const Outcome apply = ctl({QStringLiteral("apply")});
        QCOMPARE(apply.exitCode, 0);
        QCOMPARE(apply.out, QByteArray("Nothing to write: the mouse holds these settings already.\n"));

        const Mouse after = kept();
        // 2250 DPI is index 44 on this sensor: 2C 00 for X and for Y.
        QByteArray expected = before.blocks[1];
        expected.replace(7, 4, QByteArray::fromHex("2c002c00"));
        QCOMPARE(after.blocks[1].toHex(), expected.toHex());
        for (int b : {0, 2, 3, 4})
            QCOMPARE(after.blocks[b], before.blocks[b]);
        QCOMPARE(after.activeProfile, before.activeProfile);

        // The saved profile says the same.
        const Outcome profiles = ctl({QStringLiteral("profiles"), QStringLiteral("--json")});
        const QJsonObject slot1 =
            QJsonDocument::fromJson(profiles.out).object().value(QStringLiteral("slots")).toArray().at(0).toObject();
        QCOMPARE(slot1.value(QStringLiteral("stages")).toArray().at(1).toObject().value(QStringLiteral("dpi")).toInt(),
                 2250);
    }

    void anEditTheSleepingMouseMissedIsWrittenNextTime()
    {
        keepMouse(demoBattery());
        QCOMPARE(ctl({QStringLiteral("apply"), QStringLiteral("--all")}).exitCode, 0);
        const QByteArray dpiBefore = kept().blocks[1];

        // Asleep: the receiver answers the battery query without a level.
        kept();   // the mouse as kept, now in the simulator of this process
        sim::BatteryState off;
        off.status = 5;
        sim::setBattery(off);
        QVERIFY(sim::saveState(keptPath()));
        const Outcome o = ctl({QStringLiteral("dpi"), QStringLiteral("--stage"), QStringLiteral("2"), QStringLiteral("1600")});
        QCOMPARE(o.exitCode, 4);
        QCOMPARE(o.err, QByteArray("Mouse is sleeping or not connected.\n"));
        QCOMPARE(kept().blocks[1], dpiBefore);
        QCOMPARE(QSettings(productConfig(), QSettings::IniFormat).value(QStringLiteral("Config/Diff")).toInt(), 1);

        // Awake again: the next apply sends everything, the edit included.
        kept();
        sim::setBattery(demoBattery());
        QVERIFY(sim::saveState(keptPath()));
        const Outcome apply = ctl({QStringLiteral("apply")});
        QCOMPARE(apply.exitCode, 0);
        QCOMPARE(apply.out, QByteArray("Written to the mouse: general settings, DPI, buttons, lighting.\n"));
        QByteArray expected = dpiBefore;
        expected.replace(7, 4, QByteArray::fromHex("1f001f00"));   // 1600 DPI: index 31
        QCOMPARE(kept().blocks[1].toHex(), expected.toHex());
        QCOMPARE(ctl({QStringLiteral("apply")}).out, QByteArray("Nothing to write: the mouse holds these settings already.\n"));
    }

    void aFileOfAnotherMouseIsRefusedAndNothingWritten_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QStringList>("extra");
        QTest::newRow("configuration") << QStringLiteral("other.conf") << QStringList();
        QTest::newRow("profile") << QStringLiteral("other.prof") << QStringList{QStringLiteral("--slot"), QStringLiteral("2")};
    }

    void aFileOfAnotherMouseIsRefusedAndNothingWritten()
    {
        QFETCH(QString, fileName);
        QFETCH(QStringList, extra);
        keepMouse(demoBattery());
        QCOMPARE(ctl({QStringLiteral("apply"), QStringLiteral("--all")}).exitCode, 0);

        // A real export of this mouse, then tagged as another one's.
        const QString file = appDir() + QLatin1Char('/') + fileName;
        QCOMPARE(ctl({QStringLiteral("export"), file}).exitCode, 0);
        {
            QSettings other(file, QSettings::IniFormat);
            QCOMPARE(other.value(QStringLiteral("MouseName/Name")).toString(), QStringLiteral("VELKOR"));
            other.setValue(QStringLiteral("MouseName/Name"), QStringLiteral("OTHERMOUSE"));
        }
        const QByteArray mouseBefore = fileBytes(keptPath());
        const QMap<QString, QByteArray> filesBefore = configFiles();

        const Outcome o = ctl(QStringList{QStringLiteral("import"), file} + extra);
        QCOMPARE(o.exitCode, 1);
        QVERIFY(o.out.isEmpty());
        QCOMPARE(o.err, (file + QStringLiteral(": The file is not match current mouse!\n")).toUtf8());
        QCOMPARE(fileBytes(keptPath()), mouseBefore);
        QCOMPARE(configFiles(), filesBefore);
    }

    // The profile folder on a full disk: a change is neither reported saved
    // nor sent, the files and the mouse keep what they had, and the exit
    // status says so. With room again the same command goes through.
    void aChangeThatCannotBeSavedIsNotSent()
    {
        keepMouse(demoBattery());
        const QString profiles = configs() + QStringLiteral("/VELKOR/Profile");
        SmallDisk disk(profiles, 2048);
        SMALL_DISK_OR_SKIP(disk);
        QCOMPARE(ctl({QStringLiteral("apply"), QStringLiteral("--all")}).exitCode, 0);
        const Mouse before = kept();
        QVERIFY(disk.fill());
        const QMap<QString, QByteArray> filesBefore = configFiles();

        const QList<QStringList> changes = {
            {QStringLiteral("rate"), QStringLiteral("500")},
            {QStringLiteral("rate"), QStringLiteral("--slot"), QStringLiteral("3"), QStringLiteral("250")},
            {QStringLiteral("dpi"), QStringLiteral("--stage"), QStringLiteral("2"), QStringLiteral("1600")},
        };
        for (const QStringList &args : changes) {
            const Outcome o = ctl(args);
            QCOMPARE(o.exitCode, 5);
            QVERIFY(o.out.isEmpty());
            QVERIFY2(o.err.contains("could not be saved") && o.err.contains("Nothing was written to the mouse"),
                     o.err.constData());
            const Mouse after = kept();
            for (int b = 0; b < 5; ++b)
                QCOMPARE(after.blocks[b].toHex(), before.blocks[b].toHex());
        }
        QMap<QString, QByteArray> filesAfter = configFiles();
        filesAfter.remove(keptPath());
        QMap<QString, QByteArray> expected = filesBefore;
        expected.remove(keptPath());
        QCOMPARE(filesAfter.keys(), expected.keys());
        for (const QString &path : expected.keys())
            QVERIFY2(filesAfter.value(path) == expected.value(path), qPrintable(path));

        const Outcome exported = ctl({QStringLiteral("export"), profiles + QStringLiteral("/backup.conf")});
        QCOMPARE(exported.exitCode, 5);
        QVERIFY(!QFile::exists(profiles + QStringLiteral("/backup.conf")));

        disk.release();
        const Outcome o = ctl({QStringLiteral("rate"), QStringLiteral("500")});
        QCOMPARE(o.exitCode, 0);
        QCOMPARE(o.out, QByteArray("The report rate of slot 1 at 500 Hz is saved.\nWritten to the mouse: general settings.\n"));
    }

    // A profile file crafted with values no page offers: the mouse gets
    // them within the model's range (the demo: six stages on a 3395 sensor,
    // indices 0..519, 1000 Hz from the factory).
    void craftedProfileValuesReachTheMouseWithinRange()
    {
        keepMouse(demoBattery());
        QCOMPARE(ctl({QStringLiteral("apply"), QStringLiteral("--all")}).exitCode, 0);
        const QString file = appDir() + QStringLiteral("/crafted.prof");
        QCOMPARE(ctl({QStringLiteral("export"), file}).exitCode, 0);
        {
            QSettings crafted(file, QSettings::IniFormat);
            crafted.setValue(QStringLiteral("PROFILE/pollrate"), 3);
            crafted.setValue(QStringLiteral("PROFILE/dpi"), 201);
            crafted.setValue(QStringLiteral("PROFILE/DPI_INFO_2_x"), QStringLiteral("-2147483648"));
            crafted.setValue(QStringLiteral("PROFILE/DPI_INFO_2_y"), QStringLiteral("-2147483648"));
            crafted.setValue(QStringLiteral("PROFILE/DPI_INFO_2_used"), 9);
        }
        const Outcome o = ctl({QStringLiteral("import"), file});
        QCOMPARE(o.exitCode, 0);
        const Mouse m = kept();
        QCOMPARE(int(quint8(m.blocks[0].at(11))), 1);    // slot 1's report rate: 1000 Hz
        QCOMPARE(int(quint8(m.blocks[0].at(17))), 5);    // the active stage: the sixth
        // Stage 3: on, index 519 (07 02) for X and for Y.
        QCOMPARE(m.blocks[1].mid(11, 5).toHex(), QByteArray("0107020702"));
    }

    // The lock is held by a window that does not answer on the bus (hung, or
    // on another bus): every command that needs the mouse says so and exits
    // with 2; reading the files still works.
    void aWindowThatDoesNotAnswerKeepsTheMouseToItself()
    {
        keepMouse(demoBattery());
        QCOMPARE(ctl({QStringLiteral("apply"), QStringLiteral("--all")}).exitCode, 0);
        const QByteArray mouseBefore = fileBytes(keptPath());
        const QMap<QString, QByteArray> filesBefore = configFiles();

        QSettings description(appDir() + QStringLiteral("/DefaultProfile.bin"), QSettings::IniFormat);
        const QString product = description.value(QStringLiteral("PROFILE/ProductName")).toString();
        auto window = std::make_unique<platform::SingleInstance>(
            configs(), product + QStringLiteral(" Wireless Gaming Mouse Mutex1"), platform::SingleInstance::Mode::Window);
        QVERIFY(window->tryLock());
        window->setBusEndpoint(QStringLiteral("org.example.mousecfg.Nobody"), m_bus->isUp() ? m_bus->address() : QString());

        const QList<QStringList> writes = {
            {QStringLiteral("apply")},
            {QStringLiteral("slot"), QStringLiteral("2")},
            {QStringLiteral("dpi"), QStringLiteral("--stage"), QStringLiteral("1"), QStringLiteral("3200")},
            {QStringLiteral("rate"), QStringLiteral("500")},
            {QStringLiteral("status")},
            {QStringLiteral("export"), appDir() + QStringLiteral("/one.prof")},
        };
        const QByteArray said = "mousecfg is running (process " + QByteArray::number(QCoreApplication::applicationPid())
            + ") but does not answer on the session bus. Quit it and try again.\n";
        for (const QStringList &args : writes) {
            const Outcome o = ctl(args);
            QCOMPARE(o.exitCode, 2);
            QCOMPARE(o.err, said);
        }
        QCOMPARE(fileBytes(keptPath()), mouseBefore);
        QCOMPARE(configFiles(), filesBefore);

        // Reading the files still works.
        QCOMPARE(ctl({QStringLiteral("profiles")}).exitCode, 0);
        QCOMPARE(ctl({QStringLiteral("export"), appDir() + QStringLiteral("/backup.conf")}).exitCode, 0);

        window.reset();
        QCOMPARE(ctl({QStringLiteral("rate"), QStringLiteral("500")}).exitCode, 0);
    }

    // With the window running, each command goes through it and prints what
    // it prints alone; the window and the mouse hold the result.
    void besideTheWindowTheSameOutput()
    {
        if (!m_bus->isUp())
            QSKIP("dbus-daemon is not installed");
        keepMouse(demoBattery());
        QCOMPARE(ctl({QStringLiteral("apply"), QStringLiteral("--all")}).exitCode, 0);
        const Outcome aloneJson = ctl({QStringLiteral("status"), QStringLiteral("--json")});
        const Outcome aloneText = ctl({QStringLiteral("status")});
        QCOMPARE(aloneJson.exitCode, 0);

        QProcess *window = startWindow();
        QVERIFY(window->waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(windowOnTheBus(), 30000);

        const Outcome json = ctl({QStringLiteral("status"), QStringLiteral("--json")});
        QCOMPARE(json.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(json.out).object(), QJsonDocument::fromJson(aloneJson.out).object());
        QCOMPARE(json.out, aloneJson.out);
        QCOMPARE(ctl({QStringLiteral("status")}).out, aloneText.out);

        Outcome o = ctl({QStringLiteral("slot"), QStringLiteral("3")});
        QVERIFY2(o.exitCode == 0, o.err.constData());
        QCOMPARE(o.out, QByteArray("Slot 3 (Profile 3) is active.\n"));
        o = ctl({QStringLiteral("dpi"), QStringLiteral("--stage"), QStringLiteral("2"), QStringLiteral("1600")});
        QCOMPARE(o.exitCode, 0);
        QCOMPARE(o.out, QByteArray("DPI stage 2 of slot 3 at 1600 DPI is saved.\nWritten to the mouse: DPI.\n"));
        o = ctl({QStringLiteral("rate"), QStringLiteral("500")});
        QCOMPARE(o.out, QByteArray("The report rate of slot 3 at 500 Hz is saved.\nWritten to the mouse: general settings.\n"));
        o = ctl({QStringLiteral("apply")});
        QCOMPARE(o.out, QByteArray("Nothing to write: the mouse holds these settings already.\n"));
        o = ctl({QStringLiteral("dpi"), QStringLiteral("--slot"), QStringLiteral("1"), QStringLiteral("--stage"),
                 QStringLiteral("2"), QStringLiteral("2250")});
        QCOMPARE(o.out, QByteArray("DPI stage 2 of slot 1 at 2250 DPI is saved.\n"
                                   "Slot 1 is not active: the mouse takes its DPI stages when it is.\n"));
        o = ctl({QStringLiteral("--json"), QStringLiteral("rate"), QStringLiteral("250")});
        QCOMPARE(QJsonDocument::fromJson(o.out).object().value(QStringLiteral("written")).toArray(),
                 QJsonArray{QStringLiteral("general")});

        const QString prof = appDir() + QStringLiteral("/game.prof");
        o = ctl({QStringLiteral("export"), QStringLiteral("--slot"), QStringLiteral("3"), prof});
        QCOMPARE(o.out, ("Exported to " + prof + ".\n").toUtf8());
        o = ctl({QStringLiteral("import"), prof, QStringLiteral("--slot"), QStringLiteral("2")});
        QCOMPARE(o.exitCode, 0);
        QVERIFY2(o.out.startsWith("Profile \"game\" (slot 2) is saved.\n"), o.out.constData());
        QSettings(prof, QSettings::IniFormat).setValue(QStringLiteral("MouseName/Name"), QStringLiteral("OTHERMOUSE"));
        QFile::rename(prof, appDir() + QStringLiteral("/other.prof"));
        o = ctl({QStringLiteral("import"), appDir() + QStringLiteral("/other.prof")});
        QCOMPARE(o.exitCode, 1);
        QCOMPARE(o.err, (appDir() + QStringLiteral("/other.prof: The file is not match current mouse!\n")).toUtf8());
        o = ctl({QStringLiteral("export"), appDir() + QStringLiteral("/missing/x.prof")});
        QCOMPARE(o.exitCode, 1);
        QVERIFY(!QFileInfo::exists(appDir() + QStringLiteral("/missing")));

        // The window ends when asked (the launcher's Quit), keeping its mouse.
        QProcess quit;
        quit.setProcessEnvironment(window->processEnvironment());
        quit.start(qEnvironmentVariable("MOUSECFG_APPDIR") + QStringLiteral("/mousecfg-demo"), {QStringLiteral("--quit")});
        QVERIFY(quit.waitForFinished(20000));
        QVERIFY2(quit.exitCode() == 0, quit.readAllStandardError().constData());
        QVERIFY(window->waitForFinished(20000));
        delete window;
        const Mouse m = kept();
        QCOMPARE(m.activeProfile, 2);
        QCOMPARE(m.blocks[1].mid(7, 4).toHex(), QByteArray("1f001f00"));   // slot 3's stage 2: 1600 DPI
        QCOMPARE(quint8(m.blocks[0].at(13)), quint8(4));                  // slot 3 at 250 Hz
    }

    // Two commands that write at once, started from different temporary and
    // runtime folders (cron beside a terminal): the second waits for the first,
    // and neither loses the other's change to the same slot file.
    void twoWritersAtOnceLoseNothing()
    {
        keepMouse(demoBattery());
        QCOMPARE(ctl({QStringLiteral("apply"), QStringLiteral("--all")}).exitCode, 0);
        QTemporaryDir elsewhere;
        if (::getuid() == 0) {
            // A folder another user made where the old lock went.
            const QByteArray foreign = QFile::encodeName(elsewhere.path() + QStringLiteral("/mousecfg-0"));
            QVERIFY(QDir().mkpath(QFile::decodeName(foreign)));
            QVERIFY(::chown(foreign.constData(), 65534, 65534) == 0);
        }
        const int rates[] = {125, 250, 500, 1000};
        const int dpis[] = {800, 1600, 2400, 3200};
        for (int round = 0; round < 4; ++round) {
            m_tmp = tempDir();
            QProcess *a = startCtl({QStringLiteral("rate"), QStringLiteral("--slot"), QStringLiteral("2"),
                                    QString::number(rates[round])}, false);
            m_tmp = elsewhere.path();
            QProcess *b = startCtl({QStringLiteral("dpi"), QStringLiteral("--slot"), QStringLiteral("2"),
                                    QStringLiteral("--stage"), QStringLiteral("1"), QString::number(dpis[round])}, false);
            for (QProcess *p : {a, b}) {
                QVERIFY(p->waitForFinished(60000));
                QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
                delete p;
            }
            m_tmp.clear();
            const QJsonObject slot2 = QJsonDocument::fromJson(ctl({QStringLiteral("profiles"), QStringLiteral("--json")}).out)
                                          .object().value(QStringLiteral("slots")).toArray().at(1).toObject();
            QCOMPARE(slot2.value(QStringLiteral("reportRateHz")).toInt(), rates[round]);
            QCOMPARE(slot2.value(QStringLiteral("stages")).toArray().at(0).toObject().value(QStringLiteral("dpi")).toInt(),
                     dpis[round]);
        }
    }

    // What a kill leaves: the lock file emptied, and a settings lock of
    // QSettings with nothing in it. Neither stalls the next write.
    void leftoversOfAKillDoNotStallAWrite()
    {
        keepMouse(demoBattery());
        QCOMPARE(ctl({QStringLiteral("apply"), QStringLiteral("--all")}).exitCode, 0);
        QSettings description(appDir() + QStringLiteral("/DefaultProfile.bin"), QSettings::IniFormat);
        const QString product = description.value(QStringLiteral("PROFILE/ProductName")).toString();
        QFile instance(platform::SingleInstance::lockPathFor(configs(), product + QStringLiteral(" Wireless Gaming Mouse Mutex1")));
        QVERIFY(instance.open(QIODevice::WriteOnly | QIODevice::Truncate));
        instance.close();
        for (const QString &lock : {productConfig() + QStringLiteral(".lock"), configs() + QStringLiteral("/Config.ini.lock")}) {
            QFile empty(lock);
            QVERIFY(empty.open(QIODevice::WriteOnly));
        }
        QElapsedTimer clock;
        clock.start();
        const Outcome o = ctl({QStringLiteral("rate"), QStringLiteral("250")});
        QCOMPARE(o.exitCode, 0);
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!QFile::exists(productConfig() + QStringLiteral(".lock")));
    }

    // status --watch alone: a line at once, another when the mouse changes.
    void watchFollowsTheMouseAlone()
    {
        keepMouse(demoBattery());
        QProcess *watch = startCtl({QStringLiteral("status"), QStringLiteral("--json"), QStringLiteral("--watch")}, false);
        QVERIFY(watch->waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(watch->canReadLine(), 20000);
        const QJsonObject first = QJsonDocument::fromJson(watch->readLine()).object();
        QCOMPARE(first.value(QStringLiteral("battery")).toObject().value(QStringLiteral("level")).toInt(), 90);
        QCOMPARE(first, QJsonDocument::fromJson(ctl({QStringLiteral("status"), QStringLiteral("--json")}, false).out).object());

        kept();
        sim::BatteryState low = demoBattery();
        low.low = 0x0A;   // 778: 3209 mV, 20 %
        sim::setBattery(low);
        QVERIFY(sim::saveState(keptPath()));
        QTRY_VERIFY_WITH_TIMEOUT(watch->canReadLine(), 20000);
        const QJsonObject second = QJsonDocument::fromJson(watch->readLine()).object();
        QCOMPARE(second.value(QStringLiteral("battery")).toObject().value(QStringLiteral("level")).toInt(), 20);
        end(watch);
    }

    // list names what Linux calls the mouse: its USB ids and hidraw node.
    void listShowsUsbIdsAndNode()
    {
        keepMouse(demoBattery());
        Outcome o = ctl({QStringLiteral("list")});
        QCOMPARE(o.exitCode, 0);
        QCOMPARE(o.out, QByteArray("VELKOR (receiver)\n  USB:   248a:fa02\n  node:  none (simulated mouse)\n"));
        o = ctl({QStringLiteral("list"), QStringLiteral("--json")});
        const QJsonObject link = QJsonDocument::fromJson(o.out).array().at(0).toObject()
                                     .value(QStringLiteral("connections")).toArray().at(0).toObject();
        QCOMPARE(link.value(QStringLiteral("connection")).toString(), QStringLiteral("receiver"));
        QCOMPARE(link.value(QStringLiteral("usb")).toString(), QStringLiteral("248a:fa02"));
        QVERIFY(link.value(QStringLiteral("node")).isNull());
    }

    // Every command's line in the help is a whole sentence.
    void helpLinesAreWhole()
    {
        const Outcome o = ctl({QStringLiteral("--help")});
        const QList<QByteArray> lines = o.out.split('\n');
        int summaries = 0;
        for (int i = 0; i + 1 < lines.size(); ++i) {
            if (!lines.at(i).startsWith("  ") || lines.at(i).startsWith("   ") || !lines.at(i + 1).startsWith("      "))
                continue;
            ++summaries;
            QVERIFY2(lines.at(i + 1).endsWith('.'), lines.at(i + 1).constData());
        }
        QCOMPARE(summaries, 9);
        QVERIFY(o.out.contains("--watch"));
    }

    void usageErrorsAndHelp_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stdoutStart");
        QTest::addColumn<QString>("stderrStart");
        QTest::newRow("unknown command") << QStringList{QStringLiteral("fly")} << 1 << QString()
                                         << QStringLiteral("mousecfgctl-demo: Unknown command \"fly\".");
        QTest::newRow("slot out of range") << QStringList{QStringLiteral("slot"), QStringLiteral("6")} << 1 << QString()
                                           << QStringLiteral("mousecfgctl-demo: \"6\" is not a slot");
        QTest::newRow("option of another command") << QStringList{QStringLiteral("rate"), QStringLiteral("--all"), QStringLiteral("500")}
                                                   << 1 << QString() << QStringLiteral("mousecfgctl-demo: rate does not take --all.");
        QTest::newRow("watch is for status") << QStringList{QStringLiteral("slot"), QStringLiteral("--watch"), QStringLiteral("2")}
                                             << 1 << QString() << QStringLiteral("mousecfgctl-demo: slot does not take --watch.");
        QTest::newRow("dpi the sensor lacks") << QStringList{QStringLiteral("dpi"), QStringLiteral("1625")} << 1 << QString()
                                              << QStringLiteral("mousecfgctl-demo: 1625 DPI is not a value this mouse offers (50 to 26000). "
                                                                "The nearest are 1600 and 1650.");
        QTest::newRow("rate the mouse lacks") << QStringList{QStringLiteral("rate"), QStringLiteral("2000")} << 1 << QString()
                                              << QStringLiteral("mousecfgctl-demo: \"2000\" is not a report rate");
        QTest::newRow("not a profile file") << QStringList{QStringLiteral("import"), QStringLiteral("notes.txt")} << 1 << QString()
                                            << QStringLiteral("mousecfgctl-demo: notes.txt: give a profile file");
        QTest::newRow("help of a command") << QStringList{QStringLiteral("dpi"), QStringLiteral("--help")} << 0
                                           << QStringLiteral("Usage: mousecfgctl-demo dpi [--slot N] [--stage S] VALUE")
                                           << QString();
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0
                              << QStringLiteral("Usage: mousecfgctl-demo [--json] COMMAND") << QString();
        QTest::newRow("no command") << QStringList() << 1 << QString()
                                    << QStringLiteral("Usage: mousecfgctl-demo [--json] COMMAND");
    }

    void usageErrorsAndHelp()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, stdoutStart);
        QFETCH(QString, stderrStart);
        keepMouse(demoBattery());
        const QByteArray mouseBefore = fileBytes(keptPath());
        const Outcome o = ctl(args);
        QCOMPARE(o.exitCode, exitCode);
        QVERIFY2(o.out.startsWith(stdoutStart.toUtf8()), o.out.constData());
        QVERIFY2(o.err.startsWith(stderrStart.toUtf8()), o.err.constData());
        if (stdoutStart.isEmpty())
            QVERIFY(o.out.isEmpty());
        if (stderrStart.isEmpty())
            QVERIFY(o.err.isEmpty());
        QCOMPARE(fileBytes(keptPath()), mouseBefore);
    }

    void bashCompletion_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("offered");
        QTest::newRow("options of status") << QStringLiteral("mousecfgctl status --") << QStringLiteral("--json --help --watch");
        QTest::newRow("commands") << QStringLiteral("mousecfgctl ")
                                  << QStringLiteral("list status profiles slot apply import export dpi rate --json --help --version");
        QTest::newRow("a command") << QStringLiteral("mousecfgctl st") << QStringLiteral("status");
        QTest::newRow("after an option") << QStringLiteral("mousecfgctl --json pro") << QStringLiteral("profiles");
        QTest::newRow("options of dpi") << QStringLiteral("mousecfgctl dpi --") << QStringLiteral("--json --help --slot --stage");
        QTest::newRow("options of apply") << QStringLiteral("mousecfgctl apply --") << QStringLiteral("--json --help --all");
        QTest::newRow("slots") << QStringLiteral("mousecfgctl dpi --slot ") << QStringLiteral("1 2 3 4 5");
        QTest::newRow("slot numbers") << QStringLiteral("mousecfgctl slot ") << QStringLiteral("1 2 3 4 5");
        QTest::newRow("rates") << QStringLiteral("mousecfgctl rate --slot 2 ") << QStringLiteral("125 250 500 1000");
        QTest::newRow("files") << QStringLiteral("mousecfgctl import --slot 2 FILES/")
                               << QStringLiteral("FILES/folder FILES/a.conf FILES/b.prof");
    }

    void bashCompletion()
    {
        QFETCH(QString, line);
        QFETCH(QString, offered);
        const QString files = appDir() + QStringLiteral("/files");
        QVERIFY(QDir().mkpath(files + QStringLiteral("/folder")));
        for (const char *name : {"a.conf", "b.prof", "notes.txt"}) {
            QFile f(files + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        line.replace(QStringLiteral("FILES"), files);
        offered.replace(QStringLiteral("FILES"), files);
        const QString script = QStringLiteral(
            "source \"$1\"\n"
            "line=\"$2\"\n"
            "read -r -a COMP_WORDS <<< \"$line\"\n"
            "[[ \"$line\" == *' ' ]] && COMP_WORDS+=('')\n"
            "COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 ))\n"
            "COMPREPLY=()\n"
            "complete -p mousecfgctl-demo >/dev/null || exit 3\n"
            "_mousecfgctl\n"
            "printf '%s\\n' \"${COMPREPLY[@]}\"\n");
        QProcess bash;
        bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), script, QStringLiteral("bash"),
                                            QStringLiteral(MOUSECFGCTL_COMPLETION), line});
        QVERIFY(bash.waitForFinished(20000));
        QCOMPARE(bash.readAllStandardError(), QByteArray());
        QCOMPARE(bash.exitCode(), 0);
        QStringList got = QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QStringList expected = offered.split(QLatin1Char(' '));
        if (line.contains(files)) {   // file order is the file system's
            got.sort();
            expected.sort();
        }
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(TestCtl)
#include "tst_ctl.moc"

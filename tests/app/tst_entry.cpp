// The program as a whole: one copy per user and product, found on a session
// bus of the test's own; a second start brings the first up.

#include "platform/singleinstance.h"
#include "tests/common/privatebus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {
const QString kDemoName = QStringLiteral("org.example.mousecfg.Demo");
const QString kSuffix = QStringLiteral(" Wireless Gaming Mouse Mutex1");

// How a copy is started.
struct Start {
    QString runtimeDir;           // also TMPDIR
    bool bus = true;              // DBUS_SESSION_BUS_ADDRESS names the test's bus
    QStringList arguments;
};
}

class TestEntry : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateBus> m_bus;
    QDBusConnection m_watch{QString()};

    // An application directory of its own, for a product no one else runs.
    static bool makeAppDir(const QString &dir, const QString &product)
    {
        QFile description(dir + QStringLiteral("/DefaultProfile.bin"));
        if (!description.open(QIODevice::WriteOnly))
            return false;
        description.write("[PROFILE]\nProductName=" + product.toUtf8() + "\nButtonCount=13\nMouseDpi=5\nDPICount=14\n");
        return true;
    }

    QProcess *start(const QString &appDir, const Start &how = Start())
    {
        auto *process = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!how.runtimeDir.isEmpty()) {
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), how.runtimeDir);
            env.insert(QStringLiteral("TMPDIR"), how.runtimeDir);
        } else {
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        }
        if (how.bus)
            env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus->address());
        else
            env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("MOUSECFG_APPDIR"), appDir);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("mousecfg.ui=true"));
        env.insert(QStringLiteral("HOME"), appDir);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), appDir + QStringLiteral("/xdg"));
        process->setProcessEnvironment(env);
        process->start(qEnvironmentVariable("MOUSECFG_APPDIR") + QStringLiteral("/mousecfg-demo"), how.arguments);
        return process;
    }

    static platform::LockHolder holderIn(const QString &appDir, const QString &product)
    {
        platform::SingleInstance probe(appDir + QStringLiteral("/Configs"), product + kSuffix,
                                       platform::SingleInstance::Mode::Reader);
        return probe.holder();
    }

    bool onTheBus() const { return m_watch.interface()->isServiceRegistered(kDemoName).value(); }

    static void end(QProcess *p)
    {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(10000);
        }
    }

    // What a process printed on its error channel so far.
    static QByteArray errors(QProcess *p) { return p->readAllStandardError(); }

private slots:
    void initTestCase()
    {
        m_bus.reset(new PrivateBus);
        if (!m_bus->isUp())
            QSKIP("dbus-daemon is not installed");
        m_watch = m_bus->connect(QStringLiteral("watch"));
    }

    // A second start (or a click on the launcher) brings the running window
    // up and ends with 0; the first runs on.
    void aSecondStartBringsUpTheFirst()
    {
        QTemporaryDir dir;
        const QString product = QStringLiteral("ENTRYTEST%1").arg(QCoreApplication::applicationPid());
        QVERIFY(makeAppDir(dir.path(), product));
        QProcess *first = start(dir.path());
        QVERIFY(first->waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(onTheBus(), 20000);
        // The lock's record says where it answers once the name is taken.
        QTRY_VERIFY_WITH_TIMEOUT(holderIn(dir.path(), product).ready, 20000);
        const platform::LockHolder holder = holderIn(dir.path(), product);
        QCOMPARE(holder.role, platform::LockHolder::Window);
        QCOMPARE(holder.pid, first->processId());
        QCOMPARE(holder.busName, kDemoName);
        QCOMPARE(holder.busAddress, m_bus->address());

        QProcess *second = start(dir.path());
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QByteArray firstSaid;
        QTRY_VERIFY_WITH_TIMEOUT((firstSaid += errors(first)).contains("Brought to the front"), 10000);
        QCOMPARE(first->state(), QProcess::Running);

        // Killed: what it leaves behind, even an empty lock file, does not
        // block the next start.
        end(first);
        QFile lock(platform::SingleInstance::lockPathFor(dir.path() + QStringLiteral("/Configs"), product + kSuffix));
        QVERIFY(lock.exists());
        QVERIFY(lock.resize(0));
        QProcess *third = start(dir.path());
        QVERIFY(third->waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(holderIn(dir.path(), product).pid == third->processId(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(onTheBus(), 20000);

        // --quit asks the running copy to end (the launcher's Quit action).
        QProcess *quit = start(dir.path(), Start{QString(), true, {QStringLiteral("--quit")}});
        QVERIFY(quit->waitForFinished(20000));
        QCOMPARE(quit->exitCode(), 0);
        QVERIFY(third->waitForFinished(20000));
        QCOMPARE(third->exitCode(), 0);
    }

    // Another runtime or temporary folder, and no bus named in the
    // environment (cron, a service): the lock still says where the window is.
    void anotherEnvironmentStillFindsTheRunningCopy()
    {
        QTemporaryDir dir, runA, runB;
        for (const QTemporaryDir *run : {&runA, &runB})
            QVERIFY(QFile::setPermissions(run->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString product = QStringLiteral("SEATTEST%1").arg(QCoreApplication::applicationPid());
        QVERIFY(makeAppDir(dir.path(), product));
        QProcess *first = start(dir.path(), Start{runA.path(), true, {}});
        QVERIFY(first->waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(onTheBus(), 20000);
        QProcess *again = start(dir.path(), Start{runB.path(), false, {}});
        QVERIFY(again->waitForFinished(20000));
        QCOMPARE(again->exitCode(), 0);
        QByteArray firstSaid;
        QTRY_VERIFY_WITH_TIMEOUT((firstSaid += errors(first)).contains("Brought to the front"), 10000);
        QCOMPARE(first->state(), QProcess::Running);
        end(first);
    }

    // A window that cannot be reached (it has no session bus): the second
    // start says why and ends with 1 instead of running beside it.
    void aWindowOffTheBusIsNotJoined()
    {
        QTemporaryDir dir;
        const QString product = QStringLiteral("NOBUSTEST%1").arg(QCoreApplication::applicationPid());
        QVERIFY(makeAppDir(dir.path(), product));
        QProcess *first = start(dir.path(), Start{QString(), false, {}});
        QVERIFY(first->waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(holderIn(dir.path(), product).role == platform::LockHolder::Window, 20000);
        QProcess *second = start(dir.path(), Start{QString(), false, {}});
        QVERIFY(second->waitForFinished(30000));
        QCOMPARE(second->exitCode(), 1);
        const QByteArray said = errors(second);
        QVERIFY2(said.contains("mousecfg is already running (process " + QByteArray::number(first->processId())
                               + ") but does not answer on the session bus."),
                 said.constData());
        QCOMPARE(first->state(), QProcess::Running);
        end(first);
    }

    // A command that only asks the mouse (mousecfgctl status) holds the lock
    // shared for a moment: a window started meanwhile waits for it and runs.
    void aReadingCommandDoesNotTurnTheWindowAway()
    {
        QTemporaryDir dir;
        const QString product = QStringLiteral("READTEST%1").arg(QCoreApplication::applicationPid());
        QVERIFY(makeAppDir(dir.path(), product));
        auto reader = std::make_unique<platform::SingleInstance>(dir.path() + QStringLiteral("/Configs"),
                                                                 product + kSuffix,
                                                                 platform::SingleInstance::Mode::Reader);
        QVERIFY(reader->tryLock());
        QProcess *window = start(dir.path());
        QVERIFY(window->waitForStarted(10000));
        QTest::qWait(1500);
        QCOMPARE(window->state(), QProcess::Running);
        reader.reset();
        QTRY_VERIFY_WITH_TIMEOUT(holderIn(dir.path(), product).pid == window->processId(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(onTheBus(), 20000);
        end(window);
    }

    // A user who starts the program from a terminal sees nothing unless
    // something is wrong: the trace is off by default.
    void quietByDefault()
    {
        QTemporaryDir dir, run;
        QVERIFY(QFile::setPermissions(run.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString product = QStringLiteral("QUIETTEST%1").arg(QCoreApplication::applicationPid());
        QVERIFY(makeAppDir(dir.path(), product));
        QProcess demo;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
        env.insert(QStringLiteral("MOUSECFG_APPDIR"), dir.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path() + QStringLiteral("/xdg"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), run.path());
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus->address());
        demo.setProcessEnvironment(env);
        demo.setProcessChannelMode(QProcess::MergedChannels);
        demo.start(qEnvironmentVariable("MOUSECFG_APPDIR") + QStringLiteral("/mousecfg-demo"), QStringList());
        QVERIFY(demo.waitForStarted(10000));
        QTest::qWait(6000);   // start-up, the first downloads, the poller's turns
        QCOMPARE(demo.state(), QProcess::Running);
        demo.kill();
        QVERIFY(demo.waitForFinished(10000));
        // Only the offscreen platform's own notes, which a desktop never shows.
        QStringList printed = QString::fromLocal8Bit(demo.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        printed.erase(std::remove_if(printed.begin(), printed.end(),
                                     [](const QString &l) { return l.startsWith(QLatin1String("This plugin does not support")); }),
                      printed.end());
        QCOMPARE(printed, QStringList());

        // The full trace when asked for.
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("mousecfg.*=true"));
        demo.setProcessEnvironment(env);
        demo.start(qEnvironmentVariable("MOUSECFG_APPDIR") + QStringLiteral("/mousecfg-demo"), QStringList());
        QVERIFY(demo.waitForStarted(10000));
        QByteArray trace;
        QTRY_VERIFY_WITH_TIMEOUT((trace += demo.readAll()).contains("Application data in"), 20000);
        demo.kill();
        QVERIFY(demo.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TestEntry)
#include "tst_entry.moc"

// The program as a whole: one copy per product.

#include "platform/singleinstance.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

class TestEntry : public QObject {
    Q_OBJECT

    // An application directory of its own, for a product no one else runs.
    static bool makeAppDir(const QString &dir, const QString &product)
    {
        QFile description(dir + QStringLiteral("/DefaultProfile.bin"));
        if (!description.open(QIODevice::WriteOnly))
            return false;
        description.write("[PROFILE]\nProductName=" + product.toUtf8() + "\nButtonCount=13\nMouseDpi=5\nDPICount=14\n");
        return true;
    }

    static QProcess *start(const QString &appDir, QObject *parent, const QString &runtimeDir = QString())
    {
        auto *process = new QProcess(parent);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!runtimeDir.isEmpty()) {
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
            env.insert(QStringLiteral("TMPDIR"), runtimeDir);
        }
        env.insert(QStringLiteral("MOUSECFG_APPDIR"), appDir);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), appDir);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), appDir + QStringLiteral("/xdg"));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(qEnvironmentVariable("MOUSECFG_APPDIR") + QStringLiteral("/mousecfg-demo"), QStringList());
        return process;
    }

private slots:
    void aSecondCopyEndsWithOneAndTheFirstRunsOn()
    {
        QTemporaryDir dir;
        const QString product = QStringLiteral("ENTRYTEST%1").arg(QCoreApplication::applicationPid());
        QVERIFY(makeAppDir(dir.path(), product));
        const QString lock = platform::SingleInstance::lockPathFor(dir.path() + QStringLiteral("/Configs"),
                                                                   product + QStringLiteral(" Wireless Gaming Mouse Mutex1"));

        QProcess *first = start(dir.path(), this);
        QVERIFY(first->waitForStarted(10000));
        platform::SingleInstance probe(dir.path() + QStringLiteral("/Configs"),
                                       product + QStringLiteral(" Wireless Gaming Mouse Mutex1"),
                                       platform::SingleInstance::Mode::Reader);
        QCOMPARE(probe.path(), lock);
        QTRY_VERIFY_WITH_TIMEOUT(probe.holder().role == platform::LockHolder::Window, 20000);

        QProcess *second = start(dir.path(), this);
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 1);
        QCOMPARE(first->state(), QProcess::Running);

        first->kill();
        QVERIFY(first->waitForFinished(10000));
        // The killed copy's lock does not block the next start.
        QProcess *third = start(dir.path(), this);
        QVERIFY(third->waitForStarted(10000));
        QTest::qWait(1500);
        QCOMPARE(third->state(), QProcess::Running);
        third->kill();
        third->waitForFinished(10000);
    }

    // Another runtime or temporary folder (cron, a service, su) does not
    // hide the running copy: the lock lies in the user's settings folder.
    void anotherEnvironmentStillFindsTheRunningCopy()
    {
        QTemporaryDir dir, runA, runB;
        for (const QTemporaryDir *run : {&runA, &runB})
            QVERIFY(QFile::setPermissions(run->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString product = QStringLiteral("SEATTEST%1").arg(QCoreApplication::applicationPid());
        QVERIFY(makeAppDir(dir.path(), product));
        platform::SingleInstance probe(dir.path() + QStringLiteral("/Configs"),
                                       product + QStringLiteral(" Wireless Gaming Mouse Mutex1"),
                                       platform::SingleInstance::Mode::Reader);

        QProcess *first = start(dir.path(), this, runA.path());
        QVERIFY(first->waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(probe.holder().role == platform::LockHolder::Window, 20000);
        QProcess *again = start(dir.path(), this, runB.path());
        QVERIFY(again->waitForFinished(20000));
        QCOMPARE(again->exitCode(), 1);
        QCOMPARE(first->state(), QProcess::Running);
        first->kill();
        QVERIFY(first->waitForFinished(10000));
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

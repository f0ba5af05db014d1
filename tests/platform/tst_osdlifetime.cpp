// The on-screen display ends by itself a few seconds after its last message
// once the program that started it has gone, and never while that program runs.
#include "osd/osdlifetime.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestOsdLifetime : public QObject {
    Q_OBJECT

    static void quick(OsdLifetime &life, bool *ownerAlive)
    {
        life.setOwnerCheck([ownerAlive](qint64) { return *ownerAlive; });
        life.setCheckInterval(10);
        life.setLinger(150);
    }

private slots:
    void staysWhileItsProgramRuns()
    {
        bool alive = true;
        OsdLifetime life(4242);
        quick(life, &alive);
        QSignalSpy done(&life, &OsdLifetime::finished);
        QTest::qWait(400);
        QCOMPARE(done.count(), 0);
        alive = false;
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 2000);
        QTest::qWait(100);
        QCOMPARE(done.count(), 1);   // once
    }

    void lingersAfterTheLastMessage()
    {
        bool alive = false;
        OsdLifetime life(4242);
        quick(life, &alive);
        QSignalSpy done(&life, &OsdLifetime::finished);
        QElapsedTimer clock;
        clock.start();
        life.noteMessage(300);   // shown for 300 ms, then 150 ms more
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 3000);
        QVERIFY2(clock.elapsed() >= 450, qPrintable(QString::number(clock.elapsed())));
    }

    void aNewMessageStartsTheWaitAgain()
    {
        bool alive = false;
        OsdLifetime life(4242);
        quick(life, &alive);
        QSignalSpy done(&life, &OsdLifetime::finished);
        life.noteMessage(0);
        QTest::qWait(100);
        life.noteMessage(0);
        QTest::qWait(100);
        QCOMPARE(done.count(), 0);   // 100 ms after the second message, linger is 150
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 2000);
    }

    void withoutAKnownOwnerOnlyTheLingerHolds()
    {
        OsdLifetime life(0);
        life.setOwnerCheck([](qint64) { return true; });   // never asked for pid 0
        life.setCheckInterval(10);
        life.setLinger(100);
        QSignalSpy done(&life, &OsdLifetime::finished);
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 2000);
    }

    void processesAreFoundByTheirId()
    {
        QVERIFY(OsdLifetime::processExists(QCoreApplication::applicationPid()));
        QVERIFY(!OsdLifetime::processExists(0));
        QVERIFY(!OsdLifetime::processExists(1));   // init is nobody's owner
        QProcess child;
        child.start(QStringLiteral("sleep"), {QStringLiteral("0.2")});
        QVERIFY(child.waitForStarted());
        const qint64 pid = child.processId();
        QVERIFY(OsdLifetime::processExists(pid));
        QVERIFY(child.waitForFinished());
        QVERIFY(!OsdLifetime::processExists(pid));
    }

    void theOwnerComesFromTheEnvironmentOrTheParent()
    {
        const QByteArray saved = qgetenv("MOUSECFG_OSD_OWNER");
        qputenv("MOUSECFG_OSD_OWNER", "12345");
        QCOMPARE(OsdLifetime::ownerFromEnvironment(), qint64(12345));
        qputenv("MOUSECFG_OSD_OWNER", "not a number");
        QCOMPARE(OsdLifetime::ownerFromEnvironment(), qint64(::getppid()));
        qputenv("MOUSECFG_OSD_OWNER", "1");   // init is nobody's owner
        QCOMPARE(OsdLifetime::ownerFromEnvironment(), qint64(::getppid()));
        qputenv("MOUSECFG_OSD_OWNER", saved);
    }

    // The display program itself: runs while its owner runs, ends a few
    // seconds after the owner has gone.
    void theDisplayProgramEndsAfterItsOwner()
    {
        QTemporaryDir tmp;   // the display's socket lies here, away from any other display
        QProcess owner;
        owner.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(owner.waitForStarted());

        QProcess osd;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MOUSECFG_OSD_OWNER"), QString::number(owner.processId()));
        env.insert(QStringLiteral("TMPDIR"), tmp.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        osd.setProcessEnvironment(env);
        osd.setProcessChannelMode(QProcess::ForwardedChannels);
        osd.start(qEnvironmentVariable("MOUSECFG_APPDIR") + QStringLiteral("/OSD"), QStringList());
        QVERIFY(osd.waitForStarted());
        QVERIFY(!osd.waitForFinished(2500));   // its owner runs

        owner.kill();
        QVERIFY(owner.waitForFinished());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(osd.waitForFinished(10000));
        QCOMPARE(osd.exitStatus(), QProcess::NormalExit);
        QCOMPARE(osd.exitCode(), 0);
        QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestOsdLifetime)
#include "tst_osdlifetime.moc"

#include "platform/runtimefolder.h"
#include "platform/singleinstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using platform::LockHolder;
using platform::SingleInstance;
using Mode = SingleInstance::Mode;

namespace {

const QString kName = QStringLiteral("TESTMOUSE Wireless Gaming Mouse Mutex1");

Mode modeNamed(const QByteArray &name)
{
    return name == "window" ? Mode::Window : name == "reader" ? Mode::Reader : Mode::Writer;
}

// The suite started again as a helper: holds the lock in <folder> as <mode>,
// says "held" and sleeps for <ms> (0: until it is killed).
int holdLock(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SingleInstance lock(QString::fromLocal8Bit(argv[2]), kName, modeNamed(argv[3]));
    if (!lock.tryLock()) {
        std::printf("refused\n");
        return 1;
    }
    lock.setBusEndpoint(QStringLiteral("org.example.mousecfg.Helper"), QStringLiteral("unix:path=/nowhere"));
    std::printf("held\n");
    std::fflush(stdout);
    const int ms = argc > 4 ? std::atoi(argv[4]) : 0;
    if (ms > 0)
        ::usleep(useconds_t(ms) * 1000);
    else
        for (;;)
            ::pause();
    return 0;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // Another process holding the lock; it has said so when this returns.
    QProcess *holder(const QString &folder, const char *mode, int ms = 0)
    {
        auto *p = new QProcess(this);
        QStringList args{QStringLiteral("--hold"), folder, QLatin1String(mode)};
        if (ms > 0)
            args << QString::number(ms);
        p->start(QCoreApplication::applicationFilePath(), args);
        if (!p->waitForStarted(10000))
            return p;
        while (!p->canReadLine() && p->waitForReadyRead(10000)) {
        }
        return p;
    }

    static void end(QProcess *p)
    {
        p->kill();
        p->waitForFinished(10000);
        delete p;
    }

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir.path()));
    }

    void aSecondHolderIsRefusedAndLearnsWhoHoldsIt()
    {
        SingleInstance first(m_dir.path(), kName, Mode::Window);
        QVERIFY(first.tryLock());
        QVERIFY(!SingleInstance(m_dir.path(), kName, Mode::Reader).holder().ready);   // still starting
        first.setBusEndpoint(QStringLiteral("org.example.mousecfg"), QStringLiteral("unix:path=/run/bus"));
        for (Mode mode : {Mode::Window, Mode::Writer, Mode::Reader}) {
            SingleInstance second(m_dir.path(), kName, mode);
            QVERIFY(!second.tryLock());
            QVERIFY(second.error().isEmpty());
            const LockHolder h = second.holder();
            QCOMPARE(h.role, LockHolder::Window);
            QCOMPARE(h.pid, QCoreApplication::applicationPid());
            QVERIFY(h.running);
            QCOMPARE(h.busName, QStringLiteral("org.example.mousecfg"));
            QCOMPARE(h.busAddress, QStringLiteral("unix:path=/run/bus"));
            QVERIFY(h.ready);
        }
        // Released: the next one takes it, and the record says no one.
        first.unlock();
        SingleInstance next(m_dir.path(), kName, Mode::Writer);
        QCOMPARE(next.holder().role, LockHolder::Unknown);
        QVERIFY(next.tryLock());
        QCOMPARE(next.holder().role, LockHolder::Writer);
    }

    void differentProductsRunSideBySide()
    {
        SingleInstance a(m_dir.path(), QStringLiteral("ALPHA Wireless Gaming Mouse Mutex1"), Mode::Window);
        SingleInstance b(m_dir.path(), QStringLiteral("BETA Wireless Gaming Mouse Mutex1"), Mode::Window);
        QVERIFY(a.tryLock());
        QVERIFY(b.tryLock());
        QVERIFY(a.path() != b.path());
    }

    // Readers share the lock with each other; an exclusive holder waits for
    // them instead of being turned away.
    void readersShareAndAWriterWaitsForThem()
    {
        SingleInstance reader(m_dir.path(), kName, Mode::Reader);
        QVERIFY(reader.tryLock());
        QProcess *otherReader = holder(m_dir.path(), "reader", 400);
        QCOMPARE(otherReader->readLine(), QByteArray("held\n"));
        reader.unlock();

        SingleInstance writer(m_dir.path(), kName, Mode::Writer);
        QVERIFY(!writer.tryLock());
        QCOMPARE(writer.holder().role, LockHolder::Unknown);   // readers leave no record
        QElapsedTimer clock;
        clock.start();
        QVERIFY(writer.waitForLock(10000));
        QVERIFY(writer.isOwner());
        QVERIFY(otherReader->waitForFinished(10000));
        delete otherReader;

        // While the writer holds it, a reader is refused and learns it is a writer.
        SingleInstance late(m_dir.path(), kName, Mode::Reader);
        QVERIFY(!late.tryLock());
        QCOMPARE(late.holder().role, LockHolder::Writer);
        QVERIFY(!late.waitForLock(200));
    }

    void waitingEndsWhenTheCallerSaysSo()
    {
        QProcess *window = holder(m_dir.path(), "window");
        QCOMPARE(window->readLine(), QByteArray("held\n"));
        SingleInstance writer(m_dir.path(), kName, Mode::Writer);
        QElapsedTimer clock;
        clock.start();
        LockHolder seen;
        QVERIFY(!writer.waitForLock(30000, [&seen](const LockHolder &h) {
            seen = h;
            return h.role == LockHolder::Window;
        }));
        QVERIFY(clock.elapsed() < 20000);
        QCOMPARE(seen.pid, window->processId());
        QCOMPARE(seen.busName, QStringLiteral("org.example.mousecfg.Helper"));
        end(window);
    }

    // A holder killed in any way leaves its file behind, with its record or
    // empty: neither blocks the next start.
    void aLockLeftByAKillDoesNotBlock_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("emptied");
        QTest::newRow("window") << QByteArray("window") << false;
        QTest::newRow("writer") << QByteArray("writer") << false;
        QTest::newRow("empty file") << QByteArray("writer") << true;
    }

    void aLockLeftByAKillDoesNotBlock()
    {
        QFETCH(QByteArray, mode);
        QFETCH(bool, emptied);
        QProcess *p = holder(m_dir.path(), mode.constData());
        QCOMPARE(p->readLine(), QByteArray("held\n"));
        SingleInstance probe(m_dir.path(), kName, Mode::Window);
        QVERIFY(!probe.tryLock());
        end(p);
        QVERIFY(QFile::exists(probe.path()));
        if (emptied)
            QVERIFY(QFile(probe.path()).resize(0));
        else
            QVERIFY(QFile(probe.path()).size() > 0);
        QCOMPARE(probe.holder().role, LockHolder::Unknown);   // the record names a process that is gone
        QVERIFY(probe.tryLock());
    }

    // Files as older versions or a crash left them: an empty file, a QLockFile
    // record of a process that is gone, a record of ours whose process id was
    // given to another program since.
    void oldAndStaleRecordsDoNotBlock_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("QLockFile of a gone process") << QByteArray("999999\nmousecfg\nhost\n");
        QTest::newRow("pid reused") << ("pid=" + QByteArray::number(::getppid()) + "\nstart=1\nrole=window\n");
        QTest::newRow("garbage") << QByteArray("\x01\x02=\n=\npid=\n", 12);
    }

    void oldAndStaleRecordsDoNotBlock()
    {
        QFETCH(QByteArray, content);
        SingleInstance lock(m_dir.path(), kName, Mode::Window);
        QFile file(lock.path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QCOMPARE(lock.holder().role, LockHolder::Unknown);
        QVERIFY(lock.tryLock());
    }

    // No lock can be made: refused with the reason, never run unlocked.
    void aLockThatCannotBeMadeRefusesWithItsReason()
    {
        const QString path = SingleInstance::lockPathFor(m_dir.path(), kName);
        // A link planted where the file goes.
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("target")), path));
        SingleInstance linked(m_dir.path(), kName, Mode::Window);
        QVERIFY(!linked.tryLock());
        QVERIFY2(linked.error().contains(path), qPrintable(linked.error()));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("target"))));
        QFile::remove(path);

        // A folder in its place.
        QVERIFY(QDir().mkpath(path));
        SingleInstance folder(m_dir.path(), kName, Mode::Writer);
        QVERIFY(!folder.tryLock());
        QVERIFY(!folder.error().isEmpty());
        QVERIFY(!folder.waitForLock(5000));
        QDir(path).removeRecursively();

        // A settings folder that cannot be made (a file is in its way).
        QFile blocker(m_dir.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SingleInstance nowhere(blocker.fileName() + QStringLiteral("/Configs"), kName, Mode::Window);
        QVERIFY(!nowhere.tryLock());
        QVERIFY2(nowhere.error().startsWith(QStringLiteral("The folder")), qPrintable(nowhere.error()));
    }

    void hostileProductNamesStayInTheFolder()
    {
        const QString path = SingleInstance::lockPathFor(m_dir.path(),
                                                         QStringLiteral("../../etc/passwd Wireless Gaming Mouse Mutex1"));
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(m_dir.path()).absoluteFilePath());
        QVERIFY(!path.contains(QLatin1String("..")));
    }

    // The lock's place does not follow the environment: another runtime or
    // temporary folder finds the same lock.
    void theEnvironmentDoesNotMoveTheLock()
    {
        SingleInstance first(m_dir.path(), kName, Mode::Window);
        QVERIFY(first.tryLock());
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray tmp = qgetenv("TMPDIR");
        QTemporaryDir other;
        qputenv("XDG_RUNTIME_DIR", other.path().toLocal8Bit());
        qputenv("TMPDIR", other.path().toLocal8Bit());
        SingleInstance second(m_dir.path(), kName, Mode::Writer);
        const bool taken = second.tryLock();
        qputenv("XDG_RUNTIME_DIR", runtime);
        qputenv("TMPDIR", tmp);
        QVERIFY(!taken);
    }

    // The display's socket folder: the session's runtime folder when it is
    // private, else one of this user's own in the temporary folder; one that
    // someone else made first is passed over for a fresh private one.
    void runtimeFolderIsAlwaysPrivate_data()
    {
        QTest::addColumn<QByteArray>("runtime");
        QTest::addColumn<bool>("foreignTempFolder");
        QTest::newRow("unset") << QByteArray() << false;
        QTest::newRow("relative") << QByteArray("run/user") << false;
        QTest::newRow("missing") << QByteArray("/nonexistent/mousecfg-runtime") << false;
        QTest::newRow("open to everyone") << QByteArray("/tmp") << false;
        QTest::newRow("temp name taken by another user") << QByteArray() << true;
    }

    void runtimeFolderIsAlwaysPrivate()
    {
        QFETCH(QByteArray, runtime);
        QFETCH(bool, foreignTempFolder);
        QTemporaryDir tmp;
        const QString own = tmp.path() + QStringLiteral("/mousecfg-") + QString::number(::getuid());
        if (foreignTempFolder) {
            if (::getuid() != 0)
                QSKIP("making a folder of another user needs root");
            QVERIFY(QDir().mkpath(own));
            QVERIFY(::chown(QFile::encodeName(own).constData(), 65534, 65534) == 0);
            QVERIFY(::chmod(QFile::encodeName(own).constData(), 0777) == 0);
        }
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", tmp.path().toLocal8Bit());
        if (runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtime);
        const QString folder = platform::privateRuntimeFolder();
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("TMPDIR", savedTmp);
        if (foreignTempFolder)
            QVERIFY2(folder.startsWith(own + QLatin1Char('-')), qPrintable(folder));
        else
            QCOMPARE(folder, own);
        QVERIFY(platform::isPrivateFolder(folder));
        struct stat st;
        QVERIFY(::lstat(QFile::encodeName(own).constData(), &st) == 0);
        QCOMPARE(st.st_uid, foreignTempFolder ? uid_t(65534) : ::getuid());   // left as it was found
    }
};

int main(int argc, char **argv)
{
    if (argc > 3 && std::strcmp(argv[1], "--hold") == 0)
        return holdLock(argc, argv);
    QCoreApplication app(argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"

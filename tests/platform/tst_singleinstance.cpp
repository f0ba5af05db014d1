#include "platform/singleinstance.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using platform::SingleInstance;

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void secondCopyOfTheSameProductIsRefused()
    {
        const QString name = QStringLiteral("TESTMOUSE %1 Wireless Gaming Mouse Mutex1").arg(QCoreApplication::applicationPid());
        SingleInstance first(name);
        QVERIFY(first.isOwner());
        SingleInstance second(name);
        QVERIFY(!second.isOwner());
    }

    void differentProductsRunSideBySide()
    {
        const QString suffix = QStringLiteral(" Wireless Gaming Mouse Mutex1");
        SingleInstance a(QStringLiteral("ALPHA%1").arg(QCoreApplication::applicationPid()) + suffix);
        SingleInstance b(QStringLiteral("BETA%1").arg(QCoreApplication::applicationPid()) + suffix);
        QVERIFY(a.isOwner());
        QVERIFY(b.isOwner());
    }

    void nameIsFreedWhenTheOwnerEnds()
    {
        const QString name = QStringLiteral("FREED%1").arg(QCoreApplication::applicationPid());
        { SingleInstance first(name); QVERIFY(first.isOwner()); }
        SingleInstance again(name);
        QVERIFY(again.isOwner());
    }

    void lockOfACrashedCopyDoesNotBlock()
    {
        // A lock file naming a process that no longer exists, as a crash leaves it.
        const QString name = QStringLiteral("CRASHED%1").arg(QCoreApplication::applicationPid());
        QProcess gone;
        gone.start(QStringLiteral("true"), QStringList());
        QVERIFY(gone.waitForFinished());
        const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
        QFile lock(SingleInstance::lockPathFor(name));
        QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(QByteArray::number(deadPid > 0 ? deadPid : 999999) + "\nmousecfg\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();

        SingleInstance next(name);
        QVERIFY(next.isOwner());
    }

    void hostileProductNamesStayInTheRuntimeFolder()
    {
        const QString path = SingleInstance::lockPathFor(QStringLiteral("../../etc/passwd Wireless Gaming Mouse Mutex1"));
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(SingleInstance::runtimeFolder()).absoluteFilePath());
        QVERIFY(!path.contains(QLatin1String("..")));
    }

    // Two users of one machine have two runtime folders: each runs a copy.
    void eachRuntimeFolderHoldsItsOwnCopy()
    {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        QTemporaryDir userA, userB;
        QVERIFY(QFile::setPermissions(userA.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::setPermissions(userB.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString name = QStringLiteral("SEATS%1 Wireless Gaming Mouse Mutex1").arg(QCoreApplication::applicationPid());

        qputenv("XDG_RUNTIME_DIR", userA.path().toLocal8Bit());
        QCOMPARE(QFileInfo(SingleInstance::lockPathFor(name)).absolutePath(), userA.path());
        SingleInstance first(name);
        QVERIFY(first.isOwner());
        SingleInstance again(name);
        QVERIFY(!again.isOwner());

        qputenv("XDG_RUNTIME_DIR", userB.path().toLocal8Bit());
        QCOMPARE(QFileInfo(SingleInstance::lockPathFor(name)).absolutePath(), userB.path());
        SingleInstance otherUser(name);
        QVERIFY(otherUser.isOwner());
        qputenv("XDG_RUNTIME_DIR", saved);
    }

    // Without a runtime folder (or with one others may enter) the lock lies
    // in a folder of this user's own under the temporary folder.
    void withoutARuntimeFolderAPrivateTempFolder_data()
    {
        QTest::addColumn<QByteArray>("runtime");
        QTest::newRow("unset") << QByteArray();
        QTest::newRow("relative") << QByteArray("run/user");
        QTest::newRow("missing") << QByteArray("/nonexistent/mousecfg-runtime");
        QTest::newRow("open to everyone") << QByteArray("/tmp");
    }

    void withoutARuntimeFolderAPrivateTempFolder()
    {
        QFETCH(QByteArray, runtime);
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtime);
        const QString folder = SingleInstance::runtimeFolder();
        qputenv("XDG_RUNTIME_DIR", saved);
        QCOMPARE(folder, QDir::tempPath() + QStringLiteral("/mousecfg-") + QString::number(::getuid()));
        const QFileInfo info(folder);
        QVERIFY(info.isDir());
        QCOMPARE(info.ownerId(), uint(::getuid()));
        QCOMPARE(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                       | QFile::WriteOther | QFile::ExeOther),
                 QFileDevice::Permissions());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"

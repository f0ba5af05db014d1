#include "platform/singleinstance.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

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

    void hostileProductNamesStayInTheTempFolder()
    {
        const QString path = SingleInstance::lockPathFor(QStringLiteral("../../etc/passwd Wireless Gaming Mouse Mutex1"));
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        QVERIFY(!path.contains(QLatin1String("..")));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"

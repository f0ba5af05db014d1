// What the build leaves for the program: the skin folder in the application
// directory and the pictures compiled into the program under the names it opens.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMovie>
#include <QtTest>

class TestBuild : public QObject {
    Q_OBJECT

private slots:
    void embeddedPicturesOpenByTheirNames()
    {
        QMovie busy(QStringLiteral(":/skin/loading.gif"));
        QVERIFY(busy.isValid());
        QVERIFY(busy.frameCount() >= 12);
        QVERIFY(busy.jumpToFrame(0));
        QCOMPARE(busy.currentImage().size(), QSize(128, 128));
        QVERIFY(!QImage(QStringLiteral(":/yes_Btn")).isNull());
        QVERIFY(!QImage(QStringLiteral(":/no_Btn")).isNull());
    }

    void skinFolderIsInTheApplicationDirectory()
    {
        const QByteArray appDir = qgetenv("MOUSECFG_APPDIR");
        QVERIFY2(!appDir.isEmpty(), "MOUSECFG_APPDIR is not set");
        const QDir skin(QString::fromLocal8Bit(appDir) + QStringLiteral("/skin"));
        for (const char *name : {"cfgMainback.png", "bat1.png", "bat2.png", "icon.ico", "dlg.png", "warn.png",
                                 "dongle2.png", "process.png", "tabbutton-1.png", "mouse/VELKOR/Mouse.png",
                                 "mouse/VELKOR/Mouse_Side.png", "mouse/VELKOR/mouse_8.png",
                                 "mouse/VELKOR/layout.ini"})
            QVERIFY2(QFile::exists(skin.filePath(QString::fromLatin1(name))), name);
        QCOMPARE(QImage(skin.filePath(QStringLiteral("cfgMainback.png"))).size(), QSize(999, 640));
    }
};

QTEST_MAIN(TestBuild)
#include "tst_build.moc"

// Where the program finds its read-only data and its on-screen display: beside
// the executable (build folder, portable copy) or in the installed layout
// relative to it, without any environment variable.
#include "profile/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPaths : public QObject {
    Q_OBJECT

    static void touch(const QString &path)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[PROFILE]\n");
    }

private slots:
    void dataFolder_data()
    {
        QTest::addColumn<QStringList>("files");      // made below the prefix
        QTest::addColumn<QString>("expectedData");   // relative to the prefix
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("expectedOsd");

        QTest::newRow("portable copy") << QStringList{"bin/DefaultProfile.bin", "bin/OSD"} << "bin" << false
                                       << "bin/OSD";
        QTest::newRow("installed") << QStringList{"share/mousecfg/DefaultProfile.bin", "libexec/mousecfg/OSD"}
                                   << "share/mousecfg" << true << "libexec/mousecfg/OSD";
        QTest::newRow("a copy beside wins over the installed data")
            << QStringList{"bin/DefaultProfile.bin", "share/mousecfg/DefaultProfile.bin", "bin/OSD",
                           "libexec/mousecfg/OSD"}
            << "bin" << false << "bin/OSD";
        QTest::newRow("installed data, display beside") << QStringList{"share/mousecfg/DefaultProfile.bin", "bin/OSD"}
                                                        << "share/mousecfg" << true << "bin/OSD";
        QTest::newRow("nothing anywhere: looked for beside") << QStringList{} << "bin" << false << "bin/OSD";
        QTest::newRow("an empty share folder is not data") << QStringList{"share/mousecfg/skin/icon.png"} << "bin"
                                                           << false << "bin/OSD";
    }

    void dataFolder()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, expectedData);
        QFETCH(bool, installed);
        QFETCH(QString, expectedOsd);
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("bin"))));
        for (const QString &f : files)
            touch(prefix.filePath(f));

        const InstallLayout layout = installLayoutFor(prefix.filePath(QStringLiteral("bin")));
        QCOMPARE(layout.dataDir, QDir::cleanPath(prefix.filePath(expectedData)));
        QCOMPARE(layout.installed, installed);
        QCOMPARE(layout.osdProgram, QDir::cleanPath(prefix.filePath(expectedOsd)));
    }

    // What an export writes when the user typed a name into the save dialog.
    void exportNamesGetTheFilterExtension_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");
        const QString prof = QStringLiteral("Profile File(*.prof)");
        const QString conf = QStringLiteral("Config File(*.conf)");
        QTest::newRow("no extension") << "/home/u/mine" << prof << "/home/u/mine.prof";
        QTest::newRow("configuration") << "/home/u/all" << conf << "/home/u/all.conf";
        QTest::newRow("macro") << "/home/u/combo" << QStringLiteral("Macro File(*.MSMACRO)") << "/home/u/combo.MSMACRO";
        QTest::newRow("its own extension") << "/home/u/mine.prof" << prof << "/home/u/mine.prof";
        QTest::newRow("another extension is the user's choice") << "/home/u/mine.bak" << prof << "/home/u/mine.bak";
        QTest::newRow("a dot in a folder name") << "/home/u.v/mine" << prof << "/home/u.v/mine.prof";
        QTest::newRow("trailing dot") << "/home/u/mine." << prof << "/home/u/mine.prof";
        QTest::newRow("hidden name") << "/home/u/.mine" << prof << "/home/u/.mine.prof";
        QTest::newRow("cancelled") << "" << prof << "";
        QTest::newRow("a filter without extension") << "/home/u/mine" << QStringLiteral("All files (*)") << "/home/u/mine";
        QTest::newRow("spaces and non-Latin names") << "/home/u/我的 配置" << conf << "/home/u/我的 配置.conf";
    }

    void exportNamesGetTheFilterExtension()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QCOMPARE(withFilterSuffix(typed, filter), written);
    }

    void aFolderNamedByHandCarriesItsOwnDisplay()
    {
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("OSD")));
        setApplicationDir(dir.path());
        QCOMPARE(osdProgramPath(), QDir::cleanPath(dir.filePath(QStringLiteral("OSD"))));
        setApplicationDir(QString());
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"

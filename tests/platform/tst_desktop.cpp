// What the program leaves with the desktop: its autostart entry, the
// notifications it sends, and whether a program file can run here.

#include "platform/autostart.h"
#include "platform/desktopnotifier.h"
#include "platform/programs.h"
#include "platform/sessionbus.h"
#include "tests/common/fakenotifications.h"
#include "tests/common/privatebus.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace platform;

class TestDesktop : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;

    static QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
    }

    // Off by default; on writes an entry that starts the program hidden, off
    // removes it; an entry the desktop's settings switched off reads as off.
    void autostartEntry()
    {
        const QString id = QStringLiteral("org.example.mousecfg");
        const QString path = autostartEntryPath(id);
        QCOMPARE(path, m_home.filePath(QStringLiteral("config/autostart/org.example.mousecfg.desktop")));
        QVERIFY(!autostartEnabled(id));

        QVERIFY(setAutostart(id, true, QStringLiteral("/opt/mouse cfg/bin/mousecfg"), {QStringLiteral("--hidden")}));
        QVERIFY(autostartEnabled(id));
        const QByteArray entry = fileBytes(path);
        QVERIFY2(entry.startsWith("[Desktop Entry]\nType=Application\n"), entry.constData());
        QVERIFY2(entry.contains("\nExec=\"/opt/mouse cfg/bin/mousecfg\" --hidden\n"), entry.constData());
        QVERIFY(entry.contains("\nX-GNOME-Autostart-enabled=true\n"));

        QFile edited(path);
        QVERIFY(edited.open(QIODevice::Append));
        edited.write("Hidden=true\n");
        edited.close();
        QVERIFY(!autostartEnabled(id));

        QVERIFY(setAutostart(id, false, QString(), {}));
        QVERIFY(!QFile::exists(path));
        QVERIFY(setAutostart(id, false, QString(), {}));   // already off
    }

    void execArgumentsAreQuoted_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << QStringLiteral("/usr/bin/mousecfg") << QStringLiteral("/usr/bin/mousecfg");
        QTest::newRow("space") << QStringLiteral("/a b/m") << QStringLiteral("\"/a b/m\"");
        QTest::newRow("quote") << QStringLiteral("/a\"b") << QStringLiteral("\"/a\\\\\"b\"");
        QTest::newRow("dollar") << QStringLiteral("/$HOME") << QStringLiteral("\"/\\\\$HOME\"");
        QTest::newRow("backslash") << QStringLiteral("/a\\b") << QStringLiteral("\"/a\\\\\\\\b\"");
        QTest::newRow("field code") << QStringLiteral("/100%") << QStringLiteral("\"/100%%\"");
        QTest::newRow("empty") << QString() << QStringLiteral("\"\"");
    }

    void execArgumentsAreQuoted()
    {
        QFETCH(QString, argument);
        QFETCH(QString, quoted);
        QCOMPARE(quotedExecArgument(argument), quoted);
    }

    void programsThatCanRun_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("executable");
        QTest::addColumn<bool>("runs");
        QTest::newRow("native program") << QByteArray("\x7f" "ELF\x02\x01\x01", 7) << true << true;
        QTest::newRow("script") << QByteArray("#!/bin/sh\nexit 0\n") << true << true;
        QTest::newRow("not executable") << QByteArray("#!/bin/sh\n") << false << false;
        QTest::newRow("Windows program, no handler") << QByteArray("MZ\x90\x00", 4) << true << false;
        QTest::newRow("text") << QByteArray("hello") << true << false;
    }

    void programsThatCanRun()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, executable);
        QFETCH(bool, runs);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("U400.exe"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        if (executable)
            QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
        // No handlers: a folder without any.
        QCOMPARE(canRunProgram(path, dir.filePath(QStringLiteral("none"))), runs);
        QVERIFY(!canRunProgram(dir.filePath(QStringLiteral("missing.exe"))));
    }

    // A kernel handler for Windows programs (Wine's binfmt entry) makes them runnable.
    void aBinfmtHandlerTakesWindowsPrograms()
    {
        QTemporaryDir dir;
        QFile handler(dir.filePath(QStringLiteral("binfmt/wine")));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("binfmt"))));
        QVERIFY(handler.open(QIODevice::WriteOnly));
        handler.write("enabled\ninterpreter /usr/bin/wine\nflags: \noffset 0\nmagic 4d5a\n");
        handler.close();
        QFile program(dir.filePath(QStringLiteral("U400.exe")));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("MZ\x90\x00", 4);
        program.close();
        QVERIFY(program.setPermissions(program.permissions() | QFile::ExeOwner));
        QVERIFY(canRunProgram(program.fileName(), dir.filePath(QStringLiteral("binfmt"))));
        // Switched off: no longer.
        QVERIFY(handler.open(QIODevice::WriteOnly | QIODevice::Truncate));
        handler.write("disabled\noffset 0\nmagic 4d5a\n");
        handler.close();
        QVERIFY(!canRunProgram(program.fileName(), dir.filePath(QStringLiteral("binfmt"))));
    }

    // Notify as the notification server sees it; a replacing one carries the
    // id the server gave the one before.
    void notificationsReachTheServer()
    {
        PrivateBus bus;
        if (!bus.isUp())
            QSKIP("dbus-daemon is not installed");
        FakeNotifications server;
        QVERIFY(server.attach(bus.connect(QStringLiteral("server"))));
        DesktopNotifier notifier(bus.connect(QStringLiteral("sender")), nullptr);
        QSignalSpy answered(&notifier, &DesktopNotifier::answered);
        DesktopNotifier::Notification n;
        n.summary = QStringLiteral("Mouse battery low");
        n.body = QStringLiteral("VELKOR has 20% battery left.");
        QVERIFY(notifier.notify(n));
        QTRY_COMPARE(answered.count(), 1);
        QCOMPARE(server.calls.size(), 1);
        QCOMPARE(server.calls.first().summary, n.summary);
        QCOMPARE(server.calls.first().body, n.body);
        QCOMPARE(server.calls.first().icon, QStringLiteral("mousecfg"));
        QCOMPARE(server.calls.first().replacesId, 0u);
        QCOMPARE(server.calls.first().timeout, -1);
        QCOMPARE(server.calls.first().hints.value(QStringLiteral("desktop-entry")).toString(),
                 QStringLiteral("org.example.mousecfg"));
        const quint32 first = notifier.lastId();
        QVERIFY(first != 0);

        n.replacePrevious = true;
        QVERIFY(notifier.notify(n));
        QTRY_COMPARE(server.calls.size(), 2);
        QCOMPARE(server.calls.at(1).replacesId, first);
    }

    void objectPaths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("program") << QStringLiteral("org.example.mousecfg") << QStringLiteral("/org/example/mousecfg");
        QTest::newRow("demo") << QStringLiteral("org.example.mousecfg.Demo") << QStringLiteral("/org/example/mousecfg/Demo");
        QTest::newRow("dash") << QStringLiteral("org.example.mouse-cfg") << QStringLiteral("/org/example/mouse_cfg");
    }

    void objectPaths()
    {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(objectPathFor(name), path);
    }
};

QTEST_GUILESS_MAIN(TestDesktop)
#include "tst_desktop.moc"

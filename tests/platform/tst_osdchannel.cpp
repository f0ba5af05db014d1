#include "osd/osdserver.h"
#include "platform/notificationosd.h"
#include "platform/osdchannel.h"
#include "platform/osdhandoff.h"
#include "platform/runtimefolder.h"
#include "tests/common/fakenotifications.h"
#include "tests/common/privatebus.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {
quint16 unitAt(const QByteArray &b, int offset)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(b.constData() + offset));
}
qint32 intAt(const QByteArray &b, int offset)
{
    return qFromLittleEndian<qint32>(reinterpret_cast<const uchar *>(b.constData() + offset));
}

// A display that is there or not, and keeps what it was sent.
class FakeChannel : public OsdChannel {
public:
    bool present = false;
    QList<QByteArray> sent;
    int looks = 0;
    bool windowExists() override
    {
        ++looks;
        return present;
    }
    qint32 send(const QByteArray &payload) override
    {
        sent << payload;
        return 1;
    }
};

// A child process running as user "nobody" (65534) that only makes raw
// system calls; -1 when it cannot be made.
template <typename Body>
pid_t asNobody(Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(90);
        ::_exit(body());
    }
    return pid;
}

int unixSocket(const QString &path, sockaddr_un *address)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    *address = sockaddr_un();
    address->sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    ::strncpy(address->sun_path, native.constData(), sizeof address->sun_path - 1);
    return fd;
}

QByteArray message(const QString &text, int duration = 1500)
{
    OsdMessage m;
    m.text = text;
    m.duration = duration;
    m.colour = QColor(255, 125, 0);
    return encodeOsdMessage(m);
}
} // namespace

class TestOsdChannel : public QObject {
    Q_OBJECT
private slots:
    void payloadLayout()
    {
        OsdMessage m;
        m.text = QStringLiteral("DPI 2:800");
        m.colour = QColor(255, 125, 0);
        const QByteArray b = encodeOsdMessage(m);
        QCOMPARE(b.size(), 1044);
        QCOMPARE(unitAt(b, 0), quint16('D'));
        QCOMPARE(unitAt(b, 16), quint16('0'));
        QCOMPARE(unitAt(b, 18), quint16(0));  // terminator
        QCOMPARE(intAt(b, 512), 0);
        QCOMPARE(intAt(b, 516), 1500);
        QCOMPARE(intAt(b, 520), 0);
        QCOMPARE(quint32(intAt(b, 524)), 0x00007DFFu);  // 0x00BBGGRR
        QCOMPARE(intAt(b, 528), 60);
        QCOMPARE(unitAt(b, 532), quint16('A'));
        QCOMPARE(unitAt(b, 540), quint16('l'));
        QCOMPARE(unitAt(b, 542), quint16(0));
        QCOMPARE(b.mid(544), QByteArray(1044 - 544, '\0'));
    }

    void longTextIsCutTo255CharactersAndKeepsItsTerminator()
    {
        OsdMessage m;
        m.text = QString(400, QLatin1Char('x'));
        const QByteArray b = encodeOsdMessage(m);
        QCOMPARE(unitAt(b, 2 * 254), quint16('x'));
        QCOMPARE(unitAt(b, 2 * 255), quint16(0));
        QCOMPARE(b.mid(510, 2), QByteArray(2, '\0'));
        OsdMessage back;
        QVERIFY(decodeOsdMessage(b, back));
        QCOMPARE(back.text.size(), 255);
    }

    void nonLatinTextRoundTrips()
    {
        OsdMessage m;
        m.text = QStringLiteral("回报率 1000 HZ");
        m.colour = QColor(0, 0, 255);
        OsdMessage back;
        QVERIFY(decodeOsdMessage(encodeOsdMessage(m), back));
        QCOMPARE(back.text, m.text);
        QCOMPARE(back.colour, m.colour);
        QCOMPARE(back.font, QStringLiteral("Arial"));
        QVERIFY(!decodeOsdMessage(QByteArray(1043, '\0'), back));
    }

    void displayProgramReceivesAndAnswers()
    {
        const QString title = QStringLiteral("mousecfg test OSD %1").arg(QCoreApplication::applicationPid());
        LocalSocketOsdChannel channel(title);
        QVERIFY(!channel.windowExists());
        QCOMPARE(channel.send(encodeOsdMessage(OsdMessage())), 0);

        QThread thread;
        OsdServer *server = new OsdServer;
        server->moveToThread(&thread);
        QList<OsdMessage> received;
        QMutex mutex;
        connect(server, &OsdServer::messageReceived, server, [&](const OsdMessage &m) {
            QMutexLocker lock(&mutex);
            received << m;
        }, Qt::DirectConnection);
        thread.start();
        bool listening = false;
        QMetaObject::invokeMethod(server, [&] { listening = server->listen(title); }, Qt::BlockingQueuedConnection);
        QVERIFY(listening);

        QVERIFY(channel.windowExists());
        OsdMessage m;
        m.text = QStringLiteral("500 HZ");
        QCOMPARE(channel.send(encodeOsdMessage(m)), 1);
        const auto count = [&] {
            QMutexLocker lock(&mutex);
            return received.size();
        };
        QTRY_COMPARE(count(), 1);
        {
            QMutexLocker lock(&mutex);
            QCOMPARE(received.first().text, QStringLiteral("500 HZ"));
        }

        // A second display for the same title refuses to start.
        OsdServer second;
        QVERIFY(!second.listen(title));

        QMetaObject::invokeMethod(server, [server] { delete server; }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }

    // The socket lies in the user's private runtime folder, never a name in
    // the shared temporary folder that another user could take first.
    void theSocketIsInThePrivateRuntimeFolder()
    {
        const QString path = osdServerName(QStringLiteral("BLMX Wireless Mouse OSD"));
        QVERIFY(isPrivateFolder(QFileInfo(path).absolutePath()));
        QCOMPARE(QFileInfo(path).absolutePath(), privateRuntimeFolder());
        QVERIFY(path != osdServerName(QStringLiteral("BLMX Wireless Mouse OSD 2")));
        // The program hands its choice to the display it starts; a path in a
        // folder others may enter is not taken.
        const QByteArray saved = qgetenv("MOUSECFG_OSD_SOCKET");
        qputenv("MOUSECFG_OSD_SOCKET", "/tmp/planted-socket");
        QCOMPARE(osdSocketFromEnvironment(QStringLiteral("BLMX Wireless Mouse OSD")), path);
        const QByteArray chosen = QFile::encodeName(privateRuntimeFolder() + QStringLiteral("/chosen"));
        qputenv("MOUSECFG_OSD_SOCKET", chosen);
        QCOMPARE(osdSocketFromEnvironment(QStringLiteral("BLMX Wireless Mouse OSD")), QFile::decodeName(chosen));
        qputenv("MOUSECFG_OSD_SOCKET", saved);
    }

    // A file left where the socket goes: no display is found and nothing
    // waits; the display replaces it when it starts.
    void aFileInPlaceOfTheSocketCostsNoTime()
    {
        const QString title = QStringLiteral("mousecfg planted OSD %1").arg(QCoreApplication::applicationPid());
        QFile planted(osdServerName(title));
        QVERIFY(planted.open(QIODevice::WriteOnly));
        planted.close();
        LocalSocketOsdChannel channel(title);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!channel.windowExists());
        QCOMPARE(channel.send(encodeOsdMessage(OsdMessage())), 0);
        QVERIFY(clock.elapsed() < 100);
        OsdServer server;
        QVERIFY(server.listen(title));
        QVERIFY(channel.windowExists());
    }

    // Another user's socket is not sent to, and another user's program
    // cannot show text on this user's display.
    void anotherUsersEndIsRefused()
    {
        if (::getuid() != 0)
            QSKIP("running a process as another user needs root");
        QTemporaryDir shared;
        QVERIFY(QFile::setPermissions(shared.path(), QFileDevice::Permissions(0x7777)));
        const QString foreignPath = shared.path() + QStringLiteral("/foreign");
        const pid_t listener = asNobody([&foreignPath] {
            sockaddr_un address;
            const int fd = unixSocket(foreignPath, &address);
            if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0)
                return 91;
            for (;;) {
                const int client = ::accept(fd, nullptr, nullptr);
                char buffer[1044];
                if (client >= 0 && ::read(client, buffer, sizeof buffer) > 0)
                    return 0;   // it got a message: the test sees the child end
            }
        });
        QVERIFY(listener > 0);
        QTRY_VERIFY(QFile::exists(foreignPath));
        LocalSocketOsdChannel toForeign(foreignPath, true);
        QVERIFY(!toForeign.windowExists());
        QCOMPARE(toForeign.send(encodeOsdMessage(OsdMessage())), 0);
        QTest::qWait(200);
        int status = 0;
        QCOMPARE(::waitpid(listener, &status, WNOHANG), 0);   // still waiting: nothing reached it
        ::kill(listener, SIGKILL);
        ::waitpid(listener, &status, 0);

        // Our display in a folder the other user may enter, for the test's sake.
        const QString ourPath = shared.path() + QStringLiteral("/ours");
        OsdServer server;
        QVERIFY(server.listenAt(ourPath));
        QVERIFY(QFile::setPermissions(ourPath, QFileDevice::Permissions(0x7777)));
        QList<OsdMessage> received;
        connect(&server, &OsdServer::messageReceived, this, [&received](const OsdMessage &m) { received << m; });
        const QByteArray payload = encodeOsdMessage(OsdMessage());
        const pid_t sender = asNobody([&ourPath, &payload] {
            sockaddr_un address;
            const int fd = unixSocket(ourPath, &address);
            if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
                return 92;
            if (::write(fd, payload.constData(), size_t(payload.size())) != payload.size())
                return 93;
            char answer[4];
            return ::read(fd, answer, sizeof answer) <= 0 ? 0 : 94;   // hung up on, no answer
        });
        QVERIFY(sender > 0);
        bool ended = false;
        QTRY_VERIFY(ended || (ended = ::waitpid(sender, &status, WNOHANG) == sender));
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(received.isEmpty());

        // This user's own message still arrives.
        LocalSocketOsdChannel ours(ourPath, true);
        QCOMPARE(ours.send(payload), 1);
        QTRY_COMPARE(received.size(), 1);
    }

    // The hand-off never waits: the display is started at most five times,
    // 500 ms apart, by a timer; a message asked for meanwhile replaces the
    // waiting one, and only the latest is shown.
    void handOffStartsTheDisplayWithoutWaiting()
    {
        FakeChannel channel;
        OsdHandOff handOff;
        QSignalSpy finished(&handOff, &OsdHandOff::finished);
        int starts = 0;
        QElapsedTimer clock;
        clock.start();
        handOff.show(&channel, "first", [&starts] { ++starts; });
        QVERIFY(clock.elapsed() < 100);
        QCOMPARE(starts, 1);
        QVERIFY(handOff.isWaiting());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(starts, 5);
        QCOMPARE(channel.looks, 6);
        QVERIFY(channel.sent.isEmpty());

        // The display comes up after the second start.
        finished.clear();
        starts = 0;
        handOff.show(&channel, "second", [&starts, &channel] {
            if (++starts == 2)
                channel.present = true;
        });
        handOff.show(&channel, "third", [&starts, &channel] {
            if (++starts == 2)
                channel.present = true;
        });
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(starts, 2);
        QCOMPARE(channel.sent, QList<QByteArray>{"third"});

        // Up already: sent at once.
        handOff.show(&channel, "fourth", [&starts] { ++starts; });
        QCOMPARE(channel.sent.last(), QByteArray("fourth"));
        QCOMPARE(starts, 2);
    }

    // A Wayland client's display: each message a transient notification in
    // the place of the one before, expiring as the display would.
    void notificationsReplaceEachOther()
    {
        PrivateBus bus;
        if (!bus.isUp())
            QSKIP("dbus-daemon is not installed");
        FakeNotifications server;
        QVERIFY(server.attach(bus.connect(QStringLiteral("notification-server"))));
        QVERIFY(bus.connect(QStringLiteral("notification-client")).isConnected());
        NotificationOsdChannel channel(QStringLiteral("notification-client"));
        QSignalSpy shown(&channel, &NotificationOsdChannel::shown);

        QVERIFY(channel.windowExists());
        QCOMPARE(channel.send(message(QStringLiteral("DPI 2:800"), 1500)), 1);
        QTRY_COMPARE(shown.count(), 1);
        QCOMPARE(server.calls.size(), 1);
        const FakeNotifications::Call first = server.calls.first();
        QCOMPARE(first.appName, QCoreApplication::applicationName());
        QCOMPARE(first.replacesId, 0u);
        QCOMPARE(first.icon, QStringLiteral("mousecfg"));
        QCOMPARE(first.summary, QStringLiteral("DPI 2:800"));
        QCOMPARE(first.body, QString());
        QVERIFY(first.actions.isEmpty());
        QCOMPARE(first.hints.value(QStringLiteral("transient")), QVariant(true));
        QCOMPARE(first.timeout, 1500);
        QCOMPARE(channel.notificationId(), first.id);

        QCOMPARE(channel.send(message(QStringLiteral("500 HZ"), 900)), 1);
        QTRY_COMPARE(shown.count(), 2);
        QCOMPARE(server.calls.size(), 2);
        QCOMPARE(server.calls.at(1).replacesId, first.id);
        QCOMPARE(server.calls.at(1).summary, QStringLiteral("500 HZ"));
        QCOMPARE(server.calls.at(1).timeout, 900);
    }

    // Messages sent while the server has not answered yet do not become
    // notifications of their own: the latest one follows, in its place.
    void messagesWhileTheServerAnswersWaitForIt()
    {
        PrivateBus bus;
        if (!bus.isUp())
            QSKIP("dbus-daemon is not installed");
        FakeNotifications server;
        QVERIFY(server.attach(bus.connect(QStringLiteral("notification-server"))));
        bus.connect(QStringLiteral("notification-client"));
        NotificationOsdChannel channel(QStringLiteral("notification-client"));
        QSignalSpy shown(&channel, &NotificationOsdChannel::shown);

        QCOMPARE(channel.send(message(QStringLiteral("DPI 1:400"))), 1);
        QCOMPARE(channel.send(message(QStringLiteral("DPI 2:800"))), 1);
        QCOMPARE(channel.send(message(QStringLiteral("DPI 3:1600"))), 1);
        QTRY_COMPARE(shown.count(), 2);
        QCOMPARE(server.calls.size(), 2);
        QCOMPARE(server.calls.at(0).summary, QStringLiteral("DPI 1:400"));
        QCOMPARE(server.calls.at(1).summary, QStringLiteral("DPI 3:1600"));
        QCOMPARE(server.calls.at(1).replacesId, server.calls.at(0).id);
    }

    // Without a notification server the message is dropped (and logged);
    // the next one, once a server is there, is shown.
    void aMissingServerLosesOnlyItsMessage()
    {
        PrivateBus bus;
        if (!bus.isUp())
            QSKIP("dbus-daemon is not installed");
        bus.connect(QStringLiteral("notification-client"));
        NotificationOsdChannel channel(QStringLiteral("notification-client"));
        QSignalSpy shown(&channel, &NotificationOsdChannel::shown);
        QCOMPARE(channel.send(message(QStringLiteral("125 HZ"))), 1);
        QCOMPARE(channel.send(message(QStringLiteral("250 HZ"))), 1);   // waits for the first one's answer

        QTRY_VERIFY(!channel.isWaiting());   // both failed, nothing left over
        QCOMPARE(shown.count(), 0);

        FakeNotifications server;
        QVERIFY(server.attach(bus.connect(QStringLiteral("notification-server"))));
        QCOMPARE(channel.send(message(QStringLiteral("1000 HZ"))), 1);
        QTRY_COMPARE(shown.count(), 1);
        QCOMPARE(server.calls.size(), 1);
        QCOMPARE(server.calls.constFirst().summary, QStringLiteral("1000 HZ"));
        QCOMPARE(server.calls.constFirst().replacesId, 0u);

        // A payload that is no display message, or no bus, sends nothing.
        QCOMPARE(channel.send(QByteArray(12, '\0')), 0);
        NotificationOsdChannel nowhere(QStringLiteral("no-such-connection"));
        QCOMPARE(nowhere.send(message(QStringLiteral("125 HZ"))), 0);
    }
};

QTEST_GUILESS_MAIN(TestOsdChannel)
#include "tst_osdchannel.moc"

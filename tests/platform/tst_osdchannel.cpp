#include "osd/osdserver.h"
#include "platform/notificationosd.h"
#include "platform/osdchannel.h"
#include "tests/common/fakenotifications.h"
#include "tests/common/privatebus.h"

#include <QSignalSpy>
#include <QThread>
#include <QtEndian>
#include <QtTest>

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
        {
            QMutexLocker lock(&mutex);
            QCOMPARE(received.size(), 1);
            QCOMPARE(received.first().text, QStringLiteral("500 HZ"));
        }

        // A second display for the same title refuses to start.
        OsdServer second;
        QVERIFY(!second.listen(title));

        QMetaObject::invokeMethod(server, [server] { delete server; }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
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

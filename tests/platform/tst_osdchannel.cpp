#include "osd/osdserver.h"
#include "platform/osdchannel.h"

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
};

QTEST_GUILESS_MAIN(TestOsdChannel)
#include "tst_osdchannel.moc"

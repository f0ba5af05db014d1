// The window on a session bus of the test's own, against the simulated mouse:
// what a caller of the bus reads, hears and can do, and what the window and
// the mouse show afterwards.

#include "tests/app/windowtest.h"
#include "tests/common/fakenotifications.h"
#include "tests/common/privatebus.h"

#include "app/busservice.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "app/writestep.h"
#include "pages/performance/zeldpiwindow.h"
#include "pages/performance/zelsingledpi.h"
#include "pages/performance/zelreportrate.h"
#include "device/pollercontrol.h"
#include "device/sensors.h"
#include "platform/pointerspeed.h"
#include "platform/singleinstance.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/paths.h"
#include "profile/profileset.h"
#include "sim/simmouse.h"
#include "widgets/zelpushbutton.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QXmlStreamReader>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kName = QStringLiteral("org.example.mousecfg.Test");
const QString kPath = QStringLiteral("/org/example/mousecfg/Test");
const QString kMouse = QStringLiteral("org.example.mousecfg.Mouse");

sim::BatteryState batteryAt(quint8 low, quint8 high, quint8 charge = 0)
{
    sim::BatteryState b;
    b.low = low;
    b.high = high;
    b.charge = charge;
    b.status = 1;
    return b;
}

// The mouse answers with this battery at the poller's next query, which is
// asked for at once (it asks by itself every half minute).
void reportBattery(const sim::BatteryState &battery)
{
    sim::setBattery(battery);
    pollerControl()->stopPoller();
    pollerControl()->startPoller();
}

// The members of the mouse interface in an introspection document, one line
// each: "property Name type" or "method Name(in) -> (out)".
QStringList interfaceMembers(const QByteArray &xml)
{
    QStringList members;
    QXmlStreamReader reader(xml);
    bool inside = false;
    QString method, in, out;
    while (!reader.atEnd()) {
        reader.readNext();
        const QXmlStreamAttributes a = reader.attributes();
        if (reader.isStartElement() && reader.name() == QLatin1String("interface"))
            inside = a.value(QLatin1String("name")) == QLatin1String("org.example.mousecfg.Mouse");
        if (!inside)
            continue;
        if (reader.isStartElement() && reader.name() == QLatin1String("property")) {
            members << QStringLiteral("property %1 %2 %3")
                           .arg(a.value(QLatin1String("name")).toString(), a.value(QLatin1String("type")).toString(),
                                a.value(QLatin1String("access")).toString());
        } else if (reader.isStartElement() && reader.name() == QLatin1String("method")) {
            method = a.value(QLatin1String("name")).toString();
            in.clear();
            out.clear();
        } else if (reader.isStartElement() && reader.name() == QLatin1String("arg")) {
            (a.value(QLatin1String("direction")) == QLatin1String("out") ? out : in) += a.value(QLatin1String("type"));
        } else if (reader.isEndElement() && reader.name() == QLatin1String("method")) {
            members << QStringLiteral("method %1(%2) -> (%3)").arg(method, in, out);
        } else if (reader.isEndElement() && reader.name() == QLatin1String("interface")) {
            inside = false;
        }
    }
    members.sort();
    return members;
}

} // namespace

// Keeps every PropertiesChanged of the mouse interface.
class ChangeLog : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;
    // The last announced value of a property (invalid: never announced).
    QVariant last(const QString &name) const
    {
        for (int i = changes.size() - 1; i >= 0; --i) {
            if (changes.at(i).contains(name))
                return changes.at(i).value(name);
        }
        return QVariant();
    }
public slots:
    void changed(const QString &interface, const QVariantMap &values, const QStringList &)
    {
        if (interface == QLatin1String("org.example.mousecfg.Mouse"))
            changes << values;
    }
};

class TestBusService : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateBus> m_bus;
    QDBusConnection m_client{QString()};
    FakeNotifications m_notifications;
    ChangeLog m_log;
    QTemporaryDir *m_dir = nullptr;
    QStringList m_shown;
    QuietOsd m_osd;
    platform::RecordingPointerSpeed m_speed;
    std::unique_ptr<MousecfgWidget> m_window;
    std::unique_ptr<MousecfgBus> m_service;

    void startWindow()
    {
        m_window.reset(new MousecfgWidget);
        QTest::qWait(300);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isBatteryReported(), 5000);
        writeDiff(0);
        sim::resetCounters();
        m_service.reset(new MousecfgBus(m_window.get()));
        QVERIFY(m_service->serve(QDBusConnection::sessionBus(), kName));
        m_log.changes.clear();
    }

    // A call from another process's point of view: sent, and waited for while
    // the window goes on with its event loop.
    QDBusMessage call(const QString &method, const QVariantList &args = QVariantList(),
                      const QString &interface = kMouse)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(kName, kPath, interface, method);
        message.setArguments(args);
        QDBusPendingCall pending = m_client.asyncCall(message, 60000);
        if (!QTest::qWaitFor([&pending] { return pending.isFinished(); }, 60000))
            return QDBusMessage();
        return pending.reply();
    }

    QVariantMap properties()
    {
        const QDBusMessage reply =
            call(QStringLiteral("GetAll"), {kMouse}, QStringLiteral("org.freedesktop.DBus.Properties"));
        return qdbus_cast<QVariantMap>(reply.arguments().value(0));
    }

    static uint written(const QDBusMessage &reply) { return reply.arguments().value(0).toUInt(); }

private slots:
    void initTestCase()
    {
        m_bus.reset(new PrivateBus);
        if (!m_bus->isUp())
            QSKIP("dbus-daemon is not installed");
        // As the program calls itself (the notifications' sender).
        QCoreApplication::setApplicationName(QStringLiteral("mousecfg"));
        // Everything in this process that asks for the session bus gets this one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address().toUtf8());
        m_client = m_bus->connect(QStringLiteral("client"));
        QVERIFY(m_notifications.attach(m_bus->connect(QStringLiteral("notifications"))));
        QVERIFY(m_client.connect(kName, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"), &m_log,
                                 SLOT(changed(QString, QVariantMap, QStringList))));
        sim::installNotifier();
        platform::setPointerSpeedBackend(&m_speed);
    }

    void cleanupTestCase()
    {
        platform::setPointerSpeedBackend(nullptr);
        appServices() = AppServices();
    }

    void init()
    {
        AppServices &s = appServices();
        s.messageHook = [this](int, const QString &text) {
            m_shown << text;
            return 0;   // "No": a failed write is not tried again and again
        };
        s.startDetached = [](const QString &) { return true; };
        s.chooseFile = [](const QString &, const QString &, bool) { return QString(); };
        s.logicalDpi = [] { return 96.0; };
        s.trayAvailable = [] { return true; };
        s.osd = &m_osd;
        m_dir = new QTemporaryDir;
        setConfigsBase(m_dir->path());
        plugFreshMouse();
        g_mouseOff.store(false);
        m_shown.clear();
        m_notifications.calls.clear();
        startWindow();
    }

    void cleanup()
    {
        m_service.reset();
        m_window.reset();
        QTest::qWait(10);
        setConfigsBase(QString());
        delete m_dir;
        m_dir = nullptr;
    }

    void propertiesShowWhatTheWindowShows()
    {
        const QVariantMap p = properties();
        QCOMPARE(p.value(QStringLiteral("Connected")).toBool(), true);
        QCOMPARE(p.value(QStringLiteral("Model")).toString(), QStringLiteral("VELKOR"));
        QCOMPARE(p.value(QStringLiteral("ConnectionType")).toString(), QStringLiteral("receiver"));
        QCOMPARE(p.value(QStringLiteral("MouseOff")).toBool(), false);
        QCOMPARE(p.value(QStringLiteral("BatteryLevel")).toInt(), m_window->batteryLevelShown());
        QCOMPARE(p.value(QStringLiteral("BatteryLevel")).toInt(), 90);
        QCOMPARE(p.value(QStringLiteral("BatteryMillivolts")).toInt(), 4166);
        QCOMPARE(p.value(QStringLiteral("BatteryReport")).toByteArray(), QByteArray::fromHex("f20300"));
        QCOMPARE(p.value(QStringLiteral("Charging")).toBool(), false);
        QCOMPARE(p.value(QStringLiteral("ActiveSlot")).toInt(), 1);
        QCOMPARE(p.value(QStringLiteral("SlotNames")).toStringList(),
                 (QStringList{QStringLiteral("Profile 1"), QStringLiteral("Profile 2"), QStringLiteral("Profile 3"),
                              QStringLiteral("Profile 4"), QStringLiteral("Profile 5")}));
        const ProfileData &slot = workingSet().profiles[0];
        QCOMPARE(p.value(QStringLiteral("DpiStage")).toInt(), slot.dpi + 1);
        QCOMPARE(p.value(QStringLiteral("Dpi")).toInt(), sensorDpi(int(slot.stages[slot.dpi].x), sensorCode()));
        QCOMPARE(p.value(QStringLiteral("ReportRate")).toInt(), 1000);
        QCOMPARE(p.value(QStringLiteral("ReportedByMouse")).toBool(), false);
        QCOMPARE(p.value(QStringLiteral("InSync")).toBool(), true);
        // Each one alone, as busctl get-property asks.
        const QDBusMessage one = call(QStringLiteral("Get"), {kMouse, QStringLiteral("ReportRate")},
                                      QStringLiteral("org.freedesktop.DBus.Properties"));
        QCOMPARE(qdbus_cast<QDBusVariant>(one.arguments().value(0)).variant().toInt(), 1000);
    }

    // The interface description shipped with the program is the one served.
    void theShippedInterfaceIsTheOneServed()
    {
        QFile shipped(QStringLiteral(MOUSECFG_BUS_XML));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        const QStringList described = interfaceMembers(shipped.readAll());
        QCOMPARE(described.size(), 15 + 8);
        const QDBusMessage reply =
            call(QStringLiteral("Introspect"), {}, QStringLiteral("org.freedesktop.DBus.Introspectable"));
        QCOMPARE(interfaceMembers(reply.arguments().value(0).toString().toUtf8()), described);
    }

    // What the mouse reports reaches a listener of the bus as it happens.
    void changesOfTheMouseAreAnnounced()
    {
        reportBattery(batteryAt(0x0A, 0x03));   // 778 -> 3209 mV: 20 %
        QTRY_COMPARE_WITH_TIMEOUT(m_log.last(QStringLiteral("BatteryLevel")).toInt(), 20, 5000);
        QCOMPARE(m_log.last(QStringLiteral("BatteryMillivolts")).toInt(), 3209);
        QCOMPARE(properties().value(QStringLiteral("BatteryLevel")).toInt(), m_window->batteryLevelShown());

        reportBattery(batteryAt(0x0A, 0x03, 1));
        QTRY_COMPARE_WITH_TIMEOUT(m_log.last(QStringLiteral("Charging")).toBool(), true, 5000);

        sim::pushStatus(2, 1, 4, 0);   // slot 3, stage 2, 250 Hz from the mouse's own buttons
        QTRY_COMPARE_WITH_TIMEOUT(m_log.last(QStringLiteral("ActiveSlot")).toInt(), 3, 5000);
        QTRY_COMPARE(m_log.last(QStringLiteral("ReportRate")).toInt(), 250);
        QCOMPARE(m_log.last(QStringLiteral("ReportedByMouse")).toBool(), true);
        QCOMPARE(m_window->profileSlotButton()->text(), QStringLiteral("Mode 3"));
        // The mouse's own switch is followed by a quiet write of the slot's tables.
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isBusy(), 10000);

        sim::setMouseOff(true);
        reportBattery(sim::battery());
        QTRY_COMPARE_WITH_TIMEOUT(m_log.last(QStringLiteral("MouseOff")).toBool(), true, 5000);
        QCOMPARE(m_log.last(QStringLiteral("BatteryLevel")).toInt(), -1);
        sim::setMouseOff(false);

        sim::unplug(sim::Side::Receiver);
        QTRY_VERIFY_WITH_TIMEOUT(m_log.last(QStringLiteral("Connected")) == QVariant(false), 5000);
        QCOMPARE(m_log.last(QStringLiteral("ConnectionType")).toString(), QString());
        // Each change is announced once, not again with every poll.
        const int announced = m_log.changes.size();
        QTest::qWait(1500);
        QString seen;
        for (const QVariantMap &c : qAsConst(m_log.changes)) {
            for (auto it = c.constBegin(); it != c.constEnd(); ++it)
                seen += it.key() + QLatin1Char('=') + it.value().toString() + QLatin1Char(' ');
            seen += QLatin1String("| ");
        }
        QVERIFY2(m_log.changes.size() == announced, qPrintable(seen));
    }

    // Each method goes through the window's own flow: the window shows the
    // change and the mouse holds it.
    void methodsChangeTheWindowAndTheMouse()
    {
        // 1600 DPI on stage 2 of the active slot: index 31, as the slider puts it.
        QDBusMessage reply = call(QStringLiteral("SetDpi"), {0, 2, 1600});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(written(reply), uint(CHANGE_DPI));
        QCOMPARE(int(m_window->dpiPage()->profileData().stages[1].x), 31);
        QCOMPARE(m_window->dpiPage()->row(1)->xValue(), 31);
        QCOMPARE(int(workingSet().profiles[0].stages[1].x), 31);
        QCOMPARE(sim::block(sim::Block::Dpi).mid(7, 4), QByteArray::fromHex("1f001f00"));
        QCOMPARE(properties().value(QStringLiteral("InSync")).toBool(), true);

        reply = call(QStringLiteral("SetReportRate"), {0, 500});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(written(reply), uint(CHANGE_GENERAL));
        QCOMPARE(m_window->reportRatePage()->shownRate(), 2);
        QCOMPARE(int(workingSet().profiles[0].pollrate), 2);
        QCOMPARE(quint8(sim::block(sim::Block::Settings).at(11)), quint8(2));   // slot 1's rate
        QTRY_COMPARE(m_log.last(QStringLiteral("ReportRate")).toInt(), 500);

        // An edit in the window not yet applied: the mouse is behind.
        workingSet().profiles[0].scrollspeed = 7;
        QTest::mouseClick(m_window.get(), Qt::LeftButton);   // as the page's control was clicked
        QTRY_VERIFY(m_log.last(QStringLiteral("InSync")) == QVariant(false));
        reply = call(QStringLiteral("Apply"), {false});
        QCOMPARE(written(reply), uint(CHANGE_GENERAL));
        QTRY_COMPARE(m_log.last(QStringLiteral("InSync")).toBool(), true);
        reply = call(QStringLiteral("Apply"), {false});
        QCOMPARE(written(reply), 0u);
        reply = call(QStringLiteral("Apply"), {true});
        QCOMPARE(written(reply), uint(CHANGE_ALL));

        reply = call(QStringLiteral("SelectSlot"), {2});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(m_window->profileSlotButton()->text(), QStringLiteral("Mode 2"));
        QCOMPARE(sim::activeProfile(), 1);
        QCOMPARE(properties().value(QStringLiteral("ActiveSlot")).toInt(), 2);

        // Another slot: its record and file take the value; the page stays
        // with the active slot.
        reply = call(QStringLiteral("SetReportRate"), {4, 125});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(int(workingSet().profiles[3].pollrate), 8);
        QCOMPARE(m_window->reportRatePage()->shownRate(), int(workingSet().profiles[1].pollrate));
        QVERIFY(m_shown.isEmpty());
    }

    void filesThroughTheBus()
    {
        const QString conf = m_dir->filePath(QStringLiteral("all.conf"));
        QCOMPARE(call(QStringLiteral("ExportConfiguration"), {conf}).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(QSettings(conf, QSettings::IniFormat).value(QStringLiteral("MouseName/Name")).toString(),
                 QStringLiteral("VELKOR"));
        const QString prof = m_dir->filePath(QStringLiteral("game.prof"));
        QCOMPARE(call(QStringLiteral("ExportProfile"), {prof, 1}).type(), QDBusMessage::ReplyMessage);
        QVERIFY(QFile::exists(prof));

        // Imported into slot 3: the library and the slot name follow.
        QDBusMessage reply = call(QStringLiteral("ImportProfile"), {prof, 3});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(properties().value(QStringLiteral("SlotNames")).toStringList().value(2), QStringLiteral("game"));
        QVERIFY(m_window->library().names().contains(QStringLiteral("game")));

        reply = call(QStringLiteral("ImportConfiguration"), {conf});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(m_window->currentPage(), int(MousecfgWidget::PageLighting));
        QVERIFY(m_shown.isEmpty());
    }

    // What the window would have said in a box comes back as the error, and
    // no box is shown to anyone.
    void refusalsAndFailuresAreErrorsWithTheWindowsTexts()
    {
        const QString prof = m_dir->filePath(QStringLiteral("other.prof"));
        QCOMPARE(call(QStringLiteral("ExportProfile"), {prof, 0}).type(), QDBusMessage::ReplyMessage);
        QSettings(prof, QSettings::IniFormat).setValue(QStringLiteral("MouseName/Name"), QStringLiteral("OTHER"));
        QDBusMessage reply = call(QStringLiteral("ImportProfile"), {prof, 0});
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), QStringLiteral("org.example.mousecfg.Error.Refused"));
        QCOMPARE(reply.errorMessage(), QStringLiteral("The file is not match current mouse!"));

        reply = call(QStringLiteral("SelectSlot"), {9});
        QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        reply = call(QStringLiteral("SetDpi"), {0, 1, 1625});
        QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        reply = call(QStringLiteral("ImportConfiguration"), {QStringLiteral("relative.conf")});
        QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));

        // The write fails: the window's text, no retry question.
        sim::failWrites(sim::ALWAYS);
        reply = call(QStringLiteral("SetReportRate"), {0, 250});
        sim::failWrites(0);
        QCOMPARE(reply.errorName(), QStringLiteral("org.example.mousecfg.Error.NotTaken"));
        QCOMPARE(reply.errorMessage(), QStringLiteral("Send data failed, please try again."));
        QCOMPARE(readDiff(), 1);

        // Asleep: saved, nothing sent.
        sim::setMouseOff(true);
        reportBattery(sim::battery());
        QTRY_VERIFY_WITH_TIMEOUT(g_mouseOff.load(), 5000);
        reply = call(QStringLiteral("SetReportRate"), {0, 500});
        QCOMPARE(reply.errorName(), QStringLiteral("org.example.mousecfg.Error.MouseOff"));
        QCOMPARE(reply.errorMessage(), QStringLiteral("Mouse is sleeping or not connected."));
        sim::setMouseOff(false);

        // No mouse at all: the edit is saved for the next write.
        sim::unplug(sim::Side::Receiver);
        QTRY_COMPARE_WITH_TIMEOUT(MousecfgWidget::listedMouseCount(), 0, 3000);
        m_shown.clear();
        reply = call(QStringLiteral("SetReportRate"), {0, 125});
        QCOMPARE(reply.errorName(), QStringLiteral("org.example.mousecfg.Error.NoMouse"));
        QCOMPARE(int(workingSet().profiles[0].pollrate), 8);
        QCOMPARE(readDiff(), 1);
        // Only the window's own no-mouse warning, which it shows for the unplug.
        for (const QString &text : qAsConst(m_shown))
            QCOMPARE(text, QStringLiteral("Dongle Disconnect!"));
    }

    // Calls that come together are done one after the other, in order.
    void callsAreDoneOneAtATime()
    {
        QDBusMessage first = QDBusMessage::createMethodCall(kName, kPath, kMouse, QStringLiteral("SetDpi"));
        first.setArguments({0, 1, 800});
        QDBusMessage second = QDBusMessage::createMethodCall(kName, kPath, kMouse, QStringLiteral("SetDpi"));
        second.setArguments({0, 1, 3200});
        QDBusPendingCall a = m_client.asyncCall(first, 60000);
        QDBusPendingCall b = m_client.asyncCall(second, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(a.isFinished() && b.isFinished(), 60000);
        QVERIFY(!a.isError());
        QVERIFY(!b.isError());
        QCOMPARE(int(workingSet().profiles[0].stages[0].x), 63);   // 3200 DPI, the later call
    }

    void activationBringsTheWindowBack()
    {
        m_window->show();
        m_window->controlButton(QStringLiteral("okButton"))->click();
        QVERIFY(m_window->isHidden());
        QCOMPARE(call(QStringLiteral("Activate"), {QVariantMap()}, QStringLiteral("org.freedesktop.Application")).type(),
                 QDBusMessage::ReplyMessage);
        QTRY_VERIFY(m_window->isVisible());

        m_window->showMinimized();
        QTRY_VERIFY(m_window->isMinimized());
        call(QStringLiteral("Activate"), {QVariantMap()}, QStringLiteral("org.freedesktop.Application"));
        QTRY_VERIFY(!m_window->isMinimized());
        QVERIFY(m_window->isVisible());
    }

    // A wireless mouse running low: one desktop notification per discharge.
    void lowBatteryNotifiesOncePerDischarge()
    {
        reportBattery(batteryAt(0x0A, 0x03));   // 20 %
        QTRY_COMPARE_WITH_TIMEOUT(m_notifications.calls.size(), 1, 5000);
        const FakeNotifications::Call n = m_notifications.calls.first();
        QCOMPARE(n.summary, QStringLiteral("Mouse battery low"));
        QCOMPARE(n.body, QStringLiteral("VELKOR has 20% battery left. Connect the cable to charge it."));
        QCOMPARE(n.icon, QStringLiteral("mousecfg"));
        QCOMPARE(n.appName, QStringLiteral("mousecfg"));
        QCOMPARE(n.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("org.example.mousecfg"));

        // Lower still, reported again and again: no second notice.
        reportBattery(batteryAt(0x00, 0x03));   // 10 %
        QTRY_COMPARE_WITH_TIMEOUT(m_window->batteryLevelShown(), 10, 5000);
        QTest::qWait(1500);
        QCOMPARE(m_notifications.calls.size(), 1);

        // Charged a while, then running down again: a new discharge.
        reportBattery(batteryAt(0x00, 0x03, 1));
        QTRY_COMPARE_WITH_TIMEOUT(properties().value(QStringLiteral("Charging")).toBool(), true, 5000);
        reportBattery(batteryAt(0x00, 0x03));
        QTRY_COMPARE_WITH_TIMEOUT(m_notifications.calls.size(), 2, 5000);
    }
    // mousecfgctl-demo status --json --watch beside the window: a line at
    // once, and one for each change the mouse reports. It finds the window
    // through the lock in its settings folder, even with no bus named in its
    // environment (a status bar started outside the session).
    void statusBarFollowsTheWindow()
    {
        QTemporaryDir appDir;
        const QString built = qEnvironmentVariable("MOUSECFG_APPDIR");
        QVERIFY(QFile::copy(built + QStringLiteral("/DefaultProfile.bin"), appDir.filePath(QStringLiteral("DefaultProfile.bin"))));
        platform::SingleInstance lock(appDir.filePath(QStringLiteral("Configs")),
                                      productName() + QStringLiteral(" Wireless Gaming Mouse Mutex1"),
                                      platform::SingleInstance::Mode::Window);
        QVERIFY(lock.tryLock());
        lock.setBusEndpoint(kName, m_bus->address());

        QProcess watch;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MOUSECFG_APPDIR"), appDir.path());
        env.insert(QStringLiteral("HOME"), appDir.path());
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
        watch.setProcessEnvironment(env);
        watch.start(built + QStringLiteral("/mousecfgctl-demo"),
                    {QStringLiteral("status"), QStringLiteral("--json"), QStringLiteral("--watch")});
        QVERIFY(watch.waitForStarted(10000));
        const auto nextLine = [&watch]() -> QJsonObject {
            if (!QTest::qWaitFor([&watch] { return watch.canReadLine(); }, 20000))
                return QJsonObject();
            return QJsonDocument::fromJson(watch.readLine()).object();
        };
        QJsonObject line = nextLine();
        QCOMPARE(line.value(QStringLiteral("product")).toString(), QStringLiteral("VELKOR"));
        QCOMPARE(line.value(QStringLiteral("battery")).toObject().value(QStringLiteral("level")).toInt(), 90);

        reportBattery(batteryAt(0x0A, 0x03));   // 20 %
        line = nextLine();
        QCOMPARE(line.value(QStringLiteral("battery")).toObject().value(QStringLiteral("level")).toInt(), 20);
        reportBattery(batteryAt(0x0A, 0x03, 1));
        line = nextLine();
        QCOMPARE(line.value(QStringLiteral("battery")).toObject().value(QStringLiteral("charging")).toBool(), true);
        QCOMPARE(watch.state(), QProcess::Running);
        watch.kill();
        watch.waitForFinished(10000);
    }
};

QTEST_MAIN(TestBusService)
#include "tst_busservice.moc"

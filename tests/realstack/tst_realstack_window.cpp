// The real program's window over the real HID stack: Debian's hidapi for the
// device, libudev's monitor for hot-plug, both over mocked kernel devices
// served by the simulated mouse. Unplugging the receiver is heard through a
// udev event and warns "Dongle Disconnect!"; plugging it back reopens it and
// a write reaches the mouse through the new node.

#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "device/devicetable.h"
#include "platform/devicenotifier.h"
#include "platform/osdchannel.h"
#include "platform/pointerspeed.h"
#include "profile/configstore.h"
#include "profile/paths.h"
#include "tests/realstack/mockkernel.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class NoOsd : public platform::OsdChannel {
public:
    bool windowExists() override { return true; }
    qint32 send(const QByteArray &) override { return 1; }
};

} // namespace

class RealStackWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<MockKernel> m_kernel;
    QStringList m_shown;
    NoOsd m_osd;
    platform::RecordingPointerSpeed m_speed;

private slots:
    void initTestCase()
    {
        QVERIFY2(MockKernel::available(), "run under umockdev-wrapper");
        platform::setDeviceNotifierFactory(nullptr);   // the system's: libudev
        platform::setPointerSpeedBackend(&m_speed);
        setConfigsBase(m_dir.path());
        AppServices &s = appServices();
        s.messageHook = [this](int, const QString &text) {
            m_shown << text;
            return 1;
        };
        s.startDetached = [](const QString &) { return true; };
        s.exitProcess = [](int) {};
        s.logicalDpi = [] { return 96.0; };
        s.trayAvailable = [] { return true; };
        s.osd = &m_osd;
        m_kernel.reset(new MockKernel);
    }

    void cleanupTestCase()
    {
        m_kernel.reset();
        appServices() = AppServices();
        platform::setPointerSpeedBackend(nullptr);
        setConfigsBase(QString());
    }

    void unplugWarnsAndReplugReopens()
    {
        sim::BatteryState battery;
        battery.low = 0xF2;
        battery.high = 0x03;
        battery.status = 1;
        sim::setBattery(battery);
        m_kernel->plug(sim::Side::Receiver);

        QScopedPointer<MousecfgWidget> w(new MousecfgWidget);
        w->show();
        QVERIFY(receiverControlHandle());
        QCOMPARE(MousecfgWidget::listedMouseCount(), 1);
        // The poller's battery query went out through the node and came back.
        QTRY_VERIFY_WITH_TIMEOUT(w->batteryLevelShown() > 0, 5000);

        m_kernel->unplug(sim::Side::Receiver);
        QTRY_VERIFY_WITH_TIMEOUT(m_shown.contains(QStringLiteral("Dongle Disconnect!")), 5000);
        QCOMPARE(MousecfgWidget::listedMouseCount(), 0);
        QVERIFY(!receiverControlHandle());

        m_shown.clear();
        w->show();
        m_kernel->plug(sim::Side::Receiver);
        QTRY_VERIFY_WITH_TIMEOUT(w->isReconnected(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(receiverControlHandle() != nullptr, 3000);
        QCOMPARE(MousecfgWidget::listedMouseCount(), 1);
        QCOMPARE(QString::fromLatin1(deviceTable().entries[0].path[ReceiverControl]),
                 QStringLiteral("\\\\?\\HID#VID_248A&PID_FA02&MI_00&Col04#")
                     + QString::fromLatin1(m_kernel->node(sim::Side::Receiver)));

        // A write through the new node reaches the mouse. The node's other
        // collections may still be announcing themselves: the device is
        // reopened for them only once the write has ended, so the write goes
        // through once, whatever the timing.
        sim::resetCounters();
        const int before = sim::commitCount(sim::Block::Settings);
        QCOMPARE(int(w->writeAndReport(true)), 0);
        QCOMPARE(sim::commitCount(sim::Block::Settings), before + 1);
        QVERIFY(m_shown.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(receiverControlHandle() != nullptr, 3000);
    }
};

QTEST_MAIN(RealStackWindowTest)
#include "tst_realstack_window.moc"

// The demo's "Simulated mouse" window against the simulated mouse: its
// controls drive the simulator, the mouse buttons send the status reports
// the mouse would, and the view shows (and flags) what a frame sequence wrote.

#include "app/demo/keptmouse.h"
#include "app/demo/simpanel.h"
#include "app/demo/simview.h"
#include "profile/paths.h"

#include <hidapi/hidapi.h>

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QGroupBox>
#include <QtTest>

using sim::Side;

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

// A sealed frame, as the device link writes it.
QByteArray frame(quint8 command, quint8 b4, quint8 b5, quint8 segment, const QByteArray &data = QByteArray())
{
    QByteArray f(33, '\0');
    f[0] = 0x05;
    f[2] = char(0xFA);
    f[3] = char(command);
    f[4] = char(b4);
    f[5] = char(b5);
    f[6] = char(data.size());
    f[7] = char(segment);
    f.replace(8, data.size(), data);
    unsigned sum = 0;
    for (int k = 2; k <= 7; ++k)
        sum += quint8(f[k]);
    f[1] = char((sum & 0xFF) ^ 0x66);
    return f;
}

class Link {
public:
    explicit Link(Side side) : m_h(hid_open_path(sim::interfacePath(side, sim::Collection::Control).constData())) {}
    ~Link()
    {
        if (m_h)
            hid_close(m_h);
    }
    bool ok() const { return m_h != nullptr; }
    void send(const QByteArray &f)
    {
        hid_write(m_h, reinterpret_cast<const unsigned char *>(f.constData()), size_t(f.size()));
    }
    // Writes a block the way the device link does: first packet, the rest
    // in packets of up to 24 bytes, then the terminator.
    void sendBlock(quint8 command, const QByteArray &data)
    {
        const bool macros = command == 0x05;
        for (int offset = 0; offset < data.size(); offset += 24) {
            const QByteArray part = data.mid(offset, 24);
            send(frame(command, quint8(offset & 0xFF), quint8(macros ? offset >> 8 : 0), offset == 0 ? 0xD1 : 0xD2,
                       part));
        }
        send(macros ? frame(command, 0xFF, 0x0F, 0xD3, bytes({0x1A})) : frame(command, 0x7F, 0, 0xD3, bytes({0x1A})));
    }
    QByteArray read()
    {
        unsigned char buf[64] = {};
        const int n = hid_read_timeout(m_h, buf, 33, 0);
        return n > 0 ? QByteArray(reinterpret_cast<const char *>(buf), n) : QByteArray();
    }
    void drain()
    {
        while (!read().isNull()) {
        }
    }

private:
    hid_device *m_h;
};

QByteArray generalBlock(int profile, int stage)
{
    QByteArray g(19, '\0');
    for (int p = 0; p < 5; ++p)
        g[p] = char(3);
    g[6] = char(profile);
    g[7] = char(0xFF);
    g[10] = 1;
    g.replace(11, 5, bytes({2, 1, 4, 8, 1}));   // 500, 1000, 250, 125, 1000 Hz
    g[16] = 0x1F;
    g[17] = char(stage);
    g[18] = 2;
    return g;
}

// Stages 1, 2, 4 on (DPI 400, 800, 3200), stage 3 off; count 4.
QByteArray dpiBlock()
{
    QByteArray d(41, '\0');
    d[0] = 4;
    const int values[4] = {7, 15, 31, 63};
    for (int i = 0; i < 4; ++i) {
        d[1 + 5 * i] = char(i == 2 ? 0 : 1);
        d[2 + 5 * i] = char(values[i]);
        d[4 + 5 * i] = char(values[i]);
    }
    return d;
}

QByteArray keyBlock()
{
    QByteArray k(128, '\0');
    k[0] = 0x0A;
    k.replace(2, 8, bytes({0x81, 0, 0, 0, 0x82, 0, 0, 0}));
    k.replace(2 + 4 * 5, 4, bytes({0x88, 0, 0, 0}));
    k.replace(98, 4, QByteArray(4, char(0xFF)));
    return k;
}

QByteArray lightingBlock()
{
    QByteArray l(80, '\0');
    for (int r = 0; r < 10; ++r)
        l[8 * r] = char(0x80);
    l.replace(9, 3, bytes({255, 96, 0}));
    l[15] = 3;
    return l;
}

} // namespace

class SimPanelTest : public QObject {
    Q_OBJECT

private:
    template <typename T>
    T *child(const char *name)
    {
        T *w = m_panel->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    QString text(const char *name) { return child<QLabel>(name)->text(); }

    QScopedPointer<SimMousePanel> m_panel;

private slots:
    void init()
    {
        sim::reset();
        sim::plug(Side::Receiver);
        m_panel.reset(new SimMousePanel);
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_panel.data()));
    }
    void cleanup() { m_panel.reset(); }

    void windowAndTitle()
    {
        QCOMPARE(m_panel->windowTitle(), QStringLiteral("Simulated mouse"));
        QVERIFY(m_panel->isWindow());
        QVERIFY(m_panel->bannerText().contains(QStringLiteral("Nothing written yet")));
    }

    // The buttons say what they will do and do it.
    void plugAndUnplug()
    {
        auto *receiver = child<QPushButton>("receiverButton");
        auto *cable = child<QPushButton>("cableButton");
        QCOMPARE(receiver->text(), QStringLiteral("Unplug receiver"));
        QCOMPARE(cable->text(), QStringLiteral("Plug cable"));

        QTest::mouseClick(receiver, Qt::LeftButton);
        QVERIFY(!sim::isPlugged(Side::Receiver));
        QTRY_COMPARE(receiver->text(), QStringLiteral("Plug receiver"));
        QTest::mouseClick(cable, Qt::LeftButton);
        QVERIFY(sim::isPlugged(Side::Cable));
        QTRY_COMPARE(cable->text(), QStringLiteral("Unplug cable"));
        QTest::mouseClick(receiver, Qt::LeftButton);
        QVERIFY(sim::isPlugged(Side::Receiver));

        // A plug from elsewhere shows too.
        sim::unplug(Side::Cable);
        QTRY_COMPARE(cable->text(), QStringLiteral("Plug cable"));
    }

    // A modal window of the main window ("Dongle Disconnect!" waits for the
    // mouse) leaves this one usable: the receiver can be plugged back.
    void usableWhileAModalWindowIsOpen()
    {
        auto *receiver = child<QPushButton>("receiverButton");
        const QPoint at = receiver->mapTo(m_panel.data(), receiver->rect().center());
        QDialog warning;
        warning.setWindowModality(Qt::ApplicationModal);
        warning.show();
        QVERIFY(QTest::qWaitForWindowExposed(&warning));
        QTest::mouseClick(m_panel->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
        QVERIFY(!sim::isPlugged(Side::Receiver));
        {
            QDialog busy(&warning);   // one inside the other
            busy.setWindowModality(Qt::ApplicationModal);
            busy.show();
            QVERIFY(QTest::qWaitForWindowExposed(&busy));
            QTest::mouseClick(m_panel->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
            QVERIFY(sim::isPlugged(Side::Receiver));
            busy.hide();
        }
        QCOMPARE(m_panel->windowHandle()->transientParent(), warning.windowHandle());
        warning.hide();
        QVERIFY(!m_panel->windowHandle()->transientParent());
        QTest::mouseClick(m_panel->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
        QVERIFY(!sim::isPlugged(Side::Receiver));
    }

    // The mouse's own buttons: a status report from what the mouse holds,
    // which the mouse then keeps.
    void mouseButtonsSendStatusReports()
    {
        Link link(Side::Receiver);
        QVERIFY(link.ok());
        link.sendBlock(0x01, generalBlock(0, 1));
        link.sendBlock(0x02, dpiBlock());
        link.drain();
        sim::BatteryState battery = sim::battery();
        battery.mode = 8;
        sim::setBattery(battery);
        m_panel->refresh();

        QTest::mouseClick(child<QPushButton>("dpiButton"), Qt::LeftButton);
        QByteArray report = link.read();
        QCOMPARE(report.size(), 33);
        QCOMPARE(report.mid(2, 6), bytes({0xFA, 0x49, 0, 3, 2, 8}));   // stage 3 is off: on to stage 4
        QVERIFY(link.read().isNull());
        QCOMPARE(m_panel->lastStatusSent().dpi, quint8(3));
        QCOMPARE(sim::block(sim::Block::Settings).at(17), char(3));
        QTest::mouseClick(child<QPushButton>("dpiButton"), Qt::LeftButton);
        QCOMPARE(link.read().mid(3, 4), bytes({0x49, 0, 0, 2}));        // past the last: the first

        QTest::mouseClick(child<QPushButton>("profileButton"), Qt::LeftButton);
        QCOMPARE(link.read().mid(3, 4), bytes({0x49, 1, 0, 1}));        // profile 2 runs at 1000 Hz
        QCOMPARE(sim::activeProfile(), 1);
        QTest::mouseClick(child<QPushButton>("rateButton"), Qt::LeftButton);
        QCOMPARE(link.read().mid(3, 4), bytes({0x49, 1, 0, 8}));        // 1000 Hz -> 125 Hz
        QCOMPARE(sim::block(sim::Block::Settings).at(12), char(8));
        QTRY_VERIFY(text("statusText").contains(QStringLiteral("profile 2 · stage 1 · 125 Hz")));
        QTRY_COMPARE(child<QLabel>("rate1")->text(), QStringLiteral("125 Hz"));

        // With the cable in, the report comes over the cable.
        sim::plug(Side::Cable);
        Link cable(Side::Cable);
        m_panel->refresh();
        QTest::mouseClick(child<QPushButton>("rateButton"), Qt::LeftButton);
        QCOMPARE(cable.read().mid(3, 4), bytes({0x49, 1, 0, 4}));
        QVERIFY(link.read().isNull());

        // A sleeping mouse behind the receiver presses nothing.
        sim::unplug(Side::Cable);
        sim::setMouseOff(true);
        QTRY_VERIFY(!child<QPushButton>("dpiButton")->isEnabled());
        QVERIFY(text("statusText").contains(QStringLiteral("asleep")));
    }

    // A write like the main window's Apply: every block shows decoded, the
    // blocks it reached are flagged, and the banner names them.
    void viewShowsWhatAWriteReached()
    {
        Link link(Side::Receiver);
        link.send(frame(0x46, 0, 0, 0));
        link.sendBlock(0x01, generalBlock(2, 1));   // profile 3 becomes active
        link.sendBlock(0x03, keyBlock());
        link.sendBlock(0x02, dpiBlock());
        link.sendBlock(0x04, lightingBlock());
        for (int s : {0x04, 0x01, 0x02, 0x08, 0x10})
            link.send(frame(0x40, 0xF3, quint8(s), 0));
        QByteArray macro(200, '\0');
        macro.replace(0, 9, bytes({4, 0, 0x80, 4, 0, 0, 6, 1, 0}));
        link.sendBlock(0x05, macro);
        link.send(frame(0x46, 1, 0, 0));
        m_panel->refresh();

        const QVector<sim::Block> touched = m_panel->lastTouched();
        QCOMPARE(touched.size(), 5);
        for (sim::Block b : {sim::Block::Settings, sim::Block::Dpi, sim::Block::Keys, sim::Block::Lighting,
                             sim::Block::Macros})
            QVERIFY(m_panel->isFlashing(b));
        const QString banner = m_panel->bannerText();
        QVERIFY2(banner.contains(QStringLiteral("Apply reached the mouse")), qPrintable(banner));
        QVERIFY2(banner.contains(QStringLiteral("General, DPI, Keys, Lighting, Macros")), qPrintable(banner));
        QVERIFY(text("counters").contains(QStringLiteral("sections 04 01 02 08 10")));
        QVERIFY(text("bracket").contains(QStringLiteral("1 begun, 1 ended")));

        QCOMPARE(text("rate0"), QStringLiteral("500 Hz"));
        QCOMPARE(text("rate3"), QStringLiteral("125 Hz"));
        QCOMPARE(text("scroll4"), QStringLiteral("3"));
        QVERIFY(text("generalText").contains(QStringLiteral("DPI stage <b>2</b>")));
        QVERIFY(text("generalText").contains(QStringLiteral("Full lighted")));
        QCOMPARE(text("dpi0"), QStringLiteral("400"));
        QCOMPARE(text("dpi1"), QStringLiteral("800"));
        QCOMPARE(text("dpi3"), QStringLiteral("3200"));
        QVERIFY(text("dpiText").contains(QStringLiteral("on: 1 2 4")));
        // The one DPI, key and lighting table hold the profile active when written.
        QGroupBox *dpiBox = nullptr;
        for (QGroupBox *box : m_panel->findChildren<QGroupBox *>())
            if (box->title().startsWith(QStringLiteral("DPI TABLE")))
                dpiBox = box;
        QVERIFY(dpiBox);
        QVERIFY2(dpiBox->title().startsWith(QStringLiteral("DPI TABLE · written for profile 3 · updated")), qPrintable(dpiBox->title()));
        QVERIFY(text("key0").contains(QStringLiteral("Left")));
        QVERIFY(text("key1").contains(QStringLiteral("82 00 00 00")));
        QVERIFY(text("key5").contains(QStringLiteral("DPI Switch")));
        QVERIFY(child<QLabel>("swatch1")->styleSheet().contains(QStringLiteral("#ff6000")));
        QVERIFY(text("light1").contains(QStringLiteral("bright 3")));
        QVERIFY(child<QLabel>("macro0")->toolTip().contains(QStringLiteral("04 00 80 04 00 00 06 01")));
        QVERIFY(text("macroText").contains(QStringLiteral("slot  0")));
        auto *tabs = m_panel->findChild<QTabWidget *>();
        QVERIFY(tabs->tabText(0).startsWith(QStringLiteral("● ")));
        QVERIFY(tabs->tabText(2).contains(QStringLiteral("1 used")));
        const QString frames = child<QPlainTextEdit>("frames")->toPlainText();
        QVERIFY(frames.indexOf(QStringLiteral("UPDATE end")) < frames.indexOf(QStringLiteral("Macro memory · end")));
        QVERIFY(frames.contains(QStringLiteral("05 27 FA 46 01 00 00 00")));

        // The flags go out by themselves; nothing changes, nothing is flagged.
        QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isFlashing(sim::Block::Settings), 10000);
        // The key table's flag started with its own write, a moment later.
        QTRY_VERIFY_WITH_TIMEOUT(!tabs->tabText(0).startsWith(QStringLiteral("● ")), 10000);
        m_panel->refresh();
        QVERIFY(m_panel->lastTouched().isEmpty());

        // The same blocks written again still count as reached.
        link.send(frame(0x46, 0, 0, 0));
        link.sendBlock(0x02, dpiBlock());
        link.send(frame(0x46, 1, 0, 0));
        QTRY_VERIFY(m_panel->bannerText().contains(QStringLiteral(": DPI")));
        QVERIFY(!m_panel->bannerText().contains(QStringLiteral("General")));
    }

    // A write that broke off leaves the bracket open, and the view says so.
    void brokenWriteShows()
    {
        Link link(Side::Receiver);
        link.send(frame(0x46, 0, 0, 0));
        link.send(frame(0x01, 0, 0, 0xD1, generalBlock(0, 0)));
        QTRY_VERIFY(m_panel->bannerText().contains(QStringLiteral("update bracket is open")));
        QVERIFY(text("bracket").contains(QStringLiteral("OPEN")));
        QCOMPARE(text("rate0"), QStringLiteral("—"));   // no terminator: nothing committed
    }

    // A simulator that starts again is shown as new, and counts from there.
    void resetStartsOver()
    {
        {
            Link link(Side::Receiver);
            link.send(frame(0x46, 0, 0, 0));
            link.sendBlock(0x02, dpiBlock());
            link.sendBlock(0x01, generalBlock(0, 0));
            link.send(frame(0x46, 1, 0, 0));
        }
        QTRY_VERIFY(m_panel->bannerText().contains(QStringLiteral(": General, DPI")));
        sim::reset();
        sim::plug(Side::Receiver);
        QTRY_VERIFY(m_panel->bannerText().startsWith(QStringLiteral("Nothing written yet")));
        QCOMPARE(text("dpi0"), QStringLiteral("—"));
        Link link(Side::Receiver);
        link.send(frame(0x46, 0, 0, 0));
        link.sendBlock(0x02, dpiBlock());
        link.send(frame(0x46, 1, 0, 0));
        QTRY_VERIFY(m_panel->bannerText().endsWith(QStringLiteral(": DPI")));
    }

    void factoryNewForgetsWhatTheMouseKeeps()
    {
        QTemporaryDir configs;
        setConfigsBase(configs.path());
        {
            Link link(Side::Receiver);
            link.sendBlock(0x02, dpiBlock());
            link.sendBlock(0x01, generalBlock(2, 1));
        }
        QCOMPARE(sim::activeProfile(), 2);
        sim::BatteryState battery = sim::battery();
        battery.low = 0xF2;
        battery.high = 0x03;
        battery.status = 1;
        sim::setBattery(battery);
        QTRY_COMPARE(text("dpi0"), QStringLiteral("400"));

        child<QPushButton>("factoryNew")->click();
        QCOMPARE(sim::block(sim::Block::Dpi), QByteArray(41, '\0'));
        QCOMPARE(sim::block(sim::Block::Settings), QByteArray(19, '\0'));
        QCOMPARE(sim::activeProfile(), 0);
        // It lost its settings: it asks for a full write; the battery stays.
        QCOMPARE(int(sim::battery().status), 0);
        QCOMPARE(int(sim::battery().low), 0xF2);
        QTRY_COMPARE(text("dpi0"), QStringLiteral("—"));
        QVERIFY(child<QCheckBox>("fullWrite")->isChecked());

        // And so the next start finds it (read through a copy of the file).
        const QString copy = configs.path() + QStringLiteral("/copy.ini");
        QVERIFY(QFile::copy(keptMousePath(), copy));
        QVERIFY(keptMousePath().startsWith(configs.path()));
        sim::pushStatus(3, 1, 1, 0);   // anything, to see the file replace it
        QVERIFY(sim::loadState(copy));
        QCOMPARE(sim::activeProfile(), 0);
        QCOMPARE(sim::block(sim::Block::Settings), QByteArray(19, '\0'));
        QCOMPARE(int(sim::battery().status), 0);
        setConfigsBase(QString());
    }

    void batteryControls()
    {
        auto *level = child<QSlider>("batteryLevel");
        level->setValue(3);
        sim::BatteryState b = sim::battery();
        QCOMPARE(simview::levelOfRaw(quint16(b.high << 8 | b.low)), 30);
        QTRY_VERIFY(text("batteryRaw").endsWith(QStringLiteral("shows 30 %")));

        child<QCheckBox>("charging")->click();
        QCOMPARE(int(sim::battery().charge), 1);
        QCOMPARE(simview::levelOfRaw(quint16(sim::battery().high << 8 | sim::battery().low)), 30);
        child<QCheckBox>("fullWrite")->click();   // on at start: status 0
        QCOMPARE(int(sim::battery().status), 1);
        child<QSpinBox>("modeByte")->setValue(8);
        QCOMPARE(int(sim::battery().mode), 8);
        child<QCheckBox>("mouseOff")->click();
        QVERIFY(sim::mouseOff());

        // Changes from elsewhere are shown.
        sim::BatteryState other;
        other.low = 0xF2;
        other.high = 0x03;
        sim::setBattery(other);
        sim::setMouseOff(false);
        QTRY_COMPARE(level->value(), 9);
        QVERIFY(!child<QCheckBox>("charging")->isChecked());
        QVERIFY(!child<QCheckBox>("mouseOff")->isChecked());
        QVERIFY(child<QCheckBox>("fullWrite")->isChecked());
    }

    void faultControls()
    {
        child<QSpinBox>("faultCount")->setValue(2);
        QTest::mouseClick(child<QPushButton>("failWrites"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("failReads"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("headerMismatch"), Qt::LeftButton);
        child<QSpinBox>("faultCount")->setValue(1);
        QTest::mouseClick(child<QPushButton>("dataMismatch"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("unplugAfter"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("silence"), Qt::LeftButton);
        sim::PendingFaults f = sim::pendingFaults();
        QCOMPARE(f.failWrites, 2);
        QCOMPARE(f.failReads, 2);
        QCOMPARE(f.echoFaults.size(), 2);
        QCOMPARE(f.echoFaults[0].first, sim::EchoFault::HeaderMismatch);
        QCOMPARE(f.echoFaults[0].second, 2);
        QCOMPARE(f.echoFaults[1].first, sim::EchoFault::DataMismatch);
        QCOMPARE(f.unplugAfterFrames[0], 1);
        QVERIFY(f.silent);
        QTRY_VERIFY(text("pendingFaults").contains(QStringLiteral("2 × failing write")));
        QVERIFY(text("pendingFaults").contains(QStringLiteral("2 × header mismatch")));
        QVERIFY(text("pendingFaults").contains(QStringLiteral("receiver unplugs after 1 frames")));

        // The pending list follows the faults as they are used up.
        Link link(Side::Receiver);
        link.send(frame(0x46, 0, 0, 0));
        QTRY_VERIFY(text("pendingFaults").contains(QStringLiteral("1 × failing write")));

        QTest::mouseClick(child<QPushButton>("clearFaults"), Qt::LeftButton);
        f = sim::pendingFaults();
        QVERIFY(!f.failWrites && !f.failReads && !f.silent && f.echoFaults.isEmpty() && !f.unplugAfterFrames[0]);
        QTRY_COMPARE(text("pendingFaults"), QStringLiteral("Pending faults: none"));
        QVERIFY(!child<QPushButton>("silence")->isChecked());

        // With the cable in, the unplug strikes the cable the program uses.
        sim::plug(Side::Cable);
        QTRY_COMPARE(child<QPushButton>("cableButton")->text(), QStringLiteral("Unplug cable"));
        QTest::mouseClick(child<QPushButton>("unplugAfter"), Qt::LeftButton);
        QCOMPARE(sim::pendingFaults().unplugAfterFrames[1], 1);
        QCOMPARE(sim::pendingFaults().unplugAfterFrames[0], 0);
    }
};

QTEST_MAIN(SimPanelTest)
#include "tst_simpanel.moc"

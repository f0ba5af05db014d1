// The write behind the busy dialog: the dialog cannot be closed before the
// write ends (and closing attempts cannot hang the program), the pending-write
// flag is on disk before the first frame leaves, and a configuration import
// that changes only device-wide options reaches the mouse.

#include "tests/app/windowtest.h"
#include "app/applyflow.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "device/commands.h"
#include "device/pollercontrol.h"
#include "platform/osdchannel.h"
#include "platform/pointerspeed.h"
#include "profile/configstore.h"
#include "profile/paths.h"
#include "profile/profileset.h"
#include "sim/simmouse.h"
#include "widgets/zelpushbutton.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

class SilentOsd : public platform::OsdChannel {
public:
    bool windowExists() override { return false; }
    qint32 send(const QByteArray &) override { return 0; }
};

// Config/Diff of the product's Config.ini as the file holds it right now
// (read as text, past any settings cache of this process); -1 when absent.
int diffOnDisk()
{
    QFile file(productConfigPath());
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    bool inConfig = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('['))
            inConfig = line == "[Config]";
        else if (inConfig && line.startsWith("Diff="))
            return line.mid(5).toInt();
    }
    return -1;
}

// Ends the process when a step does not finish in time: a hang must fail the
// test, not stall the run until CTest's timeout.
class Watchdog {
public:
    Watchdog(const char *what, int seconds) : m_thread([this, what, seconds] {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_finished; })) {
            std::fprintf(stderr, "FAIL: %s did not end within %d s (hang)\n", what, seconds);
            std::fflush(stderr);
            std::_Exit(3);
        }
    }) {}
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

// Holds the download's poller stop until the test let it through, then hands
// it to the window's own poller: so the stop surely comes after the Esc.
class GatedPoller : public PollerControl {
public:
    explicit GatedPoller(PollerControl *real) : m_real(real) {}
    void open() { m_open.store(true); }
    void stopPoller() override
    {
        for (int i = 0; i < 500 && !m_open.load(); ++i)
            QThread::msleep(10);
        m_stops.fetch_add(1);
        m_real->stopPoller();
    }
    void startPoller() override { m_real->startPoller(); }
    int stops() const { return m_stops.load(); }

private:
    PollerControl *m_real;
    std::atomic<bool> m_open{false};
    std::atomic<int> m_stops{0};
};

ZelProcessDialog *visibleBusyDialog()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *d = qobject_cast<ZelProcessDialog *>(w); d && d->isVisible())
            return d;
    }
    return nullptr;
}

} // namespace

class TestApplyFlow : public QObject {
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    QStringList m_shown;
    QString m_chosenFile;
    SilentOsd m_osd;
    platform::RecordingPointerSpeed m_speed;

    MousecfgWidget *makeWindow()
    {
        auto *w = new MousecfgWidget;
        QTest::qWait(300);   // start-up timers and the poller's first turn
        writeDiff(0);        // as after a first full write
        sim::resetCounters();
        return w;
    }

private slots:
    void initTestCase()
    {
        sim::installNotifier();
        platform::setPointerSpeedBackend(&m_speed);
        AppServices &s = appServices();
        s.messageHook = [this](int type, const QString &text) {
            m_shown << text;
            // "No" to trying a failed write again: each test looks at one write.
            return type == 1 ? 0 : 1;
        };
        s.startDetached = [](const QString &) { return true; };
        s.exitProcess = [](int) {};
        s.chooseFile = [this](const QString &, const QString &, bool) { return m_chosenFile; };
        s.logicalDpi = [] { return 96.0; };
        s.trayAvailable = [] { return true; };
        s.osd = &m_osd;
    }

    void cleanupTestCase()
    {
        platform::setPointerSpeedBackend(nullptr);
        appServices() = AppServices();
    }

    void init()
    {
        m_dir = new QTemporaryDir;
        setConfigsBase(m_dir->path());
        plugFreshMouse();
        m_shown.clear();
        g_mouseOff.store(false);
    }

    void cleanup()
    {
        QTest::qWait(10);
        setConfigsBase(QString());
        delete m_dir;
        m_dir = nullptr;
    }

    // Keys and close requests do nothing; the end of the write closes it.
    void busyDialogClosesOnlyWhenTheWriteEnds()
    {
        ZelProcessDialog dialog(nullptr);
        bool stayed = false;
        QTimer::singleShot(0, &dialog, [&] {
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QTest::keyClick(&dialog, Qt::Key_Return);
            QTest::keyClick(&dialog, Qt::Key_Space);
            QTest::keyClick(&dialog, Qt::Key_F4, Qt::AltModifier);
            dialog.close();
            dialog.reject();
            stayed = dialog.isVisible();
            dialog.slotProcessDlg();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(stayed);
    }

    // Esc pressed at once after Apply, before the write thread stops the
    // poller: the write still ends, reaches the mouse, and nothing hangs.
    void escapeOnTheBusyDialogDuringAWrite()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        PollerControl *const windowsPoller = pollerControl();
        QVERIFY(windowsPoller);
        GatedPoller gate(windowsPoller);
        setPollerControl(&gate);
        workingSet().profiles[0].scrollspeed = 7;

        bool dialogStayed = false;
        QTimer::singleShot(0, w.data(), [&] {
            ZelProcessDialog *dialog = visibleBusyDialog();
            QVERIFY(dialog);
            QTest::keyClick(dialog, Qt::Key_Escape);
            dialogStayed = dialog->isVisible();
            gate.open();
        });
        quint8 result;
        {
            Watchdog watchdog("Apply after Esc on the busy dialog", 30);
            result = w->writeAndReport();
        }
        setPollerControl(windowsPoller);
        QVERIFY(dialogStayed);
        QCOMPARE(result, quint8(0));
        QCOMPARE(gate.stops(), 1);
        QVERIFY(m_shown.isEmpty());
        QCOMPARE(sim::block(sim::Block::Settings).at(0), char(7));
        QCOMPARE(readDiff(), 0);
    }

    // The flag that makes the next write a full one is on disk before the
    // first frame goes out, and cleared only after the mouse took it all.
    void pendingFlagIsOnDiskBeforeTheFirstFrame()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        QCOMPARE(diffOnDisk(), 0);
        std::atomic<int> atFirstFrame{-2};
        QMetaObject::Connection watch = connect(
            sim::observer(), &sim::Observer::changed, this,
            [&] {
                const QVector<QByteArray> frames = sim::writtenFrames();
                if (atFirstFrame.load() != -2 || frames.isEmpty())
                    return;
                const QByteArray &last = frames.last();
                if (quint8(last.at(3)) == CMD_UPDATE && last.at(4) == 0)
                    atFirstFrame.store(diffOnDisk());
            },
            Qt::DirectConnection);
        workingSet().profiles[0].pollrate = 2;
        QCOMPARE(w->writeAndReport(), quint8(0));
        disconnect(watch);
        QCOMPARE(atFirstFrame.load(), 1);
        QCOMPARE(diffOnDisk(), 0);

        // Cut off in the middle: the flag stays set.
        workingSet().profiles[0].pollrate = 3;
        sim::unplugAfterFrames(sim::Side::Receiver, 3);
        QVERIFY(w->writeAndReport() != 0);
        QCOMPARE(diffOnDisk(), 1);
    }

    // A configuration file that differs from the working set only in the
    // device-wide options is written to the mouse when imported.
    void importOfDeviceWideOptionsReachesTheMouse()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        // The mouse holds the working set.
        QCOMPARE(w->writeAndReport(true), quint8(0));
        QCOMPARE(quint8(sim::block(sim::Block::Settings).at(9)), workingSet().Debounce);

        m_chosenFile = m_dir->path() + QStringLiteral("/options.conf");
        w->controlButton(QStringLiteral("saveButton"))->click();
        QVERIFY(QFile::exists(m_chosenFile));
        const quint8 debounce = quint8(workingSet().Debounce + 4);
        const quint8 jitter = workingSet().Jitter == 0 ? 1 : 0;
        {
            QSettings file(m_chosenFile, QSettings::IniFormat);
            file.setValue(QStringLiteral("Config/Debounce"), debounce);
            file.setValue(QStringLiteral("Config/Jitter"), jitter);
        }
        sim::resetCounters();
        w->controlButton(QStringLiteral("loadButton"))->click();
        QVERIFY2(m_shown.isEmpty(), qPrintable(m_shown.join('\n')));
        QCOMPARE(workingSet().Debounce, debounce);
        const QByteArray settings = sim::block(sim::Block::Settings);
        QCOMPARE(quint8(settings.at(9)), debounce);
        QCOMPARE(bool(quint8(settings.at(5)) & 0x20), jitter == 0);   // ripple control
        QCOMPARE(readDiff(), 0);
    }
};

QTEST_MAIN(TestApplyFlow)
#include "tst_applyflow.moc"

// The MACRO page in the main window against the simulated mouse: a macro
// recorded with real delays reaches the mouse's macro memory and key table
// after Apply, and is all there again in a new window.

#include "tests/app/windowtest.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "app/batterylevel.h"
#include "pages/macro/macrodialog.h"
#include "device/pollercontrol.h"
#include "platform/clock.h"
#include "platform/keyboardhook.h"
#include "platform/pointerspeed.h"
#include "profile/configstore.h"
#include "profile/macrostore.h"
#include "profile/paths.h"
#include "profile/profileset.h"
#include "sim/simmouse.h"
#include "widgets/zelpushbutton.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using platform::KeyboardHook;

namespace {

KeyInfo k(int map, int dataL, int dataH = 0)
{
    KeyInfo info;
    info.map = quint8(map);
    info.dataL = quint8(dataL);
    info.dataH = quint8(dataH);
    return info;
}

QString dump(const QVector<KeyInfo> &rows)
{
    QStringList parts;
    for (const KeyInfo &r : rows)
        parts << QStringLiteral("%1/%2/%3").arg(r.map).arg(r.dataH).arg(r.dataL);
    return parts.join(QLatin1Char(' '));
}

// What another process would read: the keys of a copy of the file.
QSettings *freshCopy(const QString &path, QTemporaryDir &scratch)
{
    static int n = 0;
    const QString copy = scratch.path() + QStringLiteral("/copy%1.ini").arg(++n);
    QFile::copy(path, copy);
    return new QSettings(copy, QSettings::IniFormat);
}

} // namespace

class TestMacroWindow : public QObject {
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    QStringList m_shown;
    platform::RecordingPointerSpeed m_speed;

    MousecfgWidget *makeWindow()
    {
        auto *w = new MousecfgWidget;
        QTest::qWait(300);
        const sim::BatteryState b = sim::battery();
        const int expected = batteryLevel(batteryMillivolts(b.low, b.high), readBatteryFull());
        if (!QTest::qWaitFor([w, expected] { return w->batteryLevelShown() == expected; }, 5000))
            qWarning("The poller's first battery reply did not arrive");
        writeDiff(0);
        sim::resetCounters();
        return w;
    }

private slots:
    void initTestCase()
    {
        sim::installNotifier();
        platform::setPointerSpeedBackend(&m_speed);
        AppServices &s = appServices();
        s.messageHook = [this](int, const QString &text) {
            m_shown << text;
            return 1;
        };
        s.startDetached = [](const QString &) { return true; };
        s.exitProcess = [](int) {};
        s.logicalDpi = [] { return 96.0; };
        s.trayAvailable = [] { return true; };
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
    }

    void cleanup()
    {
        QTest::qWait(10);
        setConfigsBase(QString());
        delete m_dir;
        m_dir = nullptr;
    }

    void recordedMacroReachesTheMouseAndComesBack()
    {
        const QVector<KeyInfo> expected{k(132, 0xE0), k(6, 12), k(132, 0x06), k(6, 8),
                                        k(4, 0x06),   k(6, 10), k(4, 0xE0)};
        QString name;
        {
            QScopedPointer<MousecfgWidget> w(makeWindow());
            w->show();
            w->selectPage(MousecfgWidget::PageMacro);
            MacroDialog *page = w->macroPage();
            QVERIFY(page && page->isVisible());
            w->selectPage(MousecfgWidget::PageDpi);
            QVERIFY(!page->isVisible());
            w->selectPage(MousecfgWidget::PageMacro);

            page->control(QStringLiteral("macroNewButton"))->click();
            name = page->currentMacro();
            QCOMPARE(name, QStringLiteral("name_1"));
            page->recordDelayBox()->click();

            // Ctrl+C with real pauses between the keys.
            page->control(QStringLiteral("startButton"))->click();
            QVERIFY(!w->pageTab(MousecfgWidget::PageLighting)->isEnabled());   // the window waits
            QVERIFY(!w->controlButton(QStringLiteral("applyButton"))->isEnabled());
            {
                // The virtual clock counts every thread's pauses: the
                // battery poller's would run it ahead between the keys.
                pollerControl()->stopPoller();
                platform::VirtualClock clock;
                KeyboardHook::inject(0x1D, 0, platform::VK_LCONTROL_KEY);
                platform::VirtualClock::advance(120);
                KeyboardHook::inject(0x2E, 0);
                platform::VirtualClock::advance(85);
                KeyboardHook::inject(0x2E, 0x80);
                platform::VirtualClock::advance(100);
                KeyboardHook::inject(0x1D, 0x80, platform::VK_LCONTROL_KEY);
            }
            pollerControl()->startPoller();
            page->control(QStringLiteral("stopButton"))->click();
            QVERIFY(w->pageTab(MousecfgWidget::PageLighting)->isEnabled());
            QCOMPARE(dump(page->rows()), dump(expected));
            QVERIFY(m_shown.isEmpty());

            // The side button plays it three times, as the button page sets it.
            ProfileSet &set = workingSet();
            QCOMPARE(int(set.ProfileID), 0);
            const QVector<KeyInfo> events = loadMacroEvents(name);
            ButtonEntry &entry = set.profiles[0].buttons[3];
            entry.Fun = 200;
            entry.LoopNumber = 3;
            entry.Res1 = 0;
            entry.KeyNumber = events.size();
            for (int i = 0; i < events.size(); ++i)
                entry.KeyInfo[i] = events[i];
            entry.macroname = name;

            QCOMPARE(w->writeAndReport(), quint8(0));
            QVERIFY(m_shown.isEmpty());

            // The macro memory: slot 0 holds exactly the body (it has delays,
            // so the events as they are), everything else is zero.
            const QByteArray memory = sim::block(sim::Block::Macros);
            QCOMPARE(memory.size(), 4000);
            QByteArray body;
            for (const KeyInfo &e : expected)
                body.append(char(e.map)).append(char(e.dataL)).append(char(e.dataH));
            QCOMPARE(memory.left(body.size()).toHex(' '), body.toHex(' '));
            QCOMPARE(memory.mid(body.size()), QByteArray(4000 - body.size(), '\0'));
            // The key table: macro, slot 0, three loops.
            const QByteArray keys = sim::block(sim::Block::Keys);
            QCOMPARE(keys.mid(2 + 4 * 3, 4).toHex(' '), QByteArray("91 00 03 00"));
            // The button change ended the comparison before the macro's edited
            // mark: the next Apply sees the mark (and sends the macro once more).
            QCOMPARE(w->writeAndReport(), quint8(0));
            QCOMPARE(readWriteSign(name), 0);
            QCOMPARE(sim::block(sim::Block::Macros).left(body.size()).toHex(' '), body.toHex(' '));
        }

        // What the disk holds, read as a new process would.
        QTemporaryDir scratch;
        QScopedPointer<QSettings> macroFile(freshCopy(macroPath(name), scratch));
        QCOMPARE(macroFile->value("Setting/Count").toInt(), expected.size());
        QCOMPARE(macroFile->value("Setting/DataL_1").toInt(), 12);
        QCOMPARE(macroFile->value("Setting/DelayType").toInt(), 1);
        QScopedPointer<QSettings> config(freshCopy(globalConfigPath(), scratch));
        QCOMPARE(config->value("MACRO_LIST/0").toString(), name);
        bool slotFileFound = false;
        for (QDirIterator it(profileDir(), {"*.prof"}); it.hasNext();) {
            QScopedPointer<QSettings> prof(freshCopy(it.next(), scratch));
            if (prof->value("PROFILE/BUTTON_INFO_3_macroname").toString() == name) {
                slotFileFound = true;
                QCOMPARE(prof->value("PROFILE/BUTTON_INFO_3_Fun").toInt(), 200);
                QCOMPARE(prof->value("PROFILE/BUTTON_INFO_3_LoopNumber").toInt(), 3);
                QCOMPARE(prof->value("PROFILE/BUTTON_INFO_3_KeyInfo_1_map").toInt(), 6);
            }
        }
        QVERIFY(slotFileFound);

        // A new window over the same Configs.
        QScopedPointer<MousecfgWidget> again(makeWindow());
        MacroDialog *page = again->macroPage();
        QCOMPARE(page->macroNames(), QStringList{name});
        QCOMPARE(page->currentMacro(), name);
        QCOMPARE(dump(page->rows()), dump(expected));
        QCOMPARE(page->delayMode(), int(MacroDialog::DELAY_RECORDED));
        const ButtonEntry &entry = workingSet().profiles[0].buttons[3];
        QCOMPARE(entry.Fun, 200);
        QCOMPARE(entry.macroname, name);
        QCOMPARE(entry.LoopNumber, 3);
        QCOMPARE(entry.KeyNumber, expected.size());
        sim::resetCounters();
        QCOMPARE(again->writeAndReport(), quint8(0));
        for (const QByteArray &frame : sim::writtenFrames())   // nothing changed: no macro sent again
            QVERIFY(quint8(frame.at(3)) != 0x05);
    }

    void renamingAMacroKeepsItsButtons()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        MacroDialog *page = w->macroPage();
        page->newMacro();
        page->setRows({k(132, 4), k(4, 4)});
        page->saveMacro();
        ButtonEntry &entry = workingSet().profiles[2].buttons[5];
        entry.Fun = 510;
        entry.macroname = page->currentMacro();
        page->renameCurrent(QStringLiteral("Burst"));
        QCOMPARE(workingSet().profiles[2].buttons[5].macroname, QStringLiteral("Burst"));
    }
};

QTEST_MAIN(TestMacroWindow)
#include "tst_macrowindow.moc"

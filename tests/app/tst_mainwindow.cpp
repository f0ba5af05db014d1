// The main window against the simulated mouse: what a user sees and what
// reaches the mouse after each action.

#include "tests/app/windowtest.h"
#include "tests/profile/profiletest.h"
#include "app/applyflow.h"
#include "app/batterylevel.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "app/settingspage.h"
#include "pages/buttons/zelbtnwindow.h"
#include "pages/lighting/zelcolorwindow.h"
#include "pages/macro/macrodialog.h"
#include "pages/performance/zeldpiwindow.h"
#include "pages/performance/zelreportrate.h"
#include "device/commands.h"
#include "device/buttoncatalogue.h"
#include "device/devicetable.h"
#include "device/poller.h"
#include "platform/clock.h"
#include "platform/osdchannel.h"
#include "platform/pointerspeed.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/paths.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"
#include "platform/notificationosd.h"
#include "sim/simmouse.h"
#include "tests/common/fakenotifications.h"
#include "widgets/zelpushbutton.h"

#include <QAction>
#include <QElapsedTimer>
#include <QApplication>
#include <QDBusConnection>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Shown {
    int type;
    QString text;
};

// A display that records what it was sent.
class FakeOsd : public platform::OsdChannel {
public:
    bool present = true;
    QList<platform::OsdMessage> received;
    bool windowExists() override { return present; }
    qint32 send(const QByteArray &payload) override
    {
        platform::OsdMessage m;
        if (!platform::decodeOsdMessage(payload, m))
            return 0;
        received << m;
        return 1;
    }
};

void setIni(const QString &path, const QString &key, const QVariant &value)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(key, value);
}

// Counts the busy animations shown, whoever shows them.
class BusyDialogCounter : public QObject {
public:
    int shown = 0;
    BusyDialogCounter() { qApp->installEventFilter(this); }
    ~BusyDialogCounter() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<ZelProcessDialog *>(watched))
            ++shown;
        return false;
    }
};

// What the mouse must hold while `slot` is active: its DPI stages, key
// table and lighting records, and the general block's slot, stage and mode.
QString slotOnTheMouse(const ProfileSet &set, int slot)
{
    const ProfileData &p = set.profiles[slot];
    QStringList diff;
    if (sim::block(sim::Block::Dpi) != dpiBlockBytes(p, dpiStageCount(), sensorCode(), deviceModeByte()))
        diff << QStringLiteral("DPI table");
    if (sim::block(sim::Block::Lighting) != lightingBlockBytes(p))
        diff << QStringLiteral("lighting");
    ProfileData copy = p;
    std::array<quint8, BUTTON_TABLE_SIZE> table = {};
    MacroSlotTable names;
    fillButtonTable(table, copy, currentButtonLayout(), names);
    if (sim::block(sim::Block::Keys).left(98) != QByteArray(reinterpret_cast<const char *>(table.data()), 98))
        diff << QStringLiteral("key table");
    const QByteArray general = sim::block(sim::Block::Settings);
    if (general.size() != 19 || general.at(6) != char(slot) || general.at(17) != char(p.dpi)
        || quint8(general.at(18)) != lightingModeCode(p.LedMode))
        diff << QStringLiteral("general block");
    if (sim::activeProfile() != slot)
        diff << QStringLiteral("active profile %1").arg(sim::activeProfile() + 1);
    return diff.join(QStringLiteral(", "));
}

// The poller asks for the battery when it starts again after a download and
// takes the report that follows for the answer: a status report the mouse
// sends is heard once that question has gone out.
bool pollerAskedAgain()
{
    const QVector<sim::FrameRecord> last = sim::recentWrittenFrames(1);
    return !last.isEmpty() && quint8(last.first().bytes.at(3)) == 0x48;
}

// A slot's files as a new process reads them: from a copy of Configs.
ProfileSet storedSetFromCopy(const QString &configs, const QString &copy)
{
    ProfileSet stored;
    if (!copyTree(configs, copy))
        return stored;
    setConfigsBase(copy);
    loadProfileSet(stored);
    setConfigsBase(configs);
    return stored;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    QList<Shown> m_shown;
    int m_answer = 1;
    QStringList m_started;
    bool m_startSucceeds = true;
    QList<int> m_exits;
    QString m_chosenFile;
    FakeOsd m_osd;
    platform::RecordingPointerSpeed m_speed;
    bool m_tray = true;
    bool m_updaterRuns = true;

    bool shown(const QString &text) const
    {
        for (const Shown &s : m_shown) {
            if (s.text == text)
                return true;
        }
        return false;
    }

    MousecfgWidget *makeWindow()
    {
        auto *w = new MousecfgWidget;
        // Let the start-up timers run and the poller's first battery reply
        // arrive, so that it cannot land in the middle of a test.
        QTest::qWait(300);
        const sim::BatteryState b = sim::battery();
        const int expected = batteryLevel(batteryMillivolts(b.low, b.high), readBatteryFull());
        if (b.high != 0 && !QTest::qWaitFor([w, expected] { return w->batteryLevelShown() == expected; }, 5000))
            qWarning("The poller's first battery reply did not arrive");
        // As after the first start's full write (firstStartWritesEverything).
        writeDiff(0);
        sim::resetCounters();
        return w;
    }

    // The poller hands its query's reply on twice: once at once, and again
    // after its 450 ms pause when the listen that follows in the same turn
    // hears nothing. Tests that set the battery display themselves wait for
    // that second report to pass.
    static void letThePollerSettle() { QTest::qWait(800); }

    void plugBattery()
    {
        sim::BatteryState b;
        b.low = 0xF2;
        b.high = 0x03;
        b.status = 1;
        sim::setBattery(b);
    }

private:
    void installServices()
    {
        AppServices &s = appServices();
        s.messageHook = [this](int type, const QString &text) {
            m_shown << Shown{type, text};
            return m_answer;
        };
        s.startDetached = [this](const QString &program) {
            m_started << program;
            return m_startSucceeds;
        };
        s.exitProcess = [this](int code) { m_exits << code; };
        s.chooseFile = [this](const QString &, const QString &, bool) { return m_chosenFile; };
        s.logicalDpi = [] { return 96.0; };
        s.trayAvailable = [this] { return m_tray; };
        s.canRun = [this](const QString &) { return m_updaterRuns; };
        s.osd = &m_osd;
    }

private slots:
    void initTestCase()
    {
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
        installServices();
        m_dir = new QTemporaryDir;
        setConfigsBase(m_dir->path());
        sim::reset();
        plugBattery();
        sim::plug(sim::Side::Receiver);
        m_shown.clear();
        m_answer = 1;
        m_started.clear();
        m_startSucceeds = true;
        m_exits.clear();
        m_osd.present = true;
        m_osd.received.clear();
        m_speed.applied.clear();
        g_mouseOff.store(false);
        m_tray = true;
        m_updaterRuns = true;
    }

    void cleanup()
    {
        QTest::qWait(10);
        setConfigsBase(QString());
        delete m_dir;
        m_dir = nullptr;
    }

    void startsWithTheMouseListedAndTheRightTexts()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        QCOMPARE(MousecfgWidget::listedMouseCount(), 1);
        QCOMPARE(w->size(), QSize(999, 640));
        QCOMPARE(w->profileSlotButton()->text(), QStringLiteral("Mode 1"));
        for (int i = 0; i < SLOT_COUNT; ++i) {
            QCOMPARE(w->profileButton(i)->text(), QStringLiteral("Profile %1").arg(i + 1));
            QCOMPARE(w->slotMenu()->actions().at(i)->text(), QStringLiteral("Mode %1").arg(i + 1));
        }
        QVERIFY(w->profileButton(0)->isChecked());
        QCOMPARE(w->profileNameEdit()->text(), QStringLiteral("Profile 1"));
        QCOMPARE(w->profileFileMenu()->actions().size(), 5);
        QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
        // The receiver's two handles are open; the poller talks to the control one.
        QVERIFY(sim::openHandleCount(sim::Side::Receiver, sim::Collection::Control) >= 1);
        QVERIFY(m_shown.isEmpty());
        // The first page is LIGHTING unless the description hides lighting.
        QCOMPARE(w->currentPage(), int(MousecfgWidget::PageLighting));
    }

    void pageSelectionShowsWhatEachTabOwns()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->show();
        const auto front = [&] { return w->frontPicture()->isVisible(); };
        const auto side = [&] { return w->sidePicture()->isVisible(); };
        const auto frontButton = [&] { return w->controlButton("frontButton")->isVisible(); };
        const auto anyMarker = [&] {
            for (int i = 0; i < MousecfgWidget::MARKER_COUNT; ++i) {
                if (w->marker(i)->isVisible())
                    return true;
            }
            return false;
        };

        w->selectPage(MousecfgWidget::PageLighting);
        QVERIFY(front() && !side() && !frontButton() && !anyMarker());
        QVERIFY(w->pageTab(0)->isChecked() && !w->pageTab(1)->isChecked());

        w->selectPage(MousecfgWidget::PageCustomize);
        QVERIFY(front() && !side() && frontButton() && anyMarker());
        QVERIFY(w->marker(0)->isVisible());               // left button, front view
        QVERIFY(w->marker(2 * 20)->isVisible());          // wheel up marker
        w->selectView(false);
        QVERIFY(!front() && side());
        QVERIFY(!w->marker(0)->isVisible());

        w->selectPage(MousecfgWidget::PageDpi);
        QVERIFY(!front() && !side() && !frontButton() && !anyMarker());
        w->selectPage(MousecfgWidget::PageMacro);
        QVERIFY(!front() && !side() && !frontButton() && !anyMarker());
        QVERIFY(w->pageTab(3)->isChecked());
        for (int i = 0; i < 3; ++i)
            QVERIFY(!w->pageTab(i)->isChecked());
    }

    // CUSTOMIZE, DPI and MACRO are made the first time they are shown, once
    // each, and look exactly as pages made before the window first showed.
    void pagesAreMadeWhenFirstShownAndLookTheSame()
    {
        const auto count = [](MousecfgWidget *w) {
            return QVector<int>{w->findChildren<ZelColorWindow *>().size(), w->findChildren<ZelBtnWindow *>().size(),
                                w->findChildren<ZelDPIWindow *>().size(), w->findChildren<MacroDialog *>().size()};
        };
        const int order[] = {MousecfgWidget::PageCustomize, MousecfgWidget::PageDpi, MousecfgWidget::PageMacro,
                             MousecfgWidget::PageLighting, MousecfgWidget::PageCustomize, MousecfgWidget::PageMacro};
        const auto visit = [&](MousecfgWidget *w) {
            QVector<QImage> shots;
            w->show();
            for (int page : order) {
                w->selectPage(page);
                if (page == MousecfgWidget::PageCustomize)
                    w->selectView(shots.size() > 2);   // the side view the second time
                shots << w->grab().toImage();
            }
            return shots;
        };
        QVector<QImage> later;
        {
            QScopedPointer<MousecfgWidget> w(makeWindow());
            QCOMPARE(count(w.data()), (QVector<int>{1, 0, 0, 0}));
            later = visit(w.data());
            QCOMPARE(count(w.data()), (QVector<int>{1, 1, 1, 1}));
        }
        QVector<QImage> early;
        {
            QScopedPointer<MousecfgWidget> w(makeWindow());
            // Asking for a page makes it, hidden.
            QVERIFY(w->buttonsPage() && w->dpiPage() && w->macroPage());
            QVERIFY(!w->dpiPage()->isVisibleTo(w.data()) && !w->macroPage()->isVisibleTo(w.data()));
            QCOMPARE(count(w.data()), (QVector<int>{1, 1, 1, 1}));
            early = visit(w.data());
        }
        QCOMPARE(later.size(), early.size());
        for (int i = 0; i < later.size(); ++i)
            QVERIFY2(later[i] == early[i], qPrintable(QStringLiteral("page %1 differs").arg(order[i])));
    }

    void hoverShowsTheButtonsPicture()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->selectPage(MousecfgWidget::PageCustomize);
        const QImage plain = w->frontPicture()->pixmap(Qt::ReturnByValue).toImage();
        w->slotMouseOver(w->marker(1), true);
        QVERIFY(w->frontPicture()->pixmap(Qt::ReturnByValue).toImage() != plain);
        w->slotMouseOver(w->marker(1), false);
        QCOMPARE(w->frontPicture()->pixmap(Qt::ReturnByValue).toImage(), plain);
    }

    void languageButtonNeedsTwoLanguages()
    {
        {
            QScopedPointer<MousecfgWidget> w(makeWindow());
            QVERIFY(w->languageButton()->isVisibleTo(w.data()));
            QCOMPARE(w->languageMenu()->actions().size(), 3);
        }
        setIni(globalConfigPath(), "FONT_LIST/LANGNUM", 1);
        QScopedPointer<MousecfgWidget> w(makeWindow());
        QVERIFY(!w->languageButton()->isVisibleTo(w.data()));
    }

    void languageSwitchTranslatesAndIsRemembered()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->switchLanguage(1);
        QCOMPARE(w->pageTab(0)->text(), QStringLiteral("灯光"));
        QCOMPARE(w->profileButton(1)->text(), QStringLiteral("配置 2"));
        QCOMPARE(w->languageButton()->text(), QStringLiteral("简体中文"));
        w->switchLanguage(2);
        QCOMPARE(w->pageTab(0)->text(), QStringLiteral("燈光"));
        w.reset();
        QScopedPointer<MousecfgWidget> again(makeWindow());
        QCOMPARE(again->pageTab(0)->text(), QStringLiteral("燈光"));
        again->switchLanguage(0);
        QCOMPARE(again->pageTab(0)->text(), QStringLiteral("LIGHTING"));
    }

    void dragMovesOnlyBeyondFourPixels_data()
    {
        QTest::addColumn<QPoint>("grip");
        QTest::newRow("title area") << QPoint(400, 12);
        QTest::newRow("side") << QPoint(20, 320);
    }

    // A drag beyond four pixels on the window's own surface asks the window
    // system to move the window, once per drag; where it cannot (offscreen,
    // an X server without a window manager) the window follows the pointer.
    void dragMovesOnlyBeyondFourPixels()
    {
        QFETCH(QPoint, grip);
        QList<QWindow *> asked;
        bool taken = false;
        appServices().systemMove = [&](QWindow *window) {
            asked << window;
            taken = window->startSystemMove();
            return taken;
        };
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->move(100, 100);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.data()));
        const QPoint origin = w->frameGeometry().topLeft();
        QVERIFY(w->childAt(grip) == nullptr);
        // Where the pointer is on the screen: the window moving under it
        // does not move it.
        QPoint pressed = w->mapToGlobal(grip);
        const auto moveTo = [&](const QPoint &offset) {
            QMouseEvent event(QEvent::MouseMove, grip + offset, pressed + offset, Qt::NoButton, Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(w.data(), &event);
        };
        QTest::mousePress(w.data(), Qt::LeftButton, Qt::NoModifier, grip);
        moveTo(QPoint(3, 1));
        QVERIFY(asked.isEmpty());
        QCOMPARE(w->frameGeometry().topLeft(), origin);
        moveTo(QPoint(5, 0));
        QCOMPARE(asked, QList<QWindow *>{w->windowHandle()});
        moveTo(QPoint(9, 2));
        QCOMPARE(asked.size(), 1);   // once per drag
        // A Wayland compositor places windows itself: a client's move() does nothing.
        if (!taken && !platform::isWaylandClient())
            QTRY_COMPARE(w->frameGeometry().topLeft(), origin + QPoint(9, 2));
        QTest::mouseRelease(w.data(), Qt::LeftButton, Qt::NoModifier, grip + QPoint(9, 2));

        // The next drag asks again; a click alone does not.
        QTest::mouseClick(w.data(), Qt::LeftButton, Qt::NoModifier, grip);
        QCOMPARE(asked.size(), 1);
        pressed = w->mapToGlobal(grip);
        QTest::mousePress(w.data(), Qt::LeftButton, Qt::NoModifier, grip);
        moveTo(QPoint(0, -6));
        QCOMPARE(asked.size(), 2);
        QTest::mouseRelease(w.data(), Qt::LeftButton, Qt::NoModifier, grip);
        appServices().systemMove = nullptr;
    }

    // A Wayland client cannot place the display's window: its messages
    // become desktop notifications, and the window neither starts the
    // display program nor waits.
    void waylandShowsTheDisplayAsNotifications()
    {
        if (!platform::isWaylandClient())
            QSKIP("Only a Wayland client hands its display to notifications");
        const QString name = QStringLiteral("fake-notification-server");
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        if (!bus.isConnected())
            QSKIP("No session bus");
        FakeNotifications server;
        QVERIFY(server.attach(bus));
        appServices().osd = nullptr;
        {
            QScopedPointer<MousecfgWidget> w(makeWindow());
            sim::pushStatus(0, 2, 2, 0);   // the mouse's own buttons: DPI stage 3, 500 Hz
            const auto summaries = [&server] {
                QStringList texts;
                for (const FakeNotifications::Call &call : qAsConst(server.calls))
                    texts << call.summary;
                return texts;
            };
            QTRY_VERIFY_WITH_TIMEOUT(summaries().contains(QStringLiteral("500 HZ"))
                                         && !summaries().filter(QRegularExpression(QStringLiteral("^DPI 3:"))).isEmpty(),
                                     5000);
            const FakeNotifications::Call first = server.calls.constFirst();
            QCOMPARE(first.replacesId, 0u);
            QCOMPARE(first.timeout, 1500);
            QCOMPARE(first.hints.value(QStringLiteral("transient")), QVariant(true));
            for (int i = 1; i < server.calls.size(); ++i)
                QCOMPARE(server.calls.at(i).replacesId, first.id);

            // The server answers from this thread's event loop: nothing
            // reaches it while the window goes on without waiting.
            const int before = server.calls.size();
            w->showOsdText(QStringLiteral("1000 HZ"));
            QCOMPARE(server.calls.size(), before);
            QTRY_COMPARE(summaries().constLast(), QStringLiteral("1000 HZ"));
            QCOMPARE(server.calls.constLast().replacesId, first.id);
            QVERIFY(m_started.isEmpty());   // no display program
        }
        bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        QDBusConnection::disconnectFromBus(name);
    }

    void firstStartWritesEverything()
    {
        // A product seen for the first time: what the mouse holds is unknown.
        QScopedPointer<MousecfgWidget> w(new MousecfgWidget);
        QTest::qWait(300);
        QCOMPARE(readDiff(), 1);
        sim::resetCounters();
        w->apply();
        const QSet<quint8> sent = commandsSent();
        for (quint8 group : {0x01, 0x02, 0x03, 0x04})
            QVERIFY(sent.contains(group));
        QCOMPARE(readDiff(), 0);
        // The next start knows the mouse holds its settings.
        w.reset();
        QScopedPointer<MousecfgWidget> again(new MousecfgWidget);
        QTest::qWait(300);
        QCOMPARE(readDiff(), 0);
    }

    void applyWithoutAnEditSendsNothing()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        QCOMPARE(w->writeAndReport(), quint8(0));
        QVERIFY(commandsSent().isEmpty());
        QVERIFY(m_shown.isEmpty());
    }

    // Pages made on their first showing take the working set's values
    // without counting as an edit: Apply still has nothing to send.
    void openingEveryPageIsNoEdit()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        for (int page : {MousecfgWidget::PageCustomize, MousecfgWidget::PageDpi, MousecfgWidget::PageMacro,
                         MousecfgWidget::PageLighting})
            w->selectPage(page);
        QCOMPARE(compareProfileSets(workingSet(), savedSet()), quint8(0));
        QCOMPARE(w->writeAndReport(), quint8(0));
        QVERIFY(commandsSent().isEmpty());
    }

    // Every tab's page: what loads it from the working set (a slot switch from
    // the window, the mouse's own switch, stage, rate and light reports) says
    // nothing; an edit the user makes does.
    void aPageSaysChangedOnlyForAnEdit_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("edit");
        QTest::newRow("lighting") << int(MousecfgWidget::PageLighting) << true;
        QTest::newRow("customize") << int(MousecfgWidget::PageCustomize) << false;
        QTest::newRow("dpi") << int(MousecfgWidget::PageDpi) << true;
        QTest::newRow("macro") << int(MousecfgWidget::PageMacro) << false;
    }

    void aPageSaysChangedOnlyForAnEdit()
    {
        QFETCH(int, page);
        QFETCH(bool, edit);
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->selectPage(page);
        SettingsPage *shown = w->settingsPage(page);
        QVERIFY(shown && shown->isBuilt());
        QSignalSpy changed(shown, &SettingsPage::changed);
        w->profileButton(1)->click();
        QCOMPARE(int(workingSet().ProfileID), 1);
        const ProfileData &third = workingSet().profiles[2];
        w->slotRefreshStatus(2, quint8((third.dpi + 1) % 4), quint8(third.pollrate == 1 ? 2 : 1), 0);
        QVERIFY(QMetaObject::invokeMethod(w.data(), "slotRefreshLightMode", Q_ARG(quint8, 2)));
        QTRY_VERIFY(!w->isFollowingSlot() && !w->isBusy());
        QCOMPARE(int(workingSet().ProfileID), 2);
        QCOMPARE(changed.count(), 0);
        if (!edit)
            return;
        if (page == MousecfgWidget::PageLighting)
            w->lightingPage()->effectMenu()->actions().at(1)->trigger();
        else
            w->dpiPage()->onSliderChanged(41, 41, 1);
        QVERIFY(changed.count() > 0);
    }

    void anEditSendsOnlyItsGroup()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        const QByteArray before = sim::block(sim::Block::Dpi);
        workingSet().profiles[0].stages[1].x += 2;
        workingSet().profiles[0].stages[1].y += 2;
        w->apply();
        QVERIFY(m_shown.isEmpty());
        QCOMPARE(commandsSent(), (QSet<quint8>{0x46, 0x02, 0x40}));
        QVERIFY(sim::block(sim::Block::Dpi) != before);
        QCOMPARE(sim::updateEnds(), 1);
        QCOMPARE(readDiff(), 0);
        // The saved set caught up: a second Apply sends nothing.
        sim::resetCounters();
        w->apply();
        QVERIFY(commandsSent().isEmpty());
        // And the edit is on disk.
        ProfileData onDisk;
        QVERIFY(readSlotFile(onDisk, QStringLiteral("Profile 1")));
        QCOMPARE(onDisk.stages[1].x, workingSet().profiles[0].stages[1].x);
    }

    // Each slot reaches the mouse: a DPI stage, a button and the lighting
    // effect edited on the pages of that slot, then Apply; a switch to
    // another slot from the window and one made with the mouse's own profile
    // button (quietly, without the busy animation) each leave the mouse
    // holding the active slot's tables.
    void everySlotReachesTheMouse_data()
    {
        QTest::addColumn<int>("slot");
        for (int slot = 0; slot < SLOT_COUNT; ++slot)
            QTest::addRow("slot %d", slot + 1) << slot;
    }
    void everySlotReachesTheMouse()
    {
        QFETCH(int, slot);
        QScopedPointer<MousecfgWidget> w(makeWindow());
        QCOMPARE(w->writeAndReport(true), quint8(0));   // the mouse holds the saved set
        if (slot != 0)
            w->profileButton(slot)->click();
        QCOMPARE(int(workingSet().ProfileID), slot);
        QVERIFY2(slotOnTheMouse(workingSet(), slot).isEmpty(), qPrintable(slotOnTheMouse(workingSet(), slot)));

        // Stage 2 at the slider's 40th step, entry 1 "Middle", BREATHING in blue.
        w->dpiPage()->onSliderChanged(40 + slot, 40 + slot, 1);
        ZelBtnWindow *buttons = w->buttonsPage();
        buttons->select(1, ZelBtnWindow::GroupPrimary);
        buttons->assign(buttons->actionFor(3));
        w->lightingPage()->effectMenu()->actions().at(1)->trigger();
        w->lightingPage()->slotSendLedState(QColor(0, 0, 200 + slot));
        sim::resetCounters();
        w->apply();
        QVERIFY(m_shown.isEmpty());
        const ProfileData &edited = workingSet().profiles[slot];
        QCOMPARE(int(edited.stages[1].x), 40 + slot);
        QCOMPARE(edited.buttons[1].Fun, 3);
        QCOMPARE(edited.effects[edited.LedMode].colour, QColor(0, 0, 200 + slot));
        QVERIFY2(slotOnTheMouse(workingSet(), slot).isEmpty(), qPrintable(slotOnTheMouse(workingSet(), slot)));
        QCOMPARE(sim::block(sim::Block::Dpi).mid(7, 2), QByteArray(1, char(40 + slot)) + QByteArray(1, '\0'));
        // Only this slot changed.
        ProfileData factory;
        buildDefaultProfile(factory);
        for (int other = 0; other < SLOT_COUNT; ++other) {
            if (other != slot)
                QCOMPARE(workingSet().profiles[other].buttons[1].Fun, factory.buttons[1].Fun);
        }

        // Another slot from the window.
        const int next = (slot + 1) % SLOT_COUNT;
        w->profileButton(next)->click();
        QVERIFY(m_shown.isEmpty());
        QVERIFY2(slotOnTheMouse(workingSet(), next).isEmpty(), qPrintable(slotOnTheMouse(workingSet(), next)));

        // Back with the mouse's own profile button: written without a dialog.
        BusyDialogCounter busy;
        QTRY_VERIFY_WITH_TIMEOUT(pollerAskedAgain(), 3000);
        sim::pushStatus(quint8(slot), edited.dpi, edited.pollrate, 0);
        QTRY_COMPARE_WITH_TIMEOUT(int(workingSet().ProfileID), slot, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isFollowingSlot(), 5000);
        QVERIFY2(slotOnTheMouse(workingSet(), slot).isEmpty(), qPrintable(slotOnTheMouse(workingSet(), slot)));
        QCOMPARE(busy.shown, 0);
        QVERIFY(m_shown.isEmpty());
        QCOMPARE(readDiff(), 0);
        // Nothing is left to write.
        sim::resetCounters();
        QCOMPARE(w->writeAndReport(), quint8(0));
        QVERIFY(commandsSent().isEmpty());
    }

    // An edit left in a slot by a switch to another is kept on disk, and
    // when the slot comes back the mouse and the files hold the same.
    void anEditLeftInASlotIsKept()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        QCOMPARE(w->writeAndReport(true), quint8(0));   // the mouse holds the saved set
        ZelBtnWindow *buttons = w->buttonsPage();
        buttons->select(1, ZelBtnWindow::GroupPrimary);
        buttons->assign(buttons->actionFor(3));   // "Middle", not applied
        w->profileButton(2)->click();
        QVERIFY(m_shown.isEmpty());
        QVERIFY2(slotOnTheMouse(workingSet(), 2).isEmpty(), qPrintable(slotOnTheMouse(workingSet(), 2)));
        QTemporaryDir copy;
        QCOMPARE(storedSetFromCopy(m_dir->path(), copy.path()).profiles[0].buttons[1].Fun, 3);

        w->profileButton(0)->click();
        QVERIFY2(slotOnTheMouse(workingSet(), 0).isEmpty(), qPrintable(slotOnTheMouse(workingSet(), 0)));
        QTemporaryDir again;
        const ProfileSet stored = storedSetFromCopy(m_dir->path(), again.path());
        QVERIFY(sameProfile(stored.profiles[0], workingSet().profiles[0]));
    }

    // The mouse's switch reported while a write runs waits for it, and a
    // switch from the window waits for the mouse's: the update brackets
    // never overlap, and the mouse ends with the slot last chosen.
    void switchesWaitForTheRunningDownload()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        QCOMPARE(w->writeAndReport(true), quint8(0));
        workingSet().profiles[2].stages[0].x = 77;
        workingSet().profiles[3].stages[0].x = 88;
        workingSet().profiles[0].scrollspeed = 6;
        QTimer::singleShot(0, w.data(), [&] { w->slotRefreshStatus(2, 1, 1, 0); });
        w->apply();
        QVERIFY(m_shown.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!w->isFollowingSlot(), 5000);
        QVERIFY2(slotOnTheMouse(workingSet(), 2).isEmpty(), qPrintable(slotOnTheMouse(workingSet(), 2)));

        w->slotRefreshStatus(3, 1, 1, 0);   // the mouse's report, as the poller hands it on
        QCOMPARE(int(workingSet().ProfileID), 3);
        QVERIFY(w->isFollowingSlot());
        QCoreApplication::processEvents();   // its write starts
        w->profileButton(4)->click();        // and the window's switch waits for it
        QTRY_VERIFY_WITH_TIMEOUT(!w->isFollowingSlot(), 5000);
        QCOMPARE(int(workingSet().ProfileID), 4);
        QVERIFY2(slotOnTheMouse(workingSet(), 4).isEmpty(), qPrintable(slotOnTheMouse(workingSet(), 4)));

        int open = 0;
        for (const QByteArray &frame : sim::writtenFrames()) {
            if (quint8(frame.at(3)) != 0x46)
                continue;
            open += frame.at(4) == 0 ? 1 : -1;
            QVERIFY2(open == 0 || open == 1, "two downloads overlapped");
        }
        QCOMPARE(open, 0);
        QVERIFY(m_shown.isEmpty());
    }

    // A switch the mouse makes quietly still says when the mouse did not take it.
    void aFailedQuietSwitchIsReported()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        QCOMPARE(w->writeAndReport(true), quint8(0));
        workingSet().profiles[1].stages[0].x = 66;
        m_answer = 0;   // "No"
        sim::failWrites(sim::ALWAYS);
        w->slotRefreshStatus(1, 1, 1, 0);
        QCOMPARE(int(workingSet().ProfileID), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!m_shown.isEmpty(), 5000);
        QCOMPARE(m_shown.last().text, QStringLiteral("Send data failed, please try again."));
        QCOMPARE(readDiff(), 1);
        sim::failWrites(0);
        m_shown.clear();
        w->apply();   // everything, slot 2's tables with it
        QVERIFY(m_shown.isEmpty());
        QVERIFY2(slotOnTheMouse(workingSet(), 1).isEmpty(), qPrintable(slotOnTheMouse(workingSet(), 1)));
    }

    void statusDuringAWriteIsKeptForTheNextOne()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        const quint8 stage = workingSet().profiles[0].dpi;
        const quint8 other = quint8((stage + 1) % 6);
        workingSet().profiles[0].scrollspeed = 5;
        // The mouse reports another DPI stage while the write is on its way:
        // the report lands in the live working set, not in what is written.
        QTimer::singleShot(0, w.data(), [&] { w->slotRefreshStatus(0, other, workingSet().profiles[0].pollrate, 0); });
        w->apply();
        QVERIFY(m_shown.isEmpty());
        QCOMPARE(workingSet().profiles[0].dpi, other);
        QCOMPARE(savedSet().profiles[0].dpi, stage);
        QCOMPARE(savedSet().profiles[0].scrollspeed, quint8(5));
        QCOMPARE(quint8(sim::block(sim::Block::Settings).at(17)), stage);
        // Not lost: the next Apply sends the general settings with it.
        sim::resetCounters();
        w->apply();
        QVERIFY(commandsSent().contains(0x01));
        QCOMPARE(quint8(sim::block(sim::Block::Settings).at(17)), other);
    }

    void aFailedWriteIsReportedAndTheNextWriteSendsEverything()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        workingSet().profiles[0].scrollspeed = 3;
        sim::failWrites(sim::ALWAYS);
        m_answer = 0;   // "No": left for the next Apply
        w->apply();
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown.first().text, QStringLiteral("Send data failed, please try again."));
        QCOMPARE(m_shown.first().type, 1);
        QCOMPARE(readDiff(), 1);

        sim::failWrites(0);
        sim::resetCounters();
        m_shown.clear();
        w->apply();   // nothing changed since, but the last write failed
        QVERIFY(m_shown.isEmpty());
        const QSet<quint8> sent = commandsSent();
        for (quint8 group : {0x01, 0x02, 0x03, 0x04})
            QVERIFY2(sent.contains(group), qPrintable(QString::number(group)));
        QCOMPARE(readDiff(), 0);
        QCOMPARE(sim::block(sim::Block::Settings).at(0), char(3));
    }

    // "Yes" on the failure box writes again, everything, at once.
    void yesAfterAFailedWriteTriesAgain()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        workingSet().profiles[0].scrollspeed = 3;
        sim::failWrites(sim::ALWAYS);
        int boxes = 0;
        appServices().messageHook = [this, &boxes](int type, const QString &text) {
            m_shown << Shown{type, text};
            if (++boxes == 2)
                sim::failWrites(0);   // the mouse answers by the second try
            return 1;                 // "Yes"
        };
        w->apply();
        QCOMPARE(m_shown.size(), 2);  // two failures, then the third write went through
        for (const Shown &s : qAsConst(m_shown))
            QCOMPARE(s.text, QStringLiteral("Send data failed, please try again."));
        const QSet<quint8> sent = commandsSent();
        for (quint8 group : {0x01, 0x02, 0x03, 0x04})
            QVERIFY2(sent.contains(group), qPrintable(QString::number(group)));
        QCOMPARE(readDiff(), 0);
        QCOMPARE(sim::block(sim::Block::Settings).at(0), char(3));
    }

    void aSleepingMouseGetsNothing()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        letThePollerSettle();
        // The receiver reports a battery of zeros: the mouse is off.
        sim::setBattery(sim::BatteryState());
        w->slotRefreshBatteryStatus(0, 0, 0);
        QCOMPARE(w->batteryBar()->format(), QStringLiteral("MOUSE OFF"));
        workingSet().profiles[0].scrollspeed = 4;
        m_answer = 0;   // "No"
        w->apply();
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown.first().text, QStringLiteral("Mouse is sleeping or not connected."));
        QVERIFY(commandsSent().isEmpty());
        // Saved to disk all the same.
        ProfileData onDisk;
        QVERIFY(readSlotFile(onDisk, QStringLiteral("Profile 1")));
        QCOMPARE(onDisk.scrollspeed, quint8(4));
        // The mouse wakes up: the next Apply writes the edit.
        w->slotRefreshBatteryStatus(0, 0xF2, 0x03);
        m_shown.clear();
        w->apply();
        QVERIFY(m_shown.isEmpty());
        QVERIFY(commandsSent().contains(0x01));
    }

    void writeStatusZeroForcesAFullWrite()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->slotRefreshWriteStatus(1);
        QCOMPARE(readDiff(), 0);
        w->slotRefreshWriteStatus(0);
        QCOMPARE(readDiff(), 1);
        w->apply();
        const QSet<quint8> sent = commandsSent();
        for (quint8 group : {0x01, 0x02, 0x03, 0x04})
            QVERIFY(sent.contains(group));
    }

    void resetAllWritesEverything()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        m_answer = 0;   // "No"
        w->controlButton("resetAllButton")->click();
        QCOMPARE(m_shown.last().text, QStringLiteral("Are you sure you want reset all profiles?"));
        QVERIFY(commandsSent().isEmpty());
        m_answer = 1;
        w->controlButton("resetAllButton")->click();
        const QSet<quint8> sent = commandsSent();
        for (quint8 group : {0x01, 0x02, 0x03, 0x04})
            QVERIFY(sent.contains(group));
    }

    // OK takes every page's values as Apply does: a new report rate reaches
    // the mouse and the slot's file.
    void okWritesTheReportRate()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->show();
        w->selectPage(MousecfgWidget::PageDpi);
        w->reportRatePage()->rateMenu()->actions().at(2)->trigger();   // 500 Hz
        w->controlButton("okButton")->click();
        QVERIFY(w->isHidden());
        QVERIFY(m_shown.isEmpty());
        QCOMPARE(int(sim::block(sim::Block::Settings).at(11)), 2);
        QTemporaryDir copy;
        const ProfileSet stored = storedSetFromCopy(m_dir->path(), copy.path());
        QCOMPARE(int(stored.profiles[0].pollrate), 2);
    }

    // Reset All: every slot, its file and the device-wide options go back to
    // the factory profile, as a new process finds them; the mouse gets the
    // active slot's factory tables.
    void resetAllResetsEverySlot()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->profileButton(1)->click();
        workingSet().profiles[1].stages[0].x = 99;
        workingSet().profiles[1].pollrate = 2;
        workingSet().profiles[1].buttons[2].Fun = 16;
        workingSet().Debounce = 33;
        w->apply();
        QVERIFY(m_shown.isEmpty());
        w->selectPage(MousecfgWidget::PageDpi);
        w->dpiPage()->onSliderChanged(90, 90, 3);   // an edit the page still holds
        m_answer = 1;
        w->controlButton("resetAllButton")->click();
        QCOMPARE(m_shown.last().text, QStringLiteral("Are you sure you want reset all profiles?"));
        QCOMPARE(m_shown.size(), 1);

        ProfileData factory;
        buildDefaultProfile(factory);
        QCOMPARE(int(workingSet().ProfileID), 0);
        QCOMPARE(w->dpiPage()->profileData().stages[3].x, factory.stages[3].x);
        QTemporaryDir copy;
        const ProfileSet stored = storedSetFromCopy(m_dir->path(), copy.path());
        QCOMPARE(int(stored.ProfileID), 0);
        QCOMPARE(int(stored.Debounce), 20);
        for (int i = 0; i < SLOT_COUNT; ++i) {
            ProfileData expected = factory;
            expected.ProfileName = QStringLiteral("Profile %1").arg(i + 1);
            ProfileData got = stored.profiles[i];
            got.ProfilePath.clear();
            QVERIFY2(profileDifference(got, expected).isEmpty(),
                     qPrintable(QStringLiteral("slot %1: %2").arg(i + 1).arg(profileDifference(got, expected))));
        }
        QVERIFY2(slotOnTheMouse(workingSet(), 0).isEmpty(), qPrintable(slotOnTheMouse(workingSet(), 0)));
        QCOMPARE(int(sim::block(sim::Block::Settings).at(12)), int(factory.pollrate));
    }

    // The second layer keeps showing its own labels, whatever refreshes the
    // page, also after an assignment cleared the selection.
    void secondLayerKeepsItsLabels()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->show();
        workingSet().profiles[2].buttons[20 + 1].Fun = 39;   // Play/Pause on slot 3's second layer
        w->selectPage(MousecfgWidget::PageCustomize);
        w->selectView(false);
        ZelBtnWindow *page = w->buttonsPage();
        page->select(0, ZelBtnWindow::GroupSecond);
        page->assign(page->actionFor(41));   // Previous Track, on the second layer of slot 1
        QCOMPARE(workingSet().profiles[0].buttons[20].Fun, 41);
        const auto secondLayerShown = [&](int slot) {
            QStringList wrong;
            if (page->shownLayer() != ZelBtnWindow::GroupSecond)
                wrong << QStringLiteral("layer %1").arg(page->shownLayer());
            for (int i = 0; i < 2; ++i) {
                ZelPushButton *second = page->entryButton(20 + i);
                const QString label = buttonEntryLabel(workingSet().profiles[slot].buttons[20 + i], 20 + i);
                if (!second->isVisible() || second->text() != label)
                    wrong << QStringLiteral("second-layer button %1 shows \"%2\"").arg(i).arg(second->text());
                if (page->entryButton(i)->isVisible())
                    wrong << QStringLiteral("primary button %1 shown").arg(i);
            }
            return wrong.join(QStringLiteral(", "));
        };
        QVERIFY2(secondLayerShown(0).isEmpty(), qPrintable(secondLayerShown(0)));
        w->profileButton(2)->click();
        QVERIFY2(secondLayerShown(2).isEmpty(), qPrintable(secondLayerShown(2)));
        QCOMPARE(page->entryButton(21)->text(), QStringLiteral("Play/Pause"));
        w->controlButton("cancelButton")->click();
        w->show();
        QVERIFY2(secondLayerShown(2).isEmpty(), qPrintable(secondLayerShown(2)));
        m_answer = 1;
        w->controlButton("resetAllButton")->click();
        QVERIFY2(secondLayerShown(0).isEmpty(), qPrintable(secondLayerShown(0)));
        w->slotRefreshStatus(3, 1, 1, 0);
        QCOMPARE(int(workingSet().ProfileID), 3);
        QVERIFY2(secondLayerShown(3).isEmpty(), qPrintable(secondLayerShown(3)));
        QTRY_VERIFY_WITH_TIMEOUT(!w->isFollowingSlot(), 5000);
    }

    void cancelReloadsTheSlotFromItsFile()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->show();
        const quint8 stored = workingSet().profiles[0].scrollspeed;
        workingSet().profiles[0].scrollspeed = quint8(stored + 5);
        workingSet().profiles[1].scrollspeed = 9;   // another slot keeps its edit
        w->controlButton("cancelButton")->click();
        QVERIFY(w->isHidden());
        QCOMPARE(workingSet().profiles[0].scrollspeed, stored);
        QCOMPARE(workingSet().profiles[1].scrollspeed, quint8(9));
        QVERIFY(commandsSent().isEmpty());
    }

    void slotMenuSwitchesTheMouseAndThePointerSpeed()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        workingSet().profiles[2].mousespeed = 15;
        w->slotMenu()->actions().at(2)->trigger();
        QCOMPARE(w->profileSlotButton()->text(), QStringLiteral("Mode 3"));
        QCOMPARE(w->profileNameEdit()->text(), QStringLiteral("Profile 3"));
        QVERIFY(w->profileButton(2)->isChecked());
        QCOMPARE(sim::activeProfile(), 2);
        QCOMPARE(m_speed.applied, QVector<int>{15});   // the new slot's speed
        QCOMPARE(readLibraryList().size(), 5);
        ProfileSet stored;
        loadProfileSet(stored);
        QCOMPARE(stored.ProfileID, quint8(2));
        // A profile button does the same for its slot.
        w->profileButton(3)->click();
        QCOMPARE(w->profileSlotButton()->text(), QStringLiteral("Mode 4"));
        QVERIFY(w->profileButton(3)->isChecked() && !w->profileButton(2)->isChecked());
        QCOMPARE(sim::activeProfile(), 3);
    }

    void profileOperationsShowTheirRefusals()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->controlButton("deleteButton")->click();
        QCOMPARE(m_shown.last().text, QStringLiteral("The default Profile cannot be deleted or renamed."));
        w->profileNameEdit()->setText(QStringLiteral("Renamed"));
        QMetaObject::invokeMethod(w->profileNameEdit(), "returnPressed");
        QCOMPARE(m_shown.last().text, QStringLiteral("The default Profile cannot be deleted or renamed."));
        QCOMPARE(w->profileNameEdit()->text(), QStringLiteral("Profile 1"));

        w->profileFileMenu()->actions().at(1)->trigger();   // "Profile 2" belongs to slot 2
        QCOMPARE(m_shown.last().text, QStringLiteral("Profile is Already Used!"));

        // Add a profile, rename it, then try a name that leaves the folder.
        // The menu, filled as it opens, lists the new one.
        QMenu *menu = w->profileFileMenu();
        w->controlButton("addButton")->click();
        QCOMPARE(w->profileNameEdit()->text(), QStringLiteral("Profile 6"));
        menu->popup(QPoint(0, 0));
        QCOMPARE(menu->actions().size(), 6);
        QCOMPARE(menu->actions().last()->text(), QStringLiteral("Profile 6"));
        menu->hide();
        QCOMPARE(w->profileFileMenu()->actions().size(), 6);
        const int before = m_shown.size();
        w->controlButton("copyButton")->click();
        QCOMPARE(w->profileNameEdit()->text(), QStringLiteral("Profile 6 copy"));
        QCOMPARE(m_shown.size(), before);
        w->profileNameEdit()->setText(QStringLiteral("../../evil"));
        QMetaObject::invokeMethod(w->profileNameEdit(), "returnPressed");
        QCOMPARE(m_shown.last().text, QStringLiteral("This name cannot be used for a file. Please choose another name."));
        QCOMPARE(w->profileNameEdit()->text(), QStringLiteral("Profile 6 copy"));
        w->profileNameEdit()->setText(QStringLiteral("Arena"));
        QMetaObject::invokeMethod(w->profileNameEdit(), "returnPressed");
        QCOMPARE(workingSet().names[0], QStringLiteral("Arena"));
        QVERIFY(QFile::exists(slotFilePath(QStringLiteral("Arena"))));

        // Delete it: confirmed, the next one takes its place.
        m_answer = 1;
        w->controlButton("deleteButton")->click();
        QCOMPARE(m_shown.last().text, QStringLiteral("Are you sure you want delete this profile?"));
        QVERIFY(!QFile::exists(slotFilePath(QStringLiteral("Arena"))));
        QCOMPARE(w->profileNameEdit()->text(), QStringLiteral("Profile 6"));
    }

    void importOfAnotherModelIsRefused()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        m_chosenFile = m_dir->path() + QStringLiteral("/foreign.conf");
        exportConfig(workingSet(), m_chosenFile);
        writeModelTag(QStringLiteral("OTHER MOUSE"), m_chosenFile);
        w->controlButton("loadButton")->click();
        QCOMPARE(m_shown.last().text, QStringLiteral("The file is not match current mouse!"));
        QVERIFY(commandsSent().isEmpty());

        m_chosenFile = m_dir->path() + QStringLiteral("/mine.conf");
        workingSet().profiles[0].scrollspeed = 6;
        w->controlButton("saveButton")->click();
        QVERIFY(QFile::exists(m_chosenFile));
        workingSet().profiles[0].scrollspeed = 1;
        m_shown.clear();
        w->controlButton("loadButton")->click();
        QVERIFY(m_shown.isEmpty());
        QCOMPARE(workingSet().profiles[0].scrollspeed, quint8(6));
        QVERIFY(commandsSent().contains(0x01));   // written to the mouse
        QCOMPARE(w->currentPage(), int(MousecfgWidget::PageLighting));
    }

    // A name typed without an extension gets the one the import dialog lists.
    void exportedFilesGetTheirExtension()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        m_chosenFile = m_dir->path() + QStringLiteral("/mine");
        w->controlButton("saveButton")->click();
        QVERIFY(QFile::exists(m_chosenFile + QStringLiteral(".conf")));
        QVERIFY(!QFile::exists(m_chosenFile));
        m_chosenFile = m_dir->path() + QStringLiteral("/best");
        w->controlButton("exportButton")->click();
        QVERIFY(QFile::exists(m_chosenFile + QStringLiteral(".prof")));
        // An extension the user typed is kept.
        m_chosenFile = m_dir->path() + QStringLiteral("/backup.ini");
        w->controlButton("saveButton")->click();
        QVERIFY(QFile::exists(m_chosenFile));
        QVERIFY(m_shown.isEmpty());
    }

    void batteryDisplay()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        letThePollerSettle();
        w->slotRefreshBatteryStatus(0, 0xF2, 0x03);
        QCOMPARE(w->batteryBar()->value(), 90);
        QCOMPARE(w->batteryLevelShown(), 90);
        QCOMPARE(w->batteryBar()->format(), QStringLiteral("%p%"));
        QCOMPARE(readBattery(), 90);
        QCOMPARE(w->connectionIconState(), 2);   // dongle, not charging
        QVERIFY(w->batteryBar()->isVisibleTo(w.data()));
        w->slotRefreshBatteryStatus(1, 0xF2, 0x03);
        QCOMPARE(w->connectionIconState(), 1);   // charging hides the bar
        QVERIFY(!w->batteryBar()->isVisibleTo(w.data()));
        w->slotRefreshBatteryStatus(0, 0, 0);
        QVERIFY(g_mouseOff.load());
        QCOMPARE(w->batteryBar()->format(), QStringLiteral("MOUSE OFF"));
        w.reset();

        setIni(globalConfigPath(), "Config/BatteryFull", 4100);
        QScopedPointer<MousecfgWidget> full(makeWindow());
        letThePollerSettle();
        full->slotRefreshBatteryStatus(0, 0xF2, 0x03);
        QCOMPARE(full->batteryBar()->value(), 100);
    }

    // Without a mouse no battery level is shown, nor stored.
    void noBatteryLevelWithoutAMouse()
    {
        sim::unplug(sim::Side::Receiver);
        setIni(globalConfigPath(), "Config/Battery", 70);
        QScopedPointer<MousecfgWidget> w(new MousecfgWidget);
        QTest::qWait(300);
        QCOMPARE(MousecfgWidget::listedMouseCount(), 0);
        QVERIFY(!w->batteryBar()->isVisibleTo(w.data()));
        QCOMPARE(readBattery(), 70);
        // The mouse arrives: its level is shown; it leaves: the level goes.
        sim::plug(sim::Side::Receiver);
        QTRY_VERIFY_WITH_TIMEOUT(w->batteryBar()->isVisibleTo(w.data()), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->batteryBar()->value(), 90, 5000);
        sim::unplug(sim::Side::Receiver);
        QTRY_VERIFY_WITH_TIMEOUT(!w->batteryBar()->isVisibleTo(w.data()), 3000);
    }

    void batteryReportFromTheMouseReachesTheBar()
    {
        sim::BatteryState b;
        b.low = 0xE8;   // 1000 -> 4125 mV
        b.high = 0x03;
        b.status = 1;
        sim::setBattery(b);
        QScopedPointer<MousecfgWidget> w(makeWindow());
        QTRY_COMPARE_WITH_TIMEOUT(w->batteryLevelShown(), 90, 3000);
    }

    void statusReportsSwitchSlotStageAndRate()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        workingSet().profiles[1].mousespeed = 7;
        sim::pushStatus(1, 2, 2, 0);   // profile 2, DPI stage 3, 500 Hz
        QTRY_COMPARE_WITH_TIMEOUT(w->profileSlotButton()->text(), QStringLiteral("Mode 2"), 3000);
        QCOMPARE(int(workingSet().ProfileID), 1);
        QTRY_COMPARE(int(workingSet().profiles[1].dpi), 2);
        QCOMPARE(int(workingSet().profiles[1].pollrate), 2);
        QCOMPARE(m_speed.applied.last(), 7);
        QStringList texts;
        for (const platform::OsdMessage &m : m_osd.received)
            texts << m.text;
        QVERIFY2(texts.contains(QStringLiteral("500 HZ")), qPrintable(texts.join('|')));
        bool dpiShown = false;
        for (const QString &t : texts)
            dpiShown |= t.startsWith(QStringLiteral("DPI 3:"));
        QVERIFY2(dpiShown, qPrintable(texts.join('|')));
        QCOMPARE(m_osd.received.first().duration, 1500);
        QCOMPARE(m_osd.received.first().font, QStringLiteral("Arial"));
        QCOMPARE(m_osd.received.first().colour, QColor(255, 125, 0));   // the shipped theme colour
    }

    // The display is started at most five times, 500 ms apart, while the
    // window goes on: nothing waits for it on the window's thread.
    void displayProgramIsStartedAtMostFiveTimes()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        m_osd.present = false;
        QElapsedTimer clock;
        clock.start();
        w->showOsdText(QStringLiteral("1000 HZ"));
        QVERIFY(clock.elapsed() < 200);
        QCOMPARE(m_started.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_started.size(), 5, 5000);
        QTest::qWait(800);
        QCOMPARE(m_started.size(), 5);
        QVERIFY(m_started.first().endsWith(QStringLiteral("/OSD")));
        QVERIFY(m_osd.received.isEmpty());
    }

    void unplugWarnsAndReplugClosesTheWarningByItself()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->show();
        appServices().messageHook = nullptr;   // the real box, with its device watch
        QTimer::singleShot(700, [] { sim::plug(sim::Side::Receiver); });
        sim::unplug(sim::Side::Receiver);
        QTRY_COMPARE_WITH_TIMEOUT(MousecfgWidget::listedMouseCount(), 0, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() != nullptr || w->isReconnected(), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(w->isReconnected(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() == nullptr, 3000);
        QVERIFY(!w->isWarningOpen());
        QCOMPARE(MousecfgWidget::listedMouseCount(), 1);
        QVERIFY(sim::openHandleCount(sim::Side::Receiver, sim::Collection::Control) >= 1);
        QVERIFY(w->isVisible());
        QCOMPARE(readDiff(), 1);   // a new attachment: the next write sends everything
    }

    void unplugWithNoMouseLeftShowsTheWarning()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->show();
        sim::unplug(sim::Side::Receiver);
        QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Dongle Disconnect!")), 3000);
        QCOMPARE(m_shown.last().type, 4);
        // Accepted while still no mouse: the window goes back to the tray.
        QTRY_VERIFY(w->isHidden());
        QCOMPARE(sim::openHandleCount(sim::Side::Receiver, sim::Collection::Control), 0);
    }

    void cableUnpluggedFallsBackToTheDongle()
    {
        sim::plug(sim::Side::Cable);
        QScopedPointer<MousecfgWidget> w(makeWindow());
        QVERIFY(sim::openHandleCount(sim::Side::Cable, sim::Collection::Control) >= 1);
        QCOMPARE(w->connectionIconState(), 1);
        sim::unplug(sim::Side::Cable);
        QTRY_COMPARE_WITH_TIMEOUT(w->connectionIconState(), 2, 2000);   // dongle only
        // The device is closed, then reopened through the dongle 500 ms later.
        QTRY_VERIFY_WITH_TIMEOUT(sim::openHandleCount(sim::Side::Receiver, sim::Collection::Control) >= 1, 3000);
        QCOMPARE(sim::openHandleCount(sim::Side::Cable, sim::Collection::Control), 0);
        QCOMPARE(MousecfgWidget::listedMouseCount(), 1);
        QVERIFY(m_shown.isEmpty());
        // Frames go through the receiver now.
        workingSet().profiles[0].scrollspeed = 2;
        sim::resetCounters();
        w->apply();
        QVERIFY(m_shown.isEmpty());
        QVERIFY(commandsSent().contains(0x01));
        for (const sim::FrameRecord &r : sim::frameLog()) {
            if (r.direction == sim::FrameRecord::Written)
                QCOMPARE(r.side, sim::Side::Receiver);
        }
    }

    // The cable is plugged in while a write goes out through the receiver:
    // the write ends on the handles it started with, and the device is
    // reopened (through the cable) only afterwards.
    void aReconnectDuringAWriteWaitsForIt()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        workingSet().profiles[0].scrollspeed = 4;
        // When the write's first frame has reached the mouse, the cable
        // arrives, and the write waits until the window has heard of it.
        QSemaphore heard;
        bool plugged = false;
        const QMetaObject::Connection watch = connect(
            sim::observer(), &sim::Observer::changed, sim::observer(),
            [&] {
                if (plugged || sim::updateBegins() == 0)
                    return;
                plugged = true;
                sim::plug(sim::Side::Cable);
                QMetaObject::invokeMethod(w.data(), [&heard] { heard.release(); }, Qt::QueuedConnection);
                heard.tryAcquire(1, 5000);
            },
            Qt::DirectConnection);
        const int before = sim::commitCount(sim::Block::Settings);
        w->apply();
        disconnect(watch);
        QVERIFY(plugged);
        QVERIFY(m_shown.isEmpty());
        QCOMPARE(sim::commitCount(sim::Block::Settings), before + 1);
        QCOMPARE(quint8(sim::block(sim::Block::Settings).at(0)), quint8(4));
        for (const sim::FrameRecord &r : sim::frameLog()) {
            if (r.direction == sim::FrameRecord::Written)
                QCOMPARE(r.side, sim::Side::Receiver);
        }
        QTRY_VERIFY_WITH_TIMEOUT(sim::openHandleCount(sim::Side::Cable, sim::Collection::Control) >= 1, 3000);
        QCOMPARE(w->connectionIconState(), 1);
    }

    // No updater can run on this system (a Windows program without Wine):
    // said at once, on the cable or not, before any question.
    void firmwareUpdateSaysAtOnceWhenNoUpdaterCanRun()
    {
        m_updaterRuns = false;
        sim::setReleaseNumber(sim::Side::Cable, 0x0102);
        sim::plug(sim::Side::Cable);
        QScopedPointer<MousecfgWidget> w(makeWindow());
        for (bool fromPress : {true, false}) {
            m_shown.clear();
            w->firmwareUpdate(fromPress);
            QCOMPARE(m_shown.size(), 1);
            QCOMPARE(m_shown.first().text, QStringLiteral("The firmware updater could not be started."));
            QCOMPARE(m_shown.first().type, 2);
        }
        QVERIFY(m_started.isEmpty());
        QVERIFY(m_exits.isEmpty());
        QVERIFY(w->batteryBar());   // still running
    }

    void firmwareUpdateNeedsTheCable()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->firmwareUpdate(true);
        QCOMPARE(m_shown.last().text,
                 QStringLiteral("To update the firmware, please connect to the computer with a cable."));
        QVERIFY(m_started.isEmpty());
        w.reset();

        sim::setReleaseNumber(sim::Side::Cable, 0x0102);
        sim::plug(sim::Side::Cable);
        QScopedPointer<MousecfgWidget> cabled(makeWindow());
        m_answer = 0;
        cabled->firmwareUpdate(false);
        QCOMPARE(m_shown.last().text, QStringLiteral("Do you want to upgrade the firmware?"));
        QVERIFY(m_started.isEmpty());

        m_answer = 1;
        m_startSucceeds = false;
        cabled->firmwareUpdate(true);
        QCOMPARE(m_started.size(), 1);
        QVERIFY(m_started.first().endsWith(QStringLiteral("/skin/mouse/bin/U400-5150-20230727-en.exe")));
        QCOMPARE(m_shown.last().text, QStringLiteral("The firmware updater could not be started."));
        QVERIFY(m_exits.isEmpty());   // still running

        m_startSucceeds = true;
        cabled->switchLanguage(1);
        cabled->firmwareUpdate(false);
        QVERIFY(m_started.last().endsWith(QStringLiteral("/skin/mouse/bin/U400-5150-20230727.exe")));
        QCOMPARE(m_exits, QList<int>{0});
    }

    // Without a tray every way of hiding the window minimises it instead:
    // it stays where the desktop shows windows, and a second start brings
    // it back.
    void withoutATrayTheWindowStaysReachable_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("OK") << QStringLiteral("okButton");
        QTest::newRow("Cancel") << QStringLiteral("cancelButton");
        QTest::newRow("close") << QStringLiteral("closeButton");
        QTest::newRow("no-mouse warning") << QString();
    }

    void withoutATrayTheWindowStaysReachable()
    {
        QFETCH(QString, button);
        // xdg-shell has no minimised state: the compositor's next configure
        // reports the window as normal again, whatever it shows.
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            QSKIP("A Wayland compositor does not report a minimised window back");
        m_tray = false;
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->show();
        if (button.isEmpty()) {
            sim::unplug(sim::Side::Receiver);
            QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Dongle Disconnect!")), 3000);
        } else {
            w->controlButton(button)->click();
        }
        QTRY_VERIFY(w->isMinimized());
        QVERIFY(!w->isHidden());
        const int warnings = m_shown.size();
        w->bringToFront();
        if (button.isEmpty()) {
            // Still no mouse: brought up with its warning again.
            QCOMPARE(m_shown.size(), warnings + 1);
            QCOMPARE(m_shown.last().text, QStringLiteral("Dongle Disconnect!"));
        } else {
            QVERIFY(!w->isMinimized());
        }
        QVERIFY(w->isVisible());
        // The window's own menu offers what the tray's does.
        QVERIFY(w->findChild<QAction *>(QStringLiteral("autostartAction")));

        // With a tray, as before: hidden to it.
        m_tray = true;
        if (!button.isEmpty()) {
            w->controlButton(button)->click();
            QVERIFY(w->isHidden());
        }
    }

    // "Start at Login" writes the autostart entry that starts this program
    // hidden, and removes it again; a start at login shows nothing until the
    // program is asked for.
    void startAtLogin()
    {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir->filePath(QStringLiteral("config")).toUtf8());
        const QString entry = m_dir->filePath(QStringLiteral("config/autostart/org.example.mousecfg.desktop"));
        QScopedPointer<MousecfgWidget> w(makeWindow());
        auto *action = w->findChild<QAction *>(QStringLiteral("autostartAction"));
        QVERIFY(action);
        QVERIFY(!action->isChecked());   // off by default
        action->trigger();
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        file.close();
        QVERIFY2(text.contains("\nExec=" + QFile::encodeName(QCoreApplication::applicationFilePath()) + " --hidden\n"),
                 text.constData());
        action->trigger();
        QVERIFY(!QFile::exists(entry));
        w.reset();
        qputenv("XDG_CONFIG_HOME", saved);

        MousecfgWidget::setStartHidden(true);
        QScopedPointer<MousecfgWidget> hidden(makeWindow());
        MousecfgWidget::setStartHidden(false);
        QTest::qWait(400);   // past the 200 ms that shows a window started normally
        QVERIFY(hidden->isHidden());
        QVERIFY(m_shown.isEmpty());
        hidden->bringToFront();
        QVERIFY(hidden->isVisible());
    }

    void scaledScreenGivesTheLargerWindow()
    {
        appServices().logicalDpi = [] { return 144.0; };
        QScopedPointer<MousecfgWidget> w(makeWindow());
        QCOMPARE(w->scaleStep(), 2);
        QCOMPARE(w->size(), QSize(1498, 960));
        QCOMPARE(w->profileSlotButton()->geometry(), QRect(102, 319, 225, 43));
        appServices().logicalDpi = [] { return 96.0; };
        w->resize(999, 640);
        QCOMPARE(w->scaleStep(), 0);
        QCOMPARE(w->profileSlotButton()->geometry(), QRect(68, 213, 150, 29));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

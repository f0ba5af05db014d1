// The CUSTOMIZE page in the main window against the simulated mouse: what a
// user assigns reaches the mouse's key table and macro memory on Apply, and
// a new window over the same Configs shows the same labels.

#include "tests/app/windowtest.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "device/buttoncatalogue.h"
#include "device/commands.h"
#include "device/download.h"
#include "pages/buttons/keycapture.h"
#include "pages/buttons/zelbtnwindow.h"
#include "pages/buttons/zelfirekeywindow.h"
#include "pages/buttons/zelmacroselect.h"
#include "pages/buttons/zelsniperwindow.h"
#include "platform/keyboardhook.h"
#include "platform/osdchannel.h"
#include "platform/pointerspeed.h"
#include "profile/configstore.h"
#include "profile/macrostore.h"
#include "profile/paths.h"
#include "profile/profileset.h"
#include "sim/simmouse.h"
#include "widgets/zelaction.h"
#include "widgets/zelpushbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QPointer>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>

using platform::KeyboardHook;

namespace {

void whenModal(std::function<void(QWidget *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}

// A dialog or menu still open after 30 s is a fault of the test or the page:
// it is closed and named, so the run fails instead of hanging.
class Watchdog : public QObject {
public:
    Watchdog()
    {
        m_Timer.setInterval(500);
        QObject::connect(&m_Timer, &QTimer::timeout, [this] { check(); });
        m_Timer.start();
    }
    QStringList stuck;

private:
    void check()
    {
        QWidget *open = QApplication::activeModalWidget();
        if (!open)
            open = QApplication::activePopupWidget();
        if (open != m_Seen) {
            m_Seen = open;
            m_Since.start();
            return;
        }
        if (open && m_Since.elapsed() > 30000) {
            stuck << QString::fromLatin1(open->metaObject()->className());
            qWarning("Closing a %s left open", open->metaObject()->className());
            if (auto *dialog = qobject_cast<QDialog *>(open))
                dialog->reject();
            else
                open->hide();
        }
    }
    QTimer m_Timer;
    QPointer<QWidget> m_Seen;
    QElapsedTimer m_Since;
};


void accept(QWidget *dialog)
{
    dialog->findChild<QToolButton *>(QStringLiteral("msgBoxYesBtn"))->click();
}

QByteArray four(int a, int b, int c, int d)
{
    QByteArray bytes;
    bytes.append(char(a)).append(char(b)).append(char(c)).append(char(d));
    return bytes;
}

} // namespace

class TestButtonsPageEndToEnd : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    platform::RecordingPointerSpeed m_speed;
    QStringList m_shown;
    QuietOsd m_osd;
    Watchdog *m_watchdog = nullptr;

    MousecfgWidget *makeWindow()
    {
        auto *w = new MousecfgWidget;
        w->show();
        QTest::qWait(300);
        return w;
    }

    // Presses a button of the page as the user does: its menu opens; the
    // action is chosen from it (through the submenu when there is one).
    void chooseFromMenu(ZelPushButton *button, ZelAction *action)
    {
        bool chosen = false;
        QTimer::singleShot(50, [&chosen, action] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            bool found = menu->actions().contains(action);
            for (QAction *entry : menu->actions()) {
                if (entry->menu() && entry->menu()->actions().contains(action))
                    found = true;
            }
            QVERIFY(found);
            menu->hide();
            chosen = true;
            action->trigger();
        });
        QTest::mousePress(button, Qt::LeftButton);
        QTRY_VERIFY(chosen);
        QTest::mouseRelease(button, Qt::LeftButton);
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
        s.logicalDpi = [] { return 96.0; };
        s.trayAvailable = [] { return true; };
        s.osd = &m_osd;
        m_watchdog = new Watchdog;
        setConfigsBase(m_dir.path());
        plugFreshMouse();
    }

    void cleanup()
    {
        QVERIFY2(m_watchdog->stuck.isEmpty(), qPrintable(m_watchdog->stuck.join(QStringLiteral(", "))));
    }

    void cleanupTestCase()
    {
        delete m_watchdog;
        platform::setPointerSpeedBackend(nullptr);
        appServices() = AppServices();
        setConfigsBase(QString());
    }

    void assignApplyRestart()
    {
        // A known sensor, and one macro in the store.
        QVector<KeyInfo> body = {{0x04, 0x00, 0x80}, {0x06, 0x00, 0x05}, {0x04, 0x00, 0x00}};
        QVERIFY(saveMacro(QStringLiteral("e2e"), MacroSettings(), body));
        QVERIFY(addMacroName(QStringLiteral("e2e")));

        QScopedPointer<MousecfgWidget> w(makeWindow());
        {
            QSettings settings(globalConfigPath(), QSettings::IniFormat);
            settings.setValue(QStringLiteral("MouseSenSor/1"), 3389);
        }
        w->selectPage(MousecfgWidget::PageCustomize);
        ZelBtnWindow *page = w->buttonsPage();
        QVERIFY(page);
        QVERIFY(page->parentWidget());
        auto *scroll = w->findChild<QScrollArea *>(QStringLiteral("buttonsPageScroll"));
        QVERIFY(scroll && scroll->isVisible());
        QVERIFY(page->entryButton(3)->isVisible());
        // The page lies beside the picture, inside the window.
        QVERIFY(w->rect().contains(scroll->geometry()));

        // Copy on a side button, chosen from its menu.
        chooseFromMenu(page->entryButton(4), page->actionFor(18));
        QCOMPARE(page->entryButton(4)->text(), QStringLiteral("Copy"));
        QVERIFY(w->marker(4)->isChecked());   // the marker followed the press

        // A combo: Ctrl + Alt + Delete.
        whenModal([](QWidget *dialog) {
            KeyboardHook::inject(29, 0);
            KeyboardHook::inject(56, 0x20);
            KeyboardHook::inject(83, 0x21);
            KeyboardHook::inject(83, 0xA1);
            KeyboardHook::inject(56, 0xA0);
            KeyboardHook::inject(29, 0x80);
            accept(dialog);
        });
        chooseFromMenu(page->entryButton(5), page->actionFor(FUN_COMBO_KEY));
        QCOMPARE(page->entryButton(5)->text(), QStringLiteral("COMBO KEY"));

        // A fire key: F5, 3 times, 100 ms apart.
        whenModal([](QWidget *w) {
            auto *dialog = static_cast<ZelFireKeyWindow *>(w);
            dialog->modeBox(FIRE_KEYBOARD)->click();
            KeyboardHook::inject(63, 0);
            accept(dialog);
        });
        chooseFromMenu(page->entryButton(6), page->actionFor(FUN_FIRE_KEY));

        // A sniper at the sensor's default step.
        whenModal([](QWidget *w) { accept(w); });
        chooseFromMenu(page->entryButton(7), page->actionFor(FUN_SNIPER));

        // The macro, played twice.
        whenModal([](QWidget *w) {
            auto *dialog = static_cast<ZelMacroSelect *>(w);
            dialog->nameMenu()->actions().at(0)->trigger();
            dialog->loopEdit()->setText(QStringLiteral("2"));
            accept(dialog);
        });
        chooseFromMenu(page->entryButton(3), page->actionFor(FUN_MACRO));
        QCOMPARE(page->entryButton(3)->text(), QStringLiteral("e2e"));

        QCOMPARE(w->writeAndReport(), quint8(0));
        QVERIFY(m_shown.isEmpty());

        const ButtonLayout layout = currentButtonLayout();
        const QByteArray keys = sim::block(sim::Block::Keys);
        const auto slotBytes = [&](int entry) { return keys.mid(2 + 4 * layout.matrix[entry], 4); };
        QCOMPARE(slotBytes(4), four(0x8F, 0x01, 0x06, 0x00));
        QCOMPARE(slotBytes(5), four(0x8F, 0x05, 0x4C, 0x00));
        QCOMPARE(slotBytes(6), four(0x99, 0x3E, 0x03, 0x0A));
        QCOMPARE(slotBytes(7), four(0x9A, 0x01, 0x06, 0x06));
        QCOMPARE(slotBytes(3), four(0x91, 0x00, 0x02, 0x00));
        const QByteArray expectedBody = macroBody(body);
        QCOMPARE(sim::block(sim::Block::Macros).left(expectedBody.size()), expectedBody);

        // A new window over the same Configs shows what was assigned. The
        // files are read from a copy, so that nothing this process cached
        // from writing them can stand in for what is on disk.
        w.reset();
        QTemporaryDir copy;
        copyTree(m_dir.path(), copy.path());
        setConfigsBase(copy.path());
        QScopedPointer<MousecfgWidget> again(makeWindow());
        ZelBtnWindow *restarted = again->buttonsPage();
        QCOMPARE(restarted->entryButton(4)->text(), QStringLiteral("Copy"));
        QCOMPARE(restarted->entryButton(5)->text(), QStringLiteral("COMBO KEY"));
        QCOMPARE(restarted->entryButton(6)->text(), QStringLiteral("FIRE KEY"));
        QCOMPARE(restarted->entryButton(7)->text(), QStringLiteral("SNIPER"));
        QCOMPARE(restarted->entryButton(3)->text(), QStringLiteral("e2e"));
        again.reset();
        setConfigsBase(m_dir.path());
    }

    // Markers and the page select each other; the side view edits the second layer.
    void markersAndLayers()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->selectPage(MousecfgWidget::PageCustomize);
        ZelBtnWindow *page = w->buttonsPage();
        w->marker(2)->click();
        QCOMPARE(page->selectedEntry(), 2);
        // Hovering a page button lights its marker.
        emit page->entryButton(6)->OverSignal(page->entryButton(6), true);
        QVERIFY(w->marker(6)->isChecked());
        emit page->entryButton(6)->OverSignal(page->entryButton(6), false);
        QVERIFY(!w->marker(6)->isChecked());
        QVERIFY(w->marker(2)->isChecked());

        w->selectView(false);
        QCOMPARE(page->selectedGroup(), quint8(ZelBtnWindow::GroupSecond));
        QVERIFY(page->entryButton(20)->isVisible());
        QVERIFY(!page->entryButton(0)->isVisible());
        page->assign(page->actionFor(47));
        QCOMPARE(page->entryButton(22)->text(), QStringLiteral("DPI Switch"));
        w->selectView(true);
        QVERIFY(page->entryButton(0)->isVisible());

        // Another tab hides the page; asking for a macro with none listed
        // shows the MACRO tab.
        removeMacroName(QStringLiteral("e2e"));
        page->select(1, 0);
        page->assign(page->actionFor(FUN_MACRO));
        QCOMPARE(w->currentPage(), int(MousecfgWidget::PageMacro));
        QVERIFY(!w->findChild<QScrollArea *>(QStringLiteral("buttonsPageScroll"))->isVisible());

        // Another slot, chosen in the window or on the mouse: the page edits it.
        w->selectSlot(1);
        QCOMPARE(page->profile(), &workingSet().profiles[1]);
        workingSet().profiles[2].buttons[0].Fun = 1;
        workingSet().profiles[2].buttons[1].Fun = 19;
        w->slotRefreshStatus(2, 0, 0, 0);
        QTRY_COMPARE(page->profile(), &workingSet().profiles[2]);
        QCOMPARE(page->entryButton(1)->text(), QStringLiteral("Paste"));

        // Refusing to remove the last left click shows the window's notice.
        w->selectPage(MousecfgWidget::PageCustomize);
        for (int i = 1; i < BUTTON_COUNT; ++i) {
            if (page->profile()->buttons[i].Fun == FUN_LEFT)
                page->profile()->buttons[i].Fun = 3;
        }
        page->select(0, 0);
        page->assign(page->actionFor(2));
        QVERIFY(m_shown.contains(QStringLiteral("AT LEAST ONE CLICK FUNCTION TO BE RETAINED.")));
    }
};

QTEST_MAIN(TestButtonsPageEndToEnd)
#include "tst_buttonspage_e2e.moc"

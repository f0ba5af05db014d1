// The button page alone, over a profile record: menus, layout, layers,
// labels, and what each action writes into the button entry (dialogs are
// answered as a user would, keys arrive through the keyboard hook).

#include "device/buttoncatalogue.h"
#include "pages/buttons/keycapture.h"
#include "pages/buttons/zelbtnwindow.h"
#include "pages/buttons/zelcombokeywindow.h"
#include "pages/buttons/zelfirekeywindow.h"
#include "pages/buttons/zelmacroselect.h"
#include "pages/buttons/zelsinglekeywindow.h"
#include "pages/buttons/zelsniperwindow.h"
#include "platform/keyboardhook.h"
#include "profile/macrostore.h"
#include "profile/paths.h"
#include "widgets/zelaction.h"
#include "widgets/zellabel.h"
#include "widgets/zelmessagebox.h"
#include "widgets/zelpushbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <functional>

using platform::KeyboardHook;

namespace {

// Runs `answer` on the next modal dialog as soon as it is shown.
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

void accept(QWidget *dialog)
{
    dialog->findChild<QToolButton *>(QStringLiteral("msgBoxYesBtn"))->click();
}

void cancel(QWidget *dialog)
{
    dialog->findChild<QToolButton *>(QStringLiteral("msgBoxNoBtn"))->click();
}

ProfileData leftOnlyAt(int entry)
{
    ProfileData p;
    for (int i = 0; i < BUTTON_COUNT; ++i)
        p.buttons[i].Fun = 3;
    p.buttons[entry].Fun = 1;
    return p;
}

void writeDescription(const QString &path, const QList<int> &matrix, bool disableMacro = false)
{
    QSettings s(path, QSettings::IniFormat);
    s.setValue(QStringLiteral("PROFILE/ProductName"), QStringLiteral("TEST"));
    for (int i = 0; i < 16; ++i)
        s.setValue(QStringLiteral("PROFILE/BUTTON_INFO_%1_Matrix2").arg(i), i < matrix.size() ? matrix[i] : 255);
    s.setValue(QStringLiteral("PROFILE/DisableMacro"), disableMacro ? 1 : 0);
    s.setValue(QStringLiteral("PROFILE/ledDisable"), disableMacro ? 1 : 0);
}

QStringList texts(const QMenu *menu)
{
    QStringList list;
    for (QAction *action : menu->actions())
        list << (action->menu() ? QStringLiteral("[") + action->menu()->title() + QStringLiteral("]") : action->text());
    return list;
}

} // namespace

class TestBtnWindow : public QObject {
    Q_OBJECT
    QTemporaryDir *m_base = nullptr;

private slots:
    void init()
    {
        m_base = new QTemporaryDir;
        setConfigsBase(m_base->path());
    }
    void cleanup()
    {
        setConfigsBase(QString());
        delete m_base;
    }

    void menus()
    {
        ProfileData p;
        ZelBtnWindow page(&p);
        QCOMPARE(texts(page.mainMenu()),
                 QStringList({"Left", "Right", "Middle", "Forward", "Back", "[Basic]", "[Windows]", "[Advance]",
                              "[Media]", "[DPI]", "[Profile Menu]", "[Polling Rate]", "Macro Manager",
                              "GunFile Manager", "Led Switch", "Button Off"}));
        QCOMPARE(texts(page.submenu(ZelBtnWindow::MenuAdvance)),
                 QStringList({"SINGLE KEY", "COMBO KEY", "FIRE KEY", "SNIPER"}));
        QCOMPARE(texts(page.submenu(ZelBtnWindow::MenuProfile)),
                 QStringList({"Profile Switch", "Profile +", "Profile -"}));
        QCOMPARE(texts(page.submenu(ZelBtnWindow::MenuWindows)).size(), 15);
        QCOMPARE(texts(page.wheelMenu()),
                 QStringList({"Scroll Up", "Scroll Down", "Volume Up", "Volume Down", "Left", "Right", "Middle",
                              "Forward", "Back", "SINGLE KEY", "COMBO KEY"}));
        // Menus are rebuilt on every retranslate, not added to.
        page.retranslate();
        QCOMPARE(page.mainMenu()->actions().size(), 16);
    }

    void layoutAndSwitches()
    {
        QTemporaryDir app;
        setApplicationDir(app.path());
        const QString file = app.path() + QStringLiteral("/DefaultProfile.bin");
        ProfileData p;

        // 7 visible buttons (and the two wheel rows) spread evenly.
        writeDescription(file, {0, 1, 255, 2, 3, 4, 5, 6}, true);
        {
            ZelBtnWindow page(&p);
            page.resize(290, 440);
            page.relayout();
            QList<int> tops;
            for (int i = 0; i < 8; ++i) {
                if (i == 2) {
                    QVERIFY(page.entryButton(i)->geometry().isEmpty());
                    continue;
                }
                const QRect r = page.entryButton(i)->geometry();
                QCOMPARE(r.x(), 56);
                QCOMPARE(r.size(), QSize(220, 30));
                tops << r.y();
            }
            tops << page.entryButton(40)->y() << page.entryButton(41)->y();
            const int gap = (440 - 9 * 30) / 10;
            for (int i = 0; i < tops.size(); ++i)
                QCOMPARE(tops[i], gap + i * (gap + 30));
            QCOMPARE(page.entryButton(3)->badge(), quint8(3));
            // The description hides the macro functions and the lighting switch.
            QVERIFY(!texts(page.mainMenu()).contains("Macro Manager"));
            QVERIFY(!texts(page.mainMenu()).contains("GunFile Manager"));
            QVERIFY(!texts(page.mainMenu()).contains("Led Switch"));
        }

        // 12 visible: from 30 with gaps of 20, scrolled when needed.
        writeDescription(file, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
        {
            ZelBtnWindow page(&p);
            page.resize(290, 440);
            page.setScale(1.5);
            QCOMPARE(page.entryButton(0)->geometry(), QRect(84, 30, 330, 45));
            QCOMPARE(page.entryButton(1)->y(), 30 + 20 + 45);
            QCOMPARE(page.entryButton(11)->y(), 30 + 11 * 65);
            QVERIFY(page.contentHeight() > 440);
            // The second layer stands where the primary one does, so it can be clicked.
            QCOMPARE(page.entryButton(20 + 5)->geometry(), page.entryButton(5)->geometry());
            QVERIFY(page.entryButton(12)->geometry().isEmpty());
            QVERIFY(texts(page.mainMenu()).contains("Macro Manager"));
        }
        setApplicationDir(QString());
    }

    void layers()
    {
        ProfileData p;
        ZelBtnWindow page(&p);
        page.resize(290, 440);
        page.show();
        QVERIFY(page.entryButton(0)->isVisible());
        QVERIFY(page.entryButton(40)->isVisible());
        QVERIFY(!page.entryButton(20)->isVisible());
        page.select(3, ZelBtnWindow::GroupSecond);
        QCOMPARE(page.selectedEntry(), 23);
        QVERIFY(!page.entryButton(0)->isVisible());
        QVERIFY(!page.entryButton(40)->isVisible());
        QVERIFY(!page.entryButton(41)->isVisible());
        QVERIFY(page.entryButton(23)->isVisible());
        page.select(1, ZelBtnWindow::GroupWheel);
        QCOMPARE(page.selectedEntry(), 41);
        QVERIFY(page.entryButton(0)->isVisible());
        QVERIFY(!page.entryButton(23)->isVisible());

        // An assignment on the second layer clears the selection, not the
        // layer: laying the page out again and new labels keep it.
        page.select(3, ZelBtnWindow::GroupSecond);
        page.assign(page.actionFor(18));
        QCOMPARE(page.selectedEntry(), -1);
        page.relayout();
        ProfileData q;
        page.setProfile(&q);
        QCOMPARE(page.shownLayer(), quint8(ZelBtnWindow::GroupSecond));
        QVERIFY(page.entryButton(23)->isVisible());
        QVERIFY(!page.entryButton(3)->isVisible() && !page.entryButton(40)->isVisible());
    }

    // The tool tip names what a button holds; the label stays as it was.
    void toolTips_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("tip");
        QTest::newRow("plain") << 0 << "Left" << "Left";
        QTest::newRow("single key") << 1 << "SINGLE KEY" << "SINGLE KEY: K";
        QTest::newRow("combo") << 2 << "COMBO KEY" << "COMBO KEY: Ctrl + Shift + A";
        QTest::newRow("fire key") << 3 << "FIRE KEY" << "FIRE KEY: F × 5, 10 ms";
        QTest::newRow("fire middle") << 4 << "FIRE KEY" << "FIRE KEY: Middle × 3, 40 ms";
        QTest::newRow("macro, times") << 5 << "Copy" << "Macro Manager: Copy, 3 times";
        QTest::newRow("macro, once") << 6 << "Copy" << "Macro Manager: Copy, once";
        QTest::newRow("macro, held") << 7 << "burst" << "Macro Manager: burst, while held";
        QTest::newRow("gun file, toggled") << 8 << "recoil" << "GunFile Manager: recoil, until pressed again";
        QTest::newRow("second layer") << 21 << "SINGLE KEY" << "SINGLE KEY: K";
        QTest::newRow("wheel") << 40 << "Scroll Up" << "Scroll Up";
        QTest::newRow("nothing") << 9 << "" << "No function";
        QTest::newRow("wheel function off the wheel") << 10 << "" << "Scroll Down";
    }
    void toolTips()
    {
        QFETCH(int, entry);
        QFETCH(QString, label);
        QFETCH(QString, tip);
        ProfileData p;
        ButtonEntry *b = p.buttons;
        b[0].Fun = 1;
        b[1].Fun = b[21].Fun = 6;
        b[1].Res1 = b[21].Res1 = 37;   // K
        ComboKeys combo;
        combo.flags[COMBO_SHIFT] = 1;
        combo.flags[COMBO_CTRL] = 1;
        combo.flags[COMBO_KEY] = 1;
        combo.otherKey = 30;            // A
        writeComboEvents(b[2], combo);
        b[2].Fun = 7;
        b[3].Fun = 12;
        b[3].Res1 = fireKeyRes1(FIRE_KEYBOARD, 33);   // F
        b[3].LoopNumber = 5;
        b[3].KeyNumber = 10;
        b[4].Fun = 12;
        b[4].Res1 = 0x84;
        b[4].LoopNumber = 3;
        b[4].KeyNumber = 40;
        for (int i : {5, 6, 7, 8}) {
            b[i].Fun = i == 8 ? 510 : 200;
            b[i].macroname = i < 7 ? QStringLiteral("Copy") : i == 7 ? QStringLiteral("burst") : QStringLiteral("recoil");
            b[i].LoopNumber = i == 5 ? 3 : 1;
            b[i].Res1 = quint8(i < 7 ? 0 : i - 6);
        }
        b[40].Fun = 52;
        b[10].Fun = 53;
        ZelBtnWindow page(&p);
        QCOMPARE(buttonEntryToolTip(p.buttons[entry], entry), tip);
        QCOMPARE(page.entryButton(entry)->text(), label);
        QCOMPARE(page.entryButton(entry)->toolTip(), tip);
    }

    // The tool tip of a page button is drawn in the skin's dark grey with
    // light text, not transparent like the page itself.
    void toolTipIsLegible()
    {
        ProfileData p;
        p.buttons[0].Fun = 1;
        QWidget window;
        window.setStyleSheet(QStringLiteral("background:rgb(20,20,20);"));
        window.resize(300, 460);
        auto *page = new ZelBtnWindow(&p, &window);
        page->resize(290, 440);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ZelPushButton *button = page->entryButton(0);
        QToolTip::showText(button->mapToGlobal(QPoint(5, 5)), button->toolTip(), button);
        QWidget *tip = nullptr;
        QTRY_VERIFY((tip = [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->inherits("QTipLabel") && w->isVisible())
                    return w;
            return static_cast<QWidget *>(nullptr);
        }()) != nullptr);
        const QImage image = tip->grab().toImage();
        const QColor background = image.pixelColor(image.width() - 3, image.height() / 2);
        QCOMPARE(background, QColor(50, 50, 50));
        QCOMPARE(tip->palette().color(QPalette::WindowText), QColor(235, 235, 235));
        QToolTip::hideText();
    }

    void labels()
    {
        ProfileData p;
        p.buttons[0].Fun = 1;
        p.buttons[3].Fun = 52;
        p.buttons[40].Fun = 52;
        p.buttons[41].Fun = 53;
        p.buttons[5].Fun = 200;
        p.buttons[5].macroname = QStringLiteral("burst");
        p.buttons[6].Fun = 8;
        p.buttons[22].Fun = 18;
        ZelBtnWindow page(&p);
        QCOMPARE(page.entryButton(0)->text(), QStringLiteral("Left"));
        QCOMPARE(page.entryButton(0)->toolTip(), QStringLiteral("Left"));
        QCOMPARE(page.entryButton(3)->text(), QString());
        QCOMPARE(page.entryButton(40)->text(), QStringLiteral("Scroll Up"));
        QCOMPARE(page.entryButton(41)->text(), QStringLiteral("Scroll Down"));
        QCOMPARE(page.entryButton(5)->text(), QStringLiteral("burst"));
        QCOMPARE(page.entryButton(6)->text(), QString());
        QCOMPARE(page.entryButton(22)->text(), QStringLiteral("Copy"));

        // Another record: every label follows, and no signal is sent.
        ProfileData q;
        q.buttons[0].Fun = 2;
        QSignalSpy control(&page, &ZelBtnWindow::SelBtnControl);
        page.setProfile(&q);
        QCOMPARE(page.entryButton(0)->text(), QStringLiteral("Right"));
        QCOMPARE(page.entryButton(5)->text(), QString());
        QCOMPARE(control.count(), 0);
    }

    void plainFunctionsAndSelection()
    {
        ProfileData p = leftOnlyAt(0);
        ZelBtnWindow page(&p);
        QSignalSpy control(&page, &ZelBtnWindow::SelBtnControl);
        // A press on a page button selects it (before its menu opens).
        emit page.entryButton(24)->EnterSignal(page.entryButton(24));
        QCOMPARE(page.selectedEntry(), 24);
        page.assign(page.actionFor(18));
        QCOMPARE(p.buttons[24].Fun, 18);
        QCOMPARE(page.entryButton(24)->text(), QStringLiteral("Copy"));
        QCOMPARE(control.count(), 2);
        QCOMPARE(control.at(0).at(1).toBool(), true);
        QCOMPARE(control.at(1).at(1).toBool(), false);
        // The selection is used once.
        QCOMPARE(page.selectedEntry(), -1);
        page.assign(page.actionFor(19));
        QCOMPARE(p.buttons[24].Fun, 18);

        page.select(1, ZelBtnWindow::GroupWheel);
        page.assign(page.actionFor(44));
        QCOMPARE(p.buttons[41].Fun, 44);
        QCOMPARE(page.entryButton(41)->text(), QStringLiteral("Volume Down"));
    }

    void retainLeft()
    {
        ProfileData p = leftOnlyAt(5);
        ZelBtnWindow page(&p);
        QSignalSpy refused(&page, &ZelBtnWindow::PopOneClickBox);
        page.select(5, 0);
        page.assign(page.actionFor(2));
        QCOMPARE(refused.count(), 1);
        QCOMPARE(p.buttons[5].Fun, 1);
        QCOMPARE(page.entryButton(5)->text(), QStringLiteral("Left"));
        page.select(5, 0);
        page.assign(page.actionFor(1));
        QCOMPARE(refused.count(), 1);
        QCOMPARE(p.buttons[5].Fun, 1);
        // A refused dialog function opens no dialog.
        page.select(5, 0);
        page.assign(page.actionFor(FUN_SINGLE_KEY));
        QCOMPARE(refused.count(), 2);

        // With a second left click elsewhere, either may change.
        p.buttons[0].Fun = 1;
        p.buttons[7].Fun = 1;
        p.buttons[5].Fun = 3;
        page.select(7, 0);
        page.assign(page.actionFor(2));
        QCOMPARE(p.buttons[7].Fun, 2);
        QCOMPARE(refused.count(), 2);
        page.select(0, 0);
        page.assign(page.actionFor(2));
        QCOMPARE(p.buttons[0].Fun, 1);
        QCOMPARE(refused.count(), 3);
    }

    void gunFileRefusedOnTheLeftButton()
    {
        ProfileData p = leftOnlyAt(3);
        p.buttons[0].Fun = 1;
        addMacroName(QStringLiteral("spray"));
        ZelBtnWindow page(&p);
        QString shown;
        whenModal([&shown](QWidget *box) {
            shown = static_cast<ZelMessageBox *>(box)->messageLabel()->text();
            accept(box);
        });
        page.select(0, 0);
        page.assign(page.actionFor(FUN_GUN_FILE));
        QCOMPARE(shown, QStringLiteral("Left Button Can not be Gun Function."));
        QCOMPARE(p.buttons[0].Fun, 1);
    }

    void macroWithoutMacros()
    {
        ProfileData p = leftOnlyAt(0);
        const ProfileData before = p;
        ZelBtnWindow page(&p);
        QSignalSpy go(&page, &ZelBtnWindow::GotoMacroTab);
        page.select(4, 0);
        page.assign(page.actionFor(FUN_MACRO));
        QCOMPARE(go.count(), 1);
        QCOMPARE(go.at(0).at(0).toInt(), 3);
        QCOMPARE(p.buttons[4].Fun, before.buttons[4].Fun);
        QCOMPARE(p.buttons[4].macroname, QString());
        page.select(4, 0);
        page.assign(page.actionFor(FUN_GUN_FILE));
        QCOMPARE(go.count(), 2);
    }

    void macroAssigned()
    {
        QVector<KeyInfo> events;
        for (int i = 0; i < 70; ++i)
            events << KeyInfo{quint8(4 + i % 20), quint8(i), quint8(i % 2 ? 0x00 : 0x80)};
        MacroSettings settings;
        QVERIFY(saveMacro(QStringLiteral("burst"), settings, events));
        QVERIFY(addMacroName(QStringLiteral("burst")));
        QVERIFY(addMacroName(QStringLiteral("other")));

        ProfileData p = leftOnlyAt(0);
        p.buttons[4].KeyInfo[62] = KeyInfo{9, 9, 9};
        ZelBtnWindow page(&p);
        whenModal([](QWidget *w) {
            auto *dialog = static_cast<ZelMacroSelect *>(w);
            QTest::qWait(1);
            dialog->nameMenu()->actions().at(0)->trigger();
            dialog->loopEdit()->setText(QStringLiteral("4"));
            dialog->optionButton(1)->click();
            accept(dialog);
        });
        page.select(4, 0);
        page.assign(page.actionFor(FUN_MACRO));
        const ButtonEntry &e = p.buttons[4];
        QCOMPARE(e.Fun, 200);
        QCOMPARE(e.macroname, QStringLiteral("burst"));
        QCOMPARE(e.LoopNumber, 4);
        QCOMPARE(int(e.Res1), 1);
        QCOMPARE(e.KeyNumber, 63);   // the first 63 events of a longer file
        for (int i = 0; i < 63; ++i)
            QCOMPARE(int(e.KeyInfo[i].dataL), i);
        QCOMPARE(page.entryButton(4)->text(), QStringLiteral("burst"));

        // Cancelling with the macro preset leaves it as it was.
        const ButtonEntry before = e;
        QString presetName;
        whenModal([&presetName](QWidget *w) {
            presetName = static_cast<ZelMacroSelect *>(w)->name();
            static_cast<ZelMacroSelect *>(w)->optionButton(0)->click();
            cancel(w);
        });
        page.select(4, 0);
        page.assign(page.actionFor(FUN_MACRO));
        QCOMPARE(presetName, QStringLiteral("burst"));
        QCOMPARE(e.Fun, 200);
        QCOMPARE(e.macroname, before.macroname);
        QCOMPARE(e.LoopNumber, before.LoopNumber);
        QCOMPARE(int(e.Res1), int(before.Res1));
        QCOMPARE(page.entryButton(4)->text(), QStringLiteral("burst"));

        // Accepting with no name chosen changes nothing.
        page.select(6, 0);
        whenModal([](QWidget *w) { accept(w); });
        page.assign(page.actionFor(FUN_GUN_FILE));
        QCOMPARE(p.buttons[6].Fun, 3);

        // A gun file on another button, from a missing file: no events.
        page.select(6, 0);
        whenModal([](QWidget *w) {
            static_cast<ZelMacroSelect *>(w)->nameMenu()->actions().at(1)->trigger();
            accept(w);
        });
        page.assign(page.actionFor(FUN_GUN_FILE));
        QCOMPARE(p.buttons[6].Fun, 510);
        QCOMPARE(p.buttons[6].macroname, QStringLiteral("other"));
        QCOMPARE(p.buttons[6].KeyNumber, 0);
        QCOMPARE(int(p.buttons[6].Res1), 0);
        QCOMPARE(p.buttons[6].LoopNumber, 1);
    }

    void singleKey()
    {
        ProfileData p = leftOnlyAt(0);
        ZelBtnWindow page(&p);
        whenModal([](QWidget *w) {
            KeyboardHook::inject(71, 0);      // keypad 7
            KeyboardHook::inject(71, 0x80);
            accept(w);
        });
        page.select(2, 0);
        page.assign(page.actionFor(FUN_SINGLE_KEY));
        QCOMPARE(p.buttons[2].Fun, 6);
        QCOMPARE(int(p.buttons[2].Res1), 235);
        QCOMPARE(page.entryButton(2)->text(), QStringLiteral("SINGLE KEY"));

        // Preset from the entry; cancelling keeps it.
        quint8 preset = 0;
        whenModal([&preset](QWidget *w) {
            preset = static_cast<ZelSingleKeyWindow *>(w)->keyCode();
            KeyboardHook::inject(30, 0);
            cancel(w);
        });
        page.select(2, 0);
        page.assign(page.actionFor(FUN_SINGLE_KEY));
        QCOMPARE(int(preset), 235);
        QCOMPARE(int(p.buttons[2].Res1), 235);

        // OK without a key leaves the button as it was.
        whenModal([](QWidget *w) { accept(w); });
        page.select(3, 0);
        page.assign(page.actionFor(FUN_SINGLE_KEY));
        QCOMPARE(p.buttons[3].Fun, 3);
    }

    void comboKey()
    {
        ProfileData p = leftOnlyAt(0);
        for (KeyInfo &event : p.buttons[2].KeyInfo)
            event = KeyInfo{0x77, 1, 1};
        ZelBtnWindow page(&p);
        whenModal([](QWidget *w) {
            // A, then Ctrl, then Shift held: stored Shift, Ctrl, A.
            KeyboardHook::inject(30, 0);
            KeyboardHook::inject(29, 0);
            KeyboardHook::inject(42, 0);
            KeyboardHook::inject(30, 0);
            accept(w);
        });
        page.select(2, 0);
        page.assign(page.actionFor(FUN_COMBO_KEY));
        const ButtonEntry &e = p.buttons[2];
        QCOMPARE(e.Fun, 7);
        const quint8 maps[6] = {0xE1, 0xE0, 0x04, 0x04, 0xE0, 0xE1};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(int(e.KeyInfo[i].map), int(maps[i]));
            QCOMPARE(int(e.KeyInfo[i].dataH), i < 3 ? 0x80 : 0);
        }
        for (int i = 6; i < KEYINFO_COUNT; ++i)
            QCOMPARE(int(e.KeyInfo[i].map), 0);   // every old byte cleared
        QCOMPARE(page.entryButton(2)->text(), QStringLiteral("COMBO KEY"));

        ComboKeys preset;
        whenModal([&preset](QWidget *w) {
            preset = static_cast<ZelComboKeyWindow *>(w)->combo();
            cancel(w);
        });
        page.select(2, 0);
        page.assign(page.actionFor(FUN_COMBO_KEY));
        QCOMPARE(int(preset.flags[COMBO_SHIFT]), 1);
        QCOMPARE(int(preset.otherKey), 30);
        QCOMPARE(int(e.KeyInfo[0].map), 0xE1);
    }

    void fireKey()
    {
        ProfileData p = leftOnlyAt(0);
        ZelBtnWindow page(&p);
        whenModal([](QWidget *w) {
            auto *dialog = static_cast<ZelFireKeyWindow *>(w);
            dialog->modeBox(FIRE_KEYBOARD)->click();
            KeyboardHook::inject(63, 0);   // F5
            accept(dialog);
        });
        page.select(1, 0);
        page.assign(page.actionFor(FUN_FIRE_KEY));
        const ButtonEntry &e = p.buttons[1];
        QCOMPARE(e.Fun, 12);
        QCOMPARE(int(e.Res1), 0x3E);
        QCOMPARE(e.LoopNumber, 3);
        QCOMPARE(e.KeyNumber, 100);
        QCOMPARE(page.entryButton(1)->text(), QStringLiteral("FIRE KEY"));

        whenModal([](QWidget *w) {
            auto *dialog = static_cast<ZelFireKeyWindow *>(w);
            QCOMPARE(int(dialog->keyCode()), 63);
            dialog->modeBox(FIRE_MIDDLE)->click();
            dialog->timesEdit()->setText(QStringLiteral("9"));
            dialog->delayEdit()->setText(QStringLiteral("40"));
            accept(dialog);
        });
        page.select(1, 0);
        page.assign(page.actionFor(FUN_FIRE_KEY));
        QCOMPARE(int(e.Res1), 0x84);
        QCOMPARE(e.LoopNumber, 9);
        QCOMPARE(e.KeyNumber, 40);
    }

    void sniper()
    {
        {
            QSettings settings(globalConfigPath(), QSettings::IniFormat);
            settings.setValue(QStringLiteral("MouseSenSor/1"), 3389);
        }
        ProfileData p = leftOnlyAt(0);
        p.buttons[6].Fun = 55;
        p.buttons[6].Res1 = 1;
        ZelBtnWindow page(&p);
        int shown = -1;
        whenModal([&shown](QWidget *w) {
            auto *dialog = static_cast<ZelSniperWindow *>(w);
            shown = dialog->step();
            accept(dialog);
        });
        page.select(6, 0);
        page.assign(page.actionFor(FUN_SNIPER));
        QCOMPARE(shown, 6);
        QCOMPARE(p.buttons[6].Fun, 55);
        QCOMPARE(int(p.buttons[6].Res1), 6);
        QCOMPARE(page.entryButton(6)->text(), QStringLiteral("SNIPER"));
    }
};

QTEST_MAIN(TestBtnWindow)
#include "tst_btnwindow.moc"

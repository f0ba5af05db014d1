// The key, fire-key, sniper and macro selection dialogs, each built alone,
// fed with keyboard hook events as the keyboard would report them.

#include "device/sensors.h"
#include "pages/buttons/zelcombokeywindow.h"
#include "pages/buttons/zelfirekeywindow.h"
#include "pages/buttons/zelmacroselect.h"
#include "pages/buttons/zelsinglekeywindow.h"
#include "pages/buttons/zelsniperwindow.h"
#include "platform/keyboardhook.h"
#include "profile/description.h"
#include "profile/keys.h"
#include "profile/paths.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"
#include "widgets/zelslider.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using platform::KeyboardHook;

namespace {

void press(quint32 scan, quint32 flags = 0)
{
    KeyboardHook::inject(scan, flags);
}

void release(quint32 scan, quint32 flags = 0)
{
    KeyboardHook::inject(scan, flags | 0x80);
}

} // namespace

class TestKeyDialogs : public QObject {
    Q_OBJECT
    QTemporaryDir m_base;

private slots:
    void initTestCase()
    {
        setConfigsBase(m_base.path());
    }

    void singleKeyCodes_data()
    {
        QTest::addColumn<quint32>("scan");
        QTest::addColumn<quint32>("flags");
        QTest::addColumn<int>("code");
        QTest::newRow("keypad 7") << 71u << 0u << 235;
        QTest::newRow("Home") << 71u << 1u << 71;
        QTest::newRow("right Ctrl") << 29u << 1u << 238;
        QTest::newRow("right Alt") << 56u << 0x21u << 239;
        QTest::newRow("keypad *") << 55u << 0u << 227;
        QTest::newRow("Print Screen") << 55u << 1u << 55;
    }
    void singleKeyCodes()
    {
        QFETCH(quint32, scan);
        QFETCH(quint32, flags);
        QFETCH(int, code);
        ZelSingleKeyWindow dialog;
        press(30);   // A first: the key captured is the last one touched
        QCOMPARE(int(dialog.keyCode()), 30);
        // The single key dialog lets keys through to everything else.
        QVERIFY(!KeyboardHook::inject(scan, flags));
        QCOMPARE(int(dialog.keyCode()), code);
        QCOMPARE(dialog.keyDisplay()->text(), keyName(code));
        release(scan, flags);
        QCOMPARE(int(dialog.keyCode()), code);
    }

    void singleKeyHookLivesWithTheDialog()
    {
        const int before = KeyboardHook::installedCount();
        {
            ZelSingleKeyWindow dialog;
            QCOMPARE(KeyboardHook::installedCount(), before + 1);
            dialog.preset(63);
            QCOMPARE(dialog.keyDisplay()->text(), keyName(63));
            QCOMPARE(dialog.titleLabel()->text(), QStringLiteral("Single Key"));
            QCOMPARE(dialog.yesButton()->text(), QStringLiteral("OK"));
            QCOMPARE(dialog.noButton()->text(), QStringLiteral("Cancel"));
        }
        QCOMPARE(KeyboardHook::installedCount(), before);
    }

    void comboCtrlAltDelete()
    {
        ZelComboKeyWindow dialog;
        // Every key is kept from the desktop while the dialog is open.
        QVERIFY(KeyboardHook::inject(29, 0));
        press(56, 0x20);
        press(83, 0x21);   // Delete on the navigation block, Alt held
        release(83, 0x21);
        release(56, 0x20);
        release(29);
        const ComboKeys combo = dialog.combo();
        QCOMPARE(int(combo.flags[COMBO_CTRL]), 1);
        QCOMPARE(int(combo.flags[COMBO_ALT]), 1);
        QCOMPARE(int(combo.flags[COMBO_KEY]), 1);
        QCOMPARE(int(combo.flags[COMBO_SHIFT]), 0);
        QCOMPARE(int(combo.flags[COMBO_WIN]), 0);
        QCOMPARE(int(combo.otherKey), 83);
        const QString text = keyName(29) + " + " + keyName(56) + " + " + keyName(83);
        QCOMPARE(dialog.comboText(), text);
        QCOMPARE(dialog.keyDisplay()->text(), text);

        // What the page writes from it: the six nested events.
        ButtonEntry entry;
        writeComboEvents(entry, combo);
        const quint8 maps[6] = {0xE0, 0xE2, 0x4C, 0x4C, 0xE2, 0xE0};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(int(entry.KeyInfo[i].map), int(maps[i]));
            QCOMPARE(int(entry.KeyInfo[i].dataH), i < 3 ? 0x80 : 0x00);
            QCOMPARE(int(entry.KeyInfo[i].dataL), 5);
        }
        QCOMPARE(int(entry.KeyInfo[6].map), 0);
    }

    void comboShiftReleasedThenA()
    {
        ZelComboKeyWindow dialog;
        press(42);
        release(42);
        press(30);
        release(30);
        const ComboKeys combo = dialog.combo();
        QCOMPARE(int(combo.flags[COMBO_SHIFT]), 0);
        QCOMPARE(int(combo.flags[COMBO_KEY]), 1);
        QCOMPARE(int(combo.otherKey), 30);
        QCOMPARE(dialog.comboText(), keyName(30));
    }

    void comboTwoKeysKeepTheSecond()
    {
        ZelComboKeyWindow dialog;
        press(30);
        press(48);   // B while A is still held
        release(30);
        release(48);
        QCOMPARE(int(dialog.combo().otherKey), 48);
        QCOMPARE(dialog.comboText(), keyName(48));
    }

    void comboPresetAndFirstKeyStartsAfresh()
    {
        ButtonEntry entry;
        ComboKeys stored;
        stored.flags[COMBO_SHIFT] = 1;
        stored.flags[COMBO_KEY] = 1;
        stored.otherKey = 59;   // F1
        writeComboEvents(entry, stored);
        ZelComboKeyWindow dialog;
        dialog.preset(entry);
        QVERIFY(dialog.combo() == stored);
        QCOMPARE(dialog.comboText(), keyName(42) + " + " + keyName(59));
        press(29, 1);   // right Ctrl: the preset is replaced, not added to
        QCOMPARE(int(dialog.combo().flags[COMBO_SHIFT]), 0);
        QCOMPARE(int(dialog.combo().flags[COMBO_CTRL]), 2);
        QCOMPARE(dialog.comboText(), keyName(238));
    }

    void comboGrabsTheKeyboardWhileShown()
    {
        ZelComboKeyWindow dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(QWidget::keyboardGrabber(), &dialog);
        dialog.hide();
        QVERIFY(QWidget::keyboardGrabber() == nullptr);
    }

    void fireKeyF5()
    {
        ZelFireKeyWindow dialog;
        QCOMPARE(int(dialog.mode()), int(FIRE_LEFT));
        QCOMPARE(dialog.timesEdit()->text(), QStringLiteral("3"));
        QCOMPARE(dialog.delayEdit()->text(), QStringLiteral("100"));
        press(63);   // not armed yet: nothing is captured
        QCOMPARE(int(dialog.keyCode()), 0);
        QSignalSpy values(&dialog, &ZelFireKeyWindow::SetFireKeyValue);
        dialog.modeBox(FIRE_KEYBOARD)->click();
        QCOMPARE(int(dialog.mode()), int(FIRE_KEYBOARD));
        QVERIFY(dialog.modeBox(FIRE_KEYBOARD)->isChecked());
        QVERIFY(!dialog.modeBox(FIRE_LEFT)->isChecked());
        QCOMPARE(values.count(), 1);
        press(63);
        QCOMPARE(int(dialog.keyCode()), 63);
        QCOMPARE(dialog.keyDisplay()->text(), keyName(63));
        QCOMPARE(int(dialog.res1()), 0x3E);
        // Back to a mouse button: the key is forgotten.
        dialog.modeBox(FIRE_MIDDLE)->click();
        QCOMPARE(int(dialog.keyCode()), 0);
        QCOMPARE(dialog.keyDisplay()->text(), QString());
        QCOMPARE(int(dialog.res1()), 0x84);
    }

    void fireKeyNumbersAreNotCaptured()
    {
        ZelFireKeyWindow dialog;
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.modeBox(FIRE_KEYBOARD)->click();
        press(63);
        QCOMPARE(int(dialog.keyCode()), 63);

        // Typing 25 into Times: the digits stay in the field.
        dialog.timesEdit()->setFocus();
        QTRY_VERIFY(dialog.timesEdit()->hasFocus());
        dialog.timesEdit()->clear();
        press(3);
        QTest::keyClick(dialog.timesEdit(), Qt::Key_2);
        release(3);
        press(6);
        QTest::keyClick(dialog.timesEdit(), Qt::Key_5);
        release(6);
        QCOMPARE(dialog.timesEdit()->text(), QStringLiteral("25"));
        QCOMPARE(dialog.times(), 25);
        QCOMPARE(int(dialog.keyCode()), 63);

        // Return in Delay ends the number; neither its press nor its release
        // becomes the fired key.
        dialog.delayEdit()->setFocus();
        QTRY_VERIFY(dialog.delayEdit()->hasFocus());
        press(28);
        QTest::keyClick(dialog.delayEdit(), Qt::Key_Return);
        QVERIFY(!dialog.delayEdit()->hasFocus());
        release(28);
        QCOMPARE(int(dialog.keyCode()), 63);
        QVERIFY(dialog.isVisible());   // Return does not close the dialog
        press(64);   // the next key is captured again
        QCOMPARE(int(dialog.keyCode()), 64);
    }

    void fireKeyPreset()
    {
        ButtonEntry entry;
        entry.Fun = 12;
        entry.Res1 = 0x82;
        ZelFireKeyWindow right;
        right.preset(entry);
        QVERIFY(right.modeBox(FIRE_RIGHT)->isChecked());
        QCOMPARE(right.keyDisplay()->text(), QString());
        QCOMPARE(right.delayEdit()->text(), QStringLiteral("10"));
        QCOMPARE(right.timesEdit()->text(), QStringLiteral("3"));

        entry.Res1 = 0x3E;
        entry.LoopNumber = 7;
        entry.KeyNumber = 250;
        ZelFireKeyWindow key;
        key.preset(entry);
        QCOMPARE(int(key.mode()), int(FIRE_KEYBOARD));
        QCOMPARE(int(key.keyCode()), 63);
        QCOMPARE(key.keyDisplay()->text(), keyName(63));
        QCOMPARE(key.times(), 7);
        QCOMPARE(key.delay(), 250);
        // Empty fields read as 0.
        key.timesEdit()->clear();
        QCOMPARE(key.times(), 0);
    }

    void sniperPerSensor()
    {
        ZelSniperWindow dialog(nullptr, 3389);
        QCOMPARE(int(dialog.step()), 6);   // the constructor's preset 0 takes the default
        QSignalSpy spy(&dialog, &ZelSniperWindow::SetSniperValue);
        dialog.preset(1);
        QCOMPARE(int(dialog.step()), 6);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 6);
        QCOMPARE(dialog.slider()->minimum(), 2);
        QCOMPARE(dialog.slider()->maximum(), 20);
        QCOMPARE(dialog.slider()->value(), 6);
        QCOMPARE(dialog.valueLabel()->text(), QString::number(sensorDpi(6, 3389)));
        dialog.slider()->setValue(12);
        QCOMPARE(int(dialog.step()), 12);
        QCOMPARE(dialog.valueLabel()->text(), QString::number(sensorDpi(12, 3389)));

        ZelSniperWindow other(nullptr, 3104);
        other.preset(20);
        QCOMPARE(int(other.step()), 20);
        QCOMPARE(other.slider()->minimum(), 14);

        ZelSniperWindow unknown(nullptr, 1234);
        QCOMPARE(unknown.slider()->minimum(), 1);
        QCOMPARE(unknown.slider()->maximum(), 10);
        QCOMPARE(int(unknown.step()), 0);
        QCOMPARE(unknown.valueLabel()->text(), QStringLiteral("0"));
    }

    void sniperReadsTheSensorOfConfig()
    {
        {
            QSettings settings(globalConfigPath(), QSettings::IniFormat);
            settings.setValue(QStringLiteral("MouseSenSor/1"), 3360);
        }
        ZelSniperWindow dialog;
        QCOMPARE(dialog.sensor(), 3360);
        QCOMPARE(int(dialog.step()), 3);
    }

    void macroSelectList()
    {
        {
            QSettings settings(globalConfigPath(), QSettings::IniFormat);
            for (int i = 0; i < 50; ++i)
                settings.setValue(QStringLiteral("MACRO_LIST/%1").arg(i), QString());
            settings.setValue(QStringLiteral("MACRO_LIST/0"), QStringLiteral("first"));
            settings.setValue(QStringLiteral("MACRO_LIST/3"), QStringLiteral("fourth"));
            settings.setValue(QStringLiteral("MACRO_LIST/49"), QStringLiteral("last"));
        }
        ZelMacroSelect dialog(QString(), QStringLiteral("MACRO SELECT"), QString(), 1, 0);
        const QList<QAction *> actions = dialog.nameMenu()->actions();
        QCOMPARE(actions.size(), 3);
        QCOMPARE(actions[0]->text(), QStringLiteral("first"));
        QCOMPARE(actions[1]->text(), QStringLiteral("fourth"));
        QCOMPARE(actions[2]->text(), QStringLiteral("last"));
        QCOMPARE(dialog.name(), QString());   // nothing chosen yet
        actions[1]->trigger();
        QCOMPARE(dialog.name(), QStringLiteral("fourth"));
        QCOMPARE(dialog.nameSelector()->text(), QStringLiteral("fourth"));
        QCOMPARE(dialog.loopMode(), 0);
        dialog.optionButton(2)->click();
        QCOMPARE(dialog.loopMode(), 2);
        QVERIFY(!dialog.optionButton(0)->isChecked());
        dialog.loopEdit()->setText(QStringLiteral("12"));
        QCOMPARE(dialog.loopCount(), 12);
    }

    void macroSelectPreset()
    {
        ZelMacroSelect dialog(QString(), QStringLiteral("GUNFILE SELECT"), QStringLiteral("kept"), 9, 1);
        QCOMPARE(dialog.name(), QStringLiteral("kept"));
        QCOMPARE(dialog.nameSelector()->text(), QStringLiteral("kept"));
        QCOMPARE(dialog.loopCount(), 9);
        QCOMPARE(dialog.loopMode(), 1);
        QVERIFY(dialog.optionButton(1)->isChecked());
        QVERIFY(!dialog.optionButton(0)->isChecked());
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.yesButton()->click(); });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.name(), QStringLiteral("kept"));
    }
};

QTEST_MAIN(TestKeyDialogs)
#include "tst_keydialogs.moc"

// The MACRO page built alone over a temporary Configs folder: recording with
// injected key events, the macro list and its names, the row tools, the
// fields, import, export and the gun set.

#include "pages/macro/macrodialog.h"
#include "pages/macro/zelgunsetdialog.h"
#include "pages/macro/zellistitem.h"
#include "platform/clock.h"
#include "platform/keyboardhook.h"
#include "profile/inifile.h"
#include "profile/keys.h"
#include "profile/macrostore.h"
#include "profile/paths.h"
#include "widgets/zelaction.h"
#include "widgets/zelpushbutton.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

using namespace macro;
using platform::KeyboardHook;

namespace {

struct Shown {
    int type;
    QString heading;
    QString text;
};

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

// Press and release of a key, as the keyboard hook reports them.
void tap(quint32 scan)
{
    KeyboardHook::inject(scan, 0);
    KeyboardHook::inject(scan, 0x80);
}

// A file's keys as another process would read them: through a copy.
QVariantMap readFresh(const QString &path)
{
    static int n = 0;
    const QString copy = path + QStringLiteral(".copy%1").arg(++n);
    QFile::copy(path, copy);
    QSettings settings(copy, QSettings::IniFormat);
    QVariantMap values;
    for (const QString &key : settings.allKeys())
        values.insert(key, settings.value(key));
    QFile::remove(copy);
    return values;
}

} // namespace

class TestMacroPage : public QObject {
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    QList<Shown> m_shown;
    QStringList m_files;
    std::function<bool(ZelGunsetDialog &)> m_gun;

    MacroDialog *makePage()
    {
        auto *page = new MacroDialog;
        MacroDialog::Services services;
        services.message = [this](int type, const QString &heading, const QString &text) {
            m_shown << Shown{type, heading, text};
            return 1;
        };
        services.chooseFiles = [this](const QString &, const QString &, bool) { return m_files; };
        services.runGunSet = [this](ZelGunsetDialog &dialog) { return m_gun ? m_gun(dialog) : false; };
        page->setServices(services);
        page->resize(665, 467);
        return page;
    }

    QStringList texts() const
    {
        QStringList list;
        for (const Shown &s : m_shown)
            list << s.text;
        return list;
    }

    static void click(MacroDialog *page, const char *name) { page->control(QLatin1String(name))->click(); }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        setConfigsBase(m_dir->path() + QStringLiteral("/Configs"));
        m_shown.clear();
        m_files.clear();
        m_gun = nullptr;
    }
    void cleanup()
    {
        setConfigsBase(QString());
        delete m_dir;
        m_dir = nullptr;
    }

    void autoRepeatGivesOnePressRow()
    {
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        QSignalSpy enable(page.data(), &MacroDialog::EnableButtonsSignal);
        click(page.data(), "startButton");
        QVERIFY(page->isRecording() && page->isHooked());
        QCOMPARE(enable.count(), 1);
        QCOMPARE(enable.at(0).at(0).toBool(), false);
        QVERIFY(!page->control("saveButton")->isEnabled());
        QVERIFY(page->control("stopButton")->isEnabled());
        // A held key repeats its press; only the first counts.
        for (int i = 0; i < 5; ++i)
            KeyboardHook::inject(0x1E, 0);   // A
        KeyboardHook::inject(0x1E, 0x80);
        QCOMPARE(dump(page->rows()), dump({k(132, 0x04), k(4, 0x04)}));
        click(page.data(), "stopButton");
        QVERIFY(!page->isRecording() && !page->isHooked());
        QCOMPARE(KeyboardHook::installedCount(), 0);
        QCOMPARE(enable.count(), 2);
        QCOMPARE(enable.at(1).at(0).toBool(), true);
        QVERIFY(m_shown.isEmpty());
        // STOP saved the macro.
        const QVariantMap file = readFresh(macroPath(page->currentMacro()));
        QCOMPARE(file.value("Setting/Count").toInt(), 2);
        QCOMPARE(file.value("Setting/Map_0").toInt(), 132);
        QCOMPARE(file.value("Setting/DataL_0").toInt(), 4);
        QCOMPARE(file.value("Setting/WriteSign").toInt(), 1);
    }

    void rowLimits_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("rows");
        QTest::newRow("no delays: 40") << int(MacroDialog::DELAY_NONE) << 40;
        QTest::newRow("recorded delays: 63") << int(MacroDialog::DELAY_RECORDED) << 63;
        QTest::newRow("default delays: 63") << int(MacroDialog::DELAY_DEFAULT) << 63;
    }
    void rowLimits()
    {
        QFETCH(int, mode);
        QFETCH(int, rows);
        platform::VirtualClock clock;
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        if (mode == MacroDialog::DELAY_RECORDED)
            page->recordDelayBox()->click();
        else if (mode == MacroDialog::DELAY_DEFAULT)
            page->defaultDelayBox()->click();
        QCOMPARE(page->delayMode(), mode);
        page->startRecording();
        for (int i = 0; i < 60; ++i) {
            tap(0x10 + quint32(i % 10));   // Q W E ... P
            platform::VirtualClock::advance(30);
        }
        QCOMPARE(page->rows().size(), rows);
        page->stopRecording();
        // The list ends on a release, so nothing is held: no notice.
        QVERIFY(m_shown.isEmpty());
        QCOMPARE(loadMacroEvents(page->currentMacro()).size(), rows);
    }

    void keysThatShareAScanCodeStayApart()
    {
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        page->startRecording();
        tap(0x47);                                         // keypad 7
        KeyboardHook::inject(0x47, 0x01);                  // Home
        KeyboardHook::inject(0x47, 0x81);
        KeyboardHook::inject(0x1D, 0x01, platform::VK_RCONTROL_KEY);
        KeyboardHook::inject(0x1D, 0x81, platform::VK_RCONTROL_KEY);
        KeyboardHook::inject(0x1D, 0x00, platform::VK_LCONTROL_KEY);
        KeyboardHook::inject(0x1D, 0x80, platform::VK_LCONTROL_KEY);
        page->stopRecording();
        QVector<int> codes;
        for (const KeyInfo &row : page->rows())
            codes << keyRowCode(row);
        QCOMPARE(codes, (QVector<int>{0xEB, 0xEB, 0x47, 0x47, 0xEE, 0xEE, 0x1D, 0x1D}));
        QCOMPARE(int(page->rows().at(0).dataL), 0x5F);   // usage of keypad 7
        QCOMPARE(int(page->rows().at(2).dataL), 0x4A);   // usage of Home
        QCOMPARE(int(page->rows().at(4).dataL), 0xE4);   // right Ctrl
        QCOMPARE(int(page->rows().at(6).dataL), 0xE0);   // left Ctrl
    }

    void delaysComeFromTheMonotonicClock()
    {
        platform::VirtualClock clock;
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        page->recordDelayBox()->click();
        page->startRecording();
        // Two events in the same tick: one unit.
        tap(0x1E);
        // A real pause of 250 ms: 25 units of 10 ms.
        platform::VirtualClock::advance(250);
        KeyboardHook::inject(0x30, 0);
        platform::VirtualClock::advance(1234);
        KeyboardHook::inject(0x30, 0x80);
        page->stopRecording();
        QCOMPARE(dump(page->rows()),
                 dump({k(132, 0x04), k(6, 1), k(4, 0x04), k(6, 25), k(132, 0x05), k(6, 123), k(4, 0x05)}));
    }

    void defaultDelayModeInsertsTheTypedDelay()
    {
        platform::VirtualClock clock;
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        page->defaultDelayBox()->click();
        QTest::keyClicks(page->defaultDelayEdit(), QStringLiteral("0"));   // "10" -> "100"
        page->startRecording();
        tap(0x1E);
        page->stopRecording();
        QCOMPARE(dump(page->rows()), dump({k(132, 4), k(6, 10), k(4, 4)}));
        // Both options off: no delays.
        page->defaultDelayBox()->click();
        QCOMPARE(page->delayMode(), int(MacroDialog::DELAY_NONE));
        page->recordDelayBox()->click();
        page->defaultDelayBox()->click();
        QVERIFY(!page->recordDelayBox()->isChecked());
        QCOMPARE(page->delayMode(), int(MacroDialog::DELAY_DEFAULT));
    }

    void heldKeysAreReported()
    {
        // STOP with a key still down.
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        page->startRecording();
        KeyboardHook::inject(0x2A, 0, platform::VK_LSHIFT_KEY);
        tap(0x1E);
        page->stopRecording();
        QCOMPARE(texts(), QStringList{"ONE OR MORE KEYS HAS NOT BEEN RELEASED."});
        QCOMPARE(m_shown.at(0).type, 2);
        QCOMPARE(m_shown.at(0).heading, QStringLiteral("Warning"));
        // The recording stays as it was, and is saved.
        QCOMPARE(loadMacroEvents(page->currentMacro()).size(), 3);

        // The row limit cuts the release of a held key: the notice comes at
        // once (not only at STOP), and only once.
        m_shown.clear();
        page->startRecording();
        KeyboardHook::inject(0x1D, 0, platform::VK_LCONTROL_KEY);
        for (int i = 0; i < 30; ++i)
            tap(0x10 + quint32(i % 10));
        KeyboardHook::inject(0x1D, 0x80, platform::VK_LCONTROL_KEY);
        QCOMPARE(page->rows().size(), 40);
        QTRY_COMPARE(texts(), QStringList{"ONE OR MORE KEYS HAS NOT BEEN RELEASED."});
        page->stopRecording();
        QCOMPARE(m_shown.size(), 1);

        // A hand-edited list that leaves a key down is reported on SAVE too.
        m_shown.clear();
        page->setRows({k(132, 4), k(132, 4), k(4, 4)});
        page->saveMacro();
        QCOMPARE(texts(), QStringList{"ONE OR MORE KEYS HAS NOT BEEN RELEASED."});
        QCOMPARE(loadMacroEvents(page->currentMacro()).size(), 3);
    }

    void recordAfterInsertsBehindTheSelectedRow()
    {
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        page->setRows({k(132, 4), k(4, 4)});
        page->SelectRow(0);
        page->recordAfterBox()->click();
        page->startRecording();
        tap(0x30);   // B
        page->stopRecording();
        QCOMPARE(dump(page->rows()), dump({k(132, 4), k(132, 5), k(4, 5), k(4, 4)}));
    }

    void keyEditReplacesTheRowsKey()
    {
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        page->setRows({k(132, 4), k(6, 3), k(4, 4)});
        page->SelectRow(1);
        click(page.data(), "rowEditButton");   // a delay row has no key
        QVERIFY(!page->isKeyEditing());
        page->SelectRow(2);
        click(page.data(), "rowEditButton");
        QVERIFY(page->isKeyEditing() && page->isHooked());
        QVERIFY(!page->control("clearButton")->isEnabled());
        QVERIFY(page->control("saveButton")->isEnabled());
        KeyboardHook::inject(0x2E, 0);   // C
        QCOMPARE(page->control("rowEditButton")->text(), QStringLiteral("C"));
        QCOMPARE(dump(page->rows()), dump({k(132, 4), k(6, 3), k(4, 6)}));
        KeyboardHook::inject(0x2E, 0x80);
        click(page.data(), "saveButton");
        QVERIFY(!page->isKeyEditing() && !page->isHooked());
        QCOMPARE(page->control("rowEditButton")->text(), QStringLiteral("EDIT"));
        QCOMPARE(dump(loadMacroEvents(page->currentMacro())), dump({k(132, 4), k(6, 3), k(4, 6)}));
        // CANCEL goes back to the file.
        page->SelectRow(0);
        click(page.data(), "rowEditButton");
        KeyboardHook::inject(0x30, 0);
        click(page.data(), "cancelButton");
        QVERIFY(!page->isHooked());
        QCOMPARE(dump(page->rows()), dump({k(132, 4), k(6, 3), k(4, 6)}));
    }

    void newNamesAndRenames()
    {
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        page->newMacro();
        page->newMacro();
        QCOMPARE(page->macroNames(), (QStringList{"name_1", "name_2", "name_3"}));
        QCOMPARE(page->currentMacro(), QStringLiteral("name_3"));
        QVERIFY(QFile::exists(macroPath("name_3")));
        // A taken name gets "_1".
        page->nameEdit()->setText(QStringLiteral("name_1"));
        click(page.data(), "changeNameButton");
        QCOMPARE(page->currentMacro(), QStringLiteral("name_1_1"));
        QVERIFY(QFile::exists(macroPath("name_1_1")));
        QVERIFY(!QFile::exists(macroPath("name_3")));
        QCOMPARE(listMacros(), (QStringList{"name_1", "name_2", "name_1_1"}));
        QCOMPARE(readFresh(macroPath("name_1_1")).value("Setting/MacroFilePath").toString(), macroPath("name_1_1"));
        // In place, from the list row.
        QSignalSpy renamed(page.data(), &MacroDialog::MacroRenamedSignal);
        ZelListItem *row = page->listItem(1);
        row->editPressSlot();
        QVERIFY(row->isEditing());
        row->editor()->setText(QStringLiteral("Reload"));
        row->lostFocusSlot();
        QCOMPARE(page->currentMacro(), QStringLiteral("Reload"));
        QCOMPARE(row->name(), QStringLiteral("Reload"));
        QCOMPARE(renamed.count(), 1);
        QCOMPARE(renamed.at(0).at(0).toString(), QStringLiteral("name_2"));
        // A name that cannot be a file is refused with the usual warning.
        page->nameEdit()->setText(QStringLiteral("../evil"));
        click(page.data(), "changeNameButton");
        QCOMPARE(page->currentMacro(), QStringLiteral("Reload"));
        QCOMPARE(texts(), QStringList{"This name cannot be used for a file. Please choose another name."});
        QCOMPARE(page->nameEdit()->text(), QStringLiteral("Reload"));
        // The next new macro takes the first free number.
        page->newMacro();
        QCOMPARE(page->currentMacro(), QStringLiteral("name_2"));
        // Delete shows the next macro.
        page->selectMacro(QStringLiteral("Reload"));
        click(page.data(), "macroDeleteButton");
        QVERIFY(!QFile::exists(macroPath("Reload")));
        QCOMPARE(listMacros(), (QStringList{"name_1", "name_1_1", "name_2"}));
        QCOMPARE(page->currentMacro(), QStringLiteral("name_1_1"));
    }

    void fiftyMacrosAreTheLimit()
    {
        QScopedPointer<MacroDialog> page(makePage());
        for (int i = 0; i < 49; ++i)
            QVERIFY(addMacroName(QStringLiteral("m%1").arg(i)));
        page->refresh();
        QCOMPARE(page->macroNames().size(), 49);
        page->newMacro();   // the 50th
        QCOMPARE(countMacros(), 50);
        QVERIFY(m_shown.isEmpty());
        page->newMacro();
        bool asked = false;
        m_gun = [&](ZelGunsetDialog &) { return asked = true; };
        page->gunSet();
        QVERIFY(!asked);
        QCOMPARE(texts(), (QStringList{"TOO MANY MACROS TO BE CREATE!", "TOO MANY MACROS TO BE CREATE!"}));
        QCOMPARE(m_shown.at(0).type, 1);
        QCOMPARE(m_shown.at(0).heading, QStringLiteral("WARNING"));
        QCOMPARE(countMacros(), 50);
    }

    void fieldsAndValidators()
    {
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        page->setRows({k(132, 4), k(6, 12), k(2, 0, 10), k(4, 4)});
        page->SelectRow(1);
        QCOMPARE(page->delayEdit()->text(), QStringLiteral("120"));
        QVERIFY(page->delayEdit()->isEnabled() && !page->moveEdit()->isEnabled());
        int pos = 0;
        QString five = QStringLiteral("5");
        QVERIFY(page->delayEdit()->validator()->validate(five, pos) != QValidator::Acceptable);
        page->delayEdit()->clear();
        QTest::keyClicks(page->delayEdit(), QStringLiteral("5"));
        QCOMPARE(dump(page->rows().mid(1, 1)), dump({k(6, 12)}));   // refused
        QTest::keyClicks(page->delayEdit(), QStringLiteral("00"));  // 500 ms
        QCOMPARE(dump(page->rows().mid(1, 1)), dump({k(6, 50)}));
        page->delayEdit()->setText(QStringLiteral("65535"));
        QVERIFY(page->delayEdit()->hasAcceptableInput());
        QString big = QStringLiteral("70000");
        QVERIFY(page->delayEdit()->validator()->validate(big, pos) != QValidator::Acceptable);
        // The movement row: distance 1..120, direction kept.
        page->SelectRow(2);
        QCOMPARE(page->moveEdit()->text(), QStringLiteral("10"));
        page->moveEdit()->clear();
        QTest::keyClicks(page->moveEdit(), QStringLiteral("35"));
        QCOMPARE(moveRowX(page->rows().at(2)), 35);
        QString over = QStringLiteral("121");
        QVERIFY(page->moveEdit()->validator()->validate(over, pos) != QValidator::Acceptable);
        // Loop options are exclusive and saved with the loop count.
        page->loopOption(1)->click();
        page->loopOption(0)->click();
        QVERIFY(page->loopOption(0)->isChecked() && !page->loopOption(1)->isChecked());
        page->loopTimeEdit()->setText(QStringLiteral("7"));
        page->saveMacro();
        const MacroSettings saved = loadMacroSettings(page->currentMacro());
        QCOMPARE(saved.LoopType, 1);
        QCOMPARE(saved.LoopTime, 7);
    }

    void rowTools()
    {
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        const QVector<KeyInfo> start{k(132, 4), k(132, 5), k(132, 6), k(132, 7)};
        page->setRows(start);
        // Nothing selected: nothing moves.
        click(page.data(), "rowTopButton");
        QCOMPARE(dump(page->rows()), dump(start));
        page->SelectRow(2);
        click(page.data(), "rowTopButton");
        QCOMPARE(dump(page->rows()), dump({k(132, 6), k(132, 4), k(132, 5), k(132, 7)}));
        QCOMPARE(page->currentRow(), 0);
        click(page.data(), "rowUpButton");    // already first
        click(page.data(), "rowDownButton");
        QCOMPARE(page->currentRow(), 1);
        click(page.data(), "rowBottomButton");
        QCOMPARE(dump(page->rows()), dump({k(132, 4), k(132, 5), k(132, 7), k(132, 6)}));
        QCOMPARE(page->currentRow(), 3);
        click(page.data(), "rowDownButton");  // already last
        click(page.data(), "rowUpButton");
        QCOMPARE(dump(page->rows()), dump({k(132, 4), k(132, 5), k(132, 6), k(132, 7)}));
        // Deleting the last row selects the new last row.
        page->SelectRow(3);
        click(page.data(), "rowDeleteButton");
        QCOMPARE(page->currentRow(), 2);
        page->SelectRow(0);
        click(page.data(), "rowDeleteButton");
        QCOMPARE(page->currentRow(), 0);
        QCOMPARE(dump(page->rows()), dump({k(132, 5), k(132, 6)}));
        click(page.data(), "clearButton");
        QVERIFY(page->rows().isEmpty());
        QCOMPARE(page->actionModel()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("KEY"));
        QCOMPARE(page->actionModel()->columnCount(), 3);
    }

    void mouseCommandsAndContextActions()
    {
        QScopedPointer<MacroDialog> page(makePage());
        QTreeWidget *tree = page->commandTree();
        QTreeWidgetItem *left = tree->topLevelItem(CMD_LEFT_CLICK);
        // Without a macro nothing happens.
        page->TreeitemClick(left, 0);
        QVERIFY(!left->isExpanded());
        page->newMacro();
        page->TreeitemClick(left, 0);   // opens first
        QVERIFY(left->isExpanded());
        QVERIFY(page->rows().isEmpty());
        page->TreeitemClick(left->child(0), 0);   // PRESS DOWN
        page->TreeitemClick(left->child(1), 0);   // BOUNCE UP
        QCOMPARE(dump(page->rows()), dump({k(1, 1), k(129, 1)}));
        // With recorded delays a hand-made row brings 10 ms; a click is both rows.
        page->recordDelayBox()->click();
        page->TreeitemClick(left, 0);
        QCOMPARE(dump(page->rows()), dump({k(1, 1), k(129, 1), k(1, 1), k(6, 1), k(129, 1), k(6, 1)}));
        // Opening another command closes the first.
        page->TreeitemClick(tree->topLevelItem(CMD_RIGHT_CLICK), 0);
        QVERIFY(!left->isExpanded());
        // Movements go in on the press, after the selected row.
        page->clearRows();
        page->defaultDelayBox()->click();
        tree->setCurrentItem(tree->topLevelItem(CMD_MOVE_UP));
        page->ZelItemPressed();
        QCOMPARE(dump(page->rows()), dump({k(2, quint8(-10), 0), k(6, 1)}));
        // The context actions.
        page->SelectRow(0);
        page->contextAction("copyAction")->trigger();
        page->SelectRow(1);
        page->contextAction("pasteAction")->trigger();
        QCOMPARE(dump(page->rows()), dump({k(2, 246), k(6, 1), k(2, 246)}));
        page->contextAction("cutAction")->trigger();
        QCOMPARE(page->rows().size(), 2);
        page->setRows({k(132, 4), k(4, 4)});
        page->SelectRow(1);
        page->contextAction("pressDownAction")->trigger();
        QCOMPARE(dump(page->rows()), dump({k(132, 4), k(132, 4)}));
        page->contextAction("bounceUpAction")->trigger();
        page->defaultDelayEdit()->setText(QStringLiteral("200"));
        page->SelectRow(0);
        page->contextAction("insertDelayAction")->trigger();
        QCOMPARE(dump(page->rows()), dump({k(132, 4), k(6, 20), k(4, 4)}));
        page->contextMenu()->findChild<QAction *>("mouseAction2")->trigger();   // RIGHT CLICK
        QCOMPARE(dump(page->rows().mid(2, 4)), dump({k(1, 2), k(6, 20), k(129, 2), k(6, 20)}));
        // BATCH gives every delay the default delay.
        page->defaultDelayEdit()->setText(QStringLiteral("30"));
        click(page.data(), "batchButton");
        QCOMPARE(dump(page->rows()), dump({k(132, 4), k(6, 3), k(1, 2), k(6, 3), k(129, 2), k(6, 3), k(4, 4)}));
        // A macro holds 63 rows at most: more is refused with a notice.
        QVector<KeyInfo> full(63, k(6, 1));
        page->setRows(full);
        page->SelectRow(0);
        page->insertDelay();
        QCOMPARE(page->rows().size(), 63);
        QCOMPARE(texts().last(), QStringLiteral("A MACRO HOLDS AT MOST 63 ACTIONS."));
    }

    void importAndExport()
    {
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        page->setRows({k(132, 4), k(4, 4)});
        page->saveMacro();
        const QString out = m_dir->path() + QStringLiteral("/out/Copy");
        QDir().mkpath(m_dir->path() + QStringLiteral("/out"));
        m_files = QStringList{out};
        click(page.data(), "exportButton");
        QVERIFY(QFile::exists(out + ".MSMACRO"));
        QCOMPARE(readFresh(out + ".MSMACRO").value("Setting/Count").toInt(), 2);

        // Importing a name that exists is refused.
        const QString same = m_dir->path() + QStringLiteral("/out/name_1.MSMACRO");
        QFile::copy(out + ".MSMACRO", same);
        // A file claiming 999 events brings 63 at most.
        const QString big = m_dir->path() + QStringLiteral("/out/Big.MSMACRO");
        {
            QSettings s(big, QSettings::IniFormat);
            s.setValue("Setting/Count", 999);
            for (int i = 0; i < 70; ++i) {
                s.setValue(QStringLiteral("Setting/Map_%1").arg(i), 6);
                s.setValue(QStringLiteral("Setting/DataL_%1").arg(i), i);
            }
        }
        const QString junk = m_dir->path() + QStringLiteral("/out/Junk.MSMACRO");
        {
            QFile f(junk);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a macro\n");
        }
        m_files = QStringList{same, out + ".MSMACRO", big, junk};
        click(page.data(), "importButton");
        QCOMPARE(texts(), (QStringList{"Macro Exist!", "The file could not be read or written."}));
        QCOMPARE(m_shown.at(0).heading, QStringLiteral("Warning"));
        QCOMPARE(listMacros(), (QStringList{"name_1", "Copy", "Big"}));
        QCOMPARE(page->currentMacro(), QStringLiteral("Big"));
        QCOMPARE(page->rows().size(), 63);
        QCOMPARE(readFresh(macroPath("Big")).value("Setting/Count").toInt(), 63);
        QCOMPARE(readFresh(macroPath("Copy")).value("Setting/MacroFilePath").toString(), macroPath("Copy"));
    }

    void gunSetMakesAGunFile()
    {
        QScopedPointer<MacroDialog> page(makePage());
        m_gun = [&](ZelGunsetDialog &dialog) {
            // An empty name is refused and the dialog stays.
            dialog.OnYesClick();
            if (dialog.result() == QDialog::Accepted)
                return false;
            dialog.shotMenu()->actions().at(1)->trigger();   // 2 shots
            if (dialog.shotCount() != 2 || dialog.delayBox(2)->isVisibleTo(&dialog))
                return false;
            for (int i = 0; i < 2; ++i) {
                dialog.delayBox(i)->setValue(100);
                dialog.xBox(i)->setValue(-3);
                dialog.yBox(i)->setValue(5);
            }
            dialog.nameEdit()->setText(QStringLiteral("AK"));
            dialog.OnYesClick();
            return dialog.result() == QDialog::Accepted;
        };
        page->gunSet();
        QCOMPARE(texts(), QStringList{"Please input file name."});
        QCOMPARE(page->currentMacro(), QStringLiteral("AK"));
        const QVector<KeyInfo> shot{k(1, 1), k(0x81, 1), k(2, 0, 253), k(2, 5), k(6, 10)};
        QCOMPARE(dump(page->rows()), dump(shot + shot));
        const QVariantMap file = readFresh(macroPath("AK"));
        QCOMPARE(file.value("Setting/Count").toInt(), 10);
        QCOMPARE(file.value("Setting/DelayType").toInt(), 1);
        QCOMPARE(file.value("Setting/DataH_2").toInt(), 253);
        QCOMPARE(file.value("Setting/DataL_3").toInt(), 5);
        QCOMPARE(file.value("Setting/MacroFilePath").toString(), macroPath("AK"));
        // A second gun file of the same name gets a free one.
        page->gunSet();
        QCOMPARE(page->currentMacro(), QStringLiteral("AK_1"));
    }

    void gunSetDialogAlone()
    {
        ZelGunsetDialog dialog(nullptr, 1.5);
        QCOMPARE(dialog.size(), QSize(928, 600));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Gun Set"));
        QCOMPARE(dialog.shotCount(), 5);
        QCOMPARE(dialog.delayBox(0)->value(), 100);
        QCOMPARE(dialog.delayBox(0)->minimum(), 1);
        QCOMPARE(dialog.xBox(4)->minimum(), -100);
        QCOMPARE(dialog.nameEdit()->maxLength(), 100);
        QList<QString> shown;
        dialog.setMessageHandler([&](int, const QString &text) {
            shown << text;
            return 1;
        });
        dialog.nameEdit()->setText(QStringLiteral("a/b"));
        dialog.OnYesClick();
        QCOMPARE(shown, QList<QString>{"This name cannot be used for a file. Please choose another name."});
        dialog.setShotCount(1);
        dialog.delayBox(0)->setValue(5);
        dialog.nameEdit()->setText(QStringLiteral("slow"));
        dialog.OnYesClick();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dump(dialog.resultEvents()), dump({k(1, 1), k(0x81, 1), k(6, 0)}));
        QCOMPARE(dialog.resultList()->item(0)->text(), QStringLiteral(" DOWN"));
        QCOMPARE(dialog.resultList()->item(2)->text(), QStringLiteral("0 ms"));
    }

    void refreshIsNotAnEdit()
    {
        QScopedPointer<MacroDialog> page(makePage());
        page->newMacro();
        page->setRows({k(132, 4)});   // not saved yet
        QSignalSpy enable(page.data(), &MacroDialog::EnableButtonsSignal);
        QSignalSpy renamed(page.data(), &MacroDialog::MacroRenamedSignal);
        page->refresh();
        QVERIFY(addMacroName(QStringLiteral("fromElsewhere")));
        page->refresh();
        QCOMPARE(enable.count(), 0);
        QCOMPARE(renamed.count(), 0);
        QCOMPARE(page->macroNames(), (QStringList{"name_1", "fromElsewhere"}));
        QCOMPARE(page->currentMacro(), QStringLiteral("name_1"));
        QCOMPARE(page->rows().size(), 1);   // the unsaved row is still there
    }
};

QTEST_MAIN(TestMacroPage)
#include "tst_macrodialog.moc"

// The LIGHTING page alone, on a profile record of its own: what it shows for
// each effect, what the user's edits store, and that showing a record is
// never taken for an edit.

#include "pages/lighting/colorwidgets.h"
#include "pages/lighting/lighting.h"
#include "pages/lighting/zelcolorarea.h"
#include "pages/lighting/zelcolorwindow.h"
#include "profile/paths.h"
#include "widgets/uistate.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"
#include "widgets/zelslider.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

ProfileData sampleProfile()
{
    ProfileData p;
    p.LedMode = 1;
    p.LedMoveOFF = 1;
    p.LedSleepTime = 3;
    for (int i = 0; i < EFFECT_COUNT; ++i) {
        p.effects[i].colour = QColor(10 * i, 20, 200 - i);
        p.effects[i].bright = 1 + i % 3;
        p.effects[i].breath = 1 + i % 5;
    }
    return p;
}

bool shown(const QWidget *w)
{
    return !w->isHidden();
}

QAction *menuAction(ZelColorWindow &page, const QString &text)
{
    for (QAction *a : page.effectMenu()->actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

} // namespace

class TestLightingPage : public QObject {
    Q_OBJECT

    QTemporaryDir *m_appDir = nullptr;

    void writeDescription(const QVariantMap &keys)
    {
        QSettings ini(m_appDir->filePath(QStringLiteral("DefaultProfile.bin")), QSettings::IniFormat);
        ini.clear();
        ini.setValue(QStringLiteral("PROFILE/ProductName"), QStringLiteral("VELKOR"));
        for (auto it = keys.constBegin(); it != keys.constEnd(); ++it)
            ini.setValue(QStringLiteral("PROFILE/") + it.key(), it.value());
    }

private slots:
    void init()
    {
        setScaleFactor(1.0);
        m_appDir = new QTemporaryDir;
        setApplicationDir(m_appDir->path());
        writeDescription({});
    }

    void cleanup()
    {
        setApplicationDir(QString());
        delete m_appDir;
        m_appDir = nullptr;
    }

    void menuOffersTheEffectsInOrder()
    {
        ZelColorWindow page(1.0);
        ProfileData p = sampleProfile();
        page.setProfile(p);
        QStringList texts;
        for (QAction *a : page.effectMenu()->actions())
            texts << a->text();
        QCOMPARE(texts, (QStringList{"FULL LIGHTED", "BREATHING", "7 COLOR BREATHING", "RAINBOW", "WAVE", "REACTIVE",
                                     "GO WITHOUT TRACE", "yo-yo", "Marbles", "OFF"}));
        // Rebuilt, not grown, by every refresh.
        page.setProfile(p);
        QCOMPARE(page.effectMenu()->actions().size(), 10);
    }

    void effectSixShowsHorizontalWave()
    {
        ZelColorWindow page(1.0);
        ProfileData p = sampleProfile();
        p.LedMode = 6;
        p.effects[6].bright = 2;
        p.effects[6].breath = 4;
        page.setProfile(p);
        QCOMPARE(page.effectButton()->text(), QStringLiteral("Horizontal WAVE"));
        QVERIFY(shown(page.brightnessSlider()) && shown(page.brightnessTitle()));
        QVERIFY(shown(page.speedSlider()) && shown(page.speedTitle()));
        QVERIFY(!shown(page.swatch()) && !shown(page.colourTitle()));
        QCOMPARE(page.brightnessSlider()->value(), 2);
        QCOMPARE(page.speedSlider()->value(), 4);
        QVERIFY(!menuAction(page, QStringLiteral("Horizontal WAVE")));
    }

    void effectControls_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<bool>("bright");
        QTest::addColumn<bool>("speed");
        QTest::addColumn<bool>("colour");
        QTest::addColumn<bool>("speedOnTop");
        QTest::newRow("OFF") << 0 << false << false << false << false;
        QTest::newRow("FULL LIGHTED") << 1 << true << false << true << false;
        QTest::newRow("BREATHING") << 2 << false << true << true << true;
        QTest::newRow("7 COLOR BREATHING") << 3 << false << true << false << true;
        QTest::newRow("RAINBOW") << 4 << true << true << false << false;
        QTest::newRow("REACTIVE") << 11 << true << false << false << false;
        QTest::newRow("Marbles") << 13 << true << true << false << false;
    }

    void effectControls()
    {
        QFETCH(int, effect);
        QFETCH(bool, bright);
        QFETCH(bool, speed);
        QFETCH(bool, colour);
        QFETCH(bool, speedOnTop);
        ZelColorWindow page(1.0);
        ProfileData p = sampleProfile();
        page.setProfile(p);
        const QRect upperSlider = page.brightnessSlider()->geometry();   // effect 1: brightness on top
        const QRect lowerSlider = page.speedSlider()->geometry();
        QVERIFY(upperSlider.y() < lowerSlider.y());
        p.LedMode = quint8(effect);
        page.setProfile(p);
        QCOMPARE(shown(page.brightnessSlider()), bright);
        QCOMPARE(shown(page.brightnessTitle()), bright);
        QCOMPARE(shown(page.speedSlider()), speed);
        QCOMPARE(shown(page.speedTitle()), speed);
        QCOMPARE(shown(page.swatch()), colour);
        QCOMPARE(shown(page.colourTitle()), colour);
        // Speed without brightness takes the upper row; the hidden
        // brightness controls take the lower one.
        QCOMPARE(page.speedSlider()->geometry(), speedOnTop ? upperSlider : lowerSlider);
        QCOMPARE(page.brightnessSlider()->geometry(), speedOnTop ? lowerSlider : upperSlider);
        QCOMPARE(page.speedTitle()->geometry().y() < page.speedSlider()->geometry().y(), true);
    }

    void showingARecordIsNoEdit()
    {
        ZelColorWindow page(1.0);
        QSignalSpy edits(&page, &ZelColorWindow::LightChangedSignal);
        ProfileData p = sampleProfile();
        // Values outside the controls' ranges are shown clamped and kept.
        p.LedSleepTime = 0;
        p.effects[1].bright = 0;
        p.effects[1].breath = 9;
        const ProfileData before = p;
        page.setProfile(p);
        p.LedMode = 2;
        page.setProfile(p);
        page.setEffect(4);   // a mode reported by the mouse
        QCOMPARE(edits.count(), 0);
        QCOMPARE(p.LedSleepTime, before.LedSleepTime);
        QCOMPARE(p.effects[1].bright, 0);
        QCOMPARE(p.effects[1].breath, 9);
        QCOMPARE(p.LedMoveOFF, before.LedMoveOFF);
    }

    void menuChoiceStoresTheModeAndShowsItsLevels()
    {
        ZelColorWindow page(1.0);
        ProfileData p = sampleProfile();
        page.setProfile(p, 2);
        QSignalSpy edits(&page, &ZelColorWindow::LightChangedSignal);
        menuAction(page, QStringLiteral("BREATHING"))->trigger();
        QCOMPARE(int(p.LedMode), 2);
        QCOMPARE(page.effectButton()->text(), QStringLiteral("BREATHING"));
        QCOMPARE(page.speedSlider()->value(), p.effects[2].breath);
        QCOMPARE(page.swatch()->color(), p.effects[2].colour);
        QCOMPARE(edits.count(), 1);
        // The levels of effect 2 were not touched by showing them.
        QCOMPARE(p.effects[2].bright, sampleProfile().effects[2].bright);
        menuAction(page, QStringLiteral("OFF"))->trigger();
        QCOMPARE(int(p.LedMode), 0);
    }

    void slidersStoreIntoTheActiveEffect()
    {
        ZelColorWindow page(1.0);
        ProfileData p = sampleProfile();
        p.LedMode = 4;
        page.setProfile(p);
        QSignalSpy edits(&page, &ZelColorWindow::LightChangedSignal);
        page.brightnessSlider()->setValue(3);
        page.speedSlider()->setValue(3);
        QCOMPARE(p.effects[4].bright, 3);
        QCOMPARE(p.effects[4].breath, 3);
        QCOMPARE(p.effects[1].bright, sampleProfile().effects[1].bright);
        // Ranges: brightness 1..3, speed 1..5.
        page.brightnessSlider()->setValue(7);
        QCOMPARE(p.effects[4].bright, 3);
        page.speedSlider()->setValue(0);
        QCOMPARE(p.effects[4].breath, 1);
        page.sleepSlider()->setValue(5);
        QCOMPARE(int(p.LedSleepTime), 5);
        QCOMPARE(page.minuteLabel()->text(), QStringLiteral("5 MINUTE"));
        QCOMPARE(edits.count(), 4);
    }

    void sleepRangeComesFromTheDescription()
    {
        writeDescription({{QStringLiteral("SleepMin"), 2}, {QStringLiteral("SleepMax"), 30}});
        ZelColorWindow page(1.0);
        ProfileData p = sampleProfile();
        p.LedSleepTime = 12;
        page.setProfile(p);
        QCOMPARE(page.sleepSlider()->minimum(), 2);
        QCOMPARE(page.sleepSlider()->maximum(), 30);
        QCOMPARE(page.sleepSlider()->value(), 12);
        QCOMPARE(page.minuteLabel()->text(), QStringLiteral("12 MINUTE"));
        // Without the keys: 1 to 9.
        writeDescription({});
        page.setProfile(p);
        QCOMPARE(page.sleepSlider()->minimum(), 1);
        QCOMPARE(page.sleepSlider()->maximum(), 9);
        QCOMPARE(int(p.LedSleepTime), 12);   // shown clamped, kept as it is
    }

    void moveOffBoxStoresZeroAndTwoFiftyFive()
    {
        ZelColorWindow page(1.0);
        ProfileData p = sampleProfile();
        p.LedMoveOFF = 1;   // what the default profile holds
        page.setProfile(p);
        QVERIFY(!page.moveOffBox()->isChecked());
        QCOMPARE(page.moveOffBox()->text(), QStringLiteral("MOVE TO LIGHT OFF"));
        page.moveOffBox()->click();
        QCOMPARE(int(p.LedMoveOFF), 0);
        page.moveOffBox()->click();
        QCOMPARE(int(p.LedMoveOFF), 255);
        p.LedMoveOFF = 0;
        page.setProfile(p);
        QVERIFY(page.moveOffBox()->isChecked());
    }

    void withoutShowSleepNeitherSleepNorMoveOff()
    {
        writeDescription({{QStringLiteral("ShowSleep"), 0}});
        ZelColorWindow page(1.0);
        ProfileData p = sampleProfile();
        p.LedSleepTime = 7;
        p.LedMoveOFF = 0;
        page.setProfile(p);
        for (QWidget *w : std::initializer_list<QWidget *>{page.sleepSlider(), page.sleepTitle(), page.minuteLabel(),
                                                           page.moveOffBox()}) {
            QVERIFY(!shown(w));
            QVERIFY(w->geometry().isEmpty());
        }
        QCOMPARE(int(p.LedSleepTime), 7);
        QCOMPARE(int(p.LedMoveOFF), 0);
        // Laid out again at another scale, they still take no room.
        page.setScale(1.5);
        QVERIFY(page.sleepSlider()->geometry().isEmpty());
        QCOMPARE(page.size(), QSize(996, 298));
    }

    void sixOneThreeTwoEditsSlotZeroOnly()
    {
        QCOMPARE(lighting::editedSlot(QStringLiteral("6132"), 3), 0);
        QCOMPARE(lighting::editedSlot(QStringLiteral("6132"), 0), 0);
        QCOMPARE(lighting::editedSlot(QStringLiteral("VELKOR"), 3), 3);
        QCOMPARE(lighting::editedSlot(QStringLiteral("61320"), 4), 4);
    }

    void colourDialogAppliesOrCancels()
    {
        ZelColorWindow page(1.0);
        ProfileData p = sampleProfile();
        p.LedMode = 2;
        p.effects[2].colour = QColor(255, 0, 0);
        page.setProfile(p);
        page.show();
        QSignalSpy edits(&page, &ZelColorWindow::LightChangedSignal);

        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<ZelColorArea *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            QCOMPARE(dialog->color(), QColor(255, 0, 0));   // preset with the effect's colour
            dialog->field(ZelColorArea::FieldR)->setValue(0);
            dialog->field(ZelColorArea::FieldG)->setValue(128);
            dialog->field(ZelColorArea::FieldB)->setValue(255);
            dialog->applyButton()->click();
        });
        QTest::mousePress(page.swatch(), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(p.effects[2].colour, QColor(0, 128, 255));
        QCOMPARE(page.swatch()->color(), QColor(0, 128, 255));
        QCOMPARE(edits.count(), 1);

        seen = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<ZelColorArea *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            dialog->field(ZelColorArea::FieldR)->setValue(200);
            dialog->cancelButton()->click();
        });
        QTest::mousePress(page.swatch(), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(p.effects[2].colour, QColor(0, 128, 255));
        QCOMPARE(edits.count(), 1);

        // The mouse switches the profile while the dialog is open: the colour
        // still goes to the effect it was chosen for.
        ProfileData other = sampleProfile();
        other.LedMode = 2;
        const QColor otherBefore = other.effects[2].colour;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<ZelColorArea *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            page.setProfile(other);
            dialog->hexEdit()->setText(QStringLiteral("00FF00"));
            emit dialog->hexEdit()->editingFinished();
            dialog->applyButton()->click();
        });
        QTest::mousePress(page.swatch(), Qt::LeftButton);
        QCOMPARE(p.effects[2].colour, QColor(0, 255, 0));
        QCOMPARE(other.effects[2].colour, otherBefore);
        QCOMPARE(page.swatch()->color(), otherBefore);
    }

    void reportedModeIsShownAndStored()
    {
        ZelColorWindow page(1.0);
        ProfileData p = sampleProfile();
        page.setProfile(p);
        page.setEffect(9);
        QCOMPARE(int(p.LedMode), 9);
        QCOMPARE(page.effectButton()->text(), QStringLiteral("WAVE"));
        QCOMPARE(page.speedSlider()->value(), p.effects[9].breath);
        page.setEffect(14);   // not an effect: nothing changes
        QCOMPARE(int(p.LedMode), 9);
        QCOMPARE(page.effect(), 9);
    }

    void scaleMultipliesThePlaces()
    {
        ZelColorWindow page(1.0);
        ProfileData p = sampleProfile();
        page.setProfile(p);
        const QRect at1 = page.effectButton()->geometry();
        page.setScale(1.5);
        QCOMPARE(page.effectButton()->geometry(),
                 QRect(int(at1.x() * 1.5), int(at1.y() * 1.5), int(at1.width() * 1.5), int(at1.height() * 1.5)));
        // The window resizes the page: the page follows.
        page.show();
        page.resize(664 * 2, 199 * 2);
        QCOMPARE(page.scale(), 2.0);
        QCOMPARE(page.effectButton()->geometry().width(), at1.width() * 2);
    }
};

QTEST_MAIN(TestLightingPage)
#include "tst_lightingpage.moc"

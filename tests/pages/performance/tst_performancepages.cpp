// The DPI tab's pages built alone: what a user sees and what each page keeps
// after an action, and that a refresh from the record is never an edit.

#include "device/sensors.h"
#include "pages/performance/performancefacts.h"
#include "pages/performance/zeldpiwindow.h"
#include "pages/performance/zelpointspeed.h"
#include "pages/performance/zelreportrate.h"
#include "pages/performance/zelsingledpi.h"
#include "pages/performance/zeltwobarslider.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/paths.h"
#include "widgets/uistate.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

namespace {

ProfileData sampleProfile()
{
    ProfileData p;
    p.pollrate = 2;
    p.dpi = 1;
    p.scrollspeed = 3;
    for (int i = 0; i < STAGE_COUNT; ++i) {
        p.stages[i].used = 1;
        p.stages[i].link = 1;
        p.stages[i].x = p.stages[i].y = quint32(10 + 5 * i);
    }
    return p;
}

QColor labelColor(const ZelLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

void wheel(QWidget *w, int delta)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent event(at, w->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

} // namespace

class TestPerformancePages : public QObject {
    Q_OBJECT
    QTemporaryDir *m_dir = nullptr;

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        setConfigsBase(m_dir->path());
        writeCurrentProduct(QStringLiteral("VELKOR"));
        setScaleFactor(1.0);
        setThemeColorIndex(6);
    }
    void cleanup()
    {
        setConfigsBase(QString());
        delete m_dir;
        m_dir = nullptr;
    }

    // --- conversions ----------------------------------------------------------
    void sensorRanges_data()
    {
        QTest::addColumn<int>("sensor");
        QTest::addColumn<bool>("wide");
        QTest::addColumn<QString>("product");
        QTest::addColumn<bool>("known");
        QTest::addColumn<QList<int>>("range");   // min label, max label, min index, max index
        QTest::addColumn<bool>("linkShown");
        QTest::newRow("3104") << 3104 << false << "" << true << QList<int>{500, 4200, 14, 105} << true;
        QTest::newRow("31042") << 31042 << false << "" << true << QList<int>{500, 8400, 14, 158} << true;
        QTest::newRow("3212") << 3212 << false << "" << true << QList<int>{600, 7200, 16, 111} << false;
        QTest::newRow("3325") << 3325 << false << "" << true << QList<int>{100, 5000, 1, 50} << false;
        QTest::newRow("3325 wide") << 3325 << true << "" << true << QList<int>{100, 16000, 1, 90} << false;
        QTest::newRow("33252") << 33252 << false << "" << true << QList<int>{100, 10000, 1, 75} << false;
        QTest::newRow("33252 wide") << 33252 << true << "" << true << QList<int>{100, 16000, 1, 90} << false;
        QTest::newRow("3327") << 3327 << false << "VELKOR" << true << QList<int>{200, 16400, 1, 106} << false;
        QTest::newRow("3327 ZUNDRA") << 3327 << false << "ZUNDRA" << true << QList<int>{200, 12400, 1, 92} << false;
        QTest::newRow("3327 zundra") << 3327 << false << "zundra" << true << QList<int>{200, 16400, 1, 106} << false;
        QTest::newRow("3333") << 3333 << false << "" << true << QList<int>{200, 16000, 2, 120} << false;
        QTest::newRow("33352") << 33352 << false << "" << true << QList<int>{100, 32000, 1, 240} << false;
        QTest::newRow("3360") << 3360 << false << "" << true << QList<int>{100, 24000, 1, 180} << true;
        QTest::newRow("3370") << 3370 << false << "" << true << QList<int>{50, 19000, 1, 290} << false;
        QTest::newRow("3389") << 3389 << false << "" << true << QList<int>{100, 32000, 2, 480} << true;
        QTest::newRow("3395") << 3395 << false << "" << true << QList<int>{50, 26000, 0, 519} << false;
        QTest::newRow("33952") << 33952 << false << "" << true << QList<int>{50, 52000, 0, 779} << false;
        QTest::newRow("3399") << 3399 << false << "" << true << QList<int>{50, 40000, 0, 599} << true;
        QTest::newRow("unknown") << 1234 << false << "" << false << QList<int>{7, 7, 7, 7} << true;
    }
    void sensorRanges()
    {
        QFETCH(int, sensor);
        QFETCH(bool, wide);
        QFETCH(QString, product);
        QFETCH(bool, known);
        QFETCH(QList<int>, range);
        QFETCH(bool, linkShown);
        SensorRange r{7, 7, 7, 7, true};
        QCOMPARE(sensorRange(sensor, wide, product, r), known);
        QCOMPARE((QList<int>{r.minLabel, r.maxLabel, r.minIndex, r.maxIndex}), range);
        QCOMPARE(r.linkShown, linkShown);
        // Every range ends on the labels the sensor's scale gives.
        if (known && sensor != 3104 && sensor != 31042 && sensor != 3212)
            QCOMPARE(sensorDpi(r.maxIndex, sensor), r.maxLabel);
    }

    void rateCodes()
    {
        QCOMPARE((QList<int>{rateCodeOfChoice(0), rateCodeOfChoice(1), rateCodeOfChoice(2), rateCodeOfChoice(3)}),
                 (QList<int>{8, 4, 2, 1}));
        QCOMPARE(rateCodeOfChoice(4), 0);
        QCOMPARE(rateChoiceOfCode(2), 2);
        QCOMPARE(rateChoiceOfCode(3), -1);
        QCOMPARE(rateHertz(4), 250);
        QCOMPARE(rateHertz(0), 0);
        QCOMPARE(QString::fromLatin1(rateSourceText(1)), QStringLiteral("1000 HZ"));
        QCOMPARE(QString::fromLatin1(rateSourceText(5)), QString());
    }

    // --- DPI page --------------------------------------------------------------
    void stageCountDecidesTheRows()
    {
        ZelDPIWindow page(sampleProfile());
        page.resize(456, 386);
        page.setStageCount(3);
        for (int i = 0; i < STAGE_COUNT; ++i) {
            QCOMPARE(page.row(i)->geometry().isEmpty(), i >= 3);
            QCOMPARE(page.row(i)->isVisibleTo(&page), i < 3);
        }
        QCOMPARE(page.row(1)->geometry(), QRect(15, 93, 440, 48));
        // Eight stages: every row inside the page, none over the next.
        page.setStageCount(8);
        for (int i = 0; i < STAGE_COUNT; ++i) {
            QVERIFY(page.row(i)->geometry().bottom() < 386);
            if (i > 0)
                QVERIFY(page.row(i)->geometry().top() > page.row(i - 1)->geometry().bottom());
        }
        page.setStageCount(0);   // outside 1..8 counts as 8
        QCOMPARE(page.stageCount(), 8);
        // At scale 1.5 the places grow with it.
        page.setStageCount(3);
        page.setScale(1.5);
        QCOMPARE(page.row(1)->geometry(), QRect(22, 139, 660, 72));
    }

    void linkedSliderMovesXAndYTogether()
    {
        ZelDPIWindow page(sampleProfile());
        page.load(sampleProfile(), 3325);
        ZelSingleDPI *row = page.row(2);
        QSignalSpy dpi(row, &ZelSingleDPI::DPISignal);
        QVERIFY(row->slider()->isLinked());
        QVERIFY(!row->slider()->xSlider()->isVisibleTo(row));
        row->slider()->combinedSlider()->setValue(40);
        QCOMPARE(page.profileData().stages[2].x, 40u);
        QCOMPARE(page.profileData().stages[2].y, 40u);
        QCOMPARE(dpi.count(), 1);
        QCOMPARE(dpi.first().at(2).value<uchar>(), uchar(2));
        QCOMPARE(row->dpiLabel()->text(), QStringLiteral("DPI : 4000"));
        QCOMPARE(row->xLabel()->text(), QStringLiteral("X:4000"));
    }

    void unlinkedSlidersAimWithKeysAndWheel()
    {
        ProfileData p = sampleProfile();
        p.stages[0].link = 0;
        ZelDPIWindow page(p);
        page.load(p, 3389);
        page.resize(456, 386);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        ZelSingleDPI *row = page.row(0);
        QVERIFY(row->linkBox()->isVisible());   // 3389 lets X and Y apart
        ZelStepSlider *x = row->slider()->xSlider();
        ZelStepSlider *y = row->slider()->ySlider();
        QVERIFY(x->isVisible() && y->isVisible());
        x->setFocus();
        QTest::keyClick(x, Qt::Key_Right);
        QCOMPARE(page.profileData().stages[0].x, 11u);
        QCOMPARE(page.profileData().stages[0].y, 10u);
        QTest::keyClick(x, Qt::Key_PageUp);
        QCOMPARE(page.profileData().stages[0].x, 21u);
        // The bubble beside the handle shows the DPI the user aims for.
        QVERIFY(row->slider()->bubble()->isVisible());
        QCOMPARE(row->slider()->bubble()->text(), QString::number(sensorDpi(21, 3389)));
        // One wheel notch is one step.
        wheel(y, 120);
        QCOMPARE(page.profileData().stages[0].y, 11u);
        wheel(y, -240);
        QCOMPARE(page.profileData().stages[0].y, 9u);
        QCOMPARE(row->xLabel()->text(), QStringLiteral("X:1050"));
        QCOMPARE(row->yLabel()->text(), QStringLiteral("Y:450"));
        QCOMPARE(row->dpiLabel()->text(), QStringLiteral("DPI : 450"));
        // Linking again brings Y to X, so a linked stage never keeps two values.
        row->linkBox()->click();
        QCOMPARE(page.profileData().stages[0].link, quint8(1));
        QCOMPARE(page.profileData().stages[0].y, 21u);
        QVERIFY(row->slider()->combinedSlider()->isVisible());
        QCOMPARE(row->slider()->combinedSlider()->value(), 21);
    }

    void pressingARowMakesItCurrent()
    {
        ZelDPIWindow page(sampleProfile());
        page.setStageCount(8);
        page.resize(456, 386);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(labelColor(page.row(1)->dpiLabel()), themeColor());
        QTest::mouseClick(page.row(5)->dpiLabel(), Qt::LeftButton);
        QCOMPARE(int(page.profileData().dpi), 5);
        for (int i = 0; i < STAGE_COUNT; ++i) {
            for (ZelLabel *label : page.row(i)->labels())
                QCOMPARE(labelColor(label), i == 5 ? themeColor() : QColor(Qt::white));
        }
        // Grabbing a row's slider selects it too.
        QTest::mousePress(page.row(3)->slider()->combinedSlider(), Qt::LeftButton);
        QCOMPARE(int(page.profileData().dpi), 3);
        QTest::mouseRelease(page.row(3)->slider()->combinedSlider(), Qt::LeftButton);
        // The mouse reports a stage: the page follows.
        page.setCurrentStage(6);
        QCOMPARE(int(page.profileData().dpi), 6);
        QCOMPARE(labelColor(page.row(6)->numberLabel()), themeColor());
        QCOMPARE(labelColor(page.row(3)->numberLabel()), QColor(Qt::white));
    }

    void labelsFollowTheSensorScale()
    {
        ProfileData p = sampleProfile();
        p.stages[4].link = 0;
        p.stages[4].x = 321;
        p.stages[4].y = 320;
        ZelDPIWindow page(p);
        page.load(p, 3389);
        QCOMPARE(page.row(4)->xLabel()->text(), QStringLiteral("X:%1").arg(sensorDpi(321, 3389)));
        QCOMPARE(page.row(4)->xLabel()->text(), QStringLiteral("X:16100"));
        QCOMPARE(page.row(4)->yLabel()->text(), QStringLiteral("Y:16000"));
        QCOMPARE(page.row(4)->minLabel()->text(), QStringLiteral("100"));
        QCOMPARE(page.row(4)->maxLabel()->text(), QStringLiteral("32000"));
        QCOMPARE(page.row(4)->slider()->xSlider()->maximum(), 480);
        // The demo's sensor keeps X and Y together: no "Link XY" box.
        page.load(p, 3395);
        QVERIFY(!page.row(4)->linkBox()->isVisibleTo(&page));
        QCOMPARE(page.row(4)->maxLabel()->text(), QStringLiteral("26000"));
        // An unknown sensor changes nothing.
        page.load(p, 4242);
        QCOMPARE(page.sensor(), 3395);
        QCOMPARE(page.row(4)->maxLabel()->text(), QStringLiteral("26000"));
    }

    void loadingIsNeverAnEdit()
    {
        ZelDPIWindow page(sampleProfile());
        QSignalSpy changed(&page, &ZelDPIWindow::StagesChangedSignal);
        QList<QSignalSpy *> spies;
        for (int i = 0; i < STAGE_COUNT; ++i)
            spies << new QSignalSpy(page.row(i), &ZelSingleDPI::DPISignal)
                  << new QSignalSpy(page.row(i), &ZelSingleDPI::LinkSignal)
                  << new QSignalSpy(page.row(i), &ZelSingleDPI::EnableSignal);
        ProfileData other = sampleProfile();
        other.stages[3].link = 0;
        other.stages[3].used = 0;
        other.stages[3].x = 30;
        other.stages[3].y = 12;
        other.dpi = 3;
        page.load(other, 3360);
        QCOMPARE(changed.count(), 0);
        for (QSignalSpy *spy : spies)
            QCOMPARE(spy->count(), 0);
        qDeleteAll(spies);
        QVERIFY(!page.row(3)->enableBox()->isChecked());
        QVERIFY(!page.row(3)->linkBox()->isChecked());
        QCOMPARE(page.row(3)->slider()->ySlider()->value(), 12);
        QCOMPARE(int(page.profileData().dpi), 3);
        // Unchecking a stage is kept in the page's copy.
        page.row(3)->enableBox()->click();
        QCOMPARE(page.profileData().stages[3].used, quint8(1));
        QCOMPARE(changed.count(), 1);
    }

    // --- report rate page --------------------------------------------------------
    void reportRateMenuAndUnknownCodes()
    {
        ProfileData p = sampleProfile();
        ZelReportRate page(p);
        QCOMPARE(page.rateButton()->text(), QStringLiteral("500 HZ"));
        QCOMPARE(page.rateMenu()->actions().size(), 4);
        QSignalSpy rate(&page, &ZelReportRate::RateChangedSignal);
        page.rateMenu()->actions().at(0)->trigger();
        QCOMPARE(int(page.profileData().pollrate), 8);
        QCOMPARE(page.rateButton()->text(), QStringLiteral("125 HZ"));
        QCOMPARE(rate.count(), 1);
        // A code the menu does not offer keeps the text shown and stays in
        // the copy until the user picks a rate.
        p.pollrate = 3;
        page.load(p, 1);
        QCOMPARE(page.rateButton()->text(), QStringLiteral("125 HZ"));
        QCOMPARE(int(page.profileData().pollrate), 3);
        page.rateMenu()->actions().at(3)->trigger();
        QCOMPARE(int(page.profileData().pollrate), 1);
        QCOMPARE(page.rateButton()->text(), QStringLiteral("1000 HZ"));
        // The mouse reports a rate: shown, no signal.
        page.setRate(4);
        QCOMPARE(page.rateButton()->text(), QStringLiteral("250 HZ"));
        QCOMPARE(int(page.profileData().pollrate), 4);
        QCOMPARE(rate.count(), 2);
    }

    void liftRadioButtons()
    {
        ZelReportRate page(sampleProfile());
        QSignalSpy lift(&page, &ZelReportRate::RefreshLift);
        page.load(sampleProfile(), 0);
        QVERIFY(page.liftButton(1)->isChecked());
        QCOMPARE(page.lift(), 2);
        QCOMPARE(lift.count(), 0);
        page.load(sampleProfile(), 1);
        QVERIFY(page.liftButton(0)->isChecked());
        QCOMPARE(lift.count(), 0);
        page.liftButton(1)->click();
        QCOMPARE(lift.count(), 1);
        QCOMPARE(lift.last().at(0).value<quint8>(), quint8(2));
        page.liftButton(0)->click();
        QCOMPARE(lift.last().at(0).value<quint8>(), quint8(1));
        QCOMPARE(page.lift(), 1);
        // The other control changed it: shown, no signal.
        page.setLift(2);
        QVERIFY(page.liftButton(1)->isChecked());
        QCOMPARE(lift.count(), 2);
        QCOMPARE(page.liftButton(0)->focusPolicy(), Qt::NoFocus);
    }

    // --- sensor options page -------------------------------------------------------
    void sensorOptionsLoadAndPairs()
    {
        ProfileData p = sampleProfile();
        ZelPointSpeed page(&p, nullptr, 2);
        QSignalSpy lift(&page, &ZelPointSpeed::RefreshLift);
        page.load(&p, 1, 0, 1, 0, 37);
        QCOMPARE(lift.count(), 0);
        QCOMPARE(page.debounceSlider()->value(), 37);
        QCOMPARE(page.debounceValue()->text(), QStringLiteral("37"));
        QCOMPARE(page.scrollSpeedBox()->value(), 3);
        QVERIFY(page.optionBox(ZelPointSpeed::OptionSync, true)->isChecked());
        // Lift 0 shows "2mm" but stays 0 until the user picks one.
        QVERIFY(page.optionBox(ZelPointSpeed::OptionLift, false)->isChecked());
        QVERIFY(!page.optionBox(ZelPointSpeed::OptionLift, true)->isChecked());
        QCOMPARE(page.lift(), 0);
        QVERIFY(page.optionBox(ZelPointSpeed::OptionAngle, false)->isChecked());   // 1 = off
        QVERIFY(page.optionBox(ZelPointSpeed::OptionJitter, true)->isChecked());   // 0 = on

        // A pair acts like two radio buttons; clicking the checked box keeps it.
        QCheckBox *on = page.optionBox(ZelPointSpeed::OptionSync, true);
        on->click();
        QVERIFY(on->isChecked());
        QCOMPARE(page.sync(), 1);
        page.optionBox(ZelPointSpeed::OptionSync, false)->click();
        QVERIFY(!on->isChecked());
        QCOMPARE(page.sync(), 0);
        page.optionBox(ZelPointSpeed::OptionAngle, true)->click();
        QCOMPARE(page.angle(), 0);
        page.optionBox(ZelPointSpeed::OptionJitter, false)->click();
        QCOMPARE(page.jitter(), 1);
        page.optionBox(ZelPointSpeed::OptionLift, false)->click();
        QVERIFY(page.optionBox(ZelPointSpeed::OptionLift, false)->isChecked());
        QCOMPARE(page.lift(), 2);
        QCOMPARE(lift.count(), 1);
        page.optionBox(ZelPointSpeed::OptionLift, true)->click();
        QCOMPARE(lift.last().at(0).value<quint8>(), quint8(1));
        // The other control: shown, no signal.
        page.setLift(2);
        QVERIFY(page.optionBox(ZelPointSpeed::OptionLift, false)->isChecked());
        QCOMPARE(lift.count(), 2);
    }

    void scrollSpeedAndDebounceAreStoredAtOnce()
    {
        ProfileData p = sampleProfile();
        ZelPointSpeed page(&p, nullptr, 0);
        page.load(&p, 0, 2, 1, 1, 20);
        QCOMPARE(p.scrollspeed, quint8(3));   // a load stores nothing
        page.scrollSpeedBox()->setValue(7);
        QCOMPARE(p.scrollspeed, quint8(7));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.debounceSlider()->setFocus();
        QTest::keyClick(page.debounceSlider(), Qt::Key_Right);
        QTest::keyClick(page.debounceSlider(), Qt::Key_PageUp);
        QCOMPARE(page.debounce(), 22);
        QCOMPARE(page.debounceValue()->text(), QStringLiteral("22"));
    }

    void syncSwitchPlacesTheOptionRows()
    {
        ProfileData p = sampleProfile();
        ZelPointSpeed none(&p, nullptr, 0);
        ZelPointSpeed pairs(&p, nullptr, 1);
        ZelPointSpeed columns(&p, nullptr, 2);
        for (int o = 0; o < ZelPointSpeed::OPTION_COUNT; ++o) {
            const auto option = ZelPointSpeed::Option(o);
            QVERIFY(none.optionBox(option, true)->geometry().isEmpty());
            QVERIFY(!none.optionBox(option, true)->isVisibleTo(&none));
            QVERIFY(!none.optionLabel(option)->isVisibleTo(&none));
            QVERIFY(!pairs.optionBox(option, true)->geometry().isEmpty());
            QVERIFY(!columns.optionBox(option, false)->geometry().isEmpty());
            QVERIFY(columns.optionBox(option, true)->geometry().bottom() < 77);
            QVERIFY(pairs.optionBox(option, false)->geometry().right() < 506);
        }
        // Pairs: two options to a line; columns: every option on one line.
        const auto top = [](ZelPointSpeed &page, ZelPointSpeed::Option o) {
            return page.optionBox(o, true)->geometry().top();
        };
        QCOMPARE(top(pairs, ZelPointSpeed::OptionSync), top(pairs, ZelPointSpeed::OptionLift));
        QVERIFY(top(pairs, ZelPointSpeed::OptionAngle) > top(pairs, ZelPointSpeed::OptionSync));
        QCOMPARE(top(columns, ZelPointSpeed::OptionSync), top(columns, ZelPointSpeed::OptionJitter));
        // The first line is there in every arrangement.
        QVERIFY(none.scrollSpeedBox()->isVisibleTo(&none));
        QCOMPARE(none.scrollSpeedBox()->minimum(), 1);
        QCOMPARE(none.scrollSpeedBox()->maximum(), 20);
        QCOMPARE(none.debounceSlider()->maximum(), 255);
    }
};

QTEST_MAIN(TestPerformancePages)
#include "tst_performancepages.moc"

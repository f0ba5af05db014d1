// The DPI tab in the main window against the simulated mouse: a user's edits
// reach the mouse's DPI table and general block on Apply, come back in a new
// window over the same files, and the mouse's own DPI button moves the
// highlighted stage.

#include "tests/app/windowtest.h"
#include "app/applyflow.h"
#include "app/batterylevel.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "pages/performance/zeldpiwindow.h"
#include "pages/performance/zelpointspeed.h"
#include "pages/performance/zelreportrate.h"
#include "pages/performance/zelsingledpi.h"
#include "pages/performance/zeltwobarslider.h"
#include "platform/osdchannel.h"
#include "platform/pointerspeed.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/paths.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"
#include "sim/simmouse.h"
#include "widgets/uistate.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QMenu>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

namespace {

quint8 byteAt(const QByteArray &block, int i)
{
    return quint8(block.at(i));
}

} // namespace

class TestPerformanceWindow : public QObject {
    Q_OBJECT
    QTemporaryDir *m_dir = nullptr;
    QTemporaryDir *m_copy = nullptr;
    QStringList m_shown;
    QuietOsd m_osd;
    quint8 m_prior = 0;
    platform::RecordingPointerSpeed m_speed;

    MousecfgWidget *makeWindow()
    {
        auto *w = new MousecfgWidget;
        QTest::qWait(300);
        const sim::BatteryState b = sim::battery();
        const int expected = batteryLevel(batteryMillivolts(b.low, b.high), readBatteryFull());
        if (!QTest::qWaitFor([w, expected] { return w->batteryLevelShown() == expected; }, 5000))
            qWarning("The poller's first battery reply did not arrive");
        // The poller's second hand-on of its first reply passes before a test acts.
        QTest::qWait(800);
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
        s.chooseFile = [](const QString &, const QString &, bool) { return QString(); };
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
        m_copy = new QTemporaryDir;
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
        delete m_copy;
        m_dir = m_copy = nullptr;
    }

    void dpiTabEditsReachTheMouseAndComeBack()
    {
        QCOMPARE(sensorCode(), 3395);   // the demo's sensor
        {
            // As left by earlier use: stage 3 of the first slot unlinked, the
            // lift-off distance at 2 mm and angle snapping off, in the mouse
            // and on disk.
            QScopedPointer<MousecfgWidget> first(makeWindow());
            first->reportRatePage()->liftButton(1)->click();
            first->sensorPage()->optionBox(ZelPointSpeed::OptionAngle, false)->click();
            QCOMPARE(int(workingSet().LiftHigh), 2);
            first->apply();
            QVERIFY(m_shown.isEmpty());
            QCOMPARE(byteAt(sim::block(sim::Block::Settings), 5) & 0x43, 2);   // 2 mm, no angle snapping
            m_prior = byteAt(sim::block(sim::Block::Settings), 5);
            ProfileData slot;
            QVERIFY(readSlotFile(slot, QStringLiteral("Profile 1")));
            slot.stages[2].link = 0;
            QVERIFY(writeSlotFile(slot, QStringLiteral("Profile 1")));
        }
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.data()));
        QVERIFY(!w->dpiPage()->isVisible());
        w->pageTab(MousecfgWidget::PageDpi)->click();
        QVERIFY(w->dpiPage()->isVisible() && w->sensorPage()->isVisible() && w->reportRatePage()->isVisible());

        // Stage 3 (index 2) to 3200 DPI, X and Y each with its own slider.
        ZelSingleDPI *row = w->dpiPage()->row(2);
        QVERIFY(!row->slider()->isLinked());
        QVERIFY(!row->linkBox()->isVisible());
        ZelStepSlider *x = row->slider()->xSlider();
        ZelStepSlider *y = row->slider()->ySlider();
        QCOMPARE(x->value(), 31);   // 1600 DPI from the description
        x->setFocus();
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(x, Qt::Key_PageUp);
        QTest::keyClick(x, Qt::Key_Right);
        QTest::keyClick(x, Qt::Key_Right);
        const QPointF at(y->width() / 2.0, y->height() / 2.0);
        QWheelEvent notches(at, y->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, 32 * 120), Qt::NoButton,
                            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(y, &notches);
        QCOMPARE(row->xLabel()->text(), QStringLiteral("X:3200"));
        QCOMPARE(row->yLabel()->text(), QStringLiteral("Y:3200"));
        // Not handed over before Apply.
        QCOMPARE(workingSet().profiles[0].stages[2].x, 31u);

        // 500 Hz; lift-off 1 mm on the sensor page, which the rate page follows.
        w->reportRatePage()->rateMenu()->actions().at(2)->trigger();
        QCOMPARE(w->reportRatePage()->rateButton()->text(), QStringLiteral("500 HZ"));
        QVERIFY(w->reportRatePage()->liftButton(1)->isChecked());
        QVERIFY(w->sensorPage()->optionBox(ZelPointSpeed::OptionLift, false)->isChecked());
        w->sensorPage()->optionBox(ZelPointSpeed::OptionLift, true)->click();
        QVERIFY(w->reportRatePage()->liftButton(0)->isChecked());
        // Angle snapping on; key response one step up from where it stands.
        w->sensorPage()->optionBox(ZelPointSpeed::OptionAngle, true)->click();
        const int debounce = w->sensorPage()->debounceSlider()->value() + 1;
        w->sensorPage()->debounceSlider()->setFocus();
        QTest::keyClick(w->sensorPage()->debounceSlider(), Qt::Key_Right);
        QCOMPARE(w->sensorPage()->debounceValue()->text(), QString::number(debounce));

        w->controlButton("applyButton")->click();
        QVERIFY2(m_shown.isEmpty(), qPrintable(m_shown.join('|')));
        QCOMPARE(commandsSent(), (QSet<quint8>{0x46, 0x01, 0x02, 0x40}));

        // The DPI table: stage 3 in use, X and Y register words 63 (3200 DPI on 3395).
        const QByteArray dpi = sim::block(sim::Block::Dpi);
        QCOMPARE(byteAt(dpi, 0), quint8(6));
        QCOMPARE(dpi.mid(11, 5), QByteArray::fromHex("013f003f00"));
        // The stages around it as the description gives them (indices 7, 15, 63).
        QCOMPARE(dpi.mid(1, 10), QByteArray::fromHex("0107000700010f000f00"));
        QCOMPARE(dpi.mid(16, 5), QByteArray::fromHex("013f003f00"));
        // The general block: 500 Hz for slot 1, lift 1 with angle snapping on.
        const QByteArray general = sim::block(sim::Block::Settings);
        QCOMPARE(byteAt(general, 11), quint8(2));
        // Lift 1 and angle snapping on; motion sync and ripple control as they were.
        QCOMPARE(byteAt(general, 5), quint8((m_prior & 0xA0) | 0x41));
        QCOMPARE(byteAt(general, 9), quint8(debounce));
        QCOMPARE(int(workingSet().LiftHigh), 1);
        QCOMPARE(int(workingSet().AngleValue), 0);

        // A new window over the same files shows them (read from copies, so
        // nothing cached in this process answers instead).
        w.reset();
        copyTree(m_dir->path(), m_copy->path());
        setConfigsBase(m_copy->path());
        QScopedPointer<MousecfgWidget> again(makeWindow());
        again->show();
        again->selectPage(MousecfgWidget::PageDpi);
        ZelSingleDPI *shown = again->dpiPage()->row(2);
        QCOMPARE(shown->xLabel()->text(), QStringLiteral("X:3200"));
        QCOMPARE(shown->yLabel()->text(), QStringLiteral("Y:3200"));
        QVERIFY(!shown->slider()->isLinked());
        QCOMPARE(again->reportRatePage()->rateButton()->text(), QStringLiteral("500 HZ"));
        QVERIFY(again->reportRatePage()->liftButton(0)->isChecked());
        QVERIFY(again->sensorPage()->optionBox(ZelPointSpeed::OptionLift, true)->isChecked());
        QVERIFY(again->sensorPage()->optionBox(ZelPointSpeed::OptionAngle, true)->isChecked());

        // The mouse's DPI button: the highlighted row moves, and an edit not
        // yet applied on another row is kept.
        const int before = again->dpiPage()->profileData().dpi;
        const int next = (before + 1) % 6;
        again->dpiPage()->row(0)->slider()->combinedSlider()->setValue(40);
        sim::pushStatus(0, quint8(next), 2, 0);
        QTRY_COMPARE_WITH_TIMEOUT(int(again->dpiPage()->profileData().dpi), next, 3000);
        QCOMPARE(again->dpiPage()->row(next)->dpiLabel()->palette().color(QPalette::WindowText), themeColor());
        QCOMPARE(again->dpiPage()->row(before)->dpiLabel()->palette().color(QPalette::WindowText),
                 QColor(Qt::white));
        QCOMPARE(int(workingSet().profiles[0].dpi), next);
        QCOMPARE(again->dpiPage()->profileData().stages[0].x, 40u);
        // A rate change on the mouse reaches the rate page the same way.
        sim::pushStatus(0, quint8(next), 8, 0);
        QTRY_COMPARE_WITH_TIMEOUT(again->reportRatePage()->rateButton()->text(), QStringLiteral("125 HZ"), 3000);
        QCOMPARE(again->dpiPage()->profileData().stages[0].x, 40u);
    }

    void chineseTextsAndLargerScale()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->switchLanguage(1);
        // Every page hears of the new language through the application.
        QTRY_COMPARE(w->reportRatePage()->liftButton(0)->text(), QStringLiteral("1 毫米"));
        QCOMPARE(w->dpiPage()->row(0)->linkBox()->text(), QStringLiteral("XY 联动"));
        QCOMPARE(w->sensorPage()->optionLabel(ZelPointSpeed::OptionAngle)->text(), QStringLiteral("角度捕捉"));
        w->switchLanguage(0);
        QTRY_COMPARE(w->sensorPage()->optionLabel(ZelPointSpeed::OptionAngle)->text(),
                     QStringLiteral("Angle Snapping"));
        // At 1.5 the pages grow with the window.
        setScaleFactor(1.5);
        w->resize(int(999 * 1.5), int(640 * 1.5));
        w->switchLanguage(0);   // lays the window out again
        w->show();
        w->selectPage(MousecfgWidget::PageDpi);
        QVERIFY(QTest::qWaitForWindowExposed(w.data()));
        QCOMPARE(w->dpiPage()->geometry(), QRect(429, 112, 684, 579));
        QCOMPARE(w->dpiPage()->row(1)->geometry(), QRect(22, 139, 660, 72));
        setScaleFactor(1.0);
    }
};

QTEST_MAIN(TestPerformanceWindow)
#include "tst_performancewindow.moc"

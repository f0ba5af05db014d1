// The LIGHTING tab of the main window against the simulated mouse: the
// user's choice reaches the mouse's lighting records and general block on
// Apply, the mouse picture previews it, and a new start shows it again.

#include "tests/app/windowtest.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "device/devicetable.h"
#include "pages/lighting/colorwidgets.h"
#include "pages/lighting/zelcolorarea.h"
#include "pages/lighting/zelcolorwindow.h"
#include "platform/osdchannel.h"
#include "platform/pointerspeed.h"
#include "profile/configstore.h"
#include "profile/paths.h"
#include "profile/profileset.h"
#include "sim/simmouse.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"
#include "widgets/zelslider.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

QSet<quint8> blocksSent()
{
    QSet<quint8> commands;
    for (const QByteArray &frame : sim::writtenFrames()) {
        const quint8 command = quint8(frame.at(3));
        if (command >= 0x01 && command <= 0x05)
            commands.insert(command);
    }
    return commands;
}

// The block commands a change mask selects.
QSet<quint8> blocksOf(quint8 mask)
{
    QSet<quint8> blocks;
    if (mask & CHANGE_GENERAL)
        blocks.insert(0x01);
    if (mask & CHANGE_DPI)
        blocks.insert(0x02);
    if (mask & CHANGE_BUTTONS)
        blocks.insert(0x03);
    if (mask & CHANGE_LIGHTING)
        blocks.insert(0x04);
    return blocks;
}

QAction *menuAction(ZelColorWindow *page, const QString &text)
{
    for (QAction *a : page->effectMenu()->actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

// Pixels of a clearly blue light (0, 128, 255) in a picture.
int bluePixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 200 && c.blue() > 200 && c.red() < 60 && c.green() > 90 && c.green() < 170)
                ++n;
        }
    }
    return n;
}

} // namespace

class TestLightingWindow : public QObject {
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    QStringList m_messages;
    QuietOsd m_osd;
    platform::RecordingPointerSpeed m_speed;

    MousecfgWidget *makeWindow()
    {
        auto *w = new MousecfgWidget;
        QTest::qWait(300);
        writeDiff(0);   // as after the first start's full write
        sim::resetCounters();
        return w;
    }

    QImage picture(MousecfgWidget *w) const { return w->frontPicture()->pixmap(Qt::ReturnByValue).toImage(); }

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
        AppServices &s = appServices();
        s.messageHook = [this](int, const QString &text) {
            m_messages << text;
            return 1;
        };
        s.startDetached = [](const QString &) { return true; };
        s.exitProcess = [](int) {};
        s.logicalDpi = [] { return 96.0; };
        s.trayAvailable = [] { return true; };
        s.osd = &m_osd;
        m_messages.clear();
        m_dir = new QTemporaryDir;
        setConfigsBase(m_dir->path());
        plugFreshMouse();
    }

    void cleanup()
    {
        QTest::qWait(10);
        setConfigsBase(QString());
        delete m_dir;
        m_dir = nullptr;
    }

    void breathingInBlueReachesTheMouseAndComesBack()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->show();
        w->selectPage(MousecfgWidget::PageLighting);
        ZelColorWindow *page = w->lightingPage();
        QVERIFY(page && page->isVisible());
        QCOMPARE(page->profile(), &workingSet().profiles[0]);
        const QImage before = picture(w.data());

        // BREATHING, speed 4, colour (0, 128, 255), sleep 5 minutes.
        menuAction(page, QStringLiteral("BREATHING"))->trigger();
        page->speedSlider()->setValue(4);
        bool dialogSeen = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<ZelColorArea *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialogSeen = true;
            dialog->hexEdit()->clear();
            QTest::keyClicks(dialog->hexEdit(), QStringLiteral("0080ff"));
            dialog->applyButton()->click();
        });
        QTest::mousePress(page->swatch(), Qt::LeftButton);
        QVERIFY(dialogSeen);
        page->sleepSlider()->setValue(5);
        QCOMPARE(page->minuteLabel()->text(), QStringLiteral("5 MINUTE"));

        // The picture previews the light.
        const QImage lit = picture(w.data());
        QVERIFY(lit != before);
        QVERIFY(bluePixels(lit) > 50);

        const ProfileData &slot0 = workingSet().profiles[0];
        QCOMPARE(int(slot0.LedMode), 2);
        QCOMPARE(slot0.effects[2].breath, 4);
        QCOMPARE(slot0.effects[2].colour, QColor(0, 128, 255));
        QCOMPARE(int(slot0.LedSleepTime), 5);

        // Apply writes exactly the groups the comparison reports.
        const quint8 mask = compareProfileSets(workingSet(), savedSet());
        QCOMPARE(int(mask), CHANGE_GENERAL | CHANGE_LIGHTING);
        w->apply();
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(blocksSent(), blocksOf(mask));

        const QByteArray light = sim::block(sim::Block::Lighting);
        QCOMPARE(light.size(), 80);
        // Record 2, breathing: 0x80, red, green, blue, 1, speed, 4, 3.
        QCOMPARE(light.mid(16, 8), QByteArray::fromHex("800080ff01040403"));
        const QByteArray general = sim::block(sim::Block::Settings);
        QCOMPARE(int(quint8(general.at(8))), 5);              // sleep minutes
        QCOMPARE(int(quint8(general.at(7))), int(slot0.LedMoveOFF));
        QCOMPARE(int(quint8(general.at(18))), 3);             // lighting mode 3: breathing

        // A new start (over a copy of the files, so nothing cached is read)
        // shows the same choice.
        const QString configs = m_dir->path();
        w.reset();
        QTemporaryDir copy;
        QVERIFY(copyTree(configs, copy.path()));
        setConfigsBase(copy.path());
        QScopedPointer<MousecfgWidget> again(makeWindow());
        ZelColorWindow *shown = again->lightingPage();
        QCOMPARE(shown->effectButton()->text(), QStringLiteral("BREATHING"));
        QCOMPARE(shown->speedSlider()->value(), 4);
        QCOMPARE(shown->swatch()->color(), QColor(0, 128, 255));
        QCOMPARE(shown->sleepSlider()->value(), 5);
        QCOMPARE(shown->minuteLabel()->text(), QStringLiteral("5 MINUTE"));
        QVERIFY(bluePixels(picture(again.data())) > 50);
        // Nothing to write: what the mouse holds is what the files hold.
        again->apply();
        QVERIFY(blocksSent().isEmpty());
        setConfigsBase(configs);
    }

    void eachTabsPictureShowsOnlyItsOwnState()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        w->show();
        w->selectPage(MousecfgWidget::PageLighting);
        const QImage lighting = picture(w.data());
        QVERIFY(w->lightingPage()->isVisible());

        // A marker selected and lit on CUSTOMIZE...
        w->selectPage(MousecfgWidget::PageCustomize);
        QVERIFY(!w->lightingPage()->isVisible());
        const QImage plain = picture(w.data());
        QVERIFY(plain != lighting);
        w->marker(1)->click();
        w->slotMouseOver(w->marker(1), true);
        QVERIFY(picture(w.data()) != plain);
        // ...is not shown on the LIGHTING tab's picture,
        w->selectPage(MousecfgWidget::PageLighting);
        QCOMPARE(picture(w.data()), lighting);
        // and the light is not shown on CUSTOMIZE.
        w->selectPage(MousecfgWidget::PageCustomize);
        QCOMPARE(picture(w.data()), plain);
        w->selectPage(MousecfgWidget::PageDpi);
        QVERIFY(!w->lightingPage()->isVisible());
    }

    void pageFollowsTheSlotAndTheMousesMode()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        workingSet().profiles[2].LedMode = 4;
        w->selectSlot(2);
        QCOMPARE(w->lightingPage()->profile(), &workingSet().profiles[2]);
        QCOMPARE(w->lightingPage()->effectButton()->text(), QStringLiteral("RAINBOW"));
        // A mode the mouse reports is shown and kept in the edited slot.
        QVERIFY(QMetaObject::invokeMethod(w.data(), "slotRefreshLightMode", Q_ARG(quint8, 11)));
        QCOMPARE(w->lightingPage()->effectButton()->text(), QStringLiteral("REACTIVE"));
        QCOMPARE(int(workingSet().profiles[2].LedMode), 11);
        w->selectSlot(0);
    }

    void languageSwitchTranslatesThePage()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        ZelColorWindow *page = w->lightingPage();
        page->setEffect(2);
        // The page hears of the new language as every widget does, from the event loop.
        w->switchLanguage(1);
        QCoreApplication::processEvents();
        QCOMPARE(page->effectButton()->text(), QStringLiteral("呼吸"));
        QCOMPARE(page->sleepTitle()->text(), QStringLiteral("休眠时间"));
        QCOMPARE(page->effectMenu()->actions().first()->text(), QStringLiteral("常亮"));
        QVERIFY(page->minuteLabel()->text().endsWith(QStringLiteral(" 分钟")));
        w->switchLanguage(2);
        QCoreApplication::processEvents();
        QCOMPARE(page->moveOffBox()->text(), QStringLiteral("移動時關燈"));
        w->switchLanguage(0);
        QCoreApplication::processEvents();
        QCOMPARE(page->effectButton()->text(), QStringLiteral("BREATHING"));
    }

    void sixOneThreeTwoKeepsSlotZero()
    {
        QScopedPointer<MousecfgWidget> w(makeWindow());
        // The window served the attached mouse at start; now the model is
        // "6132" (as after choosing it from the model list).
        writeCurrentProduct(QStringLiteral("6132"));
        workingSet().profiles[0].LedMode = 1;
        workingSet().profiles[3].LedMode = 4;
        w->selectSlot(3);
        QCOMPARE(int(workingSet().ProfileID), 3);
        QCOMPARE(w->lightingPage()->profile(), &workingSet().profiles[0]);
        QCOMPARE(w->lightingPage()->effectButton()->text(), QStringLiteral("FULL LIGHTED"));
        // Edits go to slot 0 as well.
        menuAction(w->lightingPage(), QStringLiteral("WAVE"))->trigger();
        QCOMPARE(int(workingSet().profiles[0].LedMode), 9);
        QCOMPARE(int(workingSet().profiles[3].LedMode), 4);
        w->selectSlot(0);
    }
};

QTEST_MAIN(TestLightingWindow)
#include "tst_lightingwindow.moc"

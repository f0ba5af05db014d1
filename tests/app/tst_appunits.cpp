#include "app/batterylevel.h"
#include "app/preload.h"
#include "app/scale.h"

#include <QTemporaryDir>
#include <QtTest>

class TestAppUnits : public QObject {
    Q_OBJECT
private slots:
    void scaleSteps_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("96 dpi") << 96.0 << 0 << 999 << 640;
        QTest::newRow("just below 1.1") << 105.5 << 0 << 999 << 640;
        QTest::newRow("exactly 1.1 (105.6 dpi)") << 105.6 << 1 << 1248 << 800;
        QTest::newRow("120 dpi") << 120.0 << 1 << 1248 << 800;
        QTest::newRow("144 dpi") << 144.0 << 2 << 1498 << 960;
        QTest::newRow("exactly 1.6") << 153.6 << 3 << 1748 << 1120;
        QTest::newRow("192 dpi") << 192.0 << 4 << 1998 << 1280;
        QTest::newRow("4.79") << 4.79 * 96 << 15 << 4745 << 3040;
        QTest::newRow("exactly 4.8") << 4.8 * 96 << 16 << 4995 << 3200;
        QTest::newRow("huge") << 960.0 << 16 << 4995 << 3200;
    }
    void scaleSteps()
    {
        QFETCH(double, dpi);
        QFETCH(int, step);
        QFETCH(int, width);
        QFETCH(int, height);
        const ScaleStep s = scaleStepForDpi(dpi);
        QCOMPARE(s.step, step);
        QCOMPARE(s.factor, 1.0 + 0.25 * step);
        // Sizes are truncated products, never rounded.
        QCOMPARE(int(DESIGN_WIDTH * s.factor), width);
        QCOMPARE(int(DESIGN_HEIGHT * s.factor), height);
    }

    void batteryLevels()
    {
        // 0x03F2 = 1010 -> 4166 mV.
        QCOMPARE(batteryMillivolts(0xF2, 0x03), 4166);
        QCOMPARE(batteryLevel(4166, 4200), 90);
        QCOMPARE(batteryLevel(4166, 4100), 100);
        // The start-up priming (0, 1, 1): raw 257.
        QCOMPARE(batteryMillivolts(1, 1), 1060);
        QCOMPARE(batteryLevel(1060, 4200), 10);
        QCOMPARE(batteryLevel(4200, 4200), 100);
        QCOMPARE(batteryLevel(4199, 4200), 90);
        QCOMPARE(batteryLevel(4100, 4200), 90);
        QCOMPARE(batteryLevel(4099, 4200), 80);
        QCOMPARE(batteryLevel(3700, 4200), 50);
        QCOMPARE(batteryLevel(3699, 4200), 40);   // no 45: 3600 is not a step
        QCOMPARE(batteryLevel(3500, 4200), 40);
        QCOMPARE(batteryLevel(3200, 4200), 20);
        QCOMPARE(batteryLevel(3199, 4200), 10);
        QCOMPARE(batteryMillivolts(0xFF, 0xFF), 65535 * 990 / 240);
    }

    // A sequence of battery reports (level, charging, cable) and whether
    // each one gives the low-battery notice: once per discharge.
    void lowBatteryNoticeOncePerDischarge_data()
    {
        QTest::addColumn<QList<int>>("levels");
        QTest::addColumn<QList<int>>("charging");   // 1 charging, 2 on the cable
        QTest::addColumn<QList<bool>>("notices");
        QTest::newRow("running down") << QList<int>{50, 30, 20, 20, 10, 10} << QList<int>{0, 0, 0, 0, 0, 0}
                                      << QList<bool>{false, false, true, false, false, false};
        QTest::newRow("jitter around the threshold") << QList<int>{20, 30, 20, 40, 20} << QList<int>{0, 0, 0, 0, 0}
                                                     << QList<bool>{true, false, false, false, false};
        QTest::newRow("charged, then down again") << QList<int>{20, 20, 30, 20} << QList<int>{0, 1, 0, 0}
                                                  << QList<bool>{true, false, false, true};
        QTest::newRow("on the cable") << QList<int>{10, 10, 10} << QList<int>{2, 2, 0}
                                      << QList<bool>{false, false, true};
        QTest::newRow("charged elsewhere") << QList<int>{10, 90, 20} << QList<int>{0, 0, 0}
                                           << QList<bool>{true, false, true};
    }

    void lowBatteryNoticeOncePerDischarge()
    {
        QFETCH(QList<int>, levels);
        QFETCH(QList<int>, charging);
        QFETCH(QList<bool>, notices);
        LowBatteryAlarm alarm;
        for (int i = 0; i < levels.size(); ++i)
            QCOMPARE(alarm.report(levels.at(i), charging.at(i) == 1, charging.at(i) == 2), notices.at(i));
    }

    void connectionStates()
    {
        // cable, dongle, charging -> state, picture, bar
        QCOMPARE(connectionIconState(false, true, true), 1);
        QCOMPARE(connectionIconState(false, true, false), 2);
        QCOMPARE(connectionIconState(false, false, true), 3);
        QCOMPARE(connectionIconState(false, false, false), 3);
        QCOMPARE(connectionIconState(true, true, false), 1);
        QCOMPARE(connectionIconState(true, false, true), 0);
        QVERIFY(!connectionPictureVisible(0) && !batteryBarVisible(0));
        QVERIFY(connectionPictureVisible(1) && !batteryBarVisible(1));
        QVERIFY(connectionPictureVisible(2) && batteryBarVisible(2));
        QVERIFY(!connectionPictureVisible(3) && batteryBarVisible(3));
    }

    // A picture read ahead is the picture read there and then; each read
    // ahead serves one take, so a later take sees the file as it is then.
    void picturesReadAhead()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.png"));
        QImage first(40, 30, QImage::Format_ARGB32);
        first.fill(QColor(10, 200, 30, 128));
        QVERIFY(first.save(path));
        preloadImage(path);
        preloadImage(path);   // asked twice: still one read
        QCOMPARE(takeImage(path), QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied));

        QImage second(8, 8, QImage::Format_RGB32);
        second.fill(Qt::blue);
        QVERIFY(second.save(path));
        QCOMPARE(takeImage(path).size(), QSize(8, 8));
        QVERIFY(takeImage(dir.filePath(QStringLiteral("missing.png"))).isNull());
        preloadImage(dir.filePath(QStringLiteral("missing.png")));
        QVERIFY(takeImage(dir.filePath(QStringLiteral("missing.png"))).isNull());

        // A list is read in its order; a picture nobody took is let go, and
        // the next take reads the file as it is then.
        const QString a = dir.filePath(QStringLiteral("a.png"));
        const QString b = dir.filePath(QStringLiteral("b.png"));
        QVERIFY(first.save(a));
        QVERIFY(second.save(b));
        preloadImages({a, b});
        QCOMPARE(takeImages(b).size(), 1);   // b read, so a was read before it
        QVERIFY(second.scaled(3, 3).save(a));
        QCOMPARE(takeImage(a).size(), QSize(40, 30));   // what was read ahead
        preloadImages({b, a});
        QCOMPARE(takeImage(a).size(), QSize(3, 3));
        QVERIFY(first.save(b));
        dropPreloads();
        QCOMPARE(takeImage(b).size(), QSize(40, 30));
    }
};

QTEST_GUILESS_MAIN(TestAppUnits)
#include "tst_appunits.moc"

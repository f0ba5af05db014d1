// The device description, its masked counts and matrices, the sensor DPI
// scale and the read-only device keys of Config.ini.

#include "profiletest.h"

#include "device/sensors.h"
#include "profile/description.h"

#include <QtTest>
#include <climits>

class TestDescription : public QObject
{
    Q_OBJECT

private slots:
    void shippedModel();
    void missingFile();
    void maskedCounts();
    void documentedDefaults();
    void numbersFromText_data();
    void numbersFromText();
    void recordNarrowsToFieldWidth();
    void matricesFromCustomFile();
    void sensorDpiSegments_data();
    void sensorDpiSegments();
    void sensorDpiExtremes();
    void nearValueWindow();
    void deviceKeysOfConfig();
};

void TestDescription::shippedModel()
{
    QVERIFY(descriptionExists());
    QCOMPARE(productName(), QStringLiteral("VELKOR"));
    QVERIFY(!productVersion().isEmpty());
    QCOMPARE(buttonCount(), 8);
    QCOMPARE(dpiStageCount(), 6);
    QCOMPARE(descriptionInt("vid1"), 0x248A);
    QCOMPARE(descriptionInt("pid1"), 0xFA02);
    QCOMPARE(descriptionInt("vid2"), 0x248A);
    QCOMPARE(descriptionInt("pid2"), 0xFB01);
    QCOMPARE(descriptionInt("Sync"), 2);
    QCOMPARE(descriptionInt("MinDelay"), 10);

    quint8 matrix[16];
    QCOMPARE(readButtonMatrix(matrix), 0);
    quint8 pictures[16];
    QCOMPARE(readButtonMatrix2(pictures), 8);
    // Every button the model has is addressed once; the rest are 0xFF.
    QSet<int> seen;
    for (int i = 0; i < 16; ++i) {
        if (i < 8) {
            QVERIFY(matrix[i] != 0xFF && pictures[i] != 0xFF);
            QVERIFY(!seen.contains(matrix[i]));
            seen.insert(matrix[i]);
        } else {
            QCOMPARE(matrix[i], quint8(0xFF));
            QCOMPARE(pictures[i], quint8(0xFF));
        }
    }

    DeviceDescription d;
    QVERIFY(readDeviceDescription(d));
    QCOMPARE(d.ProductName, QStringLiteral("VELKOR"));
    QVERIFY(!d.CompanyName.isEmpty());
    QCOMPARE(d.ButtonCount, quint8(descriptionInt("ButtonCount")));
    for (int i = 0; i < EFFECT_COUNT; ++i)
        QVERIFY2(d.effects[i].colour.isValid(), qPrintable(QString::number(i)));
}

void TestDescription::missingFile()
{
    TempAppDir app;
    QVERIFY(!descriptionExists());
    QCOMPARE(productName(), QString());
    QCOMPARE(buttonCount(), 0);
    QCOMPARE(dpiStageCount(), 0);
    quint8 matrix[16];
    std::fill(matrix, matrix + 16, quint8(0xA5));
    QCOMPARE(readButtonMatrix(matrix), -1);
    QCOMPARE(readButtonMatrix2(matrix), -1);
    for (quint8 b : matrix)
        QCOMPARE(b, quint8(0xA5));   // untouched
    DeviceDescription d;
    d.dpi = 9;
    d.FontName[2] = "x";
    QVERIFY(!readDeviceDescription(d));
    QCOMPARE(d.dpi, quint8(0));
    QVERIFY(d.FontName[2].isEmpty());
}

void TestDescription::maskedCounts()
{
    TempAppDir app;
    writeIni(app.descriptionFile(), {{"PROFILE/ButtonCount", 13}, {"PROFILE/MouseDpi", 7}});
    QCOMPARE(buttonCount(), 10);
    QCOMPARE(dpiStageCount(), 10);
    writeIni(app.descriptionFile(), {{"PROFILE/DPICount", 3}});
    QCOMPARE(buttonCount(), 10);
    QCOMPARE(dpiStageCount(), 9);
    quint8 pictures[16];
    QCOMPARE(readButtonMatrix2(pictures), 10);
}

void TestDescription::documentedDefaults()
{
    const struct { const char *key; int value; } defaults[] = {
        {"ShowSleep", 1}, {"SleepMin", 1}, {"SleepMax", 9}, {"MinDelay", 10}, {"vid1", 9354},
        {"pid1", 64002}, {"vid2", 9354}, {"pid2", 64257}, {"DisableMacro", 0}, {"ScrollRev", 0},
        {"33254", 0}, {"ColorMode", 0}, {"ledDisable", 0}, {"Sync", 0}, {"ButtonCount", 0},
    };
    {
        TempAppDir app;   // no file at all
        for (const auto &d : defaults)
            QVERIFY2(descriptionInt(d.key) == d.value, d.key);
    }
    TempAppDir app;       // a file without these keys
    writeIni(app.descriptionFile(), {{"PROFILE/ProductName", "X"}});
    for (const auto &d : defaults)
        QVERIFY2(descriptionInt(d.key) == d.value, d.key);
    writeIni(app.descriptionFile(), {{"PROFILE/ShowSleep", 0}, {"PROFILE/MinDelay", 25}});
    QCOMPARE(descriptionInt("ShowSleep"), 0);
    QCOMPARE(descriptionInt("MinDelay"), 25);
}

void TestDescription::numbersFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "42" << 42;
    QTest::newRow("negative") << "-7" << -7;
    QTest::newRow("spaces") << " 12 " << 12;
    QTest::newRow("word") << "abc" << 0;
    QTest::newRow("trailing garbage") << "12abc" << 0;
    QTest::newRow("fraction") << "1.5" << 0;
    QTest::newRow("exponent") << "1e3" << 0;
    QTest::newRow("hex") << "0x10" << 0;
    QTest::newRow("list") << "1,2" << 0;
    QTest::newRow("low 32 bits of 2^32+5") << "4294967301" << 5;
    QTest::newRow("2^63 keeps its low bits") << "9223372036854775808" << 0;
    QTest::newRow("beyond 64 bits") << "99999999999999999999" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestDescription::numbersFromText()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    TempAppDir app;
    writeIni(app.descriptionFile(), {{"PROFILE/SleepMax", text}});
    QCOMPARE(descriptionInt("SleepMax"), value);
}

void TestDescription::recordNarrowsToFieldWidth()
{
    TempAppDir app;
    writeIni(app.descriptionFile(), {
        {"PROFILE/dpi", "257"}, {"PROFILE/LedMode", "-1"}, {"PROFILE/DPI_INFO_3_xy", "4294967295"},
        {"PROFILE/pollrate", "junk"}, {"PROFILE/BUTTON_INFO_2_Res2", "511"},
        {"PROFILE/BUTTON_INFO_2_Fun", "-2147483649"}, {"PROFILE/FontSize_3", "300"},
    });
    DeviceDescription d;
    QVERIFY(readDeviceDescription(d));
    QCOMPARE(d.dpi, quint8(1));
    QCOMPARE(d.LedMode, quint8(255));
    QCOMPARE(d.xy[3], -1);
    QCOMPARE(d.pollrate, 0);
    QCOMPARE(d.buttons[2].Res2, quint8(255));
    QCOMPARE(d.buttons[2].Fun, INT_MAX);
    QCOMPARE(d.FontSize[3], quint8(44));
}

void TestDescription::matricesFromCustomFile()
{
    TempAppDir app;
    QVariantMap keys;
    for (int i = 0; i < 16; ++i) {
        keys.insert(QStringLiteral("PROFILE/BUTTON_INFO_%1_Matrix").arg(i), 15 - i);
        keys.insert(QStringLiteral("PROFILE/BUTTON_INFO_%1_Matrix2").arg(i), i * 2);
    }
    keys.insert("PROFILE/BUTTON_INFO_5_Matrix", "300");   // narrowed to a byte
    keys.insert("PROFILE/ButtonCount", 4);
    writeIni(app.descriptionFile(), keys);
    quint8 m[16], m2[16];
    QCOMPARE(readButtonMatrix(m), 0);
    QCOMPARE(readButtonMatrix2(m2), 4);
    for (int i = 0; i < 16; ++i) {
        QCOMPARE(int(m[i]), i == 5 ? 44 : 15 - i);
        QCOMPARE(int(m2[i]), i * 2);
    }
}

void TestDescription::sensorDpiSegments_data()
{
    QTest::addColumn<int>("sensor");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("dpi");
    const struct { int sensor, value, dpi; } rows[] = {
        {3325, 0, 0}, {3325, 50, 5000}, {3325, 51, 5200}, {3325, 75, 10000}, {3325, 76, 10400},
        {33252, 50, 5000}, {33252, 76, 10400},
        {3327, 0, 100}, {3327, 61, 6200}, {3327, 62, 6400}, {3327, 92, 12400}, {3327, 93, 12600},
        {3327, 105, 16200}, {3327, 106, 16400}, {3327, 107, 16800},
        {3360, 120, 12000}, {3360, 121, 12200}, {3311, 120, 12000}, {3311, 121, 12200},
        {33112, 1, 100}, {33112, 121, 12200},
        {3389, 320, 16000}, {3389, 321, 16100}, {3389, 1, 50},
        {3212, 10, 380}, {3212, 21, 800}, {3212, 32, 1200}, {3212, 43, 1600}, {3212, 63, 2400},
        {3212, 62, 2350}, {3212, 64, 2430}, {3212, 94, 4710}, {3212, 95, 4860}, {3212, 111, 7200},
        {3212, 112, 7440},
        {3104, 13, 520}, {3104, 14, 500}, {3104, 15, 600}, {3104, 106, 4240}, {3104, 107, 4320},
        {31042, 14, 500}, {31042, 107, 4320},
        {3335, 160, 16000}, {3335, 161, 16200}, {33352, 161, 16200},
        {3370, 200, 10000}, {3370, 201, 10100},
        {3333, 80, 8000}, {3333, 81, 8200},
        {3399, 0, 50}, {3399, 399, 20000}, {3399, 400, 20100},
        {3395, 7, 400}, {3395, 255, 12800}, {3395, 519, 26000}, {3395, 520, 26100},
        {33952, 519, 26000}, {33952, 520, 26100},
        {0, 50, 0}, {1234, 10, 0}, {3396, 400, 0}, {-3395, 7, 0},
    };
    for (const auto &r : rows)
        QTest::addRow("%d/%d", r.sensor, r.value) << r.sensor << r.value << r.dpi;
}

void TestDescription::sensorDpiSegments()
{
    QFETCH(int, sensor);
    QFETCH(int, value);
    QFETCH(int, dpi);
    QCOMPARE(sensorDpi(value, sensor), dpi);
}

void TestDescription::sensorDpiExtremes()
{
    // Raw values come from files: huge ones must not overflow.
    const int sensors[] = {3325, 3327, 3360, 3389, 3212, 3104, 3335, 3370, 3333, 3399, 3395};
    for (int s : sensors) {
        QCOMPARE(sensorDpi(INT_MAX, s), INT_MAX);
        QVERIFY(sensorDpi(INT_MIN, s) <= 0);
    }
    QCOMPARE(sensorDpi(INT_MAX, 1), 0);
}

void TestDescription::nearValueWindow()
{
    QVERIFY(nearValue(100, 100));
    QVERIFY(nearValue(91, 100));
    QVERIFY(nearValue(109, 100));
    QVERIFY(!nearValue(90, 100));
    QVERIFY(!nearValue(110, 100));
    QVERIFY(!nearValue(INT_MIN, INT_MAX));
    QVERIFY(!nearValue(INT_MAX, INT_MIN));
    QVERIFY(nearValue(INT_MAX, INT_MAX - 9));
}

void TestDescription::deviceKeysOfConfig()
{
    TempBase base;
    // Seeded from the shipped template.
    QCOMPARE(sensorCode(), 3395);
    QCOMPARE(mouseListName(), QStringLiteral("VELKOR"));
    QCOMPARE(ledVariant(), 0);
    writeIni(globalConfigPath(), {{"MouseLEDMode/VELKOR", 3}, {"MouseLEDMode/OTHER", 2}});
    QCOMPARE(ledVariant(), 3);
    writeIni(globalConfigPath(), {{"Config/CurrentProductName", "OTHER"}});
    QCOMPARE(ledVariant(), 2);
    writeIni(globalConfigPath(), {{"Config/CurrentProductName", "NONE"}, {"MouseSenSor/1", "x"}});
    QCOMPARE(ledVariant(), 0);
    QCOMPARE(sensorCode(), 0);

    quint8 *table = buttonMatrix().data();
    QCOMPARE(&buttonMatrix()[0], table);   // one process-wide table
}

QTEST_GUILESS_MAIN(TestDescription)
#include "tst_description.moc"

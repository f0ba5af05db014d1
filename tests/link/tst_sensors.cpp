// The sensor catalogue: every fact the program keys on a sensor code (DPI of
// an index, the register bytes of a stage, the DPI tab's slider range, the
// sniper's range, preset and register byte), for every sensor at the edges of
// its segments. tests/link/data/sensors.txt holds what the program gave when
// each fact still had a function of its own; the catalogue must give the
// same. A new sensor adds its row and its lines there:
// MOUSECFG_WRITE_SENSOR_TABLE=1 writes the file anew from the catalogue.

#include "app/demo/simview.h"
#include "device/buttoncatalogue.h"
#include "device/commands.h"
#include "device/sensors.h"
#include "pages/lighting/lighting.h"

#include <QFile>
#include <QtTest>

namespace {

const int kSensors[] = {3104, 31042, 3212, 3311, 33112, 3325, 33252, 3327, 3333, 3335,
                        33352, 3360, 3370, 3389, 3395, 33952, 3399, 0, 9999};

// Indices at and beside every segment edge of every sensor, and past the ends.
const int kIndices[] = {-1,  0,   1,   2,   13,  14,  15,  16,  17,  26,  27,  31,  32,  33,  49,  50,  51,
                        52,  53,  60,  61,  62,  63,  64,  65,  75,  76,  79,  80,  81,  90,  91,  92,  93,
                        94,  95,  96,  105, 106, 107, 111, 112, 119, 120, 121, 122, 158, 159, 160, 161, 162,
                        180, 181, 200, 201, 202, 240, 241, 260, 261, 290, 291, 319, 320, 321, 399, 400, 401,
                        480, 481, 518, 519, 520, 521, 522, 599, 600, 779, 780, 1000};

QString hex(const std::array<quint8, 4> &b)
{
    return QString::asprintf("%02x%02x%02x%02x", b[0], b[1], b[2], b[3]);
}

QString rangeText(bool known, const SensorRange &r)
{
    return known ? QString::asprintf("%d-%d dpi %d-%d%s", r.minIndex, r.maxIndex, r.minLabel, r.maxLabel,
                                     r.linkShown ? " link" : "")
                 : QStringLiteral("none");
}

// Everything the program says of every sensor, one line per fact.
QStringList sensorFacts()
{
    QStringList lines;
    for (const int sensor : kSensors) {
        for (const bool wide : {false, true}) {
            for (const char *product : {"VELKOR", "ZUNDRA"}) {
                SensorRange r;
                const bool known = sensorRange(sensor, wide, QString::fromLatin1(product), r);
                lines << QStringLiteral("%1 range wide=%2 %3: %4")
                             .arg(sensor)
                             .arg(int(wide))
                             .arg(QLatin1String(product), rangeText(known, r));
            }
        }
        int lo = -1, hi = -1;
        const bool sniper = sniperRange(sensor, &lo, &hi);
        lines << QStringLiteral("%1 sniper range: %2").arg(sensor).arg(sniper ? QString::asprintf("%d-%d", lo, hi)
                                                                             : QStringLiteral("none"));
        for (int step = 0; step <= 40; ++step) {
            lines << QStringLiteral("%1 sniper step %2: preset %3 bytes %4")
                         .arg(sensor)
                         .arg(step)
                         .arg(sniperPresetStep(quint8(step), sensor))
                         .arg(hex(sniperBytes(quint8(step), sensor)));
        }
        for (const int v : kIndices) {
            const quint32 u = quint32(v);
            lines << QStringLiteral("%1 index %2: dpi %3 stage %4 %5 %6 mode8 %7")
                         .arg(sensor)
                         .arg(v)
                         .arg(sensorDpi(v, sensor))
                         .arg(hex(encodeDpiStage(u, u, sensor, 0)), hex(encodeDpiStage(u, u + 1, sensor, 0)),
                              hex(encodeDpiStage(u + 1, u, sensor, 0)), hex(encodeDpiStage(u, u, sensor, 8)));
        }
    }
    return lines;
}

// Everything the program says of every lighting effect: its name on the page,
// its place in the menu, its controls, the mode the general block names, the
// name the simulator gives that mode, and the lighting block of a profile
// whose effects all differ.
QStringList effectFacts()
{
    QStringList lines;
    int count = 0;
    const int *menu = lighting::menuEffects(&count);
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("menu %1: effect %2").arg(i).arg(menu[i]);
    for (int e = -1; e <= EFFECT_COUNT; ++e) {
        lines << QStringLiteral("effect %1: \"%2\" brightness %3 speed %4 colour %5 upper %6 mode %7 (%8)")
                     .arg(e)
                     .arg(QLatin1String(lighting::effectText(e)))
                     .arg(int(lighting::hasBrightness(e)))
                     .arg(int(lighting::hasSpeed(e)))
                     .arg(int(lighting::hasColour(e)))
                     .arg(int(lighting::speedInUpperRow(e)))
                     .arg(lightingModeCode(e))
                     .arg(simview::lightingModeName(lightingModeCode(e)));
    }
    for (int code = 0; code <= 11; ++code)
        lines << QStringLiteral("mode %1: %2").arg(code).arg(simview::lightingModeName(code));
    ProfileData p;
    for (int e = 0; e < EFFECT_COUNT; ++e) {
        p.effects[e].colour = QColor(10 + e, 40 + e, 70 + e);
        p.effects[e].bright = 100 + e;
        p.effects[e].breath = 200 + e;
    }
    const QByteArray block = lightingBlockBytes(p);
    for (int r = 0; r < 10; ++r)
        lines << QStringLiteral("record %1: %2").arg(r).arg(QString::fromLatin1(block.mid(8 * r, 8).toHex(' ')));
    return lines;
}

QString tablePath(const char *name)
{
    return QStringLiteral(MOUSECFG_SOURCE_DIR "/tests/link/data/") + QLatin1String(name);
}

// What `facts` gives must equal the lines of the recorded file.
void compareWithRecord(const QStringList &facts, const QString &path)
{
    if (qEnvironmentVariableIntValue("MOUSECFG_WRITE_SENSOR_TABLE") == 1) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(facts.join(QLatin1Char('\n')).toUtf8() + '\n');
        QSKIP("table written");
    }
    QFile in(path);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(path));
    const QStringList recorded = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(facts.size(), recorded.size());
    for (int i = 0; i < facts.size(); ++i)
        QCOMPARE(facts[i], recorded[i]);
}

} // namespace

class TestSensors : public QObject {
    Q_OBJECT

private slots:
    void everySensorGivesWhatItGaveBefore() { compareWithRecord(sensorFacts(), tablePath("sensors.txt")); }
    void everyEffectGivesWhatItGaveBefore() { compareWithRecord(effectFacts(), tablePath("effects.txt")); }
};

QTEST_GUILESS_MAIN(TestSensors)
#include "tst_sensors.moc"

// A full download (every group, two macros) into the simulated mouse with
// real pauses: prints the wall time, the protocol floor (10 ms after every
// frame plus 50 ms per macro read) and their ratio. Prints figures only.
// With a motion rate, the mouse moves meanwhile and its motion reports come
// through the control handle between the replies, as on a Linux hidraw node.
//
//   bench_download [runs] [motion Hz]   (default 5 runs, mouse still)

#include "device/download.h"
#include "device/devicetable.h"
#include "profile/description.h"
#include "profile/macrostore.h"
#include "profile/paths.h"
#include "sim/simmouse.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void writeDescription()
{
    QSettings d(descriptionPath(), QSettings::IniFormat);
    d.setValue(QStringLiteral("PROFILE/ProductName"), QStringLiteral("VELKOR"));
    d.setValue(QStringLiteral("PROFILE/ButtonCount"), 6);
    d.setValue(QStringLiteral("PROFILE/DPICount"), 6 ^ 5);
    for (int i = 0; i < 16; ++i)
        d.setValue(QStringLiteral("PROFILE/BUTTON_INFO_%1_Matrix").arg(i), i < 6 ? i : 255);
}

ProfileSet benchSet()
{
    ProfileSet set;
    for (int s = 0; s < SLOT_COUNT; ++s) {
        ProfileData &p = set.profiles[s];
        p.pollrate = 1;
        p.scrollspeed = 3;
        p.LedMode = quint8(s);
        for (int i = 0; i < STAGE_COUNT; ++i)
            p.stages[i] = {1, 1, 0, quint32(8 * (i + 1)), quint32(8 * (i + 1))};
        for (int e = 0; e < EFFECT_COUNT; ++e)
            p.effects[e] = {QColor(40 * (e % 6), 20, 200), 0, 0, 0, 3, 2};
        for (int b = 0; b < 6; ++b)
            p.buttons[b].Fun = b + 1;
    }
    for (int b : {3, 4}) {
        ButtonEntry &e = set.profiles[0].buttons[b];
        e.Fun = 200;
        e.LoopNumber = 1;
        e.macroname = QStringLiteral("bench%1").arg(b);
    }
    return set;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = std::max(1, argc > 1 ? atoi(argv[1]) : 5);
    const int motionHz = std::max(0, argc > 2 ? atoi(argv[2]) : 0);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    QTemporaryDir dir;
    setApplicationDir(dir.path());
    setConfigsBase(dir.path() + QStringLiteral("/Configs"));
    writeDescription();
    QVector<KeyInfo> events;
    for (int i = 0; i < 40; ++i)
        events.append({quint8(0x04 + i % 20), 5, quint8(i % 2 ? 0 : 0x80)});
    saveMacro(QStringLiteral("bench3"), MacroSettings(), events);
    saveMacro(QStringLiteral("bench4"), MacroSettings(), events.mid(0, 9));

    sim::plug(sim::Side::Receiver);
    loadDeviceTable();
    enumerateDevices();
    openDevice("VELKOR");
    readButtonMatrix(buttonMatrix().data());
    sim::setMotionOnControl(true);
    sim::setMotion(motionHz);

    const ProfileSet set = benchSet();
    const int macroReads = 2;
    std::printf("full download (mask 15, %d macros) into the simulated mouse, real pauses, motion %d Hz\n",
                macroReads, motionHz);
    std::printf("%4s %7s %10s %10s %7s\n", "run", "frames", "wall ms", "floor ms", "ratio");
    double worst = 0, total = 0;
    for (int run = 1; run <= runs; ++run) {
        sim::resetCounters();
        QElapsedTimer timer;
        timer.start();
        const quint8 result = downloadProfileSet(set, CHANGE_ALL);
        const double wall = double(timer.nsecsElapsed()) / 1e6;
        const int frames = sim::writeCount();
        const double floor = frames * 10.0 + macroReads * 50.0;
        if (result != 0) {
            std::printf("%4d download failed with %d\n", run, result);
            return 1;
        }
        std::printf("%4d %7d %10.1f %10.1f %7.3f\n", run, frames, wall, floor, wall / floor);
        worst = std::max(worst, wall / floor);
        total += wall / floor;
    }
    std::printf("mean ratio %.3f, worst %.3f\n", total / runs, worst);
    closeDevice();
    return 0;
}

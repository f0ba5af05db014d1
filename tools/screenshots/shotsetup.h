#pragma once
// What every picture-taking program sets up once its QApplication exists: the
// folder the pictures go to (the first argument, or a default), a Configs
// folder of its own, and the simulated mouse on its receiver with a battery
// reading, message boxes answered at once.

#include "app/services.h"
#include "profile/paths.h"
#include "sim/simmouse.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

struct ShotSetup {
    QTemporaryDir base;
    QString out;

    ShotSetup(int argc, char **argv, const QString &defaultOut)
        : out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : defaultOut)
    {
        QDir().mkpath(out);
        setConfigsBase(base.path());
        sim::installNotifier();
        sim::BatteryState battery;
        battery.low = 0xF2;
        battery.high = 0x03;
        sim::setBattery(battery);
        sim::plug(sim::Side::Receiver);
        appServices().messageHook = [](int, const QString &) { return 1; };
    }
};

#pragma once
// Shared set-up of the device-link suites: the program's files in a temporary
// folder (Config.ini seeded from the template: product "VELKOR"), the
// simulated mouse in its start state, every pause on the virtual clock.

#include "device/devicetable.h"
#include "platform/clock.h"
#include "profile/paths.h"
#include "sim/simmouse.h"

#include <QTemporaryDir>

class LinkFixture {
public:
    LinkFixture()
    {
        setApplicationDir(m_dir.path());
        setConfigsBase(m_dir.path() + QStringLiteral("/Configs"));
    }
    ~LinkFixture()
    {
        closeDevice();
        setConfigsBase(QString());
        setApplicationDir(QString());
    }

    // Call from init(): no handle open, mouse unplugged, clock at 0.
    static void fresh()
    {
        closeDevice();
        sim::reset();
        platform::VirtualClock::reset();
    }

    // Plugs the given sides, loads, enumerates and opens the product.
    static void connect(bool receiver, bool cable)
    {
        if (receiver)
            sim::plug(sim::Side::Receiver);
        if (cable)
            sim::plug(sim::Side::Cable);
        loadDeviceTable();
        enumerateDevices();
        openDevice("VELKOR");
        sim::resetCounters();
        platform::VirtualClock::reset();
    }

    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    platform::VirtualClock m_clock;
};

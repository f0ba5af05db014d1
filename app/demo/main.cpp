// mousecfg-demo: the same program against the simulated mouse, with a panel
// that plugs, unplugs and drives the simulated mouse.

#include "app/entry.h"
#include "app/mousecfgwidget.h"
#include "sim/simmouse.h"

int main(int argc, char **argv)
{
    EntryHooks hooks;
    hooks.beforeWindow = [] {
        sim::installNotifier();
        sim::BatteryState battery;
        battery.low = 0xF2;   // about 4.1 V
        battery.high = 0x03;
        sim::setBattery(battery);
        sim::plug(sim::Side::Receiver);
    };
    return runMousecfg(argc, argv, hooks);
}

// mousecfgctl-demo: the command line against the demo's simulated mouse, which
// it shares with mousecfg-demo through the file the mouse is kept in.

#include "app/demo/keptmouse.h"
#include "ctl/ctl.h"
#include "sim/simmouse.h"

#include <memory>

int main(int argc, char **argv)
{
    std::unique_ptr<KeptMouse> keeper;
    ctl::Hooks hooks;
    hooks.busName = QStringLiteral("org.example.mousecfg.Demo");
    hooks.beforeDevice = [&keeper] {
        setDemoBattery();
        loadKeptMouse();
        sim::plug(sim::Side::Receiver);
        keeper.reset(new KeptMouse);
    };
    hooks.afterDevice = [&keeper] {
        if (keeper)
            keeper->saveIfChanged();
        keeper.reset();
    };
    return ctl::main(argc, argv, hooks);
}

// mousecfg-demo: the same program against the simulated mouse, with a panel
// that plugs, unplugs and drives the simulated mouse and shows what it holds.

#include "app/demo/keptmouse.h"
#include "app/demo/simpanel.h"
#include "app/entry.h"
#include "app/mousecfgwidget.h"
#include "sim/simmouse.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    EntryHooks hooks;
    // A name of its own on the bus: mousecfgctl-demo finds it there, and a
    // real mousecfg beside it is not mistaken for it.
    hooks.busName = QStringLiteral("org.example.mousecfg.Demo");
    hooks.beforeWindow = [] {
        sim::installNotifier();
        // Write status 1: the mouse keeps its settings, so an Apply writes
        // only what changed (the panel's "Asks for a full write" turns the
        // mouse into one that lost them). What the mouse held when the demo
        // (or mousecfgctl-demo) last ran comes back from the Configs folder.
        setDemoBattery();
        loadKeptMouse();
        sim::plug(sim::Side::Receiver);
        new KeptMouse(qApp);
    };
    hooks.afterWindow = [](MousecfgWidget &window) {
        // The main window alone, as the start-up benchmark times it.
        if (qEnvironmentVariable("MOUSECFG_NO_PANEL") == QLatin1String("1"))
            return;
        // A window of its own beside the main window, gone before the
        // application object is.
        auto *panel = new SimMousePanel;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [panel] { delete panel; });
        panel->placeBeside(window);
        panel->show();
    };
    return runMousecfg(argc, argv, hooks);
}

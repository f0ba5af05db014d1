// The demo program as it starts for a user (simulated receiver plugged in),
// ending at its main window's first paint.

#include "firstpaint.h"

#include "app/entry.h"
#include "app/mousecfgwidget.h"
#include "profile/paths.h"
#include "sim/simmouse.h"

#include <QTemporaryDir>

int main(int argc, char **argv)
{
    // The driver hands every run the same Configs folder, so that all runs but
    // the first start as a returning user's program does.
    QTemporaryDir own;
    const QString configs = qEnvironmentVariableIsSet("MOUSECFG_BENCH_CONFIGS")
        ? qEnvironmentVariable("MOUSECFG_BENCH_CONFIGS") : own.path();
    FirstPaintProbe probe;
    EntryHooks hooks;
    hooks.beforeWindow = [&] {
        setConfigsBase(configs);
        sim::installNotifier();
        sim::plug(sim::Side::Receiver);
    };
    hooks.afterWindow = [&](MousecfgWidget &window) { window.installEventFilter(&probe); };
    return runMousecfg(argc, argv, hooks);
}

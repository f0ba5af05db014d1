#pragma once
// The program's entry, shared by the real program and the demo: the
// application object, the single-instance guard, the main window and the
// event loop. Returns the process exit code (1 when another copy runs).

#include <functional>

class MousecfgWidget;

struct EntryHooks {
    // Before the main window is built (the demo sets up its simulated mouse).
    std::function<void()> beforeWindow;
    // Once the main window exists (the demo opens its mouse panel).
    std::function<void(MousecfgWidget &)> afterWindow;
};

int runMousecfg(int argc, char **argv, const EntryHooks &hooks = EntryHooks());

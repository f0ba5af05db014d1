#pragma once
// The program's entry, shared by the real program and the demo: the
// application object, the single-instance guard, the main window and the
// event loop. Returns the process exit code: 0 also when a copy already ran
// and was brought up instead; 1 when none could be started or reached.
//
// Options: --hidden (started at login: the window stays hidden until asked
// for), --quit (asks the running copy to end), --screenshot FILE (draws the
// window into FILE once started, then ends).

#include <QString>
#include <functional>

class MousecfgWidget;

struct EntryHooks {
    // Before the main window is built (the demo sets up its simulated mouse).
    std::function<void()> beforeWindow;
    // Once the main window exists (the demo opens its mouse panel).
    std::function<void(MousecfgWidget &)> afterWindow;
    // The name the window owns on the session bus; empty: the program's
    // (org.example.mousecfg).
    QString busName;
};

int runMousecfg(int argc, char **argv, const EntryHooks &hooks = EntryHooks());

#pragma once
// mousecfgctl: the mouse from the command line, with the window's profile
// store and device link. One command per run; see mousecfgctl.1.

#include <QStringList>
#include <QTextStream>
#include <functional>

namespace ctl {

enum ExitStatus {
    EXIT_OK = 0,
    EXIT_USAGE = 1,          // a usage error or a refused file
    EXIT_WINDOW_RUNNING = 2, // mousecfg holds the mouse and does not answer on the bus
    EXIT_NO_MOUSE = 3,
    EXIT_NOT_TAKEN = 4,      // the mouse did not take a write
    EXIT_NOT_SAVED = 5,      // a file could not be written (nothing sent to the mouse)
};

struct Hooks {
    // Before the device link is first used (the demo sets up its simulated mouse).
    std::function<void()> beforeDevice;
    // When the command is done with the mouse, whatever the outcome (the
    // demo keeps what its simulated mouse holds).
    std::function<void()> afterDevice;
    // The running window's name on the session bus when its lock does not
    // say (empty: org.example.mousecfg).
    QString busName;
};

// Runs the command `args` (without the program name); returns the exit status.
// Results go to `out`, messages to `err`.
int run(const QString &program, const QStringList &args, QTextStream &out, QTextStream &err,
        const Hooks &hooks = Hooks());

// The program's main: application object, then run() on stdout and stderr.
int main(int argc, char **argv, const Hooks &hooks = Hooks());

// DPI indices the sensor offers (the DPI page's slider range); false for an
// unknown sensor.
bool dpiIndexRange(int sensor, int *min, int *max);

} // namespace ctl

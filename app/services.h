#pragma once
// What the main window asks of the world outside itself: starting programs,
// ending the process, choosing files, showing message boxes, the display
// hand-off and the screen's DPI. The program uses the real ones; tests
// replace them to see what a user would have been shown or asked.

#include <QString>
#include <functional>

class QWindow;
namespace platform {
class OsdChannel;
}

struct AppServices {
    // Starts a program detached, without arguments; false when it cannot be started.
    std::function<bool(const QString &program)> startDetached;
    // Whether this system can run a program file; unset: platform::canRunProgram.
    std::function<bool(const QString &program)> canRun;
    // Ends the process at once with the code (the firmware hand-off).
    std::function<void(int code)> exitProcess;
    // A file chosen by the user, or empty: save dialog when `save` is true.
    std::function<QString(const QString &title, const QString &filter, bool save)> chooseFile;
    // When set, called instead of showing a ZelMessageBox: the box type and the
    // translated text; returns what exec() would have returned.
    std::function<int(int type, const QString &text)> messageHook;
    // Logical DPI of the screen holding the window's centre; unset: asked of Qt.
    std::function<double()> logicalDpi;
    // Whether the desktop shows tray icons; unset: asked of Qt.
    std::function<bool()> trayAvailable;
    // The display hand-off; unset: the local socket named after the display's
    // title, or desktop notifications for a Wayland client.
    platform::OsdChannel *osd = nullptr;
    // Hands a window drag to the window system (QWindow::startSystemMove);
    // false when it cannot take it, and the window moves itself. Unset: asked of Qt.
    std::function<bool(QWindow *window)> systemMove;
};

AppServices &appServices();

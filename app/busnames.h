#pragma once
// The running window on the session bus, as the window serves it and the
// command line calls it (the interface is shipped as
// org.example.mousecfg.Mouse.xml; the README has examples).
//
//   name       org.example.mousecfg (mousecfg-demo: org.example.mousecfg.Demo)
//   path       /org/example/mousecfg (the demo: /org/example/mousecfg/Demo)
//   interfaces org.freedesktop.Application  Activate, Open, ActivateAction("quit")
//              org.example.mousecfg.Mouse   the mouse's state as properties
//                                           (PropertiesChanged on every change)
//                                           and what the command line does
//
// Errors of the mouse interface carry the window's own texts.

#include <QString>

namespace mousebus {

inline QString applicationName() { return QStringLiteral("org.example.mousecfg"); }
inline QString demoName() { return QStringLiteral("org.example.mousecfg.Demo"); }
inline QString mouseInterface() { return QStringLiteral("org.example.mousecfg.Mouse"); }
inline QString applicationInterface() { return QStringLiteral("org.freedesktop.Application"); }

// A refusal of the window's checks ("Profile Exist!", "The file is not match
// current mouse!" ...): nothing was changed.
inline QString errorRefused() { return QStringLiteral("org.example.mousecfg.Error.Refused"); }
// No supported mouse is connected: an edit is saved and written by the next
// apply; nothing else was done.
inline QString errorNoMouse() { return QStringLiteral("org.example.mousecfg.Error.NoMouse"); }
// "Mouse is sleeping or not connected.": saved, not written.
inline QString errorMouseOff() { return QStringLiteral("org.example.mousecfg.Error.MouseOff"); }
// "Send data failed, please try again.": the next write sends everything.
inline QString errorNotTaken() { return QStringLiteral("org.example.mousecfg.Error.NotTaken"); }
// The settings could not be saved (a full disk): nothing was sent either.
inline QString errorNotSaved() { return QStringLiteral("org.example.mousecfg.Error.NotSaved"); }

// Groups of a write, in the "written" answers: 1 general settings, 2 DPI,
// 4 buttons, 8 lighting (0: nothing had to be sent).

} // namespace mousebus

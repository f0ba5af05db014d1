#pragma once
// The pointer speed on the desktops that own it: where the compositor drives
// the mice (every Wayland session, and GNOME everywhere), the X server's
// devices are only stand-ins, so the speed goes to the desktop's own setting.
// Both use the libinput mapping of platform/pointerspeed.h (1..20 onto -1..1,
// 10 -> 0), and keep the last speed in memory for a read the desktop cannot
// answer.

#include "platform/pointerspeed.h"

#include <QByteArray>
#include <QString>

namespace platform {

// GNOME keeps the mouse speed in its settings, org.gnome.desktop.peripherals.mouse
// "speed" (-1..1), and its compositor applies it to every mouse, on Wayland and
// on X11. It is read and written with the gsettings tool, so the session's
// own settings back end is used (dconf; the keyfile under GSETTINGS_BACKEND=keyfile).
class GnomePointerSpeed : public PointerSpeed {
public:
    explicit GnomePointerSpeed(QString program = QStringLiteral("gsettings"));
    int read() override;
    // 1 when gsettings cannot be run or refuses (no such schema, ...).
    int apply(int speed) override;

private:
    QString m_program;
    int m_speed = POINTER_SPEED_DEFAULT;
};

// KDE Plasma on Wayland: KWin offers each input device on the session bus.
//   org.kde.KWin /org/kde/KWin/InputDevice   org.kde.KWin.InputDeviceManager
//       devicesSysNames (as)                  "event3", ...
//   org.kde.KWin /org/kde/KWin/InputDevice/<sysName>   org.kde.KWin.InputDevice
//       pointer (b), pointerAcceleration (d, -1..1), name (s), vendor (u), product (u)
// The acceleration is set on every pointer device and kept in Plasma's input
// settings, kcminputrc, from which KWin configures a device when it appears
// (at the next login too). Plasma 5.27 keeps one group per device, named after
// its USB ids in decimal and its name:
//   [Libinput][1133][49271][Logitech USB Optical Mouse]
//   PointerAcceleration=0.500
// KWin writes the same entry itself when it takes the property; writing it
// here as well keeps the speed for a KWin that does not.
class PlasmaPointerSpeed : public PointerSpeed {
public:
    // `connectionName` names an open QDBusConnection (tests: a private bus);
    // empty: the session bus. `settingsFile` empty: kcminputrc in the user's
    // configuration folder ($XDG_CONFIG_HOME, else ~/.config).
    explicit PlasmaPointerSpeed(QString connectionName = QString(), QString settingsFile = QString());
    // The first pointer device's acceleration.
    int read() override;
    // 1 when KWin cannot be reached, 2 when a device refused the property,
    // 3 when kcminputrc could not be written.
    int apply(int speed) override;

    // How many pointer devices the last read or apply found.
    int pointerDevices() const { return m_pointerDevices; }
    QString settingsFile() const;

private:
    QString m_connectionName;
    QString m_settingsFile;
    int m_speed = POINTER_SPEED_DEFAULT;
    int m_pointerDevices = 0;
};

// The header line of a device's group in kcminputrc. The name is written as
// KConfig writes group names: '[' and ']' and control characters as \xNN, a
// backslash doubled.
QByteArray kcminputrcGroup(quint32 vendor, quint32 product, const QString &name);

// An INI text with `key`=`value` in the group whose header line is `header`:
// the key's line is replaced, or added after the group's last entry; a missing
// group is added at the end. Every other line, group and comment stays as it
// was, so a file other programs write keeps all of theirs.
QByteArray setIniEntry(const QByteArray &text, const QByteArray &header, const QByteArray &key,
                       const QByteArray &value);

} // namespace platform

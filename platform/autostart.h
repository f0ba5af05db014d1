#pragma once
// Starting the program at login: an entry in the user's XDG autostart folder
// ($XDG_CONFIG_HOME/autostart, else ~/.config/autostart) that starts it
// hidden. Off until the user turns it on.

#include <QString>

namespace platform {

// <config>/autostart/<appId>.desktop
QString autostartEntryPath(const QString &appId);
// True when the entry exists and the desktop would run it.
bool autostartEnabled(const QString &appId);
// Writes the entry, which runs `program` with `arguments`, or removes it.
// False when the file could not be written or removed.
bool setAutostart(const QString &appId, bool enabled, const QString &program, const QStringList &arguments);
// One argument quoted as a desktop entry's Exec line wants it.
QString quotedExecArgument(const QString &argument);

} // namespace platform

#pragma once
// The user's session bus, also where the environment does not name it.

#include <QDBusConnection>
#include <QString>

namespace platform {

// The session bus of $DBUS_SESSION_BUS_ADDRESS; without one (cron, a service,
// a terminal outside the desktop), the user bus of systemd at
// $XDG_RUNTIME_DIR/bus or /run/user/<uid>/bus when it is there. Check
// isConnected() on the result.
QDBusConnection userBus();
// The address userBus() connected to (empty when none).
QString userBusAddress();

// A connection to the bus at `address` (the one a running window recorded);
// the user bus itself when the address is empty or the same.
QDBusConnection busAt(const QString &address);

// The object path that goes with a well-known name: "org.example.mousecfg"
// is served at "/org/example/mousecfg".
QString objectPathFor(const QString &busName);

// True when the name has an owner on the bus.
bool nameHasOwner(const QDBusConnection &bus, const QString &busName);

} // namespace platform

#include "platform/sessionbus.h"

#include "platform/logging.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QtDebug>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

struct BusState {
    QMutex mutex;
    bool chosen = false;
    QString address;      // what the user bus is
    bool fallback = false; // connected by address, not through the environment
};

BusState &busState()
{
    static BusState s;
    return s;
}

// A socket of this user's at `path`.
bool ownSocket(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::getuid();
}

const char kFallbackConnection[] = "mousecfg-user-bus";

} // namespace

QDBusConnection userBus()
{
    BusState &s = busState();
    QMutexLocker lock(&s.mutex);
    if (!s.chosen) {
        s.chosen = true;
        if (QDBusConnection::sessionBus().isConnected()) {
            s.address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
        } else {
            QStringList candidates;
            if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
                candidates << qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus");
            candidates << QStringLiteral("/run/user/%1/bus").arg(::getuid());
            for (const QString &path : qAsConst(candidates)) {
                if (!ownSocket(path))
                    continue;
                const QString address = QStringLiteral("unix:path=") + path;
                if (QDBusConnection::connectToBus(address, QLatin1String(kFallbackConnection)).isConnected()) {
                    s.address = address;
                    s.fallback = true;
                    qCDebug(lcPlatform, "Session bus at %s", qPrintable(address));
                    break;
                }
                QDBusConnection::disconnectFromBus(QLatin1String(kFallbackConnection));
            }
        }
    }
    return s.fallback ? QDBusConnection(QLatin1String(kFallbackConnection)) : QDBusConnection::sessionBus();
}

QString userBusAddress()
{
    const QDBusConnection bus = userBus();
    BusState &s = busState();
    QMutexLocker lock(&s.mutex);
    return bus.isConnected() ? s.address : QString();
}

QDBusConnection busAt(const QString &address)
{
    if (address.isEmpty() || address == userBusAddress())
        return userBus();
    const QString name = QStringLiteral("mousecfg-bus-") + address;
    QDBusConnection bus(name);
    if (bus.isConnected())
        return bus;
    return QDBusConnection::connectToBus(address, name);
}

QString objectPathFor(const QString &busName)
{
    QString path = QStringLiteral("/") + busName;
    path.replace(QLatin1Char('.'), QLatin1Char('/'));
    path.replace(QLatin1Char('-'), QLatin1Char('_'));
    return path;
}

bool nameHasOwner(const QDBusConnection &bus, const QString &busName)
{
    if (!bus.isConnected() || busName.isEmpty())
        return false;
    const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(busName);
    return reply.isValid() && reply.value();
}

} // namespace platform

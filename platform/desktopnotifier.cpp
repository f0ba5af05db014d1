#include "platform/desktopnotifier.h"

#include "platform/logging.h"
#include "platform/sessionbus.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QtDebug>

namespace platform {

DesktopNotifier::DesktopNotifier(QObject *parent)
    : QObject(parent), m_bus(QString())
{
}

DesktopNotifier::DesktopNotifier(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

bool DesktopNotifier::notify(const Notification &n)
{
    const QDBusConnection bus = m_bus.isConnected() ? m_bus : userBus();
    if (!bus.isConnected()) {
        qCDebug(lcPlatform, "No session bus for the notification \"%s\"", qPrintable(n.summary));
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints = n.hints;
    // Lets the server find the program's launcher, name and icon.
    if (!hints.contains(QStringLiteral("desktop-entry")))
        hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.example.mousecfg"));
    const QString program = QCoreApplication::applicationName();
    call << (program.isEmpty() ? QStringLiteral("mousecfg") : program)   // app_name
         << quint32(n.replacePrevious ? m_lastId : 0)                    // replaces_id
         << n.icon                                                       // app_icon
         << n.summary << n.body << QStringList()                         // summary, body, actions
         << hints << qint32(n.timeoutMs);                                // hints, expire_timeout
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<quint32> reply = *finished;
        if (reply.isError()) {
            qCDebug(lcPlatform, "Notify failed: %s", qPrintable(reply.error().message()));
            emit answered(0);
            return;
        }
        m_lastId = reply.value();
        emit answered(m_lastId);
    });
    return true;
}

} // namespace platform

#include "platform/notificationosd.h"

#include "platform/logging.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QVariantMap>
#include <QtDebug>

namespace platform {

bool isWaylandClient()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance())
           && QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

NotificationOsdChannel::NotificationOsdChannel(QString connectionName, QObject *parent)
    : QObject(parent), m_connectionName(std::move(connectionName))
{
}

qint32 NotificationOsdChannel::send(const QByteArray &payload)
{
    OsdMessage message;
    if (!decodeOsdMessage(payload, message))
        return 0;
    const QDBusConnection bus =
        m_connectionName.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(m_connectionName);
    if (!bus.isConnected()) {
        qCDebug(lcOsd, "No session bus for the notification \"%s\"", qPrintable(message.text));
        return 0;
    }
    if (m_waitingForId) {
        // Shown as soon as the previous one's id is known, in its place.
        m_next = message;
        m_hasNext = true;
        return 1;
    }
    notify(message);
    return 1;
}

void NotificationOsdChannel::notify(const OsdMessage &message)
{
    QDBusConnection bus =
        m_connectionName.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(m_connectionName);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("transient"), true);
    const QString program = QCoreApplication::applicationName();
    call << (program.isEmpty() ? QStringLiteral("mousecfg") : program)   // app_name
         << m_id                                                         // replaces_id
         << QStringLiteral("mousecfg")                                   // app_icon: the installed icon
         << message.text                                                 // summary
         << QString()                                                    // body
         << QStringList()                                                // actions
         << hints                                                        // hints
         << qint32(message.duration);                                    // expire_timeout, ms
    m_waitingForId = true;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<quint32> reply = *finished;
        m_waitingForId = false;
        if (reply.isError()) {
            qCDebug(lcOsd, "Notify failed: %s", qPrintable(reply.error().message()));
        } else {
            m_id = reply.value();
            qCDebug(lcOsd, "Notification %u shown", m_id);
            emit shown(m_id);
        }
        if (m_hasNext) {
            m_hasNext = false;
            notify(m_next);
        }
    });
}

} // namespace platform

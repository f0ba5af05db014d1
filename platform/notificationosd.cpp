#include "platform/notificationosd.h"

#include "platform/logging.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QGuiApplication>
#include <QtDebug>

namespace platform {

bool isWaylandClient()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance())
           && QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

NotificationOsdChannel::NotificationOsdChannel(QString connectionName, QObject *parent)
    : QObject(parent), m_notifier(QDBusConnection(connectionName), this)
{
    connect(&m_notifier, &DesktopNotifier::answered, this, [this](quint32 id) {
        m_waitingForId = false;
        if (id != 0) {
            qCDebug(lcOsd, "Notification %u shown", id);
            emit shown(id);
        }
        if (m_hasNext) {
            m_hasNext = false;
            notify(m_next);
        }
    });
}

qint32 NotificationOsdChannel::send(const QByteArray &payload)
{
    OsdMessage message;
    if (!decodeOsdMessage(payload, message))
        return 0;
    if (m_waitingForId) {
        // Shown as soon as the previous one's id is known, in its place.
        m_next = message;
        m_hasNext = true;
        return 1;
    }
    return notify(message) ? 1 : 0;
}

bool NotificationOsdChannel::notify(const OsdMessage &message)
{
    DesktopNotifier::Notification n;
    n.summary = message.text;
    n.hints.insert(QStringLiteral("transient"), true);
    n.timeoutMs = message.duration;
    n.replacePrevious = true;
    m_waitingForId = m_notifier.notify(n);
    if (!m_waitingForId)
        qCDebug(lcOsd, "No session bus for the notification \"%s\"", qPrintable(message.text));
    return m_waitingForId;
}

} // namespace platform

#include "ctl/windowlink.h"

#include "app/busnames.h"
#include "platform/sessionbus.h"

#include <QDBusConnectionInterface>
#include <QDBusVariant>
#include <QEventLoop>

namespace ctl {

namespace {
// A write waits behind the window's own writes and dialogs.
const int kCallTimeoutMs = 120000;
}

WindowLink::WindowLink(const QDBusConnection &bus, const QString &busName, qint64 pid)
    : m_bus(bus), m_name(busName), m_path(platform::objectPathFor(busName)), m_pid(pid)
{
}

bool WindowLink::properties(QVariantMap *out, QString *error)
{
    if (!m_bus.isConnected()) {
        if (error)
            *error = QStringLiteral("no session bus");
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(m_name, m_path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("GetAll"));
    get << mousebus::mouseInterface();
    const QDBusMessage reply = m_bus.call(get, QDBus::Block, 10000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        if (error)
            *error = reply.errorMessage();
        return false;
    }
    *out = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    return true;
}

QDBusMessage WindowLink::call(const QString &method, const QVariantList &args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(m_name, m_path, mousebus::mouseInterface(), method);
    message.setArguments(args);
    return m_bus.call(message, QDBus::Block, kCallTimeoutMs);
}

void WindowLink::watch(const std::function<void()> &changed)
{
    m_changed = changed;
    m_bus.connect(m_name, m_path, QStringLiteral("org.freedesktop.DBus.Properties"),
                  QStringLiteral("PropertiesChanged"), this, SLOT(onChanged(QString, QVariantMap, QStringList)));
    m_bus.connect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                  QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"), this,
                  SLOT(onOwnerChanged(QString, QString, QString)));
    // Gone already (between the last call and the subscription).
    if (!platform::nameHasOwner(m_bus, m_name))
        return;
    QEventLoop loop;
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
    m_bus.disconnect(m_name, m_path, QStringLiteral("org.freedesktop.DBus.Properties"),
                     QStringLiteral("PropertiesChanged"), this, SLOT(onChanged(QString, QVariantMap, QStringList)));
    m_bus.disconnect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                     QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"), this,
                     SLOT(onOwnerChanged(QString, QString, QString)));
}

void WindowLink::onChanged(const QString &interface, const QVariantMap &, const QStringList &)
{
    if (interface == mousebus::mouseInterface() && m_changed)
        m_changed();
}

void WindowLink::onOwnerChanged(const QString &name, const QString &, const QString &newOwner)
{
    if (name == m_name && newOwner.isEmpty() && m_loop)
        m_loop->quit();
}

} // namespace ctl

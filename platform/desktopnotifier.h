#pragma once
// Desktop notifications: org.freedesktop.Notifications.Notify on the session
// bus, with the program's name and icon. Nothing waits for the server: the
// call goes out and its answer (the notification's id) comes back through
// the event loop; a later notification of the same kind replaces the shown
// one when the caller asks for that.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace platform {

class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    // `bus`: where the notification server is (tests: a private bus);
    // unconnected: the user's session bus.
    explicit DesktopNotifier(QObject *parent = nullptr);
    DesktopNotifier(const QDBusConnection &bus, QObject *parent);

    struct Notification {
        QString summary;
        QString body;
        QString icon = QStringLiteral("mousecfg");   // an icon name of the theme, or a file URL
        QVariantMap hints;
        int timeoutMs = -1;   // -1: as the server likes
        bool replacePrevious = false;   // in place of the last one this notifier showed
    };

    // False when there is no bus to send it on.
    bool notify(const Notification &notification);
    quint32 lastId() const { return m_lastId; }

signals:
    // The server answered: the notification's id, or 0 when it refused.
    void answered(quint32 id);

private:
    QDBusConnection m_bus;
    quint32 m_lastId = 0;
};

} // namespace platform

#pragma once
// A desktop notification server (org.freedesktop.Notifications) that keeps
// every Notify it is sent and answers as a real one does: a new id, or the id
// it was asked to replace. List this header among a suite's sources (moc).

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString appName;
        uint replacesId = 0;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int timeout = 0;
        uint id = 0;   // what it was answered
    };
    QList<Call> calls;

    // Serves on `bus` under the well-known name.
    bool attach(QDBusConnection bus)
    {
        return bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                  QDBusConnection::ExportAllSlots)
               && bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int timeout)
    {
        const uint id = replacesId != 0 ? replacesId : ++m_lastId;
        calls.append({appName, replacesId, icon, summary, body, actions, hints, timeout, id});
        return id;
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }
    void CloseNotification(uint) {}

private:
    uint m_lastId = 0;
};

#pragma once
// A desktop notification server (org.freedesktop.Notifications) that keeps
// every Notify it is sent and answers with a new id, or the one it was asked
// to replace. List this header among a suite's sources (moc).

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class NotifyServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString appName;
        uint replacesId = 0;
        QString icon;
        QString summary;
        QString body;
        QVariantMap hints;
        int timeout = 0;
    };
    QList<Call> calls;

    bool serve(QDBusConnection bus)
    {
        return bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                  QDBusConnection::ExportAllSlots)
               && bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &icon, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &hints, int timeout)
    {
        calls.append({appName, replacesId, icon, summary, body, hints, timeout});
        return replacesId != 0 ? replacesId : ++m_lastId;
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }
    QString GetServerInformation(QString &vendor, QString &version, QString &spec)
    {
        vendor = QStringLiteral("mousecfg tests");
        version = spec = QStringLiteral("1.2");
        return QStringLiteral("notifyserver");
    }
    void CloseNotification(uint) {}

private:
    uint m_lastId = 0;
};

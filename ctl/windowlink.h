#pragma once
// mousecfgctl beside the running window: the window's mouse interface on the
// session bus (app/busnames.h), called the way the command would otherwise
// run alone.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QVariantMap>

#include <functional>

class QEventLoop;

namespace ctl {

class WindowLink : public QObject {
    Q_OBJECT
public:
    WindowLink(const QDBusConnection &bus, const QString &busName, qint64 pid);

    qint64 pid() const { return m_pid; }
    QString busName() const { return m_name; }

    // The mouse interface's properties; false when the window does not
    // answer (`error` says why).
    bool properties(QVariantMap *out, QString *error = nullptr);
    // A method of the mouse interface; the reply or the error.
    QDBusMessage call(const QString &method, const QVariantList &args);

    // Calls `changed` after each PropertiesChanged and `gone` when the window
    // leaves the bus; runs until then.
    void watch(const std::function<void()> &changed);

private slots:
    void onChanged(const QString &interface, const QVariantMap &values, const QStringList &invalidated);
    void onOwnerChanged(const QString &name, const QString &oldOwner, const QString &newOwner);

private:
    QDBusConnection m_bus;
    QString m_name;
    QString m_path;
    qint64 m_pid;
    std::function<void()> m_changed;
    QEventLoop *m_loop = nullptr;
};

} // namespace ctl

#pragma once
// A session bus of the test's own: a dbus-daemon listening in a temporary
// folder, started by the constructor and ended by the destructor, so tests
// run the same on a desktop and on a machine without any session bus.
// isUp() is false when dbus-daemon is not installed (the test skips).

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

class TestBus {
public:
    TestBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty() || !m_dir.isValid())
            return;
        QFile config(m_dir.filePath(QStringLiteral("session.conf")));
        if (!config.open(QIODevice::WriteOnly))
            return;
        // A session bus as Debian makes it, without services started on demand.
        config.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                     " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig>\n  <type>session</type>\n  <listen>unix:path=");
        config.write(QFile::encodeName(m_dir.filePath(QStringLiteral("bus"))));
        config.write("</listen>\n  <auth>EXTERNAL</auth>\n  <policy context=\"default\">\n"
                     "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n    <allow eavesdrop=\"true\"/>\n"
                     "    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n");
        config.close();
        // As root it says on every start that it cannot raise its file limit.
        m_daemon.setStandardErrorFile(QProcess::nullDevice());
        m_daemon.start(daemon, {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                                QStringLiteral("--print-address")});
        if (!m_daemon.waitForStarted(10000))
            return;
        while (!m_daemon.canReadLine() && m_daemon.state() == QProcess::Running && m_daemon.waitForReadyRead(10000)) {
        }
        m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
    }

    ~TestBus()
    {
        for (const QString &name : qAsConst(m_connections))
            QDBusConnection::disconnectFromBus(name);
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            if (!m_daemon.waitForFinished(5000)) {
                m_daemon.kill();
                m_daemon.waitForFinished(5000);
            }
        }
    }

    TestBus(const TestBus &) = delete;
    TestBus &operator=(const TestBus &) = delete;

    bool isUp() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }

    // A connection of its own to the bus, known by `name`, closed with the bus.
    QDBusConnection connect(const QString &name)
    {
        m_connections << name;
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

#pragma once
// The running window on the session bus (app/busnames.h): activation through
// org.freedesktop.Application, and the mouse interface whose properties show
// what the window shows and whose methods run the window's own flow.
//
// Calls that change something are answered once the window has done them:
// one at a time, in the order they came, and only while the window is not
// busy with a write or a dialog of its own. A bus caller is never shown a
// message box; what the window would have said comes back as the error.

#include "app/busnames.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QQueue>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <functional>

class MousecfgWidget;

class MousecfgBus : public QObject {
    Q_OBJECT
public:
    explicit MousecfgBus(MousecfgWidget *window, QObject *parent = nullptr);
    ~MousecfgBus() override;

    // Serves the object at the name's path and takes the name; false when the
    // bus is not there or the name has another owner.
    bool serve(const QDBusConnection &bus, const QString &busName);
    QString busName() const { return m_name; }
    QDBusConnection bus() const { return m_bus; }

    // The mouse interface's properties as they are now.
    QVariantMap properties() const;
    // The same, worked out once per turn of the event loop (a GetAll reads
    // every property in turn).
    QVariantMap currentProperties();

    // Runs `job` when the window is free; `message` is answered by the job.
    void enqueue(const QDBusMessage &message, std::function<void(const QDBusMessage &)> job);
    // Answers of the jobs.
    void reply(const QDBusMessage &call, const QVariantList &values = QVariantList());
    void replyError(const QDBusMessage &call, const QString &name, const QString &text);

    MousecfgWidget *window() const { return m_window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    // Compares the properties with those last announced and announces the
    // changed ones (PropertiesChanged), once per turn of the event loop.
    void refresh();

private:
    void announce();
    void runJobs();

    MousecfgWidget *m_window;
    QDBusConnection m_bus;
    QString m_name;
    QString m_path;
    QVariantMap m_announced;
    QVariantMap m_cache;
    bool m_bCacheValid = false;
    QTimer m_announce;
    QTimer m_jobTimer;
    struct Job {
        QDBusMessage message;
        std::function<void(const QDBusMessage &)> run;
    };
    QQueue<Job> m_jobs;
    bool m_bRunning = false;
};

// org.freedesktop.Application
class ApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit ApplicationAdaptor(MousecfgBus *service);

public slots:
    // Brings the window up: shown, raised, not minimised, given the focus.
    void Activate(const QVariantMap &platformData);
    // No files are opened: the same as Activate.
    void Open(const QStringList &uris, const QVariantMap &platformData);
    // "quit" ends the program; "show" is Activate.
    void ActivateAction(const QString &actionName, const QVariantList &parameter, const QVariantMap &platformData);

private:
    MousecfgBus *m_service;
};

// org.example.mousecfg.Mouse
class MouseAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.mousecfg.Mouse")
    Q_PROPERTY(bool Connected READ connected)
    Q_PROPERTY(QString Model READ model)
    Q_PROPERTY(QString ConnectionType READ connectionType)
    Q_PROPERTY(bool MouseOff READ mouseOff)
    Q_PROPERTY(int BatteryLevel READ batteryLevel)
    Q_PROPERTY(int BatteryMillivolts READ batteryMillivolts)
    Q_PROPERTY(QByteArray BatteryReport READ batteryReport)
    Q_PROPERTY(bool Charging READ charging)
    Q_PROPERTY(int ActiveSlot READ activeSlot)
    Q_PROPERTY(QStringList SlotNames READ slotNames)
    Q_PROPERTY(int DpiStage READ dpiStage)
    Q_PROPERTY(int Dpi READ dpi)
    Q_PROPERTY(int ReportRate READ reportRate)
    Q_PROPERTY(bool ReportedByMouse READ reportedByMouse)
    Q_PROPERTY(bool InSync READ inSync)
public:
    explicit MouseAdaptor(MousecfgBus *service);

    bool connected() const { return value("Connected").toBool(); }
    QString model() const { return value("Model").toString(); }
    QString connectionType() const { return value("ConnectionType").toString(); }
    bool mouseOff() const { return value("MouseOff").toBool(); }
    int batteryLevel() const { return value("BatteryLevel").toInt(); }
    int batteryMillivolts() const { return value("BatteryMillivolts").toInt(); }
    QByteArray batteryReport() const { return value("BatteryReport").toByteArray(); }
    bool charging() const { return value("Charging").toBool(); }
    int activeSlot() const { return value("ActiveSlot").toInt(); }
    QStringList slotNames() const { return value("SlotNames").toStringList(); }
    int dpiStage() const { return value("DpiStage").toInt(); }
    int dpi() const { return value("Dpi").toInt(); }
    int reportRate() const { return value("ReportRate").toInt(); }
    bool reportedByMouse() const { return value("ReportedByMouse").toBool(); }
    bool inSync() const { return value("InSync").toBool(); }

public slots:
    // Slots are numbered 1 to 5 and stages from 1; 0 stands for the active
    // slot and for that slot's current stage. The answers `written` are the
    // groups the write sent (app/busnames.h).
    void SelectSlot(int slot, const QDBusMessage &message);
    uint SetDpi(int slot, int stage, int dpi, const QDBusMessage &message);
    uint SetReportRate(int slot, int hz, const QDBusMessage &message);
    uint Apply(bool all, const QDBusMessage &message);
    // The profile takes the name of its file; SlotNames shows it.
    uint ImportProfile(const QString &path, int slot, const QDBusMessage &message);
    uint ImportConfiguration(const QString &path, const QDBusMessage &message);
    void ExportProfile(const QString &path, int slot, const QDBusMessage &message);
    void ExportConfiguration(const QString &path, const QDBusMessage &message);

private:
    QVariant value(const char *name) const;
    MousecfgBus *m_service;
};

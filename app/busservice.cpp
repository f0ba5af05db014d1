#include "app/busservice.h"

#include "app/batterylevel.h"
#include "app/logging.h"
#include "app/mousecfgwidget.h"
#include "app/writestep.h"
#include "device/commands.h"
#include "device/devicetable.h"
#include "pages/performance/performancefacts.h"
#include "platform/sessionbus.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/profileset.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QEvent>
#include <QFileInfo>
#include <QtDebug>

namespace {

quint8 rateCode(int hz)
{
    for (int choice = 0; choice < RATE_CHOICES; ++choice) {
        if (rateHertz(rateCodeOfChoice(choice)) == hz)
            return quint8(rateCodeOfChoice(choice));
    }
    return 0;
}

// The sensor's index of a DPI value the DPI page offers, or -1.
int dpiIndex(int dpi)
{
    const int sensor = sensorCode();
    SensorRange range;
    if (!sensorRange(sensor, descriptionInt(QStringLiteral("33254")) == 1, readCurrentProduct(), range))
        return -1;
    for (int v = range.minIndex; v <= range.maxIndex; ++v) {
        if (sensorDpi(v, sensor) == dpi)
            return v;
    }
    return -1;
}

QString invalidArgs() { return QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"); }

} // namespace

// ------------------------------------------------------------- the service --

MousecfgBus::MousecfgBus(MousecfgWidget *window, QObject *parent)
    : QObject(parent), m_window(window), m_bus(QString())
{
    new ApplicationAdaptor(this);
    new MouseAdaptor(this);
    m_announce.setSingleShot(true);
    m_announce.setInterval(0);
    connect(&m_announce, &QTimer::timeout, this, &MousecfgBus::announce);
    m_jobTimer.setSingleShot(true);
    connect(&m_jobTimer, &QTimer::timeout, this, &MousecfgBus::runJobs);
    connect(window, &MousecfgWidget::statusChanged, this, &MousecfgBus::refresh);
    // The pages change the working set as the user edits: every click and
    // key may have put the mouse behind (InSync).
    qApp->installEventFilter(this);
}

bool MousecfgBus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::KeyRelease)
        refresh();
    return QObject::eventFilter(watched, event);
}

MousecfgBus::~MousecfgBus()
{
    if (m_bus.isConnected() && !m_name.isEmpty()) {
        m_bus.unregisterObject(m_path);
        m_bus.unregisterService(m_name);
    }
}

bool MousecfgBus::serve(const QDBusConnection &bus, const QString &busName)
{
    if (!bus.isConnected())
        return false;
    m_bus = bus;
    m_path = platform::objectPathFor(busName);
    if (!m_bus.registerObject(m_path, this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcUi, "Cannot serve %s on the session bus", qPrintable(m_path));
        return false;
    }
    // Not queued behind another owner: a second window is not what a caller
    // of this name wants.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = m_bus.interface()->registerService(
        busName, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        qCWarning(lcUi, "The name %s on the session bus has another owner", qPrintable(busName));
        m_bus.unregisterObject(m_path);
        return false;
    }
    m_name = busName;
    m_announced = properties();
    qCDebug(lcUi, "On the session bus as %s", qPrintable(busName));
    return true;
}

QVariantMap MousecfgBus::properties() const
{
    QVariantMap p;
    const bool listed = MousecfgWidget::listedMouseCount() > 0;
    const bool cable = wiredControlHandle() != nullptr;
    const bool connected = listed && (cable || receiverControlHandle() != nullptr);
    p.insert(QStringLiteral("Connected"), connected);
    p.insert(QStringLiteral("Model"), readCurrentProduct());
    p.insert(QStringLiteral("ConnectionType"),
             !connected ? QString() : cable ? QStringLiteral("cable") : QStringLiteral("receiver"));
    const bool reported = connected && m_window->isBatteryReported();
    const bool off = reported && g_mouseOff.load();
    const QByteArray report = m_window->batteryReport();
    const int millivolts = batteryMillivolts(quint8(report.at(0)), quint8(report.at(1)));
    p.insert(QStringLiteral("MouseOff"), off);
    // Unknown (-1) until the mouse has answered, and while it sleeps.
    p.insert(QStringLiteral("BatteryLevel"), reported && !off ? m_window->batteryLevelShown() : -1);
    p.insert(QStringLiteral("BatteryMillivolts"), reported && !off ? millivolts : 0);
    p.insert(QStringLiteral("BatteryReport"), reported ? report : QByteArray());
    p.insert(QStringLiteral("Charging"), reported && !off && m_window->isCharging());

    const ProfileSet &set = workingSet();
    const int slot = set.ProfileID % SLOT_COUNT;
    const ProfileData &profile = set.profiles[slot];
    p.insert(QStringLiteral("ActiveSlot"), slot + 1);
    QStringList names;
    for (const QString &name : set.names)
        names << name;
    p.insert(QStringLiteral("SlotNames"), names);
    p.insert(QStringLiteral("DpiStage"), profile.dpi + 1);
    p.insert(QStringLiteral("Dpi"),
             profile.dpi < STAGE_COUNT ? sensorDpi(int(profile.stages[profile.dpi].x), sensorCode()) : 0);
    p.insert(QStringLiteral("ReportRate"), rateHertz(profile.pollrate));
    p.insert(QStringLiteral("ReportedByMouse"), m_window->isStatusReported());
    p.insert(QStringLiteral("InSync"),
             connected && readDiff() == 0 && compareProfileSets(set, savedSet()) == 0);
    return p;
}

QVariantMap MousecfgBus::currentProperties()
{
    if (!m_bCacheValid) {
        m_cache = properties();
        m_bCacheValid = true;
        QTimer::singleShot(0, this, [this] { m_bCacheValid = false; });
    }
    return m_cache;
}

void MousecfgBus::refresh()
{
    m_bCacheValid = false;
    if (!m_name.isEmpty() && !m_announce.isActive())
        m_announce.start();
}

void MousecfgBus::announce()
{
    const QVariantMap now = properties();
    QVariantMap changed;
    for (auto it = now.constBegin(); it != now.constEnd(); ++it) {
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_announced = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(m_path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << mousebus::mouseInterface() << changed << QStringList();
    qCDebug(lcUi, "Announced on the bus: %s", qPrintable(QStringList(changed.keys()).join(QLatin1Char(' '))));
    m_bus.send(signal);
}

void MousecfgBus::enqueue(const QDBusMessage &message, std::function<void(const QDBusMessage &)> job)
{
    message.setDelayedReply(true);
    m_jobs.enqueue(Job{message, std::move(job)});
    if (!m_jobTimer.isActive())
        m_jobTimer.start(0);
}

void MousecfgBus::runJobs()
{
    if (m_bRunning || m_jobs.isEmpty())
        return;
    // A write on its way or a dialog of the window's own: the call waits
    // until the window is free again.
    if (m_window->isBusy() || QApplication::activeModalWidget()) {
        m_jobTimer.start(100);
        return;
    }
    m_bRunning = true;
    const Job job = m_jobs.dequeue();
    m_window->setBusCaller(true);
    job.run(job.message);
    m_window->setBusCaller(false);
    m_bRunning = false;
    refresh();
    if (!m_jobs.isEmpty())
        m_jobTimer.start(0);
}

void MousecfgBus::reply(const QDBusMessage &call, const QVariantList &values)
{
    QDBusMessage answer = call.createReply(values);
    m_bus.send(answer);
}

void MousecfgBus::replyError(const QDBusMessage &call, const QString &name, const QString &text)
{
    qCDebug(lcUi, "Bus call %s: %s", qPrintable(call.member()), qPrintable(text));
    m_bus.send(call.createErrorReply(name, text));
}

// ------------------------------------------------ org.freedesktop.Application --

ApplicationAdaptor::ApplicationAdaptor(MousecfgBus *service)
    : QDBusAbstractAdaptor(service), m_service(service)
{
}

void ApplicationAdaptor::Activate(const QVariantMap &)
{
    // After this call has been answered: the caller does not wait for the
    // window (or for the warning it may show).
    QMetaObject::invokeMethod(m_service->window(), &MousecfgWidget::bringToFront, Qt::QueuedConnection);
}

void ApplicationAdaptor::Open(const QStringList &, const QVariantMap &platformData)
{
    Activate(platformData);
}

void ApplicationAdaptor::ActivateAction(const QString &actionName, const QVariantList &, const QVariantMap &platformData)
{
    if (actionName == QLatin1String("quit"))
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    else
        Activate(platformData);
}

// --------------------------------------------------- org.example.mousecfg.Mouse --

MouseAdaptor::MouseAdaptor(MousecfgBus *service)
    : QDBusAbstractAdaptor(service), m_service(service)
{
    setAutoRelaySignals(false);
}

QVariant MouseAdaptor::value(const char *name) const
{
    return m_service->currentProperties().value(QLatin1String(name));
}

namespace {

// The answer to a call that ended in a write: the groups written, or the
// error the window would have shown.
void answerWrite(MousecfgBus *service, const QDBusMessage &call, const QVariantList &values = QVariantList())
{
    MousecfgWidget *w = service->window();
    const int result = w->lastWriteResult();
    if (result == MousecfgWidget::WRITE_NO_MOUSE) {
        service->replyError(call, mousebus::errorNoMouse(), MousecfgWidget::tr("Dongle Disconnect!"));
        return;
    }
    if (result == WRITE_MOUSE_OFF) {
        service->replyError(call, mousebus::errorMouseOff(), w->busCallerMessage());
        return;
    }
    if (result == WRITE_NOT_SAVED) {
        service->replyError(call, mousebus::errorNotSaved(), w->busCallerMessage());
        return;
    }
    if (result != WRITE_OK) {
        service->replyError(call, mousebus::errorNotTaken(), w->busCallerMessage());
        return;
    }
    service->reply(call, values.isEmpty() ? QVariantList{uint(w->lastSentMask())} : values);
}

bool checkSlot(MousecfgBus *service, const QDBusMessage &call, int slot, bool zeroAllowed)
{
    if ((zeroAllowed && slot == 0) || (slot >= 1 && slot <= SLOT_COUNT))
        return true;
    service->replyError(call, invalidArgs(),
                        QStringLiteral("\"%1\" is not a slot: slots are numbered 1 to 5.").arg(slot));
    return false;
}

int slotIndex(int slot)
{
    return slot == 0 ? workingSet().ProfileID % SLOT_COUNT : slot - 1;
}

} // namespace

void MouseAdaptor::SelectSlot(int slot, const QDBusMessage &message)
{
    if (!checkSlot(m_service, message, slot, false))
        return;
    m_service->enqueue(message, [this, slot](const QDBusMessage &call) {
        MousecfgWidget *w = m_service->window();
        if (!w->mouseReachable()) {
            m_service->replyError(call, mousebus::errorNoMouse(), MousecfgWidget::tr("Dongle Disconnect!"));
            return;
        }
        w->selectSlot(slot - 1);
        if (w->lastWriteResult() == WRITE_NOT_SAVED)
            m_service->replyError(call, mousebus::errorNotSaved(), w->busCallerMessage());
        else if (w->lastWriteResult() == WRITE_MOUSE_OFF)
            m_service->replyError(call, mousebus::errorMouseOff(),
                                  MousecfgWidget::tr("Mouse is sleeping or not connected."));
        else if (w->lastWriteResult() != WRITE_OK)
            m_service->replyError(call, mousebus::errorNotTaken(),
                                  MousecfgWidget::tr("Send data failed, please try again."));
        else
            m_service->reply(call);
    });
}

uint MouseAdaptor::SetDpi(int slot, int stage, int dpi, const QDBusMessage &message)
{
    if (!checkSlot(m_service, message, slot, true))
        return 0;
    const int stages = effectiveStageCount(dpiStageCount());
    if (stage < 0 || stage > stages) {
        m_service->replyError(message, invalidArgs(),
                              QStringLiteral("This mouse has %1 DPI stages: stage %2 does not exist.").arg(stages).arg(stage));
        return 0;
    }
    const int index = dpiIndex(dpi);
    if (index < 0) {
        m_service->replyError(message, invalidArgs(),
                              QStringLiteral("%1 DPI is not a value this mouse offers.").arg(dpi));
        return 0;
    }
    m_service->enqueue(message, [this, slot, stage, index](const QDBusMessage &call) {
        MousecfgWidget *w = m_service->window();
        const int s = slotIndex(slot);
        const ProfileData &profile = workingSet().profiles[s];
        const int st = stage > 0 ? stage - 1 : profile.dpi;
        w->setStageDpi(s, st, index);
        answerWrite(m_service, call);
    });
    return 0;
}

uint MouseAdaptor::SetReportRate(int slot, int hz, const QDBusMessage &message)
{
    if (!checkSlot(m_service, message, slot, true))
        return 0;
    const quint8 code = rateCode(hz);
    if (code == 0) {
        m_service->replyError(message, invalidArgs(),
                              QStringLiteral("\"%1\" is not a report rate: choose 125, 250, 500 or 1000 Hz.").arg(hz));
        return 0;
    }
    m_service->enqueue(message, [this, slot, code](const QDBusMessage &call) {
        m_service->window()->setSlotReportRate(slotIndex(slot), code);
        answerWrite(m_service, call);
    });
    return 0;
}

uint MouseAdaptor::Apply(bool all, const QDBusMessage &message)
{
    m_service->enqueue(message, [this, all](const QDBusMessage &call) {
        MousecfgWidget *w = m_service->window();
        if (all)
            w->writeAndReport(true);
        else
            w->apply();
        answerWrite(m_service, call);
    });
    return 0;
}

namespace {

// A path the caller means: absolute, as the window has no folder of its own.
bool checkPath(MousecfgBus *service, const QDBusMessage &call, const QString &path)
{
    if (!path.isEmpty() && QFileInfo(path).isAbsolute())
        return true;
    service->replyError(call, invalidArgs(), QStringLiteral("\"%1\" is not an absolute file name.").arg(path));
    return false;
}

bool answerLibrary(MousecfgBus *service, const QDBusMessage &call, ProfileLibrary::Result result)
{
    if (result == ProfileLibrary::Result::Ok)
        return true;
    service->replyError(call, mousebus::errorRefused(), service->window()->busCallerMessage());
    return false;
}

} // namespace

uint MouseAdaptor::ImportProfile(const QString &path, int slot, const QDBusMessage &message)
{
    if (!checkPath(m_service, message, path) || !checkSlot(m_service, message, slot, true))
        return 0;
    m_service->enqueue(message, [this, path, slot](const QDBusMessage &call) {
        if (answerLibrary(m_service, call, m_service->window()->importProfileFile(path, slot - 1)))
            answerWrite(m_service, call);
    });
    return 0;
}

uint MouseAdaptor::ImportConfiguration(const QString &path, const QDBusMessage &message)
{
    if (!checkPath(m_service, message, path))
        return 0;
    m_service->enqueue(message, [this, path](const QDBusMessage &call) {
        if (answerLibrary(m_service, call, m_service->window()->importConfigurationFile(path)))
            answerWrite(m_service, call);
    });
    return 0;
}

void MouseAdaptor::ExportProfile(const QString &path, int slot, const QDBusMessage &message)
{
    if (!checkPath(m_service, message, path) || !checkSlot(m_service, message, slot, true))
        return;
    m_service->enqueue(message, [this, path, slot](const QDBusMessage &call) {
        if (answerLibrary(m_service, call, m_service->window()->exportProfileFile(path, slot - 1)))
            m_service->reply(call);
    });
}

void MouseAdaptor::ExportConfiguration(const QString &path, const QDBusMessage &message)
{
    if (!checkPath(m_service, message, path))
        return;
    m_service->enqueue(message, [this, path](const QDBusMessage &call) {
        if (answerLibrary(m_service, call, m_service->window()->exportConfigurationFile(path)))
            m_service->reply(call);
    });
}

#include "app/entry.h"

#include "app/busnames.h"
#include "app/busservice.h"
#include "app/mousecfgwidget.h"
#include "app/preload.h"
#include "device/devicetable.h"
#include "platform/sessionbus.h"
#include "platform/singleinstance.h"
#include "profile/description.h"
#include "profile/keys.h"
#include "profile/paths.h"
#include "profile/slotcache.h"
#include "widgets/logging.h"

#include <QApplication>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QInputMethod>
#include <QLocale>
#include <QPixmap>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <future>
#include <memory>

namespace {

bool frenchInputLocale()
{
    const QInputMethod *input = QGuiApplication::inputMethod();
    return input && input->locale().language() == QLocale::French;
}

void say(const QString &text)
{
    QTextStream err(stderr);
    err << "mousecfg: " << text << '\n';
}

struct Options {
    bool hidden = false;        // started at login: stays hidden until asked for
    bool quit = false;          // asks the running copy to end
    QString screenshot;         // draws the window into this picture and ends
};

Options parseOptions(const QStringList &args)
{
    Options o;
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--hidden"))
            o.hidden = true;
        else if (arg == QLatin1String("--quit"))
            o.quit = true;
        else if (arg == QLatin1String("--screenshot") && i + 1 < args.size())
            o.screenshot = args.at(++i);
    }
    return o;
}

// Asks the copy serving `name` on `bus` to come up (or to end); true when it
// answered.
bool callRunningCopy(const QDBusConnection &bus, const QString &name, bool quit)
{
    if (!platform::nameHasOwner(bus, name))
        return false;
    QVariantMap platformData;
    if (!qEnvironmentVariableIsEmpty("DESKTOP_STARTUP_ID"))
        platformData.insert(QStringLiteral("desktop-startup-id"), qEnvironmentVariable("DESKTOP_STARTUP_ID"));
    if (!qEnvironmentVariableIsEmpty("XDG_ACTIVATION_TOKEN"))
        platformData.insert(QStringLiteral("activation-token"), qEnvironmentVariable("XDG_ACTIVATION_TOKEN"));
    const QString path = platform::objectPathFor(name);
    QDBusMessage call;
    if (quit) {
        call = QDBusMessage::createMethodCall(name, path, mousebus::applicationInterface(),
                                              QStringLiteral("ActivateAction"));
        call << QStringLiteral("quit") << QVariantList() << platformData;
    } else {
        call = QDBusMessage::createMethodCall(name, path, mousebus::applicationInterface(), QStringLiteral("Activate"));
        call << platformData;
    }
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        qCDebug(lcUi, "The running copy did not answer: %s", qPrintable(reply.errorMessage()));
        return false;
    }
    return true;
}

} // namespace

int runMousecfg(int argc, char **argv, const EntryHooks &hooks)
{
    // Nothing here draws with OpenGL: plain raster windows spare the start
    // the system's GL set-up (loading and probing its driver for a visual).
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    // The window scales itself by whole steps from the screen's DPI, so Qt's
    // own high-DPI scaling stays off; pixmaps may still use high-DPI sources.
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QCoreApplication::setApplicationName(QStringLiteral("mousecfg"));
    QCoreApplication::setOrganizationName(QStringLiteral("mousecfg"));
    app.setQuitOnLastWindowClosed(false);
    setFrenchLayoutQuery(&frenchInputLocale);
    const Options options = parseOptions(QCoreApplication::arguments());

    // A copy already running is brought up (a second start, a click on the
    // launcher), and this one ends. Its lock says whether one runs: the bus is
    // asked only then, so a first start does not wait for the bus before its
    // window shows.
    const QString busName = hooks.busName.isEmpty() ? mousebus::applicationName() : hooks.busName;
    const QString product = productName();
    platform::SingleInstance guard(configsFolder(), product + QStringLiteral(" Wireless Gaming Mouse Mutex1"),
                                   platform::SingleInstance::Mode::Window);
    bool locked = guard.tryLock();
    if (!locked && guard.error().isEmpty() && callRunningCopy(platform::userBus(), busName, options.quit))
        return 0;
    if (options.quit)
        return 0;   // nothing runs that could be asked

    QElapsedTimer waited;
    waited.start();
    while (!locked && !(locked = guard.tryLock())) {
        if (!guard.error().isEmpty()) {
            say(guard.error() + QStringLiteral(" mousecfg does not start without its lock."));
            return 1;
        }
        // Another window: brought up as soon as it answers on the bus (it may
        // still be starting). A command of mousecfgctl: waited for.
        const platform::LockHolder holder = guard.holder();
        if (holder.role == platform::LockHolder::Window) {
            const QDBusConnection theirs = platform::busAt(holder.busAddress);
            if (callRunningCopy(theirs, holder.busName.isEmpty() ? busName : holder.busName, false))
                return 0;
            // Until it has said where it answers it is still starting: waited
            // for. Once it has, a bus that cannot be reached is final.
            const bool unreachable = holder.ready && (holder.busName.isEmpty() || !theirs.isConnected());
            if (unreachable || waited.elapsed() > 10000) {
                say(QStringLiteral("mousecfg is already running (process %1) but does not answer on the session bus.")
                        .arg(holder.pid));
                return 1;
            }
        } else if (waited.elapsed() > 30000) {
            say(holder.pid > 0
                    ? QStringLiteral("mousecfgctl (process %1) is still using the mouse; start mousecfg again when it "
                                     "has finished.").arg(holder.pid)
                    : QStringLiteral("A command of mousecfgctl is still using the mouse; start mousecfg again when it "
                                     "has finished."));
            return 1;
        }
        QThread::msleep(100);
    }
    // The on-screen display this copy starts ends a while after it has gone.
    // (Set before the threads below start: libdbus reads the environment
    // without Qt's lock.)
    qputenv("MOUSECFG_OSD_OWNER", QByteArray::number(QCoreApplication::applicationPid()));
    // The pictures of the first frame (the largest is the background) are
    // read on another core while the window is built.
    preloadImages(MousecfgWidget::startPictures());
    // The session bus is reached meanwhile on a thread of its own: the first
    // widgets made bring up Qt's accessibility bridge, which waits for the
    // bus (on a desktop without one, for libdbus trying to start one), and
    // the window serves on it once it is built. The program's end waits for
    // that thread.
    const std::future<void> busReached = std::async(std::launch::async, [] { platform::userBus(); });
    // No other copy runs: a lock file left in Configs is stale.
    removeStaleConfigLocks();
    // Slot files the program writes are parsed again in the background, so
    // the next start finds them ready.
    setSlotCacheRefresh(true);
    qCDebug(lcUi, "Application data in %s", qPrintable(applicationDir()));

    if (hooks.beforeWindow)
        hooks.beforeWindow();

    int result = 0;
    {
        MousecfgWidget::setStartHidden(options.hidden);
        std::unique_ptr<MousecfgWidget> window(new MousecfgWidget);
        if (MousecfgWidget::listedMouseCount() != 0 && !options.hidden) {
            window->setWindowOpacity(1.0);
            window->show();
        }
        window->setWindowTitle(product);
        if (hooks.afterWindow)
            hooks.afterWindow(*window);
        // On the bus: a second start, the launcher and mousecfgctl find it
        // there; the lock says where.
        MousecfgBus service(window.get());
        if (service.serve(platform::userBus(), busName))
            guard.setBusEndpoint(busName, platform::userBusAddress());
        else
            guard.setBusEndpoint(QString(), QString());   // up, but on no bus
        if (!options.screenshot.isEmpty()) {
            // A picture of the window as it stands once started, then the end.
            QTimer::singleShot(1500, window.get(), [&window, &options] {
                window->show();
                const bool saved = window->grab().save(options.screenshot);
                if (!saved)
                    say(QStringLiteral("The picture %1 could not be written.").arg(options.screenshot));
                QCoreApplication::exit(saved ? 0 : 1);
            });
        }
        result = app.exec();
    }
    setSlotCacheRefresh(false);
    closeDevice();
    shutdownDeviceLink();
    return result;
}

#include "app/entry.h"

#include "app/mousecfgwidget.h"
#include "app/preload.h"
#include "device/devicetable.h"
#include "platform/singleinstance.h"
#include "profile/description.h"
#include "profile/keys.h"
#include "profile/paths.h"
#include "profile/slotcache.h"
#include "widgets/logging.h"

#include <QApplication>
#include <QIcon>
#include <QInputMethod>
#include <QLocale>
#include <memory>

namespace {
bool frenchInputLocale()
{
    const QInputMethod *input = QGuiApplication::inputMethod();
    return input && input->locale().language() == QLocale::French;
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

    const QString product = productName();
    platform::SingleInstance guard(configsFolder(), product + QStringLiteral(" Wireless Gaming Mouse Mutex1"),
                                   platform::SingleInstance::Mode::Window);
    if (!guard.tryLock())
        return 1;
    // The window's background is the largest picture of the first frame.
    preloadImage(MousecfgWidget::backgroundPath());
    // No other copy runs: a lock file left in Configs is stale.
    removeStaleConfigLocks();
    // Slot files the program writes are parsed again in the background, so
    // the next start finds them ready.
    setSlotCacheRefresh(true);
    qCDebug(lcUi, "Application data in %s", qPrintable(applicationDir()));
    // The on-screen display this copy starts ends a while after it has gone.
    qputenv("MOUSECFG_OSD_OWNER", QByteArray::number(QCoreApplication::applicationPid()));

    if (hooks.beforeWindow)
        hooks.beforeWindow();

    int result = 0;
    {
        std::unique_ptr<MousecfgWidget> window(new MousecfgWidget);
        if (MousecfgWidget::listedMouseCount() != 0) {
            window->setWindowOpacity(1.0);
            window->show();
        }
        window->setWindowIcon(QIcon(applicationDir() + QStringLiteral("/skin/icon.ico")));
        window->setWindowTitle(product);
        if (hooks.afterWindow)
            hooks.afterWindow(*window);
        result = app.exec();
    }
    setSlotCacheRefresh(false);
    closeDevice();
    shutdownDeviceLink();
    return result;
}

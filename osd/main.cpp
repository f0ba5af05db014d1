// The on-screen display that mousecfg starts beside itself: it shows the DPI
// stage or report rate the mouse just switched to.

#include "osdlifetime.h"
#include "osdserver.h"
#include "osdwindow.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const QString title = QStringLiteral("BLMX Wireless Mouse OSD");

    OsdServer server;
    if (!server.listen(title))
        return 0;  // another display is already running
    OsdWindow window;
    QObject::connect(&server, &OsdServer::messageReceived, &window, &OsdWindow::showMessage);
    // Ends a few seconds after the last message once its program has gone.
    OsdLifetime lifetime(OsdLifetime::ownerFromEnvironment());
    QObject::connect(&server, &OsdServer::messageReceived, &lifetime,
                     [&lifetime](const platform::OsdMessage &message) { lifetime.noteMessage(message.duration); });
    QObject::connect(&lifetime, &OsdLifetime::finished, &app, &QCoreApplication::quit);
    return app.exec();
}

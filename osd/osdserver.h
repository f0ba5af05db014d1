#pragma once
// The on-screen display: a local server named after the display's window title
// that takes one message per connection and shows its text for a while.

#include "platform/osdchannel.h"
#include <QObject>

class QLocalServer;

class OsdServer : public QObject {
    Q_OBJECT
public:
    explicit OsdServer(QObject *parent = nullptr);
    // False when another display already serves the name or listening failed.
    bool listen(const QString &windowTitle);
    // The same at a socket path of the caller's choice.
    bool listenAt(const QString &socketPath);

signals:
    void messageReceived(const platform::OsdMessage &message);

private:
    void onConnection();
    QLocalServer *m_server = nullptr;
};

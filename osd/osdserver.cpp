#include "osdserver.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QtEndian>

OsdServer::OsdServer(QObject *parent)
    : QObject(parent), m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, &OsdServer::onConnection);
}

bool OsdServer::listen(const QString &windowTitle)
{
    return listenAt(platform::osdSocketFromEnvironment(windowTitle));
}

bool OsdServer::listenAt(const QString &name)
{
    {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(200))
            return false;  // a display is already running
    }
    QLocalServer::removeServer(name);  // a socket left by a display that crashed
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    return m_server->listen(name);
}

void OsdServer::onConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // Only this user's programs may show text on this user's screen.
        if (!platform::peerIsThisUser(socket->socketDescriptor())) {
            qWarning("OSD: a connection of another user was refused");
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QPointer<QLocalSocket> guard(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, guard] {
            if (!guard || guard->bytesAvailable() < platform::OSD_PAYLOAD_SIZE)
                return;
            const QByteArray payload = guard->read(platform::OSD_PAYLOAD_SIZE);
            platform::OsdMessage message;
            const bool ok = platform::decodeOsdMessage(payload, message);
            if (ok)
                emit messageReceived(message);
            uchar answer[4];
            qToLittleEndian<qint32>(ok ? 1 : 0, answer);
            guard->write(reinterpret_cast<const char *>(answer), 4);
            guard->flush();
            guard->disconnectFromServer();
        });
    }
}

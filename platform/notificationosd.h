#pragma once
// The on-screen display where a program cannot place a window of its own (a
// Wayland client): each display message becomes a desktop notification,
// org.freedesktop.Notifications.Notify on the session bus, that
//   - shows the message's text as its summary, under the program's name and icon,
//   - replaces the previous one (replaces_id: the id the server gave it),
//   - is transient (hint "transient": the server does not keep it in its list),
//   - expires after the message's display time (1500 ms).
// Nothing waits for the server: the call is queued and its answer arrives
// through the event loop. A message sent before the previous one's id has
// come back waits for it (only the latest such message is kept), so messages
// never pile up as separate notifications.

#include "platform/desktopnotifier.h"
#include "platform/osdchannel.h"

#include <QObject>
#include <QString>

namespace platform {

// True when the program runs as a Wayland client (the Qt platform is
// "wayland"): its windows can neither place nor raise themselves.
bool isWaylandClient();

class NotificationOsdChannel : public QObject, public OsdChannel {
    Q_OBJECT
public:
    // `connectionName` names an open QDBusConnection (tests: a private bus);
    // empty: the session bus.
    explicit NotificationOsdChannel(QString connectionName = QString(), QObject *parent = nullptr);

    // The desktop's notification server is asked, not looked for: true.
    bool windowExists() override { return true; }
    // 1 when the message was handed to the bus, 0 for a payload that is no
    // display message or when there is no bus.
    qint32 send(const QByteArray &payload) override;

    // The id of the notification shown last (0: none yet).
    quint32 notificationId() const { return m_notifier.lastId(); }
    // A Notify is on its way and its answer not back yet.
    bool isWaiting() const { return m_waitingForId; }

signals:
    // The server answered a Notify with this id.
    void shown(quint32 id);

private:
    bool notify(const OsdMessage &message);

    DesktopNotifier m_notifier;
    bool m_waitingForId = false;
    bool m_hasNext = false;
    OsdMessage m_next;
};

} // namespace platform

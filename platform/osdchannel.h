#pragma once
// Hand-off to the on-screen-display program: it owns a local server named
// after its window title, a socket in the user's private runtime folder that
// only this user's processes may use (both ends check the other's user id),
// and takes one 1044-byte message per connection:
//
//   offset   0  512 bytes  text, UTF-16LE, zero-terminated, at most 255 characters
//   offset 512    4        0
//   offset 516    4        display time in milliseconds (1500)
//   offset 520    4        0
//   offset 524    4        colour 0x00BBGGRR
//   offset 528    4        text size (60)
//   offset 532  512 bytes  font family, UTF-16LE, zero-terminated ("Arial")
//
// and answers with a 4-byte little-endian result, non-zero when it showed it.

#include <QByteArray>
#include <QColor>
#include <QString>

namespace platform {

enum { OSD_PAYLOAD_SIZE = 1044, OSD_TEXT_CHARS = 255 };

struct OsdMessage {
    QString text;
    qint32 value0 = 0;
    qint32 duration = 1500;
    qint32 value2 = 0;
    QColor colour;
    qint32 size = 60;
    QString font = QStringLiteral("Arial");
};

QByteArray encodeOsdMessage(const OsdMessage &message);
// False for a payload of the wrong size.
bool decodeOsdMessage(const QByteArray &payload, OsdMessage &message);

// The socket both sides derive from the window title: a path in the user's
// private runtime folder. The program passes the path it uses to the display
// it starts in $MOUSECFG_OSD_SOCKET (osdSocketFromEnvironment), so the two
// agree even when that folder had to be made afresh.
QString osdServerName(const QString &windowTitle);
QString osdSocketFromEnvironment(const QString &windowTitle);

// True when the process at the other end of a connected local socket runs as
// this user.
bool peerIsThisUser(qintptr socketDescriptor);

// "Is the window there" and "send": a connection attempt and one exchange.
class OsdChannel {
public:
    virtual ~OsdChannel() = default;
    virtual bool windowExists() = 0;
    // Non-zero when the message was handed to the display; 0 when nothing
    // could be delivered.
    virtual qint32 send(const QByteArray &payload) = 0;
};

// Never waits for the display: a connection to a local socket is made or
// refused at once, and the display's answer is read when it comes (a display
// that answers 0, or not within two seconds, is logged).
class LocalSocketOsdChannel : public OsdChannel {
public:
    explicit LocalSocketOsdChannel(const QString &windowTitle);
    explicit LocalSocketOsdChannel(const QString &socketPath, bool isPath);
    bool windowExists() override;
    qint32 send(const QByteArray &payload) override;
    QString socketPath() const { return m_server; }

private:
    QString m_server;
};

} // namespace platform

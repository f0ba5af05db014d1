#include "platform/osdchannel.h"

#include "platform/logging.h"
#include "platform/runtimefolder.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <QtDebug>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {
namespace {

void putInt(uchar *out, int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, out + offset);
}

qint32 getInt(const QByteArray &in, int offset)
{
    return qFromLittleEndian<qint32>(reinterpret_cast<const uchar *>(in.constData() + offset));
}

// At most 255 UTF-16 units followed by the terminator, in a 512-byte field.
void putText(uchar *out, int offset, const QString &text)
{
    const QString cut = text.left(OSD_TEXT_CHARS);
    for (int i = 0; i < cut.size(); ++i)
        qToLittleEndian<quint16>(cut.at(i).unicode(), out + offset + 2 * i);
}

QString getText(const QByteArray &in, int offset)
{
    QString text;
    for (int i = 0; i < 256; ++i) {
        const quint16 unit = qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(in.constData() + offset + 2 * i));
        if (unit == 0)
            break;
        text += QChar(unit);
    }
    return text;
}

} // namespace

QByteArray encodeOsdMessage(const OsdMessage &m)
{
    uchar out[OSD_PAYLOAD_SIZE] = {};
    putText(out, 0, m.text);
    putInt(out, 512, m.value0);
    putInt(out, 516, m.duration);
    putInt(out, 520, m.value2);
    const QColor c = m.colour.isValid() ? m.colour : QColor(Qt::white);
    putInt(out, 524, qint32(quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16));
    putInt(out, 528, m.size);
    putText(out, 532, m.font);
    return QByteArray(reinterpret_cast<const char *>(out), OSD_PAYLOAD_SIZE);
}

bool decodeOsdMessage(const QByteArray &payload, OsdMessage &m)
{
    if (payload.size() != OSD_PAYLOAD_SIZE)
        return false;
    m.text = getText(payload, 0);
    m.value0 = getInt(payload, 512);
    m.duration = getInt(payload, 516);
    m.value2 = getInt(payload, 520);
    const quint32 rgb = quint32(getInt(payload, 524));
    m.colour = QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
    m.size = getInt(payload, 528);
    m.font = getText(payload, 532);
    return true;
}

QString osdServerName(const QString &windowTitle)
{
    QString name = QStringLiteral("mousecfg-osd-");
    for (const QChar c : windowTitle.left(40))
        name += c.isLetterOrNumber() && c.unicode() < 128 ? c : QLatin1Char('_');
    // Titles that read alike still get sockets of their own.
    name += QLatin1Char('-')
        + QString::fromLatin1(QCryptographicHash::hash(windowTitle.toUtf8(), QCryptographicHash::Sha1).toHex().left(8));
    return platform::privateRuntimeFolder() + QLatin1Char('/') + name;
}

QString osdSocketFromEnvironment(const QString &windowTitle)
{
    // Only a socket in a folder nobody else may enter.
    const QString given = qEnvironmentVariable("MOUSECFG_OSD_SOCKET");
    if (!given.isEmpty() && isPrivateFolder(QFileInfo(given).absolutePath()))
        return given;
    return osdServerName(windowTitle);
}

bool peerIsThisUser(qintptr socketDescriptor)
{
    struct ucred peer = {};
    socklen_t size = sizeof peer;
    if (socketDescriptor < 0 || ::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return false;
    return peer.uid == ::getuid();
}

LocalSocketOsdChannel::LocalSocketOsdChannel(const QString &windowTitle)
    : m_server(osdServerName(windowTitle))
{
}

LocalSocketOsdChannel::LocalSocketOsdChannel(const QString &socketPath, bool)
    : m_server(socketPath)
{
}

namespace {

// Connected to a display of this user's, at once, or not at all: -1, or a
// socket that does not block. A plain local socket, so the window needs no
// network library for it.
int connectNow(const QString &server)
{
    const QByteArray path = QFile::encodeName(server);
    struct sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    // A local socket connects or is refused within the call; only a display
    // whose queue is full leaves it pending, which counts as absent.
    if (::connect(fd, reinterpret_cast<const struct sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    if (!peerIsThisUser(fd)) {
        qCWarning(lcPlatform, "The display socket %s belongs to another user: nothing is sent",
                  qPrintable(server));
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool LocalSocketOsdChannel::windowExists()
{
    const int fd = connectNow(m_server);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

qint32 LocalSocketOsdChannel::send(const QByteArray &payload)
{
    const int fd = connectNow(m_server);
    if (fd < 0)
        return 0;
    // One message fits a fresh socket's buffer whole; a display that hung up
    // already shows up as no answer below.
    if (::send(fd, payload.constData(), size_t(payload.size()), MSG_NOSIGNAL) != payload.size())
        qCDebug(lcPlatform, "The display took the message only in part");
    // The answer is read when it comes; the socket goes when it has come,
    // when the display hangs up, or after two seconds.
    auto *exchange = new QObject;
    auto *readable = new QSocketNotifier(fd, QSocketNotifier::Read, exchange);
    auto *timer = new QTimer(exchange);
    timer->setSingleShot(true);
    auto answer = std::make_shared<QByteArray>();
    auto done = std::make_shared<bool>(false);
    const auto finish = [fd, exchange, readable, answer, done](bool timedOut) {
        if (*done)
            return;
        *done = true;
        const bool shown = answer->size() >= 4
            && qFromLittleEndian<qint32>(reinterpret_cast<const uchar *>(answer->constData())) != 0;
        if (!shown)
            qCDebug(lcPlatform, timedOut ? "The display did not answer" : "SendMessage failed\n");
        readable->setEnabled(false);
        ::close(fd);
        exchange->deleteLater();
    };
    QObject::connect(readable, &QSocketNotifier::activated, exchange, [fd, answer, finish] {
        char buffer[64];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return;
        if (got > 0)
            answer->append(buffer, int(got));
        if (got <= 0 || answer->size() >= 4)
            finish(false);   // answered, hung up, or broken
    });
    QObject::connect(timer, &QTimer::timeout, exchange, [finish] { finish(true); });
    timer->start(2000);
    return 1;
}

} // namespace platform

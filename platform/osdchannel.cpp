#include "platform/osdchannel.h"

#include <QLocalSocket>
#include <QtEndian>
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
    QString name = QStringLiteral("mousecfg-osd-%1-").arg(::getuid());
    for (const QChar c : windowTitle)
        name += c.isLetterOrNumber() ? c : QLatin1Char('_');
    return name;
}

LocalSocketOsdChannel::LocalSocketOsdChannel(const QString &windowTitle)
    : m_server(osdServerName(windowTitle))
{
}

bool LocalSocketOsdChannel::windowExists()
{
    QLocalSocket socket;
    socket.connectToServer(m_server);
    const bool found = socket.waitForConnected(200);
    socket.abort();
    return found;
}

qint32 LocalSocketOsdChannel::send(const QByteArray &payload)
{
    QLocalSocket socket;
    socket.connectToServer(m_server);
    if (!socket.waitForConnected(200))
        return 0;
    socket.write(payload);
    if (!socket.waitForBytesWritten(1000))
        return 0;
    QByteArray answer;
    while (answer.size() < 4 && socket.waitForReadyRead(1000))
        answer += socket.readAll();
    if (answer.size() < 4)
        return 0;
    return qFromLittleEndian<qint32>(reinterpret_cast<const uchar *>(answer.constData()));
}

} // namespace platform

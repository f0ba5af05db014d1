#include "platform/osdhandoff.h"

#include "platform/logging.h"

#include <QtDebug>

namespace platform {

OsdHandOff::OsdHandOff(QObject *parent)
    : QObject(parent)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(RETRY_MS);
    connect(&m_retry, &QTimer::timeout, this, &OsdHandOff::step);
}

void OsdHandOff::show(OsdChannel *channel, const QByteArray &payload, std::function<void()> start)
{
    m_channel = channel;
    m_payload = payload;
    m_start = std::move(start);
    // Already waiting for the display: the newer text goes when it is up.
    if (m_retry.isActive())
        return;
    m_starts = 0;
    step();
}

void OsdHandOff::step()
{
    if (!m_channel)
        return;
    if (m_channel->windowExists()) {
        const bool delivered = m_channel->send(m_payload) != 0;
        if (!delivered)
            qCDebug(lcPlatform, "SendMessage failed\n");
        m_channel = nullptr;
        emit finished(delivered);
        return;
    }
    if (m_starts >= MAX_STARTS) {
        qCDebug(lcPlatform, "The on-screen display did not come up; the message is dropped");
        m_channel = nullptr;
        emit finished(false);
        return;
    }
    ++m_starts;
    if (m_start)
        m_start();
    m_retry.start();
}

} // namespace platform

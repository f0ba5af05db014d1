#pragma once
// Showing a text on the on-screen display without ever holding up the caller:
// when the display is not there it is started, and looked for again 500 ms
// later by a timer, at most five starts in all, after which the message is
// dropped. A message asked for while an earlier one still waits for the
// display takes its place (the display shows only the latest anyway).

#include "platform/osdchannel.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>

namespace platform {

class OsdHandOff : public QObject {
    Q_OBJECT
public:
    enum { MAX_STARTS = 5, RETRY_MS = 500 };

    explicit OsdHandOff(QObject *parent = nullptr);

    // Returns at once. `channel` must outlive the hand-off of this message;
    // `start` starts the display program.
    void show(OsdChannel *channel, const QByteArray &payload, std::function<void()> start);
    // A message waits for the display to come up.
    bool isWaiting() const { return m_retry.isActive(); }

signals:
    // The message was handed to the display (true) or dropped (false).
    void finished(bool delivered);

private:
    void step();

    OsdChannel *m_channel = nullptr;
    QByteArray m_payload;
    std::function<void()> m_start;
    int m_starts = 0;
    QTimer m_retry;
};

} // namespace platform

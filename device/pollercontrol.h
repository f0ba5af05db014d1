#pragma once
// What the device link needs from the owner of the battery poller: stop it
// before a download sends its first frame, start it again after a successful
// one. The owner installs itself at start-up.

#include <QtGlobal>

struct PollerControl {
    virtual ~PollerControl() = default;
    // Returns once the poller no longer touches the control handle.
    virtual void stopPoller() = 0;
    virtual void startPoller() = 0;
};

// nullptr uninstalls; the download then runs without stopping anything.
void setPollerControl(PollerControl *control);
PollerControl *pollerControl();

// The mode byte of the last battery reply (0 until one arrives). Written by the
// poller thread, read by the DPI block (sensor 3395).
quint8 deviceModeByte();
void setDeviceModeByte(quint8 mode);

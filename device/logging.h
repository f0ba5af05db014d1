#pragma once
// The device link's diagnostic categories. Debug messages are off by default and
// warnings on; QT_LOGGING_RULES="mousecfg.*=true" turns the full trace on.
// Header-only, so a folder needs no source file for them.

#include <QLoggingCategory>

// mousecfg.device: discovery, command frames, downloads
inline const QLoggingCategory &lcDevice()
{
    static const QLoggingCategory category("mousecfg.device", QtWarningMsg);
    return category;
}

// mousecfg.poller: battery and status reports
inline const QLoggingCategory &lcPoller()
{
    static const QLoggingCategory category("mousecfg.poller", QtWarningMsg);
    return category;
}

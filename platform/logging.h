#pragma once
// The operating-system stand-ins's diagnostic categories. Debug messages are off by default and
// warnings on; QT_LOGGING_RULES="mousecfg.*=true" turns the full trace on.
// Header-only, so a folder needs no source file for them.

#include <QLoggingCategory>

// mousecfg.hotplug: device notifications and interface names
inline const QLoggingCategory &lcHotplug()
{
    static const QLoggingCategory category("mousecfg.hotplug", QtWarningMsg);
    return category;
}

// mousecfg.platform: pointer speed, single instance
inline const QLoggingCategory &lcPlatform()
{
    static const QLoggingCategory category("mousecfg.platform", QtWarningMsg);
    return category;
}

// mousecfg.osd: the on-screen display hand-off
inline const QLoggingCategory &lcOsd()
{
    static const QLoggingCategory category("mousecfg.osd", QtWarningMsg);
    return category;
}

#pragma once
// The profile store's diagnostic categories. Debug messages are off by default and
// warnings on; QT_LOGGING_RULES="mousecfg.*=true" turns the full trace on.
// Header-only, so a folder needs no source file for them.

#include <QLoggingCategory>

// mousecfg.profile: settings, profile and macro files
inline const QLoggingCategory &lcProfile()
{
    static const QLoggingCategory category("mousecfg.profile", QtWarningMsg);
    return category;
}

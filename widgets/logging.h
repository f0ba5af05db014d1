#pragma once
// The window and its pages's diagnostic categories. Debug messages are off by default and
// warnings on; QT_LOGGING_RULES="mousecfg.*=true" turns the full trace on.
// Header-only, so a folder needs no source file for them.

#include <QLoggingCategory>

// mousecfg.ui: the window, its pages and dialogs
inline const QLoggingCategory &lcUi()
{
    static const QLoggingCategory category("mousecfg.ui", QtWarningMsg);
    return category;
}

// mousecfg.ui.paint: each paint of the main window, with the area painted
// (bench_startup counts the whole-window ones).
inline const QLoggingCategory &lcPaint()
{
    static const QLoggingCategory category("mousecfg.ui.paint", QtWarningMsg);
    return category;
}

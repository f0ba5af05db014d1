#pragma once
// The main window's diagnostic categories. Debug messages are off by default and
// warnings on; QT_LOGGING_RULES="mousecfg.*=true" turns the full trace on.
// Header-only, so a folder needs no source file for them.

#include "device/logging.h"
#include "platform/logging.h"
#include "profile/logging.h"
#include "widgets/logging.h"

#include <QLoggingCategory>

// mousecfg.osd (the on-screen display hand-off) is declared with the
// platform's categories: the notification channel writes to it too.

#pragma once
// Shared by the tests meant for ThreadSanitizer.

#include <QtGlobal>

#if defined(__SANITIZE_THREAD__)
// QtTest's watchdog thread is started and torn down through Qt's own
// synchronisation, which ThreadSanitizer does not see into (Qt is not
// instrumented). What it reports about that thread's wait condition is not
// about this program; everything else is still checked.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:QWaitCondition::~QWaitCondition\n"
           "race:QTest::qRun\n";
}
#endif

namespace threadtest {

inline QtMessageHandler &previousHandler()
{
    static QtMessageHandler previous = nullptr;
    return previous;
}

// Hundreds of frames each log a debug line: keep the output readable.
inline void dropDebug(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtDebugMsg && previousHandler())
        previousHandler()(type, context, text);
}

inline void quietDebug()
{
    previousHandler() = qInstallMessageHandler(&dropDebug);
}

inline void restoreDebug()
{
    qInstallMessageHandler(previousHandler());
}

} // namespace threadtest

#pragma once
// Reports, once, the moment a widget's first paint has been delivered: the
// milliseconds since the process started and the peak resident set size.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

// Milliseconds since the kernel started this process.
inline double msSinceProcessStart()
{
    FILE *stat = std::fopen("/proc/self/stat", "r");
    unsigned long long startTicks = 0;
    if (stat) {
        // Field 22 is the start time in clock ticks after boot; field 2 may hold spaces.
        char buffer[1024] = {};
        const size_t n = std::fread(buffer, 1, sizeof buffer - 1, stat);
        std::fclose(stat);
        buffer[n] = '\0';
        const char *p = std::strrchr(buffer, ')');
        int field = 2;
        while (p && *p && field < 22) {
            if (*p == ' ')
                ++field;
            ++p;
        }
        if (p)
            startTicks = std::strtoull(p, nullptr, 10);
    }
    timespec boot {};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const double nowMs = boot.tv_sec * 1000.0 + boot.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

class FirstPaintProbe : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Report once the paint has been handled, then end the program.
            QTimer::singleShot(0, [] {
                rusage usage {};
                getrusage(RUSAGE_SELF, &usage);
                std::printf("first-paint-ms %.1f peak-rss-kb %ld\n", msSinceProcessStart(), usage.ru_maxrss);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

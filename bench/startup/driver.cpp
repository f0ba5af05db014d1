// Start-up as a user feels it: from launching the program to its main window
// being mapped on an X server, and to its first frame drawn, next to a bare
// Qt window of the same size started in the same run; peak memory of both. With --idle, what the program
// costs once it sits there with the mouse connected: CPU and wake-ups.
//
//   bench_startup [runs]          medians of `runs` warm starts (default 7)
//   bench_startup --idle [secs]   one start, then `secs` (default 30) of idling
//
// The driver starts its own Xvfb. mousecfg-demo runs without its simulated
// mouse panel (MOUSECFG_NO_PANEL=1) from a portable copy of the application
// directory, so the Configs folder is its own: the warm-up start writes the
// five slot files, every measured start is a returning user's.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QVector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/types.h>
#include <unistd.h>

namespace {

const int kWidth = 999;
const int kHeight = 640;

struct Display_ {
    QProcess server;
    Display *display = nullptr;
    QString name;
};

bool startServer(Display_ &x)
{
    for (int n = 90; n < 110; ++n) {
        if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
            continue;
        x.name = QStringLiteral(":%1").arg(n);
        x.server.start(QStringLiteral("Xvfb"), {x.name, QStringLiteral("-screen"), QStringLiteral("0"),
                                                QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                                QStringLiteral("tcp")});
        if (!x.server.waitForStarted(3000))
            return false;
        for (int i = 0; i < 100 && !x.display; ++i) {
            QThread::msleep(50);
            x.display = XOpenDisplay(x.name.toLatin1().constData());
        }
        if (x.display) {
            XSelectInput(x.display, DefaultRootWindow(x.display), SubstructureNotifyMask);
            XSync(x.display, True);
            return true;
        }
        x.server.kill();
        x.server.waitForFinished();
    }
    return false;
}

long peakRssKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Waits for a top-level window of the main window's size to be mapped.
Window waitForMainWindow(Display *display, QProcess &process, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify)
                continue;
            XWindowAttributes a;
            if (XGetWindowAttributes(display, event.xmap.window, &a) && a.width == kWidth && a.height == kHeight)
                return event.xmap.window;
        }
        if (process.state() == QProcess::NotRunning)
            return false;
        fd_set fds;
        FD_ZERO(&fds);
        const int fd = ConnectionNumber(display);
        FD_SET(fd, &fds);
        timeval tv{0, 2000};
        select(fd + 1, &fds, nullptr, nullptr, &tv);
    }
    return 0;
}

// Waits until the window's middle shows something other than the black of a
// window nothing has drawn into yet (opaque or clear, so the colour bits
// only): its first frame. Both programs draw a dark grey there.
bool waitForFirstFrame(Display *display, Window window, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    XErrorHandler previous = XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    bool painted = false;
    while (!painted && waited.elapsed() < timeoutMs) {
        if (XImage *image = XGetImage(display, window, kWidth / 2, kHeight / 2, 1, 1, AllPlanes, ZPixmap)) {
            painted = (XGetPixel(image, 0, 0) & 0xFFFFFF) != 0;
            XDestroyImage(image);
        }
        if (!painted)
            QThread::usleep(500);
    }
    XSetErrorHandler(previous);
    return painted;
}

struct Subject {
    const char *name;
    QString program;
    QProcessEnvironment env;
    QVector<double> ms;
    QVector<double> frameMs;
    long rssKb = 0;
};

bool runOnce(Display_ &x, Subject &s, double *ms, double *frameMs, long *rss, int idleSeconds = 0)
{
    QProcess process;
    process.setProcessEnvironment(s.env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    XSync(x.display, True);   // forget what came before
    QElapsedTimer timer;
    timer.start();
    process.start(s.program, QStringList());
    if (!process.waitForStarted(5000))
        return false;
    const Window window = waitForMainWindow(x.display, process, 20000);
    const bool mapped = window != 0;
    *ms = timer.nsecsElapsed() / 1e6;
    *frameMs = mapped && waitForFirstFrame(x.display, window, 20000) ? timer.nsecsElapsed() / 1e6 : 0;
    if (mapped && idleSeconds > 0) {
        // Let the start settle, then watch the process sit idle.
        QThread::sleep(2);
        const qint64 pid = process.processId();
        auto readTicks = [pid] {
            QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
            f.open(QIODevice::ReadOnly);
            const QByteArray s = f.readAll();
            const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
            return fields.value(11).toLongLong() + fields.value(12).toLongLong();   // utime + stime
        };
        auto threadSwitches = [pid] {
            QVector<QPair<QString, long long>> out;
            for (const QString &tid : QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                QFile f(QStringLiteral("/proc/%1/task/%2/status").arg(pid).arg(tid));
                f.open(QIODevice::ReadOnly);
                QString name;
                long long switches = 0;
                for (const QByteArray &line : f.readAll().split('\n')) {
                    if (line.startsWith("Name:"))
                        name = QString::fromLatin1(line.mid(5).trimmed());
                    if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
                        switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
                }
                out.append({tid + QLatin1Char(' ') + name, switches});
            }
            return out;
        };
        const long long t0 = readTicks();
        const auto s0 = threadSwitches();
        QElapsedTimer idle;
        idle.start();
        QThread::sleep(unsigned(idleSeconds));
        const double seconds = idle.nsecsElapsed() / 1e9;
        const long long t1 = readTicks();
        const auto s1 = threadSwitches();
        std::printf("idle %.0f s: CPU %.2f %% of a core\n", seconds,
                    100.0 * double(t1 - t0) / double(sysconf(_SC_CLK_TCK)) / seconds);
        for (const auto &t : s1) {
            long long before = 0;
            for (const auto &u : s0)
                if (u.first == t.first)
                    before = u.second;
            const bool gui = t.first.startsWith(QString::number(pid) + QLatin1Char(' '));
            std::printf("  thread %-28s %7.1f wake-ups/s%s\n", qPrintable(t.first), (t.second - before) / seconds,
                        gui ? "  (GUI thread)" : "");
        }
    }
    *rss = process.state() == QProcess::Running ? peakRssKb(process.processId()) : 0;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished();
    }
    return mapped;
}

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

// A portable copy of the application directory: the data linked, the
// Configs folder its own.
bool makePortableCopy(const QString &from, const QString &to)
{
    for (const QString &name : {QStringLiteral("DefaultProfile.bin"), QStringLiteral("skin"), QStringLiteral("lang"),
                                QStringLiteral("ConfigTemplate"), QStringLiteral("OSD"), QStringLiteral("mousecfg-demo")}) {
        if (QFileInfo::exists(from + QLatin1Char('/') + name)
            && !QFile::link(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
            return false;
    }
    return QDir(to).mkpath(QStringLiteral("Configs"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool idleMode = args.contains(QStringLiteral("--idle"));
    int runs = 7;
    int idleSeconds = 30;
    for (int i = 1; i < args.size(); ++i) {
        bool ok = false;
        const int n = args[i].toInt(&ok);
        if (ok && n > 0)
            (idleMode ? idleSeconds : runs) = n;
    }
    const QString dir = QCoreApplication::applicationDirPath();

    Display_ x;
    if (!startServer(x)) {
        std::fprintf(stderr, "cannot start Xvfb (install the xvfb package)\n");
        return 1;
    }
    QTemporaryDir appdir;
    if (!makePortableCopy(dir, appdir.path())) {
        std::fprintf(stderr, "cannot make a copy of %s\n", qPrintable(dir));
        return 1;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), x.name);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcessEnvironment demoEnv = env;
    demoEnv.insert(QStringLiteral("MOUSECFG_NO_PANEL"), QStringLiteral("1"));
    demoEnv.insert(QStringLiteral("MOUSECFG_APPDIR"), appdir.path());
    demoEnv.insert(QStringLiteral("XDG_RUNTIME_DIR"), appdir.path());

    // The bare window as any Qt program starts it, the same window without
    // the GL set-up (as mousecfg starts its own), and the program.
    QProcessEnvironment rasterEnv = env;
    rasterEnv.insert(QStringLiteral("BENCH_BARE_RASTER"), QStringLiteral("1"));
    Subject subjects[] = {{"bare Qt window", dir + QStringLiteral("/bench_startup_bare"), env, {}, {}},
                          {"bare Qt window, raster only", dir + QStringLiteral("/bench_startup_bare"), rasterEnv, {}, {}},
                          {"mousecfg-demo", appdir.path() + QStringLiteral("/mousecfg-demo"), demoEnv, {}, {}}};
    const int demoIndex = 2;
    // One warm-up run each: warm file cache, and the demo's first start
    // (which writes its five profile files) is not measured.
    double ms = 0;
    double frameMs = 0;
    long rss = 0;
    for (Subject &s : subjects) {
        if (!runOnce(x, s, &ms, &frameMs, &rss)) {
            std::fprintf(stderr, "%s did not map its window\n", s.name);
            return 1;
        }
    }
    if (idleMode) {
        std::printf("mousecfg-demo, mouse connected, nothing happening:\n");
        return runOnce(x, subjects[demoIndex], &ms, &frameMs, &rss, idleSeconds) ? 0 : 1;
    }
    for (int i = 0; i < runs; ++i) {
        for (Subject &s : subjects) {
            if (!runOnce(x, s, &ms, &frameMs, &rss)) {
                std::fprintf(stderr, "%s did not map its window\n", s.name);
                return 1;
            }
            s.ms << ms;
            s.frameMs << frameMs;
            s.rssKb = std::max(s.rssKb, rss);
        }
    }
    std::printf("Xvfb, %d warm runs, medians from launch\n", runs);
    std::printf("%-30s %9s %12s %14s\n", "", "mapped", "first frame", "peak RSS");
    for (const Subject &s : subjects)
        std::printf("%-30s %6.1f ms %9.1f ms %11.1f MB\n", s.name, median(s.ms), median(s.frameMs), s.rssKb / 1024.0);
    const Subject &bare = subjects[0];
    const Subject &demo = subjects[demoIndex];
    std::printf("ratio mousecfg-demo / bare Qt window: mapped %.2f, first frame %.2f, memory %.2f\n",
                median(demo.ms) / median(bare.ms), median(demo.frameMs) / median(bare.frameMs),
                double(demo.rssKb) / bare.rssKb);
    const Subject &raster = subjects[1];
    std::printf("ratio mousecfg-demo / bare raster-only window: mapped %.2f, first frame %.2f\n",
                median(demo.ms) / median(raster.ms), median(demo.frameMs) / median(raster.frameMs));
    x.server.terminate();
    x.server.waitForFinished(3000);
    return 0;
}

// Start-up as a user feels it: from launching the program to its main window
// being mapped on an X server, and to its first frame drawn, next to a bare
// Qt window of the same size started in the same run; peak memory of both;
// the window painted again whole in its first two seconds (as the program
// reports its paints in the mousecfg.ui.paint category). With --idle, what
// the program costs once it sits there with the mouse connected: CPU and
// wake-ups.
//
//   bench_startup [runs]          medians of `runs` rounds (default 7)
//   bench_startup --idle [secs]   one start, then `secs` (default 30) of idling
//
// The driver starts its own Xvfb. Each round starts every subject once, in
// turn, so a change of the machine's load touches them alike:
//   - a bare Qt program with a frameless 999 x 640 window as any Qt program
//     starts it, and the same program without the GL set-up (raster only, as
//     mousecfg starts its windows): the floor every ratio is taken against;
//   - mousecfg-demo without its simulated-mouse panel (MOUSECFG_NO_PANEL=1),
//     each from a portable copy of the application directory with a Configs
//     folder of its own: a returning user's (five slot files), a first start
//     (the Configs folder emptied before every run), and a returning user
//     with a library of 505 profiles;
//   - mousecfgctl-demo status, with 5 and with 505 library profiles, from
//     launch to its end.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
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
// How long each start of the program is watched for whole-window repaints.
const int kWatchMs = 2000;
const int kLibraryExtra = 500;
const int kCommandRunsPerRound = 5;

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

// What the X server said about the windows of one start: the main window
// (a top-level window of its size, once mapped).
struct Watch {
    Display *display = nullptr;
    QElapsedTimer *clock = nullptr;
    Window mainWindow = 0;
    double mappedMs = 0;

    // Handles what is pending, without waiting.
    void drain()
    {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify || mainWindow)
                continue;
            XWindowAttributes a;
            if (XGetWindowAttributes(display, event.xmap.window, &a) && a.width == kWidth && a.height == kHeight) {
                mainWindow = event.xmap.window;
                mappedMs = clock->nsecsElapsed() / 1e6;
            }
        }
    }

    // Waits until `done` holds or the time is over, handling events meanwhile.
    template <typename Done>
    bool waitFor(const Done &done, QProcess &process, int untilMs)
    {
        while (clock->elapsed() < untilMs) {
            drain();
            if (done())
                return true;
            if (process.state() == QProcess::NotRunning)
                return false;
            fd_set fds;
            FD_ZERO(&fds);
            const int fd = ConnectionNumber(display);
            FD_SET(fd, &fds);
            timeval tv{0, 500};
            select(fd + 1, &fds, nullptr, nullptr, &tv);
        }
        drain();
        return done();
    }
};

// The whole-window paints the program reported (its mousecfg.ui.paint
// debug lines: "Window painted: x,y wxh").
int wholeWindowPaints(const QByteArray &log)
{
    int paints = 0;
    static const QRegularExpression line(QStringLiteral("Window painted: (-?\\d+),(-?\\d+) (\\d+)x(\\d+)"));
    auto it = line.globalMatch(QString::fromLocal8Bit(log));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        // Most of the window: its shape cuts the corners off.
        if (qint64(m.captured(3).toInt()) * m.captured(4).toInt() >= qint64(kWidth) * kHeight * 8 / 10)
            ++paints;
    }
    return paints;
}

// True once the window's middle shows something other than the black of a
// window nothing has drawn into yet (opaque or clear, so the colour bits
// only): its first frame. Both programs draw a dark grey there.
bool painted(Display *display, Window window)
{
    XErrorHandler previous = XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    bool drawn = false;
    if (XImage *image = XGetImage(display, window, kWidth / 2, kHeight / 2, 1, 1, AllPlanes, ZPixmap)) {
        drawn = (XGetPixel(image, 0, 0) & 0xFFFFFF) != 0;
        XDestroyImage(image);
    }
    XSetErrorHandler(previous);
    return drawn;
}

enum class Kind { Window, Command };

struct Subject {
    const char *name = "";
    Kind kind = Kind::Window;
    QString program;
    QStringList args;
    QProcessEnvironment env;
    QString configs;           // emptied before every run when `fresh`
    bool fresh = false;
    bool watchRepaints = false;
    QVector<double> ms;        // mapped, or the whole run of a command
    QVector<double> frameMs;
    QVector<double> repaints;  // whole-window paints after the first frame
    long rssKb = 0;
};

bool emptyFolder(const QString &path)
{
    QDir dir(path);
    bool ok = true;
    for (const QFileInfo &entry : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        ok = (entry.isDir() && !entry.isSymLink() ? QDir(entry.filePath()).removeRecursively()
                                                   : QFile::remove(entry.filePath())) && ok;
    return ok;
}

bool runCommand(Subject &s, double *ms)
{
    QProcess process;
    process.setProcessEnvironment(s.env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(s.program, s.args);
    if (!process.waitForFinished(30000))
        return false;
    *ms = timer.nsecsElapsed() / 1e6;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

struct WindowRun {
    double mappedMs = 0;
    double frameMs = 0;
    int repaints = -1;         // -1: not counted
    long rssKb = 0;
};

bool runWindow(Display_ &x, Subject &s, WindowRun *out, int idleSeconds = 0)
{
    if (s.fresh && !emptyFolder(s.configs))
        return false;
    QProcess process;
    QProcessEnvironment env = s.env;
    if (s.watchRepaints)
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("mousecfg.ui.paint.debug=true"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(s.watchRepaints ? QProcess::SeparateChannels : QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    XSync(x.display, True);   // forget what came before
    QElapsedTimer timer;
    Watch watch;
    watch.display = x.display;
    watch.clock = &timer;
    timer.start();
    process.start(s.program, s.args);
    if (!process.waitForStarted(5000))
        return false;
    const bool mapped = watch.waitFor([&] { return watch.mainWindow != 0; }, process, 20000);
    out->mappedMs = watch.mappedMs;
    if (mapped && watch.waitFor([&] { return painted(x.display, watch.mainWindow); }, process, 20000))
        out->frameMs = timer.nsecsElapsed() / 1e6;
    if (mapped && s.watchRepaints) {
        // Watched for two seconds from launch: whole-window paints after the
        // first one are repaints of a window that was already drawn.
        watch.waitFor([] { return false; }, process, kWatchMs);
        out->repaints = std::max(0, wholeWindowPaints(process.readAllStandardError()) - 1);
    }
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
    out->rssKb = process.state() == QProcess::Running ? peakRssKb(process.processId()) : 0;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished();
    }
    // What it wrote goes to the disk now, not during the next one's start.
    ::sync();
    return mapped;
}

bool runOnce(Display_ &x, Subject &s, bool record)
{
    if (s.kind == Kind::Command) {
        // A command ends within some 30 ms, where a moment of the machine's
        // other work weighs heavily: five runs a round.
        for (int i = 0; i < kCommandRunsPerRound; ++i) {
            double ms = 0;
            if (!runCommand(s, &ms))
                return false;
            if (record)
                s.ms << ms;
        }
        return true;
    }
    WindowRun run;
    if (!runWindow(x, s, &run))
        return false;
    if (record) {
        s.ms << run.mappedMs;
        s.frameMs << run.frameMs;
        if (run.repaints >= 0)
            s.repaints << run.repaints;
        s.rssKb = std::max(s.rssKb, run.rssKb);
    }
    return true;
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
                                QStringLiteral("ConfigTemplate"), QStringLiteral("OSD"), QStringLiteral("mousecfg-demo"),
                                QStringLiteral("mousecfgctl-demo")}) {
        if (QFileInfo::exists(from + QLatin1Char('/') + name)
            && !QFile::link(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
            return false;
    }
    return QDir(to).mkpath(QStringLiteral("Configs"));
}

// Adds `count` profiles to the library of a Configs folder that a start has
// set up: copies of the default profile, listed as the window lists them.
bool growLibrary(const QString &configs, int count)
{
    const QString product =
        QSettings(configs + QStringLiteral("/Config.ini"), QSettings::IniFormat).value(QStringLiteral("Config/CurrentProductName")).toString();
    const QString productDir = product.isEmpty() ? configs : configs + QLatin1Char('/') + product;
    const QString profiles = productDir + QStringLiteral("/Profile");
    const QString source = profiles + QStringLiteral("/DefaultProfile.prof");
    QSettings list(productDir + QStringLiteral("/Config.ini"), QSettings::IniFormat);
    int listed = list.value(QStringLiteral("PROFILE_LIST/Count")).toInt();
    for (int i = 1; i <= count; ++i) {
        const QString name = QStringLiteral("Library %1").arg(i, 3, 10, QLatin1Char('0'));
        if (!QFile::copy(source, profiles + QLatin1Char('/') + name + QStringLiteral(".prof")))
            return false;
        list.setValue(QStringLiteral("PROFILE_LIST/%1").arg(++listed), name);
    }
    list.setValue(QStringLiteral("PROFILE_LIST/Count"), listed);
    list.sync();
    return list.status() == QSettings::NoError;
}

double loadAverage()
{
    double load = 0;
    if (FILE *f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = 0;
        std::fclose(f);
    }
    return load;
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
    QTemporaryDir returning, first, library;
    for (const QTemporaryDir *copy : {&returning, &first, &library}) {
        if (!makePortableCopy(dir, copy->path())) {
            std::fprintf(stderr, "cannot make a copy of %s\n", qPrintable(dir));
            return 1;
        }
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), x.name);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const auto demoEnv = [&env](const QTemporaryDir &copy) {
        QProcessEnvironment e = env;
        e.insert(QStringLiteral("MOUSECFG_NO_PANEL"), QStringLiteral("1"));
        e.insert(QStringLiteral("MOUSECFG_APPDIR"), copy.path());
        e.insert(QStringLiteral("XDG_RUNTIME_DIR"), copy.path());
        return e;
    };
    QProcessEnvironment rasterEnv = env;
    rasterEnv.insert(QStringLiteral("BENCH_BARE_RASTER"), QStringLiteral("1"));
    const QString bare = dir + QStringLiteral("/bench_startup_bare");
    const QString status = QStringLiteral("status");

    const auto subject = [](const char *name, Kind kind, const QString &program, const QStringList &arguments,
                            const QProcessEnvironment &environment) {
        Subject s;
        s.name = name;
        s.kind = kind;
        s.program = program;
        s.args = arguments;
        s.env = environment;
        return s;
    };
    Subject subjects[] = {
        subject("bare Qt window", Kind::Window, bare, {}, env),
        subject("bare Qt window, raster only", Kind::Window, bare, {}, rasterEnv),
        subject("mousecfg-demo, returning user", Kind::Window, returning.path() + QStringLiteral("/mousecfg-demo"), {},
                demoEnv(returning)),
        subject("mousecfg-demo, first start", Kind::Window, first.path() + QStringLiteral("/mousecfg-demo"), {},
                demoEnv(first)),
        subject("mousecfg-demo, 505 profiles", Kind::Window, library.path() + QStringLiteral("/mousecfg-demo"), {},
                demoEnv(library)),
        subject("mousecfgctl-demo status", Kind::Command, returning.path() + QStringLiteral("/mousecfgctl-demo"),
                {status}, demoEnv(returning)),
        subject("mousecfgctl-demo status, 505 profiles", Kind::Command,
                library.path() + QStringLiteral("/mousecfgctl-demo"), {status}, demoEnv(library)),
    };
    // (X11 defines Status.)
    enum { Bare, Raster, Returning, First, Library, CtlStatus, CtlLibraryStatus };
    subjects[First].configs = first.path() + QStringLiteral("/Configs");
    subjects[First].fresh = true;
    for (int i : {Returning, First, Library})
        subjects[i].watchRepaints = true;

    // Warm-up: the file cache, each Configs folder set up by a first start
    // that is not measured, and the library grown to 505 profiles.
    for (Subject &s : subjects) {
        if (!runOnce(x, s, false)) {
            std::fprintf(stderr, "%s did not start\n", s.name);
            return 1;
        }
    }
    if (!growLibrary(library.path() + QStringLiteral("/Configs"), kLibraryExtra)
        || !runOnce(x, subjects[Library], false)) {
        std::fprintf(stderr, "cannot make a library of %d profiles\n", kLibraryExtra + 5);
        return 1;
    }
    if (idleMode) {
        std::printf("mousecfg-demo, mouse connected, nothing happening:\n");
        WindowRun run;
        return runWindow(x, subjects[Returning], &run, idleSeconds) ? 0 : 1;
    }
    const double loadBefore = loadAverage();
    // Each round starts with the next subject, so none always follows the
    // same one (a first start, say, whose files the system is still writing).
    const int count = int(sizeof subjects / sizeof subjects[0]);
    for (int i = 0; i < runs; ++i) {
        for (int k = 0; k < count; ++k) {
            Subject &s = subjects[(i + k) % count];
            if (!runOnce(x, s, true)) {
                std::fprintf(stderr, "%s did not start\n", s.name);
                return 1;
            }
        }
    }
    const double loadAfter = loadAverage();

    std::printf("Xvfb, %d rounds (subjects in turn, each round starting with the next; commands %d times a round), medians from launch; load average %.2f before, %.2f after\n",
                runs, kCommandRunsPerRound, loadBefore, loadAfter);
    std::printf("%-40s %9s %12s %10s %10s\n", "", "mapped", "first frame", "peak RSS", "repaints");
    for (const Subject &s : subjects) {
        if (s.kind == Kind::Command) {
            std::printf("%-40s %6.1f ms (to its end)\n", s.name, median(s.ms));
            continue;
        }
        std::printf("%-40s %6.1f ms %9.1f ms %7.1f MB", s.name, median(s.ms), median(s.frameMs), s.rssKb / 1024.0);
        if (!s.repaints.isEmpty())
            std::printf(" %6.0f (most %.0f)", median(s.repaints), *std::max_element(s.repaints.begin(), s.repaints.end()));
        std::printf("\n");
    }
    const Subject &raster = subjects[Raster];
    const auto ratio = [&](int i) { return median(subjects[i].ms) / median(raster.ms); };
    std::printf("\nratios to the bare raster-only window (the floor):\n");
    std::printf("  mapped, returning user      %.2f   (first frame %.2f)\n", ratio(Returning),
                median(subjects[Returning].frameMs) / median(raster.frameMs));
    std::printf("  mapped, first start         %.2f   (first frame %.2f)\n", ratio(First),
                median(subjects[First].frameMs) / median(raster.frameMs));
    std::printf("  peak RSS, returning user    %.2f   (first start %.2f)\n",
                double(subjects[Returning].rssKb) / raster.rssKb, double(subjects[First].rssKb) / raster.rssKb);
    std::printf("505 profiles / 5 profiles:\n");
    std::printf("  mapped                      %.2f\n", median(subjects[Library].ms) / median(subjects[Returning].ms));
    std::printf("  mousecfgctl-demo status     %.2f\n", median(subjects[CtlLibraryStatus].ms) / median(subjects[CtlStatus].ms));
    std::printf("mousecfg-demo / bare Qt window with its GL set-up: mapped %.2f, memory %.2f\n",
                median(subjects[Returning].ms) / median(subjects[Bare].ms),
                double(subjects[Returning].rssKb) / subjects[Bare].rssKb);
    x.server.terminate();
    x.server.waitForFinished(3000);
    return 0;
}

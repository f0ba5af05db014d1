// Start-up time to the first painted frame and peak memory of the demo
// program, next to a bare Qt widget program of the same size.
//
//   bench_startup [runs]      (QT_QPA_PLATFORM decides the display, offscreen by default)

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QVector>
#include <algorithm>
#include <cstdio>

namespace {
struct Run {
    double wallMs = 0;    // measured here, from starting the process
    double selfMs = 0;    // reported by the program, from its own start
    long rssKb = 0;
};

bool runOnce(const QString &program, Run &run)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(program, QStringList());
    if (!process.waitForStarted(5000))
        return false;
    QByteArray out;
    static const QRegularExpression line(QStringLiteral("first-paint-ms ([0-9.]+) peak-rss-kb ([0-9]+)"));
    while (process.waitForReadyRead(20000)) {
        out += process.readAllStandardOutput();
        const auto match = line.match(QString::fromLatin1(out));
        if (match.hasMatch()) {
            run.wallMs = timer.nsecsElapsed() / 1e6;
            run.selfMs = match.captured(1).toDouble();
            run.rssKb = match.captured(2).toLong();
            process.waitForFinished(5000);
            return true;
        }
    }
    if (process.state() == QProcess::NotRunning && process.exitCode() == 1)
        std::fprintf(stderr, "%s ended at once: another copy of the program is running\n", qPrintable(program));
    process.kill();
    process.waitForFinished();
    return false;
}

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString dir = QCoreApplication::applicationDirPath();
    QTemporaryDir configs;
    qputenv("MOUSECFG_BENCH_CONFIGS", configs.path().toLocal8Bit());
    struct Subject { const char *name; QString program; QVector<double> wall, self; long rss = 0; };
    Subject subjects[] = {{"bare Qt window", dir + "/bench_startup_bare", {}, {}},
                          {"mousecfg-demo", dir + "/bench_startup_app", {}, {}}};
    // One warm-up run each: both start from a warm file cache, and the demo's
    // first start (which creates its five profile files) is not measured.
    for (Subject &s : subjects) {
        Run warm;
        if (!runOnce(s.program, warm)) {
            std::fprintf(stderr, "%s did not paint\n", s.name);
            return 1;
        }
    }
    for (int i = 0; i < runs; ++i) {
        for (Subject &s : subjects) {
            Run r;
            if (!runOnce(s.program, r)) {
                std::fprintf(stderr, "%s did not paint\n", s.name);
                return 1;
            }
            s.wall << r.wallMs;
            s.self << r.selfMs;
            s.rss = std::max(s.rss, r.rssKb);
        }
    }
    std::printf("platform: %s, %d runs, medians\n",
                qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? "xcb" : qgetenv("QT_QPA_PLATFORM").constData(), runs);
    std::printf("%-16s %14s %14s %14s\n", "", "to first paint", "(own clock)", "peak RSS");
    for (const Subject &s : subjects)
        std::printf("%-16s %11.1f ms %11.1f ms %10.1f MB\n", s.name, median(s.wall), median(s.self), s.rss / 1024.0);
    std::printf("ratio mousecfg-demo / bare: time %.2f, memory %.2f\n",
                median(subjects[1].wall) / median(subjects[0].wall), double(subjects[1].rss) / subjects[0].rss);
    return 0;
}

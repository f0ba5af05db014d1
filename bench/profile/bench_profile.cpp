// Loads and saves the saved profile set (Config.ini + five slot files) N times
// and prints the milliseconds per operation. Prints figures only.
//
//   bench_profile [iterations]   (default 20)

#include "profile/configstore.h"
#include "profile/paths.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"
#include "profile/slotcache.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

void fill(ProfileSet &set)
{
    resetProfileSet(set);
    for (int s = 0; s < SLOT_COUNT; ++s) {
        ProfileData &p = set.profiles[s];
        buildDefaultProfile(p);
        for (int b = 0; b < BUTTON_COUNT; ++b)
            for (int k = 0; k < KEYINFO_COUNT; ++k)
                p.buttons[b].KeyInfo[k] = {quint8(k), quint8(b), quint8(s)};
        set.names[s] = QStringLiteral("Bench %1").arg(s + 1);
    }
}

double measure(int iterations, const std::function<void()> &operation)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < iterations; ++i)
        operation();
    return double(timer.nsecsElapsed()) / 1e6 / iterations;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int iterations = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 20;
    QTemporaryDir dir;
    setConfigsBase(dir.path() + QStringLiteral("/Configs"));

    ProfileSet &saved = savedSet();
    fill(saved);
    saveSlotNames(saved);
    for (int s = 0; s < SLOT_COUNT; ++s)
        writeSlotFile(saved.profiles[s], saved.names[s]);

    // A returning user's start: the slot files unchanged since they were last
    // parsed. Then the same load parsing every file, as after they changed.
    loadProfileSet(saved);
    const double load = measure(iterations, [&] { loadProfileSet(saved); });
    setSlotCacheEnabled(false);
    const double loadParsing = measure(iterations, [&] { loadProfileSet(saved); });
    setSlotCacheEnabled(true);
    // Each save has something new for Config.ini (a device-wide option) as
    // well as the active slot's file, which is written whole every time.
    int round = 0;
    const double save = measure(iterations, [&] {
        saved.Debounce = quint8(4 + (++round % 2));
        saveProfileSet(saved);
        saveSlotNames(saved);
    });
    const double writeOne = measure(iterations, [&] { writeSlotFile(saved.profiles[1], saved.names[1]); });
    ProfileData one;
    const double readOne = measure(iterations, [&] { readSlotFile(one, saved.names[1]); });
    const QString conf = dir.path() + QStringLiteral("/bench.conf");
    const double exportAll = measure(iterations, [&] { exportConfig(saved, conf); });
    ProfileSet imported = saved;
    const double importAll = measure(iterations, [&] { importConfig(imported, conf); });
    const ProfileSet copy = saved;   // identical: the whole walk runs
    const double compare = measure(iterations * 10, [&] { compareProfileSets(copy, saved); });

    std::printf("profile store, %d iterations\n", iterations);
    std::printf("  load saved set (Config.ini + 5 slot files)   %8.2f ms   (files unchanged since last parsed)\n", load);
    std::printf("  load saved set, parsing every file           %8.2f ms\n", loadParsing);
    std::printf("  save set (saveProfileSet + saveSlotNames)    %8.2f ms   (Config.ini and the active slot's file)\n", save);
    std::printf("  load + save                                  %8.2f ms   (goal: 30 ms)\n", load + save);
    std::printf("  write one slot file (8316 button keys)       %8.2f ms\n", writeOne);
    std::printf("  read one slot file                           %8.2f ms\n", readOne);
    std::printf("  export configuration (.conf, 5 profiles)     %8.2f ms\n", exportAll);
    std::printf("  import configuration                         %8.2f ms\n", importAll);
    std::printf("  compare working and saved set                %8.3f ms\n", compare);
    return 0;
}

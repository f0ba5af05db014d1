// Apply under faults: random edits of the working set, each written by the
// apply's write thread to the simulated mouse while the mouse misbehaves
// (failed writes and reads, silence, zero or garbled or short echoes, an
// unplug in the middle of the download). The oracle: whenever a write reports
// success, the mouse holds exactly the blocks the working set makes; whenever
// it reports a failure, the pending-write flag on disk is 1.
//
// Seeded and bounded. MOUSECFG_FAULT_SEED picks the seed (a failure prints
// it), MOUSECFG_FAULT_TRIALS the number of trials (default 80), e.g.
//   MOUSECFG_FAULT_TRIALS=20000 MOUSECFG_FAULT_SEED=7 tests/bin/tst_applyfaults

#include "app/applyflow.h"
#include "device/buttoncatalogue.h"
#include "device/commands.h"
#include "device/download.h"
#include "device/pollercontrol.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/macrostore.h"
#include "profile/profileset.h"
#include "tests/link/linktest.h"

#include <QtTest>
#include <atomic>
#include <functional>
#include <random>

namespace {

constexpr quint32 kDefaultSeed = 20261208;
constexpr int kDefaultTrials = 80;
const char *const kMacros[] = {"burst", "reload", "combo"};

int envInt(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

// Stands in for the window's poller: counts the download's requests and
// checks that they come from the write thread.
class CountingPoller : public PollerControl {
public:
    std::atomic<int> stops{0};
    std::atomic<int> starts{0};
    std::atomic<int> fromMainThread{0};
    void stopPoller() override { note(stops); }
    void startPoller() override { note(starts); }

private:
    void note(std::atomic<int> &counter)
    {
        counter.fetch_add(1);
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            fromMainThread.fetch_add(1);
    }
};

// What the mouse's memory must hold for a profile set: the general block,
// the active slot's DPI stages, button table and lighting records, and the
// macro slots that its buttons use (other slots may hold anything).
struct Images {
    QByteArray settings, dpi, keys, lighting, macros;
    QVector<int> macroSlots;
    int activeProfile = 0;
};

Images expectedImages(const ProfileSet &set)
{
    Images im;
    im.settings = settingsBlockBytes(set, descriptionInt(QStringLiteral("Sync")), lightingSlot(set));
    im.dpi = dpiBlockBytes(set.profiles[activeSlot(set)], dpiStageCount(), sensorCode(), deviceModeByte());
    im.lighting = lightingBlockBytes(set.profiles[lightingSlot(set)]);
    ProfileSet snapshot = set;
    std::array<quint8, BUTTON_TABLE_SIZE> table = {};
    MacroSlotTable slotTable;
    fillButtonTable(table, snapshot.profiles[activeSlot(snapshot)], currentButtonLayout(), slotTable);
    im.keys = QByteArray(sim::KEYS_IMAGE_SIZE, '\0');
    const int used = 2 + 4 * BUTTON_SLOTS;
    std::copy_n(table.begin(), used, im.keys.begin());
    for (int i = 0; i < 4; ++i)
        im.keys[used + i] = char(0xFF);
    buildMacroMemory(snapshot, slotTable, im.macros);
    for (int k = 0; k < MACRO_SLOTS; ++k) {
        const char *slot = im.macros.constData() + k * MACRO_SLOT_SIZE;
        if (std::any_of(slot, slot + 5, [](char b) { return b != 0; }))
            im.macroSlots.append(k);
    }
    im.activeProfile = set.ProfileID;
    return im;
}

// Empty when the mouse holds `im`, else what differs.
QString differences(const Images &im)
{
    QStringList diff;
    auto check = [&diff](const char *what, const QByteArray &want, const QByteArray &have) {
        if (want != have)
            diff << QStringLiteral("%1 block: want %2, mouse has %3")
                        .arg(QLatin1String(what), QString::fromLatin1(want.toHex(' ')),
                             QString::fromLatin1(have.toHex(' ')));
    };
    check("general", im.settings, sim::block(sim::Block::Settings));
    check("DPI", im.dpi, sim::block(sim::Block::Dpi));
    check("button", im.keys, sim::block(sim::Block::Keys));
    check("lighting", im.lighting, sim::block(sim::Block::Lighting));
    const QByteArray macros = sim::block(sim::Block::Macros);
    for (int k : im.macroSlots) {
        const QByteArray want = im.macros.mid(k * MACRO_SLOT_SIZE, MACRO_SLOT_SIZE);
        const QByteArray have = macros.mid(k * MACRO_SLOT_SIZE, MACRO_SLOT_SIZE);
        if (want != have)
            diff << QStringLiteral("macro slot %1 differs").arg(k);
    }
    if (sim::activeProfile() != im.activeProfile)
        diff << QStringLiteral("active profile %1, want %2").arg(sim::activeProfile()).arg(im.activeProfile);
    if (sim::updateOpen())
        diff << QStringLiteral("update bracket left open");
    return diff.join(QLatin1Char('\n'));
}

} // namespace

class TestApplyFaults : public QObject {
    Q_OBJECT

    std::mt19937 m_rng;
    ProfileSet m_working;
    ProfileSet m_saved;
    CountingPoller m_poller;

    // Fault script of the current trial, run from the write thread as frames
    // reach the mouse.
    std::function<void(int)> m_onFrame;
    std::atomic<int> m_framesThisTrial{0};
    std::atomic<bool> m_inScript{false};

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    static void reopen()
    {
        closeDevice();
        loadDeviceTable();
        enumerateDevices();
        openDevice("VELKOR");
    }

    QVector<KeyInfo> randomEvents()
    {
        QVector<KeyInfo> events(pick(0, 12));
        for (KeyInfo &e : events) {
            e.map = quint8(pick(0, 5));   // no 6: the body gets its separators
            e.dataL = quint8(pick(1, 255));
            e.dataH = quint8(pick(0, 3));
        }
        return events;
    }

    // One edit a user can make between two writes; returns what it was.
    QString randomEdit()
    {
        ProfileSet &s = m_working;
        const int active = s.ProfileID;
        ProfileData &p = s.profiles[active];
        switch (pick(0, 12)) {
        case 0: {
            const int slot = pick(0, SLOT_COUNT - 1);
            s.profiles[slot].pollrate = quint8(pick(0, 3));
            s.profiles[slot].scrollspeed = quint8(pick(1, 10));
            return QStringLiteral("report rate and scroll speed of slot %1").arg(slot);
        }
        case 1:
            s.ProfileID = quint8(pick(0, SLOT_COUNT - 1));
            return QStringLiteral("active slot %1").arg(s.ProfileID);
        case 2:
            p.dpi = quint8(pick(0, 5));
            return QStringLiteral("active stage");
        case 3:
            s.AngleValue = quint8(pick(0, 1));
            s.Sync = quint8(pick(0, 1));
            return QStringLiteral("angle snapping and motion sync");
        case 4:
            s.Jitter = quint8(pick(0, 1));
            s.LiftHigh = quint8(pick(0, 1));
            return QStringLiteral("ripple control and lift-off");
        case 5:
            s.Debounce = quint8(pick(2, 40));
            return QStringLiteral("button response");
        case 6:
            p.LedMoveOFF = quint8(pick(0, 1));
            p.LedSleepTime = quint8(pick(1, 10));
            return QStringLiteral("lighting sleep options");
        case 7: {
            const int stage = pick(0, 5);
            p.stages[stage].used = quint8(pick(0, 1));
            p.stages[stage].x = quint32(pick(1, 400));
            p.stages[stage].y = chance(50) ? p.stages[stage].x : quint32(pick(1, 400));
            return QStringLiteral("DPI stage %1").arg(stage);
        }
        case 8: {
            p.LedMode = quint8(pick(0, EFFECT_COUNT - 1));
            LightEffect &e = p.effects[p.LedMode];
            e.colour = QColor(pick(0, 255), pick(0, 255), pick(0, 255));
            e.bright = pick(1, 4);
            e.breath = pick(1, 5);
            return QStringLiteral("lighting effect %1").arg(p.LedMode);
        }
        case 9: {
            const int entry = chance(80) ? pick(0, 7) : pick(40, 41);
            ButtonEntry &b = p.buttons[entry];
            static const int funs[] = {1, 2, 3, 4, 5, 16, 52, 53};
            b = ButtonEntry();
            b.Fun = funs[pick(0, 7)];
            return QStringLiteral("button %1 function %2").arg(entry).arg(b.Fun);
        }
        case 10: {
            const int entry = pick(0, 7);
            ButtonEntry &b = p.buttons[entry];
            b = ButtonEntry();
            b.Fun = FUN_MACRO;
            b.LoopNumber = pick(1, 3);
            b.macroname = QString::fromLatin1(kMacros[pick(0, 2)]);
            return QStringLiteral("button %1 macro %2").arg(entry).arg(b.macroname);
        }
        case 11: {
            const QString name = QString::fromLatin1(kMacros[pick(0, 2)]);
            saveMacro(name, MacroSettings(), randomEvents());
            return QStringLiteral("macro %1 edited").arg(name);
        }
        default:
            return QStringLiteral("no edit");
        }
    }

    // Arms one fault for the coming write; returns what it is.
    QString randomFault(QMap<QString, int> &kinds)
    {
        if (chance(35)) {
            ++kinds[QStringLiteral("none")];
            return QStringLiteral("no fault");
        }
        const int at = pick(0, 70);   // frames of this write before it strikes
        QString what, kind;
        std::function<void()> strike;
        switch (pick(0, 6)) {
        case 0: {
            const int n = pick(1, 2);
            what = QStringLiteral("%1 failed writes").arg(n);
            kind = QStringLiteral("failed writes");
            strike = [n] { sim::failWrites(n); };
            break;
        }
        case 1: {
            const int n = pick(1, 70);
            what = QStringLiteral("%1 failed reads").arg(n);
            kind = QStringLiteral("failed reads");
            strike = [n] { sim::failReads(n); };
            break;
        }
        case 2: {
            const int span = chance(50) ? pick(1, 8) : 1000;
            what = QStringLiteral("silence for %1 frames").arg(span);
            kind = QStringLiteral("silence");
            strike = [this, span] {
                sim::setSilent(true);
                const int until = m_framesThisTrial.load() + span;
                m_onFrame = [until](int frames) {
                    if (frames >= until)
                        sim::setSilent(false);
                };
            };
            break;
        }
        case 3: {
            const int span = chance(50) ? pick(1, 8) : 1000;
            what = QStringLiteral("zero replies for %1 frames").arg(span);
            kind = QStringLiteral("zero replies");
            strike = [this, span] {
                sim::setAllZeroReplies(true);
                const int until = m_framesThisTrial.load() + span;
                m_onFrame = [until](int frames) {
                    if (frames >= until)
                        sim::setAllZeroReplies(false);
                };
            };
            break;
        }
        case 4:
        case 5: {
            static const sim::EchoFault faults[] = {
                sim::EchoFault::HeaderMismatch, sim::EchoFault::DataMismatch, sim::EchoFault::AllZero,
                sim::EchoFault::Truncated, sim::EchoFault::ChecksumByte, sim::EchoFault::SegmentByte};
            const sim::EchoFault first = faults[pick(0, 5)];
            const sim::EchoFault second = faults[pick(0, 5)];
            const int n1 = pick(1, 25);
            const int n2 = pick(0, 6);
            what = QStringLiteral("echo faults %1 x%2 then %3 x%4").arg(int(first)).arg(n1).arg(int(second)).arg(n2);
            kind = QStringLiteral("spoiled echoes");
            strike = [=] {
                sim::injectEchoFault(first, n1);
                if (n2 > 0)
                    sim::appendEchoFault(second, n2);
            };
            break;
        }
        default: {
            const int n = pick(1, 60);
            const sim::Side side = sim::isPlugged(sim::Side::Cable) ? sim::Side::Cable : sim::Side::Receiver;
            ++kinds[QStringLiteral("unplug")];
            sim::unplugAfterFrames(side, n);
            return QStringLiteral("unplug after %1 frames").arg(n);
        }
        }
        ++kinds[kind];
        what += QStringLiteral(" from frame %1").arg(at);
        if (at == 0) {
            strike();
        } else {
            m_onFrame = [this, at, strike](int frames) {
                if (frames >= at) {
                    m_onFrame = nullptr;
                    strike();
                }
            };
        }
        return what;
    }

private slots:
    void initTestCase()
    {
        // Every apply saves the profile files twice; on a memory file system
        // their syncs cost nothing, so the trials measure the apply.
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
            m_configs.reset(new QTemporaryDir(QStringLiteral("/dev/shm/mousecfg-applyfaults-XXXXXX")));
            if (m_configs->isValid())
                setConfigsBase(m_configs->path());
        }
        writeDeviceFacts({8, 6, 2, 0, {0, 1, 2, 3, 4, 5, 6, 7}});
        writeSensor(3389);
        setPollerControl(&m_poller);
        connect(
            sim::observer(), &sim::Observer::changed, this,
            [this] {
                // Counts frames that reached the mouse; runs the trial's
                // fault script (its own setter calls come back here).
                if (m_inScript.exchange(true))
                    return;
                const int frames = sim::writtenFrames().size();
                m_framesThisTrial.store(frames);
                // A copy: the script may replace itself.
                if (const std::function<void(int)> script = m_onFrame)
                    script(frames);
                m_inScript.store(false);
            },
            Qt::DirectConnection);
    }

    void cleanupTestCase() { setPollerControl(nullptr); }

    void successMeansTheMouseHoldsTheData()
    {
        const quint32 seed = quint32(envInt("MOUSECFG_FAULT_SEED", int(kDefaultSeed)));
        const int trials = envInt("MOUSECFG_FAULT_TRIALS", kDefaultTrials);
        m_rng.seed(seed);

        LinkFixture::fresh();
        resetDeviceTables();
        LinkFixture::connect(true, false);
        resetProfileSet(m_working);
        for (int i = 1; i < SLOT_COUNT; ++i)
            buildDefaultProfile(m_working.profiles[i]);
        for (const char *name : kMacros)
            saveMacro(QString::fromLatin1(name), MacroSettings(), randomEvents());
        m_saved = m_working;
        writeDiff(1);   // a new mouse: the first write sends everything

        QMap<QString, int> kinds;
        int successes = 0, failures = 0, nothingSent = 0;
        for (int trial = 0; trial < trials; ++trial) {
            const QString edit = chance(75) ? randomEdit() : QStringLiteral("no edit");
            const bool everything = chance(4);
            if (chance(4))
                writeDiff(1);   // the mouse reported a lost write
            sim::resetCounters();
            m_framesThisTrial.store(0);
            const bool receiverBefore = sim::isPlugged(sim::Side::Receiver);
            const bool cableBefore = sim::isPlugged(sim::Side::Cable);
            const int stopsBefore = m_poller.stops.load();
            const int startsBefore = m_poller.starts.load();
            const QString fault = randomFault(kinds);

            ZelProcessThread thread(m_working, m_saved, everything);
            thread.start();
            QVERIFY(thread.wait(120000));
            if (thread.downloaded())
                m_saved = thread.written();
            m_onFrame = nullptr;
            sim::clearFaults();

            const QString context = QStringLiteral("seed %1, trial %2: %3; %4%5; result %6")
                                        .arg(seed).arg(trial).arg(edit, fault,
                                                                  everything ? QStringLiteral("; write everything") : QString())
                                        .arg(thread.result());
            QVERIFY2(m_poller.fromMainThread.load() == 0, qPrintable(context));
            if (thread.result() == WRITE_OK) {
                const QString diff = differences(expectedImages(m_working));
                QVERIFY2(diff.isEmpty(), qPrintable(context + QLatin1Char('\n') + diff));
                QVERIFY2(readDiff() == 0, qPrintable(context));
                if (thread.downloaded()) {
                    ++successes;
                    QVERIFY2(m_poller.stops.load() == stopsBefore + 1 && m_poller.starts.load() == startsBefore + 1,
                             qPrintable(context));
                } else {
                    ++nothingSent;
                    QVERIFY2(sim::writtenFrames().isEmpty(), qPrintable(context));
                }
            } else {
                ++failures;
                QVERIFY2(readDiff() == 1, qPrintable(context));
                QVERIFY2(m_poller.starts.load() == startsBefore, qPrintable(context));
            }

            // Back to a reachable mouse for the next trial, now and then
            // over the cable.
            const bool cable = chance(15) ? !cableBefore : cableBefore;
            if (sim::isPlugged(sim::Side::Receiver) != receiverBefore || sim::isPlugged(sim::Side::Cable) != cable) {
                sim::plug(sim::Side::Receiver);
                if (cable)
                    sim::plug(sim::Side::Cable);
                else
                    sim::unplug(sim::Side::Cable);
                reopen();
            }
        }
        qInfo("seed %u: %d trials, %d written, %d failed, %d with nothing to send; faults %s", seed, trials,
              successes, failures, nothingSent,
              qPrintable([&kinds] {
                  QStringList parts;
                  for (auto it = kinds.cbegin(); it != kinds.cend(); ++it)
                      parts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
                  return parts.join(QStringLiteral(", "));
              }()));
        // Not vacuous: both outcomes occur.
        if (trials >= 50) {
            QVERIFY(successes > trials / 10);
            QVERIFY(failures > trials / 20);
        }
    }

private:
    LinkFixture m_fixture;
    QScopedPointer<QTemporaryDir> m_configs;
};

QTEST_GUILESS_MAIN(TestApplyFaults)
#include "tst_applyfaults.moc"

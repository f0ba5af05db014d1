#include "ctl/ctl.h"

#include "app/batterylevel.h"
#include "app/busnames.h"
#include "app/profilelibrary.h"
#include "app/writestep.h"
#include "device/commands.h"
#include "device/devicetable.h"
#include "device/pointerspeed.h"
#include "device/pollercontrol.h"
#include "ctl/windowlink.h"
#include "platform/clock.h"
#include "platform/hidnames.h"
#include "platform/sessionbus.h"
#include "platform/singleinstance.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/paths.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMap>
#include <cstdio>
#include <memory>

#ifndef MOUSECFG_VERSION
#define MOUSECFG_VERSION "1.0.0"
#endif

namespace ctl {

bool dpiIndexRange(int sensor, int *min, int *max)
{
    // The DPI page's slider range.
    SensorRange range;
    if (!sensorRange(sensor, wideDpiRange(), readCurrentProduct(), range))
        return false;
    *min = range.minIndex;
    *max = range.maxIndex;
    return true;
}

namespace {

const char kMutexSuffix[] = " Wireless Gaming Mouse Mutex1";

// ---------------------------------------------------------------- options --

enum Option : unsigned { OPT_JSON = 1, OPT_ALL = 2, OPT_SLOT = 4, OPT_STAGE = 8, OPT_WATCH = 16 };

struct CommandInfo {
    const char *name;
    unsigned options;     // besides --help
    int minArgs;
    int maxArgs;
    bool reads;           // a read command (--json gives JSON)
    const char *synopsis;
    const char *summary;  // one line, for the list of commands
    const char *help;
};

const CommandInfo kCommands[] = {
    {"list", OPT_JSON, 0, 0, true, "list [--json]",
     "Lists the supported mice that are connected.",
     "Lists the supported mice that are connected: the product, whether it is\n"
     "on the receiver or the cable, its USB vendor and product ids and the\n"
     "hidraw node (/dev/hidrawN) its control collection is on.\n"},
    {"status", OPT_JSON | OPT_WATCH, 0, 0, true, "status [--json] [--watch]",
     "Shows the battery, the active slot, the DPI stage and the report rate.",
     "Asks the mouse for its state: the active slot, DPI stage and report rate\n"
     "(from a status report of the mouse when one arrives, otherwise from the\n"
     "saved profiles), the battery level and whether it is charging. Waits at\n"
     "most 3 seconds for the mouse's reply. While mousecfg runs, it answers.\n"
     "--watch goes on and prints one line each time any of it changes (with\n"
     "--json one JSON object per line, for status bars), until it is stopped.\n"},
    {"profiles", OPT_JSON, 0, 0, true, "profiles [--json]",
     "Shows the five slots and the profile library.",
     "Shows the five slots (the profile each one uses, its DPI stages and report\n"
     "rate) and the profile library of the current product, from the Configs\n"
     "files.\n"},
    {"slot", OPT_JSON, 1, 1, false, "slot N",
     "Makes slot N (1 to 5) the active one.",
     "Makes slot N (1 to 5) the active one, on the mouse and in Config.ini, as\n"
     "the slot menu of mousecfg does.\n"},
    {"apply", OPT_JSON | OPT_ALL, 0, 0, false, "apply [--all]",
     "Writes the saved profiles to the mouse.",
     "Writes the saved profiles to the mouse: only the groups that changed, or\n"
     "everything after a failed write (as mousecfg's Apply does). --all writes\n"
     "everything.\n"},
    {"import", OPT_JSON | OPT_SLOT, 1, 1, false, "import FILE.prof [--slot N] | import FILE.conf",
     "Imports a profile or a whole configuration, then writes to the mouse.",
     "Imports a profile file into slot N (the active slot when --slot is not\n"
     "given) and the profile library, or a whole configuration file, then\n"
     "writes to the mouse. A file made for another mouse is refused, and so is a\n"
     "profile whose name the library already has.\n"},
    {"export", OPT_JSON | OPT_SLOT, 1, 1, false, "export [--slot N] FILE.prof | export FILE.conf",
     "Exports a profile or the whole configuration to a file.",
     "Exports the profile of slot N (the active slot when --slot is not given)\n"
     "to a profile file, or the whole configuration to a configuration file.\n"
     "An existing file is replaced; the folder must exist.\n"},
    {"dpi", OPT_JSON | OPT_SLOT | OPT_STAGE, 1, 1, false, "dpi [--slot N] [--stage S] VALUE",
     "Sets the DPI of one stage, saves it and writes what changed.",
     "Sets the DPI of stage S (1 to the mouse's stage count; the slot's current\n"
     "stage when --stage is not given) of slot N (the active slot when --slot is\n"
     "not given) to VALUE, saves it and writes what changed to the mouse. VALUE\n"
     "must be one of the values the mouse's sensor offers.\n"},
    {"rate", OPT_JSON | OPT_SLOT, 1, 1, false, "rate [--slot N] HZ",
     "Sets the report rate, saves it and writes what changed.",
     "Sets the report rate of slot N (the active slot when --slot is not given)\n"
     "to 125, 250, 500 or 1000 Hz, saves it and writes what changed to the\n"
     "mouse.\n"},
};

const CommandInfo *findCommand(const QString &name)
{
    for (const CommandInfo &c : kCommands) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

struct Options {
    const CommandInfo *command = nullptr;
    QStringList args;
    bool json = false;
    bool help = false;
    bool version = false;
    bool all = false;
    bool watch = false;
    int slot = -1;    // 0..4; -1 when not given
    int stage = -1;   // 0..7; -1 when not given
    unsigned given = 0;
};

QString exitText()
{
    return QStringLiteral(
        "Exit status: 0 success, 1 usage error or refused file, 2 mousecfg is running\n"
        "but cannot be reached, 3 no mouse connected, 4 the mouse did not take a\n"
        "write, 5 a file could not be written.\n");
}

QString mainHelp(const QString &program)
{
    QString text = QStringLiteral("Usage: %1 [--json] COMMAND [ARGUMENTS]\n\n"
                                  "Configures the mouse from the command line, with the profiles of mousecfg.\n\n"
                                  "Commands:\n")
                       .arg(program);
    for (const CommandInfo &c : kCommands) {
        text += QStringLiteral("  %1\n").arg(QString::fromLatin1(c.synopsis));
        text += QStringLiteral("      %1\n").arg(QString::fromLatin1(c.summary));
    }
    text += QStringLiteral("\nOptions:\n"
                           "  --json       JSON output (list, status, profiles; a summary for the others)\n"
                           "  --watch      status: one line per change, until stopped\n"
                           "  -h, --help   this help; '%1 COMMAND --help' for one command\n"
                           "  --version    the version\n\n")
                .arg(program);
    return text + exitText();
}

QString commandHelp(const QString &program, const CommandInfo &c)
{
    QString synopsis = QString::fromLatin1(c.synopsis);
    synopsis.replace(QStringLiteral(" | "), QStringLiteral("\n       %1 ").arg(program));
    return QStringLiteral("Usage: %1 %2\n\n%3\n").arg(program, synopsis, QString::fromLatin1(c.help)) + exitText();
}

bool parseNumber(const QString &text, int min, int max, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    *value = v;
    return true;
}

// Fills `o`; on a usage error returns the message.
QString parse(const QStringList &args, Options &o)
{
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        QString arg = args.at(i);
        QString value;
        bool hasValue = false;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(QLatin1Char('='))) {
            value = arg.section(QLatin1Char('='), 1);
            arg = arg.section(QLatin1Char('='), 0, 0);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= args.size())
                return false;
            value = args.at(++i);
            return true;
        };
        if (arg == QLatin1String("--json")) {
            o.json = true;
            o.given |= OPT_JSON;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            o.help = true;
        } else if (arg == QLatin1String("--version")) {
            o.version = true;
        } else if (arg == QLatin1String("--watch")) {
            o.watch = true;
            o.given |= OPT_WATCH;
        } else if (arg == QLatin1String("--all")) {
            o.all = true;
            o.given |= OPT_ALL;
        } else if (arg == QLatin1String("--slot")) {
            if (!takeValue())
                return QStringLiteral("--slot needs a slot number (1 to 5).");
            int n = 0;
            if (!parseNumber(value, 1, SLOT_COUNT, &n))
                return QStringLiteral("\"%1\" is not a slot: slots are numbered 1 to 5.").arg(value);
            o.slot = n - 1;
            o.given |= OPT_SLOT;
        } else if (arg == QLatin1String("--stage")) {
            if (!takeValue())
                return QStringLiteral("--stage needs a stage number.");
            int n = 0;
            if (!parseNumber(value, 1, STAGE_COUNT, &n))
                return QStringLiteral("\"%1\" is not a DPI stage: stages are numbered 1 to %2.")
                    .arg(value)
                    .arg(effectiveStageCount(dpiStageCount()));
            o.stage = n - 1;
            o.given |= OPT_STAGE;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1 && arg != QLatin1String("--")) {
            return QStringLiteral("Unknown option %1.").arg(arg);
        } else if (arg == QLatin1String("--")) {
            positional += args.mid(i + 1);
            break;
        } else {
            positional << arg;
        }
    }
    if (positional.isEmpty())
        return QString();
    o.command = findCommand(positional.first());
    if (!o.command)
        return QStringLiteral("Unknown command \"%1\".").arg(positional.first());
    o.args = positional.mid(1);
    if (o.help || o.version)
        return QString();
    const unsigned wrong = o.given & ~o.command->options;
    if (wrong & OPT_ALL)
        return QStringLiteral("%1 does not take --all.").arg(QLatin1String(o.command->name));
    if (wrong & OPT_SLOT)
        return QStringLiteral("%1 does not take --slot.").arg(QLatin1String(o.command->name));
    if (wrong & OPT_STAGE)
        return QStringLiteral("%1 does not take --stage.").arg(QLatin1String(o.command->name));
    if (wrong & OPT_WATCH)
        return QStringLiteral("%1 does not take --watch.").arg(QLatin1String(o.command->name));
    if (o.args.size() < o.command->minArgs)
        return QStringLiteral("%1 needs more arguments.").arg(QLatin1String(o.command->name));
    if (o.args.size() > o.command->maxArgs)
        return QStringLiteral("%1 takes no argument \"%2\".")
            .arg(QLatin1String(o.command->name), o.args.at(o.command->maxArgs));
    return QString();
}

// ------------------------------------------------------------- the mouse --

QString rateText(quint8 code)
{
    switch (code) {
    case 8: return QStringLiteral("125 Hz");
    case 4: return QStringLiteral("250 Hz");
    case 2: return QStringLiteral("500 Hz");
    case 1: return QStringLiteral("1000 Hz");
    default: return QStringLiteral("unknown (code %1)").arg(code);
    }
}

int rateHz(quint8 code)
{
    switch (code) {
    case 8: return 125;
    case 4: return 250;
    case 2: return 500;
    case 1: return 1000;
    default: return 0;
    }
}

QString entryName(const DeviceEntry &entry)
{
    return QString::fromLatin1(entry.name, int(qstrnlen(entry.name, sizeof entry.name)));
}

bool sideConnected(const DeviceEntry &e, int side)
{
    return e.present[mouseSlot(side)] && e.present[controlSlot(side)];
}

// What the mouse said while we listened.
struct MouseAnswer {
    bool battery = false;
    quint8 low = 0, high = 0, charge = 0, writeStatus = 0;
    bool status = false;
    quint8 profile = 0, stage = 0, rate = 0;
    bool off() const { return battery && low == 0 && high == 0 && charge == 0; }
};

class Session {
public:
    Session(const QString &program, const Options &o, QTextStream &out, QTextStream &err, const Hooks &hooks)
        : m_program(program), m_o(o), m_out(out), m_err(err), m_hooks(hooks), m_library(workingSet())
    {
    }
    ~Session() { releaseDevice(); }

    int run();

private:
    // A wrong argument: the message, and where help is.
    int usage(const QString &message)
    {
        m_err << m_program << ": " << message << '\n'
              << "Try '" << m_program << ' ' << m_o.command->name << " --help'.\n";
        m_err.flush();
        return EXIT_USAGE;
    }
    int fail(int status, const QString &message)
    {
        m_err << message << '\n';
        m_err.flush();
        return status;
    }
    void printJson(const QJsonValue &value)
    {
        const QJsonDocument doc = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
        m_out << doc.toJson(QJsonDocument::Indented);
        m_out.flush();
    }

    // The mouse and the files, alone (the lock is ours) or through the
    // running window (m_link); otherwise the status to exit with, said.
    enum class Access { Alone, Window, Refused };
    Access access(platform::SingleInstance::Mode mode, int *exitStatus);
    Access access(int *exitStatus) { return access(platform::SingleInstance::Mode::Writer, exitStatus); }
    // A call to the window; false with the exit status set (and said) when
    // it answered with an error. `what` and `path` word the messages as alone.
    bool callWindow(const QString &method, const QVariantList &args, QDBusMessage *reply, int *exitStatus,
                    const QString &what = QString(), const QString &path = QString());
    bool windowProperties(QVariantMap *out, int *exitStatus);
    void startDevice();
    bool openMouse();
    QString noMouseText() const;
    void releaseDevice();
    void loadStore();
    MouseAnswer askMouse(int waitMs);
    int writeAndReport(bool all, const QString &what);
    int reportWritten(const WriteOutcome &outcome, const QString &what);
    int notSaved(const QString &what);

    // The state as status prints it, alone or from the window.
    struct StatusView {
        bool connected = false;
        QString product;
        bool cable = false;
        bool off = false;
        int slot = 0;         // 0..4
        QString profile;
        int stage = 0;        // 0..7
        int stageDpi = 0;
        int rateHz = 0;
        bool fromMouse = false;
        int level = 0;
        int millivolts = 0;
        bool charging = false;
        quint8 low = 0, high = 0, charge = 0;
    };
    // 0, or the exit status with its message said (unless quiet).
    int statusAlone(StatusView *view, bool quiet);
    int statusFromWindow(StatusView *view, bool quiet, bool waitForBattery);
    QJsonObject statusJson(const StatusView &view) const;
    void printStatus(const StatusView &view);
    QString statusLine(const StatusView &view) const;
    int watchStatus();
    // Whether a folder to export into exists; says so when not.
    bool exportFolderExists(const QString &path, int *exitStatus);

    int list();
    int status();
    int profiles();
    int slot();
    // "Slot N (name) is active." or its JSON; EXIT_OK.
    int slotIsActive(int n, const QString &name);
    int apply();
    int importFile();
    int exportFile();
    int dpi();
    int rate();

    QString m_program;
    Options m_o;
    QTextStream &m_out;
    QTextStream &m_err;
    Hooks m_hooks;
    ProfileLibrary m_library;
    std::unique_ptr<platform::SingleInstance> m_lock;
    std::unique_ptr<WindowLink> m_link;
    bool m_deviceStarted = false;
    bool m_deviceOpen = false;
    bool m_bListed = false;   // a supported mouse is attached (opened or not)
};

Session::Access Session::access(platform::SingleInstance::Mode mode, int *exitStatus)
{
    using platform::LockHolder;
    m_link.reset();
    m_lock.reset(new platform::SingleInstance(configsFolder(), productName() + QLatin1String(kMutexSuffix), mode));
    // Another command of ours holds it: waited for, a minute at most. The
    // window: asked on the bus, once it has said where (it may be starting).
    QElapsedTimer waited;
    waited.start();
    LockHolder holder;
    while (!m_lock->tryLock()) {
        if (!m_lock->error().isEmpty()) {
            *exitStatus = fail(EXIT_USAGE, m_lock->error() + QStringLiteral(" Nothing was done."));
            return Access::Refused;
        }
        holder = m_lock->holder();
        if (holder.role == LockHolder::Window && (holder.ready || waited.elapsed() > 10000))
            break;
        if (waited.elapsed() > 60000) {
            *exitStatus = fail(EXIT_WINDOW_RUNNING,
                               holder.pid > 0
                                   ? QStringLiteral("%1 (process %2) has been using the mouse for a minute; try again "
                                                    "when it has finished.").arg(m_program).arg(holder.pid)
                                   : QStringLiteral("Another %1 has been using the mouse for a minute; try again when it "
                                                    "has finished.").arg(m_program));
            return Access::Refused;
        }
        platform::sleepMs(50);
    }
    if (m_lock->isOwner()) {
        // Alone with the files: a lock file of QSettings left by a kill would
        // stall the next write of its file for half a minute.
        if (mode == platform::SingleInstance::Mode::Writer)
            removeStaleConfigLocks();
        return Access::Alone;
    }
    m_lock.reset();
    const QString name = !holder.busName.isEmpty() ? holder.busName
                         : !m_hooks.busName.isEmpty() ? m_hooks.busName : mousebus::applicationName();
    m_link.reset(new WindowLink(platform::busAt(holder.busAddress), name, holder.pid));
    QVariantMap properties;
    QString why;
    if (holder.busName.isEmpty() || !m_link->properties(&properties, &why)) {
        m_link.reset();
        *exitStatus = fail(EXIT_WINDOW_RUNNING,
                           QStringLiteral("mousecfg is running (process %1) but does not answer on the session bus. "
                                          "Quit it and try again.").arg(holder.pid));
        return Access::Refused;
    }
    return Access::Window;
}

bool Session::callWindow(const QString &method, const QVariantList &args, QDBusMessage *reply, int *exitStatus,
                         const QString &what, const QString &path)
{
    *reply = m_link->call(method, args);
    if (reply->type() == QDBusMessage::ReplyMessage)
        return true;
    const QString name = reply->errorName();
    const QString text = reply->errorMessage();
    if (name == mousebus::errorRefused())
        *exitStatus = fail(EXIT_USAGE, path.isEmpty() ? text : QStringLiteral("%1: %2").arg(path, text));
    else if (name == mousebus::errorNoMouse())
        *exitStatus = fail(EXIT_NO_MOUSE, what.isEmpty() ? QStringLiteral("No supported mouse is connected.")
                                                         : QStringLiteral("No supported mouse is connected. %1 is saved "
                                                                          "and will be written by the next apply.").arg(what));
    else if (name == mousebus::errorMouseOff())
        *exitStatus = fail(EXIT_NOT_TAKEN, QStringLiteral("Mouse is sleeping or not connected."));
    else if (name == mousebus::errorNotTaken())
        *exitStatus = fail(EXIT_NOT_TAKEN, QStringLiteral("Send data failed, please try again."));
    else if (name == mousebus::errorNotSaved())
        *exitStatus = notSaved(what);
    else if (name == QLatin1String("org.freedesktop.DBus.Error.InvalidArgs"))
        *exitStatus = usage(text);
    else
        *exitStatus = fail(EXIT_WINDOW_RUNNING, QStringLiteral("mousecfg (process %1) did not answer: %2")
                                                    .arg(m_link->pid()).arg(text));
    return false;
}

bool Session::windowProperties(QVariantMap *out, int *exitStatus)
{
    QString why;
    if (m_link->properties(out, &why))
        return true;
    *exitStatus = fail(EXIT_WINDOW_RUNNING, QStringLiteral("mousecfg (process %1) did not answer: %2")
                                                .arg(m_link->pid()).arg(why));
    return false;
}

void Session::startDevice()
{
    if (m_deviceStarted)
        return;
    m_deviceStarted = true;
    if (m_hooks.beforeDevice)
        m_hooks.beforeDevice();
    loadDeviceTable();
    enumerateDevices();
}

void Session::releaseDevice()
{
    if (!m_deviceStarted)
        return;
    m_deviceStarted = false;
    if (m_deviceOpen) {
        closeDevice();
        m_deviceOpen = false;
    }
    shutdownDeviceLink();
    if (m_hooks.afterDevice)
        m_hooks.afterDevice();
}

// The model-list rule of the window: a single connected model becomes the
// current product; among several the current one stays when it is there.
// Then the current product's device is opened. True when a mouse answers on a
// control collection.
bool Session::openMouse()
{
    if (m_deviceOpen)
        return receiverControlHandle() || wiredControlHandle();
    startDevice();
    QStringList listed;
    const DeviceTable &table = deviceTable();
    for (quint32 i = 0; i < table.count && i < quint32(DEVICE_TABLE_CAPACITY); ++i) {
        const DeviceEntry &e = table.entries[i];
        if (sideConnected(e, SIDE_RECEIVER) || sideConnected(e, SIDE_CABLE))
            listed << entryName(e);
    }
    if (listed.size() == 1)
        writeCurrentProduct(listed.first());
    else if (listed.size() > 1 && !listed.contains(readCurrentProduct()))
        writeCurrentProduct(listed.first());
    const QByteArray name = readCurrentProduct().toLatin1();
    openDevice(name.constData());
    m_deviceOpen = true;
    m_bListed = !listed.isEmpty();
    return receiverControlHandle() || wiredControlHandle();
}

QString Session::noMouseText() const
{
    // Connected but not opened: on Linux that is the device permissions.
    if (m_bListed)
        return QStringLiteral("The mouse is connected but cannot be opened. Install the udev rule "
                              "70-mousecfg.rules, then plug the mouse in again.");
    return QStringLiteral("No supported mouse is connected.");
}

void Session::loadStore()
{
    loadProfileSet(savedSet());
    workingSet() = savedSet();
    m_library.load();
    savedSet() = workingSet();
}

MouseAnswer Session::askMouse(int waitMs)
{
    MouseAnswer answer;
    const DeviceSlot slot = wiredControlHandle() ? WiredControl : ReceiverControl;
    CommandFrame query = CommandFrame::make(CMD_BATTERY, 0, 0, 0, 0);
    query.wire(1) = frameChecksum(query.buf + 1);
    QElapsedTimer clock;
    clock.start();
    qint64 lastQuery = -1;
    while (clock.elapsed() < waitMs) {
        if (lastQuery < 0 || clock.elapsed() - lastQuery >= 500) {
            DeviceLease lease(slot);
            if (!lease)
                break;
            if (hid_write(lease.handle(), query.buf + 1, FRAME_LENGTH) < 0)
                qDebug("Unable to send a feature report.\n");
            lastQuery = clock.elapsed();
        }
        quint8 reply[FRAME_BUFFER] = {};
        int got = 0;
        {
            DeviceLease lease(slot);
            if (!lease)
                break;
            got = hid_read_timeout(lease.handle(), reply, FRAME_LENGTH, 50);
        }
        if (got < 0) {
            platform::sleepMs(50);
            continue;
        }
        if (got == 0)
            continue;
        if (reply[3] == CMD_STATUS) {
            answer.status = true;
            answer.profile = reply[4];
            answer.stage = reply[5];
            answer.rate = reply[6];
        } else if (reply[3] == CMD_BATTERY) {
            answer.battery = true;
            answer.low = reply[4];
            answer.high = reply[5];
            answer.charge = reply[6];
            answer.writeStatus = reply[7];
            setDeviceModeByte(reply[10]);
            break;
        }
    }
    // As the window does: a mouse that reports write status 0 has lost what
    // it was given, so the next write sends everything.
    if (answer.battery && !answer.off() && answer.writeStatus == 0)
        writeDiff(1);
    g_mouseOff.store(answer.off());
    return answer;
}

QString groupNames(quint8 mask)
{
    QStringList names;
    if (mask & CHANGE_GENERAL)
        names << QStringLiteral("general settings");
    if (mask & CHANGE_DPI)
        names << QStringLiteral("DPI");
    if (mask & CHANGE_BUTTONS)
        names << QStringLiteral("buttons");
    if (mask & CHANGE_LIGHTING)
        names << QStringLiteral("lighting");
    return names.join(QStringLiteral(", "));
}

QJsonArray groupArray(quint8 mask)
{
    QJsonArray a;
    if (mask & CHANGE_GENERAL)
        a << QStringLiteral("general");
    if (mask & CHANGE_DPI)
        a << QStringLiteral("dpi");
    if (mask & CHANGE_BUTTONS)
        a << QStringLiteral("buttons");
    if (mask & CHANGE_LIGHTING)
        a << QStringLiteral("lighting");
    return a;
}

// The working set holds an edit already saved to the files; writes it to
// the mouse as Apply does. `what` says what was changed, for the messages.
int Session::writeAndReport(bool all, const QString &what)
{
    if (!openMouse()) {
        // Without the mouse nothing is sent; the next write sends everything,
        // so the saved change is not lost on the mouse.
        bool failed = false;
        saveProfileSet(workingSet(), &failed);
        if (failed)
            return notSaved(what);
        writeDiff(1);
        return fail(EXIT_NO_MOUSE, what.isEmpty() ? noMouseText()
                                                  : QStringLiteral("%1 %2 is saved and will be written by the next "
                                                                   "apply.").arg(noMouseText(), what));
    }
    askMouse(1500);
    const WriteOutcome outcome = writeProfileSet(workingSet(), savedSet(), all);
    if (outcome.downloaded)
        savedSet() = workingSet();
    return reportWritten(outcome, what);
}

// A change that could not be saved is not sent either.
int Session::notSaved(const QString &what)
{
    return fail(EXIT_NOT_SAVED, QStringLiteral("%1 could not be saved: the files in the Configs folder cannot be "
                                               "written (is the disk full?). Nothing was written to the mouse.")
                                    .arg(what.isEmpty() ? QStringLiteral("The profiles") : what));
}

int Session::reportWritten(const WriteOutcome &outcome, const QString &what)
{
    if (outcome.result == WRITE_NOT_SAVED)
        return notSaved(what);
    if (outcome.result == WRITE_MOUSE_OFF) {
        // What is saved is not on the mouse: the next write sends everything.
        writeDiff(1);
        return fail(EXIT_NOT_TAKEN, QStringLiteral("Mouse is sleeping or not connected."));
    }
    if (outcome.result != WRITE_OK)
        return fail(EXIT_NOT_TAKEN, QStringLiteral("Send data failed, please try again."));
    if (m_o.json) {
        QJsonObject o;
        o.insert(QStringLiteral("ok"), true);
        o.insert(QStringLiteral("written"), groupArray(outcome.sentMask));
        o.insert(QStringLiteral("full"), outcome.sentMask == CHANGE_ALL);
        printJson(o);
    } else {
        if (!what.isEmpty())
            m_out << what << " is saved.\n";
        if (outcome.sentMask == 0)
            m_out << "Nothing to write: the mouse holds these settings already.\n";
        else
            m_out << "Written to the mouse: " << groupNames(outcome.sentMask) << ".\n";
        m_out.flush();
    }
    return EXIT_OK;
}

// --------------------------------------------------------------- commands --

int Session::list()
{
    startDevice();
    QJsonArray mice;
    QString text;
    const DeviceTable &table = deviceTable();
    for (quint32 i = 0; i < table.count && i < quint32(DEVICE_TABLE_CAPACITY); ++i) {
        const DeviceEntry &e = table.entries[i];
        QJsonArray links;
        for (int side : {SIDE_RECEIVER, SIDE_CABLE}) {
            if (!sideConnected(e, side))
                continue;
            const QString kind = side == SIDE_CABLE ? QStringLiteral("cable") : QStringLiteral("receiver");
            const quint32 vid = side == SIDE_CABLE ? e.vid2 : e.vid1;
            const quint32 pid = side == SIDE_CABLE ? e.pid2 : e.pid1;
            const QString usb = QStringLiteral("%1:%2").arg(vid, 4, 16, QLatin1Char('0')).arg(pid, 4, 16, QLatin1Char('0'));
            // The node the control collection is on; the simulated mouse has none.
            const QByteArray name = QByteArray(e.path[controlSlot(side)]);
            const bool real = platform::isNodeInterfaceName(name);
            const QString node = real ? QString::fromLocal8Bit(platform::realHidPath(name)) : QString();
            QJsonObject link;
            link.insert(QStringLiteral("connection"), kind);
            link.insert(QStringLiteral("usb"), usb);
            link.insert(QStringLiteral("node"), real ? QJsonValue(node) : QJsonValue());
            links << link;
            text += QStringLiteral("%1 (%2)\n  USB:   %3\n  node:  %4\n")
                        .arg(entryName(e), kind, usb, real ? node : QStringLiteral("none (simulated mouse)"));
        }
        if (links.isEmpty())
            continue;
        QJsonObject mouse;
        mouse.insert(QStringLiteral("product"), entryName(e));
        mouse.insert(QStringLiteral("connections"), links);
        mice << mouse;
    }
    if (mice.isEmpty())
        return fail(EXIT_NO_MOUSE, QStringLiteral("No supported mouse is connected."));
    if (m_o.json)
        printJson(mice);
    else
        m_out << text;
    m_out.flush();
    return EXIT_OK;
}

int Session::statusAlone(StatusView *view, bool quiet)
{
    const auto refuse = [this, quiet](int status, const QString &text) {
        if (!quiet)
            fail(status, text);
        return status;
    };
    if (!openMouse())
        return refuse(EXIT_NO_MOUSE, noMouseText());
    loadStore();
    const MouseAnswer answer = askMouse(3000);
    if (!answer.battery)
        return refuse(EXIT_NO_MOUSE, QStringLiteral("The mouse did not answer."));

    const ProfileSet &set = workingSet();
    const bool fromMouse = answer.status && answer.profile < SLOT_COUNT;
    StatusView &v = *view;
    v.connected = true;
    v.product = readCurrentProduct();
    v.cable = wiredControlHandle() != nullptr;
    v.off = answer.off();
    v.slot = fromMouse ? answer.profile : set.ProfileID % SLOT_COUNT;
    v.profile = set.names[v.slot];
    const ProfileData &profile = set.profiles[v.slot];
    v.stage = fromMouse ? answer.stage : profile.dpi;
    v.stageDpi = v.stage < STAGE_COUNT ? sensorDpi(int(profile.stages[v.stage].x), sensorCode()) : 0;
    v.rateHz = rateHz(fromMouse ? answer.rate : profile.pollrate);
    v.fromMouse = fromMouse;
    v.millivolts = batteryMillivolts(answer.low, answer.high);
    v.level = batteryLevel(v.millivolts, readBatteryFull());
    v.charging = answer.charge != 0;
    v.low = answer.low;
    v.high = answer.high;
    v.charge = answer.charge;
    return EXIT_OK;
}

int Session::statusFromWindow(StatusView *view, bool quiet, bool waitForBattery)
{
    int status = EXIT_OK;
    QVariantMap p;
    if (!windowProperties(&p, &status))
        return status;
    // The window has not heard the battery yet (it just started or the mouse
    // just came): as long as the command would wait for the mouse alone.
    QElapsedTimer clock;
    clock.start();
    while (waitForBattery && p.value(QStringLiteral("Connected")).toBool() && !p.value(QStringLiteral("MouseOff")).toBool()
           && p.value(QStringLiteral("BatteryLevel")).toInt() < 0 && clock.elapsed() < 3000) {
        platform::sleepMs(100);
        if (!windowProperties(&p, &status))
            return status;
    }
    StatusView &v = *view;
    v.connected = p.value(QStringLiteral("Connected")).toBool();
    v.product = p.value(QStringLiteral("Model")).toString();
    if (!v.connected) {
        if (!quiet)
            fail(EXIT_NO_MOUSE, QStringLiteral("No supported mouse is connected."));
        return EXIT_NO_MOUSE;
    }
    v.off = p.value(QStringLiteral("MouseOff")).toBool();
    if (!v.off && p.value(QStringLiteral("BatteryLevel")).toInt() < 0) {
        if (!quiet)
            fail(EXIT_NO_MOUSE, QStringLiteral("The mouse did not answer."));
        return EXIT_NO_MOUSE;
    }
    v.cable = p.value(QStringLiteral("ConnectionType")).toString() == QLatin1String("cable");
    v.slot = qBound(0, p.value(QStringLiteral("ActiveSlot")).toInt() - 1, SLOT_COUNT - 1);
    v.profile = p.value(QStringLiteral("SlotNames")).toStringList().value(v.slot);
    v.stage = p.value(QStringLiteral("DpiStage")).toInt() - 1;
    v.stageDpi = p.value(QStringLiteral("Dpi")).toInt();
    v.rateHz = p.value(QStringLiteral("ReportRate")).toInt();
    v.fromMouse = p.value(QStringLiteral("ReportedByMouse")).toBool();
    v.level = p.value(QStringLiteral("BatteryLevel")).toInt();
    v.millivolts = p.value(QStringLiteral("BatteryMillivolts")).toInt();
    v.charging = p.value(QStringLiteral("Charging")).toBool();
    const QByteArray report = p.value(QStringLiteral("BatteryReport")).toByteArray();
    if (report.size() >= 3) {
        v.low = quint8(report.at(0));
        v.high = quint8(report.at(1));
        v.charge = quint8(report.at(2));
    }
    return EXIT_OK;
}

QJsonObject Session::statusJson(const StatusView &v) const
{
    QJsonObject o;
    if (!v.connected) {
        // --watch only: a status bar learns that the mouse is gone.
        o.insert(QStringLiteral("connected"), false);
        o.insert(QStringLiteral("product"), v.product);
        return o;
    }
    o.insert(QStringLiteral("product"), v.product);
    o.insert(QStringLiteral("connection"), v.cable ? QStringLiteral("cable") : QStringLiteral("receiver"));
    o.insert(QStringLiteral("mouseOff"), v.off);
    o.insert(QStringLiteral("activeSlot"), v.slot + 1);
    o.insert(QStringLiteral("profile"), v.profile);
    o.insert(QStringLiteral("dpiStage"), v.stage + 1);
    o.insert(QStringLiteral("dpi"), v.stageDpi);
    o.insert(QStringLiteral("reportRateHz"), v.rateHz);
    o.insert(QStringLiteral("reportedBy"), v.fromMouse ? QStringLiteral("mouse") : QStringLiteral("profiles"));
    if (v.off) {
        o.insert(QStringLiteral("battery"), QJsonValue());
    } else {
        QJsonObject b;
        b.insert(QStringLiteral("level"), v.level);
        b.insert(QStringLiteral("millivolts"), v.millivolts);
        b.insert(QStringLiteral("charging"), v.charging);
        b.insert(QStringLiteral("raw"), QJsonArray{v.low, v.high, v.charge});
        o.insert(QStringLiteral("battery"), b);
    }
    return o;
}

QString hzText(int hz)
{
    return hz > 0 ? QStringLiteral("%1 Hz").arg(hz) : QStringLiteral("unknown");
}

void Session::printStatus(const StatusView &v)
{
    if (m_o.json) {
        printJson(statusJson(v));
        return;
    }
    m_out << "Mouse:        " << v.product << (v.cable ? " (cable)" : " (receiver)") << '\n';
    if (v.off) {
        m_out << "Power:        the mouse is asleep or switched off\n";
    } else {
        m_out << "Battery:      " << v.level << "% (" << v.millivolts << " mV), "
              << (v.charging ? "charging" : "not charging") << '\n';
    }
    m_out << "Active slot:  " << v.slot + 1 << " (" << v.profile << ")\n";
    m_out << "DPI stage:    " << v.stage + 1 << " (" << v.stageDpi << " DPI)\n";
    m_out << "Report rate:  " << hzText(v.rateHz) << '\n';
    if (!v.fromMouse)
        m_out << "(slot, stage and rate as last saved; the mouse sent no status report)\n";
    m_out.flush();
}

QString Session::statusLine(const StatusView &v) const
{
    if (m_o.json)
        return QString::fromUtf8(QJsonDocument(statusJson(v)).toJson(QJsonDocument::Compact));
    if (!v.connected)
        return QStringLiteral("%1: not connected").arg(v.product);
    const QString power = v.off ? QStringLiteral("asleep")
                                : QStringLiteral("%1%%2").arg(v.level).arg(v.charging ? QStringLiteral(" charging") : QString());
    return QStringLiteral("%1 (%2): %3, slot %4 (%5), stage %6 (%7 DPI), %8")
        .arg(v.product, v.cable ? QStringLiteral("cable") : QStringLiteral("receiver"), power)
        .arg(v.slot + 1)
        .arg(v.profile)
        .arg(v.stage + 1)
        .arg(v.stageDpi)
        .arg(hzText(v.rateHz));
}

int Session::status()
{
    if (m_o.watch)
        return watchStatus();
    // Only asks the mouse: a window started meanwhile waits for the answer
    // instead of being turned away; a window running answers itself.
    int exitStatus = EXIT_OK;
    StatusView view;
    switch (access(platform::SingleInstance::Mode::Reader, &exitStatus)) {
    case Access::Refused:
        return exitStatus;
    case Access::Window:
        exitStatus = statusFromWindow(&view, false, true);
        break;
    case Access::Alone:
        exitStatus = statusAlone(&view, false);
        break;
    }
    if (exitStatus != EXIT_OK)
        return exitStatus;
    printStatus(view);
    return EXIT_OK;
}

int Session::watchStatus()
{
    // One line each time what status shows changes: from the window's
    // announcements while it runs, else by asking the mouse every two seconds.
    QString last;
    const auto show = [this, &last](const StatusView &view) {
        const QString line = statusLine(view);
        if (line == last)
            return;
        last = line;
        m_out << line << '\n';
        m_out.flush();
    };
    for (;;) {
        int exitStatus = EXIT_OK;
        StatusView view;
        const Access how = access(platform::SingleInstance::Mode::Reader, &exitStatus);
        if (how == Access::Refused)
            return exitStatus;
        if (how == Access::Window) {
            const auto current = [this, &show] {
                StatusView now;
                const int status = statusFromWindow(&now, true, false);
                if (status == EXIT_OK || status == EXIT_NO_MOUSE)
                    show(now);
            };
            current();
            m_link->watch(current);
            m_link.reset();
            continue;   // the window has gone: alone from now on
        }
        const int status = statusAlone(&view, true);
        releaseDevice();
        m_lock.reset();
        if (status == EXIT_OK) {
            show(view);
        } else {
            view.connected = false;
            view.product = readCurrentProduct();
            show(view);
        }
        platform::sleepMs(2000);
    }
}

int Session::profiles()
{
    // Reading only: no lock, nothing written, so it works beside the window.
    ProfileSet set;
    loadProfileSet(set);
    const QStringList library = readLibraryList();
    const int active = set.ProfileID % SLOT_COUNT;
    const int sensor = sensorCode();
    const int stages = effectiveStageCount(dpiStageCount());

    if (m_o.json) {
        QJsonArray slotList;
        for (int i = 0; i < SLOT_COUNT; ++i) {
            const ProfileData &p = set.profiles[i];
            QJsonArray stageList;
            for (int s = 0; s < stages; ++s) {
                QJsonObject st;
                st.insert(QStringLiteral("stage"), s + 1);
                st.insert(QStringLiteral("enabled"), p.stages[s].used != 0);
                st.insert(QStringLiteral("dpi"), sensorDpi(int(p.stages[s].x), sensor));
                if (p.stages[s].x != p.stages[s].y)
                    st.insert(QStringLiteral("dpiY"), sensorDpi(int(p.stages[s].y), sensor));
                stageList << st;
            }
            QJsonObject o;
            o.insert(QStringLiteral("slot"), i + 1);
            o.insert(QStringLiteral("profile"), set.names[i]);
            o.insert(QStringLiteral("active"), i == active);
            o.insert(QStringLiteral("dpiStage"), p.dpi + 1);
            o.insert(QStringLiteral("reportRateHz"), rateHz(p.pollrate));
            o.insert(QStringLiteral("stages"), stageList);
            slotList << o;
        }
        QJsonObject o;
        o.insert(QStringLiteral("product"), readCurrentProduct());
        o.insert(QStringLiteral("activeSlot"), active + 1);
        o.insert(QStringLiteral("slots"), slotList);
        o.insert(QStringLiteral("library"), QJsonArray::fromStringList(library));
        printJson(o);
        return EXIT_OK;
    }
    m_out << "Product: " << readCurrentProduct() << "\n\n";
    m_out << "  Slot  Profile               Stage  DPI stages                         Rate\n";
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const ProfileData &p = set.profiles[i];
        QStringList dpis;
        for (int s = 0; s < stages; ++s) {
            const QString v = QString::number(sensorDpi(int(p.stages[s].x), sensor));
            dpis << (p.stages[s].used ? v : QStringLiteral("(%1)").arg(v));
        }
        m_out << (i == active ? "* " : "  ") << QString::number(i + 1).leftJustified(6)
              << set.names[i].leftJustified(22) << QString::number(p.dpi + 1).leftJustified(7)
              << dpis.join(QLatin1Char(' ')).leftJustified(35) << rateText(p.pollrate) << '\n';
    }
    m_out << "\nLibrary:\n";
    for (const QString &name : library) {
        QStringList users;
        for (int i = 0; i < SLOT_COUNT; ++i) {
            if (set.names[i] == name)
                users << QString::number(i + 1);
        }
        m_out << "  " << name;
        if (!users.isEmpty())
            m_out << "  (slot " << users.join(QStringLiteral(", ")) << ')';
        m_out << '\n';
    }
    m_out.flush();
    return EXIT_OK;
}

int Session::slot()
{
    int n = 0;
    if (!parseNumber(m_o.args.at(0), 1, SLOT_COUNT, &n))
        return usage(QStringLiteral("\"%1\" is not a slot: slots are numbered 1 to 5.").arg(m_o.args.at(0)));
    const int index = n - 1;
    int exitStatus = EXIT_OK;
    const Access how = access(&exitStatus);
    if (how == Access::Refused)
        return exitStatus;
    if (how == Access::Window) {
        // The window's slot menu: the pages and the mouse follow.
        QDBusMessage reply;
        QVariantMap p;
        if (!callWindow(QStringLiteral("SelectSlot"), {n}, &reply, &exitStatus) || !windowProperties(&p, &exitStatus))
            return exitStatus;
        return slotIsActive(n, p.value(QStringLiteral("SlotNames")).toStringList().value(index));
    }
    if (!openMouse())
        return fail(EXIT_NO_MOUSE, noMouseText());
    loadStore();
    m_library.selectSlot(index);
    // Selected on the mouse with the slot's DPI, key and lighting tables, as
    // the slot menu of the window does.
    askMouse(1500);
    const WriteOutcome outcome = writeSlotSwitch(workingSet(), savedSet(), true, false);
    if (outcome.downloaded)
        savedSet() = workingSet();
    applyPointerSpeedOfSlot(workingSet(), index);
    if (outcome.result == WRITE_NOT_SAVED)
        return notSaved(QString());
    if (outcome.result == WRITE_MOUSE_OFF) {
        writeDiff(1);
        return fail(EXIT_NOT_TAKEN, QStringLiteral("Mouse is sleeping or not connected."));
    }
    if (outcome.result != WRITE_OK)
        return fail(EXIT_NOT_TAKEN, QStringLiteral("Send data failed, please try again."));
    return slotIsActive(n, workingSet().names[index]);
}

int Session::slotIsActive(int n, const QString &name)
{
    if (m_o.json) {
        QJsonObject o;
        o.insert(QStringLiteral("ok"), true);
        o.insert(QStringLiteral("activeSlot"), n);
        o.insert(QStringLiteral("profile"), name);
        printJson(o);
    } else {
        m_out << "Slot " << n << " (" << name << ") is active.\n";
        m_out.flush();
    }
    return EXIT_OK;
}

int Session::apply()
{
    int exitStatus = EXIT_OK;
    const Access how = access(&exitStatus);
    if (how == Access::Refused)
        return exitStatus;
    if (how == Access::Window) {
        // The window's Apply: what it holds is what is written.
        QDBusMessage reply;
        if (!callWindow(QStringLiteral("Apply"), {m_o.all}, &reply, &exitStatus))
            return exitStatus;
        WriteOutcome outcome;
        outcome.sentMask = quint8(reply.arguments().value(0).toUInt());
        return reportWritten(outcome, QString());
    }
    if (!openMouse())
        return fail(EXIT_NO_MOUSE, noMouseText());
    loadStore();
    return writeAndReport(m_o.all, QString());
}

QString libraryMessage(ProfileLibrary::Result result)
{
    switch (result) {
    case ProfileLibrary::Result::Ok: return QString();
    case ProfileLibrary::Result::AlreadyUsed: return QStringLiteral("Profile is Already Used!");
    case ProfileLibrary::Result::DefaultName: return QStringLiteral("The default Profile cannot be deleted or renamed.");
    case ProfileLibrary::Result::Exists: return QStringLiteral("Profile Exist!");
    case ProfileLibrary::Result::AtLeastOne: return QStringLiteral("AT LEAST ONE PROFILE TO BE RETAINED.");
    case ProfileLibrary::Result::WrongModel: return QStringLiteral("The file is not match current mouse!");
    case ProfileLibrary::Result::BadName:
        return QStringLiteral("This name cannot be used for a file. Please choose another name.");
    case ProfileLibrary::Result::Failed: return QStringLiteral("The file could not be read or written.");
    }
    return QString();
}

enum class FileKind { Profile, Config, Other };

FileKind kindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("prof"))
        return FileKind::Profile;
    if (suffix == QLatin1String("conf"))
        return FileKind::Config;
    return FileKind::Other;
}

int Session::importFile()
{
    const QString path = m_o.args.at(0);
    const FileKind kind = kindOf(path);
    if (kind == FileKind::Other)
        return usage(QStringLiteral("%1: give a profile file (.prof) or a configuration file (.conf).")
                                    .arg(path));
    if (kind == FileKind::Config && (m_o.given & OPT_SLOT))
        return usage(QStringLiteral("A configuration file holds all five slots: --slot is for profile files."));
    if (!QFileInfo(path).isFile())
        return fail(EXIT_USAGE, QStringLiteral("%1: no such file.").arg(path));
    int exitStatus = EXIT_OK;
    const Access how = access(&exitStatus);
    if (how == Access::Refused)
        return exitStatus;
    if (how == Access::Window) {
        // The window's import, with its checks and refusals, then its write.
        const QString file = QFileInfo(path).absoluteFilePath();
        QVariantMap p;
        if (!windowProperties(&p, &exitStatus))
            return exitStatus;
        const int target = m_o.slot >= 0 ? m_o.slot : p.value(QStringLiteral("ActiveSlot")).toInt() - 1;
        QDBusMessage reply;
        const QString name = QFileInfo(path).completeBaseName();
        const QString what = kind == FileKind::Profile ? QStringLiteral("Profile \"%1\" (slot %2)").arg(name).arg(target + 1)
                                                       : QStringLiteral("The configuration");
        const bool done = kind == FileKind::Profile
            ? callWindow(QStringLiteral("ImportProfile"), {file, m_o.slot + 1}, &reply, &exitStatus, what, path)
            : callWindow(QStringLiteral("ImportConfiguration"), {file}, &reply, &exitStatus, what, path);
        if (!done)
            return exitStatus;
        WriteOutcome outcome;
        outcome.sentMask = quint8(reply.arguments().value(0).toUInt());
        return reportWritten(outcome, what);
    }
    // The current product decides which files match: settle it before reading.
    const bool present = openMouse();
    Q_UNUSED(present)
    loadStore();
    QString name;
    const ProfileLibrary::Result result = kind == FileKind::Profile
        ? m_library.importProfile(QFileInfo(path).absoluteFilePath(), &name, m_o.slot)
        : m_library.importConfiguration(QFileInfo(path).absoluteFilePath());
    if (result != ProfileLibrary::Result::Ok)
        return fail(EXIT_USAGE, QStringLiteral("%1: %2").arg(path, libraryMessage(result)));
    const QString what = kind == FileKind::Profile
        ? QStringLiteral("Profile \"%1\" (slot %2)").arg(name).arg((m_o.slot >= 0 ? m_o.slot : m_library.currentSlot()) + 1)
        : QStringLiteral("The configuration");
    return writeAndReport(false, what);
}

int Session::exportFile()
{
    const QString path = m_o.args.at(0);
    const FileKind kind = kindOf(path);
    if (kind == FileKind::Other)
        return usage(QStringLiteral("%1: the file name must end in .prof (a profile) or .conf (the "
                                               "configuration).").arg(path));
    if (kind == FileKind::Config && (m_o.given & OPT_SLOT))
        return usage(QStringLiteral("A configuration file holds all five slots: --slot is for profile files."));
    int exitStatus = EXIT_OK;
    if (!exportFolderExists(path, &exitStatus))
        return exitStatus;
    ProfileLibrary::Result result = ProfileLibrary::Result::Ok;
    if (kind == FileKind::Config) {
        // Reads the files only: works beside the window.
        ProfileSet set;
        loadProfileSet(set);
        ProfileLibrary library(set);
        result = library.exportConfiguration(QFileInfo(path).absoluteFilePath());
    } else {
        // Tags the library file with the product: the window does it while it runs.
        const Access how = access(&exitStatus);
        if (how == Access::Refused)
            return exitStatus;
        if (how == Access::Window) {
            QDBusMessage reply;
            if (!callWindow(QStringLiteral("ExportProfile"), {QFileInfo(path).absoluteFilePath(), m_o.slot + 1}, &reply,
                            &exitStatus, QString(), path))
                return exitStatus;
        } else {
            loadProfileSet(workingSet());
            result = m_library.exportProfile(QFileInfo(path).absoluteFilePath(), m_o.slot);
        }
    }
    if (result != ProfileLibrary::Result::Ok)
        return fail(result == ProfileLibrary::Result::Failed ? EXIT_NOT_SAVED : EXIT_USAGE,
                    QStringLiteral("%1: %2").arg(path, libraryMessage(result)));
    if (m_o.json) {
        QJsonObject o;
        o.insert(QStringLiteral("ok"), true);
        o.insert(QStringLiteral("file"), QFileInfo(path).absoluteFilePath());
        printJson(o);
    } else {
        m_out << "Exported to " << path << ".\n";
        m_out.flush();
    }
    return EXIT_OK;
}

int Session::dpi()
{
    bool ok = false;
    const int value = m_o.args.at(0).toInt(&ok);
    if (!ok || value <= 0)
        return usage(QStringLiteral("\"%1\" is not a DPI value.").arg(m_o.args.at(0)));
    const int stageCount = effectiveStageCount(dpiStageCount());
    if (m_o.stage >= stageCount)
        return usage(QStringLiteral("This mouse has %1 DPI stages: stage %2 does not exist.")
                                    .arg(stageCount)
                                    .arg(m_o.stage + 1));
    const int sensor = sensorCode();
    int lo = 0;
    int hi = 0;
    if (!dpiIndexRange(sensor, &lo, &hi))
        return fail(EXIT_USAGE, QStringLiteral("The DPI of this mouse's sensor (%1) cannot be set here.").arg(sensor));
    int index = -1;
    int below = -1;
    int above = -1;
    for (int v = lo; v <= hi; ++v) {
        const int d = sensorDpi(v, sensor);
        if (d == value) {
            index = v;
            break;
        }
        if (d < value)
            below = d;
        else if (above < 0)
            above = d;
    }
    if (index < 0) {
        QString nearest;
        if (below > 0 && above > 0)
            nearest = QStringLiteral(" The nearest are %1 and %2.").arg(below).arg(above);
        else if (below > 0 || above > 0)
            nearest = QStringLiteral(" The nearest is %1.").arg(below > 0 ? below : above);
        return usage(QStringLiteral("%1 DPI is not a value this mouse offers (%2 to %3).%4")
                                    .arg(value)
                                    .arg(sensorDpi(lo, sensor))
                                    .arg(sensorDpi(hi, sensor))
                                    .arg(nearest));
    }
    int exitStatus = EXIT_OK;
    const Access how = access(&exitStatus);
    if (how == Access::Refused)
        return exitStatus;
    int slot = 0;
    int stage = 0;
    bool active = true;
    QString what;
    if (how == Access::Window) {
        // The window's DPI tab (the active slot) or the slot's file (another).
        QVariantMap p;
        if (!windowProperties(&p, &exitStatus))
            return exitStatus;
        const int activeIndex = p.value(QStringLiteral("ActiveSlot")).toInt() - 1;
        slot = m_o.slot >= 0 ? m_o.slot : activeIndex;
        active = slot == activeIndex;
        if (m_o.stage >= 0) {
            stage = m_o.stage;
        } else if (active) {
            stage = p.value(QStringLiteral("DpiStage")).toInt() - 1;
        } else {
            ProfileSet saved;
            loadProfileSet(saved);
            stage = saved.profiles[slot].dpi < stageCount ? saved.profiles[slot].dpi : 0;
        }
        what = QStringLiteral("DPI stage %1 of slot %2 at %3 DPI").arg(stage + 1).arg(slot + 1).arg(value);
        QDBusMessage reply;
        if (!callWindow(QStringLiteral("SetDpi"), {slot + 1, stage + 1, value}, &reply, &exitStatus, what))
            return exitStatus;
        if (active) {
            WriteOutcome outcome;
            outcome.sentMask = quint8(reply.arguments().value(0).toUInt());
            return reportWritten(outcome, what);
        }
    } else {
        const bool present = openMouse();
        Q_UNUSED(present)
        loadStore();
        ProfileSet &set = workingSet();
        slot = m_o.slot >= 0 ? m_o.slot : set.ProfileID % SLOT_COUNT;
        ProfileData &profile = set.profiles[slot];
        stage = m_o.stage >= 0 ? m_o.stage : (profile.dpi < stageCount ? profile.dpi : 0);
        DpiStage &st = profile.stages[stage];
        st.xy = st.x = st.y = quint32(index);
        what = QStringLiteral("DPI stage %1 of slot %2 at %3 DPI").arg(stage + 1).arg(slot + 1).arg(value);
        // The write saves slot 1's and the active slot's files; this slot's is saved here.
        if (!writeSlotFile(profile, set.names[slot]))
            return notSaved(what);
        active = slot == activeSlot(set);
    }
    if (!active) {
        // The mouse holds the active slot's DPI table: this one goes out when
        // its slot becomes active.
        if (m_o.json) {
            QJsonObject o;
            o.insert(QStringLiteral("ok"), true);
            o.insert(QStringLiteral("written"), QJsonArray());
            o.insert(QStringLiteral("full"), false);
            o.insert(QStringLiteral("waitsForSlot"), slot + 1);
            printJson(o);
        } else {
            m_out << what << " is saved.\n"
                  << "Slot " << slot + 1 << " is not active: the mouse takes its DPI stages when it is.\n";
            m_out.flush();
        }
        return EXIT_OK;
    }
    return writeAndReport(false, what);
}

int Session::rate()
{
    QString text = m_o.args.at(0).trimmed();
    if (text.endsWith(QLatin1String("hz"), Qt::CaseInsensitive))
        text.chop(2);
    bool ok = false;
    const int hz = text.trimmed().toInt(&ok);
    const QMap<int, quint8> codes{{125, 8}, {250, 4}, {500, 2}, {1000, 1}};
    if (!ok || !codes.contains(hz))
        return usage(QStringLiteral("\"%1\" is not a report rate: choose 125, 250, 500 or 1000 Hz.")
                                    .arg(m_o.args.at(0)));
    int exitStatus = EXIT_OK;
    const Access how = access(&exitStatus);
    if (how == Access::Refused)
        return exitStatus;
    if (how == Access::Window) {
        // The window's rate menu (the active slot) or the slot's file (another).
        QVariantMap p;
        if (!windowProperties(&p, &exitStatus))
            return exitStatus;
        const int slot = m_o.slot >= 0 ? m_o.slot : p.value(QStringLiteral("ActiveSlot")).toInt() - 1;
        const QString what = QStringLiteral("The report rate of slot %1 at %2 Hz").arg(slot + 1).arg(hz);
        QDBusMessage reply;
        if (!callWindow(QStringLiteral("SetReportRate"), {slot + 1, hz}, &reply, &exitStatus, what))
            return exitStatus;
        WriteOutcome outcome;
        outcome.sentMask = quint8(reply.arguments().value(0).toUInt());
        return reportWritten(outcome, what);
    }
    const bool present = openMouse();
    Q_UNUSED(present)
    loadStore();
    ProfileSet &set = workingSet();
    const int slot = m_o.slot >= 0 ? m_o.slot : set.ProfileID % SLOT_COUNT;
    set.profiles[slot].pollrate = codes.value(hz);
    const QString what = QStringLiteral("The report rate of slot %1 at %2 Hz").arg(slot + 1).arg(hz);
    if (!writeSlotFile(set.profiles[slot], set.names[slot]))
        return notSaved(what);
    return writeAndReport(false, what);
}

bool Session::exportFolderExists(const QString &path, int *exitStatus)
{
    // Nothing is made on the way: a mistyped folder is not created.
    const QDir folder = QFileInfo(path).absoluteDir();
    if (folder.exists())
        return true;
    *exitStatus = fail(EXIT_USAGE, QStringLiteral("%1: the folder %2 does not exist.").arg(path, folder.path()));
    return false;
}

int Session::run()
{
    const QString name = QLatin1String(m_o.command->name);
    if (name == QLatin1String("list"))
        return list();
    if (name == QLatin1String("status"))
        return status();
    if (name == QLatin1String("profiles"))
        return profiles();
    if (name == QLatin1String("slot"))
        return slot();
    if (name == QLatin1String("apply"))
        return apply();
    if (name == QLatin1String("import"))
        return importFile();
    if (name == QLatin1String("export"))
        return exportFile();
    if (name == QLatin1String("dpi"))
        return dpi();
    return rate();
}

} // namespace

int run(const QString &program, const QStringList &args, QTextStream &out, QTextStream &err, const Hooks &hooks)
{
    Options o;
    const QString problem = parse(args, o);
    if (!problem.isEmpty()) {
        err << program << ": " << problem << '\n';
        if (o.command)
            err << "Try '" << program << ' ' << o.command->name << " --help'.\n";
        else
            err << "Try '" << program << " --help'.\n";
        err.flush();
        return EXIT_USAGE;
    }
    if (o.version) {
        out << program << ' ' << MOUSECFG_VERSION << '\n';
        out.flush();
        return EXIT_OK;
    }
    if (o.help) {
        out << (o.command ? commandHelp(program, *o.command) : mainHelp(program));
        out.flush();
        return EXIT_OK;
    }
    if (!o.command) {
        err << mainHelp(program);
        err.flush();
        return EXIT_USAGE;
    }
    Session session(program, o, out, err, hooks);
    return session.run();
}

int main(int argc, char **argv, const Hooks &hooks)
{
    QCoreApplication app(argc, argv);
    // The same names as the window, so both find the same Configs folder.
    QCoreApplication::setApplicationName(QStringLiteral("mousecfg"));
    QCoreApplication::setOrganizationName(QStringLiteral("mousecfg"));
    // The device link's diagnostics stay out of the user's terminal
    // (QT_LOGGING_RULES="default.debug=true" shows them).
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\nmousecfg.*.debug=false"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    const QString program = args.isEmpty() ? QStringLiteral("mousecfgctl") : QFileInfo(args.takeFirst()).fileName();
    return run(program, args, out, err, hooks);
}

} // namespace ctl

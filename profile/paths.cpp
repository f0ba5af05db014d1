#include "paths.h"

#include "inifile.h"
#include "profile/logging.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

static void initTemplateResource()
{
    Q_INIT_RESOURCE(templates);
}

namespace {

// Guarded by one mutex: the write thread builds paths while the GUI thread may.
struct PathState {
    QMutex mutex;
    QString appDirOverride;
    QString baseOverride;
    QString resolvedBase;     // the default base, once chosen
    QString seededBase;       // the base whose Config.ini has been seeded
};

PathState &state()
{
    static PathState s;
    return s;
}

bool writableDir(const QString &dir)
{
    if (!QDir().mkpath(dir))
        return false;
    QTemporaryFile probe(dir + QStringLiteral("/.write-test-XXXXXX"));
    return probe.open();
}

#ifndef MOUSECFG_DATA_FROM_BIN
#define MOUSECFG_DATA_FROM_BIN "../share/mousecfg"
#endif
#ifndef MOUSECFG_LIBEXEC_FROM_BIN
#define MOUSECFG_LIBEXEC_FROM_BIN "../libexec/mousecfg"
#endif

QString executableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

// Where the read-only data lies and whether it is the installed layout (in
// which the folder beside the data is never the user's).
struct AppDirChoice {
    QString dir;
    bool installed = false;
};

// The install layout of the executable's folder, found once: every path the
// program builds starts from it (caller holds the mutex).
const InstallLayout &executableLayout()
{
    static QString dir;
    static InstallLayout layout;
    const QString now = executableDir();
    if (now != dir || layout.dataDir.isEmpty()) {
        dir = now;
        layout = installLayoutFor(now);
    }
    return layout;
}

AppDirChoice defaultAppDir()
{
    const QByteArray env = qgetenv("MOUSECFG_APPDIR");
    if (!env.isEmpty())
        return {QDir::cleanPath(QString::fromLocal8Bit(env)), false};
    const InstallLayout &layout = executableLayout();
    return {layout.dataDir, layout.installed};
}

QString templatePathFor(const QString &appDir)
{
    const QString shipped = appDir + QStringLiteral("/ConfigTemplate/Config.ini");
    if (QFile::exists(shipped))
        return shipped;
    initTemplateResource();
    return QStringLiteral(":/templates/Config.ini");
}

// Adds to <base>/Config.ini every key of the template that it lacks.
void seedFromTemplate(const QString &base, const QString &appDir)
{
    const QString templatePath = templatePathFor(appDir);
    IniFile tmpl(templatePath);
    const QStringList keys = tmpl.allKeys();
    if (keys.isEmpty()) {
        qCDebug(lcProfile, "Config template %s is empty or missing", qPrintable(templatePath));
        return;
    }
    if (!QDir().mkpath(base)) {
        qCWarning(lcProfile, "Cannot create the configuration folder %s", qPrintable(base));
        return;
    }
    IniFile config(base + QStringLiteral("/Config.ini"));
    int added = 0;
    for (const QString &key : keys) {
        if (!config.contains(key)) {
            config.setValue(key, tmpl.value(key));
            ++added;
        }
    }
    if (added)
        qCDebug(lcProfile, "Seeded %d keys of %s from the template", added, qPrintable(config.fileName()));
}

} // namespace

InstallLayout installLayoutFor(const QString &executableDir)
{
    InstallLayout layout;
    const QString exeDir = QDir::cleanPath(executableDir);
    const QString installedData = QDir::cleanPath(exeDir + QStringLiteral("/" MOUSECFG_DATA_FROM_BIN));
    if (!QFile::exists(exeDir + QStringLiteral("/DefaultProfile.bin"))
        && QFile::exists(installedData + QStringLiteral("/DefaultProfile.bin"))) {
        layout.dataDir = installedData;
        layout.installed = true;
    } else {
        // The build folder, a portable copy, or nothing found at all: the
        // executable's own folder, where the missing files are looked for.
        layout.dataDir = exeDir;
    }
    const QString beside = exeDir + QStringLiteral("/OSD");
    const QString installedOsd = QDir::cleanPath(exeDir + QStringLiteral("/" MOUSECFG_LIBEXEC_FROM_BIN "/OSD"));
    layout.osdProgram = (!QFile::exists(beside) && QFile::exists(installedOsd)) ? installedOsd : beside;
    return layout;
}

QString applicationDir()
{
    PathState &s = state();
    QMutexLocker lock(&s.mutex);
    return s.appDirOverride.isEmpty() ? defaultAppDir().dir : s.appDirOverride;
}

QString osdProgramPath()
{
    QString appDir;
    {
        PathState &s = state();
        QMutexLocker lock(&s.mutex);
        appDir = s.appDirOverride.isEmpty() ? defaultAppDir().dir : s.appDirOverride;
    }
    // A data folder named by hand (MOUSECFG_APPDIR, tests) may carry its own display.
    const QString withData = appDir + QStringLiteral("/OSD");
    if (QFile::exists(withData))
        return withData;
    const QString found = installLayoutFor(executableDir()).osdProgram;
    return QFile::exists(found) ? found : withData;
}

void setApplicationDir(const QString &dir)
{
    PathState &s = state();
    QMutexLocker lock(&s.mutex);
    s.appDirOverride = dir.isEmpty() ? QString() : QDir::cleanPath(dir);
}

namespace {

// The data folder in use, named by hand or found (caller holds the mutex).
AppDirChoice appDirChoice(const PathState &s)
{
    return s.appDirOverride.isEmpty() ? defaultAppDir() : AppDirChoice{s.appDirOverride, false};
}

// The base without seeding it (caller holds the mutex).
QString resolveBase(PathState &s, const AppDirChoice &choice)
{
    if (!s.baseOverride.isEmpty())
        return s.baseOverride;
    if (s.resolvedBase.isEmpty()) {
        // An installed program's data folder is the system's, even for root.
        const QString portable = choice.dir + QStringLiteral("/Configs");
        if (!choice.installed && writableDir(portable)) {
            s.resolvedBase = portable;
        } else {
            s.resolvedBase =
                QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/Configs");
            qCDebug(lcProfile, "%s is not writable, using %s", qPrintable(portable), qPrintable(s.resolvedBase));
        }
    }
    return s.resolvedBase;
}

// A lock file of QSettings that no running process holds: empty or unreadable
// (the writer was killed while creating it), or naming a process that is gone.
bool removeIfStale(const QString &lockPath)
{
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0);
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app)) {
        if (QFile::remove(lockPath)) {
            qCDebug(lcProfile, "Removed the empty lock file %s", qPrintable(lockPath));
            return true;
        }
        return false;
    }
    // tryLock takes over a lock whose owner is gone; unlock removes it.
    if (lock.tryLock(0)) {
        lock.unlock();
        qCDebug(lcProfile, "Removed the lock file %s of a process that is gone", qPrintable(lockPath));
        return true;
    }
    return false;
}

} // namespace

QString configsBase()
{
    PathState &s = state();
    QMutexLocker lock(&s.mutex);
    const AppDirChoice choice = appDirChoice(s);
    const QString appDir = choice.dir;
    const QString base = resolveBase(s, choice);
    if (s.seededBase != base) {
        s.seededBase = base;
        seedFromTemplate(base, appDir);
    }
    return base;
}

int removeStaleLockFiles(const QString &dir)
{
    int removed = 0;
    // Filtered by suffix here (in any case, as a name filter would): a name
    // filter would compile a pattern.
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(QLatin1String(".lock"), Qt::CaseInsensitive) && removeIfStale(path))
            ++removed;
    }
    return removed;
}

QString configsFolder()
{
    QString base;
    {
        PathState &s = state();
        QMutexLocker lock(&s.mutex);
        base = resolveBase(s, appDirChoice(s));
    }
    QDir().mkpath(base);
    return base;
}

int removeStaleConfigLocks()
{
    QString base;
    {
        PathState &s = state();
        QMutexLocker lock(&s.mutex);
        base = resolveBase(s, appDirChoice(s));
    }
    return removeStaleLockFiles(base);
}

void setConfigsBase(const QString &dir)
{
    PathState &s = state();
    QMutexLocker lock(&s.mutex);
    s.baseOverride = dir.isEmpty() ? QString() : QDir::cleanPath(dir);
    s.resolvedBase.clear();
    s.seededBase.clear();
}

QString descriptionPath()
{
    return applicationDir() + QStringLiteral("/DefaultProfile.bin");
}

QString templateConfigPath()
{
    return templatePathFor(applicationDir());
}

QString globalConfigPath()
{
    return configsBase() + QStringLiteral("/Config.ini");
}

QString languageConfigPath()
{
    return configsBase() + QStringLiteral("/LangConfig.ini");
}

QString productDir()
{
    const QString base = configsBase();
    const QString product =
        cachedIniValue(base + QStringLiteral("/Config.ini"), QStringLiteral("Config/CurrentProductName")).toString();
    if (product.isEmpty())
        return base;
    if (!isSafeFileName(product)) {
        qCDebug(lcProfile, "Unsafe product name \"%s\": using the configuration base", qPrintable(product));
        return base;
    }
    return base + QLatin1Char('/') + product;
}

QString productConfigPath()
{
    return productDir() + QStringLiteral("/Config.ini");
}

QString profileDir()
{
    return productDir() + QStringLiteral("/Profile");
}

QString macroDir()
{
    return configsBase() + QStringLiteral("/MacroDB");
}

QString filterSuffix(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9_]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString withFilterSuffix(const QString &path, const QString &filter)
{
    const QString suffix = filterSuffix(filter);
    if (path.isEmpty() || suffix.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    const QString fileName = QFileInfo(path).fileName();
    if (fileName.endsWith(QLatin1Char('.')))
        return path + suffix;                       // "name.": the extension left out
    if (fileName.lastIndexOf(QLatin1Char('.')) > 0)
        return path;                                // "name.ext": the user's own choice
    return path + QLatin1Char('.') + suffix;
}

NameCheck checkFileName(const QString &name)
{
    if (name.isEmpty())
        return NameCheck::Empty;
    // The file name on disk is the encoded name plus the extension and the
    // suffixes of the lock and temporary files written beside it.
    if (name.size() > 200 || QFile::encodeName(name).size() > FILE_NAME_BYTES_MAX)
        return NameCheck::TooLong;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            return NameCheck::ControlChar;
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate())
            ++i;   // a whole pair
        else if (c.isSurrogate())
            return NameCheck::LoneSurrogate;
    }
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return NameCheck::Separator;
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return NameCheck::DotDot;
    return NameCheck::Ok;
}

#include "paths.h"

#include "inifile.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QMutexLocker>
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

QString defaultAppDir()
{
    const QByteArray env = qgetenv("MOUSECFG_APPDIR");
    if (!env.isEmpty())
        return QDir::cleanPath(QString::fromLocal8Bit(env));
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
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
        qDebug("Config template %s is empty or missing", qPrintable(templatePath));
        return;
    }
    if (!QDir().mkpath(base)) {
        qDebug("Cannot create the configuration folder %s", qPrintable(base));
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
        qDebug("Seeded %d keys of %s from the template", added, qPrintable(config.fileName()));
}

} // namespace

QString applicationDir()
{
    PathState &s = state();
    QMutexLocker lock(&s.mutex);
    return s.appDirOverride.isEmpty() ? defaultAppDir() : s.appDirOverride;
}

void setApplicationDir(const QString &dir)
{
    PathState &s = state();
    QMutexLocker lock(&s.mutex);
    s.appDirOverride = dir.isEmpty() ? QString() : QDir::cleanPath(dir);
}

namespace {

// The base without seeding it (caller holds the mutex).
QString resolveBase(PathState &s, const QString &appDir)
{
    if (!s.baseOverride.isEmpty())
        return s.baseOverride;
    if (s.resolvedBase.isEmpty()) {
        const QString portable = appDir + QStringLiteral("/Configs");
        if (writableDir(portable)) {
            s.resolvedBase = portable;
        } else {
            s.resolvedBase =
                QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/Configs");
            qDebug("%s is not writable, using %s", qPrintable(portable), qPrintable(s.resolvedBase));
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
            qDebug("Removed the empty lock file %s", qPrintable(lockPath));
            return true;
        }
        return false;
    }
    // tryLock takes over a lock whose owner is gone; unlock removes it.
    if (lock.tryLock(0)) {
        lock.unlock();
        qDebug("Removed the lock file %s of a process that is gone", qPrintable(lockPath));
        return true;
    }
    return false;
}

} // namespace

QString configsBase()
{
    PathState &s = state();
    QMutexLocker lock(&s.mutex);
    const QString appDir = s.appDirOverride.isEmpty() ? defaultAppDir() : s.appDirOverride;
    const QString base = resolveBase(s, appDir);
    if (s.seededBase != base) {
        s.seededBase = base;
        seedFromTemplate(base, appDir);
    }
    return base;
}

int removeStaleLockFiles(const QString &dir)
{
    int removed = 0;
    QDirIterator it(dir, {QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (removeIfStale(it.next()))
            ++removed;
    }
    return removed;
}

int removeStaleConfigLocks()
{
    QString base;
    {
        PathState &s = state();
        QMutexLocker lock(&s.mutex);
        base = resolveBase(s, s.appDirOverride.isEmpty() ? defaultAppDir() : s.appDirOverride);
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
    const QString product = IniFile(base + QStringLiteral("/Config.ini"))
                                .value(QStringLiteral("Config/CurrentProductName")).toString();
    if (product.isEmpty())
        return base;
    if (!isSafeFileName(product)) {
        qDebug("Unsafe product name \"%s\": using the configuration base", qPrintable(product));
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

NameCheck checkFileName(const QString &name)
{
    if (name.isEmpty())
        return NameCheck::Empty;
    // The file name on disk is the encoded name plus the extension and the
    // suffixes of the lock and temporary files written beside it.
    if (name.size() > 200 || QFile::encodeName(name).size() > FILE_NAME_BYTES_MAX)
        return NameCheck::TooLong;
    for (const QChar c : name) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            return NameCheck::ControlChar;
    }
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return NameCheck::Separator;
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return NameCheck::DotDot;
    return NameCheck::Ok;
}

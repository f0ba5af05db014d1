#include "platform/singleinstance.h"

#include "platform/logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QtDebug>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A folder only this user can enter: it exists, is a real folder (not a link),
// belongs to us and lets no one else in.
bool privateFolder(const QString &path)
{
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    return ::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid()
           && (st.st_mode & 077) == 0;
}

} // namespace

QString SingleInstance::runtimeFolder()
{
    // The session's runtime folder, as the login manager made it.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isAbsolute() && privateFolder(runtime))
        return QDir::cleanPath(runtime);
    // Otherwise a folder of this user's own in the temporary folder.
    const QString own = QDir::tempPath() + QStringLiteral("/mousecfg-") + QString::number(::getuid());
    const QByteArray native = QFile::encodeName(own);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        qCDebug(lcPlatform, "Cannot create %s", qPrintable(own));
    if (!privateFolder(own))
        qCDebug(lcPlatform, "%s is not a private folder of this user", qPrintable(own));
    return own;
}

QString SingleInstance::lockPathFor(const QString &mutexName)
{
    // The name may hold any character a product name holds; keep the readable
    // part for people looking at /tmp and make the file name unique by a hash.
    QString readable;
    for (const QChar c : mutexName) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            readable += c;
        else if (c == QLatin1Char(' '))
            readable += QLatin1Char('_');
    }
    readable.truncate(80);
    const QByteArray hash =
        QCryptographicHash::hash(mutexName.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return runtimeFolder() + QStringLiteral("/mousecfg-") + readable + QLatin1Char('-')
        + QString::fromLatin1(hash) + QStringLiteral(".lock");
}

SingleInstance::SingleInstance(const QString &mutexName)
{
    const QString path = lockPathFor(mutexName);
    if (!privateFolder(QFileInfo(path).absolutePath())) {
        // Someone else's folder, or a link planted in the temporary folder:
        // a lock there proves nothing, so start without one.
        qCWarning(lcPlatform, "Single instance lock %s is not in a private folder; not checking for another copy",
                 qPrintable(path));
        m_owner = true;
        return;
    }
    m_lock.reset(new QLockFile(path));
    // Never stale by age: only a lock whose owner process is gone is taken over.
    m_lock->setStaleLockTime(0);
    m_owner = m_lock->tryLock(0);
    if (!m_owner && m_lock->error() == QLockFile::PermissionError) {
        // Without a place for the lock, uniqueness cannot be checked; starting
        // anyway beats a program that never starts.
        qCWarning(lcPlatform, "Single instance lock %s cannot be created", qPrintable(path));
        m_owner = true;
        m_lock.reset();
    }
}

SingleInstance::~SingleInstance()
{
    if (m_owner && m_lock)
        m_lock->unlock();
}

} // namespace platform

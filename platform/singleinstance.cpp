#include "platform/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QtDebug>

namespace platform {

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
    return QDir::tempPath() + QStringLiteral("/mousecfg-") + readable + QLatin1Char('-')
        + QString::fromLatin1(hash) + QStringLiteral(".lock");
}

SingleInstance::SingleInstance(const QString &mutexName)
    : m_lock(new QLockFile(lockPathFor(mutexName)))
{
    // Never stale by age: only a lock whose owner process is gone is taken over.
    m_lock->setStaleLockTime(0);
    m_owner = m_lock->tryLock(0);
    if (!m_owner && m_lock->error() == QLockFile::PermissionError) {
        // Without a place for the lock, uniqueness cannot be checked; starting
        // anyway beats a program that never starts.
        qDebug("Single instance lock %s cannot be created", qPrintable(lockPathFor(mutexName)));
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

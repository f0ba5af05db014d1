#include "platform/runtimefolder.h"

#include "platform/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QtDebug>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool isPrivateFolder(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isAbsolute())
        return false;
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    return ::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid()
           && (st.st_mode & 077) == 0;
}

QString privateRuntimeFolder()
{
    // The session's runtime folder, as the login manager made it.
    const QString runtime = QDir::cleanPath(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && isPrivateFolder(runtime))
        return runtime;
    // Otherwise a folder of this user's own in the temporary folder.
    const QString own = QDir::tempPath() + QStringLiteral("/mousecfg-") + QString::number(::getuid());
    const QByteArray native = QFile::encodeName(own);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        qCDebug(lcPlatform, "Cannot create %s", qPrintable(own));
    if (isPrivateFolder(own))
        return own;
    // Someone else made that name first (or opened it to others): a folder of
    // our own with a name no one can guess, kept for the process.
    static QMutex mutex;
    static QString fresh;
    QMutexLocker lock(&mutex);
    if (!isPrivateFolder(fresh)) {
        QByteArray pattern = QFile::encodeName(own + QStringLiteral("-XXXXXX"));
        if (::mkdtemp(pattern.data())) {
            fresh = QFile::decodeName(pattern);
            qCWarning(lcPlatform, "%s is not a private folder of this user; using %s", qPrintable(own),
                      qPrintable(fresh));
        } else {
            qCWarning(lcPlatform, "No private runtime folder can be made beside %s", qPrintable(own));
            fresh.clear();
        }
    }
    return fresh;
}

} // namespace platform

#include "wholefile.h"

#include "inifile.h"
#include "profile/logging.h"
#include "slotcache.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

bool isRegularFileOrAbsent(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode);
}

bool writeWholeFile(const QString &path, const QByteArray &bytes)
{
    if (!isRegularFileOrAbsent(path)) {
        qCWarning(lcProfile, "Not written: %s is not a regular file", qPrintable(path));
        return false;
    }
    const SlotFileStamp before = stampSlotFile(path);
    // Unbuffered: each write reaches the file at once and its failure is
    // seen here. (A write left in a buffer until commit() fails unseen there,
    // and the empty file would replace the old one.)
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size()
        || !file.flush() || !file.commit()) {
        // The temporary file is gone again; the target is untouched.
        qCWarning(lcProfile, "Cannot write %s: %s", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    // QSettings takes a file it has read as unchanged while its size and its
    // modification time in milliseconds stay the same: a file written again
    // within the same millisecond gets a later time.
    const SlotFileStamp after = stampSlotFile(path);
    const qint64 nsPerMs = 1000000;
    if (before.valid && after.valid && after.mtimeNs / nsPerMs <= before.mtimeNs / nsPerMs) {
        const qint64 later = (before.mtimeNs / nsPerMs + 1) * nsPerMs;
        const timespec times[2] = {{0, UTIME_OMIT}, {time_t(later / 1000000000), long(later % 1000000000)}};
        utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
    return true;
}

bool copyWholeFile(const QString &source, const QString &target)
{
    struct stat st;
    if (::stat(QFile::encodeName(source).constData(), &st) != 0 || !S_ISREG(st.st_mode)
        || qint64(st.st_size) > maxIniFileSize()) {
        qCWarning(lcProfile, "Not copied: %s is not a regular file of at most %lld bytes", qPrintable(source),
                  static_cast<long long>(maxIniFileSize()));
        return false;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        qCWarning(lcProfile, "Cannot read %s: %s", qPrintable(source), qPrintable(in.errorString()));
        return false;
    }
    const QByteArray bytes = in.read(maxIniFileSize() + 1);
    if (in.error() != QFileDevice::NoError || bytes.size() > maxIniFileSize()) {
        qCWarning(lcProfile, "Cannot read %s whole", qPrintable(source));
        return false;
    }
    return writeWholeFile(target, bytes);
}

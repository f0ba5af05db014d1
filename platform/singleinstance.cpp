#include "platform/singleinstance.h"

#include "platform/logging.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtDebug>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const char *roleName(SingleInstance::Mode mode)
{
    return mode == SingleInstance::Mode::Window ? "window" : "writer";
}

// The whole file, at most a few hundred bytes.
QByteArray readAll(int fd)
{
    QByteArray data;
    char buffer[512];
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
        if (got <= 0)
            break;
        data.append(buffer, int(got));
        offset += got;
        if (data.size() > 4096)
            break;
    }
    return data;
}

} // namespace

QString SingleInstance::lockPathFor(const QString &folder, const QString &mutexName)
{
    // The name may hold any character a product name holds; keep the readable
    // part for people looking at the folder and make the file name unique by a hash.
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
    return QDir::cleanPath(folder) + QStringLiteral("/.mousecfg-") + readable + QLatin1Char('-')
        + QString::fromLatin1(hash) + QStringLiteral(".instance");
}

qint64 SingleInstance::processStartTime(qint64 pid)
{
    if (pid <= 0)
        return -1;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The command name in parentheses may hold spaces: count fields after it.
    const int close = line.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // Field 22 of the line is the 20th after the name (state is the 3rd).
    bool ok = false;
    const qint64 start = fields.value(19).toLongLong(&ok);
    return ok ? start : -1;
}

SingleInstance::SingleInstance(const QString &folder, const QString &mutexName, Mode mode)
    : m_path(lockPathFor(folder, mutexName)), m_mode(mode)
{
}

SingleInstance::~SingleInstance()
{
    unlock();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SingleInstance::tryLock()
{
    if (m_owner)
        return true;
    m_error.clear();
    if (m_fd < 0) {
        const QString folder = QFileInfo(m_path).absolutePath();
        if (!QDir().mkpath(folder)) {
            m_error = QStringLiteral("The folder %1 cannot be created.").arg(folder);
            return false;
        }
        const QByteArray native = QFile::encodeName(m_path);
        // Never through a link someone put in its place; readable by others
        // of a shared portable folder, who lock it too.
        m_fd = ::open(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0644);
        if (m_fd < 0 && errno == EACCES)
            m_fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
        if (m_fd < 0) {
            m_error = QStringLiteral("The lock file %1 cannot be opened: %2.")
                          .arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        struct stat st;
        if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(m_fd);
            m_fd = -1;
            m_error = QStringLiteral("The lock file %1 is not a plain file.").arg(m_path);
            return false;
        }
    }
    const int operation = (m_mode == Mode::Reader ? LOCK_SH : LOCK_EX) | LOCK_NB;
    int result;
    do {
        result = ::flock(m_fd, operation);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        if (errno != EWOULDBLOCK)
            m_error = QStringLiteral("The lock file %1 cannot be locked: %2.")
                          .arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_owner = true;
    if (m_mode != Mode::Reader)
        writeRecord();
    qCDebug(lcPlatform, "Holding %s (%s)", qPrintable(m_path),
            m_mode == Mode::Reader ? "shared" : roleName(m_mode));
    return true;
}

bool SingleInstance::waitForLock(int timeoutMs)
{
    return waitForLock(timeoutMs, [](const LockHolder &) { return false; });
}

void SingleInstance::waitStep()
{
    ::usleep(50 * 1000);
}

void SingleInstance::unlock()
{
    if (!m_owner)
        return;
    // An empty record: no one reads a process that has gone as the holder.
    if (m_mode != Mode::Reader && ::ftruncate(m_fd, 0) != 0)
        qCDebug(lcPlatform, "Cannot empty %s", qPrintable(m_path));
    ::flock(m_fd, LOCK_UN);
    m_owner = false;
}

void SingleInstance::setBusEndpoint(const QString &busName, const QString &busAddress)
{
    m_busName = busName;
    m_busAddress = busAddress;
    m_ready = true;
    if (m_owner && m_mode != Mode::Reader)
        writeRecord();
}

void SingleInstance::writeRecord()
{
    const qint64 pid = QCoreApplication::applicationPid();
    QByteArray record = "pid=" + QByteArray::number(pid) + '\n';
    record += "start=" + QByteArray::number(processStartTime(pid)) + '\n';
    record += QByteArray("role=") + roleName(m_mode) + '\n';
    if (!m_busName.isEmpty())
        record += "bus=" + m_busName.toUtf8() + '\n';
    if (!m_busAddress.isEmpty())
        record += "address=" + m_busAddress.toUtf8() + '\n';
    if (m_ready)
        record += "ready=1\n";
    // A record that cannot be written (a read-only file of a shared folder)
    // only leaves the others without a name for the holder.
    if (::ftruncate(m_fd, 0) != 0 || ::pwrite(m_fd, record.constData(), size_t(record.size()), 0) != record.size())
        qCDebug(lcPlatform, "Cannot record the holder in %s", qPrintable(m_path));
}

LockHolder SingleInstance::holder() const
{
    LockHolder h;
    int fd = m_fd;
    if (fd < 0)
        fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return h;
    const QByteArray data = readAll(fd);
    if (fd != m_fd)
        ::close(fd);
    qint64 start = -1;
    for (const QByteArray &line : data.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = line.left(eq);
        const QByteArray value = line.mid(eq + 1);
        if (key == "pid")
            h.pid = value.toLongLong();
        else if (key == "start")
            start = value.toLongLong();
        else if (key == "role")
            h.role = value == "window" ? LockHolder::Window : value == "writer" ? LockHolder::Writer
                                                                                : LockHolder::Unknown;
        else if (key == "bus")
            h.busName = QString::fromUtf8(value);
        else if (key == "address")
            h.busAddress = QString::fromUtf8(value);
        else if (key == "ready")
            h.ready = value == "1";
    }
    if (h.pid > 0) {
        const qint64 now = processStartTime(h.pid);
        if (now >= 0)
            h.running = start < 0 || now == start;
        else
            h.running = ::kill(pid_t(h.pid), 0) == 0 || errno == EPERM;
    }
    // A record of a process that has gone says nothing about who holds it now.
    if (!h.running)
        h = LockHolder();
    return h;
}

} // namespace platform

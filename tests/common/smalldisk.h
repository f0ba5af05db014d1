#pragma once
// Small file systems mounted over a folder for the length of one test: a
// tmpfs to see what a full disk does to a write, an ext2 image for times of
// whole seconds. Mounting needs root (or CAP_SYS_ADMIN): a test
// skips where the mount is refused, as in an unprivileged container.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

class SmallDisk {
public:
    SmallDisk(const QString &dir, int kilobytes)
        : m_dir(dir)
    {
        QDir().mkpath(dir);
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
        m_mounted = ::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                            options.constData())
            == 0;
        if (!m_mounted)
            m_error = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString error() const { return m_error; }
    QString fillerPath() const { return m_dir + QStringLiteral("/.filler"); }

    // Takes every free byte with one file; true when the disk is full then.
    bool fill()
    {
        QFile filler(fillerPath());
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write("f", 1) == 1) {
        }
        return filler.write("f", 1) < 0;
    }
    void release() { QFile::remove(fillerPath()); }

private:
    QString m_dir;
    QString m_error;
    bool m_mounted = false;
};

// An ext2 file system with 128-byte inodes, whose times keep whole seconds
// only, mounted over a folder through a loop device: what a file system with
// coarse timestamps does to anything that trusts them. Needs mkfs.ext2 and a
// loop device besides root.
class CoarseTimeDisk {
public:
    CoarseTimeDisk(const QString &dir, const QString &image, int megabytes)
        : m_dir(dir)
    {
        QDir().mkpath(dir);
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(megabytes) << 20)) {
            m_error = QStringLiteral("cannot make the image");
            return;
        }
        file.close();
        const QString mkfs = QStandardPaths::findExecutable(QStringLiteral("mkfs.ext2"),
                                                            {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        if (mkfs.isEmpty()) {
            m_error = QStringLiteral("no mkfs.ext2");
            return;
        }
        if (!run(mkfs, {QStringLiteral("-q"), QStringLiteral("-F"), QStringLiteral("-I"), QStringLiteral("128"), image})
            || !run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), image, dir}))
            return;
        m_mounted = true;
    }
    ~CoarseTimeDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir).constData(), MNT_DETACH);   // the loop device goes with it
    }
    CoarseTimeDisk(const CoarseTimeDisk &) = delete;
    CoarseTimeDisk &operator=(const CoarseTimeDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString error() const { return m_error; }

private:
    bool run(const QString &program, const QStringList &args)
    {
        QProcess p;
        p.start(program, args);
        if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return true;
        m_error = program + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        return false;
    }

    QString m_dir;
    QString m_error;
    bool m_mounted = false;
};

// Skips the test, saying why, where no tmpfs can be mounted.
#define SMALL_DISK_OR_SKIP(disk)                                                               \
    do {                                                                                       \
        if (!(disk).mounted())                                                                 \
            QSKIP(qPrintable(QStringLiteral("No tmpfs can be mounted here: ") + (disk).error())); \
    } while (false)

// The same for the file system with whole-second times.
#define COARSE_TIME_DISK_OR_SKIP(disk)                                                                   \
    do {                                                                                                 \
        if (!(disk).mounted())                                                                           \
            QSKIP(qPrintable(QStringLiteral("No ext2 image can be mounted here: ") + (disk).error()));   \
    } while (false)

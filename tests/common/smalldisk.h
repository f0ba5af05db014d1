#pragma once
// A small tmpfs mounted over a folder for the length of one test, to see what
// a full disk does to a write. Mounting needs root (or CAP_SYS_ADMIN): a test
// skips where the mount is refused, as in an unprivileged container.

#include <QByteArray>
#include <QDir>
#include <QFile>
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

// Skips the test, saying why, where no tmpfs can be mounted.
#define SMALL_DISK_OR_SKIP(disk)                                                               \
    do {                                                                                       \
        if (!(disk).mounted())                                                                 \
            QSKIP(qPrintable(QStringLiteral("No tmpfs can be mounted here: ") + (disk).error())); \
    } while (false)

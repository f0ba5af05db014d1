#include "osdlifetime.h"

#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <signal.h>
#include <unistd.h>

OsdLifetime::OsdLifetime(qint64 ownerPid, QObject *parent)
    : QObject(parent), m_owner(ownerPid), m_alive(&OsdLifetime::processExists)
{
    m_sinceLast.start();
    m_check.setInterval(1000);
    connect(&m_check, &QTimer::timeout, this, &OsdLifetime::check);
    m_check.start();
}

qint64 OsdLifetime::ownerFromEnvironment()
{
    bool ok = false;
    const qint64 pid = qEnvironmentVariable("MOUSECFG_OSD_OWNER").toLongLong(&ok);
    if (ok && pid > 1)
        return pid;
    const pid_t parent = ::getppid();
    return parent > 1 ? parent : 0;
}

bool OsdLifetime::processExists(qint64 pid)
{
    if (pid <= 1)
        return false;
    // EPERM: it exists but belongs to someone else.
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

void OsdLifetime::noteMessage(int durationMs)
{
    m_sinceLast.restart();
    m_busyMs = std::clamp(durationMs, 0, 60000);
}

void OsdLifetime::check()
{
    if (m_done)
        return;
    if (m_owner > 0 && m_alive(m_owner))
        return;
    if (m_sinceLast.elapsed() < m_busyMs + m_lingerMs)
        return;
    m_done = true;
    m_check.stop();
    emit finished();
}

#pragma once
// One lock per user and product, taken by the window and by every command-line
// write: whoever holds it alone may talk to the mouse and write the settings.
//
// The lock is a file in the user's own settings folder (the caller names it:
// the Configs folder), so every process of the user finds the same one,
// whatever its environment says (a command from cron, a service, another
// TMPDIR or runtime folder). It is held with flock(): the kernel lets go of it
// when its holder ends in any way, so a lock file left behind, empty or
// naming a process that is gone, never blocks anyone. The file is never
// removed (removing a flock()ed file lets two processes hold two files).
//
// Three ways to hold it:
//   Window  exclusive; the running program, which records where it answers
//           on the session bus;
//   Writer  exclusive; a command that writes to the mouse or the files;
//   Reader  shared; a command that only asks the mouse (status): readers do
//           not exclude each other, and whoever needs the lock exclusively
//           waits a moment for them instead of being refused.
// An exclusive holder writes who it is into the file (process id, start time,
// role, bus name and address); a refused caller reads it to decide what to do.

#include <QElapsedTimer>
#include <QString>

namespace platform {

// Who holds the lock, as its file says.
struct LockHolder {
    enum Role { Unknown, Window, Writer };
    Role role = Unknown;
    qint64 pid = 0;
    // The recorded process still runs (same process id and start time).
    bool running = false;
    QString busName;      // where a window answers (empty: not yet, or no bus)
    QString busAddress;   // the session bus it is on
    // The window is up and has said where it answers (busName empty: it
    // could not be put on a bus).
    bool ready = false;
};

class SingleInstance {
public:
    enum class Mode { Window, Writer, Reader };

    // Nothing is taken yet: call tryLock() or waitForLock().
    SingleInstance(const QString &folder, const QString &mutexName, Mode mode);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // Takes the lock if no one else holds it (readers share). False when it
    // is held, or when no lock can be made here (see error()).
    bool tryLock();
    // Tries until it has the lock, `timeoutMs` has passed, or `stop` (asked
    // with the current holder between tries) returns true.
    template <typename Stop>
    bool waitForLock(int timeoutMs, Stop stop);
    bool waitForLock(int timeoutMs);
    void unlock();

    bool isOwner() const { return m_owner; }
    // Why no lock could be made (a folder or file that cannot be used);
    // empty when the lock is merely held by someone else.
    QString error() const { return m_error; }
    // Who holds it now, read from the file (meaningful after a refusal).
    LockHolder holder() const;

    // The window, once it is up: where it can be reached (empty: nowhere).
    void setBusEndpoint(const QString &busName, const QString &busAddress);

    QString path() const { return m_path; }
    static QString lockPathFor(const QString &folder, const QString &mutexName);

    // Start time of a process (clock ticks since boot, from /proc), or -1.
    static qint64 processStartTime(qint64 pid);

private:
    static void waitStep();
    void writeRecord();

    QString m_path;
    Mode m_mode;
    int m_fd = -1;
    bool m_owner = false;
    QString m_error;
    QString m_busName;
    QString m_busAddress;
    bool m_ready = false;
};

template <typename Stop>
bool SingleInstance::waitForLock(int timeoutMs, Stop stop)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (tryLock())
            return true;
        if (!m_error.isEmpty() || clock.elapsed() >= timeoutMs || stop(holder()))
            return false;
        waitStep();
    }
}

} // namespace platform

#pragma once
// How long the on-screen display stays: as long as the program that started it
// runs, and once that program has gone, until a few seconds after the last
// message has been shown, so quitting mousecfg leaves no process behind.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class OsdLifetime : public QObject {
    Q_OBJECT
public:
    // `ownerPid` 0: no known owner, which counts as gone.
    explicit OsdLifetime(qint64 ownerPid, QObject *parent = nullptr);

    // The program the display serves: $MOUSECFG_OSD_OWNER (set by mousecfg for
    // the programs it starts), else the parent process unless that is init.
    static qint64 ownerFromEnvironment();
    // True while a process with that id exists.
    static bool processExists(qint64 pid);

    // Tests: how the owner is checked, how often, and how long the display
    // lingers after the last message has gone.
    void setOwnerCheck(std::function<bool(qint64)> alive) { m_alive = std::move(alive); }
    void setCheckInterval(int ms) { m_check.setInterval(ms); }
    void setLinger(int ms) { m_lingerMs = ms; }
    int linger() const { return m_lingerMs; }

public slots:
    // A message shown for `durationMs`.
    void noteMessage(int durationMs);

signals:
    // Time to end the display.
    void finished();

private:
    void check();

    qint64 m_owner;
    std::function<bool(qint64)> m_alive;
    QTimer m_check;
    QElapsedTimer m_sinceLast;
    qint64 m_busyMs = 0;     // the last message's showing time
    int m_lingerMs = 3000;
    bool m_done = false;
};

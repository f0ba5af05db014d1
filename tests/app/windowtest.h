#pragma once
// What the main-window suites share: a display that takes every message, the
// simulated mouse plugged in afresh on its receiver with a battery reading,
// the commands written to it, and a copy of the Configs folder for a second
// window to read afresh (QSettings keeps what this process wrote).

#include "platform/osdchannel.h"
#include "sim/simmouse.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

class QuietOsd : public platform::OsdChannel {
public:
    bool windowExists() override { return true; }
    qint32 send(const QByteArray &) override { return 1; }
};

inline void plugFreshMouse()
{
    sim::reset();
    sim::BatteryState b;
    b.low = 0xF2;
    b.high = 0x03;
    b.status = 1;
    sim::setBattery(b);
    sim::plug(sim::Side::Receiver);
}

// The commands of the frames written since the counters were reset, without
// the poller's battery query.
inline QSet<quint8> commandsSent()
{
    QSet<quint8> commands;
    for (const QByteArray &frame : sim::writtenFrames()) {
        const quint8 command = quint8(frame.at(3));
        if (command != 0x48)
            commands.insert(command);
    }
    return commands;
}

// Every file below `from`, to the same place below `to`; false when one
// could not be copied.
inline bool copyTree(const QString &from, const QString &to)
{
    bool copied = true;
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(file);
        QDir().mkpath(QFileInfo(target).absolutePath());
        copied = QFile::copy(file, target) && copied;
    }
    return copied;
}

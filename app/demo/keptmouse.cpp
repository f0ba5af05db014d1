#include "app/demo/keptmouse.h"

#include "profile/paths.h"
#include "sim/simmouse.h"

#include <QCoreApplication>
#include <QDir>
#include <QtDebug>

namespace {

// Everything the file holds, to tell a real change from a battery query.
QByteArray fingerprint()
{
    QByteArray f;
    for (sim::Block b : {sim::Block::Settings, sim::Block::Dpi, sim::Block::Keys, sim::Block::Lighting,
                         sim::Block::Macros})
        f += sim::block(b);
    const sim::BatteryState battery = sim::battery();
    f += char(sim::activeProfile());
    f += char(battery.low);
    f += char(battery.high);
    f += char(battery.charge);
    f += char(battery.status);
    f += char(battery.mode);
    return f;
}

} // namespace

QString keptMousePath()
{
    return configsBase() + QStringLiteral("/SimulatedMouse.ini");
}

void setDemoBattery()
{
    sim::BatteryState battery;
    battery.low = 0xF2;   // about 4.1 V
    battery.high = 0x03;
    battery.status = 1;
    sim::setBattery(battery);
}

bool loadKeptMouse()
{
    return sim::loadState(keptMousePath());
}

bool saveKeptMouse()
{
    QDir().mkpath(configsBase());
    return sim::saveState(keptMousePath());
}

void factoryNewMouse()
{
    sim::clearMemory();
    sim::BatteryState battery = sim::battery();
    battery.status = 0;
    sim::setBattery(battery);
    saveKeptMouse();
}

KeptMouse::KeptMouse(QObject *parent)
    : QObject(parent), m_LastKept(fingerprint())
{
    m_Timer.setSingleShot(true);
    m_Timer.setInterval(SAVE_DELAY_MS);
    connect(&m_Timer, &QTimer::timeout, this, &KeptMouse::saveIfChanged);
    // The simulator reports from whichever thread changed it (the write
    // thread during an Apply): the timer restarts on this object's thread.
    connect(sim::observer(), &sim::Observer::changed, this, [this] { m_Timer.start(); }, Qt::QueuedConnection);
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &KeptMouse::saveIfChanged);
}

KeptMouse::~KeptMouse()
{
    saveIfChanged();
}

void KeptMouse::saveIfChanged()
{
    m_Timer.stop();
    const QByteArray now = fingerprint();
    if (now == m_LastKept)
        return;
    if (saveKeptMouse())
        m_LastKept = now;
}

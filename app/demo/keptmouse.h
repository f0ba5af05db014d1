#pragma once
// The demo's simulated mouse keeps what it holds in the demo's Configs folder,
// as a real mouse keeps its settings when the program quits. mousecfg-demo and
// mousecfgctl-demo share the file, so what one writes the other finds.

#include <QByteArray>
#include <QObject>
#include <QTimer>

// <Configs base>/SimulatedMouse.ini
QString keptMousePath();

// The demo's mouse before anything is kept: battery about 4.1 V, not charging,
// write status 1 (it keeps its settings, so an Apply writes only what changed).
void setDemoBattery();
// Reads the kept mouse into the simulator; false (nothing changed) when none is kept.
bool loadKeptMouse();
// Writes what the simulator holds now; false when the file cannot be written.
bool saveKeptMouse();
// The Factory-new mouse: blank memory, active profile 1, and write status 0
// (a mouse that lost its settings asks for a full write); kept at once.
void factoryNewMouse();

// Keeps the file up to date while a program runs: a short while after the
// simulator changed (a write sends many frames), and when the application
// quits. Only a real difference is written, not every battery query.
class KeptMouse : public QObject {
    Q_OBJECT
public:
    enum { SAVE_DELAY_MS = 300 };
    explicit KeptMouse(QObject *parent = nullptr);
    ~KeptMouse() override;

    // Writes now when the simulator differs from what was last kept.
    void saveIfChanged();

private:
    QTimer m_Timer;
    QByteArray m_LastKept;
};

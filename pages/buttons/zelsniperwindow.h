#pragma once
// "Sniper Setting": the DPI step the mouse drops to while the button is held.
// The slider's range and the default step depend on the mouse's sensor.

#include "pages/buttons/zelkeydialog.h"

class ZelLabel;
class ZelSlider;

class ZelSniperWindow : public ZelKeyDialog
{
    Q_OBJECT
public:
    // sensor: the mouse's sensor code; a negative value reads it from Config.ini.
    explicit ZelSniperWindow(QWidget *parent = nullptr, int sensor = -1);

    // Out-of-range steps take the sensor's default; emits SetSniperValue.
    void preset(quint8 step);
    quint8 step() const { return m_iStep; }
    int sensor() const { return m_iSensor; }
    ZelSlider *slider() const { return m_pSlider; }
    ZelLabel *valueLabel() const { return m_pValueLabel; }

signals:
    void SetSniperValue(uchar iStep);

private:
    void onSliderChanged(int value);

    int m_iSensor = 0;
    quint8 m_iStep = 0;
    ZelLabel *m_pValueLabel = nullptr;
    ZelSlider *m_pSlider = nullptr;
};

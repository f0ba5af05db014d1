#pragma once
// The sensor options page: button debounce ("Key Response"), the current
// profile's scroll speed, and the device-wide motion sync, lift-off distance,
// angle snapping and ripple control, each a pair of boxes that act like two
// radio buttons. The device-wide values stay here until the window takes
// them on Apply; the scroll speed goes straight into the loaded profile.

#include "profile/records.h"

#include <QWidget>

class QCheckBox;
class QSpinBox;
class ZelLabel;
class ZelSlider;

class ZelPointSpeed : public QWidget
{
    Q_OBJECT
public:
    enum Option { OptionSync = 0, OptionLift = 1, OptionAngle = 2, OptionJitter = 3, OPTION_COUNT = 4 };

    // `syncSwitch` is the description's PROFILE/Sync (0, 1 or 2), which decides
    // whether and how the option rows are placed; -1 reads it.
    explicit ZelPointSpeed(ProfileData *profile, QWidget *parent = nullptr, int syncSwitch = -1);

    // Refresh: no signal, nothing stored into the profile.
    void load(ProfileData *profile, int sync, int lift, int angle, int jitter, int debounce);
    // The other lift-off control changed it (no signal).
    void setLift(int lift);

    int debounce() const { return m_iDebounce; }
    int sync() const { return m_iSync; }
    int lift() const { return m_iLift; }
    int angle() const { return m_iAngle; }
    int jitter() const { return m_iJitter; }
    int syncSwitch() const { return m_iSyncSwitch; }

    ZelSlider *debounceSlider() const { return m_pDebounce; }
    ZelLabel *debounceValue() const { return m_pDebounceValue; }
    QSpinBox *scrollSpeedBox() const { return m_pScroll; }
    // first: ON / "1mm"; second: OFF / "2mm".
    QCheckBox *optionBox(Option option, bool first) const { return m_pBoxes[option][first ? 0 : 1]; }
    ZelLabel *optionLabel(Option option) const { return m_pOptionLabels[option]; }
    void setScale(double scale);

signals:
    // The user chose a lift-off distance here (1 or 2).
    void RefreshLift(quint8 iLift);

public slots:
    void sValueChangedSlot(int s);
    void checkbtn_clicked();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void onDebounceMoved(int value);
    void checkPair(Option option, bool first);
    void showOptions();
    void retranslate();
    void layoutChildren();

    ProfileData *m_pProfile = nullptr;
    int m_iDebounce = 0;
    int m_iSync = 0;
    int m_iLift = 2;
    int m_iAngle = 0;
    int m_iJitter = 0;
    int m_iSyncSwitch = 0;
    double m_dScale = 1.0;

    ZelLabel *m_pDebounceLabel = nullptr;
    ZelSlider *m_pDebounce = nullptr;
    ZelLabel *m_pDebounceValue = nullptr;
    ZelLabel *m_pScrollLabel = nullptr;
    QSpinBox *m_pScroll = nullptr;
    ZelLabel *m_pOptionLabels[OPTION_COUNT] = {};
    QCheckBox *m_pBoxes[OPTION_COUNT][2] = {};
};

#pragma once
// The LIGHTING page: the lighting effect, its brightness, speed and colour,
// the light's sleep time and "MOVE TO LIGHT OFF", for one profile record.
// Nothing is sent from here: the main window writes the record on Apply.

#include "profile/records.h"

#include <QColor>
#include <QHash>
#include <QRect>
#include <QWidget>

class DefaultColorArea;
class QCheckBox;
class QMenu;
class ZelLabel;
class ZelPushButton;
class ZelSlider;

class ZelColorWindow : public QWidget
{
    Q_OBJECT
public:
    // Design size of the page; every place is multiplied by the scale.
    enum { BASE_WIDTH = 664, BASE_HEIGHT = 199 };

    explicit ZelColorWindow(double scale, QWidget *parent = nullptr);

    // The record the page edits (slot: its place in the profile set, for the
    // debug log). The page shows it at once, without reporting an edit.
    void setProfile(ProfileData &profile, int slot = 0);
    ProfileData *profile() const { return m_pProfile; }
    // A mode the mouse reports: shown and stored as LedMode. Indexes outside
    // 0..13 are ignored.
    void setEffect(int effect);
    void setScale(double scale);
    double scale() const { return m_dScale; }

    // Controls, for the window and tests.
    ZelPushButton *effectButton() const { return m_pEffectBtn; }
    QMenu *effectMenu() const { return m_pEffectMenu; }
    ZelSlider *brightnessSlider() const { return m_pBrightSlider; }
    ZelSlider *speedSlider() const { return m_pSpeedSlider; }
    ZelLabel *brightnessTitle() const { return m_pBrightTitle; }
    ZelLabel *speedTitle() const { return m_pSpeedTitle; }
    ZelLabel *colourTitle() const { return m_pColourTitle; }
    DefaultColorArea *swatch() const { return m_pSwatch; }
    ZelSlider *sleepSlider() const { return m_pSleepSlider; }
    ZelLabel *sleepTitle() const { return m_pSleepTitle; }
    ZelLabel *minuteLabel() const { return m_pMinuteLabel; }
    QCheckBox *moveOffBox() const { return m_pMoveOff; }
    // The effect the page shows.
    int effect() const { return m_iEffect; }

signals:
    // The user changed something of the record (the window repaints the
    // mouse picture's light).
    void LightChangedSignal();

public slots:
    void slotSendLedState(QColor color);
    void slotApplyColor();
    void slotSliderMouseChange();
    void color_clicked();
    void checkbtn_clicked();

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void retranslate();
    void rebuildMenu();
    void layoutForEffect(int effect);
    void refresh();
    void placeAll();
    void place(QWidget *widget, const QRect &designRect);
    LightEffect *activeEffect() const;
    void onEffectChosen(int effect);
    void onBrightnessChanged(int value);
    void onSpeedChanged(int value);
    void onSleepChanged(int value);
    void showMinutes(int value);
    QString sliderSheet() const;

    ProfileData *m_pProfile = nullptr;
    int m_iSlot = 0;
    int m_iEffect = 0;
    double m_dScale = 1.0;
    bool m_bShowSleep = true;

    ZelLabel *m_pEffectTitle = nullptr;
    ZelPushButton *m_pEffectBtn = nullptr;
    QMenu *m_pEffectMenu = nullptr;
    ZelLabel *m_pBrightTitle = nullptr;
    ZelSlider *m_pBrightSlider = nullptr;
    ZelLabel *m_pSpeedTitle = nullptr;
    ZelSlider *m_pSpeedSlider = nullptr;
    ZelLabel *m_pColourTitle = nullptr;
    DefaultColorArea *m_pSwatch = nullptr;
    ZelLabel *m_pSleepTitle = nullptr;
    ZelSlider *m_pSleepSlider = nullptr;
    ZelLabel *m_pMinuteLabel = nullptr;
    QCheckBox *m_pMoveOff = nullptr;
    // Each control's design rectangle (the rows swap for effects 2 and 3).
    QHash<QWidget *, QRect> m_Places;
};

#pragma once
// The DPI page: up to eight stages of the current profile, each in use or
// not, linked or not, with its X and Y resolution, and the current stage
// marked in the theme colour. The page edits its own copy of the profile;
// the window takes the stages and the current stage back on Apply.

#include "profile/records.h"

#include <QWidget>

class ZelLabel;
class ZelSingleDPI;

class ZelDPIWindow : public QWidget
{
    Q_OBJECT
public:
    // Stage count from the device description; sensor 3325 until set.
    explicit ZelDPIWindow(const ProfileData &profile, QWidget *parent = nullptr);

    // Refresh from a profile and the mouse's sensor code: no signal.
    void load(const ProfileData &profile, int sensor);
    void setSensor(int sensor);
    int sensor() const { return m_iSensor; }
    void setScale(double scale);
    // A count outside 1..8 counts as 8.
    void setStageCount(int count);
    int stageCount() const { return m_iStageCount; }
    // Colours stage `index`'s labels in the theme colour, the others white.
    void highlight(int index);
    // The mouse reports another current stage: it becomes the page's too.
    void setCurrentStage(int index);

    const ProfileData &profileData() const { return m_ProfileData; }
    ZelSingleDPI *row(int index) const { return m_pRows[index]; }
    ZelLabel *title() const { return m_pTitle; }

signals:
    // The user changed a stage (values, link, use) or chose the current one.
    void StagesChangedSignal();

public slots:
    void onLinkChanged(uchar link, uchar index);
    void onEnableChanged(uchar enable, uchar index);
    void onSliderChanged(int x, int y, uchar index);
    void MouseinSignal(uchar index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void loadRows();
    void layoutRows();

    ProfileData m_ProfileData;
    ZelSingleDPI *m_pRows[STAGE_COUNT] = {};
    ZelLabel *m_pTitle = nullptr;
    int m_iSensor = 3325;
    int m_iStageCount = STAGE_COUNT;
    double m_dScale = 1.0;
};

#pragma once
// The report rate page: the current profile's USB report rate, chosen from a
// drop-down menu, and the device-wide lift-off distance (1 or 2 mm).

#include "profile/records.h"

#include <QWidget>

class QButtonGroup;
class QMenu;
class QRadioButton;
class ZelAction;
class ZelLabel;
class ZelPushButton;

class ZelReportRate : public QWidget
{
    Q_OBJECT
public:
    explicit ZelReportRate(const ProfileData &profile, QWidget *parent = nullptr);

    // Refresh from a profile and the lift-off value: no signal. A rate code
    // other than 8, 4, 2, 1 keeps the text shown; a lift other than 1 or 2
    // shows and keeps 2.
    void load(const ProfileData &profile, int lift);
    // The mouse reports another rate: it becomes the page's too (no signal).
    void setRate(int code);
    // The other lift-off control changed it (no signal).
    void setLift(int lift);
    // Chooses a rate as the menu does (0 = 125 Hz ... 3 = 1000 Hz).
    void chooseRate(int choice);

    const ProfileData &profileData() const { return m_ProfileData; }
    int lift() const { return m_iLift; }
    int shownRate() const { return m_iShownRate; }
    ZelPushButton *rateButton() const { return m_pRateButton; }
    QMenu *rateMenu() const { return m_pMenu; }
    QRadioButton *liftButton(int id) const;
    void setScale(double scale);

signals:
    void RefreshLift(quint8 iLift);
    // The user chose a rate.
    void RateChangedSignal(quint8 code);

public slots:
    void onRadioChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void showRate(int code);
    void checkLift(int lift);
    void retranslate();
    void restyle();

    ProfileData m_ProfileData;
    int m_iLift = 2;
    int m_iShownRate = 0;
    double m_dScale = 1.0;
    ZelLabel *m_pTitle = nullptr;
    ZelPushButton *m_pRateButton = nullptr;
    QMenu *m_pMenu = nullptr;
    ZelAction *m_pActions[4] = {};
    ZelLabel *m_pLiftLabel = nullptr;
    QRadioButton *m_pLift1 = nullptr;
    QRadioButton *m_pLift2 = nullptr;
    QButtonGroup *m_pLiftGroup = nullptr;
};

#pragma once
// The demo's "Simulated mouse" window: plugs and unplugs the receiver and the
// cable, sets the battery, presses the mouse's own buttons, injects faults
// into the next frames, and shows, live, what the simulated mouse holds. A
// block that a write from the main window reaches flashes, and a banner says
// which blocks the last Apply wrote.

#include "app/demo/simview.h"

#include <QDateTime>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTimer;

class SimMousePanel : public QWidget {
    Q_OBJECT
public:
    enum { FRAME_ROWS = 10, FLASH_MS = 1600, POLL_MS = 1000 };

    explicit SimMousePanel(QWidget *parent = nullptr);
    ~SimMousePanel() override;

    // Places this window beside the main window (moving that one left or up
    // when needed) on the main window's screen.
    void placeBeside(QWidget &mainWindow);

    // What the view shows now, and what changed at the last refresh.
    const simview::Snapshot &shown() const { return m_Shown; }
    bool isFlashing(sim::Block which) const { return m_bFlash[int(which) - 1]; }
    QVector<sim::Block> lastTouched() const { return m_LastTouched; }
    QString bannerText() const;
    simview::Status lastStatusSent() const { return m_LastStatus; }

public slots:
    // Reads the simulator and updates every part of the view now.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followModal(QWidget *dialog, bool shown);
    void buildControls(class QGridLayout *grid);
    QWidget *buildView();
    QGroupBox *connectionGroup();
    QGroupBox *batteryGroup();
    QGroupBox *buttonsGroup();
    QGroupBox *faultsGroup();
    QWidget *keysPage();
    QWidget *lightingPage();
    QWidget *macrosPage();

    void scheduleRefresh();
    void togglePlug(sim::Side side);
    void applyBattery();
    void pressMouseButton(simview::Status (*button)(const simview::Snapshot &));
    sim::Side sideInUse() const;

    void showConnection(const simview::Snapshot &s);
    void showBattery(const simview::Snapshot &s);
    void showFaults(const simview::Snapshot &s);
    void showStrip(const simview::Snapshot &s);
    void showGeneral(const simview::Snapshot &s);
    void showDpi(const simview::Snapshot &s);
    void showKeys(const simview::Snapshot &s);
    void showLighting(const simview::Snapshot &s);
    void showMacros(const simview::Snapshot &s);
    void showFrames(const simview::Snapshot &s);
    void noteWrite(const simview::Snapshot &s);
    void flash(sim::Block which);
    void setFlashLook(sim::Block which, bool on);
    void markTab(int tab, bool on);

    simview::Snapshot m_Shown;
    bool m_bShownOnce = false;
    QVector<sim::Block> m_LastTouched;
    bool m_bFlash[simview::BLOCK_COUNT] = {};
    QTimer *m_pFlashTimers[simview::BLOCK_COUNT] = {};
    QDateTime m_Written[simview::BLOCK_COUNT];
    // The profile active when each block was last written: the mouse's one
    // DPI, key and lighting table hold that slot's settings.
    int m_WrittenFor[simview::BLOCK_COUNT] = {-1, -1, -1, -1, -1};
    int m_CommitsAtLastEnd[simview::BLOCK_COUNT] = {};
    int m_iSectionsAtLastEnd = 0;
    QString m_LastSections;             // applied by the last finished write
    simview::Status m_LastStatus;
    bool m_bStatusSent = false;

    QVector<QPointer<QWidget>> m_Modals;   // modal windows open now, innermost last

    QTimer *m_pRefreshTimer = nullptr;
    QTimer *m_pPollTimer = nullptr;

    // Controls.
    QLabel *m_pReceiverState = nullptr;
    QLabel *m_pCableState = nullptr;
    QPushButton *m_pReceiverBtn = nullptr;
    QPushButton *m_pCableBtn = nullptr;
    QSlider *m_pLevel = nullptr;
    QLabel *m_pLevelText = nullptr;
    QLabel *m_pRawText = nullptr;
    QCheckBox *m_pCharging = nullptr;
    QCheckBox *m_pMouseOff = nullptr;
    QCheckBox *m_pFullWrite = nullptr;
    QSpinBox *m_pModeByte = nullptr;
    QPushButton *m_pProfileBtn = nullptr;
    QPushButton *m_pDpiBtn = nullptr;
    QPushButton *m_pRateBtn = nullptr;
    QLabel *m_pStatusText = nullptr;
    QSpinBox *m_pFaultCount = nullptr;
    QPushButton *m_pUnplugAfterBtn = nullptr;
    QPushButton *m_pSilentBtn = nullptr;
    QLabel *m_pPendingText = nullptr;

    // View.
    QLabel *m_pBanner = nullptr;
    QLabel *m_pProfileChips[simview::PROFILE_COUNT] = {};
    QLabel *m_pBracketText = nullptr;
    QLabel *m_pCounterText = nullptr;
    QGroupBox *m_pGeneralBox = nullptr;
    QLabel *m_pRateCells[simview::PROFILE_COUNT] = {};
    QLabel *m_pScrollCells[simview::PROFILE_COUNT] = {};
    QLabel *m_pProfileHeads[simview::PROFILE_COUNT] = {};
    QLabel *m_pGeneralText = nullptr;
    QGroupBox *m_pDpiBox = nullptr;
    QLabel *m_pDpiHeads[simview::DPI_STAGES] = {};
    QLabel *m_pDpiCells[simview::DPI_STAGES] = {};
    QLabel *m_pDpiText = nullptr;
    QTabWidget *m_pTabs = nullptr;
    QLabel *m_pKeyCells[simview::KEY_SLOTS] = {};
    QLabel *m_pKeyHeader = nullptr;
    QLabel *m_pSwatches[simview::LIGHT_RECORDS] = {};
    QLabel *m_pLightText[simview::LIGHT_RECORDS] = {};
    QLabel *m_pLightHeader = nullptr;
    QLabel *m_pMacroCells[simview::MACRO_SLOTS] = {};
    QLabel *m_pMacroText = nullptr;
    QPlainTextEdit *m_pFrames = nullptr;
};

#pragma once
// The single top-level window: a frameless window shaped by its background,
// with the page tabs, the mouse picture, the profile controls, the battery
// display, the language and model selectors, and the settings pages. Closing
// it hides it to the tray.

#include "app/applyflow.h"
#include "app/batterylevel.h"
#include "app/profilelibrary.h"
#include "app/scale.h"

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

class BatteryPoller;
class QAction;
class QLineEdit;
class QMenu;
class QLabel;
class QProgressBar;
class QScrollArea;
class ZelAction;
class ZelBtnWindow;
class ZelDPIWindow;
class ZelPointSpeed;
class ZelReportRate;
class ZelLabel;
class ZelPushButton;
namespace platform {
class DeviceNotifier;
class DesktopNotifier;
class LocalSocketOsdChannel;
class NotificationOsdChannel;
class OsdChannel;
class OsdHandOff;
}

class MousecfgWidget : public QWidget {
    Q_OBJECT
public:
    enum Page { PageLighting = 0, PageCustomize = 1, PageDpi = 2, PageMacro = 3 };
    enum { MARKERS_PER_VIEW = 20, EXTRA_MARKERS = 2, MARKER_COUNT = 2 * MARKERS_PER_VIEW + EXTRA_MARKERS };

    explicit MousecfgWidget(QWidget *parent = nullptr);
    ~MousecfgWidget() override;

    // Process-wide facts other parts read.
    static int listedMouseCount();
    static MousecfgWidget *instance();
    static void setListedMouseCount(int count);

    int currentPage() const { return m_iPage; }
    // The window's background picture (the start reads it ahead).
    static QString backgroundPath();
    int scaleStep() const { return m_Scale.step; }
    double scaleFactor() const { return m_Scale.factor; }
    int connectionIconState() const { return m_iConnectionState; }
    int batteryLevelShown() const { return m_iBatteryLevel; }
    bool isReconnected() const { return m_iReconnected != 0; }
    bool isWarningOpen() const { return m_bWarningOpen; }
    QStringList listedModels() const { return m_ListedModels; }
    ProfileLibrary &library() { return m_Library; }

    // Controls, for the tray, the pages and tests.
    ZelPushButton *pageTab(int page) const { return m_pTabs[page]; }
    ZelPushButton *profileButton(int slot) const { return m_pProfileBtns[slot]; }
    ZelPushButton *profileSlotButton() const { return m_pProfileSel; }
    ZelPushButton *languageButton() const { return m_pLangBtn; }
    ZelPushButton *modelButton() const { return m_pModelBtn; }
    ZelPushButton *marker(int index) const { return m_pMarkers[index]; }
    QLineEdit *profileNameEdit() const { return m_pNameEdit; }
    QProgressBar *batteryBar() const { return m_pBattery; }
    QLabel *frontPicture() const { return m_pFrontPic; }
    QLabel *sidePicture() const { return m_pSidePic; }
    QLabel *connectionPicture() const { return m_pConnection; }
    QMenu *slotMenu() const { return m_pSlotMenu; }
    QMenu *profileFileMenu() const { return m_pFileMenu; }
    QMenu *languageMenu() const { return m_pLangMenu; }
    QMenu *modelMenu() const { return m_pModelMenu; }
    QSystemTrayIcon *trayIcon() const { return m_pTray; }
    ZelPushButton *controlButton(const QString &objectName) const;

    // The actions behind the buttons (also used by the tray and tests).
    void selectPage(int page);
    void selectView(bool front);
    // Makes the slot active and writes it to the mouse behind the busy
    // animation: its DPI, key and lighting tables, where they differ from
    // what the mouse holds.
    void selectSlot(int slot);
    // A write of the slot the mouse switched to by itself, running or waiting.
    bool isFollowingSlot() const { return m_pFollowThread != nullptr || m_bFollowWanted; }
    void switchLanguage(int index);
    void apply();
    void okAndHide();
    void cancelAndHide();
    // Saves and writes to the mouse behind the busy animation, then says what
    // went wrong, if anything. Returns the write's result code.
    quint8 writeAndReport(bool writeEverything = false);
    void firmwareUpdate(bool fromPress);
    void showOsdText(const QString &text);

    // ---- What the session bus (app/busservice.cpp) reads and runs.
    // The last write's result (a write code, or WRITE_NO_MOUSE when a bus
    // caller's edit was only saved) and the groups it sent.
    enum { WRITE_NO_MOUSE = 0xFE };
    quint8 lastWriteResult() const { return m_iLastWriteResult; }
    quint8 lastSentMask() const { return m_iLastSentMask; }
    // A mouse is listed and its control collection is open.
    bool mouseReachable() const;
    // The mouse has answered the battery query since it was opened; the
    // answer's bytes (low, high, charge).
    bool isBatteryReported() const { return m_bBatteryReported; }
    QByteArray batteryReport() const { return m_BatteryReport; }
    bool isCharging() const { return m_bCharging; }
    // The mouse has sent a status report (slot, stage, rate) since it was opened.
    bool isStatusReported() const { return m_bStatusReported; }
    // A write is on its way (the window's, or the quiet one that follows
    // the mouse's own slot switch).
    bool isBusy() const { return m_bWriting || m_pFollowThread; }
    // While a bus caller is served no message box is shown: the first text
    // the window would have shown is kept for the caller instead.
    void setBusCaller(bool on);
    QString busCallerMessage() const { return m_BusCallerMessage; }
    // The window's own flows without their file dialogs: checks, refusals,
    // pages and write as from the buttons. A slot of -1 is the active slot.
    ProfileLibrary::Result importProfileFile(const QString &path, int slot = -1);
    ProfileLibrary::Result importConfigurationFile(const QString &path);
    ProfileLibrary::Result exportProfileFile(const QString &path, int slot = -1);
    ProfileLibrary::Result exportConfigurationFile(const QString &path);
    // A stage's DPI (the sensor's index) and a slot's report rate, set as the
    // DPI tab sets them for the active slot (another slot's file takes the
    // value), then applied.
    void setStageDpi(int slot, int stage, int index);
    void setSlotReportRate(int slot, quint8 code);
    // Shown, raised, no longer minimised, and given the focus where the
    // desktop allows (a second start of the program, a click on its launcher).
    void bringToFront();
    // Started at login: the window stays hidden until it is asked for.
    static void setStartHidden(bool hidden);

signals:
    // Something the bus shows may have changed (battery, connection, slot,
    // stage, rate, names, a write).
    void statusChanged();

public:
    // A device arrival or removal, with the interface name without "\\?\".
    void handleDeviceChange(const QString &interfaceName, bool arrival);

public slots:
    void slotMouseOver(ZelPushButton *btn, bool bType);

private slots:
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void SelBtnChanged(quint8 iBtn, quint8 iType);
    void slotGotoMacro(quint8 iBtn);
    void slot_show_profilename(QAction *action);
    void slot_show_mousename(QAction *action);
    void slotPopOneClickBox();
    void OnProfileMenuCheck(QWidget *item);
    void slotEnableButtons(bool bEnable);
    void slotLiftChange(quint8 iLift);
    void slotProfileNameChange();
    void slotRefreshProfile(quint8 iProfile);
    void slotRefreshDPIStage(quint8 iDPI);
    void slotRefreshLightMode(quint8 iBuff1);
    void slotRefreshRate(quint8 iRate);
    void slotWarning();
    void slotWarnClose();

public slots:
    // Fed by the battery and status poller.
    void slotRefreshBatteryStatus(quint8 iCharge, quint8 iLowByte, quint8 iHiByte);
    void slotRefreshStatus(quint8 iProfile, quint8 iDPI, quint8 iRate, quint8 iMode);
    void slotRefreshWriteStatus(quint8 iStatus);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The window draws nothing that shows the focus: taking or losing it
    // (the window activated) repaints nothing.
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    // The tray's menu on the window too (a desktop without a tray).
    void contextMenuEvent(QContextMenuEvent *event) override;

    // Hiding to the tray (close, OK, Cancel), or what stands in for it when
    // the desktop has no tray.
    static bool trayAvailable();
    void hideToTray();
    void closeToTray();

private:
    // Start-up pieces.
    void loadSkin();
    void computeScale();
    void buildInterface();
    void buildTray();
    ZelPushButton *makeButton(const QStringList &images, const QString &objectName,
                              int x, int y, int w, int h, const QString &icon = QString());
    void place(QWidget *widget, int x, int y, int w, int h);
    void relayout();
    void applyScaleStep(const ScaleStep &step);
    void updateMask();
    // The battery outline the window draws (design units).
    static QRect batteryOutlineRect() { return QRect(69, 581, 86, 47); }

    // Texts, fonts, menus.
    void retranslate();
    void applyFonts();
    void buildLanguageMenu();
    void buildSlotMenu();
    void rebuildProfileFileMenu();
    void rebuildModelList();
    bool loadCatalogue(int index);

    // Pictures, markers, pages.
    void refreshPictures();
    void refreshPages();
    // A page is built the first time it is shown (or asked for), then taken to
    // the working set's state; until then its refresh and show calls do nothing.
    void ensurePage(int page);
    void selectMarker(int group, int index);
    void clearSelectedButtons();
    void updateProfileControls();

    // The settings pages, one file per area. Each builds its page beside the
    // picture, refreshes it from the working set and takes its edits back.
    // CUSTOMIZE: mousecfgwidget_buttons.cpp
    void buildButtonsPage();
    void refreshButtonsPage();
    // The page follows the tab, the picture view (front: primary layer and
    // wheel, side: second layer) and the marker chosen on the picture.
    void showButtonsPage(bool visible);
    void selectButtonsLayer(bool front);
    void selectButtonOnPage(int group, int index);
    // A page button hovered or chosen: its marker and the picture follow.
    void slotButtonsPageOver(ZelPushButton *btn, bool bType);
    // A marker hovered: its page button follows.
    void highlightPageButton(ZelPushButton *marker, bool bType);
    void layoutButtonsPage();
    ZelBtnWindow *m_pBtnWindow = nullptr;
    QScrollArea *m_pBtnScroll = nullptr;
public:
    ZelBtnWindow *buttonsPage() { ensurePage(PageCustomize); return m_pBtnWindow; }
private:

    // DPI: mousecfgwidget_performance.cpp
    void buildPerformancePages();
    void refreshPerformancePages();
    // Before a write: the page values the working set takes over.
    void collectPerformancePages();
    // Shown only while the DPI tab is selected.
    void showPerformancePages(bool shown);
    // The mouse reported another stage or rate: the pages follow without
    // losing edits not yet applied.
    void showReportedDpiStage(quint8 stage);
    void showReportedRate(quint8 rate);
    // Both lift-off controls show the value chosen last.
    void showLiftOnPerformancePages(quint8 lift);
public:
    ZelDPIWindow *dpiPage() { ensurePage(PageDpi); return m_pDpiPage; }
    ZelReportRate *reportRatePage() { ensurePage(PageDpi); return m_pReportRatePage; }
    ZelPointSpeed *sensorPage() { ensurePage(PageDpi); return m_pSensorPage; }
private:
    ZelDPIWindow *m_pDpiPage = nullptr;
    ZelReportRate *m_pReportRatePage = nullptr;
    ZelPointSpeed *m_pSensorPage = nullptr;
    // What the pages were last loaded with (or handed over): Apply takes over
    // only the values the user changed since, so a change the working set
    // received meanwhile from elsewhere is not overwritten by a stale copy.
    DpiStage m_PerformanceStages[STAGE_COUNT];
    quint8 m_PerformanceBase[7] = {};   // dpi, pollrate, Debounce, Sync, LiftHigh, AngleValue, Jitter
    void rememberPerformanceBase();

    // LIGHTING: mousecfgwidget_lighting.cpp
    void buildLightingPage();
    void refreshLightingPage();
    // Page selection: the lighting page and the picture's light follow the tab.
    void selectLightingPage(int page);
    // The mouse picture with the chosen light, while LIGHTING is shown.
    void refreshLightingPicture();
    // A lighting mode reported by the mouse.
    void showReportedLightMode(quint8 mode);
    class ZelColorWindow *m_pColorWindow = nullptr;
    bool m_bLightPictureShown = false;
    // What the lit picture shows (skin folder, size, effect, colour,
    // brightness) and the skin's pictures it is drawn from: the picture is
    // drawn again only when one of them changed.
    QString m_LightPictureKey;
    QString m_LightSkinFolder;
    QImage m_LightBase;
    QImage m_LightZone;
public:
    class ZelColorWindow *lightingPage() const { return m_pColorWindow; }
private:

    // MACRO: mousecfgwidget_macro.cpp
    void buildMacroPage();
    void refreshMacroPage();
    // Buttons that play a renamed macro take its new name.
    void followMacroRename(const QString &oldName, const QString &newName);
    class MacroDialog *m_pMacroPage = nullptr;
public:
    class MacroDialog *macroPage() { ensurePage(PageMacro); return m_pMacroPage; }
private:

    // Device presence.
    void openCurrentDevice();
    void reloadForProduct();
    // Closes the device now and reopens it 500 ms later; while a write is on
    // its way both wait for it to end.
    void scheduleReconnect();
    void reopenDevice();
    void recomputeConnectionIcon();
    void setBatterySheet(const QString &sheet);
    bool modelConnected(int entry, int side) const;
    bool firstModelHas(int slot) const;
    // The display hand-off, which never waits on this thread.
    platform::OsdHandOff *m_pOsdHandOff = nullptr;
    platform::LocalSocketOsdChannel *m_pOsdSocket = nullptr;
    // The display hand-off of a Wayland client (made when first needed).
    platform::OsdChannel &notificationChannel();
    platform::NotificationOsdChannel *m_pNotifications = nullptr;

    // Button handlers.
    void onButtonClicked();
    void onButtonPressed(ZelPushButton *button);
    void onDelete();
    void onAdd();
    void onCopy();
    void onResetProfile();
    void onResetAll();
    void onExportProfile();
    void onImportProfile();
    void onExportConfig();
    void onImportConfig();
    void reportLibraryResult(ProfileLibrary::Result result);

    int showMessage(int type, const QString &text, bool watchDevice = false);

    // Writing to the mouse, one download at a time. runWrite runs a write
    // thread of the kind behind the busy animation and reports a failure.
    // The mouse's own slot switch is written quietly (followSlotQuietly);
    // a write started meanwhile waits for it, and a switch reported during a
    // write is written when that write has ended.
    quint8 runWrite(ZelProcessThread::Kind kind, bool writeEverything);
    // The controls, pages and menu follow the slot made active.
    void showActiveSlot(int slot);
    void followSlotQuietly();
    void startFollowWrite();
    enum class FollowWait { IfDone, BehindBusyAnimation, Block };
    void finishFollowWrite(FollowWait wait);
    QString writeFailureText(quint8 result);
    ZelProcessThread *m_pFollowThread = nullptr;
    int m_iFollowRun = 0;
    bool m_bFollowWanted = false;
    // The files of a first start, written once the first frame is shown (or
    // after a second when the window starts hidden, or when it goes).
    void writeStartFiles();
    bool m_bStartFilesQueued = false;
    bool m_bStartFilesWritten = false;
    bool m_bFollowPosted = false;
    bool m_bAwaitingFollow = false;
    int m_iWrites = 0;
    QString chooseFile(const QString &title, const QString &filter, bool save);

    ScaleStep m_Scale;
    QPixmap m_Backgrounds[SCALE_STEPS];
    QPixmap m_BatteryPics[2];   // bat1.png, bat2.png
    QHash<QWidget *, QRect> m_DesignRects;

    ZelPushButton *m_pClose = nullptr;
    ZelPushButton *m_pMin = nullptr;
    ZelPushButton *m_pImport = nullptr;
    ZelPushButton *m_pExport = nullptr;
    ZelPushButton *m_pReset = nullptr;
    ZelPushButton *m_pAdd = nullptr;
    ZelPushButton *m_pDelete = nullptr;
    ZelPushButton *m_pCopy = nullptr;
    ZelPushButton *m_pTabs[4] = {};
    ZelPushButton *m_pLangBtn = nullptr;
    ZelPushButton *m_pProfileSel = nullptr;
    ZelPushButton *m_pProfileBtns[SLOT_COUNT] = {};
    ZelPushButton *m_pProfileFile = nullptr;
    QLineEdit *m_pNameEdit = nullptr;
    ZelLabel *m_pNameLabel = nullptr;
    ZelPushButton *m_pResetAll = nullptr;
    ZelPushButton *m_pOk = nullptr;
    ZelPushButton *m_pCancel = nullptr;
    ZelPushButton *m_pApply = nullptr;
    ZelPushButton *m_pLoad = nullptr;
    ZelPushButton *m_pSave = nullptr;
    ZelPushButton *m_pFirmware = nullptr;
    ZelPushButton *m_pFront = nullptr;
    ZelPushButton *m_pSide = nullptr;
    ZelPushButton *m_pModelBtn = nullptr;
    ZelLabel *m_pVersion = nullptr;
    QProgressBar *m_pBattery = nullptr;
    QLabel *m_pCharging = nullptr;
    QLabel *m_pConnection = nullptr;
    QLabel *m_pFrontPic = nullptr;
    QLabel *m_pSidePic = nullptr;
    // The mouse pictures of the current skin at the window's scale, each read
    // the first time it is shown; the side view's waits until it is chosen.
    QPixmap mousePicture(const QString &file);
    QHash<QString, QPixmap> m_MousePictures;
    bool m_bSidePictureStale = true;
    ZelPushButton *m_pMarkers[MARKER_COUNT] = {};
    QPoint m_MarkerPos[MARKER_COUNT];
    bool m_MarkerUsed[MARKER_COUNT] = {};

    QMenu *m_pSlotMenu = nullptr;
    QMenu *m_pFileMenu = nullptr;
    QMenu *m_pLangMenu = nullptr;
    QMenu *m_pModelMenu = nullptr;
    ZelAction *m_pSlotActions[SLOT_COUNT] = {};
    QSystemTrayIcon *m_pTray = nullptr;
    QMenu *m_pTrayMenu = nullptr;
    QAction *m_pShowAction = nullptr;
    QAction *m_pQuitAction = nullptr;

    // Language.
    QTranslator m_Translator;
    bool m_bTranslatorInstalled = false;
    int m_iLanguage = 0;
    int m_iLanguageCount = 0;
    QString m_LangNames[10];
    QString m_LangFiles[10];

    // State.
    int m_iPage = PageLighting;
    bool m_bFrontView = true;
    int m_SelectedButton[SLOT_COUNT] = {};
    int m_iSelectedMarkerGroup = 0;
    int m_iSelectedMarker = -1;
    bool m_bDragging = false;
    bool m_bMovingItself = false;   // the window system did not take this drag
    QPoint m_DragPress;
    QPoint m_DragOrigin;
    int m_iConnectionState = 3;
    int m_iBatteryLevel = 0;
    bool m_bCharging = false;
    int m_iBatteryFull = 4200;
    int m_iReconnected = 0;
    bool m_bWriting = false;            // a write thread is on its way
    bool m_bReopenAfterWrite = false;   // the device changed meanwhile
    bool m_bWarningOpen = false;
    bool m_bFirmwareHandledOnPress = false;
    QStringList m_ListedModels;
    QString m_ProductName;

    ProfileLibrary m_Library;
    // For the bus and the desktop: the last battery answer, status reports,
    // the last write, a bus caller being served, the low-battery notice.
    QByteArray m_BatteryReport = QByteArray(3, '\0');
    bool m_bBatteryReported = false;
    bool m_bBatteryWatched = false;     // the mouse's reports, not the display's start
    bool m_bStatusReported = false;
    quint8 m_iLastWriteResult = 0;
    quint8 m_iLastSentMask = 0;
    bool m_bBusCaller = false;
    QString m_BusCallerMessage;
    LowBatteryAlarm m_LowBattery;
    platform::DesktopNotifier *m_pDesktopNotifier = nullptr;
    QAction *m_pAutostartAction = nullptr;
    void notifyLowBattery(int level);
    void setAutostart(bool on);
    BatteryPoller *m_pPoller = nullptr;
    platform::DeviceNotifier *m_pNotifier = nullptr;
    QTimer m_ReconnectTimer;
};

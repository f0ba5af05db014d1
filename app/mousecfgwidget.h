#pragma once
// The single top-level window: a frameless window shaped by its background,
// with the page tabs, the mouse picture, the profile controls, the battery
// display, the language and model selectors, and the settings pages. Closing
// it hides it to the tray.

#include "app/applyflow.h"
#include "app/batterylevel.h"
#include "app/profilelibrary.h"
#include "app/scale.h"
#include "app/settingspage.h"

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
    static QString iconPath();
    // The pictures the first frame is drawn with, in the order they are needed.
    static QStringList startPictures();
    int scaleStep() const { return m_Scale.step; }
    double scaleFactor() const { return m_Scale.factor; }
    int connectionIconState() const { return m_Battery.connectionState; }
    int batteryLevelShown() const { return m_Battery.level; }
    bool isReconnected() const { return m_iReconnected != 0; }
    bool isWarningOpen() const { return m_bWarningOpen; }
    QStringList listedModels() const { return m_ListedModels; }
    ProfileLibrary &library() { return m_Library; }

    // Controls, for the tray, the pages and tests.
    ZelPushButton *pageTab(int page) const { return m_Ui.tabs[page]; }
    ZelPushButton *profileButton(int slot) const { return m_Ui.profileButtons[slot]; }
    ZelPushButton *profileSlotButton() const { return m_Ui.slotButton; }
    ZelPushButton *languageButton() const { return m_Ui.languageButton; }
    ZelPushButton *modelButton() const { return m_Ui.modelButton; }
    ZelPushButton *marker(int index) const { return m_Markers.buttons[index]; }
    QLineEdit *profileNameEdit() const { return m_Ui.nameEdit; }
    QProgressBar *batteryBar() const { return m_Ui.batteryBar; }
    QLabel *frontPicture() const { return m_Ui.frontPicture; }
    QLabel *sidePicture() const { return m_Ui.sidePicture; }
    QLabel *connectionPicture() const { return m_Ui.connection; }
    QMenu *slotMenu() const { return m_Menus.slot; }
    QMenu *profileFileMenu()
    {
        fillProfileFileMenu();
        return m_Menus.file;
    }
    QMenu *languageMenu() const { return m_Menus.language; }
    QMenu *modelMenu() const { return m_Menus.model; }
    QSystemTrayIcon *trayIcon() const { return m_Menus.tray; }
    ZelPushButton *controlButton(const QString &objectName) const;

    // The actions behind the buttons (also used by the tray and tests).
    void selectPage(int page);
    void selectView(bool front);
    // Makes the slot active and writes it to the mouse behind the busy
    // animation: its DPI, key and lighting tables, where they differ from
    // what the mouse holds.
    void selectSlot(int slot);
    // A write of the slot the mouse switched to by itself, running or waiting.
    bool isFollowingSlot() const { return m_Follow.thread != nullptr || m_Follow.wanted; }
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
    quint8 lastWriteResult() const { return m_Bus.lastWriteResult; }
    quint8 lastSentMask() const { return m_Bus.lastSentMask; }
    // A mouse is listed and its control collection is open.
    bool mouseReachable() const;
    // The mouse has answered the battery query since it was opened; the
    // answer's bytes (low, high, charge).
    bool isBatteryReported() const { return m_Bus.batteryReported; }
    QByteArray batteryReport() const { return m_Bus.batteryReport; }
    bool isCharging() const { return m_Battery.charging; }
    // The mouse has sent a status report (slot, stage, rate) since it was opened.
    bool isStatusReported() const { return m_Bus.statusReported; }
    // A write is on its way (the window's, or the quiet one that follows
    // the mouse's own slot switch).
    bool isBusy() const { return m_bWriting || m_Follow.thread; }
    // While a bus caller is served no message box is shown: the first text
    // the window would have shown is kept for the caller instead.
    void setBusCaller(bool on);
    QString busCallerMessage() const { return m_Bus.callerMessage; }
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
    void slot_show_profilename(QAction *action);
    void slot_show_mousename(QAction *action);
    void slotPopOneClickBox();
    void slotEnableButtons(bool bEnable);
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
    // The library's entries in the profile menu, filled when it is about to
    // show (a long library costs nothing until then).
    void fillProfileFileMenu();
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

    // The settings pages, one per tab, indexed by Page (app/*tab.*). The
    // window loops over them; the few calls that concern one page go to it.
    SettingsPage *m_Pages[4] = {};
    class ButtonsTab *buttonsTab() const;
    class PerformanceTab *performanceTab() const;
    class LightingTab *lightingTab() const;
    // Before a write: every page's edits into the working set.
    void collectPages();
    void buildPages();
    // A press on a page button selects its marker on the picture.
    void enterPageButton(int entry);
public:
    // A tab's page, built if it was not yet.
    SettingsPage *settingsPage(int page);
    ZelBtnWindow *buttonsPage();
    ZelDPIWindow *dpiPage();
    ZelReportRate *reportRatePage();
    ZelPointSpeed *sensorPage();
    class ZelColorWindow *lightingPage() const;
    class MacroDialog *macroPage();
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
    // The display hand-off of a Wayland client (made when first needed).
    platform::OsdChannel &notificationChannel();

    // Button handlers.
    void clickMarker(int marker);
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
    // What the first frame does not need, done once it is shown (or after a
    // second when the window starts hidden, or when it goes): the files of a
    // first start, the window's icon.
    void finishStart();
    bool m_bStartFilesQueued = false;
    bool m_bStartFilesWritten = false;
    int m_iWrites = 0;
    QString chooseFile(const QString &title, const QString &filter, bool save);

    ScaleStep m_Scale;
    QPixmap m_Backgrounds[SCALE_STEPS];
    QHash<QWidget *, QRect> m_DesignRects;

    // The mouse pictures of the current skin at the window's scale, each read
    // the first time it is shown; the side view's waits until it is chosen.
    QPixmap mousePicture(const QString &file);
    QHash<QString, QPixmap> m_MousePictures;
    bool m_bSidePictureStale = true;

    // State.
    int m_iPage = PageLighting;
    bool m_bFrontView = true;
    int m_iReconnected = 0;
    bool m_bWriting = false;            // a write thread is on its way
    bool m_bReopenAfterWrite = false;   // the device changed meanwhile
    bool m_bWarningOpen = false;
    bool m_bFirmwareHandledOnPress = false;
    QStringList m_ListedModels;
    QString m_ProductName;

    ProfileLibrary m_Library;
    // The low-battery notice on the desktop.
    LowBatteryAlarm m_LowBattery;
    platform::DesktopNotifier *m_pDesktopNotifier = nullptr;
    void notifyLowBattery(int level);
    void setAutostart(bool on);
    BatteryPoller *m_pPoller = nullptr;
    platform::DeviceNotifier *m_pNotifier = nullptr;
    QTimer m_ReconnectTimer;

    // The window's own controls: frame, profile column, bottom row, battery, pictures.
    struct UiPart {
        ZelPushButton *closeButton = nullptr;
        ZelPushButton *minButton = nullptr;
        ZelPushButton *importButton = nullptr;
        ZelPushButton *exportButton = nullptr;
        ZelPushButton *resetButton = nullptr;
        ZelPushButton *addButton = nullptr;
        ZelPushButton *deleteButton = nullptr;
        ZelPushButton *copyButton = nullptr;
        ZelPushButton *tabs[4] = {};
        ZelPushButton *languageButton = nullptr;
        ZelPushButton *slotButton = nullptr;
        ZelPushButton *profileButtons[SLOT_COUNT] = {};
        ZelPushButton *profileFileButton = nullptr;
        QLineEdit *nameEdit = nullptr;
        ZelLabel *nameLabel = nullptr;
        ZelPushButton *resetAllButton = nullptr;
        ZelPushButton *okButton = nullptr;
        ZelPushButton *cancelButton = nullptr;
        ZelPushButton *applyButton = nullptr;
        ZelPushButton *loadButton = nullptr;
        ZelPushButton *saveButton = nullptr;
        ZelPushButton *firmwareButton = nullptr;
        ZelPushButton *frontButton = nullptr;
        ZelPushButton *sideButton = nullptr;
        ZelPushButton *modelButton = nullptr;
        ZelLabel *version = nullptr;
        QProgressBar *batteryBar = nullptr;
        QLabel *charging = nullptr;
        QLabel *connection = nullptr;
        QLabel *frontPicture = nullptr;
        QLabel *sidePicture = nullptr;
    } m_Ui;
    // The menus of the profile, language and model buttons, and the tray's.
    struct MenusPart {
        QMenu *slot = nullptr;
        QMenu *file = nullptr;
        bool fileStale = true;   // the library changed since the menu was filled
        QMenu *language = nullptr;
        QMenu *model = nullptr;
        ZelAction *slotActions[SLOT_COUNT] = {};
        QSystemTrayIcon *tray = nullptr;
        QMenu *trayMenu = nullptr;
        QAction *showAction = nullptr;
        QAction *quitAction = nullptr;
        QAction *autostartAction = nullptr;
    } m_Menus;
    // The markers on the mouse picture: places from the skin, the one selected, and
    // the button selected in each slot.
    struct MarkersPart {
        ZelPushButton *buttons[MARKER_COUNT] = {};
        QPoint pos[MARKER_COUNT];
        bool used[MARKER_COUNT] = {};
        int selectedButton[SLOT_COUNT] = {};
        int selectedGroup = 0;
        int selected = -1;
    } m_Markers;
    // The language list and the catalogue installed.
    struct LangPart {
        QTranslator translator;
        bool translatorInstalled = false;
        int index = 0;
        int count = 0;
        QString names[10];
        QString files[10];
    } m_Lang;
    // A drag of the frameless window.
    struct DragPart {
        bool active = false;
        bool movingItself = false;   // the window system did not take this drag
        QPoint press;
        QPoint origin;
    } m_Drag;
    // The quiet write that follows the mouse's own slot switch.
    struct FollowPart {
        ZelProcessThread *thread = nullptr;
        int run = 0;
        bool wanted = false;
        bool posted = false;
        bool awaited = false;
    } m_Follow;
    // For the bus and the desktop: the last battery answer, status reports, the last
    // write, a bus caller being served.
    struct BusPart {
        QByteArray batteryReport = QByteArray(3, '\0');
        bool batteryReported = false;
        bool batteryWatched = false;     // the mouse's reports, not the display's start
        bool statusReported = false;
        quint8 lastWriteResult = 0;
        quint8 lastSentMask = 0;
        bool caller = false;
        QString callerMessage;
    } m_Bus;
    // The battery display.
    struct BatteryPart {
        QPixmap pictures[2];   // bat1.png, bat2.png
        int connectionState = 3;
        int level = 0;
        bool charging = false;
        int full = 4200;
    } m_Battery;
    // The display hand-off, which never waits on this thread; a Wayland client's is
    // made when first needed.
    struct OsdPart {
        platform::OsdHandOff *handOff = nullptr;
        platform::LocalSocketOsdChannel *socket = nullptr;
        platform::NotificationOsdChannel *notifications = nullptr;
    } m_Osd;

};

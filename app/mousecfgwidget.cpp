#include "app/mousecfgwidget.h"
#include "pages/macro/macrodialog.h"

#include "app/applyflow.h"
#include "app/batterylevel.h"
#include "app/logging.h"
#include "app/preload.h"
#include "app/services.h"
#include "device/devicetable.h"
#include "device/poller.h"
#include "device/pointerspeed.h"
#include "platform/autostart.h"
#include "platform/devicenotifier.h"
#include "platform/logging.h"
#include "platform/osdchannel.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/language.h"
#include "profile/paths.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"
#include "widgets/logging.h"
#include "widgets/uistate.h"
#include "widgets/zelaction.h"
#include "widgets/zellabel.h"
#include "widgets/zelmessagebox.h"
#include "widgets/zelpushbutton.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDesktopWidget>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <cstdlib>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QWindow>
#include <QtDebug>

namespace {

MousecfgWidget *g_instance = nullptr;
int g_listedMouseCount = 0;
bool g_startHidden = false;

// Design rectangles of the window's controls (999 x 640 units).
const QRect kProfileColumnButton(70, 250, 152, 30);
const int kProfileButtonPitch = 34;
const QPoint kPictureOrigin(467, 74);
const QSize kPictureSize(300, 400);
const int kMarkerSize = 18;

QString skin(const QString &name)
{
    return appFilePath(QStringLiteral("/skin/") + name);
}

QStringList tabImages()
{
    return {skin(QStringLiteral("tabbutton-1.png")), skin(QStringLiteral("tabbutton-3.png")),
            skin(QStringLiteral("tabbutton-2.png"))};
}

// Products whose wheel markers use the fourth/third arrow pictures.
bool usesLargeWheelMarkers(const QString &product)
{
    static const char *const names[] = {
        "QUORVANE2", "BRASKEL", "ZUNDRA", "VELKOR FPS", "VELKOR", "MORTHANE", "MORTHANE3", "PALDIN",
        "7316", "K204-RGB", "7316-P1414", "OSKARIN", "K310", "K311", "K320-RGB", "TELMARA",
        "K321-PRO", "K321-RGB", "K321-RGB2", "DRUVELL2", "CALNIRA2", "ZEPHARN"};
    for (const char *name : names) {
        if (product == QLatin1String(name))
            return true;
    }
    return false;
}

QPoint parsePoint(const QVariant &value, bool *ok)
{
    QStringList parts = value.toStringList();
    if (parts.size() == 1)
        parts = parts.first().split(QLatin1Char(','));
    bool okX = false, okY = false;
    const QPoint p(parts.value(0).trimmed().toInt(&okX), parts.value(1).trimmed().toInt(&okY));
    *ok = parts.size() == 2 && okX && okY;
    return p;
}

} // namespace

AppServices &appServices()
{
    static AppServices services = [] {
        AppServices s;
        s.startDetached = [](const QString &program) { return QProcess::startDetached(program, QStringList()); };
        // At once: nothing is saved and nothing is closed.
        s.exitProcess = [](int code) { std::_Exit(code); };
        return s;
    }();
    return services;
}

int MousecfgWidget::listedMouseCount()
{
    return g_listedMouseCount;
}

void MousecfgWidget::setListedMouseCount(int count)
{
    g_listedMouseCount = count;
}

MousecfgWidget *MousecfgWidget::instance()
{
    return g_instance;
}

MousecfgWidget::MousecfgWidget(QWidget *parent)
    : QWidget(parent), m_Library(workingSet())
{
    g_instance = this;
    // Before any child exists: each is styled once as it is made, not all
    // over again afterwards. Tool tips in the skin's colours and the theme's.
    setThemeColorIndex(readAccentIndex());
    useFocuslessStyle();
    setStyleSheet(toolTipStyleSheet());
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MousecfgWidget"));
    resize(400, 300);
    setWindowTitle(tr("MousecfgWidget"));

    computeScale();
    setBaseSize(DESIGN_WIDTH, DESIGN_HEIGHT);
    setMinimumSize(DESIGN_WIDTH, DESIGN_HEIGHT);
    resize(int(DESIGN_WIDTH * m_Scale.factor), int(DESIGN_HEIGHT * m_Scale.factor));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - frameGeometry().width()) / 2,
             area.y() + (area.height() - frameGeometry().height()) / 2);
    }

    // Device notifications: the system's notifier (the simulator's in the demo).
    m_pNotifier = platform::createDeviceNotifier(this);
    if (!m_pNotifier || !m_pNotifier->start())
        qCDebug(lcHotplug, "注册失败");
    if (m_pNotifier)
        connect(m_pNotifier, &platform::DeviceNotifier::deviceChanged, this,
                &MousecfgWidget::handleDeviceChange);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);

    m_pModelBtn = makeButton(tabImages(), QStringLiteral("modelButton"), 670, 33, 100, 20);

    // The supported model, what is attached now, and the model list.
    setListedMouseCount(0);
    loadDeviceTable();
    enumerateDevices();
    rebuildModelList();

    // Language list and the capability switch of the description.
    m_iLanguage = readLanguageId();
    setCurrentLanguageIndex(m_iLanguage);
    LanguageList languages;
    readLanguageList(languages);
    m_iLanguageCount = languages.count;
    for (int i = 0; i < 10; ++i) {
        m_LangNames[i] = languages.names[i];
        m_LangFiles[i] = languages.files[i];
    }
    setAlternateStyle(descriptionInt(QStringLiteral("ColorMode")) != 0);

    buildInterface();
    // The lighting page follows what the mouse reports from the start; the
    // other pages wait until they are first shown.
    ensurePage(PageLighting);
    if (m_iLanguageCount < 2)
        m_pLangBtn->hide();
    if (loadCatalogue(m_iLanguage)) {
        QCoreApplication::installTranslator(&m_Translator);
        m_bTranslatorInstalled = true;
    }

    m_iBatteryFull = readBatteryFull();
    m_iBatteryLevel = readBattery();

    // The mouse, its poller, and the profiles.
    openCurrentDevice();
    m_pPoller = new BatteryPoller(this, this);
    setPollerControl(m_pPoller);
    m_pPoller->start();

    loadProfileSet(savedSet());
    workingSet() = savedSet();
    m_Library.load(ProfileLibrary::Files::Later);
    savedSet() = workingSet();
    {
        const int speed = readSystemPointerSpeed();
        ProfileSet &set = workingSet();
        set.profiles[set.ProfileID < SLOT_COUNT ? set.ProfileID : 0].mousespeed = quint8(speed);
    }

    buildSlotMenu();
    rebuildProfileFileMenu();
    selectView(true);
    clearSelectedButtons();
    selectPage(descriptionInt(QStringLiteral("ledDisable")) != 0 ? PageCustomize : PageLighting);

    refreshPages();
    retranslate();
    updateProfileControls();
    QTimer::singleShot(1000, this, &MousecfgWidget::writeStartFiles);
    // The keyboard stays with the window until the user picks a field: no
    // caret blinks (and wakes the program twice a second) while it sits idle.
    setFocusPolicy(Qt::ClickFocus);
    setFocus(Qt::OtherFocusReason);

    // The background and its shape last: the program may have read it on
    // another core meanwhile.
    loadSkin();
    updateMask();

    buildTray();
    setDeviceConnectedQuery([this] { return m_iReconnected == 1; });
    slotRefreshBatteryStatus(0, 1, 1);
    // That was the display's start, not the mouse's answer.
    m_bBatteryReported = false;
    m_bBatteryWatched = true;

    m_ReconnectTimer.setSingleShot(true);
    m_ReconnectTimer.setInterval(500);
    connect(&m_ReconnectTimer, &QTimer::timeout, this, &MousecfgWidget::reopenDevice);

    // Started at login: nothing shows until the user asks for the window.
    if (!g_startHidden)
        QTimer::singleShot(200, this, &MousecfgWidget::slotWarning);
}

void MousecfgWidget::setStartHidden(bool hidden)
{
    g_startHidden = hidden;
}

bool MousecfgWidget::mouseReachable() const
{
    return listedMouseCount() > 0 && (receiverControlHandle() || wiredControlHandle());
}

void MousecfgWidget::setBusCaller(bool on)
{
    m_bBusCaller = on;
    m_BusCallerMessage.clear();
}

MousecfgWidget::~MousecfgWidget()
{
    writeStartFiles();
    finishFollowWrite(FollowWait::Block);
    delete m_pOsdSocket;
    setDeviceConnectedQuery(nullptr);
    setPollerControl(nullptr);
    if (m_pPoller)
        m_pPoller->stop();
    closeDevice();
    if (g_instance == this)
        g_instance = nullptr;
}

// ---------------------------------------------------------------- start-up --

QString MousecfgWidget::backgroundPath()
{
    return skin(QStringLiteral("cfgMainback.png"));
}

void MousecfgWidget::loadSkin()
{
    m_Backgrounds[0] = QPixmap::fromImage(takeImage(backgroundPath()));
    m_BatteryPics[0].load(skin(QStringLiteral("bat1.png")));
    m_BatteryPics[1].load(skin(QStringLiteral("bat2.png")));
}

void MousecfgWidget::computeScale()
{
    double dpi = 96.0;
    if (appServices().logicalDpi)
        dpi = appServices().logicalDpi();
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInch();
    m_Scale = scaleStepForDpi(dpi);
    setScaleFactor(m_Scale.factor);
}

void MousecfgWidget::updateMask()
{
    QPixmap &background = m_Backgrounds[m_Scale.step];
    const QSize target(int(DESIGN_WIDTH * m_Scale.factor), int(DESIGN_HEIGHT * m_Scale.factor));
    if ((background.isNull() || background.size() != target) && !m_Backgrounds[0].isNull())
        background = m_Backgrounds[0].scaled(target, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!background.isNull() && background.hasAlphaChannel())
        setMask(background.mask());
}

void MousecfgWidget::place(QWidget *widget, int x, int y, int w, int h)
{
    m_DesignRects.insert(widget, QRect(x, y, w, h));
    widget->setGeometry(scaled(QRect(x, y, w, h)));
}

void MousecfgWidget::relayout()
{
    for (auto it = m_DesignRects.constBegin(); it != m_DesignRects.constEnd(); ++it)
        it.key()->setGeometry(scaled(it.value()));
    refreshPictures();
    applyFonts();
    update();
}

ZelPushButton *MousecfgWidget::makeButton(const QStringList &images, const QString &objectName,
                                          int x, int y, int w, int h, const QString &icon)
{
    auto *button = new ZelPushButton(images, this, icon);
    button->setObjectName(objectName);
    button->setFocusPolicy(Qt::NoFocus);
    place(button, x, y, w, h);
    connect(button, &QPushButton::clicked, this, &MousecfgWidget::onButtonClicked);
    return button;
}

ZelPushButton *MousecfgWidget::controlButton(const QString &objectName) const
{
    return findChild<ZelPushButton *>(objectName, Qt::FindDirectChildrenOnly);
}

void MousecfgWidget::buildInterface()
{
    const auto pair = [](const char *a, const char *b) {
        return QStringList{skin(QLatin1String(a)), skin(QLatin1String(b))};
    };
    m_pClose = makeButton({skin(QStringLiteral("close-1.png")), skin(QStringLiteral("close-2.png")),
                           skin(QStringLiteral("close-3.png"))},
                          QStringLiteral("closeButton"), 924, 33, 19, 19);
    m_pMin = makeButton({skin(QStringLiteral("min-1.png")), skin(QStringLiteral("min-2.png")),
                         skin(QStringLiteral("min-3.png"))},
                        QStringLiteral("minButton"), 903, 33, 19, 19);
    m_pLangBtn = makeButton({skin(QStringLiteral("lang.png"))}, QStringLiteral("languageButton"), 780, 33, 110, 20);

    static const char *const tabNames[4] = {"lightingTab", "customizeTab", "dpiTab", "macroTab"};
    for (int i = 0; i < 4; ++i) {
        m_pTabs[i] = makeButton(tabImages(), QLatin1String(tabNames[i]), 285 + 93 * i, 38, 90, 28);
        m_pTabs[i]->setCheckable(true);
        connect(m_pTabs[i], &ZelPushButton::EnterSignal, this, &MousecfgWidget::onButtonPressed);
    }

    m_pVersion = new ZelLabel(this);
    m_pVersion->setAlignment(Qt::AlignCenter);
    place(m_pVersion, 70, 180, 152, 20);

    m_pProfileSel = makeButton({skin(QStringLiteral("profilesel.png"))}, QStringLiteral("profileSlotButton"),
                               68, 213, 150, 29);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        m_pProfileBtns[i] = makeButton(pair("profile_edit_name_1.png", "profile_edit_name_2.png"),
                                       QStringLiteral("profileButton%1").arg(i + 1), kProfileColumnButton.x(),
                                       kProfileColumnButton.y() + kProfileButtonPitch * i,
                                       kProfileColumnButton.width(), kProfileColumnButton.height());
        m_pProfileBtns[i]->setCheckable(true);
    }

    m_pNameLabel = new ZelLabel(this);
    m_pNameLabel->setAlignment(Qt::AlignCenter);
    place(m_pNameLabel, 70, 428, 40, 24);
    m_pNameEdit = new QLineEdit(this);
    m_pNameEdit->setObjectName(QStringLiteral("profileNameEdit"));
    m_pNameEdit->setMaxLength(100);
    m_pNameEdit->setAlignment(Qt::AlignCenter);
    m_pNameEdit->setStyleSheet(QStringLiteral(
        "QLineEdit{background:rgb(24,26,31);color:rgb(225,225,225);border:1px solid rgb(70,74,82);"
        "border-radius:3px;selection-background-color:rgb(%1,%2,%3);}"
        "QLineEdit:focus{border:1px solid rgb(%1,%2,%3);}")
                                   .arg(themeColor().red())
                                   .arg(themeColor().green())
                                   .arg(themeColor().blue()));
    place(m_pNameEdit, 112, 428, 84, 24);
    connect(m_pNameEdit, &QLineEdit::returnPressed, this, &MousecfgWidget::slotProfileNameChange);
    m_pProfileFile = makeButton({skin(QStringLiteral("profile_apply1.png"))}, QStringLiteral("profileFileButton"),
                                200, 426, 28, 28);

    m_pImport = makeButton(pair("profile_import1.png", "profile_import2.png"), QStringLiteral("importButton"),
                           70, 462, 28, 28);
    m_pExport = makeButton({skin(QStringLiteral("profile_export1.png"))}, QStringLiteral("exportButton"),
                           104, 462, 28, 28);
    m_pReset = makeButton(pair("profile_reset1.png", "profile_reset2.png"), QStringLiteral("resetButton"),
                          70, 496, 74, 26);
    m_pAdd = makeButton(pair("profile_add1.png", "profile_add2.png"), QStringLiteral("addButton"), 148, 496, 74, 26);
    m_pDelete = makeButton(pair("profile_del1.png", "profile_del2.png"), QStringLiteral("deleteButton"),
                           70, 526, 74, 26);
    m_pCopy = makeButton(pair("profile_copy1.png", "profile_copy2.png"), QStringLiteral("copyButton"),
                         148, 526, 74, 26);

    m_pResetAll = makeButton(tabImages(), QStringLiteral("resetAllButton"), 285, 560, 96, 28);
    m_pLoad = makeButton(tabImages(), QStringLiteral("loadButton"), 387, 560, 96, 28);
    m_pSave = makeButton(tabImages(), QStringLiteral("saveButton"), 489, 560, 96, 28);
    m_pFirmware = makeButton(tabImages(), QStringLiteral("firmwareButton"), 591, 560, 110, 28);
    connect(m_pFirmware, &ZelPushButton::EnterSignal, this, &MousecfgWidget::onButtonPressed);
    m_pOk = makeButton(tabImages(), QStringLiteral("okButton"), 710, 560, 76, 28);
    m_pCancel = makeButton(tabImages(), QStringLiteral("cancelButton"), 792, 560, 76, 28);
    m_pApply = makeButton(tabImages(), QStringLiteral("applyButton"), 874, 560, 76, 28);

    // The battery: a bar inside the battery outline, the charging and connection pictures.
    m_pBattery = new QProgressBar(this);
    m_pBattery->setObjectName(QStringLiteral("batteryBar"));
    m_pBattery->setRange(0, 100);
    m_pBattery->setAlignment(Qt::AlignCenter);
    place(m_pBattery, 75, 592, 66, 25);
    m_pCharging = new QLabel(this);
    m_pCharging->setScaledContents(true);
    m_pCharging->setPixmap(QPixmap(skin(QStringLiteral("lightning.png"))));
    place(m_pCharging, 160, 584, 26, 40);
    m_pCharging->hide();
    m_pConnection = new QLabel(this);
    m_pConnection->setScaledContents(true);
    m_pConnection->setPixmap(QPixmap(skin(QStringLiteral("wireless.png"))));
    place(m_pConnection, 162, 590, 28, 28);

    // The mouse pictures and their markers.
    m_pFrontPic = new QLabel(this);
    m_pFrontPic->setObjectName(QStringLiteral("frontPicture"));
    m_pFrontPic->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    place(m_pFrontPic, kPictureOrigin.x(), kPictureOrigin.y(), kPictureSize.width(), kPictureSize.height());
    m_pSidePic = new QLabel(this);
    m_pSidePic->setObjectName(QStringLiteral("sidePicture"));
    m_pSidePic->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    place(m_pSidePic, kPictureOrigin.x(), kPictureOrigin.y(), kPictureSize.width(), kPictureSize.height());
    m_pFront = makeButton(tabImages(), QStringLiteral("frontButton"), 295, 84, 60, 22);
    m_pSide = makeButton(tabImages(), QStringLiteral("sideButton"), 360, 84, 60, 22);
    m_pFront->setCheckable(true);
    m_pSide->setCheckable(true);
    for (int i = 0; i < MARKER_COUNT; ++i) {
        QStringList images{skin(QStringLiteral("btn_1.png")), skin(QStringLiteral("btn_2.png"))};
        m_pMarkers[i] = makeButton(images, QStringLiteral("marker%1").arg(i), 0, 0, kMarkerSize, kMarkerSize);
        m_pMarkers[i]->setCheckable(true);
        m_pMarkers[i]->hide();
        connect(m_pMarkers[i], &ZelPushButton::OverSignal, this, &MousecfgWidget::slotMouseOver);
    }

    // Menus.
    m_pSlotMenu = new QMenu(this);
    m_pFileMenu = new QMenu(this);
    m_pLangMenu = new QMenu(this);
    for (QMenu *menu : {m_pSlotMenu, m_pFileMenu, m_pLangMenu})
        menu->setStyleSheet(menuStyleSheet());
    m_pFileMenu->setFixedWidth(scaled(152));
    m_pSlotMenu->setFixedWidth(scaled(150));
    m_pLangMenu->setFixedWidth(scaled(110));
    m_pProfileSel->setMenu(m_pSlotMenu);
    m_pProfileFile->setMenu(m_pFileMenu);
    m_pLangBtn->setMenu(m_pLangMenu);
    connect(m_pFileMenu, &QMenu::triggered, this, &MousecfgWidget::slot_show_profilename);
    buildLanguageMenu();

    for (ZelLabel *label : {m_pVersion, m_pNameLabel}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(200, 200, 200));
        label->setPalette(palette);
    }

    // The whole window surface drags the window.
    for (QLabel *label : {m_pFrontPic, m_pSidePic, m_pConnection, m_pCharging})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pVersion->installEventFilter(this);
    m_pNameLabel->installEventFilter(this);

    refreshPictures();
    applyFonts();
}

void MousecfgWidget::buildTray()
{
    m_pShowAction = new QAction(tr("&Load Config"), this);
    m_pQuitAction = new QAction(tr("&Quit"), this);
    connect(m_pShowAction, &QAction::triggered, this, &MousecfgWidget::slotWarning);
    connect(m_pQuitAction, &QAction::triggered, qApp, &QCoreApplication::quit);
    // Off until chosen: an autostart entry that starts the program hidden.
    m_pAutostartAction = new QAction(tr("Start at Login"), this);
    m_pAutostartAction->setObjectName(QStringLiteral("autostartAction"));
    m_pAutostartAction->setCheckable(true);
    m_pAutostartAction->setChecked(platform::autostartEnabled(QStringLiteral("org.example.mousecfg")));
    connect(m_pAutostartAction, &QAction::toggled, this, &MousecfgWidget::setAutostart);
    m_pTrayMenu = new QMenu(this);
    m_pTrayMenu->setStyleSheet(menuStyleSheet());
    m_pTrayMenu->addAction(m_pShowAction);
    m_pTrayMenu->addAction(m_pAutostartAction);
    m_pTrayMenu->addAction(m_pQuitAction);
    m_pTray = new QSystemTrayIcon(this);
    m_pTray->setContextMenu(m_pTrayMenu);
    connect(m_pTray, &QSystemTrayIcon::activated, this, &MousecfgWidget::iconActivated);
    const QIcon icon(appFilePath(QStringLiteral("/skin/icon.ico")));
    setWindowIcon(icon);
    m_pTray->setIcon(icon);
    m_pTray->setToolTip(readCurrentProduct());
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_pTray->setVisible(true);
}

// -------------------------------------------------------- texts and fonts --

void MousecfgWidget::retranslate()
{
    m_pReset->setText(tr("RESET"));
    m_pAdd->setText(tr("ADD"));
    m_pDelete->setText(tr("DELETE"));
    m_pCopy->setText(tr("COPY"));
    m_pResetAll->setText(tr("Reset All"));
    m_pOk->setText(tr("OK"));
    m_pCancel->setText(tr("Cancel"));
    m_pApply->setText(tr("Apply"));
    m_pLoad->setText(tr("LOAD1"));
    m_pSave->setText(tr("SAVE"));
    m_pFirmware->setText(tr("Firmware Update"));
    m_pFront->setText(tr("Front"));
    m_pSide->setText(tr("Side"));
    m_pTabs[0]->setText(tr("LIGHTING"));
    m_pTabs[1]->setText(tr("CUSTOMIZE"));
    m_pTabs[2]->setText(tr("DPI"));
    m_pTabs[3]->setText(tr("MACRO"));
    m_pNameLabel->setText(tr("NAME"));
    m_pNameEdit->setToolTip(tr("Press Enter To Apply"));
    m_pVersion->setText(tr("Version") + QLatin1Char(' ') + productVersion());
    m_pImport->setToolTip(tr("Load Profile File"));
    m_pExport->setToolTip(tr("Save Profile File"));
    for (int i = 0; i < SLOT_COUNT; ++i) {
        m_pProfileBtns[i]->setText(tr("Profile") + QStringLiteral(" %1").arg(i + 1));
        if (m_pSlotActions[i])
            m_pSlotActions[i]->setText(tr("Mode") + QStringLiteral(" %1").arg(i + 1));
    }
    if (m_pShowAction) {
        m_pShowAction->setText(tr("&Load Config"));
        m_pQuitAction->setText(tr("&Quit"));
        m_pAutostartAction->setText(tr("Start at Login"));
    }
    if (m_iLanguage >= 0 && m_iLanguage < 10)
        m_pLangBtn->setText(m_LangNames[m_iLanguage]);
    updateProfileControls();
    if (m_pBattery && g_mouseOff.load())
        slotRefreshBatteryStatus(0, 0, 0);
    applyFonts();
}

void MousecfgWidget::applyFonts()
{
    const QFont font = scaledPageFont(QFont());
    for (QMenu *menu : {m_pSlotMenu, m_pFileMenu, m_pLangMenu, m_pModelMenu, m_pTrayMenu}) {
        if (menu)
            menu->setFont(font);
    }
    if (m_pNameEdit)
        m_pNameEdit->setFont(font);
    if (m_pBattery) {
        QFont bold = font;
        bold.setBold(true);
        m_pBattery->setFont(bold);
    }
}

bool MousecfgWidget::loadCatalogue(int index)
{
    if (index < 0 || index >= 10 || m_LangFiles[index].isEmpty())
        return false;
    const QString file = m_LangFiles[index] + QStringLiteral(".qm");
    if (m_Translator.load(applicationDir() + QStringLiteral("/lang/") + file))
        return true;
    // The catalogues built into the program stand in for missing files.
    return m_Translator.load(QStringLiteral(":/lang/") + file);
}

void MousecfgWidget::buildLanguageMenu()
{
    m_pLangMenu->clear();
    for (int i = 0; i < m_iLanguageCount && i < 10; ++i) {
        QAction *action = m_pLangMenu->addAction(m_LangNames[i]);
        connect(action, &QAction::triggered, this, [this, i] { switchLanguage(i); });
    }
}

void MousecfgWidget::switchLanguage(int index)
{
    if (index < 0 || index >= 10)
        return;
    const bool loaded = loadCatalogue(index);
    m_pLangBtn->setText(m_LangNames[index]);
    m_iLanguage = index;
    setCurrentLanguageIndex(index);
    writeLanguageId(index);
    if (loaded) {
        if (!m_bTranslatorInstalled) {
            QCoreApplication::installTranslator(&m_Translator);
            m_bTranslatorInstalled = true;
        } else {
            // Reinstalling tells every widget that the language changed.
            QCoreApplication::removeTranslator(&m_Translator);
            QCoreApplication::installTranslator(&m_Translator);
        }
        retranslate();
        relayout();
        // A fresh poller turn asks the mouse at once, so the battery display
        // is shown again in the new language.
        if (m_pPoller && m_pPoller->isRunning())
            m_pPoller->restart();
    }
}

void MousecfgWidget::buildSlotMenu()
{
    m_pSlotMenu->clear();
    for (int i = 0; i < SLOT_COUNT; ++i) {
        m_pSlotActions[i] = new ZelAction(tr("Mode") + QStringLiteral(" %1").arg(i + 1), m_pSlotMenu);
        m_pSlotMenu->addAction(m_pSlotActions[i]);
        connect(m_pSlotActions[i], &QAction::triggered, this, [this, i] { selectSlot(i); });
    }
}

void MousecfgWidget::rebuildProfileFileMenu()
{
    m_pFileMenu->clear();
    for (const QString &name : m_Library.names()) {
        auto *action = new ZelAction(name, m_pFileMenu);
        m_pFileMenu->addAction(action);
    }
    // The slot names may have changed with the list.
    emit statusChanged();
}

// ------------------------------------------------------- pages and views --

void MousecfgWidget::selectPage(int page)
{
    if (page < PageLighting || page > PageMacro)
        return;
    m_iPage = page;
    ensurePage(page);
    for (int i = 0; i < 4; ++i)
        m_pTabs[i]->setChecked(i == page);

    const bool customize = page == PageCustomize;
    m_pFrontPic->setVisible(page == PageLighting || (customize && m_bFrontView));
    m_pSidePic->setVisible(customize && !m_bFrontView);
    if (customize && !m_bFrontView && m_bSidePictureStale) {
        m_pSidePic->setPixmap(mousePicture(QStringLiteral("Mouse_Side.png")));
        m_bSidePictureStale = false;
    }
    if (m_pMacroPage)
        m_pMacroPage->setVisible(page == PageMacro);
    m_pFront->setVisible(customize);
    m_pSide->setVisible(customize);
    for (int i = 0; i < MARKER_COUNT; ++i) {
        bool visible = false;
        if (customize && m_MarkerUsed[i]) {
            if (i < MARKERS_PER_VIEW)
                visible = m_bFrontView;
            else if (i < 2 * MARKERS_PER_VIEW)
                visible = !m_bFrontView;
            else
                visible = true;
        }
        m_pMarkers[i]->setVisible(visible);
    }
    showButtonsPage(customize);
    selectLightingPage(page);
    showPerformancePages(page == PageDpi);
    update();
}

void MousecfgWidget::selectView(bool front)
{
    m_bFrontView = front;
    m_pFront->setChecked(front);
    m_pSide->setChecked(!front);
    selectButtonsLayer(front);
    selectPage(m_iPage);
}

void MousecfgWidget::selectMarker(int group, int index)
{
    m_iSelectedMarkerGroup = group;
    m_iSelectedMarker = index;
    const int chosen = group == 0 ? index : group == 1 ? MARKERS_PER_VIEW + index : 2 * MARKERS_PER_VIEW + index;
    for (int i = 0; i < MARKER_COUNT; ++i)
        m_pMarkers[i]->setChecked(i == chosen);
}

void MousecfgWidget::clearSelectedButtons()
{
    for (int &selected : m_SelectedButton)
        selected = 0;
    m_iSelectedMarker = -1;
    for (ZelPushButton *marker : m_pMarkers)
        marker->setChecked(false);
}

void MousecfgWidget::refreshPictures()
{
    const QString product = readCurrentProduct();
    const QString folder = QStringLiteral("/skin/mouse/") + product + QLatin1Char('/');
    // Another product or scale: the pictures are read again as they are shown.
    m_MousePictures.clear();
    m_bSidePictureStale = true;
    // On LIGHTING the front picture is the lit one, drawn when the page shows.
    if (m_iPage != PageLighting)
        m_pFrontPic->setPixmap(mousePicture(QStringLiteral("Mouse.png")));

    // Marker places come with the pictures.
    QSettings layout(appFilePath(folder + QStringLiteral("layout.ini")), QSettings::IniFormat);
    const int count = qBound(0, buttonCount(), int(MARKERS_PER_VIEW));
    for (int i = 0; i < MARKER_COUNT; ++i)
        m_MarkerUsed[i] = false;
    const auto put = [&](int marker, const QString &key) {
        bool ok = false;
        const QPoint centre = parsePoint(layout.value(key), &ok);
        if (!ok)
            return;
        m_MarkerUsed[marker] = true;
        m_MarkerPos[marker] = centre;
        place(m_pMarkers[marker], kPictureOrigin.x() + centre.x() - kMarkerSize / 2,
              kPictureOrigin.y() + centre.y() - kMarkerSize / 2, kMarkerSize, kMarkerSize);
    };
    for (int n = 1; n <= count; ++n) {
        put(n - 1, QStringLiteral("Front/Button%1").arg(n));
        put(MARKERS_PER_VIEW + n - 1, QStringLiteral("Side/Button%1").arg(n));
    }
    put(2 * MARKERS_PER_VIEW, QStringLiteral("Extra/Up"));
    put(2 * MARKERS_PER_VIEW + 1, QStringLiteral("Extra/Down"));

    // The wheel markers' pictures depend on the product.
    const bool large = usesLargeWheelMarkers(product);
    const QString up1 = large ? QStringLiteral("btn_up4.png") : QStringLiteral("btn_up2.png");
    const QString up2 = large ? QStringLiteral("btn_up3.png") : QStringLiteral("btn_up1.png");
    const QString down1 = large ? QStringLiteral("btn_down4.png") : QStringLiteral("btn_down2.png");
    const QString down2 = large ? QStringLiteral("btn_down3.png") : QStringLiteral("btn_down1.png");
    const auto restyle = [&](int marker, const QString &a, const QString &b) {
        ZelPushButton *old = m_pMarkers[marker];
        auto *fresh = new ZelPushButton({skin(a), skin(b), skin(b)}, this);
        fresh->setObjectName(old->objectName());
        fresh->setFocusPolicy(Qt::NoFocus);
        fresh->setCheckable(true);
        fresh->setVisible(old->isVisible());
        m_DesignRects.insert(fresh, m_DesignRects.value(old));
        fresh->setGeometry(old->geometry());
        m_DesignRects.remove(old);
        connect(fresh, &QPushButton::clicked, this, &MousecfgWidget::onButtonClicked);
        connect(fresh, &ZelPushButton::OverSignal, this, &MousecfgWidget::slotMouseOver);
        old->deleteLater();
        m_pMarkers[marker] = fresh;
    };
    restyle(2 * MARKERS_PER_VIEW, up1, up2);
    restyle(2 * MARKERS_PER_VIEW + 1, down1, down2);
    for (ZelPushButton *marker : m_pMarkers)
        marker->raise();
    selectPage(m_iPage);
}

void MousecfgWidget::refreshPages()
{
    // The settings pages read the current slot of the working set; the window's
    // own controls follow it here.
    updateProfileControls();
    refreshButtonsPage();
    refreshPerformancePages();
    refreshLightingPage();
    refreshMacroPage();
    emit statusChanged();
}

void MousecfgWidget::ensurePage(int page)
{
    switch (page) {
    case PageCustomize:
        if (m_pBtnWindow)
            return;
        buildButtonsPage();
        refreshButtonsPage();
        selectButtonsLayer(m_bFrontView);
        break;
    case PageDpi:
        if (m_pDpiPage)
            return;
        buildPerformancePages();
        refreshPerformancePages();
        break;
    case PageLighting:
        if (m_pColorWindow)
            return;
        buildLightingPage();
        refreshLightingPage();
        break;
    case PageMacro:
        if (m_pMacroPage)
            return;
        buildMacroPage();
        refreshMacroPage();
        break;
    default:
        return;
    }
}

void MousecfgWidget::updateProfileControls()
{
    const ProfileSet &set = workingSet();
    const int slot = set.ProfileID < SLOT_COUNT ? set.ProfileID : 0;
    m_pProfileSel->setText(tr("Mode") + QStringLiteral(" %1").arg(slot + 1));
    for (int i = 0; i < SLOT_COUNT; ++i)
        m_pProfileBtns[i]->setChecked(i == slot);
    if (!m_pNameEdit->hasFocus() || m_pNameEdit->text() != set.names[slot])
        m_pNameEdit->setText(set.names[slot]);
}

// ---------------------------------------------------------- slots of 3.2 --

void MousecfgWidget::slotMouseOver(ZelPushButton *btn, bool bType)
{
    highlightPageButton(btn, bType);
    int index = -1;
    for (int i = 0; i < MARKER_COUNT; ++i) {
        if (m_pMarkers[i] == btn)
            index = i;
    }
    if (index < 0 || index >= 2 * MARKERS_PER_VIEW)
        return;
    const int button = index % MARKERS_PER_VIEW + 1;
    const QString file = bType ? QStringLiteral("mouse_%1.png").arg(button) : QStringLiteral("Mouse.png");
    m_pFrontPic->setPixmap(mousePicture(file));
    m_bLightPictureShown = false;
}

QPixmap MousecfgWidget::mousePicture(const QString &file)
{
    const auto it = m_MousePictures.constFind(file);
    if (it != m_MousePictures.cend())
        return *it;
    const QString folder = QStringLiteral("/skin/mouse/") + readCurrentProduct() + QLatin1Char('/');
    QPixmap picture(appFilePath(folder + file));
    if (!picture.isNull())
        picture = picture.scaled(scaled(kPictureSize), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_MousePictures.insert(file, picture);
    return picture;
}

void MousecfgWidget::SelBtnChanged(quint8 iBtn, quint8 iType)
{
    selectMarker(iType, iBtn);
}

void MousecfgWidget::slotGotoMacro(quint8 iBtn)
{
    selectPage(iBtn);
}

void MousecfgWidget::slot_show_profilename(QAction *action)
{
    const QString name = action->text();
    const ProfileLibrary::Result result = m_Library.assign(name);
    if (result != ProfileLibrary::Result::Ok) {
        reportLibraryResult(result);
        return;
    }
    m_pProfileSel->setText(tr("Mode") + QStringLiteral(" %1").arg(m_Library.currentSlot() + 1));
    m_pNameEdit->setText(name);
    refreshPages();
}

void MousecfgWidget::slotPopOneClickBox()
{
    showMessage(2, tr("AT LEAST ONE CLICK FUNCTION TO BE RETAINED."));
}

void MousecfgWidget::OnProfileMenuCheck(QWidget *)
{
}

void MousecfgWidget::slotEnableButtons(bool bEnable)
{
    for (ZelPushButton *button : {m_pImport, m_pExport, m_pReset, m_pAdd, m_pDelete, m_pCopy, m_pProfileSel,
                                  m_pProfileFile, m_pResetAll, m_pOk, m_pCancel, m_pApply, m_pLoad, m_pSave,
                                  m_pFirmware, m_pFront, m_pSide, m_pLangBtn, m_pModelBtn})
        button->setEnabled(bEnable);
    for (ZelPushButton *button : m_pTabs)
        button->setEnabled(bEnable);
    for (ZelPushButton *button : m_pProfileBtns)
        button->setEnabled(bEnable);
    for (ZelPushButton *button : m_pMarkers)
        button->setEnabled(bEnable);
    m_pNameEdit->setEnabled(bEnable);
}

void MousecfgWidget::slotLiftChange(quint8 iLift)
{
    workingSet().LiftHigh = iLift;
    showLiftOnPerformancePages(iLift);
}

// ------------------------------------------------------------ dispatching --

void MousecfgWidget::onButtonClicked()
{
    auto *button = qobject_cast<ZelPushButton *>(sender());
    if (!button)
        return;
    if (button == m_pClose) {
        closeToTray();
    } else if (button == m_pMin) {
        showMinimized();
    } else if (button == m_pImport) {
        onImportProfile();
    } else if (button == m_pExport) {
        onExportProfile();
    } else if (button == m_pReset) {
        onResetProfile();
    } else if (button == m_pAdd) {
        onAdd();
    } else if (button == m_pDelete) {
        onDelete();
    } else if (button == m_pCopy) {
        onCopy();
    } else if (button == m_pResetAll) {
        onResetAll();
    } else if (button == m_pOk) {
        okAndHide();
    } else if (button == m_pCancel) {
        cancelAndHide();
    } else if (button == m_pApply) {
        apply();
    } else if (button == m_pLoad) {
        onImportConfig();
    } else if (button == m_pSave) {
        onExportConfig();
    } else if (button == m_pFirmware) {
        if (m_bFirmwareHandledOnPress)
            m_bFirmwareHandledOnPress = false;
        else
            firmwareUpdate(false);
    } else if (button == m_pFront) {
        selectView(true);
    } else if (button == m_pSide) {
        selectView(false);
    } else {
        for (int i = 0; i < 4; ++i) {
            if (button == m_pTabs[i])
                selectPage(i);
        }
        for (int i = 0; i < SLOT_COUNT; ++i) {
            if (button == m_pProfileBtns[i])
                selectSlot(i);
        }
        for (int i = 0; i < MARKER_COUNT; ++i) {
            if (button == m_pMarkers[i]) {
                const int group = i / MARKERS_PER_VIEW;
                selectMarker(group, i % MARKERS_PER_VIEW);
                m_SelectedButton[m_Library.currentSlot()] = i % MARKERS_PER_VIEW;
                selectButtonOnPage(group, i % MARKERS_PER_VIEW);
            }
        }
    }
}

void MousecfgWidget::onButtonPressed(ZelPushButton *button)
{
    for (int i = 0; i < 4; ++i) {
        if (button == m_pTabs[i])
            selectPage(i);
    }
    if (button == m_pFirmware) {
        m_bFirmwareHandledOnPress = true;
        firmwareUpdate(true);
    }
}

int MousecfgWidget::showMessage(int type, const QString &text, bool watchDevice)
{
    // A caller on the bus gets the text as its answer; a question counts as "No".
    if (m_bBusCaller) {
        if (m_BusCallerMessage.isEmpty())
            m_BusCallerMessage = text;
        return 0;
    }
    if (appServices().messageHook)
        return appServices().messageHook(type, text);
    ZelMessageBox box(type, QString(), tr("Warning"), text, this, watchDevice, Qt::FramelessWindowHint);
    return box.exec();
}

QString MousecfgWidget::chooseFile(const QString &title, const QString &filter, bool save)
{
    QString path;
    if (appServices().chooseFile) {
        path = appServices().chooseFile(title, filter, save);
    } else if (save) {
        // The dialog adds the extension itself, so it asks before replacing
        // the file that will really be written.
        QFileDialog dialog(this, title, QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(filterSuffix(filter));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().constFirst();
    } else {
        path = QFileDialog::getOpenFileName(this, title, QString(), filter);
    }
    // A name typed without an extension gets the filter's, so the matching
    // import lists the file.
    return save ? withFilterSuffix(path, filter) : path;
}

// ----------------------------------------------------- window behaviour --

bool MousecfgWidget::eventFilter(QObject *watched, QEvent *event)
{
    // Labels are part of the window's surface: dragging starts on them too.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove
        || event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_pVersion || watched == m_pNameLabel) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (event->type() == QEvent::MouseButtonPress)
                mousePressEvent(mouse);
            else if (event->type() == QEvent::MouseMove)
                mouseMoveEvent(mouse);
            else
                mouseReleaseEvent(mouse);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MousecfgWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_bDragging = true;
        m_bMovingItself = false;
        m_DragPress = event->globalPos();
        m_DragOrigin = frameGeometry().topLeft();
    }
    QWidget::mousePressEvent(event);
}

void MousecfgWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bDragging && (event->buttons() & Qt::LeftButton)) {
        const QPoint offset = event->globalPos() - m_DragPress;
        if (offset.manhattanLength() > 4) {
            // The window system moves the window with the pointer where it
            // can (a Wayland compositor ignores a window placing itself);
            // else the window follows the pointer itself for this drag.
            QWindow *handle = window()->windowHandle();
            const auto systemMove = [handle] {
                return handle
                       && (appServices().systemMove ? appServices().systemMove(handle) : handle->startSystemMove());
            };
            if (!m_bMovingItself && systemMove()) {
                qCDebug(lcUi, "The window system moves the window");
                m_bDragging = false;
            } else {
                m_bMovingItself = true;
                move(m_DragOrigin + offset);
            }
        }
    }
    QWidget::mouseMoveEvent(event);
}

void MousecfgWidget::mouseReleaseEvent(QMouseEvent *event)
{
    m_bDragging = false;
    m_bMovingItself = false;
    QWidget::mouseReleaseEvent(event);
}

void MousecfgWidget::writeStartFiles()
{
    if (m_bStartFilesWritten)
        return;
    m_bStartFilesWritten = true;
    m_Library.writePendingFiles();
    refreshDefaultProfileFile();
}

void MousecfgWidget::paintEvent(QPaintEvent *event)
{
    const QRect area = event->rect();
    qCDebug(lcPaint, "Window painted: %d,%d %dx%d", area.x(), area.y(), area.width(), area.height());
    if (!m_bStartFilesQueued) {
        // After this frame is on the screen.
        m_bStartFilesQueued = true;
        QTimer::singleShot(0, this, &MousecfgWidget::writeStartFiles);
    }
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!m_Backgrounds[0].isNull()) {
        const QPixmap &cached = m_Backgrounds[m_Scale.step];
        if (!cached.isNull() && cached.size() == size())
            p.drawPixmap(0, 0, cached);
        else
            p.drawPixmap(0, 0, m_Backgrounds[0].scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    const QPixmap &battery = m_BatteryPics[batteryOutlineCharging(m_iConnectionState) ? 1 : 0];
    if (!battery.isNull())
        p.drawPixmap(scaled(batteryOutlineRect()), battery);
}

void MousecfgWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QWindow *window = windowHandle();
    const QScreen *screen = window ? window->screen() : QGuiApplication::primaryScreen();
    if (const QScreen *atCentre = QGuiApplication::screenAt(frameGeometry().center()))
        screen = atCentre;
    double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    if (appServices().logicalDpi)
        dpi = appServices().logicalDpi();
    const ScaleStep step = scaleStepForDpi(dpi);
    if (step.step != m_Scale.step)
        applyScaleStep(step);
    else
        updateMask();
}

void MousecfgWidget::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // A move onto another screen may change the scale.
    if (const QScreen *screen = QGuiApplication::screenAt(frameGeometry().center())) {
        if (!appServices().logicalDpi) {
            const ScaleStep step = scaleStepForDpi(screen->logicalDotsPerInch());
            if (step.step != m_Scale.step)
                applyScaleStep(step);
        }
    }
}

void MousecfgWidget::applyScaleStep(const ScaleStep &step)
{
    m_Scale = step;
    setScaleFactor(step.factor);
    const QSize target(int(DESIGN_WIDTH * step.factor), int(DESIGN_HEIGHT * step.factor));
    if (size() != target)
        resize(target);
    updateMask();
    m_pFileMenu->setFixedWidth(scaled(152));
    m_pSlotMenu->setFixedWidth(scaled(150));
    m_pLangMenu->setFixedWidth(scaled(110));
    if (m_pModelMenu)
        m_pModelMenu->setFixedWidth(scaled(150));
    relayout();
}

void MousecfgWidget::focusInEvent(QFocusEvent *event)
{
    event->accept();
}

void MousecfgWidget::focusOutEvent(QFocusEvent *event)
{
    event->accept();
}

void MousecfgWidget::closeEvent(QCloseEvent *event)
{
    // Closing hides the window to the tray; "&Quit" ends the program.
    event->ignore();
    closeToTray();
}

bool MousecfgWidget::trayAvailable()
{
    return appServices().trayAvailable ? appServices().trayAvailable() : QSystemTrayIcon::isSystemTrayAvailable();
}

void MousecfgWidget::hideToTray()
{
    // Without a tray a hidden window could not be brought back: it is
    // minimised instead.
    if (trayAvailable())
        hide();
    else
        showMinimized();
}

void MousecfgWidget::closeToTray()
{
    // Without a tray it is minimised like the others: starting the program
    // again brings it back, and "&Quit" is in the window's own menu.
    hideToTray();
}

void MousecfgWidget::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_pTrayMenu)
        m_pTrayMenu->popup(event->globalPos());
    event->accept();
}

void MousecfgWidget::setAutostart(bool on)
{
    // The program as it was started: the installed one, or this build.
    const bool done = platform::setAutostart(QStringLiteral("org.example.mousecfg"), on,
                                             QCoreApplication::applicationFilePath(), {QStringLiteral("--hidden")});
    if (!done) {
        qCWarning(lcUi, "The autostart entry %s could not be changed",
                  qPrintable(platform::autostartEntryPath(QStringLiteral("org.example.mousecfg"))));
        const QSignalBlocker blocker(m_pAutostartAction);
        m_pAutostartAction->setChecked(!on);
    }
}

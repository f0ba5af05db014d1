#include "app/mousecfgwidget.h"
#include "app/buttonstab.h"
#include "app/lightingtab.h"
#include "app/macrotab.h"
#include "app/performancetab.h"
#include "pages/buttons/zelbtnwindow.h"
#include "pages/lighting/zelcolorwindow.h"
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
    // The pages are made now and built when first shown.
    buildPages();
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

    m_Ui.modelButton = makeButton(tabImages(), QStringLiteral("modelButton"), 670, 33, 100, 20);

    // The supported model, what is attached now, and the model list.
    setListedMouseCount(0);
    loadDeviceTable();
    enumerateDevices();
    rebuildModelList();

    // Language list and the capability switch of the description.
    m_Lang.index = readLanguageId();
    setCurrentLanguageIndex(m_Lang.index);
    LanguageList languages;
    readLanguageList(languages);
    m_Lang.count = languages.count;
    for (int i = 0; i < 10; ++i) {
        m_Lang.names[i] = languages.names[i];
        m_Lang.files[i] = languages.files[i];
    }
    setAlternateStyle(colorMode());

    buildInterface();
    // The lighting page follows what the mouse reports from the start; the
    // other pages wait until they are first shown.
    ensurePage(PageLighting);
    if (m_Lang.count < 2)
        m_Ui.languageButton->hide();
    if (loadCatalogue(m_Lang.index)) {
        QCoreApplication::installTranslator(&m_Lang.translator);
        m_Lang.translatorInstalled = true;
    }

    m_Battery.full = readBatteryFull();
    m_Battery.level = readBattery();

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
    selectPage(ledDisabled() ? PageCustomize : PageLighting);

    refreshPages();
    retranslate();
    updateProfileControls();
    QTimer::singleShot(1000, this, &MousecfgWidget::finishStart);
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
    m_Bus.batteryReported = false;
    m_Bus.batteryWatched = true;

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
    m_Bus.caller = on;
    m_Bus.callerMessage.clear();
}

MousecfgWidget::~MousecfgWidget()
{
    finishStart();
    finishFollowWrite(FollowWait::Block);
    delete m_Osd.socket;
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

QString MousecfgWidget::iconPath()
{
    return appFilePath(QStringLiteral("/skin/icon.ico"));
}

QStringList MousecfgWidget::startPictures()
{
    // In the order the window's construction needs them.
    return LightingTab::lightPicturePaths(readCurrentProduct()) + QStringList{iconPath(), backgroundPath()};
}

void MousecfgWidget::loadSkin()
{
    m_Backgrounds[0] = QPixmap::fromImage(takeImage(backgroundPath()));
    m_Battery.pictures[0].load(skin(QStringLiteral("bat1.png")));
    m_Battery.pictures[1].load(skin(QStringLiteral("bat2.png")));
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
    for (SettingsPage *page : m_Pages)
        page->scale();
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
    m_Ui.closeButton = makeButton({skin(QStringLiteral("close-1.png")), skin(QStringLiteral("close-2.png")),
                           skin(QStringLiteral("close-3.png"))},
                          QStringLiteral("closeButton"), 924, 33, 19, 19);
    m_Ui.minButton = makeButton({skin(QStringLiteral("min-1.png")), skin(QStringLiteral("min-2.png")),
                         skin(QStringLiteral("min-3.png"))},
                        QStringLiteral("minButton"), 903, 33, 19, 19);
    m_Ui.languageButton = makeButton({skin(QStringLiteral("lang.png"))}, QStringLiteral("languageButton"), 780, 33, 110, 20);

    static const char *const tabNames[4] = {"lightingTab", "customizeTab", "dpiTab", "macroTab"};
    for (int i = 0; i < 4; ++i) {
        m_Ui.tabs[i] = makeButton(tabImages(), QLatin1String(tabNames[i]), 285 + 93 * i, 38, 90, 28);
        m_Ui.tabs[i]->setCheckable(true);
        connect(m_Ui.tabs[i], &QPushButton::clicked, this, [this, i] { selectPage(i); });
        // The tab follows the press already.
        connect(m_Ui.tabs[i], &ZelPushButton::EnterSignal, this, [this, i] { selectPage(i); });
    }

    m_Ui.version = new ZelLabel(this);
    m_Ui.version->setAlignment(Qt::AlignCenter);
    place(m_Ui.version, 70, 180, 152, 20);

    m_Ui.slotButton = makeButton({skin(QStringLiteral("profilesel.png"))}, QStringLiteral("profileSlotButton"),
                               68, 213, 150, 29);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        m_Ui.profileButtons[i] = makeButton(pair("profile_edit_name_1.png", "profile_edit_name_2.png"),
                                       QStringLiteral("profileButton%1").arg(i + 1), kProfileColumnButton.x(),
                                       kProfileColumnButton.y() + kProfileButtonPitch * i,
                                       kProfileColumnButton.width(), kProfileColumnButton.height());
        m_Ui.profileButtons[i]->setCheckable(true);
        connect(m_Ui.profileButtons[i], &QPushButton::clicked, this, [this, i] { selectSlot(i); });
    }

    m_Ui.nameLabel = new ZelLabel(this);
    m_Ui.nameLabel->setAlignment(Qt::AlignCenter);
    place(m_Ui.nameLabel, 70, 428, 40, 24);
    m_Ui.nameEdit = new QLineEdit(this);
    m_Ui.nameEdit->setObjectName(QStringLiteral("profileNameEdit"));
    m_Ui.nameEdit->setMaxLength(100);
    m_Ui.nameEdit->setAlignment(Qt::AlignCenter);
    m_Ui.nameEdit->setStyleSheet(QStringLiteral(
        "QLineEdit{background:rgb(24,26,31);color:rgb(225,225,225);border:1px solid rgb(70,74,82);"
        "border-radius:3px;selection-background-color:rgb(%1,%2,%3);}"
        "QLineEdit:focus{border:1px solid rgb(%1,%2,%3);}")
                                   .arg(themeColor().red())
                                   .arg(themeColor().green())
                                   .arg(themeColor().blue()));
    place(m_Ui.nameEdit, 112, 428, 84, 24);
    connect(m_Ui.nameEdit, &QLineEdit::returnPressed, this, &MousecfgWidget::slotProfileNameChange);
    m_Ui.profileFileButton = makeButton({skin(QStringLiteral("profile_apply1.png"))}, QStringLiteral("profileFileButton"),
                                200, 426, 28, 28);

    m_Ui.importButton = makeButton(pair("profile_import1.png", "profile_import2.png"), QStringLiteral("importButton"),
                           70, 462, 28, 28);
    m_Ui.exportButton = makeButton({skin(QStringLiteral("profile_export1.png"))}, QStringLiteral("exportButton"),
                           104, 462, 28, 28);
    m_Ui.resetButton = makeButton(pair("profile_reset1.png", "profile_reset2.png"), QStringLiteral("resetButton"),
                          70, 496, 74, 26);
    m_Ui.addButton = makeButton(pair("profile_add1.png", "profile_add2.png"), QStringLiteral("addButton"), 148, 496, 74, 26);
    m_Ui.deleteButton = makeButton(pair("profile_del1.png", "profile_del2.png"), QStringLiteral("deleteButton"),
                           70, 526, 74, 26);
    m_Ui.copyButton = makeButton(pair("profile_copy1.png", "profile_copy2.png"), QStringLiteral("copyButton"),
                         148, 526, 74, 26);

    m_Ui.resetAllButton = makeButton(tabImages(), QStringLiteral("resetAllButton"), 285, 560, 96, 28);
    m_Ui.loadButton = makeButton(tabImages(), QStringLiteral("loadButton"), 387, 560, 96, 28);
    m_Ui.saveButton = makeButton(tabImages(), QStringLiteral("saveButton"), 489, 560, 96, 28);
    m_Ui.firmwareButton = makeButton(tabImages(), QStringLiteral("firmwareButton"), 591, 560, 110, 28);
    // The update starts on the press; the click that ends it is then not a second one.
    connect(m_Ui.firmwareButton, &ZelPushButton::EnterSignal, this, [this] {
        m_bFirmwareHandledOnPress = true;
        firmwareUpdate(true);
    });
    connect(m_Ui.firmwareButton, &QPushButton::clicked, this, [this] {
        if (m_bFirmwareHandledOnPress)
            m_bFirmwareHandledOnPress = false;
        else
            firmwareUpdate(false);
    });
    m_Ui.okButton = makeButton(tabImages(), QStringLiteral("okButton"), 710, 560, 76, 28);
    m_Ui.cancelButton = makeButton(tabImages(), QStringLiteral("cancelButton"), 792, 560, 76, 28);
    m_Ui.applyButton = makeButton(tabImages(), QStringLiteral("applyButton"), 874, 560, 76, 28);

    // The battery: a bar inside the battery outline, the charging and connection pictures.
    m_Ui.batteryBar = new QProgressBar(this);
    m_Ui.batteryBar->setObjectName(QStringLiteral("batteryBar"));
    m_Ui.batteryBar->setRange(0, 100);
    m_Ui.batteryBar->setAlignment(Qt::AlignCenter);
    place(m_Ui.batteryBar, 75, 592, 66, 25);
    m_Ui.charging = new QLabel(this);
    m_Ui.charging->setScaledContents(true);
    m_Ui.charging->setPixmap(QPixmap(skin(QStringLiteral("lightning.png"))));
    place(m_Ui.charging, 160, 584, 26, 40);
    m_Ui.charging->hide();
    m_Ui.connection = new QLabel(this);
    m_Ui.connection->setScaledContents(true);
    m_Ui.connection->setPixmap(QPixmap(skin(QStringLiteral("wireless.png"))));
    place(m_Ui.connection, 162, 590, 28, 28);

    // The mouse pictures and their markers.
    m_Ui.frontPicture = new QLabel(this);
    m_Ui.frontPicture->setObjectName(QStringLiteral("frontPicture"));
    m_Ui.frontPicture->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    place(m_Ui.frontPicture, kPictureOrigin.x(), kPictureOrigin.y(), kPictureSize.width(), kPictureSize.height());
    m_Ui.sidePicture = new QLabel(this);
    m_Ui.sidePicture->setObjectName(QStringLiteral("sidePicture"));
    m_Ui.sidePicture->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    place(m_Ui.sidePicture, kPictureOrigin.x(), kPictureOrigin.y(), kPictureSize.width(), kPictureSize.height());
    m_Ui.frontButton = makeButton(tabImages(), QStringLiteral("frontButton"), 295, 84, 60, 22);
    m_Ui.sideButton = makeButton(tabImages(), QStringLiteral("sideButton"), 360, 84, 60, 22);
    m_Ui.frontButton->setCheckable(true);
    m_Ui.sideButton->setCheckable(true);
    for (int i = 0; i < MARKER_COUNT; ++i) {
        QStringList images{skin(QStringLiteral("btn_1.png")), skin(QStringLiteral("btn_2.png"))};
        m_Markers.buttons[i] = makeButton(images, QStringLiteral("marker%1").arg(i), 0, 0, kMarkerSize, kMarkerSize);
        m_Markers.buttons[i]->setCheckable(true);
        m_Markers.buttons[i]->hide();
        connect(m_Markers.buttons[i], &QPushButton::clicked, this, [this, i] { clickMarker(i); });
        connect(m_Markers.buttons[i], &ZelPushButton::OverSignal, this, &MousecfgWidget::slotMouseOver);
    }
    const auto onClick = [this](ZelPushButton *button, void (MousecfgWidget::*action)()) {
        connect(button, &QPushButton::clicked, this, action);
    };
    onClick(m_Ui.closeButton, &MousecfgWidget::closeToTray);
    connect(m_Ui.minButton, &QPushButton::clicked, this, &QWidget::showMinimized);
    onClick(m_Ui.importButton, &MousecfgWidget::onImportProfile);
    onClick(m_Ui.exportButton, &MousecfgWidget::onExportProfile);
    onClick(m_Ui.resetButton, &MousecfgWidget::onResetProfile);
    onClick(m_Ui.addButton, &MousecfgWidget::onAdd);
    onClick(m_Ui.deleteButton, &MousecfgWidget::onDelete);
    onClick(m_Ui.copyButton, &MousecfgWidget::onCopy);
    onClick(m_Ui.resetAllButton, &MousecfgWidget::onResetAll);
    onClick(m_Ui.okButton, &MousecfgWidget::okAndHide);
    onClick(m_Ui.cancelButton, &MousecfgWidget::cancelAndHide);
    onClick(m_Ui.applyButton, &MousecfgWidget::apply);
    onClick(m_Ui.loadButton, &MousecfgWidget::onImportConfig);
    onClick(m_Ui.saveButton, &MousecfgWidget::onExportConfig);
    connect(m_Ui.frontButton, &QPushButton::clicked, this, [this] { selectView(true); });
    connect(m_Ui.sideButton, &QPushButton::clicked, this, [this] { selectView(false); });

    // Menus.
    m_Menus.slot = new QMenu(this);
    m_Menus.file = new QMenu(this);
    m_Menus.language = new QMenu(this);
    for (QMenu *menu : {m_Menus.slot, m_Menus.file, m_Menus.language})
        menu->setStyleSheet(menuStyleSheet());
    m_Menus.file->setFixedWidth(scaled(152));
    m_Menus.slot->setFixedWidth(scaled(150));
    m_Menus.language->setFixedWidth(scaled(110));
    m_Ui.slotButton->setMenu(m_Menus.slot);
    m_Ui.profileFileButton->setMenu(m_Menus.file);
    m_Ui.languageButton->setMenu(m_Menus.language);
    connect(m_Menus.file, &QMenu::triggered, this, &MousecfgWidget::slot_show_profilename);
    connect(m_Menus.file, &QMenu::aboutToShow, this, &MousecfgWidget::fillProfileFileMenu);
    buildLanguageMenu();

    for (ZelLabel *label : {m_Ui.version, m_Ui.nameLabel}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(200, 200, 200));
        label->setPalette(palette);
    }

    // The whole window surface drags the window.
    for (QLabel *label : {m_Ui.frontPicture, m_Ui.sidePicture, m_Ui.connection, m_Ui.charging})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_Ui.version->installEventFilter(this);
    m_Ui.nameLabel->installEventFilter(this);

    refreshPictures();
    applyFonts();
}

// ------------------------------------------------------- pages and views --

void MousecfgWidget::selectPage(int page)
{
    if (page < PageLighting || page > PageMacro)
        return;
    m_iPage = page;
    ensurePage(page);
    for (int i = 0; i < 4; ++i)
        m_Ui.tabs[i]->setChecked(i == page);

    const bool customize = page == PageCustomize;
    m_Ui.frontPicture->setVisible(page == PageLighting || (customize && m_bFrontView));
    m_Ui.sidePicture->setVisible(customize && !m_bFrontView);
    if (customize && !m_bFrontView && m_bSidePictureStale) {
        m_Ui.sidePicture->setPixmap(mousePicture(QStringLiteral("Mouse_Side.png")));
        m_bSidePictureStale = false;
    }
    m_Ui.frontButton->setVisible(customize);
    m_Ui.sideButton->setVisible(customize);
    for (int i = 0; i < MARKER_COUNT; ++i) {
        bool visible = false;
        if (customize && m_Markers.used[i]) {
            if (i < MARKERS_PER_VIEW)
                visible = m_bFrontView;
            else if (i < 2 * MARKERS_PER_VIEW)
                visible = !m_bFrontView;
            else
                visible = true;
        }
        m_Markers.buttons[i]->setVisible(visible);
    }
    for (SettingsPage *shown : {m_Pages[PageMacro], m_Pages[PageCustomize], m_Pages[PageLighting], m_Pages[PageDpi]})
        shown->setShown(shown == m_Pages[page]);
    update();
}

void MousecfgWidget::selectView(bool front)
{
    m_bFrontView = front;
    m_Ui.frontButton->setChecked(front);
    m_Ui.sideButton->setChecked(!front);
    buttonsTab()->selectLayer(m_Markers.selectedButton[m_Library.currentSlot()], front);
    selectPage(m_iPage);
}

void MousecfgWidget::selectMarker(int group, int index)
{
    m_Markers.selectedGroup = group;
    m_Markers.selected = index;
    const int chosen = group == 0 ? index : group == 1 ? MARKERS_PER_VIEW + index : 2 * MARKERS_PER_VIEW + index;
    for (int i = 0; i < MARKER_COUNT; ++i)
        m_Markers.buttons[i]->setChecked(i == chosen);
}

void MousecfgWidget::clearSelectedButtons()
{
    for (int &selected : m_Markers.selectedButton)
        selected = 0;
    m_Markers.selected = -1;
    for (ZelPushButton *marker : m_Markers.buttons)
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
        m_Ui.frontPicture->setPixmap(mousePicture(QStringLiteral("Mouse.png")));

    // Marker places come with the pictures.
    QSettings layout(appFilePath(folder + QStringLiteral("layout.ini")), QSettings::IniFormat);
    const int count = qBound(0, buttonCount(), int(MARKERS_PER_VIEW));
    for (int i = 0; i < MARKER_COUNT; ++i)
        m_Markers.used[i] = false;
    const auto put = [&](int marker, const QString &key) {
        bool ok = false;
        const QPoint centre = parsePoint(layout.value(key), &ok);
        if (!ok)
            return;
        m_Markers.used[marker] = true;
        m_Markers.pos[marker] = centre;
        place(m_Markers.buttons[marker], kPictureOrigin.x() + centre.x() - kMarkerSize / 2,
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
        ZelPushButton *old = m_Markers.buttons[marker];
        auto *fresh = new ZelPushButton({skin(a), skin(b), skin(b)}, this);
        fresh->setObjectName(old->objectName());
        fresh->setFocusPolicy(Qt::NoFocus);
        fresh->setCheckable(true);
        fresh->setVisible(old->isVisible());
        m_DesignRects.insert(fresh, m_DesignRects.value(old));
        fresh->setGeometry(old->geometry());
        m_DesignRects.remove(old);
        connect(fresh, &QPushButton::clicked, this, [this, marker] { clickMarker(marker); });
        connect(fresh, &ZelPushButton::OverSignal, this, &MousecfgWidget::slotMouseOver);
        old->deleteLater();
        m_Markers.buttons[marker] = fresh;
    };
    restyle(2 * MARKERS_PER_VIEW, up1, up2);
    restyle(2 * MARKERS_PER_VIEW + 1, down1, down2);
    for (ZelPushButton *marker : m_Markers.buttons)
        marker->raise();
    selectPage(m_iPage);
}

void MousecfgWidget::updateProfileControls()
{
    const ProfileSet &set = workingSet();
    const int slot = set.ProfileID < SLOT_COUNT ? set.ProfileID : 0;
    m_Ui.slotButton->setText(tr("Mode") + QStringLiteral(" %1").arg(slot + 1));
    for (int i = 0; i < SLOT_COUNT; ++i)
        m_Ui.profileButtons[i]->setChecked(i == slot);
    if (!m_Ui.nameEdit->hasFocus() || m_Ui.nameEdit->text() != set.names[slot])
        m_Ui.nameEdit->setText(set.names[slot]);
}

// ---------------------------------------------------------- slots of 3.2 --

void MousecfgWidget::slotMouseOver(ZelPushButton *btn, bool bType)
{
    int index = -1;
    for (int i = 0; i < MARKER_COUNT; ++i) {
        if (m_Markers.buttons[i] == btn)
            index = i;
    }
    // A marker hovered: its page button follows.
    if (index >= 0)
        buttonsTab()->highlightEntry(index, bType);
    if (index < 0 || index >= 2 * MARKERS_PER_VIEW)
        return;
    const int button = index % MARKERS_PER_VIEW + 1;
    const QString file = bType ? QStringLiteral("mouse_%1.png").arg(button) : QStringLiteral("Mouse.png");
    m_Ui.frontPicture->setPixmap(mousePicture(file));
    lightingTab()->forgetPicture();
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

void MousecfgWidget::enterPageButton(int entry)
{
    // A press on a page button selects its marker on the picture.
    const int group = entry / MARKERS_PER_VIEW;
    const int index = entry % MARKERS_PER_VIEW;
    selectMarker(quint8(group), quint8(index));
    if (group < 2)
        m_Markers.selectedButton[m_Library.currentSlot()] = index;
}

void MousecfgWidget::slot_show_profilename(QAction *action)
{
    const QString name = action->text();
    const ProfileLibrary::Result result = m_Library.assign(name);
    if (result != ProfileLibrary::Result::Ok) {
        reportLibraryResult(result);
        return;
    }
    m_Ui.slotButton->setText(tr("Mode") + QStringLiteral(" %1").arg(m_Library.currentSlot() + 1));
    m_Ui.nameEdit->setText(name);
    refreshPages();
}

void MousecfgWidget::slotPopOneClickBox()
{
    showMessage(2, tr("AT LEAST ONE CLICK FUNCTION TO BE RETAINED."));
}

void MousecfgWidget::slotEnableButtons(bool bEnable)
{
    for (ZelPushButton *button : {m_Ui.importButton, m_Ui.exportButton, m_Ui.resetButton, m_Ui.addButton, m_Ui.deleteButton, m_Ui.copyButton, m_Ui.slotButton,
                                  m_Ui.profileFileButton, m_Ui.resetAllButton, m_Ui.okButton, m_Ui.cancelButton, m_Ui.applyButton, m_Ui.loadButton, m_Ui.saveButton,
                                  m_Ui.firmwareButton, m_Ui.frontButton, m_Ui.sideButton, m_Ui.languageButton, m_Ui.modelButton})
        button->setEnabled(bEnable);
    for (ZelPushButton *button : m_Ui.tabs)
        button->setEnabled(bEnable);
    for (ZelPushButton *button : m_Ui.profileButtons)
        button->setEnabled(bEnable);
    for (ZelPushButton *button : m_Markers.buttons)
        button->setEnabled(bEnable);
    m_Ui.nameEdit->setEnabled(bEnable);
}

// ------------------------------------------------------------ dispatching --

void MousecfgWidget::clickMarker(int i)
{
    const int group = i / MARKERS_PER_VIEW;
    selectMarker(group, i % MARKERS_PER_VIEW);
    m_Markers.selectedButton[m_Library.currentSlot()] = i % MARKERS_PER_VIEW;
    buttonsTab()->selectButton(group, i % MARKERS_PER_VIEW);
}

int MousecfgWidget::showMessage(int type, const QString &text, bool watchDevice)
{
    // A caller on the bus gets the text as its answer; a question counts as "No".
    if (m_Bus.caller) {
        if (m_Bus.callerMessage.isEmpty())
            m_Bus.callerMessage = text;
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

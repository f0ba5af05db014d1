// The main window's side of the mouse's presence: the model list, hot-plug,
// the no-mouse warning, the battery display, status reports from the mouse,
// the on-screen display and the firmware updater.

#include "app/applyflow.h"
#include "app/batterylevel.h"
#include "app/logging.h"
#include "app/mousecfgwidget.h"
#include "app/lightingtab.h"
#include "app/performancetab.h"
#include "app/services.h"
#include "device/devicetable.h"
#include "device/poller.h"
#include "device/pointerspeed.h"
#include "device/sensors.h"
#include "platform/clock.h"
#include "platform/desktopnotifier.h"
#include "platform/notificationosd.h"
#include "platform/osdchannel.h"
#include "platform/osdhandoff.h"
#include "platform/programs.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/language.h"
#include "profile/paths.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"
#include "widgets/uistate.h"
#include "widgets/zelpushbutton.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QtDebug>

namespace {

const char kOsdTitle[] = "BLMX Wireless Mouse OSD";

QString rateText(quint8 rate)
{
    switch (rate) {
    case 8:
        return QCoreApplication::translate("MousecfgWidget", "125 HZ");
    case 4:
        return QCoreApplication::translate("MousecfgWidget", "250 HZ");
    case 2:
        return QCoreApplication::translate("MousecfgWidget", "500 HZ");
    case 1:
        return QCoreApplication::translate("MousecfgWidget", "1000 HZ");
    default:
        return QString();
    }
}

QString entryName(const DeviceEntry &entry)
{
    return QString::fromLatin1(entry.name, int(qstrnlen(entry.name, sizeof entry.name)));
}

} // namespace

// ------------------------------------------------------------ model list --

bool MousecfgWidget::modelConnected(int entry, int side) const
{
    const DeviceEntry &e = deviceTable().entries[entry];
    return e.present[mouseSlot(side)] && e.present[controlSlot(side)];
}

bool MousecfgWidget::firstModelHas(int slot) const
{
    return deviceTable().count > 0 && deviceTable().entries[0].present[slot] != 0;
}

void MousecfgWidget::rebuildModelList()
{
    m_ListedModels.clear();
    setListedMouseCount(0);
    if (m_Menus.model) {
        m_Menus.model->deleteLater();
        m_Menus.model = nullptr;
    }
    auto *menu = new QMenu(this);
    const DeviceTable &table = deviceTable();
    for (quint32 i = 0; i < table.count && i < quint32(DEVICE_TABLE_CAPACITY); ++i) {
        if (modelConnected(int(i), SIDE_RECEIVER) || modelConnected(int(i), SIDE_CABLE)) {
            const QString name = entryName(table.entries[i]);
            m_ListedModels << name;
            menu->addAction(name);
        }
    }
    const int count = m_ListedModels.size();
    setListedMouseCount(count);
    if (count < 2)
        m_Ui.modelButton->hide();
    if (count == 1) {
        qCDebug(lcHotplug, "RefreshMouseList %s", qPrintable(m_ListedModels.first()));
        writeCurrentProduct(m_ListedModels.first());
    } else if (count == 0) {
        // The product folder holds the served model's profiles and write
        // state: it stays the current product while its mouse is away, so
        // what happens meanwhile (a new attachment's full-write mark, edits)
        // lands in its files.
    } else {
        m_Ui.modelButton->show();
        const QString current = readCurrentProduct();
        if (m_ListedModels.contains(current)) {
            m_Ui.modelButton->setText(current);
            writeCurrentProduct(current);
        } else {
            m_Ui.modelButton->setText(m_ListedModels.first());
            writeCurrentProduct(m_ListedModels.first());
        }
    }
    connect(menu, &QMenu::triggered, this, &MousecfgWidget::slot_show_mousename);
    m_Ui.modelButton->setMenu(menu);
    menu->setFixedWidth(scaled(150));
    menu->setStyleSheet(menuStyleSheet());
    m_Menus.model = menu;
    if (m_Menus.tray)
        m_Menus.tray->setToolTip(readCurrentProduct());
}

void MousecfgWidget::openCurrentDevice()
{
    const QByteArray name = readCurrentProduct().toLatin1();
    openDevice(name.constData());
}

void MousecfgWidget::reloadForProduct()
{
    clearSelectedButtons();
    selectView(true);
    refreshPictures();
    relayout();
    loadProfileSet(savedSet());
    workingSet() = savedSet();
    m_Library.load();
    savedSet() = workingSet();
    updateProfileControls();
    rebuildProfileFileMenu();
    refreshDefaultProfileFile();
    selectPage(PageLighting);
    refreshPages();
}

void MousecfgWidget::slot_show_mousename(QAction *action)
{
    finishFollowWrite(FollowWait::BehindBusyAnimation);
    m_pPoller->stop();
    platform::sleepMs(50);
    closeDevice();
    platform::sleepMs(50);
    m_Ui.modelButton->setText(action->text());
    writeCurrentProduct(action->text());
    openCurrentDevice();
    platform::sleepMs(50);
    reloadForProduct();
    m_pPoller->start();
}

// --------------------------------------------------------------- hot-plug --

void MousecfgWidget::scheduleReconnect()
{
    // A write on its way keeps the handles it is using: the device is
    // reopened once it has ended (closing them under it would fail the write
    // for a cable plugged in beside a working receiver).
    if (m_bWriting) {
        qCDebug(lcHotplug, "Reopening the device after the write");
        m_bReopenAfterWrite = true;
        return;
    }
    // The device reopens 500 ms after the connection changed; further changes
    // within that time push the reopening back instead of stacking up.
    m_pPoller->stop();
    closeDevice();
    m_ReconnectTimer.start();
}

void MousecfgWidget::reopenDevice()
{
    if (m_bWriting) {
        qCDebug(lcHotplug, "Reopening the device after the write");
        m_bReopenAfterWrite = true;
        return;
    }
    finishFollowWrite(FollowWait::Block);
    qCDebug(lcHotplug, "Reopening the device");
    openCurrentDevice();
    m_pPoller->start();
}

void MousecfgWidget::handleDeviceChange(const QString &interfaceName, bool arrival)
{
    qCDebug(lcHotplug, arrival ? "DBT_DEVICEARRIVAL\n" : "DBT_DEVICEREMOVECOMPLETE\n");
    const QString currentBefore = readCurrentProduct();
    const QVector<PresenceChange> changes = updatePresence(interfaceName, arrival, currentBefore.toLatin1());
    if (changes.isEmpty())
        return;
    // The device is not closed or the poller restarted under a running write.
    finishFollowWrite(FollowWait::Block);

    bool reopened = false;
    bool switched = false;
    for (const PresenceChange &change : changes) {
        const QString model = entryName(deviceTable().entries[change.entry]);
        if (arrival && change.sideComplete) {
            if (listedMouseCount() == 0) {
                rebuildModelList();
                QTimer::singleShot(200, this, &MousecfgWidget::slotWarnClose);
                reopened = true;
            } else {
                rebuildModelList();
                scheduleReconnect();
                reopened = true;
            }
        }
        if (!arrival && change.deviceGone) {
            rebuildModelList();
            if (listedMouseCount() == 0) {
                m_ReconnectTimer.stop();
                m_pPoller->stop();
                closeDevice();
                m_iReconnected = 0;
                m_Bus.batteryReported = false;
                m_Bus.statusReported = false;
                m_bWarningOpen = true;
                QTimer::singleShot(200, this, &MousecfgWidget::slotWarning);
                reopened = true;
            } else if (model == currentBefore) {
                m_pPoller->stop();
                closeDevice();
                openCurrentDevice();
                m_pPoller->start();
                reloadForProduct();
                switched = true;
            }
        }
        if (!switched && !reopened && change.reconnectWanted && model == readCurrentProduct()) {
            scheduleReconnect();
            reopened = true;
        }
    }

    recomputeConnectionIcon();
    // (A write restarts the poller itself when it ends.)
    if (!m_ReconnectTimer.isActive() && !m_bWriting && listedMouseCount() > 0)
        m_pPoller->restart();
}

void MousecfgWidget::slotWarnClose()
{
    finishFollowWrite(FollowWait::Block);
    openCurrentDevice();
    m_iReconnected = 1;
    m_pPoller->start();
    reloadForProduct();
    selectMarker(0, 0);
    recomputeConnectionIcon();
}

void MousecfgWidget::slotWarning()
{
    show();
    if (listedMouseCount() != 0) {
        // A Wayland compositor gives the focus itself; a client cannot take it.
        if (!platform::isWaylandClient())
            activateWindow();
        raise();
        return;
    }
    m_bWarningOpen = true;
    showMessage(4, tr("Dongle Disconnect!"), true);
    if (listedMouseCount() == 0)
        hideToTray();
    m_bWarningOpen = false;
}

void MousecfgWidget::bringToFront()
{
    qCDebug(lcUi, "Brought to the front");
    if (isMinimized())
        showNormal();
    if (listedMouseCount() == 0 && !m_bWarningOpen) {
        // As the tray's "&Load Config": shown, with the warning.
        slotWarning();
        return;
    }
    show();
    raise();
    if (!platform::isWaylandClient())
        activateWindow();
}

void MousecfgWidget::notifyLowBattery(int level)
{
    if (!m_pDesktopNotifier)
        m_pDesktopNotifier = new platform::DesktopNotifier(this);
    platform::DesktopNotifier::Notification n;
    n.summary = tr("Mouse battery low");
    n.body = tr("%1 has %2% battery left. Connect the cable to charge it.").arg(readCurrentProduct()).arg(level);
    n.icon = QStringLiteral("mousecfg");
    qCDebug(lcUi, "Low battery: %d%%", level);
    m_pDesktopNotifier->notify(n);
}

void MousecfgWidget::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::DoubleClick && reason != QSystemTrayIcon::Trigger)
        return;
    if (isHidden())
        slotWarning();
    else if (!m_bWarningOpen)
        hideToTray();
}

// ---------------------------------------------------------------- battery --

void MousecfgWidget::recomputeConnectionIcon()
{
    const bool cable = firstModelHas(WiredControl);
    const bool dongle = firstModelHas(ReceiverControl);
    const bool wasCharging = batteryOutlineCharging(m_Battery.connectionState);
    m_Battery.connectionState = ::connectionIconState(cable, dongle, m_Battery.charging);
    m_Ui.connection->setVisible(connectionPictureVisible(m_Battery.connectionState));
    // No mouse, no battery level: the outline stays empty.
    m_Ui.batteryBar->setVisible(batteryBarVisible(m_Battery.connectionState) && listedMouseCount() > 0);
    m_Ui.charging->hide();
    // The battery outline the window draws itself: drawn again only where
    // it and only when it changes (a battery report every few seconds would
    // otherwise repaint the whole window).
    if (batteryOutlineCharging(m_Battery.connectionState) != wasCharging)
        update(scaled(batteryOutlineRect()));
    emit statusChanged();
}

void MousecfgWidget::setBatterySheet(const QString &sheet)
{
    // Styled again only when the look changes, not on every report.
    if (m_Ui.batteryBar->styleSheet() != sheet)
        m_Ui.batteryBar->setStyleSheet(sheet);
}

void MousecfgWidget::slotRefreshBatteryStatus(quint8 iCharge, quint8 iLowByte, quint8 iHiByte)
{
    if (listedMouseCount() == 0) {
        // Only a mouse reports a battery (the start primes the display):
        // nothing is shown or stored while none is connected.
        recomputeConnectionIcon();
        return;
    }
    const int fontPx = scaled(16);
    if (iCharge == 0 && iLowByte == 0 && iHiByte == 0) {
        const QString off = tr("MOUSE OFF");
        m_Ui.batteryBar->setFormat(off);
        m_Ui.batteryBar->setTextVisible(false);
        setBatterySheet(QStringLiteral(
            "QProgressBar{background-color:rgb(100,100,100);color:white;font-weight:bold;font-size:%1px;"
            "border:0px;text-align:center;}QProgressBar::chunk{background-color:rgb(100,100,100);}")
                            .arg(fontPx));
        m_Ui.batteryBar->setToolTip(off);
        m_Ui.charging->hide();
        g_mouseOff.store(true);
        m_Bus.batteryReport = QByteArray(3, '\0');
        m_Bus.batteryReported = true;
        emit statusChanged();
        return;
    }

    g_mouseOff.store(false);
    const bool cable = firstModelHas(WiredControl);
    m_Ui.batteryBar->setTextVisible(true);
    m_Ui.batteryBar->setFormat(cable ? QString() : QStringLiteral("%p%"));
    m_Ui.batteryBar->setToolTip(QString());
    const QColor theme = themeColor();
    setBatterySheet(
        QStringLiteral("QProgressBar{background-color:white;color:black;font-weight:bold;font-size:%1px;"
                       "border:0px;border-radius:2px;text-align:center;}"
                       "QProgressBar::chunk{background-color:rgb(%2,%3,%4);border-radius:2px;}")
            .arg(fontPx)
            .arg(theme.red())
            .arg(theme.green())
            .arg(theme.blue()));
    m_Battery.charging = iCharge != 0;

    const int level = batteryLevel(batteryMillivolts(iLowByte, iHiByte), m_Battery.full);
    if (level != m_Battery.level) {
        m_Battery.level = level;
        writeBattery(level);
    }
    const char report[3] = {char(iLowByte), char(iHiByte), char(iCharge)};
    m_Bus.batteryReport = QByteArray(report, 3);
    m_Bus.batteryReported = true;
    if (m_Bus.batteryWatched && m_LowBattery.report(level, m_Battery.charging, cable))
        notifyLowBattery(level);
    m_Ui.batteryBar->setValue(cable ? 100 : level);
    recomputeConnectionIcon();
}

// --------------------------------------------------- status from the mouse --

void MousecfgWidget::slotRefreshStatus(quint8 iProfile, quint8 iDPI, quint8 iRate, quint8 iMode)
{
    qCDebug(lcPoller, "Test data:profile =%x, dpi= %x, iRate= %x, mode= %x", iProfile, iDPI, iRate, iMode);
    m_Bus.statusReported = true;
    emit statusChanged();
    const ProfileSet &set = workingSet();
    if (iProfile < SLOT_COUNT && iProfile != set.ProfileID)
        slotRefreshProfile(iProfile);
    const ProfileData &current = workingSet().profiles[workingSet().ProfileID % SLOT_COUNT];
    if (iDPI != current.dpi)
        slotRefreshDPIStage(iDPI);
    if (iRate != current.pollrate)
        slotRefreshRate(iRate);
}

void MousecfgWidget::slotRefreshProfile(quint8 iProfile)
{
    if (iProfile >= SLOT_COUNT)
        return;
    showActiveSlot(iProfile);
    applyPointerSpeedOfSlot(workingSet(), iProfile);
    // The mouse selected the slot itself; it gets the slot's tables quietly.
    followSlotQuietly();
}

void MousecfgWidget::slotRefreshDPIStage(quint8 iDPI)
{
    ProfileSet &set = workingSet();
    const int slot = set.ProfileID % SLOT_COUNT;
    if (iDPI >= STAGE_COUNT)
        return;
    set.profiles[slot].dpi = iDPI;
    writeActiveStage(set.names[slot], iDPI);
    performanceTab()->showReportedDpiStage(iDPI);
    const DpiStage &stage = set.profiles[slot].stages[iDPI];
    showOsdText(tr("DPI") + QStringLiteral(" %1:%2").arg(iDPI + 1).arg(sensorDpi(int(stage.x), sensorCode())));
}

void MousecfgWidget::slotRefreshRate(quint8 iRate)
{
    ProfileSet &set = workingSet();
    set.profiles[set.ProfileID % SLOT_COUNT].pollrate = iRate;
    performanceTab()->showReportedRate(iRate);
    showOsdText(rateText(iRate));
}

void MousecfgWidget::slotRefreshLightMode(quint8 iBuff1)
{
    // The lighting page shows the mode the mouse reports.
    lightingTab()->showReportedLightMode(iBuff1);
}

// ------------------------------------------------------ on-screen display --

void MousecfgWidget::showOsdText(const QString &text)
{
    // The display is looked for, started and sent to without this thread
    // ever waiting for it (a missing display costs no frozen window).
    if (!m_Osd.handOff)
        m_Osd.handOff = new platform::OsdHandOff(this);
    if (!m_Osd.socket) {
        const QString socket = platform::osdSocketFromEnvironment(QString::fromLatin1(kOsdTitle));
        m_Osd.socket = new platform::LocalSocketOsdChannel(socket, true);
        // The display this program starts listens where it looks.
        qputenv("MOUSECFG_OSD_SOCKET", QFile::encodeName(socket));
    }
    platform::OsdChannel &channel = appServices().osd ? *appServices().osd
                                    : platform::isWaylandClient() ? notificationChannel()
                                                                  : *m_Osd.socket;
    platform::OsdMessage message;
    message.text = text;
    message.colour = themeColor();
    m_Osd.handOff->show(&channel, platform::encodeOsdMessage(message),
                        [] { appServices().startDetached(osdProgramPath()); });
}

// A Wayland client cannot place the display's window in its corner: its
// messages become desktop notifications.
platform::OsdChannel &MousecfgWidget::notificationChannel()
{
    if (!m_Osd.notifications)
        m_Osd.notifications = new platform::NotificationOsdChannel(QString(), this);
    return *m_Osd.notifications;
}

// --------------------------------------------------------------- firmware --

void MousecfgWidget::firmwareUpdate(bool fromPress)
{
    m_Ui.firmwareButton->setChecked(false);
    const QString updater = applicationDir()
        + (currentLanguageIndex() == 0 ? QStringLiteral("/skin/mouse/bin/U400-5150-20230727-en.exe")
                                       : QStringLiteral("/skin/mouse/bin/U400-5150-20230727.exe"));
    // Said at once: neither the cable nor a yes can make an updater run here.
    const bool runnable = appServices().canRun ? appServices().canRun(updater) : platform::canRunProgram(updater);
    if (!runnable) {
        qCDebug(lcUi, "No firmware updater can run here: %s", qPrintable(updater));
        showMessage(2, tr("The firmware updater could not be started."));
        return;
    }
    const bool onCable = fromPress ? firstModelHas(WiredMouse) : wiredFirmwareRelease() != 0;
    if (!onCable) {
        showMessage(2, tr("To update the firmware, please connect to the computer with a cable."));
        return;
    }
    if (showMessage(1, tr("Do you want to upgrade the firmware?")) != 1)
        return;
    m_pPoller->stop();
    if (!appServices().startDetached(updater)) {
        // Keep running: the user can still use the program and try again.
        qCWarning(lcUi, "Starting the firmware updater %s failed", qPrintable(updater));
        showMessage(2, tr("The firmware updater could not be started."));
        m_pPoller->start();
        return;
    }
    appServices().exitProcess(0);
}

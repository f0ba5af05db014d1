// The main window's frame: the tray, texts and fonts, the language, the menus,
// dragging, painting and scaling.

#include "app/mousecfgwidget.h"
#include "app/preload.h"

#include "app/services.h"
#include "platform/autostart.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/language.h"
#include "profile/paths.h"
#include "profile/profileset.h"
#include "profile/profilefile.h"
#include "widgets/logging.h"

#include <QTimer>
#include "widgets/uistate.h"
#include "widgets/zelaction.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"
#include "device/poller.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QWindow>

void MousecfgWidget::buildTray()
{
    m_Menus.showAction = new QAction(tr("&Load Config"), this);
    m_Menus.quitAction = new QAction(tr("&Quit"), this);
    connect(m_Menus.showAction, &QAction::triggered, this, &MousecfgWidget::slotWarning);
    connect(m_Menus.quitAction, &QAction::triggered, qApp, &QCoreApplication::quit);
    // Off until chosen: an autostart entry that starts the program hidden.
    m_Menus.autostartAction = new QAction(tr("Start at Login"), this);
    m_Menus.autostartAction->setObjectName(QStringLiteral("autostartAction"));
    m_Menus.autostartAction->setCheckable(true);
    m_Menus.autostartAction->setChecked(platform::autostartEnabled(QStringLiteral("org.example.mousecfg")));
    connect(m_Menus.autostartAction, &QAction::toggled, this, &MousecfgWidget::setAutostart);
    m_Menus.trayMenu = new QMenu(this);
    m_Menus.trayMenu->setStyleSheet(menuStyleSheet());
    m_Menus.trayMenu->addAction(m_Menus.showAction);
    m_Menus.trayMenu->addAction(m_Menus.autostartAction);
    m_Menus.trayMenu->addAction(m_Menus.quitAction);
    m_Menus.tray = new QSystemTrayIcon(this);
    m_Menus.tray->setContextMenu(m_Menus.trayMenu);
    connect(m_Menus.tray, &QSystemTrayIcon::activated, this, &MousecfgWidget::iconActivated);
    // Every size the icon file holds, read ahead with the other pictures.
    // The window gets it once its first frame is on the screen.
    QIcon icon;
    for (const QImage &size : takeImages(iconPath()))
        icon.addPixmap(QPixmap::fromImage(size));
    m_Menus.tray->setIcon(icon);
    m_Menus.tray->setToolTip(readCurrentProduct());
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_Menus.tray->setVisible(true);
}

// -------------------------------------------------------- texts and fonts --

void MousecfgWidget::retranslate()
{
    m_Ui.resetButton->setText(tr("RESET"));
    m_Ui.addButton->setText(tr("ADD"));
    m_Ui.deleteButton->setText(tr("DELETE"));
    m_Ui.copyButton->setText(tr("COPY"));
    m_Ui.resetAllButton->setText(tr("Reset All"));
    m_Ui.okButton->setText(tr("OK"));
    m_Ui.cancelButton->setText(tr("Cancel"));
    m_Ui.applyButton->setText(tr("Apply"));
    m_Ui.loadButton->setText(tr("LOAD1"));
    m_Ui.saveButton->setText(tr("SAVE"));
    m_Ui.firmwareButton->setText(tr("Firmware Update"));
    m_Ui.frontButton->setText(tr("Front"));
    m_Ui.sideButton->setText(tr("Side"));
    m_Ui.tabs[0]->setText(tr("LIGHTING"));
    m_Ui.tabs[1]->setText(tr("CUSTOMIZE"));
    m_Ui.tabs[2]->setText(tr("DPI"));
    m_Ui.tabs[3]->setText(tr("MACRO"));
    m_Ui.nameLabel->setText(tr("NAME"));
    m_Ui.nameEdit->setToolTip(tr("Press Enter To Apply"));
    m_Ui.version->setText(tr("Version") + QLatin1Char(' ') + productVersion());
    m_Ui.importButton->setToolTip(tr("Load Profile File"));
    m_Ui.exportButton->setToolTip(tr("Save Profile File"));
    for (int i = 0; i < SLOT_COUNT; ++i) {
        m_Ui.profileButtons[i]->setText(tr("Profile") + QStringLiteral(" %1").arg(i + 1));
        if (m_Menus.slotActions[i])
            m_Menus.slotActions[i]->setText(tr("Mode") + QStringLiteral(" %1").arg(i + 1));
    }
    if (m_Menus.showAction) {
        m_Menus.showAction->setText(tr("&Load Config"));
        m_Menus.quitAction->setText(tr("&Quit"));
        m_Menus.autostartAction->setText(tr("Start at Login"));
    }
    if (m_Lang.index >= 0 && m_Lang.index < 10)
        m_Ui.languageButton->setText(m_Lang.names[m_Lang.index]);
    for (SettingsPage *page : m_Pages)
        page->retranslate();
    updateProfileControls();
    if (m_Ui.batteryBar && g_mouseOff.load())
        slotRefreshBatteryStatus(0, 0, 0);
    applyFonts();
}

void MousecfgWidget::applyFonts()
{
    const QFont font = scaledPageFont(QFont());
    for (QMenu *menu : {m_Menus.slot, m_Menus.file, m_Menus.language, m_Menus.model, m_Menus.trayMenu}) {
        if (menu)
            menu->setFont(font);
    }
    if (m_Ui.nameEdit)
        m_Ui.nameEdit->setFont(font);
    if (m_Ui.batteryBar) {
        QFont bold = font;
        bold.setBold(true);
        m_Ui.batteryBar->setFont(bold);
    }
}

bool MousecfgWidget::loadCatalogue(int index)
{
    if (index < 0 || index >= 10 || m_Lang.files[index].isEmpty())
        return false;
    const QString file = m_Lang.files[index] + QStringLiteral(".qm");
    if (m_Lang.translator.load(applicationDir() + QStringLiteral("/lang/") + file))
        return true;
    // The catalogues built into the program stand in for missing files.
    return m_Lang.translator.load(QStringLiteral(":/lang/") + file);
}

void MousecfgWidget::buildLanguageMenu()
{
    m_Menus.language->clear();
    for (int i = 0; i < m_Lang.count && i < 10; ++i) {
        QAction *action = m_Menus.language->addAction(m_Lang.names[i]);
        connect(action, &QAction::triggered, this, [this, i] { switchLanguage(i); });
    }
}

void MousecfgWidget::switchLanguage(int index)
{
    if (index < 0 || index >= 10)
        return;
    const bool loaded = loadCatalogue(index);
    m_Ui.languageButton->setText(m_Lang.names[index]);
    m_Lang.index = index;
    setCurrentLanguageIndex(index);
    writeLanguageId(index);
    if (loaded) {
        if (!m_Lang.translatorInstalled) {
            QCoreApplication::installTranslator(&m_Lang.translator);
            m_Lang.translatorInstalled = true;
        } else {
            // Reinstalling tells every widget that the language changed.
            QCoreApplication::removeTranslator(&m_Lang.translator);
            QCoreApplication::installTranslator(&m_Lang.translator);
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
    m_Menus.slot->clear();
    for (int i = 0; i < SLOT_COUNT; ++i) {
        m_Menus.slotActions[i] = new ZelAction(tr("Mode") + QStringLiteral(" %1").arg(i + 1), m_Menus.slot);
        m_Menus.slot->addAction(m_Menus.slotActions[i]);
        connect(m_Menus.slotActions[i], &QAction::triggered, this, [this, i] { selectSlot(i); });
    }
}

void MousecfgWidget::rebuildProfileFileMenu()
{
    m_Menus.fileStale = true;
    if (m_Menus.file && m_Menus.file->isVisible())
        fillProfileFileMenu();
    // The slot names may have changed with the list.
    emit statusChanged();
}

void MousecfgWidget::fillProfileFileMenu()
{
    if (!m_Menus.file || !m_Menus.fileStale)
        return;
    m_Menus.fileStale = false;
    m_Menus.file->clear();
    for (const QString &name : m_Library.names()) {
        auto *action = new ZelAction(name, m_Menus.file);
        m_Menus.file->addAction(action);
    }
}


// ----------------------------------------------------- window behaviour --

bool MousecfgWidget::eventFilter(QObject *watched, QEvent *event)
{
    // Labels are part of the window's surface: dragging starts on them too.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove
        || event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_Ui.version || watched == m_Ui.nameLabel) {
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
        m_Drag.active = true;
        m_Drag.movingItself = false;
        m_Drag.press = event->globalPos();
        m_Drag.origin = frameGeometry().topLeft();
    }
    QWidget::mousePressEvent(event);
}

void MousecfgWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (m_Drag.active && (event->buttons() & Qt::LeftButton)) {
        const QPoint offset = event->globalPos() - m_Drag.press;
        if (offset.manhattanLength() > 4) {
            // The window system moves the window with the pointer where it
            // can (a Wayland compositor ignores a window placing itself);
            // else the window follows the pointer itself for this drag.
            QWindow *handle = window()->windowHandle();
            const auto systemMove = [handle] {
                return handle
                       && (appServices().systemMove ? appServices().systemMove(handle) : handle->startSystemMove());
            };
            if (!m_Drag.movingItself && systemMove()) {
                qCDebug(lcUi, "The window system moves the window");
                m_Drag.active = false;
            } else {
                m_Drag.movingItself = true;
                move(m_Drag.origin + offset);
            }
        }
    }
    QWidget::mouseMoveEvent(event);
}

void MousecfgWidget::mouseReleaseEvent(QMouseEvent *event)
{
    m_Drag.active = false;
    m_Drag.movingItself = false;
    QWidget::mouseReleaseEvent(event);
}

void MousecfgWidget::finishStart()
{
    if (m_bStartFilesWritten)
        return;
    m_bStartFilesWritten = true;
    // Not needed for the first frame: handed to the desktop after it (the
    // largest size alone is a quarter of a megabyte to the display server).
    if (m_Menus.tray)
        setWindowIcon(m_Menus.tray->icon());
    // Pictures read ahead for a page the window did not open first.
    dropPreloads();
    // The factory profile's file first (every profile file waits for the
    // background writer), then the slot files on another thread: the window
    // answers meanwhile.
    refreshDefaultProfileFile();
    m_Library.writePendingFiles(ProfileLibrary::Writer::InBackground);
}

void MousecfgWidget::paintEvent(QPaintEvent *event)
{
    const QRect area = event->rect();
    qCDebug(lcPaint, "Window painted: %d,%d %dx%d", area.x(), area.y(), area.width(), area.height());
    if (!m_bStartFilesQueued) {
        // After this frame is on the screen.
        m_bStartFilesQueued = true;
        QTimer::singleShot(0, this, &MousecfgWidget::finishStart);
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
    const QPixmap &battery = m_Battery.pictures[batteryOutlineCharging(m_Battery.connectionState) ? 1 : 0];
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
    m_Menus.file->setFixedWidth(scaled(152));
    m_Menus.slot->setFixedWidth(scaled(150));
    m_Menus.language->setFixedWidth(scaled(110));
    if (m_Menus.model)
        m_Menus.model->setFixedWidth(scaled(150));
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
    if (m_Menus.trayMenu)
        m_Menus.trayMenu->popup(event->globalPos());
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
        const QSignalBlocker blocker(m_Menus.autostartAction);
        m_Menus.autostartAction->setChecked(!on);
    }
}

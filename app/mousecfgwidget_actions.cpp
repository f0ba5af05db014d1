// The main window's profile operations and the write to the mouse.

#include "app/applyflow.h"
#include "app/mousecfgwidget.h"
#include "device/commands.h"
#include "device/poller.h"
#include "device/pointerspeed.h"
#include "pages/performance/zeldpiwindow.h"
#include "pages/performance/zelsingledpi.h"
#include "pages/performance/zelreportrate.h"
#include "profile/configstore.h"
#include "profile/profilefile.h"
#include "profile/profileset.h"
#include "widgets/logging.h"
#include "widgets/zelmessagebox.h"
#include "widgets/zelpushbutton.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <QtDebug>

void MousecfgWidget::showActiveSlot(int slot)
{
    m_Library.selectSlot(slot);
    m_pProfileSel->setText(tr("Mode") + QStringLiteral(" %1").arg(slot + 1));
    m_pNameEdit->setText(workingSet().names[slot]);
    refreshPages();
    rebuildProfileFileMenu();
}

void MousecfgWidget::selectSlot(int slot)
{
    if (slot < 0 || slot >= SLOT_COUNT)
        return;
    showActiveSlot(slot);
    // Selected on the mouse, with the slot's tables, on the write thread. With
    // no mouse there is nothing to switch: the first write after it arrives
    // sends everything.
    if (listedMouseCount() > 0)
        runWrite(ZelProcessThread::Kind::SelectSlot, false);
    // The newly selected slot's pointer speed, not the last download's.
    applyPointerSpeedOfSlot(workingSet(), slot);
}

void MousecfgWidget::reportLibraryResult(ProfileLibrary::Result result)
{
    switch (result) {
    case ProfileLibrary::Result::Ok:
        break;
    case ProfileLibrary::Result::AlreadyUsed:
        showMessage(2, tr("Profile is Already Used!"));
        break;
    case ProfileLibrary::Result::DefaultName:
        showMessage(2, tr("The default Profile cannot be deleted or renamed."));
        break;
    case ProfileLibrary::Result::Exists:
        showMessage(2, tr("Profile Exist!"));
        break;
    case ProfileLibrary::Result::AtLeastOne:
        showMessage(2, tr("AT LEAST ONE PROFILE TO BE RETAINED."));
        break;
    case ProfileLibrary::Result::WrongModel:
        showMessage(2, tr("The file is not match current mouse!"));
        break;
    case ProfileLibrary::Result::BadName:
        showMessage(2, tr("This name cannot be used for a file. Please choose another name."));
        break;
    case ProfileLibrary::Result::Failed:
        showMessage(2, tr("The file could not be read or written."));
        break;
    }
}

void MousecfgWidget::slotProfileNameChange()
{
    const QString oldName = m_Library.currentName();
    const QString typed = m_pNameEdit->text();
    if (typed.trimmed() == oldName)
        return;
    const ProfileLibrary::Result result = m_Library.rename(typed);
    if (result != ProfileLibrary::Result::Ok) {
        reportLibraryResult(result);
        m_pNameEdit->setText(oldName);
        return;
    }
    m_pNameEdit->setText(m_Library.currentName());
    rebuildProfileFileMenu();
}

void MousecfgWidget::onAdd()
{
    QString created;
    const ProfileLibrary::Result result = m_Library.add(&created);
    if (result != ProfileLibrary::Result::Ok) {
        reportLibraryResult(result);
        return;
    }
    m_pNameEdit->setText(created);
    rebuildProfileFileMenu();
    refreshPages();
}

void MousecfgWidget::onDelete()
{
    const ProfileLibrary::Result check = m_Library.canRemove();
    if (check != ProfileLibrary::Result::Ok) {
        reportLibraryResult(check);
        return;
    }
    if (showMessage(1, tr("Are you sure you want delete this profile?")) != 1)
        return;
    QString replacement;
    const ProfileLibrary::Result result = m_Library.remove(&replacement);
    if (result != ProfileLibrary::Result::Ok) {
        reportLibraryResult(result);
        return;
    }
    m_pNameEdit->setText(replacement);
    rebuildProfileFileMenu();
    refreshPages();
}

void MousecfgWidget::onCopy()
{
    QString created;
    const ProfileLibrary::Result result = m_Library.copy(&created);
    if (result != ProfileLibrary::Result::Ok) {
        reportLibraryResult(result);
        return;
    }
    m_pNameEdit->setText(created);
    rebuildProfileFileMenu();
}

void MousecfgWidget::onResetProfile()
{
    if (showMessage(1, tr("Are you sure you want reset this profile?")) != 1)
        return;
    qCDebug(lcUi, "Accepted %d", m_Library.currentSlot());
    m_Library.resetCurrent();
    retranslate();
    refreshPages();
    m_pNameEdit->setText(m_Library.currentName());
    writeAndReport(false);
}

void MousecfgWidget::onResetAll()
{
    if (showMessage(1, tr("Are you sure you want reset all profiles?")) != 1)
        return;
    // All five slots, their files and the device-wide options; every page
    // drops what it held; the mouse gets the active slot's factory tables.
    m_Library.resetAll();
    rebuildProfileFileMenu();
    refreshPages();
    writeAndReport(true);
}

void MousecfgWidget::onExportProfile()
{
    const QString path = chooseFile(tr("Save Profile File"), tr("Profile File(*.prof)"), true);
    if (path.isEmpty())
        return;
    reportLibraryResult(m_Library.exportProfile(path));
}

void MousecfgWidget::onImportProfile()
{
    const QString path = chooseFile(tr("Load Profile File"), tr("Profile File(*.prof)"), false);
    if (path.isEmpty())
        return;
    importProfileFile(path);
}

ProfileLibrary::Result MousecfgWidget::importProfileFile(const QString &path, int slot)
{
    QString name;
    const ProfileLibrary::Result result = m_Library.importProfile(path, &name, slot);
    if (result != ProfileLibrary::Result::Ok) {
        reportLibraryResult(result);
        return result;
    }
    rebuildProfileFileMenu();
    refreshPages();
    m_pNameEdit->setText(m_Library.currentName());
    writeAndReport(false);
    return result;
}

void MousecfgWidget::onExportConfig()
{
    const QString path = chooseFile(tr("Save Config File"), tr("Config File(*.conf)"), true);
    if (path.isEmpty())
        return;
    exportConfigurationFile(path);
}

ProfileLibrary::Result MousecfgWidget::exportConfigurationFile(const QString &path)
{
    const ProfileLibrary::Result result = m_Library.exportConfiguration(path);
    reportLibraryResult(result);
    return result;
}

ProfileLibrary::Result MousecfgWidget::exportProfileFile(const QString &path, int slot)
{
    const ProfileLibrary::Result result = m_Library.exportProfile(path, slot);
    reportLibraryResult(result);
    return result;
}

void MousecfgWidget::onImportConfig()
{
    const QString path = chooseFile(tr("Load Config File"), tr("Config File(*.conf)"), false);
    if (path.isEmpty())
        return;
    importConfigurationFile(path);
}

ProfileLibrary::Result MousecfgWidget::importConfigurationFile(const QString &path)
{
    const ProfileLibrary::Result result = m_Library.importConfiguration(path);
    if (result != ProfileLibrary::Result::Ok) {
        reportLibraryResult(result);
        return result;
    }
    selectPage(PageLighting);
    refreshPictures();
    rebuildProfileFileMenu();
    refreshPages();
    writeAndReport(false);
    return result;
}

void MousecfgWidget::setStageDpi(int slot, int stage, int index)
{
    if (slot < 0 || slot >= SLOT_COUNT || stage < 0 || stage >= STAGE_COUNT)
        return;
    if (slot == m_Library.currentSlot()) {
        // As the stage's slider on the DPI tab moves it; Apply takes it over.
        ZelDPIWindow *page = dpiPage();
        if (ZelSingleDPI *row = page->row(stage))
            row->setValues(index, index);
        page->onSliderChanged(index, index, quint8(stage));
        apply();
        return;
    }
    // Another slot: its record and its file take the value; the mouse takes
    // its DPI table when that slot becomes active.
    ProfileSet &set = workingSet();
    DpiStage &st = set.profiles[slot].stages[stage];
    st.xy = st.x = st.y = quint32(index);
    m_iLastSentMask = 0;
    m_iLastWriteResult = writeSlotFile(set.profiles[slot], set.names[slot]) ? WRITE_OK : WRITE_NOT_SAVED;
    if (m_iLastWriteResult != WRITE_OK)
        showMessage(1, writeFailureText(m_iLastWriteResult));
    emit statusChanged();
}

void MousecfgWidget::setSlotReportRate(int slot, quint8 code)
{
    if (slot < 0 || slot >= SLOT_COUNT)
        return;
    if (slot == m_Library.currentSlot()) {
        // As the rate menu of the DPI tab chooses it.
        const int choice = code == 8 ? 0 : code == 4 ? 1 : code == 2 ? 2 : code == 1 ? 3 : -1;
        if (choice >= 0)
            reportRatePage()->chooseRate(choice);
        apply();
        return;
    }
    // Another slot: its file takes the rate, and the mouse too (the general
    // block holds every slot's rate).
    ProfileSet &set = workingSet();
    set.profiles[slot].pollrate = code;
    if (!writeSlotFile(set.profiles[slot], set.names[slot])) {
        m_iLastSentMask = 0;
        m_iLastWriteResult = WRITE_NOT_SAVED;
        showMessage(1, writeFailureText(m_iLastWriteResult));
        return;
    }
    writeAndReport(false);
}

// ------------------------------------------------------------- apply flow --

quint8 MousecfgWidget::writeAndReport(bool writeEverything)
{
    // One write at a time (a click in a window shown again from the tray
    // while a bus caller's write runs behind it).
    if (m_bWriting)
        return m_iLastWriteResult;
    if (m_bBusCaller && !mouseReachable()) {
        // Saved, and the next write sends everything, as the command line
        // does alone.
        m_iLastSentMask = 0;
        saveProfileSet(workingSet());
        writeDiff(1);
        m_iLastWriteResult = WRITE_NO_MOUSE;
        emit statusChanged();
        return m_iLastWriteResult;
    }
    return runWrite(ZelProcessThread::Kind::Write, writeEverything);
}

QString MousecfgWidget::writeFailureText(quint8 result)
{
    return result == WRITE_MOUSE_OFF ? tr("Mouse is sleeping or not connected.")
                                     : tr("Send data failed, please try again.");
}

quint8 MousecfgWidget::runWrite(ZelProcessThread::Kind kind, bool writeEverything)
{
    // One download at a time. A quiet write of the mouse's own switch ends
    // first; one still wanted is covered by this write, which compares with
    // what the mouse holds.
    finishFollowWrite(FollowWait::BehindBusyAnimation);
    m_bFollowWanted = false;
    ++m_iWrites;
    quint8 result = WRITE_OK;
    for (;;) {
        ZelProcessDialog dialog(this);
        ZelProcessThread thread(workingSet(), savedSet(), writeEverything);
        thread.setKind(kind);
        connect(&thread, &ZelProcessThread::DoProcessDlg, &dialog, &ZelProcessDialog::slotProcessDlg,
                Qt::QueuedConnection);
        m_bWriting = true;
        int shown = QDialog::Accepted;
        if (m_bBusCaller && (!isVisible() || isMinimized())) {
            // For a bus caller while the window is out of sight: no busy
            // animation pops up on its own.
            QEventLoop loop;
            connect(&thread, &ZelProcessThread::DoProcessDlg, &loop, &QEventLoop::quit, Qt::QueuedConnection);
            thread.start();
            loop.exec();
        } else {
            thread.start();
            shown = dialog.exec();
        }
        thread.wait();
        m_bWriting = false;
        // A connection change while the write was on its way: the device is
        // reopened now, unless its reopening is still to come.
        if (m_bReopenAfterWrite) {
            m_bReopenAfterWrite = false;
            if (!m_ReconnectTimer.isActive())
                scheduleReconnect();
        }

        // The saved set is what reached the mouse: the copy the thread wrote,
        // not the live working set, which status reports may have changed
        // meanwhile.
        if (thread.downloaded())
            savedSet() = thread.written();

        result = thread.result();
        m_iLastWriteResult = result;
        m_iLastSentMask = thread.sentMask();
        emit statusChanged();
        if (shown != QDialog::Accepted || result == WRITE_OK)
            break;
        // "Yes" tries again, everything, behind the busy animation; "No"
        // leaves it for the next Apply (which sends everything after a failure).
        if (showMessage(1, writeFailureText(result)) != QDialog::Accepted)
            break;
        writeEverything = true;
    }
    --m_iWrites;
    // The mouse switched slots by itself meanwhile.
    if (m_bFollowWanted)
        startFollowWrite();
    return result;
}

void MousecfgWidget::followSlotQuietly()
{
    m_bFollowWanted = true;
    if (m_bFollowPosted)
        return;
    m_bFollowPosted = true;
    // Once the rest of the status report (stage, rate) is in the working set.
    QTimer::singleShot(0, this, [this] {
        m_bFollowPosted = false;
        if (m_bFollowWanted)
            startFollowWrite();
    });
}

void MousecfgWidget::startFollowWrite()
{
    if (m_iWrites > 0 || m_pFollowThread)
        return;   // still wanted: taken up when that write has ended
    m_bFollowWanted = false;
    if (listedMouseCount() == 0)
        return;
    auto *thread = new ZelProcessThread(workingSet(), savedSet(), false, this);
    thread->setKind(ZelProcessThread::Kind::FollowSlot);
    const int run = ++m_iFollowRun;
    connect(thread, &QThread::finished, this, [this, run] {
        if (run == m_iFollowRun)
            finishFollowWrite(FollowWait::IfDone);
    });
    m_pFollowThread = thread;
    thread->start();
}

void MousecfgWidget::finishFollowWrite(FollowWait wait)
{
    ZelProcessThread *thread = m_pFollowThread;
    // Its end reported while a write waits for it here: that write takes it.
    if (!thread || (wait == FollowWait::IfDone && m_bAwaitingFollow))
        return;
    if (!thread->isFinished()) {
        if (wait == FollowWait::IfDone)
            return;
        if (wait == FollowWait::BehindBusyAnimation) {
            ZelProcessDialog dialog(this);
            connect(thread, &QThread::finished, &dialog, &ZelProcessDialog::slotProcessDlg, Qt::QueuedConnection);
            const int run = m_iFollowRun;
            m_bAwaitingFollow = true;
            if (!thread->isFinished())
                dialog.exec();
            m_bAwaitingFollow = false;
            // A device change meanwhile may have taken it already.
            if (run != m_iFollowRun || m_pFollowThread != thread)
                return;
        }
    }
    thread->wait();
    m_pFollowThread = nullptr;
    ++m_iFollowRun;   // a finished signal still on its way is this thread's
    if (thread->downloaded())
        savedSet() = thread->written();
    const quint8 result = thread->result();
    delete thread;
    if (wait != FollowWait::IfDone)
        return;   // the write that waits reports for itself; Config/Diff makes it send everything
    if (result != WRITE_OK) {
        if (showMessage(1, writeFailureText(result)) == QDialog::Accepted) {
            runWrite(ZelProcessThread::Kind::FollowSlot, true);
            return;
        }
    }
    if (m_bFollowWanted)
        startFollowWrite();
}

void MousecfgWidget::apply()
{
    // Most pages hand their values to the working set as they change; the DPI
    // tab's are taken now, before the write thread takes its copy.
    collectPerformancePages();
    writeAndReport(false);
}

void MousecfgWidget::okAndHide()
{
    // As Apply: the DPI tab's values first.
    collectPerformancePages();
    writeAndReport(false);
    hideToTray();
}

void MousecfgWidget::cancelAndHide()
{
    hideToTray();
    m_Library.reloadCurrent();
    refreshPages();
    m_pNameEdit->setText(m_Library.currentName());
}

void MousecfgWidget::slotRefreshWriteStatus(quint8 iStatus)
{
    if (iStatus == 0)
        writeDiff(1);
}

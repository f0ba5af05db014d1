#pragma once
// Writing the working set to disk and to the mouse behind a busy animation.
//
// The write thread works on copies taken when the write starts, so the GUI
// thread may go on changing the live working set (status reports from the
// mouse arrive while the busy dialog spins) without a data race. When the
// thread has ended, the GUI thread makes the saved set a copy of what was
// written.

#include "app/writestep.h"
#include "profile/records.h"

#include <QDialog>
#include <QPixmap>
#include <QThread>
#include <atomic>

class QLabel;
class QMovie;

class ZelProcessThread : public QThread {
    Q_OBJECT
public:
    ZelProcessThread(const ProfileSet &working, const ProfileSet &saved, bool writeEverything,
                     QObject *parent = nullptr);

    // What the run writes: the working set (saved to disk first), or a switch
    // of the active slot, selected on the mouse or not (writestep.h).
    enum class Kind { Write, SelectSlot, FollowSlot };
    void setKind(Kind kind) { m_Kind = kind; }
    Kind kind() const { return m_Kind; }

    quint8 result() const { return m_iResult; }
    // True when a download was attempted: the saved set must become written().
    bool downloaded() const { return m_bDownloaded; }
    const ProfileSet &written() const { return m_working; }
    quint8 mask() const { return m_iMask; }
    // The groups sent (15 for a full write, 0 when nothing was).
    quint8 sentMask() const { return m_iSentMask; }

signals:
    void DoProcessDlg();

protected:
    void run() override;

private:
    ProfileSet m_working;
    ProfileSet m_saved;
    bool m_bWriteEverything = false;
    Kind m_Kind = Kind::Write;
    quint8 m_iResult = WRITE_OK;
    quint8 m_iMask = 0;
    quint8 m_iSentMask = 0;
    bool m_bDownloaded = false;
};

class ZelProcessDialog : public QDialog {
    Q_OBJECT
public:
    explicit ZelProcessDialog(QWidget *centreOn, QWidget *parent = nullptr);

public slots:
    void slotProcessDlg();
    void updateProgress();
    // The busy dialog stays until the write has ended: Esc, the window's
    // close button and every other way to reject it are ignored, since the
    // caller waits for the write thread as soon as exec() returns.
    void reject() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *m_pLabel = nullptr;
    QMovie *m_pMovie = nullptr;
    QPixmap m_Pixmap;
};

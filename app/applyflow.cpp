#include "app/applyflow.h"

#include "device/download.h"
#include "profile/configstore.h"
#include "profile/profileset.h"
#include "widgets/uistate.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QTimer>
#include <QtDebug>

std::atomic<bool> g_mouseOff{false};

ZelProcessThread::ZelProcessThread(const ProfileSet &working, const ProfileSet &saved,
                                   bool writeEverything, QObject *parent)
    : QThread(parent), m_working(working), m_saved(saved), m_bWriteEverything(writeEverything)
{
}

void ZelProcessThread::run()
{
    saveProfileSet(m_working);
    if (g_mouseOff.load()) {
        m_iResult = WRITE_MOUSE_OFF;
    } else {
        m_iResult = WRITE_OK;
        m_iMask = compareProfileSets(m_working, m_saved);
        quint8 mask = 0;
        if (readDiff() == 1 || m_bWriteEverything)
            mask = CHANGE_ALL;
        else if (m_iMask != 0)
            mask = m_iMask;
        if (mask != 0) {
            saveProfileSet(m_working);
            // Pending until the mouse has taken everything: a crash or a kill
            // in the middle of the download leaves the mouse half written,
            // and the next write must then send every group.
            writeDiff(1);
            m_iResult = downloadProfileSet(m_working, mask);
            m_bDownloaded = true;
            writeDiff(m_iResult != WRITE_OK ? 1 : 0);
        }
    }
    emit DoProcessDlg();
}

ZelProcessDialog::ZelProcessDialog(QWidget *centreOn, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint)
{
    setFixedSize(128, 128);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::FramelessWindowHint);
    if (centreOn) {
        const QRect frame = centreOn->geometry();
        move(frame.x() + frame.width() / 2 - width() / 2, frame.y() + frame.height() / 2 - height() / 2);
    }
    m_Pixmap.load(appFilePath(QStringLiteral("/skin/process.png")));
    m_pLabel = new QLabel(this);
    m_pLabel->setGeometry(0, 0, 128, 128);
    m_pMovie = new QMovie(QStringLiteral(":/skin/loading.gif"), QByteArray(), this);
    m_pLabel->setMovie(m_pMovie);
    m_pMovie->start();
}

void ZelProcessDialog::slotProcessDlg()
{
    QTimer::singleShot(0, this, &ZelProcessDialog::updateProgress);
}

void ZelProcessDialog::updateProgress()
{
    accept();
}

void ZelProcessDialog::reject()
{
    // Only updateProgress() ends the dialog, once the write has ended.
}

void ZelProcessDialog::keyPressEvent(QKeyEvent *event)
{
    event->accept();   // no key closes it, nor reaches the window beneath
}

void ZelProcessDialog::paintEvent(QPaintEvent *)
{
    // The backdrop under the spinner.
    if (!m_Pixmap.isNull()) {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(rect(), m_Pixmap);
    }
}
